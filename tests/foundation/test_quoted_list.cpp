#include "foundation/quoted_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::wstring>;

Strings Split(std::wstring_view text) {
    Strings entries;
    const int added = SplitQuotedList(text, entries);
    EXPECT_EQ(added, static_cast<int>(entries.size()));
    return entries;
}

TEST(QuotedList, QuotedEntriesKeepTheirBlanks) {
    EXPECT_EQ(Split(L"\"a b\" c d"), (Strings{L"\"a b\"", L"c", L"d"}));
    Strings patterns;
    ParseQuotedList(L"\"a b\" c d", patterns);
    EXPECT_EQ(patterns, (Strings{L"a b", L"c", L"d"}));
}

TEST(QuotedList, BlanksAndSemicolonsSeparateBareEntries) {
    EXPECT_EQ(Split(L"  *.tmp\t*.log;*.bak ;; x  "), (Strings{L"*.tmp", L"*.log", L"*.bak", L"x"}));
    // Inside quotes a ';' is part of the name.
    EXPECT_EQ(Split(L"\"a;b c\";d"), (Strings{L"\"a;b c\"", L"d"}));
    // Quotes may touch bare words.
    EXPECT_EQ(Split(L"x\"y z\"w"), (Strings{L"x", L"\"y z\"", L"w"}));
}

TEST(QuotedList, EmptyAndBlankEntriesAreDropped) {
    EXPECT_EQ(Split(L""), Strings{});
    EXPECT_EQ(Split(L"   \t "), Strings{});
    EXPECT_EQ(Split(L"\"\" \" \" \"   \" a"), (Strings{L"a"}));
    EXPECT_EQ(Split(L";;;"), Strings{});
}

TEST(QuotedList, AnOpenQuoteTakesTheRest) {
    EXPECT_EQ(Split(L"a \"b c d"), (Strings{L"a", L"\"b c d\""}));
    EXPECT_EQ(Split(L"\"a\" \"b"), (Strings{L"\"a\"", L"\"b\""}));
    EXPECT_EQ(Split(L"a \""), (Strings{L"a"}));
    Strings patterns;
    ParseQuotedList(L"x \"My Docs; old", patterns);
    EXPECT_EQ(patterns, (Strings{L"x", L"my docs; old"}));
}

TEST(QuotedList, SplitAppendsToWhatIsThere) {
    Strings entries{L"kept"};
    EXPECT_EQ(SplitQuotedList(L"a \"b c\"", entries), 2);
    EXPECT_EQ(entries, (Strings{L"kept", L"a", L"\"b c\""}));
}

TEST(QuotedList, WhatTheWritersProduceReadsBack) {
    // Writers put each entry in quotes followed by one blank.
    const Strings names = {L"My Pictures", L"a\"", L"x", L"\x00E9t\x00E9 \xDC80"};
    std::wstring text;
    for (const auto& n : Strings{L"My Pictures", L"x", L"\x00E9t\x00E9 \xDC80"}) text += L"\"" + n + L"\" ";
    EXPECT_EQ(Split(text), (Strings{L"\"My Pictures\"", L"\"x\"", L"\"\x00E9t\x00E9 \xDC80\""}));
}

TEST(QuotedList, PatternsAreLowerCase) {
    Strings patterns;
    ParseQuotedList(L"*.TMP *.tmp \"Été.DOC\"", patterns);
    EXPECT_EQ(patterns, (Strings{L"*.tmp", L"*.tmp", L"\x00E9t\x00E9.doc"}));
}

TEST(QuotedList, AllFilesEntriesBecomeFolders) {
    Strings patterns;
    Strings folders;
    ParseQuotedList(L"*.* /Home/Docs/*.* \"/tmp/my dir/*.*\" *.log *.*x", patterns, &folders);
    EXPECT_EQ(patterns, (Strings{L"*.*", L"*.log", L"*.*x"}));
    EXPECT_EQ(folders, (Strings{L"/home/docs/", L"/tmp/my dir/"}));

    // Without a folder list everything is a pattern.
    ParseQuotedList(L"/home/docs/*.*", patterns);
    EXPECT_EQ(patterns, (Strings{L"/home/docs/*.*"}));
}

TEST(QuotedList, NoEntriesLeavesBothListsEmpty) {
    Strings patterns{L"old"};
    Strings folders{L"old/"};
    ParseQuotedList(L"  \"\"  ", patterns, &folders);
    EXPECT_TRUE(patterns.empty());
    EXPECT_TRUE(folders.empty());
}

TEST(QuotedList, FilterPatternsFillFourLists) {
    FilterPatterns filter;
    filter.excludeFolders = {L"stale/"};
    ParseFilterPatterns(filter, L"*.DOC docs/*.*", L"");
    EXPECT_EQ(filter.includePatterns, (Strings{L"*.doc"}));
    EXPECT_EQ(filter.includeFolders, (Strings{L"docs/"}));
    EXPECT_TRUE(filter.excludePatterns.empty());
    EXPECT_TRUE(filter.excludeFolders.empty());

    ParseFilterPatterns(filter, L"", L"*.tmp \"cache dir/*.*\"");
    EXPECT_TRUE(filter.includePatterns.empty());
    EXPECT_TRUE(filter.includeFolders.empty());
    EXPECT_EQ(filter.excludePatterns, (Strings{L"*.tmp"}));
    EXPECT_EQ(filter.excludeFolders, (Strings{L"cache dir/"}));
}

TEST(QuotedList, VeryLongInput) {
    std::wstring text;
    for (int i = 0; i < 100000; ++i)
        text += (i % 2) ? L"\"entry " + std::to_wstring(i) + L"\" " : L"e" + std::to_wstring(i) + L";";
    const Strings entries = Split(text);
    ASSERT_EQ(entries.size(), 100000u);
    EXPECT_EQ(entries[0], L"e0");
    EXPECT_EQ(entries[99999], L"\"entry 99999\"");

    const std::wstring single(1 << 20, L'x');
    EXPECT_EQ(Split(single), (Strings{single}));
    const std::wstring open = L"\"" + std::wstring(1 << 20, L' ') + L"y";
    EXPECT_EQ(Split(open).size(), 1u);
}

TEST(QuotedList, WideToCodePageFitsOrFails) {
    char buffer[8];
    EXPECT_EQ(WideToCodePage(buffer, L"abc", sizeof buffer, 0), buffer);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(WideToCodePage(buffer, L"\x00E9\x00E9\x00E9", sizeof buffer, 65001), buffer);
    EXPECT_STREQ(buffer, "\xC3\xA9\xC3\xA9\xC3\xA9");
    EXPECT_EQ(WideToCodePage(buffer, L"\xDCFF", sizeof buffer, 0), buffer);  // a raw byte comes back
    EXPECT_STREQ(buffer, "\xFF");
    EXPECT_EQ(WideToCodePage(buffer, L"12345678", sizeof buffer, 0), nullptr);  // no room for the end
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(WideToCodePage(nullptr, L"a", 4, 0), nullptr);
    EXPECT_EQ(WideToCodePage(buffer, nullptr, sizeof buffer, 0), nullptr);
    EXPECT_EQ(WideToCodePage(buffer, L"a", 0, 0), nullptr);
}

}  // namespace
