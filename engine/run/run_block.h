#pragma once
// Everything of one run of one task, from the moment its thread accepts the start until
// the run has ended: the task and its options, the two item trees, the counters of the
// summary lines, guards and history, the pattern lists of the scan, the two logs, the
// history record being prepared, the catalog state of both sides and the Sync half's
// working fields. Every stage of the run receives the block and nothing else.
//
// Threads: the run's worker owns the block between the start and the end message. The
// catalog threads of the Sync half write only their side's catalog fields, the errors
// and done counters and the result code; whatever several threads touch is atomic. The
// run's own thread reads the block only after the worker has posted the end of the run.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/catalog/catalog_row_table.h"
#include "engine/catalog/catalog_status.h"
#include "engine/catalog/catalog_writer.h"
#include "engine/catalog/stored_catalog_parts.h"
#include "engine/model/file_info.h"
#include "engine/model/file_info_array.h"
#include "engine/model/folder_tree.h"
#include "engine/run/message_pace.h"
#include "foundation/history_record.h"
#include "foundation/log_file.h"
#include "foundation/quoted_list.h"
#include "foundation/sync_task.h"
#include "platform/core/win_types.h"

class CAddWizardThread;
class CConfigCompressFilterPage;
class CConfigLogPage;
class CConfigSyncPage;
class CWorkQueue;
struct SyncTask;

// The counters of a run. Reset together by ResetRunCounters.
struct RunCounters {
    std::atomic<DWORD> conflicts{0};     // items left as conflicts (no action + conflict bit)
    std::atomic<DWORD> changed{0};       // items with an action other than no action, not done
    std::atomic<DWORD> unchanged{0};     // items with no action, or already done
    std::atomic<DWORD> pending{0};       // after the scan: items without no action
    std::atomic<DWORD> oneSided{0};      // items on one side only
    std::atomic<DWORD> warnings{0};      // older over newer, or a deletion refused
    std::atomic<DWORD> userNoAction{0};  // no action chosen by the user
    std::atomic<DWORD> errors{0};        // actions of the Sync half that failed
    std::atomic<DWORD> done{0};          // actions of the Sync half carried out
    std::atomic<DWORD> notRecorded{0};   // items left out of a new catalog (a name too long)

    // Files and folders not excluded (first count) and excluded ones (final count). The
    // target counts include records matched with the source.
    std::atomic<DWORD> sourceFiles{0};
    std::atomic<DWORD> sourceExcludedFiles{0};
    std::atomic<DWORD> sourceFolders{0};
    std::atomic<DWORD> sourceExcludedFolders{0};
    std::atomic<DWORD> targetFiles{0};
    std::atomic<DWORD> targetExcludedFiles{0};
    std::atomic<DWORD> targetFolders{0};
    std::atomic<DWORD> targetExcludedFolders{0};

    void Clear();
};

// One side's catalog: what the Check read, then what the Sync half builds.
struct RunCatalogSide {
    // Reading (the Check).
    std::unique_ptr<CatalogRowTable> rows;  // the rows of the last run's catalog; null = none
    bool loaded = false;                    // a catalog was read: lookups use `rows`
    // No catalog file, a complete one, or one that is there but could not be read whole:
    // the last never counts as "no catalog", so it never leads to a deletion.
    CatalogStatus status = CatalogStatus::kNone;
    bool arrayLookup = false;
    // With `rows`, for the Sync of the same run; null when the catalog was not read whole.
    std::unique_ptr<StoredCatalogParts> stored;
    // The Check's temporary copy of the catalog; during the Sync the temporary archive
    // that the new catalog is written to. Empty = none.
    std::wstring tempCatalog;

    // Building (the Sync half). Written by this side's catalog thread while it runs.
    CWorkQueue* catalogQueue = nullptr;     // made and destroyed by the Sync phase; null when none
    CatalogRowTable::Chunk rowsToQueue;     // rows the passes gathered, not yet queued (worker only)
    std::atomic<DWORD> rowsWritten{0};      // rows of the members made in this run
    std::unique_ptr<CatalogWriter> writer;  // gathers the rows and makes the members; null = none
    std::atomic<bool> failed{false};        // this side's catalog cannot be completed
    std::atomic<bool> ended{false};         // the side's end job has been processed

    // The reader's and builder's fields back to "nothing read, nothing built" (frees the
    // rows and the writer). The queue pointer is only forgotten, never deleted.
    void Clear();
};

struct SyncRunBlock {
    // Empty lists and strings, then ResetRunStatistics.
    SyncRunBlock();
    // Frees whatever the run still holds: trees, logs, history record, catalog rows.
    ~SyncRunBlock();
    SyncRunBlock(const SyncRunBlock&) = delete;
    SyncRunBlock& operator=(const SyncRunBlock&) = delete;

    // The run's result code. The worker sets it; the Sync half's catalog threads set
    // theirs with SetResultUnlessDiskFull, so a full disk found by a copy is never
    // replaced. The run's thread copies it into the task's lastRunStatus at the end.
    DWORD Result() const { return result_.load(); }
    void SetResult(DWORD code) { result_.store(code); }
    // Sets `code` unless the result already is kRunDiskFull; false when it was kept.
    bool SetResultUnlessDiskFull(DWORD code);

