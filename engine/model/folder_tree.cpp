#include "engine/model/folder_tree.h"

#include <utility>

namespace {

// Calls `visit` on `root` and every node below it, parents before children, without
// recursion.
template <typename Node, typename Visit>
void ForEachNode(Node& root, Visit visit) {
    std::vector<Node*> pending{&root};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        visit(*node);
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) pending.push_back(it->get());
    }
}

}  // namespace

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

FolderTreeNode* FindFileInfoNode(std::wstring_view relativePath, const FolderTreeNode& node, bool descend,
                                 bool caseSensitive) {
    const PathCompareFunction compare = caseSensitive ? CompareFileInfoBySecondNameCase : CompareFileInfoBySecondName;
    // Depth first, each child before its subtree and its subtree before the next child.
    std::vector<FolderTreeNode*> pending;
    for (auto it = node.children.rbegin(); it != node.children.rend(); ++it) pending.push_back(it->get());
    while (!pending.empty()) {
        FolderTreeNode* child = pending.back();
        pending.pop_back();
        if (child->folder && compare(child->folder->relativePath, relativePath) == 0) return child;
        if (descend) {
            for (auto it = child->children.rbegin(); it != child->children.rend(); ++it) pending.push_back(it->get());
        }
    }
    return nullptr;
}

void FreeFolderTree(std::unique_ptr<FolderTreeNode>& root) { root.reset(); }

void SumSkipCounts(const FolderTreeNode& node, DWORD& filesTotal, DWORD& foldersTotal) {
    ForEachNode(node, [&](const FolderTreeNode& n) {
        filesTotal += n.skippedFiles;
        foldersTotal += n.skippedFolders;
    });
}

void ResetTreeItemHandles(FolderTreeNode& node) {
    ForEachNode(node, [](FolderTreeNode& n) {
        if (n.folder) n.folder->treeItem = -1;
        if (n.files) {
            for (CFileInfo& file : *n.files) file.treeItem = -1;
        }
    });
}
