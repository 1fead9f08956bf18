#include "engine/model/file_info_array.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/core/text.h"

namespace {

std::string U(std::wstring_view wide) { return plat::WideToUtf8(wide); }

CFileInfo Record(const std::wstring& relativePath, ULONGLONG size = 0, LONGLONG lastWrite = 0) {
    CFileInfo record;
    record.Set(L"/root/" + relativePath, size, FILE_ATTRIBUTE_ARCHIVE, lastWrite, relativePath, 0);
    return record;
}

CFileInfo2 Row(const std::wstring& name, ULONGLONG size = 0, LONGLONG time = 0) {
    CFileInfo2 row;
    row.Set(name, size, FILE_ATTRIBUTE_ARCHIVE, time, 0);
    return row;
}

// Names that differ in case, in non-ASCII letters and in bytes that are not UTF-8
// (carried as U+DC80..U+DCFF); some share prefixes with their folders.
std::vector<std::wstring> SampleNames() {
    return {L"a",
            L"b",
            L"c",
            L"B.txt",
            L"a.txt",
            L"A.TXT2",
            L"dir/x",
            L"dir/X1",
            L"dir",
            L"dir/sub/deep",
            L"\x00E9t\x00E9",
            L"\x00C9T\x00C9x",
            L"\xDC80raw",
            L"\xDCFF",
            L"z\xDCC3",
            L"\x65E5\x672C",
            L"~tilde",
            L" space",
            L"Zeta",
            L"zeta2",
            L"0",
            L"10",
            L"9",
            L"\U0001F600emoji"};
}

const std::string* Key(const CFileInfo& r) { return &r.relativePath; }
const std::string* Key(const CFileInfo2& r) { return &r.name; }

enum class Order { Sorted, Reversed, Random1, Random2 };

std::vector<std::wstring> Arrange(std::vector<std::wstring> names, Order order, PathCompareFunction compare) {
    std::sort(names.begin(), names.end(),
              [&](const std::wstring& a, const std::wstring& b) { return compare(U(a), U(b)) < 0; });
    switch (order) {
    case Order::Sorted: break;
    case Order::Reversed: std::reverse(names.begin(), names.end()); break;
    case Order::Random1: std::shuffle(names.begin(), names.end(), std::mt19937(1)); break;
    case Order::Random2: std::shuffle(names.begin(), names.end(), std::mt19937(2)); break;
    }
    return names;
}

template <typename Array, typename Make>
void CheckOrderedInserts(PathCompareFunction compare, Make make) {
    for (Order order : {Order::Sorted, Order::Reversed, Order::Random1, Order::Random2}) {
        const auto names = Arrange(SampleNames(), order, compare);
        Array array;
        array.SetCompareFunction(compare);
        for (const auto& name : names) {
            const int at = array.OrderedInsert(make(name));
            ASSERT_GE(at, 0);
            ASSERT_LT(at, array.GetSize());
        }
        ASSERT_EQ(array.GetSize(), static_cast<int>(names.size()));
        for (int i = 1; i < array.GetSize(); ++i) {
            EXPECT_LE(compare(*Key(array[i - 1]), *Key(array[i])), 0) << "order " << static_cast<int>(order);
        }
        for (const auto& name : names) {
            const int found = array.FindByName(U(name));
            ASSERT_GE(found, 0) << "order " << static_cast<int>(order);
            EXPECT_EQ(compare(*Key(array[found]), U(name)), 0);
        }
        for (const wchar_t* absent : {L"", L"aa", L"dir/", L"dir/sub", L"\xDC81raw", L"zzzz"}) {
            EXPECT_EQ(array.FindByName(U(absent)), -1) << "order " << static_cast<int>(order);
        }
    }
}

TEST(SortedArray, InsertsInOrderSoLookupsFindEveryName) {
    // Inserting at the last probe of the search instead would give [b, c, a] here.
    CFileInfoArray files(CompareFileInfoBySecondNameCase);
    EXPECT_EQ(files.OrderedInsert(Record(L"a")), 0);
    EXPECT_EQ(files.OrderedInsert(Record(L"b")), 1);
    EXPECT_EQ(files.OrderedInsert(Record(L"c")), 2);
    EXPECT_EQ(files[0].relativePath, U(L"a"));
    EXPECT_EQ(files[1].relativePath, U(L"b"));
    EXPECT_EQ(files[2].relativePath, U(L"c"));
    EXPECT_EQ(files.FindByName(U(L"a")), 0);
    EXPECT_EQ(files.FindByName(U(L"b")), 1);
    EXPECT_EQ(files.FindByName(U(L"c")), 2);

    CFileInfo2Array rows;
    for (const wchar_t* name : {L"a", L"b", L"c"}) rows.OrderedInsert(Row(name));
    EXPECT_EQ(rows[0].name, U(L"a"));
    EXPECT_EQ(rows[2].name, U(L"c"));
    EXPECT_EQ(rows.FindByName(U(L"a")), 0);
}

TEST(SortedArray, EveryInsertionOrderCaseBlind) {
    CheckOrderedInserts<CFileInfoArray>(CompareFileInfoBySecondName, [](const std::wstring& n) { return Record(n); });
}

TEST(SortedArray, EveryInsertionOrderCaseSensitive) {
    CheckOrderedInserts<CFileInfoArray>(CompareFileInfoBySecondNameCase,
                                        [](const std::wstring& n) { return Record(n); });
}

TEST(SortedArray, EveryInsertionOrderCatalogRows) {
    CheckOrderedInserts<CFileInfo2Array>(CompareFileInfo2ByName, [](const std::wstring& n) { return Row(n); });
}

TEST(SortedArray, FirstInsertGoesToIndexZero) {
    CFileInfoArray files;
    EXPECT_EQ(files.FindByName(U(L"x")), -1);
    EXPECT_EQ(files.OrderedInsert(Record(L"x")), 0);
}

TEST(SortedArray, AnEqualElementGoesInFrontOfTheOnesThere) {
    for (const int seed : {1, 2, 3}) {
        CFileInfo2Array rows;
        std::vector<std::wstring> names = {L"m", L"m", L"m", L"a", L"z", L"m", L"a", L"z", L"m"};
        std::shuffle(names.begin(), names.end(), std::mt19937(seed));
        ULONGLONG sequence = 0;
        for (const auto& name : names) rows.OrderedInsert(Row(name, ++sequence));
        ASSERT_EQ(rows.GetSize(), 9);
        for (int i = 1; i < rows.GetSize(); ++i) {
            const int c = CompareFileInfo2ByName(rows[i - 1].name, rows[i].name);
            EXPECT_LE(c, 0);
            if (c == 0) {
                EXPECT_GT(rows[i - 1].size, rows[i].size) << "the later insert must come first";
            }
        }
        // A lookup lands on the first of the equal rows: the latest inserted.
        const int m = rows.FindByName(U(L"m"));
        ASSERT_GE(m, 0);
        EXPECT_TRUE(m == 0 || rows[m - 1].name != "m");
    }
}

TEST(SortedArray, CaseBlindArrayFindsOtherCaseButCatalogDoesNot) {
    CFileInfoArray files(CompareFileInfoBySecondName);
    files.OrderedInsert(Record(L"A.TXT"));
    files.OrderedInsert(Record(L"\x00C9t\x00C9"));
    EXPECT_EQ(files.FindByName(U(L"a.txt")), files.FindByName(U(L"A.TXT")));
    EXPECT_GE(files.FindByName(U(L"a.txt")), 0);
    EXPECT_GE(files.FindByName(U(L"\x00E9t\x00E9")), 0);

    CFileInfoArray exact(CompareFileInfoBySecondNameCase);
    exact.OrderedInsert(Record(L"A.TXT"));
    EXPECT_EQ(exact.FindByName(U(L"a.txt")), -1);

    CFileInfo2Array rows;
    rows.OrderedInsert(Row(L"A.TXT"));
    EXPECT_EQ(rows.FindByName(U(L"a.txt")), -1);
    EXPECT_EQ(rows.FindByName(U(L"A.TXT")), 0);
}

TEST(SortedArray, FindStaysInsideItsRange) {
    CFileInfo2Array rows;
    for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"}) rows.OrderedInsert(Row(name));
    EXPECT_EQ(rows.Find("d"), 3);
    EXPECT_EQ(rows.Find("d", 3, 3), 3);
    EXPECT_EQ(rows.Find("d", 0, 2), -1);
    EXPECT_EQ(rows.Find("d", 4), -1);
    EXPECT_EQ(rows.Find("e", 0, 99), 4);   // past the end means the last index
    EXPECT_EQ(rows.Find("a", -7, -1), 0);  // below the start means the first
    EXPECT_EQ(rows.Find("c", 4, 1), -1);   // an empty range
}

TEST(SortedArray, RecordsKeepTheirAddressWhileOthersAreInserted) {
    CFileInfoArray files(CompareFileInfoBySecondNameCase);
    files.OrderedInsert(Record(L"m-middle", 42));
    CFileInfo* kept = &files[0];
    std::mt19937 random(7);
    for (int i = 0; i < 5000; ++i) files.OrderedInsert(Record(std::to_wstring(random()), i));
    const int at = files.FindByName(U(L"m-middle"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(&files[at], kept);
    EXPECT_EQ(kept->size, 42u);

    CFileInfoArray moved = std::move(files);
    EXPECT_EQ(&moved[moved.FindByName(U(L"m-middle"))], kept);
    moved.RemoveAll();
    EXPECT_EQ(moved.GetSize(), 0);
    EXPECT_EQ(moved.FindByName(U(L"m-middle")), -1);
}

TEST(SortedArray, ChangingTheCompareFunctionKeepsLookupsRight) {
    CFileInfoArray files(CompareFileInfoBySecondNameCase);
    for (const wchar_t* name : {L"b", L"B", L"a", L"C"}) files.OrderedInsert(Record(name));
    files.SetCompareFunction(CompareFileInfoBySecondName);
    for (int i = 1; i < files.GetSize(); ++i) {
        EXPECT_LE(CompareFileInfoBySecondName(files[i - 1].relativePath, files[i].relativePath), 0);
    }
    EXPECT_GE(files.FindByName(U(L"c")), 0);
    files.SetCompareFunction(nullptr);  // ignored
    EXPECT_EQ(files.GetCompareFunction(), &CompareFileInfoBySecondName);
}

TEST(SortedArray, InsertAtAndIteration) {
    CFileInfoArray files;
    EXPECT_EQ(files.InsertAt(5, Record(L"first")), 0);
    EXPECT_EQ(files.InsertAt(-3, Record(L"zero")), 0);
    EXPECT_EQ(files.InsertAt(1, Record(L"one")), 1);
    std::vector<std::wstring> seen;
    for (const CFileInfo& f : files) seen.push_back(plat::Utf8ToWide(f.relativePath));
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"zero", L"one", L"first"}));
    for (CFileInfo& f : files) f.treeItem = 3;
    EXPECT_EQ(files[2].treeItem, 3);
}