    SyncTask* task = nullptr;
    CConfigCompressFilterPage* filterOptions = nullptr;  // the task's, not owned
    CConfigLogPage* logOptions = nullptr;
    CConfigSyncPage* syncOptions = nullptr;

    std::unique_ptr<FolderTreeNode> sourceTree;
    std::unique_ptr<FolderTreeNode> targetTree;

    RunCounters counters;

    // Sums of the trees' skip counters, by physical side.
    DWORD leftSkippedFiles = 0;
    DWORD rightSkippedFiles = 0;
    DWORD leftSkippedFolders = 0;
    DWORD rightSkippedFolders = 0;

    // Bytes that the copies will write into each folder (set by the decision).
    ULONGLONG bytesToLeft = 0;
    ULONGLONG bytesToRight = 0;

    // From the start mode (SetRunMode).
    bool doCheck = false;
    bool doSync = false;
    // The Check found a side that may not be mounted, in a run the user started: the run
    // ends after its Check, whatever its mode, and its trees wait for the user's Sync.
    bool syncHeldForUser = false;
    // The Sync half was started: a Check and Sync stopped in its Check, or refused after
    // it, ran no Sync.
    bool syncHalfRan = false;

    FilterPatterns patterns;  // the scan's four pattern lists; an empty list is missing

    std::unique_ptr<CLog> sourceLog;  // null when the run does not log
    std::unique_ptr<CLog> targetLog;

    std::unique_ptr<HistoryRecord> history;  // prepared at the start, appended at the end
    CAddWizardThread* thread = nullptr;      // the thread that runs the task

    // The filter's include and exclude texts split into entries; emptied after the decision.
    std::vector<std::wstring> includeTextItems;
    std::vector<std::wstring> excludeTextItems;

    // Files set aside for the shadow-copy step, in step with each other: the locked file,
    // where its copy goes, and a copy of its record as it was set aside.
    std::vector<std::wstring> shadowSourcePaths;
    std::vector<std::wstring> shadowTargetPaths;
    std::vector<CFileInfo> shadowWaiting;

    // Paces the Stop question that the copy and delete passes ask after each item.
    MessagePace passStopPace;

    RunCatalogSide sourceSide;
    RunCatalogSide targetSide;
    // The threads on which both sides' writers make their members during a Sync; null
    // when none. Destroyed before the writers, since its jobs use them.
    std::unique_ptr<CWorkQueue> catalogMemberPool;

private:
    std::atomic<DWORD> result_{kRunSucceeded};
};

// A new, reset run block.
std::unique_ptr<SyncRunBlock> CreateRunBlock();
// Frees the block and everything it still holds. The end of the run hands the trees to
// the task and releases logs and history record before this.
void DeleteRunBlock(std::unique_ptr<SyncRunBlock> run);

// Clears the task and option pointers, frees both trees, the logs and the history record,
// clears byte totals, skip sums, mode flags, pattern lists and the thread; then
// ResetRunCounters. The result code goes back to kRunSucceeded.
void ResetRunStatistics(SyncRunBlock& run);
// Clears every counter and both sides' catalog fields (rows freed, loaded and lookup
// flags cleared, temporary paths emptied, builder fields zero).
void ResetRunCounters(SyncRunBlock& run);

// From the start mode: 0 Sync only, 1 Check only, any other value both halves.
void SetRunMode(SyncRunBlock& run, LPARAM mode);

// The counting walks. Each visits the folder record of every node, then its files, then
// its children, and adds to the run's counters.
// First counts, after the scan: files and folders not excluded, and pending items
// (source: every item without no action; target: target-only items without no action).
void CountFolderTreeActions(SyncRunBlock& run, const FolderTreeNode& sourceRoot);
void CountTargetTreeActions(SyncRunBlock& run, const FolderTreeNode& targetRoot);
// Final counts, after the decision (or at the start of a Sync-only run): excluded files
// and folders, and the item tally (changed, unchanged, conflicts, one-sided, user no
// action, warnings) of every source item and of target-only items, so that a matched
// pair is tallied once.
void CountFinalSourceActions(SyncRunBlock& run, const FolderTreeNode& sourceRoot);
void CountFinalTargetActions(SyncRunBlock& run, const FolderTreeNode& targetRoot);

// The two first counts, or the two final counts, over the run's trees (a missing tree
// counts nothing).
void CountRunTreesFirst(SyncRunBlock& run);
void CountRunTreesFinal(SyncRunBlock& run);

// Sets the Left and Right skip sums from the trees' skip counters: the source tree is the
// Left side unless the task's swap flag is set.
void SumRunSkipCounts(SyncRunBlock& run);

// End of a run: the trees move into the task (its last-Check trees, replacing what it
// held) and the block's pointers are cleared. Start of a Sync-only run: the task's
// last-Check trees move into the block.
void HandRunTreesToTask(SyncRunBlock& run);
void TakeTaskTreesIntoRun(SyncRunBlock& run);
