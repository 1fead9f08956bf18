#include "engine/run/run_guards.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "engine/catalog/catalog_reading.h"
#include "engine/decision/decision_rules.h"
#include "engine/model/file_info_array.h"
#include "engine/model/folder_tree.h"
#include "engine/model/parallel_tree_walk.h"
#include "engine/model/tree_walk.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "foundation/sync_task.h"
#include "platform/core/paths.h"
#include "platform/core/text.h"

namespace {

constexpr char kUnrelatedMirrorText[] =
    "The two folders have nothing in common.  You are mirroring two irreverent folders.";

// Below this many items a side's count says too little to call most of it lost; none of
// them found says enough at any count.
constexpr DWORD kFewestItemsToWeigh = 10;

std::wstring Count(DWORD n) { return std::to_wstring(n); }

// The items of the side's tree that the side's catalog lists. Of a folder the scan did not
// enter (excluded, unreadable, against a file) nothing can be told gone: the rows below it
// count as found.
DWORD CatalogItemsFound(const FolderTreeNode& tree, const RunCatalogSide& side) {
    std::atomic<DWORD> found{0};
    VisitTreeInParallel(tree, [&](const FolderTreeNode& node) {
        DWORD here = 0;
        if (node.folder) {
            const CFileInfo& folder = *node.folder;
            if (FindCatalogRow(side, folder.relativePath)) ++here;
            const bool notEntered = folder.state.IsExcluded() || folder.state.IsClash();
            if (notEntered && !node.files && node.children.empty()) {
                here += static_cast<DWORD>(side.rows->CountWithPrefix(folder.relativePath + '/'));
            }
        }
        if (node.files) {
            for (const CFileInfo& file : *node.files) {
                if (FindCatalogRow(side, file.relativePath)) ++here;
            }
        }
        found += here;
    });
    return found;
}

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
std::wstring PathBelow(const std::wstring& folder, std::string_view relativePath) {
    std::wstring path = folder;
    while (path.size() > 1 && path.back() == L'/') path.pop_back();
    if (path.empty() || path.back() != L'/') path += L'/';
    return path + plat::Utf8ToWide(relativePath);
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
    return record.path() == PathBelow(folder, record.relativePath);
}

std::wstring LostSinceCatalogLine(const std::wstring& folder, const FolderTreeNode* tree, const RunCatalogSide& side) {
    if (!side.loaded || !side.rows || side.rows->size() == 0) return {};
    const DWORD listed = static_cast<DWORD>(side.rows->size());
    const DWORD found = tree ? std::min(listed, CatalogItemsFound(*tree, side)) : 0;
    if (!HoldsNoIncludedItem(tree) && found != 0 && (listed < kFewestItemsToWeigh || found * 2 >= listed)) return {};
    return L"The folder '" + folder + L"' holds " + Count(found) + L" of the " + Count(listed) +
           L" items the last run found. It may not be mounted. Nothing is synced.";
}

// Without a catalog to speak for them, the target's items are the measure of the source.
std::wstring LostAgainstTargetLine(const SyncRunBlock& run) {
    const SyncTask& task = *run.task;
    DWORD targetItems = 0;
    DWORD alsoOnSource = 0;
    if (run.targetTree) {
        ForEachRecord(*run.targetTree, [&](const CFileInfo& record) {
            if (!record.state.IsExcluded()) {
                ++targetItems;
                if (record.state.IsMatched()) ++alsoOnSource;
            }
            return true;
        });
    }
    if (targetItems == 0) return {};
    if (!HoldsNoIncludedItem(run.sourceTree.get()) && alsoOnSource != 0 &&
        (targetItems < kFewestItemsToWeigh || alsoOnSource * 2 >= targetItems))
        return {};
    return L"The folder '" + task.sourceFolder + L"' holds " + Count(alsoOnSource) + L" of the " + Count(targetItems) +
           L" items of '" + task.targetFolder + L"'. It may not be mounted. Nothing is synced.";
}

bool IsAtOrBelow(const std::string& path, const std::string& point) {
    return path == point || (path.size() > point.size() && path.starts_with(point) && path[point.size()] == '/');
}

std::wstring UnmountedDiskLine(const std::wstring& folder, const std::vector<plat::MountEntry>& fstab,
                               const std::vector<plat::MountEntry>& mounted) {
    const std::string point = UnmountedFstabPointOfFolder(folder, fstab, mounted);
    if (point.empty()) return {};
    return L"The folder '" + folder + L"' lies on '" + plat::Utf8ToWide(point) +
           L"', which is not mounted. Nothing is synced.";
}

}  // namespace

std::string UnmountedFstabPointOf(const std::string& path, const std::vector<plat::MountEntry>& fstab,
                                  const std::vector<plat::MountEntry>& mounted) {
    // Only the deepest point counts: a disk mounted inside the folder of another that is
    // not holds the path all the same.
    std::string deepest;
    for (const plat::MountEntry& entry : fstab) {
        std::string point = plat::CanonicalPath(entry.mountPoint);
        if (point.empty() || plat::IsRootPath(point) || !IsAtOrBelow(path, point)) continue;
        if (point.size() > deepest.size()) deepest = std::move(point);
    }
    if (deepest.empty()) return {};
    const bool isMounted = std::any_of(mounted.begin(), mounted.end(), [&deepest](const plat::MountEntry& mount) {
        return plat::CanonicalPath(mount.mountPoint) == deepest;
    });
    return isMounted ? std::string() : deepest;
}

std::string UnmountedFstabPointOfFolder(const std::wstring& folder, const std::vector<plat::MountEntry>& fstab,
                                        const std::vector<plat::MountEntry>& mounted) {
    const std::string narrow = plat::WideToUtf8(folder);
    for (const std::string& path : {plat::CanonicalPath(narrow), plat::CanonicalPath(narrow, true)}) {
        if (path.empty()) continue;
        std::string point = UnmountedFstabPointOf(path, fstab, mounted);
        if (!point.empty()) return point;
    }
    return {};
}

std::wstring FindSideThatMayNotBeMounted(const SyncRunBlock& run) {
    if (!run.task) return {};
    const SyncTask& task = *run.task;

    std::vector<plat::MountEntry> fstab;
    std::vector<plat::MountEntry> mounted;
    if (plat::ReadMountTable(fstab, plat::kFstabFile) && plat::ReadMountTable(mounted)) {
        for (const std::wstring* folder : {&task.sourceFolder, &task.targetFolder}) {
            std::wstring line = UnmountedDiskLine(*folder, fstab, mounted);
            if (!line.empty()) return line;
        }
    }

    if (task.syncKind != kSyncKindBackup) {
        std::wstring line = LostSinceCatalogLine(task.sourceFolder, run.sourceTree.get(), run.sourceSide);
        if (line.empty()) line = LostSinceCatalogLine(task.targetFolder, run.targetTree.get(), run.targetSide);
        if (!line.empty()) return line;
    }
    const bool deletes = run.syncOptions && run.syncOptions->allowDelete != 0;
    if (deletes && (task.syncKind == kSyncKindBackup || DeletesUnknownTargetItems(task)))
        return LostAgainstTargetLine(run);
    return {};
}

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
