#include "engine/scan/scan_marks.h"

#include <cstddef>
#include <vector>

namespace {

constexpr DWORD kUnmatchedMark = ItemState::kTargetOnly | ItemState::kOnTarget;

bool HoldsIncludedFile(const FolderTreeNode& node) {
    if (!node.files) return false;
    for (const CFileInfo& file : *node.files) {
        if (!file.state.IsExcluded()) return true;
    }
    return false;
}

// Excludes the empty folders of the tree for which `applies` holds, as seen from the top.
// One pass down lists the nodes with their parents; one pass up tells which subtrees
// hold an included file; one pass down marks. No recursion, so depth costs no stack.
template <typename Applies>
void ExcludeEmptySubtrees(FolderTreeNode& root, Applies applies) {
    struct Entry {
        FolderTreeNode* node;
        std::size_t parent;
    };
    std::vector<Entry> order{{&root, 0}};
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (const auto& child : order[i].node->children) {
            if (child && child->folder) order.push_back({child.get(), i});
        }
    }

    std::vector<char> holdsFile(order.size());
    for (std::size_t i = order.size(); i-- > 0;) {
        if (!holdsFile[i]) holdsFile[i] = HoldsIncludedFile(*order[i].node);
        if (holdsFile[i] && i != 0) holdsFile[order[i].parent] = 1;
    }

    // Parents come before their children in `order`.
    std::vector<char> inEmptySubtree(order.size());
    for (std::size_t i = 1; i < order.size(); ++i) {
        CFileInfo& folder = *order[i].node->folder;
        const bool startsHere = !folder.state.IsExcluded() && applies(folder) && !holdsFile[i];
        if (inEmptySubtree[order[i].parent] || startsHere) {
            folder.state.MakeExcluded();
            inEmptySubtree[i] = 1;
        }
    }
}

}  // namespace

void MarkUnmatchedTargetItems(FolderTreeNode& targetRoot) {
    std::vector<FolderTreeNode*> pending{&targetRoot};
    while (!pending.empty()) {
        FolderTreeNode& node = *pending.back();
        pending.pop_back();
        if (node.folder) {
            if (!node.folder->state.IsMatched()) node.folder->state.Set(kUnmatchedMark);
            if (node.folder->state.IsExcluded()) {
                node.files.reset();
                node.children.clear();
                continue;
            }
        }
        if (node.files) {
            for (CFileInfo& file : *node.files) {
                if (!file.state.IsMatched()) file.state.Set(kUnmatchedMark);
            }
        }
        for (const auto& child : node.children) {
            if (child) pending.push_back(child.get());
        }
    }
}

void ExcludeEmptyFolders(FolderTreeNode& sourceRoot) {
    ExcludeEmptySubtrees(sourceRoot, [](const CFileInfo&) { return true; });
}

void ExcludeEmptyTargetFolders(FolderTreeNode& targetRoot) {
    ExcludeEmptySubtrees(targetRoot, [](const CFileInfo& folder) { return folder.state.IsTargetOnly(); });
}
