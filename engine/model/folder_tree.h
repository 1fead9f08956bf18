#pragma once
// A scanned side as a tree of folders. Each node owns its folder's record, the sorted
// array of the files directly in it and its child nodes; the root of a side has no
// folder record.

#include <memory>
#include <string_view>
#include <vector>

#include "engine/model/file_info.h"
#include "engine/model/file_info_array.h"
#include "platform/core/win_types.h"

struct FolderTreeNode {
    FolderTreeNode() = default;
    // Frees the subtree without recursion, so a very deep tree cannot exhaust the stack.
    ~FolderTreeNode();
    FolderTreeNode(const FolderTreeNode&) = delete;
    FolderTreeNode& operator=(const FolderTreeNode&) = delete;

    // Adds `child` behind the last child and returns it.
    FolderTreeNode* AppendChild(std::unique_ptr<FolderTreeNode> child);

    std::unique_ptr<CFileInfo> folder;                      // null for the root of a side
    std::unique_ptr<CFileInfoArray> files;                  // null until the first file is added
    std::vector<std::unique_ptr<FolderTreeNode>> children;  // in the order the scan found them
    FolderTreeNode* counterpart = nullptr;                  // the same folder on the other side
    DWORD skippedFiles = 0;
    DWORD skippedFolders = 0;
};

// The first child of `node` whose folder record has the relative path `relativePath`;
// with `descend`, each child's subtree is searched before the next child. Null when none.
FolderTreeNode* FindFileInfoNode(std::string_view relativePath, const FolderTreeNode& node, bool descend,
                                 bool caseSensitive);

// Frees the whole tree and leaves `root` null.
void FreeFolderTree(std::unique_ptr<FolderTreeNode>& root);

// Adds the skip counters of `node` and of every node below it to the two totals.
void SumSkipCounts(const FolderTreeNode& node, DWORD& filesTotal, DWORD& foldersTotal);

// Sets the tree-item field of every folder and file record of the tree to -1.
void ResetTreeItemHandles(FolderTreeNode& node);