// ---- Display orders (AddSorted) ----

struct DisplayOrder {
    int code;
    bool descending;
};

template <typename Array, typename Elem, typename Cmp>
void CheckDisplayOrder(int code, Cmp compareKeys, const std::vector<Elem>& elements) {
    for (Order order : {Order::Sorted, Order::Reversed, Order::Random1, Order::Random2}) {
        std::vector<Elem> input = elements;
        if (order == Order::Reversed) std::reverse(input.begin(), input.end());
        if (order == Order::Random1) std::shuffle(input.begin(), input.end(), std::mt19937(11));
        if (order == Order::Random2) std::shuffle(input.begin(), input.end(), std::mt19937(12));
        Array array;
        int sequence = 0;
        for (Elem e : input) {
            e.attributes = static_cast<DWORD>(++sequence);  // insertion order, to check ties
            const int at = array.AddSorted(std::move(e), code);
            ASSERT_EQ(array[at].attributes, static_cast<DWORD>(sequence));
        }
        ASSERT_EQ(array.GetSize(), static_cast<int>(input.size()));
        const bool descending = (code & 1) != 0;
        for (int i = 1; i < array.GetSize(); ++i) {
            const int c = compareKeys(array[i - 1], array[i]);
            EXPECT_TRUE(descending ? c >= 0 : c <= 0) << "code " << code << " at " << i;
            if (c == 0) {
                EXPECT_GT(array[i - 1].attributes, array[i].attributes) << "code " << code;
            }
        }
    }
}

