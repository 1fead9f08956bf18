#pragma once
// The sorted arrays of scanned records and of catalog rows.

#include <string_view>

#include "engine/model/file_info.h"
#include "engine/model/path_compare.h"
#include "engine/model/sorted_array.h"

// Sort codes of AddSorted: an order, plus 1 for descending and 0x20 for names compared
// with case. Any other order appends.
inline constexpr int kSortBySize = 2;
inline constexpr int kSortByPath = 4;          // a catalog row's name
inline constexpr int kSortByTime = 8;          // last write
inline constexpr int kSortByRelativePath = 16; // a catalog row's name
inline constexpr int kSortDescending = 1;
inline constexpr int kSortCaseSensitive = 0x20;

// The files directly in one scanned folder, in the order of their relative paths.
class CFileInfoArray : public CSortedArray<CFileInfo, &CFileInfo::relativePath> {
public:
    explicit CFileInfoArray(PathCompareFunction compare = CompareFileInfoBySecondName) : CSortedArray(compare) {}

    // Linear insertion in a display order chosen by `code` (see the sort codes); the new
    // element goes in front of the first one that is not before it. Returns its index.
    int AddSorted(CFileInfo element, int code);

    // The index of a record with that relative path, or -1. Adds nothing.
    int FindByName(std::wstring_view relativePath) const { return Find(relativePath); }
};

// The rows of one side's catalog, always compared with case.
class CFileInfo2Array : public CSortedArray<CFileInfo2, &CFileInfo2::name> {
public:
    CFileInfo2Array() : CSortedArray(CompareFileInfo2ByName) {}

    // As CFileInfoArray::AddSorted; both path orders sort by the row's name.
    int AddSorted(CFileInfo2 element, int code);

    // The index of the row with that name, or -1. Adds nothing.
    int FindByName(std::wstring_view name) const { return Find(name); }
};
