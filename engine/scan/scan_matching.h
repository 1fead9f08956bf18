#pragma once
// Matching one scanned entry with the entry of the same relative path on the other side,
// whose tree is already complete. A match marks the other record matched and gives each
// record the other's values.

#include <string_view>
#include <vector>

#include "engine/model/file_info.h"
#include "engine/model/folder_tree.h"
#include "engine/model/path_compare.h"
#include "platform/core/win_types.h"

// The other side's folder as the matching looks into it: its files (a sorted array) and
// its child folders, indexed by relative path, so that both lookups are binary searches
// however many entries the folder holds.
class CounterpartFolder {
public:
    // `node` may be null: nothing on the other side. The index is rebuilt; its memory is
    // kept for the next folder.
    void Reset(FolderTreeNode* node, PathCompareFunction compare);

    FolderTreeNode* Node() const { return node_; }
    // The first file, or child folder, with that relative path; null when none.
    CFileInfo* FindFile(std::string_view relativePath) const;
    // FindFile for paths asked in the order of the folder's files (each no earlier than the
    // one before, by the same compare), since Reset: one pass over the files instead of a
    // search for each.
    CFileInfo* FindFileInOrder(std::string_view relativePath);
    FolderTreeNode* FindFolder(std::string_view relativePath) const;

private:
    FolderTreeNode* node_ = nullptr;
    PathCompareFunction compare_ = CompareFileInfoBySecondNameCase;
    std::vector<FolderTreeNode*> folders_;  // children with a folder record, by relative path
    std::size_t nextFile_ = 0;              // FindFileInOrder's place in the files
};

// What a match found. `flags` is 0 when nothing was found; otherwise kMatched, with
// kClash when one side holds a file and the other a folder, and for two files the time
// and size flags (kTimesDiffer, kSourceOlder when this record is the older, kSizesDiffer).
struct CounterpartMatch {
    DWORD flags = 0;
    CFileInfo* record = nullptr;       // the counterpart's record
    FolderTreeNode* folder = nullptr;  // the counterpart's node, when it is a folder
};

// A file record against the other side: a file of that relative path, else a folder.
CounterpartMatch MatchCounterpart(CFileInfo& record, const CounterpartFolder& other);
// The same for the records of a folder's files taken in their order (FindFileInOrder).
CounterpartMatch MatchCounterpartInOrder(CFileInfo& record, CounterpartFolder& other);
// A folder record against the other side: a folder of that relative path, else a file.
// Folders carry no time or size, so only kMatched and kClash are given.
CounterpartMatch MatchFolderCounterpart(CFileInfo& record, const CounterpartFolder& other);
