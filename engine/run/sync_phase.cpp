#include "engine/run/sync_phase.h"

#include "engine/actions/action_support.h"
#include "engine/actions/backup.h"
#include "engine/actions/copy_actions.h"
#include "engine/actions/delete_actions.h"
#include "engine/actions/shadow_copy.h"
#include "engine/catalog/catalog_building.h"
#include "engine/run/run_block.h"
#include "engine/run/run_messages.h"
#include "foundation/sync_task.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

namespace {

constexpr char kPauseTip[] = "Click the Stop icon to pause.  You can resume later.";
constexpr char kCreatingCatalogText[] = "Creating Catalog...";
constexpr WPARAM kCatalogProgressRange = 100;

bool KeepsCatalogs(const SyncRunBlock& run) { return run.task && run.task->syncKind != kSyncKindBackup; }

void SetProgressRange(const SyncRunBlock& run, WPARAM range) {
    if (const HWND window = TaskWindowOf(run)) SendMessage(window, WM_SYNC_PROGRESS, range, 0);
}

// Rows go to the catalog queues only while the run builds catalogs.
CatalogRowQueues RowQueuesOf(SyncRunBlock& run) {
    if (!KeepsCatalogs(run)) return {};
    return {[&run](const CFileInfo& record, DWORD ownFields) { BuildSourceCatalogWorkItem(run, record, ownFields); },
            [&run](const CFileInfo& record, DWORD ownFields) { BuildCatalogWorkItem(run, record, ownFields); }};
}

// What the last step of the phase makes of the result: conflicts and failures only
// replace a success; a catalog that could not be written replaces anything.
void SetFinalResult(SyncRunBlock& run, bool catalogsWritten) {
    const bool succeeded = run.Result() == kRunSucceeded;
    if (run.counters.conflicts != 0 && succeeded) {
        run.SetResult(kRunConflictsLeft);
    } else if (run.counters.errors != 0 && succeeded) {
        run.SetResult(kRunCopiesFailed);
    } else if (!catalogsWritten) {
        run.SetResult(kRunCatalogNotWritten);
    }
}

int EndEarly(SyncRunBlock& run) {
    DiscardCatalogs(run);
    return kSyncPhaseStopped;
}

}  // namespace

int RunSyncPhase(SyncRunBlock& run, const CWorkQueue::ThreadStarter& startQueueThread) {
    // An index left from a Sync that was stopped would name a record of this one.
    ResetShadowCopyState(run);
    // Backups are made only here, and what a killed one left would stay for good.
    if (run.task) {
        RemoveBackupLeftovers(run.task->sourceBackup);
        RemoveBackupLeftovers(run.task->targetBackup);
    }

    SendTaskLine(run, "", kStatusLine);
    SetProgressRange(run, run.counters.changed);

    const bool keepsCatalogs = KeepsCatalogs(run);
    if (keepsCatalogs) {
        SendMainWindowLine(run, kPauseTip, kCaptionTip);
        BeginCatalogs(run, startQueueThread);
    }

    FolderTreeNode* const sourceRoot = run.sourceTree.get();
    FolderTreeNode* const targetRoot = run.targetTree.get();
    DWORD counter = 0;
    if (WalkCopyActions(run, sourceRoot, targetRoot, counter) == -1) return EndEarly(run);
    if (WalkDeleteActions(run, sourceRoot, targetRoot, counter, RowQueuesOf(run)) == -1) return EndEarly(run);

    if (!run.shadowSourcePaths.empty() && !ShadowCopyFiles(run) && run.Result() == kRunSucceeded) {
        run.SetResult(kRunShadowCopyFailed);
    }
    if (StopPressed(run)) return EndEarly(run);

    bool catalogsWritten = true;
    if (keepsCatalogs) {
        QueueCatalogEndJobs(run);
        SendTaskLine(run, kCreatingCatalogText, kStatusLine);
        SetProgressRange(run, kCatalogProgressRange);
        StartCatalogProgress(run);
        DestroyWorkQueuePumping(run);
        catalogsWritten = SaveCatalogs(run);
    }
    SetFinalResult(run, catalogsWritten);
    return kSyncPhaseDone;
}
