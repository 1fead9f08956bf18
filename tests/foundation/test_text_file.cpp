#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/text_file.h"
#include "platform/core/errors.h"
#include "platform/core/file_faults.h"
#include "platform/core/file_ops.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "support/temp_dir.h"

namespace {

using namespace std::string_literals;

constexpr UINT kCreate = CStdioFileEx::modeCreate | CStdioFileEx::modeWrite;
constexpr UINT kAppend = CStdioFileEx::modeCreate | CStdioFileEx::modeNoTruncate | CStdioFileEx::modeReadWrite;

std::wstring W(const std::string& s) { return plat::Utf8ToWide(s); }

std::vector<std::string> ReadAllLines(const std::string& path, UINT extraFlags = 0) {
    CStdioFileEx file;
    EXPECT_TRUE(file.Open(path, CStdioFileEx::modeRead | extraFlags));
    std::vector<std::string> lines;
    std::string line;
    while (file.ReadString(line)) lines.push_back(line);
    EXPECT_TRUE(line.empty());
    return lines;
}

TEST(TextFileWrite, EightBitFileTakesBytesAsTheyAreAndWideTextAsUtf8WithoutMark) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("plain.txt");
    {
        CStdioFileEx file;
        ASSERT_TRUE(file.OpenW(W(path), kCreate));
        EXPECT_FALSE(file.IsFileUnicodeText());
        EXPECT_TRUE(
            file.WriteString("Gr\xC3\xBC\xC3\x9F"
                             "e\r\n"));
        EXPECT_TRUE(file.WriteStringW(L"\u00e9t\u00e9 \U0001F600\r\n"));
        EXPECT_TRUE(file.WriteString("\xFF raw\r\n"));  // not UTF-8: still written unchanged
    }
    EXPECT_EQ(qbtest::ReadFileBytes(path),
              "Gr\xC3\xBC\xC3\x9F"
              "e\r\n"
              "\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80\r\n"
              "\xFF raw\r\n");
}

TEST(TextFileWrite, UnicodeModeWritesOneMarkThenUtf16Le) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("wide.txt");
    {
        CStdioFileEx file;
        ASSERT_TRUE(file.OpenW(W(path), kCreate | CStdioFileEx::modeUnicode));
        EXPECT_TRUE(file.IsFileUnicodeText());
        EXPECT_TRUE(file.WriteString("A\xC3\xA9\r\n"));
        EXPECT_TRUE(file.WriteStringW(L"\U0001F600\n"));
    }
    EXPECT_EQ(qbtest::ReadFileBytes(path),
              "\xFF\xFE"
              "A\0\xE9\0\r\0\n\0"
              "\x3D\xD8\x00\xDE\n\0"s);
    EXPECT_EQ(ReadAllLines(path), (std::vector<std::string>{"A\xC3\xA9", "\xF0\x9F\x98\x80"}));
}

TEST(TextFileRead, MarkOfUtf16MakesAFileWideWithoutTheUnicodeBit) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("wide.txt");
    qbtest::WriteFileBytes(path,
                           "\xFF\xFE"
                           "h\0i\0\r\0\n\0"
                           "\xE9\0\n\0"
                           "x\0\0\0y\0\r\0\n\0"
                           "z\0"s);
    CStdioFileEx file;
    ASSERT_TRUE(file.Open(path, CStdioFileEx::modeRead));
    EXPECT_TRUE(file.IsFileUnicodeText());
    std::string line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, "hi");
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, "\xC3\xA9");
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, "x");  // cut at the NUL
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, "z");  // last line without a line end
    EXPECT_FALSE(file.ReadString(line));

    // Back at the start the mark is skipped again.
    ASSERT_TRUE(file.Seek(0, CStdioFileEx::begin));
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, "hi");
}

TEST(TextFileRead, MarksAreSkippedOnlyWhereTheyStand) {
    qbtest::TempDir dir;
    // A file read as UTF-16 without a mark keeps its first character.
    qbtest::WriteFileBytes(dir.sub("bare16.txt"), "a\0b\0\n\0c\0"s);
    EXPECT_EQ(ReadAllLines(dir.sub("bare16.txt"), CStdioFileEx::modeUnicode), (std::vector<std::string>{"ab", "c"}));
    // The UTF-8 mark is text for an 8-bit file.
    qbtest::WriteFileBytes(dir.sub("mark8.txt"), "\xEF\xBB\xBFq\n");
    EXPECT_EQ(ReadAllLines(dir.sub("mark8.txt")), (std::vector<std::string>{"\xEF\xBB\xBFq"}));
    // An odd byte at the end of a UTF-16 file is no character.
    qbtest::WriteFileBytes(dir.sub("odd16.txt"), "\xFF\xFEk\0\n\0m"s);
    EXPECT_EQ(ReadAllLines(dir.sub("odd16.txt")), (std::vector<std::string>{"k"}));
}

