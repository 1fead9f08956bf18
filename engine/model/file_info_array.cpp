#include "engine/model/file_info_array.h"

#include "platform/core/text.h"

namespace {

// Whether a new element goes in front of an existing one, given how the existing one
// compares with it: in ascending order it goes before the first that is >= it, in
// descending order before the first that is <= it.
bool NewGoesFirst(int comparison, bool descending) { return descending ? comparison <= 0 : comparison >= 0; }

int CompareNumbers(auto a, auto b) { return a < b ? -1 : (a > b ? 1 : 0); }

// The fields the display orders compare.
std::string PathOf(const CFileInfo& record) { return plat::WideToUtf8(record.path()); }
const std::string& PathOf(const CFileInfo2& row) { return row.name; }
const std::string& RelativePathOf(const CFileInfo& record) { return record.relativePath; }
const std::string& RelativePathOf(const CFileInfo2& row) { return row.name; }
auto TimeOf(const CFileInfo& record) { return record.lastWrite; }
auto TimeOf(const CFileInfo2& row) { return row.time; }

}  // namespace

template <typename Record, std::string Record::*Key>
int CRecordArray<Record, Key>::AddSorted(Record element, int code) {
    const PathCompareFunction names =
        (code & kSortCaseSensitive) ? CompareFileInfoBySecondNameCase : CompareFileInfoBySecondName;
    const int order = code & ~kSortCaseSensitive;
    const bool descending = (order & kSortDescending) != 0;
    switch (order & ~kSortDescending) {
    case kSortBySize:
        return this->InsertBeforeFirst(std::move(element), [&](const Record& e, const Record& n) {
            return NewGoesFirst(CompareNumbers(e.size, n.size), descending);
        });
    case kSortByPath:
        return this->InsertBeforeFirst(std::move(element), [&](const Record& e, const Record& n) {
            return NewGoesFirst(names(PathOf(e), PathOf(n)), descending);
        });
    case kSortByTime:
        return this->InsertBeforeFirst(std::move(element), [&](const Record& e, const Record& n) {
            return NewGoesFirst(CompareNumbers(TimeOf(e), TimeOf(n)), descending);
        });
    case kSortByRelativePath:
        return this->InsertBeforeFirst(std::move(element), [&](const Record& e, const Record& n) {
            return NewGoesFirst(names(RelativePathOf(e), RelativePathOf(n)), descending);
        });
    default: return this->InsertAt(this->GetSize(), std::move(element));
    }
}

template class CRecordArray<CFileInfo, &CFileInfo::relativePath>;
template class CRecordArray<CFileInfo2, &CFileInfo2::name>;
