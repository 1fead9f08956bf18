#pragma once
// The sorted arrays of scanned records and of catalog rows.

#include <string_view>

#include "engine/model/file_info.h"
#include "engine/model/path_compare.h"
#include "engine/model/sorted_array.h"

// Sort codes of AddSorted: an order, plus 1 for descending and 0x20 for names compared
// with case. Any other order appends.
inline constexpr int kSortBySize = 2;
inline constexpr int kSortByPath = 4;           // a catalog row's name
inline constexpr int kSortByTime = 8;           // last write
inline constexpr int kSortByRelativePath = 16;  // a catalog row's name
inline constexpr int kSortDescending = 1;
inline constexpr int kSortCaseSensitive = 0x20;

// What both record arrays add to the sorted array: insertion in a display order.
template <typename Record, std::string Record::*Key>
class CRecordArray : public CSortedArray<Record, Key> {
public:
    using CSortedArray<Record, Key>::CSortedArray;

    // Linear insertion in a display order chosen by `code` (see the sort codes); the new
    // element goes in front of the first one that is not before it. Returns its index.
    // A catalog row sorts by its name in both path orders.
    int AddSorted(Record element, int code);

    // The index of a record with that relative path (a row: that name), or -1. Adds nothing.
    int FindByName(std::string_view name) const { return this->Find(name); }
};

// The files directly in one scanned folder, in the order of their relative paths.
class CFileInfoArray : public CRecordArray<CFileInfo, &CFileInfo::relativePath> {
public:
    explicit CFileInfoArray(PathCompareFunction compare = CompareFileInfoBySecondName) : CRecordArray(compare) {}
};

// The rows of one side's catalog, always compared with case.
class CFileInfo2Array : public CRecordArray<CFileInfo2, &CFileInfo2::name> {
public:
    CFileInfo2Array() : CRecordArray(CompareFileInfo2ByName) {}
};
