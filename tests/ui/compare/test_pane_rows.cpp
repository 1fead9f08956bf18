// The rows of the compare window's two panes, from two files and the comparer's hunks.
#include <gtest/gtest.h>

#include <cstring>

#include "support/temp_dir.h"
#include "ui/compare/pane_rows.h"

namespace {

TextFileLines Lines(std::string bytes) {
    TextFileLines lines;
    lines.Assign(std::move(bytes));
    return lines;
}

std::string Numbered(int first, int last, const char* prefix = "") {
    std::string text;
    for (int i = first; i <= last; ++i) text += prefix + std::to_string(i) + "\n";
    return text;
}

// Each row as "text|value", so a whole pane reads as one list.
std::vector<std::string> Show(const std::vector<PaneRow>& rows) {
    std::vector<std::string> shown;
    for (const PaneRow& row : rows) shown.push_back(row.text + "|" + std::to_string(row.value));
    return shown;
}

struct Panes {
    std::vector<std::string> left, right;
};

Panes Fill(const std::string& leftBytes, const std::string& rightBytes, const DiffHunks& hunks) {
    const TextFileLines left = Lines(leftBytes), right = Lines(rightBytes);
    return {Show(FillPaneRows(PaneSide::Left, left, right.size(), hunks)),
            Show(FillPaneRows(PaneSide::Right, right, left.size(), hunks))};
}

TEST(PaneRows, AddedChangedAndDeletedLinesStandLevel) {
    {
        SCOPED_TRACE("5a6,8");
        const std::string right = Numbered(1, 5) + "n1\nn2\nn3\n" + Numbered(6, 8);
        const Panes panes = Fill(Numbered(1, 8), right, {{kDiffAdded, 5, 5, 6, 8}});
        EXPECT_EQ(panes.left, (std::vector<std::string>{"1     1|0", "2     2|0", "3     3|0", "4     4|0", "5     5|0",
                                                        "|1", "|1", "|1", "6     6|0", "7     7|0", "8     8|0"}));
        EXPECT_EQ(panes.right, (std::vector<std::string>{"1     1|0", "2     2|0", "3     3|0", "4     4|0",
                                                         "5     5|0", "6     n1|1", "7     n2|1", "8     n3|1",
                                                         "9     6|0", "10    7|0", "11    8|0"}));
    }
    {
        SCOPED_TRACE("3,4c3");
        const Panes panes = Fill("a\nb\nc\nd\ne\n", "a\nb\nX\ne\n", {{kDiffChanged, 3, 4, 3, 3}});
        EXPECT_EQ(panes.left,
                  (std::vector<std::string>{"1     a|0", "2     b|0", "3     c|1", "4     d|1", "5     e|0"}));
        EXPECT_EQ(panes.right, (std::vector<std::string>{"1     a|0", "2     b|0", "3     X|1", "|1", "4     e|0"}));
    }
    {
        SCOPED_TRACE("7d6");
        const Panes panes = Fill(Numbered(1, 8), Numbered(1, 6) + "8\n", {{kDiffDeleted, 7, 7, 6, 6}});
        ASSERT_EQ(panes.left.size(), 8u);
        ASSERT_EQ(panes.right.size(), 8u);
        EXPECT_EQ(panes.left[6], "7     7|1");
        EXPECT_EQ(panes.right[5], "6     6|0");
        EXPECT_EQ(panes.right[6], "|1");
        EXPECT_EQ(panes.right[7], "7     8|0");
        for (int row : {0, 5, 7}) EXPECT_EQ(panes.left[row].back(), '0');
    }
}

TEST(PaneRows, LineTextIsShownLikeTheComparerReadsIt) {
    // Tabs as four blanks, CR LF as one line end, a last line without LF, bytes that are
    // not UTF-8 as replacement characters (and valid UTF-8 kept).
    const TextFileLines lines = Lines("a\tb\r\n\xff\xc3z\n\xc3\xa9t\xc3\xa9\nlast");
    ASSERT_EQ(lines.size(), 4u);
    const auto rows = Show(FillPaneRows(PaneSide::Left, lines, 4, {}));
    EXPECT_EQ(rows, (std::vector<std::string>{"1     a    b|0", "2     \xEF\xBF\xBD\xEF\xBF\xBDz|0",
                                              "3     \xC3\xA9t\xC3\xA9|0", "4     last|0"}));
    EXPECT_EQ(FormatPaneLine(123456, "x"), "123456 x");
    EXPECT_EQ(Lines("").size(), 0u);
    EXPECT_EQ(Lines("\n\n").size(), 2u);
}

TEST(PaneRows, HunksPastTheEndOfAFileStopThere) {
    // The comparer's numbers run past both files (it compared other files than the panes
    // read): no pane reads past its file, and both stay the same height.
    const Panes change = Fill("a\nb\n", "a\nc\n", {{kDiffChanged, 2, 9, 2, 5}});
    EXPECT_EQ(change.left, (std::vector<std::string>{"1     a|0", "2     b|1"}));
    EXPECT_EQ(change.right, (std::vector<std::string>{"1     a|0", "2     c|1"}));

    const Panes added = Fill("a\n", "a\nb\n", {{kDiffAdded, 1, 1, 2, 40}});
    EXPECT_EQ(added.left, (std::vector<std::string>{"1     a|0", "|1"}));
    EXPECT_EQ(added.right, (std::vector<std::string>{"1     a|0", "2     b|1"}));

    const Panes deleted = Fill("a\nb\n", "a\n", {{kDiffDeleted, 2, 70, 1, 1}, {kDiffAdded, 80, 80, 90, 95}});
    EXPECT_EQ(deleted.left, (std::vector<std::string>{"1     a|0", "2     b|1"}));
    EXPECT_EQ(deleted.right, (std::vector<std::string>{"1     a|0", "|1"}));
}

TEST(PaneRows, UnreadableFileGivesTheSystemsReason) {
    qbtest::TempDir dir;
    TextFileLines lines;
    std::string reason;
    EXPECT_FALSE(lines.Read(dir.sub("gone.txt"), reason));
    EXPECT_EQ(reason, std::strerror(ENOENT));
    qbtest::WriteFileBytes(dir.sub("there.txt"), "x\ny\n");
    ASSERT_TRUE(lines.Read(dir.sub("there.txt"), reason));
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "y");
}

}  // namespace
