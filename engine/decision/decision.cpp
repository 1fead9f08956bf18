#include "engine/decision/decision.h"

#include <string>
#include <vector>

#include "engine/decision/decision_rules.h"
#include "engine/model/tree_walk.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "engine/run/run_messages.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"
#include "foundation/sync_task.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

namespace {

using S = ItemState;

constexpr const char* kCheckingText = "Checking...";
constexpr LPARAM kProgressMode = 20;

bool IsDeletion(DWORD action) {
    const DWORD what = action & S::kActionMask;
    return what == S::kDeleteLeft || what == S::kDeleteRight;
}

// The path of the entry that a delete action removes.
std::wstring DeletedPath(const CFileInfo& record) {
    const bool targetEntry = record.state.IsAction(S::kDeleteRight) && !record.state.IsTargetOnly();
    return targetEntry ? record.counterpartPath() : record.path();
}

// The size of the copy a file's action writes: the size of the side it is copied from.
void AddCopiedBytes(const CFileInfo& record, DecisionPass& pass) {
    const bool ownSideIsTarget = record.state.IsTargetOnly();
    if (record.state.IsAction(S::kCopyToRight)) {
        pass.bytesToTarget += ownSideIsTarget ? record.counterpartSize : record.size;
    } else if (record.state.IsAction(S::kCopyToLeft)) {
        pass.bytesToSource += ownSideIsTarget ? record.size : record.counterpartSize;
    }
}

void LogDecision(const CFileInfo& record, DWORD action, DecisionPass& pass) {
    if (!pass.logsDetails) return;
    if (action & S::kOlderOverNewer) {
        const bool toTarget = (action & S::kActionMask) == S::kCopyToRight;
        const std::wstring from = toTarget ? record.path() : record.counterpartPath();
        const std::wstring to = toTarget ? record.counterpartPath() : record.path();
        AddRunLogLineW(pass.run, L"'" + from + L"' overwrite newer '" + to + L"'", kLogBlack);
    } else if (record.state.IsClash()) {
        AddRunLogLineW(
            pass.run,
            L"Folder and file conflict between '" + record.path() + L"' and '" + record.counterpartPath() + L"'",
            kLogBlack);
    }
}

// A catalog that could not be read may be missing exactly the rows that would show the
// item as new or changed, so no deletion is made on its word.
void HoldDeletion(CFileInfo& record, DecisionPass& pass) {
    const std::wstring path = DeletedPath(record);
    record.state.MakeConflict();
    ++pass.heldDeletions;
    if (pass.logsDetails) {
        AddRunLogLineW(pass.run, L"Delete of '" + path + L"' left as a conflict: a catalog could not be read",
                       kLogBlack);
    }
}

// A folder to be deleted stays when something below it is a conflict.
void KeepFolderWithConflict(FolderTreeNode& node) {
    if (node.folder && IsDeletion(node.folder->state.Word())) node.folder->state.MakeConflict();
}

// A folder that still holds what the task leaves out (excluded or skipped items) cannot be
// removed once the rest of it is gone. It is in step as it is: no action, its deletion
// refused, so that its catalog rows stay those of the last run and the next Check decides
// it the same way, without a failed delete on every run.
void LeaveFolderInPlace(FolderTreeNode& node, DecisionPass& pass) {
    if (!node.folder || !IsDeletion(node.folder->state.Word())) return;
    CFileInfo& folder = *node.folder;
    const std::wstring path = DeletedPath(folder);
    folder.state.SetAction(S::kNoAction);
    folder.state.Set(S::kDeleteRefused);
    if (pass.logs) {
        AddRunLogLineW(pass.run, L"The folder '" + path + L"' is not deleted: it holds items this task leaves out.",
                       kLogBlack);
    }
}

// The node holds something no pass will remove: an excluded file or folder, or an entry
// the scan skipped.
bool HoldsLeftOutItems(const FolderTreeNode& node) {
    if (node.skippedFiles != 0 || node.skippedFolders != 0) return true;
    if (node.files) {
        for (const CFileInfo& file : *node.files) {
            if (file.state.IsExcluded()) return true;
        }
    }
    for (const auto& child : node.children) {
        if (child && child->folder && child->folder->state.IsExcluded()) return true;
    }
    return false;
}

bool StopRequested(DecisionPass& pass) {
    return pass.taskWindow && pass.stopPace.Due() && StopPressedIn(pass.taskWindow);
}

void SendPosition(DecisionPass& pass) {
    SendMessage(pass.taskWindow, WM_SYNC_PROGRESS_POS, pass.items, 0);
    pass.shownItems = pass.items;
}

void SendProgress(DecisionPass& pass) {
    if (pass.taskWindow && pass.progressPace.Due()) SendPosition(pass);
}

// One item decided: count it, ask for Stop, move the progress bar. False on Stop.
bool ItemDone(DecisionPass& pass) {
    ++pass.items;
    if (StopRequested(pass)) return false;
    SendProgress(pass);
    return true;
}

// A folder the decision walk is inside.
struct OpenFolder {
    DWORD result;  // the folder's decision: its contents' parentResult
    bool conflictBelow = false;
    bool leftOutBelow = false;  // it, or a folder below it, holds items left out
};

// Decides the node's folder record and its files. False on Stop.
bool DecideFolderAndFiles(FolderTreeNode& node, DecisionPass& pass, DWORD parentResult, DWORD& result) {
    result = parentResult;
    if (node.folder) {
        result = DecideItemAction(*node.folder, pass, parentResult);
        if (!ItemDone(pass)) return false;
    }
    if (!node.files) return true;
    bool conflict = false;
    for (CFileInfo& file : *node.files) {
        DecideItemAction(file, pass, result);
        conflict = conflict || file.state.IsConflict();
        if (!ItemDone(pass)) return false;
    }
    if (conflict) KeepFolderWithConflict(node);
    return true;
}

}  // namespace

