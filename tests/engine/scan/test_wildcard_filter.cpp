#include "engine/scan/wildcard_filter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "foundation/quoted_list.h"
#include "platform/core/text.h"

namespace {

using List = std::vector<std::wstring>;

bool Matches(std::wstring_view pattern, std::wstring_view text, unsigned flags = 0) {
    return WildcardMatch(pattern, text, flags) == 0;
}

// Every way a pattern could match, tried one by one. Slow, but plainly right.
bool ReferenceMatch(std::wstring_view p, std::wstring_view t, std::size_t pi, std::size_t ti, unsigned flags,
                    bool inStarRun) {
    const auto isLeadingDot = [&](std::size_t i) {
        return (flags & 4) && i < t.size() && t[i] == L'.' && (i == 0 || ((flags & 1) && t[i - 1] == L'/'));
    };
    const auto wildcardTakes = [&](std::size_t i) {
        return i < t.size() && !((flags & 1) && t[i] == L'/') && !isLeadingDot(i);
    };
    if (pi == p.size()) return ti == t.size();
    const wchar_t c = p[pi];
    if (c == L'*' && !inStarRun) {
        if (isLeadingDot(ti)) return false;
        for (std::size_t i = ti;; ++i) {
            if (ReferenceMatch(p, t, pi + 1, i, flags, true)) return true;
            if (!wildcardTakes(i)) return false;
        }
    }
    if (c == L'*' || c == L'?') {
        return wildcardTakes(ti) && ReferenceMatch(p, t, pi + 1, ti + 1, flags, inStarRun);
    }
    return ti < t.size() && t[ti] == c && ReferenceMatch(p, t, pi + 1, ti + 1, flags, false);
}

void AllStrings(const std::wstring& alphabet, std::size_t maxLength, std::vector<std::wstring>& out) {
    out.assign(1, L"");
    for (std::size_t start = 0; start < out.size(); ++start) {
        if (out[start].size() == maxLength) continue;
        for (const wchar_t c : alphabet) out.push_back(out[start] + c);
    }
}

TEST(WildcardMatch, StarsQuestionMarksAndLiterals) {
    EXPECT_TRUE(Matches(L"", L""));
    EXPECT_FALSE(Matches(L"", L"a"));
    EXPECT_TRUE(Matches(L"*", L""));
    EXPECT_TRUE(Matches(L"*", L"anything at all"));
    EXPECT_FALSE(Matches(L"?", L""));
    EXPECT_TRUE(Matches(L"?", L"x"));
    EXPECT_FALSE(Matches(L"?", L"xy"));
    EXPECT_TRUE(Matches(L"a*b", L"ab"));
    EXPECT_TRUE(Matches(L"a*b", L"axb"));
    EXPECT_TRUE(Matches(L"a*b", L"abxb"));
    EXPECT_FALSE(Matches(L"a*b", L"abx"));
    EXPECT_TRUE(Matches(L"a?c", L"abc"));
    EXPECT_FALSE(Matches(L"a?c", L"ac"));
    EXPECT_TRUE(Matches(L"x.tmp", L"x.tmp"));
    EXPECT_FALSE(Matches(L"x.tmp", L"x.tmp1"));
    EXPECT_TRUE(Matches(L"*.tmp", L".tmp"));
    EXPECT_FALSE(Matches(L"*.tmp", L"x.tmp1"));
    EXPECT_TRUE(Matches(L"*x*", L"abxcd"));
    // A backslash is an ordinary character, under flag 2 too.
    EXPECT_TRUE(Matches(L"a\\*", L"a\\bc"));
    EXPECT_TRUE(Matches(L"a\\*", L"a\\bc", kWildcardNoEscape));
    EXPECT_FALSE(Matches(L"a\\*", L"a*", kWildcardNoEscape));
}

TEST(WildcardMatch, StarStarNeedsOneMoreCharacterAndNeverRunsOffTheEnd) {
    EXPECT_TRUE(Matches(L"a**b", L"axb"));
    EXPECT_FALSE(Matches(L"a**b", L"ab"));
    EXPECT_TRUE(Matches(L"a*?b", L"axyb"));
    EXPECT_FALSE(Matches(L"a*?b", L"ab"));
    // The name has ended where a second '*' must take a character: no match.
    EXPECT_FALSE(Matches(L"**", L""));
    EXPECT_FALSE(Matches(L"a**", L"a"));
    EXPECT_TRUE(Matches(L"a**", L"ab"));
    EXPECT_FALSE(Matches(L"***", L"a"));
    EXPECT_TRUE(Matches(L"***", L"ab"));
    EXPECT_FALSE(Matches(L"*?*?", L"ab"));  // one run: any text, then three characters
    EXPECT_TRUE(Matches(L"*?*?", L"abc"));
    EXPECT_FALSE(Matches(L"x**.tmp", L"x.tmp"));
    // Kept apart by a literal, two stars are two free stars.
    EXPECT_TRUE(Matches(L"*.*", L"."));
}

TEST(WildcardMatch, FlagsAboveSevenAreRefused) {
    errno = 0;
    EXPECT_EQ(WildcardMatch(L"*", L"a", 8), -1);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(WildcardMatch(L"*", L"a", ~0u), -1);
    EXPECT_EQ(WildcardMatch(L"*", L"a", 7), 0);
    EXPECT_EQ(WildcardMatch(L"b", L"a", 7), 1);
}

TEST(WildcardMatch, PathNameAndLeadingDotFlags) {
    EXPECT_TRUE(Matches(L"*", L"a/b"));
    EXPECT_FALSE(Matches(L"*", L"a/b", kWildcardPathName));
    EXPECT_FALSE(Matches(L"a?b", L"a/b", kWildcardPathName));
    EXPECT_TRUE(Matches(L"a/*", L"a/bc", kWildcardPathName));
    EXPECT_FALSE(Matches(L"*/*", L"a/b/c", kWildcardPathName));
    EXPECT_TRUE(Matches(L"*/*/*", L"a/b/c", kWildcardPathName));
    EXPECT_FALSE(Matches(L"a**/b", L"a/b", kWildcardPathName));

    EXPECT_TRUE(Matches(L"*", L".profile"));
    EXPECT_FALSE(Matches(L"*", L".profile", kWildcardLeadingDot));
    EXPECT_FALSE(Matches(L"?profile", L".profile", kWildcardLeadingDot));
    EXPECT_FALSE(Matches(L"*.profile", L".profile", kWildcardLeadingDot));
    EXPECT_TRUE(Matches(L".*", L".profile", kWildcardLeadingDot));
    EXPECT_TRUE(Matches(L"x*", L"x.y", kWildcardLeadingDot));
    // After a '/', a dot leads only under the path-name rule.
    EXPECT_TRUE(Matches(L"a/*", L"a/.b", kWildcardLeadingDot));
    EXPECT_FALSE(Matches(L"a/*", L"a/.b", kWildcardPathName | kWildcardLeadingDot));
    EXPECT_TRUE(Matches(L"a/.*", L"a/.b", kWildcardPathName | kWildcardLeadingDot));
    EXPECT_FALSE(Matches(L"a*/*", L"ab/.x", kWildcardPathName | kWildcardLeadingDot));
}

// Every pattern of up to four characters against every text of up to five, for each
// combination of the flags that change anything.
TEST(WildcardMatch, AgreesWithTryingEveryWay) {
    std::vector<std::wstring> patterns;
    std::vector<std::wstring> texts;
    AllStrings(L"a./*?", 4, patterns);
    AllStrings(L"a./", 5, texts);
    for (const unsigned flags : {0u, 1u, 4u, 5u}) {
        for (const std::wstring& pattern : patterns) {
            for (const std::wstring& text : texts) {
                const bool expected = ReferenceMatch(pattern, text, 0, 0, flags, false);
                ASSERT_EQ(Matches(pattern, text, flags), expected)
                    << "pattern \"" << plat::WideToUtf8(pattern) << "\" text \"" << plat::WideToUtf8(text)
                    << "\" flags " << flags;
            }
        }
    }
}

// Patterns that make a backtracking matcher try every split of the name. These would
// not finish here if the matcher were exponential.
TEST(WildcardMatch, PathologicalPatternsFinish) {
    const std::wstring longName(20000, L'a');
    EXPECT_FALSE(Matches(L"*a*a*a*a*a*a*a*a*a*a*b", longName));
    EXPECT_TRUE(Matches(L"*a*a*a*a*a*a*a*a*a*a*b", longName + L"b"));
    EXPECT_FALSE(Matches(L"*a*a*a*a*b", longName, kWildcardPathName | kWildcardLeadingDot));
    EXPECT_FALSE(Matches(L"*?*?*?*?*?*?*?*?*?*?*?*?b", longName));
    EXPECT_FALSE(Matches(std::wstring(5000, L'*') + L"b", longName));
}

TEST(WildcardMatch, NonAsciiAndUndecodableBytesAreSingleCharacters) {
    const std::wstring undecodable = plat::Utf8ToWide("bad\xff.tmp");
    ASSERT_EQ(undecodable[3], wchar_t(0xDCFF));
    EXPECT_TRUE(Matches(L"*.tmp", undecodable));
    EXPECT_TRUE(Matches(L"bad?.tmp", undecodable));
    EXPECT_FALSE(Matches(L"bad??.tmp", undecodable));
    EXPECT_TRUE(Matches(undecodable, undecodable));
    EXPECT_TRUE(Matches(L"?ber*", L"über.txt"));
    EXPECT_TRUE(Matches(L"*😀", L"smile😀"));
}

TEST(HasWildcard, StarOrQuestionMark) {
    EXPECT_TRUE(HasWildcard(L"*.tmp"));
    EXPECT_TRUE(HasWildcard(L"a?c"));
    EXPECT_FALSE(HasWildcard(L"thumbs.db"));
    EXPECT_FALSE(HasWildcard(L""));
}

TEST(MatchFileFilter, PatternsOnTheNameAlone) {
    const List exclude = {L"*.tmp"};
    EXPECT_EQ(MatchFileFilter(L"/a/b/x.tmp", {}, exclude, true), 1);
    EXPECT_EQ(MatchFileFilter(L"/a/b/x.tmp1", {}, exclude, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/a/b.tmp/x", {}, exclude, true), 0);  // a folder's name is not the file's
    const List exact = {L"thumbs.db"};
    EXPECT_EQ(MatchFileFilter(L"/photos/Thumbs.db", {}, exact, true), 1);
    EXPECT_EQ(MatchFileFilter(L"/photos/mythumbs.db", {}, exact, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/photos/thumbs.db.bak", {}, exact, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/x.tmp", {}, {}, true), 0);
}

TEST(MatchFileFilter, IncludeAndExcludeListsTogether) {
    const List include = {L"*.jpg", L"*.png"};
    const List exclude = {L"draft*"};
    EXPECT_EQ(MatchFileFilter(L"/p/a.jpg", include, {}, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/p/a.txt", include, {}, true), 1);
    EXPECT_EQ(MatchFileFilter(L"/p/draft.txt", {}, exclude, true), 1);
    EXPECT_EQ(MatchFileFilter(L"/p/a.txt", {}, exclude, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/p/a.png", include, exclude, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/p/draft.png", include, exclude, true), 1);
    EXPECT_EQ(MatchFileFilter(L"/p/a.txt", include, exclude, true), 1);
}

TEST(MatchFileFilter, FolderPartsOfFilePatterns) {
    const List relative = {L"temp/*.tmp"};
    EXPECT_EQ(MatchFileFilter(L"/data/temp/x.tmp", {}, relative, false), 1);
    EXPECT_EQ(MatchFileFilter(L"/data/temp/sub/x.tmp", {}, relative, false), 0);
    EXPECT_EQ(MatchFileFilter(L"/data/temp/sub/x.tmp", {}, relative, true), 1);
    EXPECT_EQ(MatchFileFilter(L"/data/temp/x.txt", {}, relative, true), 0);
    // The folder part starts at a whole folder name.
    EXPECT_EQ(MatchFileFilter(L"/data/mytemp/x.tmp", {}, relative, false), 0);
    EXPECT_EQ(MatchFileFilter(L"/data/mytemp/x.tmp", {}, relative, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/temp/x.tmp", {}, relative, false), 1);

    const List absolute = {L"/data/temp/*.tmp"};
    EXPECT_EQ(MatchFileFilter(L"/data/temp/x.tmp", {}, absolute, false), 1);
    EXPECT_EQ(MatchFileFilter(L"/data/temp/sub/x.tmp", {}, absolute, false), 0);
    EXPECT_EQ(MatchFileFilter(L"/data/temp/sub/x.tmp", {}, absolute, true), 1);
    EXPECT_EQ(MatchFileFilter(L"/data/tempx/x.tmp", {}, absolute, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/other/data/temp/x.tmp", {}, absolute, true), 0);

    const List exactFile = {L"/data/notes.txt"};
    EXPECT_EQ(MatchFileFilter(L"/data/notes.txt", {}, exactFile, true), 1);
    EXPECT_EQ(MatchFileFilter(L"/data/old/notes.txt", {}, exactFile, false), 0);
}

TEST(MatchFileFilter, PathsAreFoldedToLowerCase) {
    FilterPatterns filter;
    ParseFilterPatterns(filter, L"*.JPG \"Ärger *.Txt\"", L"*.TMP");
    EXPECT_EQ(MatchFileFilter(L"/Data/PHOTO.jpg", filter.includePatterns, filter.excludePatterns, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/Data/photo.JPG", filter.includePatterns, filter.excludePatterns, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/Data/ÄRGER Brief.TXT", filter.includePatterns, filter.excludePatterns, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/Data/X.Tmp", {}, filter.excludePatterns, true), 1);

    const std::wstring undecodable = plat::Utf8ToWide("/Data/Caf\xe9.TMP");
    EXPECT_EQ(MatchFileFilter(undecodable, {}, filter.excludePatterns, true), 1);
    const List exact = {plat::Utf8ToWide("caf\xe9.tmp")};
    EXPECT_EQ(MatchFileFilter(undecodable, {}, exact, true), 1);
    const List otherByte = {plat::Utf8ToWide("caf\xc9.tmp")};  // an escape is never folded
    EXPECT_EQ(MatchFileFilter(plat::Utf8ToWide("/d/caf\xe9.tmp"), {}, otherByte, true), 0);
}

TEST(MatchFileFilter, StarDotStarNeedsADot) {
    const List all = {L"*.*"};
    EXPECT_EQ(MatchFileFilter(L"/d/a.b", all, {}, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/d/.profile", all, {}, true), 0);
    EXPECT_EQ(MatchFileFilter(L"/d/README", all, {}, true), 1);
}

TEST(MatchFolderFilter, RelativeAndAbsoluteFolderPatterns) {
    const List relative = {L"temp/"};
    EXPECT_EQ(MatchFolderFilter(L"/data/temp", {}, relative, false), 1);
    EXPECT_EQ(MatchFolderFilter(L"/data/temp/", {}, relative, false), 1);
    EXPECT_EQ(MatchFolderFilter(L"/temp/old", {}, relative, false), 0);
    EXPECT_EQ(MatchFolderFilter(L"/temp/old", {}, relative, true), 1);
    EXPECT_EQ(MatchFolderFilter(L"/data/Temp", {}, relative, true), 1);
    EXPECT_EQ(MatchFolderFilter(L"/data/mytemp", {}, relative, true), 0);
    EXPECT_EQ(MatchFolderFilter(L"/data/mytemp", {}, relative, false), 0);
    EXPECT_EQ(MatchFolderFilter(L"/data/temporary", {}, relative, true), 0);

    const List absolute = {L"/data/cache/"};
    EXPECT_EQ(MatchFolderFilter(L"/data/cache", {}, absolute, false), 1);
    EXPECT_EQ(MatchFolderFilter(L"/data/cache/old", {}, absolute, false), 0);
    EXPECT_EQ(MatchFolderFilter(L"/data/cache/old", {}, absolute, true), 1);
    EXPECT_EQ(MatchFolderFilter(L"/data/cachex", {}, absolute, true), 0);
    EXPECT_EQ(MatchFolderFilter(L"/more/data/cache", {}, absolute, true), 0);

    EXPECT_EQ(MatchFolderFilter(L"/data/cache", {}, {}, true), 0);
}

// The lists as a run builds them from a task's filter texts, tested as the scan does:
// the full path, the substring flag, files against the file lists and folders against
// the folder lists.
TEST(MatchFolderFilter, ListsAsTheScanUsesThem) {
    FilterPatterns filter;
    ParseFilterPatterns(filter, L"*.jpg \"/home/ann/Photos/Best/*.*\"",
                        L"*.tmp \"/home/ann/Photos/Cache/*.*\" thumbs/*.*");
    ASSERT_EQ(filter.includeFolders, List{L"/home/ann/photos/best/"});
    ASSERT_EQ(filter.excludeFolders, (List{L"/home/ann/photos/cache/", L"thumbs/"}));

    const auto fileExcluded = [&](const wchar_t* path) {
        return MatchFileFilter(path, filter.includePatterns, filter.excludePatterns, true);
    };
    const auto folderExcluded = [&](const wchar_t* path) {
        return MatchFolderFilter(path, filter.includeFolders, filter.excludeFolders, true);
    };
    EXPECT_EQ(fileExcluded(L"/home/ann/Photos/a.JPG"), 0);
    EXPECT_EQ(fileExcluded(L"/home/ann/Photos/a.tmp"), 1);
    EXPECT_EQ(fileExcluded(L"/home/ann/Photos/notes.txt"), 1);

    EXPECT_EQ(folderExcluded(L"/home/ann/Photos/Best"), 0);
    EXPECT_EQ(folderExcluded(L"/home/ann/Photos/Best/2024"), 0);
    EXPECT_EQ(folderExcluded(L"/home/ann/Photos/Other"), 1);        // not in the include list
    EXPECT_EQ(folderExcluded(L"/home/ann/Photos/Best/Thumbs"), 1);  // in both: exclusion wins
    EXPECT_EQ(folderExcluded(L"/home/ann/Photos/Cache"), 1);
}

}  // namespace
