#include "engine/run/run_guards.h"

#include <cmath>

#include "engine/decision/decision_rules.h"
#include "engine/model/file_info_array.h"
#include "engine/model/folder_tree.h"
#include "engine/model/tree_walk.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "foundation/sync_task.h"
#include "platform/core/text.h"

namespace {

constexpr char kUnrelatedMirrorText[] =
    "The two folders have nothing in common.  You are mirroring two irreverent folders.";

bool CatalogListsItems(const RunCatalogSide& side) { return side.rows && side.rows->GetSize() > 0; }

// Nothing the run would sync: no entry, or only excluded ones. A mount point that holds
// only a hidden marker file looks like this when its disk is not mounted.
bool HoldsNoIncludedItem(const FolderTreeNode* root) {
    if (!root) return true;
    if (root->files) {
        for (const CFileInfo& file : *root->files) {
            if (!file.state.IsExcluded()) return false;
        }
    }
    for (const auto& child : root->children) {
        if (child && child->folder && !child->folder->state.IsExcluded()) return false;
    }
    return true;
}

// A one-way run gives a target item it has never seen the conflict action; an unattended
// run whose autoResolve copies toward the target turns that into a deletion, so with an
// empty source it would empty the target without any catalog to speak for it.
bool DeletesUnknownTargetItems(const SyncTask& task) {
    const ItemState targetOnly(ItemState::kTargetOnly | ItemState::kOnTarget);
    return task.syncKind == kSyncKindOneWay &&
           (DefaultConflictAction(task, targetOnly) & ItemState::kActionMask) == ItemState::kCopyToRight;
}

// Where the scan of `folder` puts the item of `relativePath`.
std::wstring PathBelow(const std::wstring& folder, const std::wstring& relativePath) {
    std::wstring path = folder;
    while (path.size() > 1 && path.back() == L'/') path.pop_back();
    if (path.empty() || path.back() != L'/') path += L'/';
    return path + relativePath;
}

// The first record of the tree, folders before their files and children; null for none.
const CFileInfo* FirstRecord(const FolderTreeNode& root) {
    const CFileInfo* first = nullptr;
    ForEachRecord(root, [&first](const CFileInfo& record) {
        first = &record;
        return false;
    });
    return first;
}

bool RecordOnSide(const CFileInfo& record, const std::wstring& folder) {
    return record.path == PathBelow(folder, record.relativePath);
}

}  // namespace

bool TreesMatchTaskFolders(const SyncRunBlock& run) {
    if (!run.task) return false;
    const SyncTask& task = *run.task;
    if (run.sourceTree) {
        const CFileInfo* record = FirstRecord(*run.sourceTree);
        if (record && !RecordOnSide(*record, task.sourceFolder)) return false;
    }
    if (run.targetTree) {
        const CFileInfo* record = FirstRecord(*run.targetTree);
        if (record && !RecordOnSide(*record, task.targetFolder)) return false;
    }
    return true;
}

std::string LastCheckElsewhereText() {
    return "The last Check was made for other folders or another direction. Nothing is synced; check the task again.";
}

bool IsRootEmpty(const FolderTreeNode* root) {
    return !root || ((!root->files || root->files->GetSize() == 0) && root->children.empty());
}

std::wstring FindEmptyRootToRefuse(const SyncRunBlock& run) {
    if (!run.task) return {};
    const SyncTask& task = *run.task;
    const bool sourceEmpty = HoldsNoIncludedItem(run.sourceTree.get());
    const bool targetEmpty = HoldsNoIncludedItem(run.targetTree.get());
    const bool deletes = run.syncOptions && run.syncOptions->allowDelete != 0;
    if (task.syncKind == kSyncKindBackup || (deletes && DeletesUnknownTargetItems(task))) {
        return deletes && sourceEmpty && !targetEmpty ? task.sourceFolder : std::wstring();
    }
    if (sourceEmpty && CatalogListsItems(run.sourceSide)) return task.sourceFolder;
    if (targetEmpty && CatalogListsItems(run.targetSide)) return task.targetFolder;
    return {};
}

std::wstring FormatEmptyRootLine(const std::wstring& folder) {
    return L"The folder '" + folder +
           L"' is empty, but the last run found items in it. It may not be mounted. Nothing is synced.";
}

void WarnUnrelatedMirror(SyncRunBlock& run) {
    if (!run.task || run.task->syncKind != kSyncKindMirror || !run.doCheck || run.doSync) return;
    const RunCounters& c = run.counters;
    const DWORD total = c.changed + c.unchanged;
    if (c.oneSided != 0 && total == c.oneSided && c.sourceFiles != 0 && c.targetFiles != 0) {
        AddRunLogLine(run, kUnrelatedMirrorText, kLogRed);
    }
}

bool IsOverChangeLimit(SyncRunBlock& run, bool logging) {
    if (!run.task || !run.doCheck || !run.doSync) return false;
    const SyncTask& task = *run.task;
    const DWORD changed = run.counters.changed;
    const DWORD total = changed + run.counters.unchanged;
    if (changed == 0 || task.startSource < kFirstUnattendedSource || task.skipPercent < 1 || task.skipPercent > 99 ||
        total == 0) {
        return false;
    }
    const double percent = static_cast<double>(changed) * 100.0 / total;
    if (percent <= task.skipPercent) return false;
    if (logging) {
        // Rounded up, so the figure shown is always above the limit it broke.
        const auto shown = static_cast<unsigned>(std::ceil(percent));
        AddRunLogLine(run,
                      plat::Format("%u (%u /%u) percent of files have been changed.  It is over the limit setup by "
                                   "the user. This task will not be run automatically",
                                   shown, static_cast<unsigned>(changed), static_cast<unsigned>(total)),
                      kLogRed);
    }
    run.SetResult(kRunOverChangeLimit);
    return true;
}
