// Hunk headers of the comparer's normal-format output, and the order they must come in.
#include <gtest/gtest.h>

#include "ui/compare/diff_hunk.h"

namespace {

TEST(DiffHunk, HeadersGiveTypeAndBothRanges) {
    EXPECT_EQ(ParseDiffHunk("5a6,8"), (DiffDetailItem{kDiffAdded, 5, 5, 6, 8}));
    EXPECT_EQ(ParseDiffHunk("3,4c3"), (DiffDetailItem{kDiffChanged, 3, 4, 3, 3}));
    EXPECT_EQ(ParseDiffHunk("7d6"), (DiffDetailItem{kDiffDeleted, 7, 7, 6, 6}));
    // Additions before the first line and deletions of the first lines name line 0.
    EXPECT_EQ(ParseDiffHunk("0a1,3"), (DiffDetailItem{kDiffAdded, 0, 0, 1, 3}));
    EXPECT_EQ(ParseDiffHunk("1,3d0"), (DiffDetailItem{kDiffDeleted, 1, 3, 0, 0}));
}

TEST(DiffHunk, OnlyLinesStartingWithADigitAreHeaders) {
    EXPECT_TRUE(IsDiffHunkHeader("12c12"));
    EXPECT_FALSE(IsDiffHunkHeader("> 1a2"));
    EXPECT_FALSE(IsDiffHunkHeader("< 3c4"));
    EXPECT_FALSE(IsDiffHunkHeader("---"));
    EXPECT_FALSE(IsDiffHunkHeader(""));
}

TEST(DiffHunk, HeadersThatCannotBeDrawnAreRefused) {
    for (const char* bad : {"7,5c1", "1c3,2", "5x6", "5a", "a6", "1,a2", "1a2,", "2147483648a1", "1a99999999999",
                            "1a-2", "1a+2", "1 a2"}) {
        EXPECT_THROW(ParseDiffHunk(bad), DiffHunkError) << bad;
    }
    EXPECT_EQ(ParseDiffHunk("2147483647d0").leftFirst, 2147483647);
}

TEST(DiffHunk, HunksMustNotGoBack) {
    DiffHunks hunks;
    AppendDiffHunk(hunks, ParseDiffHunk("3,4c3"));
    // Lines 4 on the left and 3 on the right are taken: a change may not take them again.
    EXPECT_THROW(AppendDiffHunk(hunks, ParseDiffHunk("4c5")), DiffHunkError);
    EXPECT_THROW(AppendDiffHunk(hunks, ParseDiffHunk("6c3")), DiffHunkError);
    EXPECT_THROW(AppendDiffHunk(hunks, ParseDiffHunk("2a5")), DiffHunkError);
    // An addition may come right after the last line taken, a deletion likewise.
    AppendDiffHunk(hunks, ParseDiffHunk("4a4"));
    AppendDiffHunk(hunks, ParseDiffHunk("6d4"));
    AppendDiffHunk(hunks, ParseDiffHunk("8c6"));
    EXPECT_EQ(hunks.size(), 4u);
}

}  // namespace
