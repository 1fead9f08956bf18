#include "engine/run/run_driver.h"

#include <memory>
#include <string>

#include "engine/actions/copy_finish_notes.h"
#include "engine/catalog/catalog_building.h"
#include "engine/catalog/catalog_reading.h"
#include "engine/decision/decision.h"
#include "engine/model/folder_tree.h"
#include "engine/run/run_block.h"
#include "engine/run/run_figures.h"
#include "engine/run/run_guards.h"
#include "engine/run/run_log.h"
#include "engine/run/run_messages.h"
#include "engine/run/run_threads.h"
#include "engine/run/sync_phase.h"
#include "engine/scan/scan.h"
#include "foundation/file_utils.h"
#include "foundation/log_file.h"
#include "foundation/options/filter_options.h"
#include "foundation/options/log_options.h"
#include "foundation/quoted_list.h"
#include "foundation/sync_task.h"
#include "foundation/text_utils.h"
#include "platform/core/freed_memory.h"
#include "platform/core/paths.h"
#include "platform/core/text.h"
#include "resources/sync_messages.h"

namespace {

constexpr char kStartingText[] = "Starting...";
constexpr char kUserCancelsText[] = "User cancels operation.";
constexpr char kNothingIncludedText[] = "No files are included.";
constexpr char kUserStopsText[] = "User stops operation";
constexpr UINT kLogLimitKb = 100000;

// How a run ended: with its end banner, or (a catalog folder that cannot be made) without.
enum class RunEnd { kCompleted, kNoBanner };

// The run writes its own lines only into the logs it opened; the log control gets them
// with the logs.
bool Logging(const SyncRunBlock& run) { return run.sourceLog || run.targetLog; }

void LogIfLogging(SyncRunBlock& run, const char* text, COLORREF colour) {
    if (Logging(run)) AddRunLogLine(run, text, colour);
}

RunEnd EndAs(SyncRunBlock& run, DWORD result, const char* redLine = nullptr) {
    run.SetResult(result);
    if (redLine) LogIfLogging(run, redLine, kLogRed);
    return RunEnd::kCompleted;
}

void FreeTrees(SyncRunBlock& run) {
    FreeFolderTree(run.sourceTree);
    FreeFolderTree(run.targetTree);
}

// Makes the catalog's folder (hidden, read-only where this platform can) when it is not
// there. False when it still is not.
bool MakeCatalogFolder(const std::wstring& catalogPath) {
    const std::wstring folder = plat::Utf8ToWide(plat::ParentPath(plat::WideToUtf8(catalogPath)));
    if (catalogPath.empty() || folder.empty()) return false;
    if (GetPathKindW(folder) == kPathFolder) return true;
    if (CreateFolderTree(folder)) SetHiddenReadOnly(folder);
    return GetPathKindW(folder) == kPathFolder;
}

// The source side's folder first. The warnings name the physical side.
bool MakeCatalogFolders(SyncRunBlock& run) {
    const SyncTask& task = *run.task;
    const bool swapped = task.swapped != 0;
    if (!MakeCatalogFolder(task.sourceCatalog)) {
        SendMainWindowLine(
            run, swapped ? "Failed to create Catalog Folder on Right" : "Failed to create Catalog Folder on Left",
            kCaptionWarning);
        return false;
    }
    if (!MakeCatalogFolder(task.targetCatalog)) {
        SendMainWindowLine(
            run, swapped ? "Failed to create Catalog Folder on Left" : "Failed to create Catalog Folder on Right",
            kCaptionWarning);
        return false;
    }
    return true;
}

void OpenLogs(SyncRunBlock& run) {
    const SyncTask& task = *run.task;
    if (!run.logOptions || run.logOptions->log == 0 || task.sourceLog.empty()) return;
    run.sourceLog = std::make_unique<CLog>(task.sourceLog, kLogLimitKb, true);
    run.targetLog = std::make_unique<CLog>(task.targetLog, kLogLimitKb, true);
    if (run.logOptions->clearLog) {
        run.sourceLog->Clear();
        run.targetLog->Clear();
    } else {
        // Nothing is asked on a run's thread; the question waits for the task window.
        run.sourceLog->CheckSize();
    }
    WriteRunHeader(run);
}

// The filter texts the mode uses are put in their quoted form in the task's options, then
// split into the run's pattern lists.
void PrepareFilterPatterns(SyncRunBlock& run) {
    CConfigCompressFilterPage* const filter = run.filterOptions;
    const DWORD mode = filter ? filter->filterMode : 0;
    const bool useExclusion = mode != 0 && mode != kFilterModeInclusion;
    const bool useInclusion = mode != 0 && mode != kFilterModeExclusion;
    if (useExclusion) QuotePath(filter->excludeText);
    if (useInclusion) QuotePath(filter->includeText);
    ParseFilterPatterns(run.patterns, useInclusion ? std::wstring_view(filter->includeText) : std::wstring_view(),
                        useExclusion ? std::wstring_view(filter->excludeText) : std::wstring_view());
}

void ClearDecisionInputs(SyncRunBlock& run, bool keepForSync = false) {
    FreeCatalogs(run, keepForSync);
    run.includeTextItems.clear();
    run.excludeTextItems.clear();
    // The catalogs' rows and the scan's lists are gone; the Sync allocates on other threads.
    plat::ReturnFreedMemory();
}

// Scan, catalogs, decision, figures and guards. True when the Sync half may follow.
bool RunCheck(SyncRunBlock& run, RunEnd& end) {
    PrepareFilterPatterns(run);
    const int scan = ScanTaskFolders(run);
    if (scan == kScanStopped) {
        FreeTrees(run);
        end = EndAs(run, kRunStopped, kUserCancelsText);
        return false;
    }
    if (scan != kScanDone) {
        // The scan has said which root could not be listed, whatever the log option.
        FreeTrees(run);
        end = EndAs(run, kRunFolderUnreadable);
        return false;
    }
    if (IsRootEmpty(run.sourceTree.get()) && IsRootEmpty(run.targetTree.get())) {
        FreeTrees(run);
        end = EndAs(run, kRunNothingToDo, kNothingIncludedText);
        return false;
    }

    CountRunTreesFirst(run);
    // What listing the folders took is freed; the catalogs are read next.
    plat::ReturnFreedMemory();
    if (run.task->syncKind != kSyncKindBackup && run.counters.pending != 0) {
        if (ReadCatalogs(run).stopped) {
            ClearDecisionInputs(run);
            FreeTrees(run);
            end = EndAs(run, kRunStopped, kUserCancelsText);
            return false;
        }
    }
    const std::wstring notMounted = FindSideThatMayNotBeMounted(run);
    if (!notMounted.empty()) {
        // Written whatever the log option: the user must learn why nothing was synced.
        AddRunLogLineW(run, notMounted, kLogRed);
        run.SetResult(kRunFolderEmptyOrUnmounted);
        if (run.task->startSource != kStartedByUser) {
            ClearDecisionInputs(run);
            FreeTrees(run);
            return false;
        }
        // The user may have emptied the side on purpose: the Check shows what a Sync would
        // do, and only the user's own Sync of it carries that out.
        run.syncHeldForUser = true;
    }

    const int decided = CompareTaskTrees(run);
    // A Sync that follows may tell the blocks of its new catalogs that come out as stored
    // by the rows read here.
    ClearDecisionInputs(run, run.doSync);
    if (decided == kDecisionStopped) {
        FreeTrees(run);
        end = EndAs(run, kRunStopped, kUserCancelsText);
        return false;
    }

    CountRunTreesFinal(run);
    SumRunSkipCounts(run);
    ReportCheckFigures(run, Logging(run));
    WarnUnrelatedMirror(run);
    return !run.syncHeldForUser && !IsOverChangeLimit(run, Logging(run));
}

// A Sync on its own carries out the task's last Check. True when there is one to carry out.
bool TakeLastCheck(SyncRunBlock& run, RunEnd& end) {
    TakeTaskTreesIntoRun(run);
    ResetRunCounters(run);
    if (!run.sourceTree && !run.targetTree) {
        // With no trees a Sync would only replace both catalogs with empty ones.
        end = EndAs(run, kRunNothingToDo, kNothingIncludedText);
        return false;
    }
    if (!TreesMatchTaskFolders(run)) {
        FreeTrees(run);
        // Written whatever the log option: the user must learn why nothing was synced.
        AddRunLogLine(run, LastCheckElsewhereText(), kLogRed);
        end = EndAs(run, kRunNothingToDo);
        return false;
    }
    CountRunTreesFinal(run);
    SumRunSkipCounts(run);
    return true;
}

// What the scan skipped and the catalogs could not record was not synced.
bool LeftItemsUnsynced(const SyncRunBlock& run) {
    return run.leftSkippedFiles + run.rightSkippedFiles + run.leftSkippedFolders + run.rightSkippedFolders +
               run.counters.notRecorded !=
           0;
}

RunEnd RunTask(SyncRunBlock& run) {
    SendTaskLine(run, kStartingText, kStatusLine);
    if (!MakeCatalogFolders(run)) {
        run.SetResult(kRunCatalogFolderFailed);
        return RunEnd::kNoBanner;
    }
    OpenLogs(run);
    RemoveLeftoverArchives(run);
    // Before the folders are read: a copy a killed run left without its times looks changed.
    for (const std::wstring* catalog : {&run.task->sourceCatalog, &run.task->targetCatalog}) {
        FinishCopiesCutShort(plat::ParentPath(plat::WideToUtf8(*catalog)));
    }

    RunEnd end = RunEnd::kCompleted;
    const bool syncFollows = run.doCheck ? RunCheck(run, end) : TakeLastCheck(run, end);
    if (!syncFollows || !run.doSync) FreeCatalogs(run);
    if (syncFollows && run.doSync) {
        run.syncHalfRan = true;
        if (RunSyncPhase(run) == kSyncPhaseStopped && run.Result() != kRunDiskFull) {
            EndAs(run, kRunStopped, kUserStopsText);
        }
    }
    // Never "Successfully" while something could not be read or recorded.
    if (run.Result() == kRunSucceeded && LeftItemsUnsynced(run)) run.SetResult(kRunItemsSkipped);
    return end;
}

}  // namespace

void CheckSyncThreadProc(SyncRunBlock& run) {
    if (run.task && RunTask(run) == RunEnd::kCompleted) LogRunCompleted(run);
    if (run.thread) run.thread->PostThreadMessage(WM_SYNC_RUN_ENDED, 0, 0);
}
