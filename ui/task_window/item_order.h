#pragma once
// The order of the rows within one folder of a task window's item tree: by name, as the
// task's case option compares names. Two names that compare equal that way (they differ
// only in case) keep the order of their bytes, so the list is the same on every run.

#include <string_view>
#include <vector>

#include "engine/model/path_compare.h"

class CFileInfo;
struct FolderTreeNode;

class ItemNameOrder {
public:
    explicit ItemNameOrder(bool caseSensitive);

    // True when `a` comes before `b`.
    bool operator()(const CFileInfo& a, const CFileInfo& b) const;
    bool operator()(const CFileInfo* a, const CFileInfo* b) const { return (*this)(*a, *b); }

private:
    PathCompareFunction compare_;
};

// One sub-folder of a level: its node on the source side, on the target side, or both.
struct ItemFolderPair {
    FolderTreeNode* source = nullptr;
    FolderTreeNode* target = nullptr;
};

// The sub-folders of a level in name order: every child of `source` with its twin, and
// every child of `target` that has none. Either node may be null.
std::vector<ItemFolderPair> SubFoldersInOrder(FolderTreeNode* source, FolderTreeNode* target,
                                              const ItemNameOrder& order);

// Two lists, each in the order `order` gives, made one list in that order. A list that is
// not in that order (made under another case option) is put in order.
std::vector<CFileInfo*> MergeInOrder(const std::vector<CFileInfo*>& first, const std::vector<CFileInfo*>& second,
                                     const ItemNameOrder& order);
