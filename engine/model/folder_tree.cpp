#include "engine/model/folder_tree.h"

#include <utility>

#include "engine/model/tree_walk.h"

FolderTreeNode::~FolderTreeNode() {
    std::vector<std::unique_ptr<FolderTreeNode>> pending = std::move(children);
    while (!pending.empty()) {
        std::unique_ptr<FolderTreeNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children) pending.push_back(std::move(child));
        node->children.clear();
    }
}

FolderTreeNode* FolderTreeNode::AppendChild(std::unique_ptr<FolderTreeNode> child) {
    children.push_back(std::move(child));
    return children.back().get();
}

FolderTreeNode* FindFileInfoNode(std::string_view relativePath, const FolderTreeNode& node, bool descend,
                                 bool caseSensitive) {
    const PathCompareFunction compare = caseSensitive ? CompareFileInfoBySecondNameCase : CompareFileInfoBySecondName;
    // Each child before its subtree, and its subtree before the next child.
    FolderTreeNode* found = nullptr;
    for (const auto& child : node.children) {
        if (!child) continue;
        WalkFolderTree(*child, [&](FolderTreeNode& candidate) {
            if (candidate.folder && compare(candidate.folder->relativePath, relativePath) == 0) found = &candidate;
            return !found && descend;
        });
        if (found) return found;
    }
    return nullptr;
}

void FreeFolderTree(std::unique_ptr<FolderTreeNode>& root) { root.reset(); }

void SumSkipCounts(const FolderTreeNode& node, DWORD& filesTotal, DWORD& foldersTotal) {
    WalkFolderTree(node, [&](const FolderTreeNode& n) {
        filesTotal += n.skippedFiles;
        foldersTotal += n.skippedFolders;
        return true;
    });
}

void ResetTreeItemHandles(FolderTreeNode& node) {
    ForEachRecord(node, [](CFileInfo& record) {
        record.treeItem = -1;
        return true;
    });
}
