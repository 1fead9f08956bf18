// The comparer run: the real diff and small stand-in comparers in a temporary tool folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "foundation/path_utils.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "ui/compare/diff_runner.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

// A tool folder whose "diff" is a shell script.
struct FakeComparer {
    qbtest::TempDir dir;
    explicit FakeComparer(const std::string& body) {
        qbtest::WriteFileBytes(dir.sub("diff"), "#!/bin/sh\n" + body + "\n");
        chmod(dir.sub("diff").c_str(), 0755);
    }
    std::string CommandLine(const std::string& left, const std::string& right) const {
        return dir.sub("diff") + "  \"" + left + "\" \"" + right + "\"";
    }
};

struct TwoFiles {
    qbtest::TempDir dir;
    std::string left = dir.sub("left/x.txt");
    std::string right = dir.sub("right/x.txt");
    TwoFiles(const std::string& leftText, const std::string& rightText) {
        qbtest::WriteFileBytes(left, leftText);
        qbtest::WriteFileBytes(right, rightText);
    }
};

TEST(DiffRunner, ProgramFolderIsTheExecutablesFolder) {
    EXPECT_EQ(ExeDirOf("/usr/lib/quarrybend/quarrybend-sync"), "/usr/lib/quarrybend");
    EXPECT_EQ(ExeDirOf("/quarrybend-sync"), "/");
    try {
        ExeDirOf("");
        ADD_FAILURE();
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "GetFullExeName(): GetModuleFileName() failed.");
    }
    try {
        ExeDirOf("quarrybend-sync");
        ADD_FAILURE();
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "GetExeDir(): Can't find '\\\\'");
    }
    EXPECT_EQ(GetExeDir() + "/", GetProgramFolder());
}

TEST(DiffRunner, RealDiffFindsEachKindOfHunk) {
    TwoFiles same("one\ntwo\n", "one\ntwo\n");
    DiffHunks hunks{{kDiffAdded, 1, 1, 1, 1}};
    std::string error;
    EXPECT_EQ(CompareFiles("", same.left, same.right, hunks, error), kDiffSame);
    EXPECT_TRUE(hunks.empty());

    TwoFiles files("1\n2\n3\n4\n5\n6\n7\n8\n", "1\n2\nthree\n4\n5\nnew\n6\n8\n");
    ASSERT_EQ(CompareFiles("", files.left, files.right, hunks, error), kDiffDifferent) << error;
    const DiffHunks expected{{kDiffChanged, 3, 3, 3, 3}, {kDiffAdded, 5, 5, 6, 6}, {kDiffDeleted, 7, 7, 7, 7}};
    EXPECT_EQ(hunks, expected);
}

TEST(DiffRunner, OptionsThenDashDashThenThePaths) {
    std::string error;
    std::vector<std::string> lines;
    FakeComparer echo("for a in \"$@\"; do echo \"[$a]\"; done; exit 1");
    ASSERT_EQ(RunDiff(echo.dir.path(), "-b  -w", "-q", "--help", lines, error), kDiffDifferent);
    EXPECT_EQ(lines, (std::vector<std::string>{"[-b]", "[-w]", "[--]", "[-q]", "[--help]"}));
}

TEST(DiffRunner, BinaryFilesAreToldNotShown) {
    TwoFiles files(std::string("a\0b", 3), std::string("a\0c", 3));
    DiffHunks hunks;
    std::string error;
    EXPECT_EQ(CompareFiles("", files.left, files.right, hunks, error), kDiffError);
    EXPECT_EQ(error, "Binary files " + files.left + " and " + files.right + " differ");
    EXPECT_TRUE(hunks.empty());
}

TEST(DiffRunner, ComparerFailuresSayWhatHappened) {
    TwoFiles files("a\n", "b\n");
    DiffHunks hunks;
    std::string error;
    {
        FakeComparer tool("exit 3");
        EXPECT_EQ(CompareFiles(tool.dir.path(), files.left, files.right, hunks, error), kDiffError);
        EXPECT_EQ(error, "Unknown return code from process: " + tool.CommandLine(files.left, files.right));
    }
    {
        FakeComparer tool("kill -9 $$");
        EXPECT_EQ(CompareFiles(tool.dir.path(), files.left, files.right, hunks, error), kDiffError);
        EXPECT_EQ(error, "Unknown return code from process: " + tool.CommandLine(files.left, files.right));
    }
    {
        FakeComparer tool("printf 'trouble\\r\\nmore trouble\\n' >&2; echo '1c1'; exit 2");
        EXPECT_EQ(CompareFiles(tool.dir.path(), files.left, files.right, hunks, error), kDiffError);
        EXPECT_EQ(error, "trouble\r\nmore trouble");
    }
    {
        // An interpreter that does not exist: the tool cannot be started.
        qbtest::TempDir dir;
        qbtest::WriteFileBytes(dir.sub("diff"), "#!/nonexistent/interpreter\n");
        chmod(dir.sub("diff").c_str(), 0755);
        EXPECT_EQ(CompareFiles(dir.path(), files.left, files.right, hunks, error), kDiffError);
        EXPECT_EQ(error,
                  "Failed to create process: " + dir.sub("diff") + "  \"" + files.left + "\" \"" + files.right + "\"");
    }
    for (const char* output : {"7,5c1", "3,4c3\\n2a5", "1c99999999999"}) {
        SCOPED_TRACE(output);
        FakeComparer tool(std::string("printf '") + output + "\\n> x\\n'; exit 1");
        EXPECT_EQ(CompareFiles(tool.dir.path(), files.left, files.right, hunks, error), kDiffError);
        EXPECT_EQ(error, "Exception thrown while running process: " + tool.CommandLine(files.left, files.right));
        EXPECT_TRUE(hunks.empty());
    }
}

TEST(DiffRunner, OutputLinesDropTheirLineEnds) {
    FakeComparer tool("printf '1c1\\r\\n< a\\n---\\n> b'; exit 1");
    std::vector<std::string> lines;
    std::string error;
    EXPECT_EQ(RunDiff(tool.dir.path(), "", "l", "r", lines, error), kDiffDifferent);
    EXPECT_EQ(lines, (std::vector<std::string>{"1c1", "< a", "---", "> b"}));
    // Nothing was written beside the tool.
    EXPECT_EQ(Listing(tool.dir.path()), std::set<std::string>{"diff"});
}

TEST(DiffRunner, NoComparerAnywhere) {
    qbtest::TempDir emptyFolder;
    qbtest::ScopedEnv path("PATH", emptyFolder.path());
    DiffHunks hunks;
    std::string error;
    EXPECT_EQ(CompareFiles(emptyFolder.path(), "/a", "/b", hunks, error), kDiffError);
    EXPECT_EQ(error, "Cannot find diff.exe: " + emptyFolder.sub("diff"));
    // Without a tool folder the program's own folder is looked in.
    EXPECT_EQ(CompareFiles("", "/a", "/b", hunks, error), kDiffError);
    EXPECT_EQ(error, "Cannot find diff.exe: " + GetExeDir() + "/diff");
}

}  // namespace