int Cmp3(auto a, auto b) { return a < b ? -1 : (a > b ? 1 : 0); }

TEST(DisplayOrder, ScannedRecordsBySizeNameAndTimeBothWays) {
    std::vector<CFileInfo> records;
    const auto names = SampleNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        // Sizes and times repeat, so ties occur; sizes pass 4 GiB.
        records.push_back(Record(names[i], (i % 5) * 0x100000000ull, static_cast<LONGLONG>(i % 7) - 3));
    }
    for (int caseBit : {0, kSortCaseSensitive}) {
        const PathCompareFunction names3 = caseBit ? CompareFileInfoBySecondNameCase : CompareFileInfoBySecondName;
        for (int direction : {0, kSortDescending}) {
            CheckDisplayOrder<CFileInfoArray>(
                kSortBySize | direction | caseBit,
                [](const CFileInfo& a, const CFileInfo& b) { return Cmp3(a.size, b.size); }, records);
            CheckDisplayOrder<CFileInfoArray>(
                kSortByTime | direction | caseBit,
                [](const CFileInfo& a, const CFileInfo& b) { return Cmp3(a.lastWrite, b.lastWrite); }, records);
            CheckDisplayOrder<CFileInfoArray>(
                kSortByPath | direction | caseBit,
                [&](const CFileInfo& a, const CFileInfo& b) { return names3(U(a.path()), U(b.path())); }, records);
            CheckDisplayOrder<CFileInfoArray>(
                kSortByRelativePath | direction | caseBit,
                [&](const CFileInfo& a, const CFileInfo& b) { return names3(a.relativePath, b.relativePath); },
                records);
        }
    }
}

