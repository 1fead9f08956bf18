#pragma once
// What one row of a task window's item tree shows of an item record, and what the row
// keeps of it. ReadItemCopies is the one place that reads how a record holds its two
// copies; the rest of the window works on what it returns.

#include <string>
#include <unordered_map>

#include "engine/model/file_info.h"
#include "platform/core/win_types.h"

// The data each item row carries (its tree-list item data). The paths are UTF-8, as the
// file system takes them: a Check's 100,000 rows keep half a megabyte less per thousand.
struct ItemRowData {
    std::string leftPath;   // empty: no copy on the Left side, or the user deleted it
    std::string rightPath;  // the same on the Right side
    DWORD state = 0;        // the item's state word when the row was last filled or changed
    DWORD savedState = 0;   // the word before the user's first change; 0 = none
    int folder = 0;         // 1 for a folder row
};

// One side's copy of an item.
struct ItemCopy {
    std::wstring path;  // empty when the side has no copy (or the user deleted it)
    bool folder = false;
    ULONGLONG size = 0;
    LONGLONG lastWrite = 0;  // UTC seconds since 1970
};

struct ItemCopies {
    std::wstring ownPath;  // the record's own copy, whatever its state
    bool ownIsFolder = false;
    ItemCopy source;
    ItemCopy target;
};

// The copies of an item on the source and the target side. A side has no copy when its
// on-side bit is clear (an excluded item has none set), the user deleted it there, or the
// record holds no path for it.
ItemCopies ReadItemCopies(const CFileInfo& record);

// Images of the Status column (from the action image strip).
inline constexpr int kStatusRemarkImage = 13;
inline constexpr int kStatusDeletedImage = 7;

// Everything a row shows, in Left/Right terms (`swapped`: the source side is the Right
// folder).
struct ItemRowCells {
    std::wstring name;
    ItemRowData data;
    std::wstring size[2];  // Left, Right: "not exists", "folder" or the size
    std::wstring date[2];
    std::wstring action;
    int actionImage = 0;
    // The Status column: why the action failed, a remark, "Deleted" for a finished
    // deletion, or nothing.
    std::wstring status;
    int statusImage = -1;  // -1: the column shows nothing
};

// A last-write time in the user's local time: the short date, one blank, the short time.
std::wstring FormatItemTime(LONGLONG utcSeconds);

// FormatItemTime for many items: the texts of each day and each second of a day are made
// once, since the items of a tree share most of them.
class ItemTimeTexts {
public:
    std::wstring Format(LONGLONG utcSeconds);

private:
    std::unordered_map<LONGLONG, std::wstring> dates_;
    std::unordered_map<LONGLONG, std::wstring> times_;
};

ItemRowCells MakeItemRowCells(const CFileInfo& record, bool swapped, ItemTimeTexts& times);
