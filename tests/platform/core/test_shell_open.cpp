#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/core/errors.h"
#include "platform/core/shell_open.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;

// Stand-ins for the desktop's tools, found first in PATH; each writes its name and
// arguments, one a line, to the record file.
class ShellOpenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::mkdir(temp_.sub("bin").c_str(), 0755);
        qbtest::WriteFileBytes(temp_.sub("docs/log one.txt"), "text");
    }

    std::string Record() const { return temp_.sub("record"); }

    void AddRecordingTool(const std::string& name) const {
        // Written aside and renamed, so a reader never sees half a record.
        AddTool(name, "printf '%s\\n' \"" + name +
                          "\" \"$@\" > \"$QB_RECORD.tmp\"\n"
                          "mv \"$QB_RECORD.tmp\" \"$QB_RECORD\"\n");
    }
    void AddTool(const std::string& name, const std::string& body) const {
        const std::string path = temp_.sub("bin/" + name);
        qbtest::WriteFileBytes(path, "#!/bin/sh\nPATH=/usr/bin:/bin\n" + body);
        ::chmod(path.c_str(), 0755);
    }

    // What the launched tool recorded; the launch returns before the tool has run.
    std::string WaitForRecord() const {
        for (int i = 0; i < 500; ++i) {
            const std::string text = qbtest::ReadFileBytes(Record());
            if (!text.empty()) return text;
            std::this_thread::sleep_for(10ms);
        }
        return {};
    }

    qbtest::TempDir temp_;
    const qbtest::ScopedEnv path_{"PATH", temp_.sub("bin")};
    const qbtest::ScopedEnv record_{"QB_RECORD", Record()};
};

TEST_F(ShellOpenTest, TheDefaultHandlerGetsTheAbsolutePathAndRunsOnItsOwn) {
    AddRecordingTool("xdg-open");
    ASSERT_EQ(::chdir(temp_.path().c_str()), 0);
    EXPECT_TRUE(plat::OpenWithDefaultHandler("docs/log one.txt"));
    EXPECT_EQ(WaitForRecord(), "xdg-open\n" + temp_.sub("docs/log one.txt") + "\n");
    // Nothing of the launch is left for us to wait for.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    ASSERT_EQ(::chdir("/"), 0);
}

TEST_F(ShellOpenTest, FailuresAreReported) {
    AddRecordingTool("xdg-open");
    EXPECT_FALSE(plat::OpenWithDefaultHandler(""));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(plat::OpenWithDefaultHandler(temp_.sub("docs/missing.txt")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(plat::OpenInTextEditor(temp_.sub("docs/missing.txt")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    ::unlink(temp_.sub("bin/xdg-open").c_str());
    EXPECT_FALSE(plat::OpenWithDefaultHandler(temp_.sub("docs/log one.txt")));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    EXPECT_FALSE(plat::OpenInTextEditor(temp_.sub("docs/log one.txt")));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(qbtest::ReadFileBytes(Record()), "");
}

TEST_F(ShellOpenTest, TheTextEditorIsTheDesktopsApplicationForPlainText) {
    AddRecordingTool("xdg-open");
    AddRecordingTool("gtk-launch");
    AddTool("xdg-mime", "[ \"$*\" = 'query default text/plain' ] && echo org.example.Editor.desktop\n");
    EXPECT_TRUE(plat::OpenInTextEditor(temp_.sub("docs/log one.txt")));
    EXPECT_EQ(WaitForRecord(), "gtk-launch\norg.example.Editor.desktop\n" + temp_.sub("docs/log one.txt") + "\n");
}

TEST_F(ShellOpenTest, WithoutANamedEditorTheDefaultHandlerOpensTheFile) {
    AddRecordingTool("xdg-open");
    AddRecordingTool("gtk-launch");
    const std::string file = temp_.sub("docs/log one.txt");

    AddTool("xdg-mime", "exit 0\n");  // names nothing
    EXPECT_TRUE(plat::OpenInTextEditor(file));
    EXPECT_EQ(WaitForRecord(), "xdg-open\n" + file + "\n");

    ::unlink(Record().c_str());
    AddTool("xdg-mime", "echo '../x; rm -rf ~.desktop'\n");  // not a desktop file id
    EXPECT_TRUE(plat::OpenInTextEditor(file));
    EXPECT_EQ(WaitForRecord(), "xdg-open\n" + file + "\n");

    ::unlink(Record().c_str());
    ::unlink(temp_.sub("bin/gtk-launch").c_str());
    AddTool("xdg-mime", "echo org.example.Editor.desktop\n");
    EXPECT_TRUE(plat::OpenInTextEditor(file));
    EXPECT_EQ(WaitForRecord(), "xdg-open\n" + file + "\n");
}

}  // namespace