DecisionPass::DecisionPass(SyncRunBlock& runBlock)
    : run(runBlock),
      catalogs(CatalogSituationOf(runBlock)),
      syncKind(runBlock.task ? runBlock.task->syncKind : kSyncKindOneWay),
      allowDelete(runBlock.syncOptions && runBlock.syncOptions->allowDelete != 0),
      taskWindow(runBlock.task ? runBlock.task->taskWindow : nullptr),
      logs(runBlock.logOptions && runBlock.logOptions->log != 0),
      logsDetails(logs && runBlock.logOptions->logLevel == kLogDetailed) {}

DWORD DecideItemAction(CFileInfo& record, DecisionPass& pass, DWORD parentResult) {
    const ItemState state = record.state;
    if (state.IsExcluded()) return 0;
    if (!pass.rowsStored && (state.IsOnSource() || state.IsTargetOnly())) StoreCatalogRows(pass.run, record);

    DecisionInputs in;
    in.state = state;
    in.syncKind = pass.syncKind;
    in.allowDelete = pass.allowDelete;
    in.parentVanished = parentResult == kVanishedFromOtherSide;
    in.catalog = CatalogFactsOf(record, pass.catalogs);
    if (pass.run.task) in.conflictAction = DefaultConflictAction(*pass.run.task, state);

    const DecisionOutcome outcome = DecideByRules(in);
    record.state = ItemState(ApplyOutcome(state.Word(), outcome));
    if (!outcome.keep && IsDeletion(outcome.action) && pass.catalogs.AnyUnreadable()) HoldDeletion(record, pass);

    if (!record.state.IsFolder()) AddCopiedBytes(record, pass);
    if (!outcome.keep) LogDecision(record, outcome.action, pass);
    return outcome.result;
}

int CompareFolderTree(FolderTreeNode& root, DecisionPass& pass, DWORD parentResult) {
    // A folder is decided before its files and its subfolders, and looked at again after
    // them. `open` holds the folders the walk is inside, each with its decision.
    std::vector<OpenFolder> open;
    const bool walked = WalkFolderTree(
        root,
        [&](FolderTreeNode& node) {
            if (!open.empty()) {
                if (StopRequested(pass)) return false;
                SendProgress(pass);
            }
            DWORD result = 0;
            if (!DecideFolderAndFiles(node, pass, open.empty() ? parentResult : open.back().result, result)) {
                return false;
            }
            open.push_back({result, false, HoldsLeftOutItems(node)});
            return true;
        },
        [&](FolderTreeNode& node) {
            const OpenFolder done = open.back();
            open.pop_back();
            if (done.conflictBelow) KeepFolderWithConflict(node);
            if (done.leftOutBelow) LeaveFolderInPlace(node, pass);
            if (!open.empty()) {
                if (node.folder && node.folder->state.IsConflict()) open.back().conflictBelow = true;
                if (done.leftOutBelow) open.back().leftOutBelow = true;
            }
            return true;
        });
    return walked ? kDecisionDone : kDecisionStopped;
}

int CompareTaskTrees(SyncRunBlock& run) {
    DecisionPass pass(run);
    if (pass.taskWindow) {
        const RunCounters& c = run.counters;
        const DWORD total = c.sourceFiles + c.sourceFolders + c.targetFiles + c.targetFolders;
        SendWindowLine(pass.taskWindow, kCheckingText, kStatusLine);
        SendMessage(pass.taskWindow, WM_SYNC_PROGRESS, total, kProgressMode);
    }

    // The lookups depend on nothing the walk decides, so they are all made first, on
    // several threads. Without a catalog every record keeps the rows it has: none.
    if (pass.catalogs.sourceLoaded || pass.catalogs.targetLoaded) StoreCatalogRowsOfTrees(run);
    pass.rowsStored = true;
    for (FolderTreeNode* tree : {run.sourceTree.get(), run.targetTree.get()}) {
        if (tree && CompareFolderTree(*tree, pass, 0) == kDecisionStopped) return kDecisionStopped;
    }
    // The bar ends full whatever positions the pace left out.
    if (pass.taskWindow && pass.shownItems != pass.items) SendPosition(pass);

    const bool swapped = run.task && run.task->swapped;
    run.bytesToLeft = swapped ? pass.bytesToTarget : pass.bytesToSource;
    run.bytesToRight = swapped ? pass.bytesToSource : pass.bytesToTarget;

    if (pass.heldDeletions > 0 && pass.logs) {
        AddRunLogLine(run,
                      "Deletions left as conflicts because a catalog of the last run could not be read: " +
                          std::to_string(pass.heldDeletions),
                      kLogRed);
    }
    return kDecisionDone;
}