TEST(DisplayOrder, CatalogRowsBySizeNameAndTimeBothWays) {
    std::vector<CFileInfo2> rows;
    const auto names = SampleNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        rows.push_back(Row(names[i], i % 4, 1000 + static_cast<LONGLONG>(i % 3)));
    for (int caseBit : {0, kSortCaseSensitive}) {
        const PathCompareFunction names3 = caseBit ? CompareFileInfoBySecondNameCase : CompareFileInfoBySecondName;
        for (int direction : {0, kSortDescending}) {
            CheckDisplayOrder<CFileInfo2Array>(
                kSortBySize | direction | caseBit,
                [](const CFileInfo2& a, const CFileInfo2& b) { return Cmp3(a.size, b.size); }, rows);
            CheckDisplayOrder<CFileInfo2Array>(
                kSortByTime | direction | caseBit,
                [](const CFileInfo2& a, const CFileInfo2& b) { return Cmp3(a.time, b.time); }, rows);
            for (int byName : {kSortByPath, kSortByRelativePath}) {
                CheckDisplayOrder<CFileInfo2Array>(
                    byName | direction | caseBit,
                    [&](const CFileInfo2& a, const CFileInfo2& b) { return names3(a.name, b.name); }, rows);
            }
        }
    }
}

TEST(DisplayOrder, OtherCodesAppend) {
    for (int code : {0, 1, 6, 7, 10, 11, 12, 13, 14, 15, 18, 64, -1, 6 | kSortCaseSensitive}) {
        CFileInfoArray files;
        CFileInfo2Array rows;
        for (const wchar_t* name : {L"c", L"a", L"b"}) {
            const int fileAt = files.AddSorted(Record(name, 3), code);
            const int rowAt = rows.AddSorted(Row(name, 3), code);
            EXPECT_EQ(fileAt, files.GetSize() - 1);
            EXPECT_EQ(rowAt, rows.GetSize() - 1);
        }
        EXPECT_EQ(files[0].relativePath, U(L"c"));
        EXPECT_EQ(files[1].relativePath, U(L"a"));
        EXPECT_EQ(rows[2].name, U(L"b"));
    }
}

TEST(DisplayOrder, CaseBitChoosesTheNameCompare) {
    CFileInfoArray blind;
    CFileInfoArray exact;
    for (const wchar_t* name : {L"b", L"B", L"a"}) {
        blind.AddSorted(Record(name), kSortByRelativePath);
        exact.AddSorted(Record(name), kSortByRelativePath | kSortCaseSensitive);
    }
    // Case-blind, "B" equals "b" and the later one goes first.
    EXPECT_EQ(blind[0].relativePath, U(L"a"));
    EXPECT_EQ(blind[1].relativePath, U(L"B"));
    EXPECT_EQ(blind[2].relativePath, U(L"b"));
    // With case, capitals sort before small letters.
    EXPECT_EQ(exact[0].relativePath, U(L"B"));
    EXPECT_EQ(exact[1].relativePath, U(L"a"));
    EXPECT_EQ(exact[2].relativePath, U(L"b"));
}

}  // namespace
