#pragma once
// One task in memory: its name and folders, the option records it owns, the facts of its
// last run, its automatic-run and schedule settings, the paths resolved from its folders,
// the item trees of its last Check and the windows that show it. The task list owns every
// task; the task store saves the persistent part.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/options/filter_options.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"
#include "foundation/owned_folder_tree.h"
#include "foundation/task_run_facts.h"
#include "platform/core/win_types.h"

// How a sync type runs, derived from the type.
enum SyncKind : DWORD {
    kSyncKindOneWay = 0,  // "Sync from Left to Right", "Sync from Right to Left"
    kSyncKindBackup = 1,  // the two "Back up" types: plain copying, no catalog
    kSyncKindMirror = 2,
};

SyncKind SyncKindOfType(DWORD syncType);
// True for the types whose source is the Right folder.
bool IsSwappedType(DWORD syncType);

// The codes of a task's runs, as the task, the task store and the history keep them.

// Who started a run: the task's startSource.
enum StartSource : DWORD {
    kStartedByUser = 0,
    kStartedByContainer = 1,  // the Sync Container
    kStartedByRepeat = 2,     // the task's repeat timer
    kStartedByScheduler = 3,
    kStartedAtProgramStart = 4,
    kStartedForDevice = 5,  // a drive was connected
};
// From here on a run is unattended: nobody is there to settle a conflict.
inline constexpr DWORD kFirstUnattendedSource = kStartedByRepeat;

// What a run does: the mode it is started with and the task's lastRunMode.
enum RunMode : DWORD {
    kRunModeSync = 0,
    kRunModeCheck = 1,
    kRunModeCheckAndSync = 2,
};

// How the Sync Container runs the task: its containerMode.
enum ContainerMode : DWORD {
    kNotInContainer = 0,
    kContainerCheck = 1,
    kContainerCheckAndSync = 2,
};

// How a run ended: the task's lastRunStatus (0 before its first run).
enum RunResult : DWORD {
    kRunSucceeded = 1,  // set when the run starts
    kRunStopped = 3,    // stopped by the user
    kRunShadowCopyFailed = 4,
    kRunConflictsLeft = 5,
    kRunCopiesFailed = 6,
    kRunNothingToDo = 7,  // no file included on either side
    kRunOverChangeLimit = 8,
    kRunDiskFull = 9,
    kRunRecordNotWritten = 10,  // the run's history record or last-run fields could not be stored
    kRunCatalogFolderFailed = 11,
    kRunLowMemory = 12,
    kRunCatalogNotWritten = 13,
    kRunFolderEmptyOrUnmounted = 14,  // an empty root where the last run saw items
    kRunFolderUnreadable = 15,        // a root that could not be listed: nothing was synced
    kRunItemsSkipped = 16,            // items that could not be read or recorded were left as they were
};

// What a task is busy with: its busyCode, and the l of WM_SYNC_TASK_BUSY.
enum class TaskBusy : DWORD {
    Idle = 0,
    Syncing = 1,               // a Sync or Check and Sync run
    Checking = 2,              // a Check run
    RemovingOrRebuilding = 3,  // the task is being removed, or its window rebuilds its item list
    Renaming = 4,
    Copying = 5,
};
// True for the busy codes of a run.
bool IsRunBusy(TaskBusy code);
// The busy code of a run started with `mode` (RunMode; any other value counts as both).
TaskBusy BusyCodeOfRun(DWORD mode);

struct SyncTask {
    // Empty strings, every number 0, no row and no script, repeatBase 0.
    SyncTask() = default;
    // Frees the item trees, then the option records in the order sync, log, filter.
    ~SyncTask();
    SyncTask(const SyncTask&) = delete;
    SyncTask& operator=(const SyncTask&) = delete;

    // Called by every creator right after construction: every number and flag 0, the
    // option records, item trees and window links gone, rowIndex and scriptIndex -1,
    // repeatBase the current time. Strings are left as they are.
    void SetDefaults();

    // Recomputes syncKind and swapped from the sync type (type 1 without sync options).
    void UpdateSyncKind();

    // The repeat interval: repeatHours hours and repeatMinutes minutes, in seconds.
    std::int64_t RepeatIntervalSeconds() const;
    // True when repeatBase plus the interval is earlier than `nowSeconds` (seconds since
    // 1970). Whether repeating is on at all is the caller's test (repeatOn).
    bool IsRepeatDue(std::int64_t nowSeconds) const;

    std::unique_ptr<CConfigCompressFilterPage> filterOptions;
    std::unique_ptr<CConfigLogPage> logOptions;
    std::unique_ptr<CConfigSyncPage> syncOptions;

    std::string name;          // unique in the store; names the task's member there
    std::wstring rightFolder;  // as entered; may begin with a placeholder
    std::wstring leftFolder;

    // The last run's times, result, type and mode, the Sync pending flag and the automatic
    // starts' states: set by the run's thread while windows read them.
    GuardedRunFacts runFacts;

    DWORD scheduleOn = 0;
    std::string scheduleText;    // at most 255 bytes in the stored record
    WORD scheduleStartTime = 0;  // DOS time
    WORD scheduleStartDate = 0;  // DOS date
    DWORD scheduleHasEnd = 0;
    WORD scheduleEndDate = 0;              // DOS date, meaningful while scheduleHasEnd is set
    DWORD scheduleType = 0;                // 0 Daily, 1 Weekly, 2 Monthly, 3 Hourly
    std::array<BYTE, 48> scheduleBlock{};  // copied byte for byte into the scheduled script

    DWORD runAtStart = 0;
    DWORD startDelaySeconds = 0;
    DWORD runOnDevice = 0;
    DWORD repeatOn = 0;
    WORD repeatMinutes = 0;
    WORD repeatHours = 0;
    std::int64_t repeatBase = 0;  // seconds since 1970 from which the interval counts
    DWORD skipPercent = 0;        // "Do not Sync if" percentage; 0 is off
    DWORD autoResolve = 0;        // 0 nothing, 1 Left to Right, 2 Right to Left, 3 newer file
    DWORD autoRunMode = 0;        // 0 Check, 1 Check and Sync
    DWORD reservedWord = 0;       // carried to and from the stored record only

    std::wstring sourceFolder;  // resolved
    std::wstring targetFolder;
    std::wstring sourceLog;
    std::wstring targetLog;
    std::wstring sourceCatalog;
    std::wstring targetCatalog;
    std::wstring sourceBackup;
    std::wstring targetBackup;

    DWORD syncKind = kSyncKindOneWay;
    DWORD startSource = kStartedByUser;     // StartSource
    DWORD containerMode = kNotInContainer;  // ContainerMode
    DWORD containerPending = 0;
    TaskBusy busyCode = TaskBusy::Idle;  // set and read on the window thread only

    // The user interface's windows that show the task; they belong to it, not here.
    HWND taskWindow = nullptr;
    HWND logControl = nullptr;
    HWND startThread = nullptr;  // main window of the thread that asked for the current run

    OwnedFolderTree sourceItems;  // the item trees of the last Check, owned
    OwnedFolderTree targetItems;

    // Row in the task list: set on the window thread (a sort renumbers the rows while runs
    // go on), read by a run's thread to say which row changed.
    std::atomic<int> rowIndex{-1};
    DWORD swapped = 0;     // 1 when the source is the Right folder
    int scriptIndex = -1;  // entry in the scheduler table
    DWORD scheduleDue = 0;
};

// Destroys a task and everything it owns.
void DeleteSyncTask(std::unique_ptr<SyncTask> task);
