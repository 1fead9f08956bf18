#pragma once
// The task store: the archive "_qb_sync.tas" in the data folder, one member per task,
// named by the task's name in double quotes and holding its 18,820-byte record. The task
// list loads every member at start-up, every change of a task rewrites its member, and the
// end of a run writes its last-run fields into its member.
//
// Every read-modify-write of a member happens under the store's archive lock, and a save
// keeps the last-run fields that the stored member holds (only the end of a run writes
// them), so a run that ends while the user saves its task loses neither change.
//
// A member that is not exactly one record, whose text fields lack their NUL, or whose task
// name breaks the task-name rule is skipped and reported; the members after it still load.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/win_types.h"

struct SyncTask;

inline constexpr char kTaskStoreFileName[] = "_qb_sync.tas";

// The data folder joined with "_qb_sync.tas".
std::string GetTaskListFilePath();

struct TaskWriteResult {
    BOOL written = FALSE;
    std::string failure;            // the text to tell when nothing was written
    std::vector<std::string> cuts;  // lines telling what a filter text lost to fit its field
};

// Stores the task as its member, replacing the member of that name. A task whose name
// breaks the task-name rule, or whose folders do not fit the record, is not stored.
TaskWriteResult WriteTaskRecord(const SyncTask& task);

// Deletes the member of the task `name` from the archive. 1 when no such member is left
// (a member that was never stored counts as deleted), 0 when the archive refused.
BOOL DeleteTaskRecord(const std::string& archivePath, std::string_view name);

// 1 when the store holds a member of that name.
BOOL TaskNameExists(std::string_view name);

// `name` when no stored task carries it, else `name` followed by " (n)" with the first n
// from 2 up that no stored task carries. The base is shortened on a character boundary
// when the result would not fit a task name.
std::string MakeUniqueTaskName(std::string_view name);

// Fills `task` (made and given its defaults by the caller) from one stored record: option
// records it lacks are made from the settings store's defaults, the fields are copied, the
// paths are resolved, and a repeating task counts its interval from now. False,
// with the reason in `fault` and the task untouched, for a record that is damaged or whose
// name breaks the task-name rule.
bool LoadTaskFromRecord(std::span<const std::uint8_t> record, SyncTask& task, std::string* fault = nullptr);

// A new task read from the store, or null after telling "Invalid or empty task script file!".
std::unique_ptr<SyncTask> LoadTaskRecord(std::string_view name);

// What a load of the store or an import of a task-list file did.
struct TaskLoadReport {
    BOOL complete = TRUE;              // FALSE when the archive itself could not be read
    DWORD added = 0;                   // tasks handed to the task list
    std::vector<std::string> skipped;  // one line for each member left out, and why
    std::vector<std::string> notes;    // what the tasks added lost on the way (filter entries)
    bool scriptAdded = false;          // a scheduled script was added for a task: arm the timers
};

// Hands every task of the store to `window` (the task list) with WM_SYNC_TASK_ADDED and
// adds the scheduled script of each scheduled one. The members that were skipped are told
// in one message box at the end.
TaskLoadReport LoadAllTasks(HWND window);

// Hands a loaded or imported task to the task list with WM_SYNC_TASK_ADDED (w = the task).
// The list takes it when it answers non-zero; otherwise (no list, or the list did not take
// it) the task is freed here. Returns the task while the list owns it, else null.
SyncTask* SendTaskAdded(HWND window, std::unique_ptr<SyncTask> task);

// Tells `lines` (at most a screenful of them) under `heading` in a warning box.
void TellSkippedTasks(HWND owner, std::string_view heading, const std::vector<std::string>& lines);

// Sets the Sync Container membership word (0, 1 or 2) of the task's stored record. A word
// that already holds the value is not rewritten. 0 when the member cannot be read or
// written.
BOOL SetTaskRecordType(std::string_view name, DWORD containerMode);

enum class TaskRunFieldsResult {
    Written,
    NoMember,  // the store holds no member of the task: nothing written, nothing to tell
    Failed,    // the store is missing, it or the member could not be read, or it could not be written back
};

// The end of a run: writes the task's lastRunStart, lastRunEnd and startSource, its sync
// type, the run's mode (0 Sync, 1 Check, 2 Check and Sync; other values count as 2) and the
// DOS date of lastRunStart into its stored record, leaving the rest of the member as it is.
// When the member exists the task's lastRunSyncType, lastRunMode and lastRunDosDate take
// the same values. Runs on the run's own thread; tells nothing itself, but on failure sets
// `reason` (when given) to why: "the file is missing", "access denied"...
TaskRunFieldsResult WriteTaskRunFields(SyncTask& task, DWORD mode, std::string* reason = nullptr);