TEST(TextFileRead, LineEndsAndNuls) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("lines.txt");
    qbtest::WriteFileBytes(path, "a\r\nb\n\r\n\nx\r\r\nab\0cd\r\nnext\r\nlast"s);
    EXPECT_EQ(ReadAllLines(path), (std::vector<std::string>{"a", "b", "", "", "x\r", "ab", "next", "last"}));

    qbtest::WriteFileBytes(path, "");
    EXPECT_TRUE(ReadAllLines(path).empty());
}

TEST(TextFileRead, LongLinesComeBackWhole) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("long.txt");
    std::string bytes;
    std::vector<std::string> expected;
    for (const std::size_t length : {4095u, 4096u, 4097u, 10000u, 300000u}) {
        std::string line(length, 'x');
        for (std::size_t i = 0; i < length; i += 97) line[i] = static_cast<char>('a' + i % 26);
        bytes += line + "\r\n";
        expected.push_back(line);
    }
    qbtest::WriteFileBytes(path, bytes);
    EXPECT_EQ(ReadAllLines(path), expected);

    // The same in UTF-16.
    const std::string widePath = dir.sub("long16.txt");
    {
        CStdioFileEx file;
        ASSERT_TRUE(file.Open(widePath, kCreate | CStdioFileEx::modeUnicode));
        for (const std::string& line : expected) ASSERT_TRUE(file.WriteString(line + "\r\n"));
    }
    EXPECT_EQ(ReadAllLines(widePath), expected);
}

TEST(TextFileRead, ALineBeyondTheCeilingComesInPieces) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("huge.txt");
    const std::string huge(CStdioFileEx::kMaxLineLength + 10, 'h');
    qbtest::WriteFileBytes(path, huge + "\nend\n");
    const std::vector<std::string> lines = ReadAllLines(path);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), CStdioFileEx::kMaxLineLength);
    EXPECT_EQ(lines[1], std::string(10, 'h'));
    EXPECT_EQ(lines[2], "end");
}

TEST(TextFileOpen, Dispositions) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("d.txt");
    qbtest::WriteFileBytes(path, "old\r\n");
    {
        // Create with no-truncate keeps the text and appends, wherever the position was.
        CStdioFileEx file;
        ASSERT_TRUE(file.Open(path, kAppend));
        ASSERT_TRUE(file.Seek(0, CStdioFileEx::begin));
        EXPECT_TRUE(file.WriteString("new\r\n"));
    }
    EXPECT_EQ(qbtest::ReadFileBytes(path), "old\r\nnew\r\n");
    {
        // Write without create needs the file and appends too.
        CStdioFileEx file;
        ASSERT_TRUE(file.Open(path, CStdioFileEx::modeWrite));
        EXPECT_TRUE(file.WriteString("more\r\n"));
    }
    EXPECT_EQ(qbtest::ReadFileBytes(path), "old\r\nnew\r\nmore\r\n");
    {
        // Create alone empties it.
        CStdioFileEx file;
        ASSERT_TRUE(file.Open(path, CStdioFileEx::modeCreate | CStdioFileEx::modeReadWrite));
        ULONGLONG length = 99;
        ASSERT_TRUE(file.GetLength(length));
        EXPECT_EQ(length, 0u);
    }
    EXPECT_EQ(qbtest::ReadFileBytes(path), "");

    // Create with no-truncate makes a missing file.
    CStdioFileEx made;
    ASSERT_TRUE(made.OpenW(W(dir.sub("made \xC3\xA9.txt")), kAppend));
    EXPECT_TRUE(made.Close());
    EXPECT_TRUE(plat::DeleteFile(dir.sub("made \xC3\xA9.txt")));
}

TEST(TextFileOpen, FailuresAreReturnedNotShown) {
    const plat::ScopedMessageBoxHandler boxes(IDOK);
    qbtest::TempDir dir;
    CStdioFileEx file;

    EXPECT_FALSE(file.Open(dir.sub("missing.txt"), CStdioFileEx::modeRead));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(file.Open(dir.sub("missing.txt"), CStdioFileEx::modeWrite));
    EXPECT_FALSE(file.OpenW(W(dir.sub("no/folder.txt")), kAppend));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    qbtest::WriteFileBytes(dir.sub("ro.txt"), "kept");
    ASSERT_TRUE(plat::SetFileAttributes(dir.sub("ro.txt"), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(file.OpenW(W(dir.sub("ro.txt")), kAppend));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(file.OpenW(W(dir.sub("ro.txt")), kCreate));
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("ro.txt")), "kept");

    // A file that is not open neither reads nor writes.
    std::string line = "stale";
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_TRUE(line.empty());
    EXPECT_FALSE(file.WriteString("x"));

    EXPECT_TRUE(boxes.Requests().empty());
}

TEST(TextFileWrite, FullDiskIsAFailedWrite) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("full.txt");
    plat::FileFaults faults;
    faults.diskFullPath = plat::FileFaults::SamePath(path);
    faults.diskFullAfterBytes = 4;
    const plat::ScopedFileFaults active(faults);
    CStdioFileEx file;
    ASSERT_TRUE(file.Open(path, kCreate));
    EXPECT_TRUE(file.WriteString("abc"));
    EXPECT_FALSE(file.WriteString("defg"));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
}

}  // namespace
