#include "engine/model/file_info_array.h"

namespace {

// Whether a new element goes in front of an existing one, given how the existing one
// compares with it: in ascending order it goes before the first that is >= it, in
// descending order before the first that is <= it.
bool NewGoesFirst(int comparison, bool descending) { return descending ? comparison <= 0 : comparison >= 0; }

int CompareNumbers(auto a, auto b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

int CFileInfoArray::AddSorted(CFileInfo element, int code) {
    const PathCompareFunction names =
        (code & kSortCaseSensitive) ? CompareFileInfoBySecondNameCase : CompareFileInfoBySecondName;
    const int order = code & ~kSortCaseSensitive;
    const bool descending = (order & kSortDescending) != 0;
    switch (order & ~kSortDescending) {
    case kSortBySize:
        return InsertBeforeFirst(std::move(element), [&](const CFileInfo& e, const CFileInfo& n) {
            return NewGoesFirst(CompareNumbers(e.size, n.size), descending);
        });
    case kSortByPath:
        return InsertBeforeFirst(std::move(element), [&](const CFileInfo& e, const CFileInfo& n) {
            return NewGoesFirst(names(e.path, n.path), descending);
        });
    case kSortByTime:
        return InsertBeforeFirst(std::move(element), [&](const CFileInfo& e, const CFileInfo& n) {
            return NewGoesFirst(CompareNumbers(e.lastWrite, n.lastWrite), descending);
        });
    case kSortByRelativePath:
        return InsertBeforeFirst(std::move(element), [&](const CFileInfo& e, const CFileInfo& n) {
            return NewGoesFirst(names(e.relativePath, n.relativePath), descending);
        });
    default:
        return InsertAt(GetSize(), std::move(element));
    }
}

int CFileInfo2Array::AddSorted(CFileInfo2 element, int code) {
    const PathCompareFunction names =
        (code & kSortCaseSensitive) ? CompareFileInfoBySecondNameCase : CompareFileInfoBySecondName;
    const int order = code & ~kSortCaseSensitive;
    const bool descending = (order & kSortDescending) != 0;
    switch (order & ~kSortDescending) {
    case kSortBySize:
        return InsertBeforeFirst(std::move(element), [&](const CFileInfo2& e, const CFileInfo2& n) {
            return NewGoesFirst(CompareNumbers(e.size, n.size), descending);
        });
    case kSortByTime:
        return InsertBeforeFirst(std::move(element), [&](const CFileInfo2& e, const CFileInfo2& n) {
            return NewGoesFirst(CompareNumbers(e.time, n.time), descending);
        });
    case kSortByPath:
    case kSortByRelativePath:
        return InsertBeforeFirst(std::move(element), [&](const CFileInfo2& e, const CFileInfo2& n) {
            return NewGoesFirst(names(e.name, n.name), descending);
        });
    default:
        return InsertAt(GetSize(), std::move(element));
    }
}
