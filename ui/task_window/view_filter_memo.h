#pragma once
// Which folders of an item tree hold anything that a view of the task window shows: the
// folder's own record, one of its files, or anything below it. Worked out for the whole
// tree in one walk, so a rebuild asks each folder once instead of walking its subtree at
// every level above it.

#include <unordered_map>

#include "engine/model/folder_tree.h"

class ViewFilterMemo {
public:
    // `view` is the view kind 0..13; `swapped` the task's flag that makes the source side
    // the Right folder.
    ViewFilterMemo(int view, bool swapped) : view_(view), swapped_(swapped) {}

    // Works the answer out for `root` and every node below it (nothing for null).
    void Fill(const FolderTreeNode* root);
    // True when `node` or anything below it passes the view; false for null. A node
    // outside the trees given to Fill is worked out on the spot.
    bool Passes(const FolderTreeNode* node);
    // Whether one record passes the view.
    bool RecordPasses(const CFileInfo& record) const;

private:
    bool OwnItemsPass(const FolderTreeNode& node) const;

    int view_;
    bool swapped_;
    std::unordered_map<const FolderTreeNode*, bool> passes_;
};
