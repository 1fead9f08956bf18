#include "engine/scan/scan_marks.h"

#include <cstddef>
#include <vector>

#include "engine/model/tree_walk.h"

namespace {

constexpr DWORD kUnmatchedMark = ItemState::kTargetOnly | ItemState::kOnTarget;

bool HoldsIncludedFile(const FolderTreeNode& node) {
    if (!node.files) return false;
    for (const CFileInfo& file : *node.files) {
        if (!file.state.IsExcluded()) return true;
    }
    return false;
}

// Excludes the empty folders of the tree for which `applies` holds, as seen from the top:
// one walk tells which subtrees hold an included file, a second one marks.
template <typename Applies>
void ExcludeEmptySubtrees(FolderTreeNode& root, Applies applies) {
    // In the order the walks enter the nodes.
    std::vector<char> holdsFile;
    std::vector<std::size_t> open;
    WalkFolderTree(
        root,
        [&](FolderTreeNode& node) {
            open.push_back(holdsFile.size());
            holdsFile.push_back(HoldsIncludedFile(node));
            return true;
        },
        [&](FolderTreeNode&) {
            const std::size_t done = open.back();
            open.pop_back();
            if (holdsFile[done] && !open.empty()) holdsFile[open.back()] = 1;
            return true;
        });

    std::size_t index = 0;
    std::vector<char> inEmptySubtree;  // for each folder the walk is inside
    WalkFolderTree(
        root,
        [&](FolderTreeNode& node) {
            bool empty = false;
            if (&node != &root && node.folder) {
                CFileInfo& folder = *node.folder;
                const bool startsHere = !folder.state.IsExcluded() && applies(folder) && !holdsFile[index];
                empty = inEmptySubtree.back() || startsHere;
                if (empty) folder.state.MakeExcluded();
            }
            ++index;
            inEmptySubtree.push_back(empty);
            return true;
        },
        [&](FolderTreeNode&) {
            inEmptySubtree.pop_back();
            return true;
        });
}

}  // namespace

void MarkUnmatchedTargetItems(FolderTreeNode& targetRoot) {
    WalkFolderTree(targetRoot, [](FolderTreeNode& node) {
        if (node.folder) {
            if (!node.folder->state.IsMatched()) node.folder->state.Set(kUnmatchedMark);
            if (node.folder->state.IsExcluded()) {
                node.files.reset();
                node.children.clear();
                return true;
            }
        }
        if (node.files) {
            for (CFileInfo& file : *node.files) {
                if (!file.state.IsMatched()) file.state.Set(kUnmatchedMark);
            }
        }
        return true;
    });
}

void ExcludeEmptyFolders(FolderTreeNode& sourceRoot) {
    ExcludeEmptySubtrees(sourceRoot, [](const CFileInfo&) { return true; });
}

void ExcludeEmptyTargetFolders(FolderTreeNode& targetRoot) {
    ExcludeEmptySubtrees(targetRoot, [](const CFileInfo& folder) { return folder.state.IsTargetOnly(); });
}
