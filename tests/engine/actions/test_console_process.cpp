#include "engine/actions/console_process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/core/errors.h"
#include "support/temp_dir.h"

namespace {

TEST(ConsoleProcess, DrainsTenMegabytesOfErrorsAndKeepsThemOnFailure) {
    for (const int code : {3, 0}) {
        SCOPED_TRACE(code);
        ConsoleProcess process(false, false, true);
        process.SetCommandLine("/bin/sh -c \"head -c 10485760 /dev/zero >&2; exit " + std::to_string(code) + "\"");
        ASSERT_TRUE(process.Run());
        EXPECT_EQ(process.GetExitCode(), code);
        // Kept only when the program failed; drained either way, so it never stalls.
        EXPECT_EQ(process.ErrorText().size(), code != 0 ? 10485760u : 0u);
        EXPECT_TRUE(process.OutputText().empty());
    }
}

TEST(ConsoleProcess, FeedsInputAndCapturesOutput) {
    ConsoleProcess process(true, true, false);
    process.SetCommandLine("cat");
    process.SetInputText("line one\nline two\n");
    ASSERT_TRUE(process.Run());
    EXPECT_EQ(process.GetExitCode(), 0);
    EXPECT_EQ(process.OutputText(), "line one\nline two\n");
}

TEST(ConsoleProcess, RunsAScriptFileWithItsArguments) {
    qbtest::TempDir dir;
    const std::string script = dir.sub("tool folder/vssexec.bat");
    qbtest::WriteFileBytes(script, "echo \"drive $1\"\nexit 2\n");
    ASSERT_EQ(chmod(script.c_str(), 0644), 0);  // not executable: the shell runs it
    ConsoleProcess process(false, true, true);
    process.SetCommandLine("\"" + script + "\" E:");
    ASSERT_TRUE(process.Run());
    EXPECT_EQ(process.GetExitCode(), 2);
    EXPECT_EQ(process.OutputText(), "drive E:\n");
}

TEST(ConsoleProcess, FailsWhenNotStartedOrPastItsTimeLimit) {
    ConsoleProcess missing(false, false, true);
    missing.SetCommandLine("\"/no/such/program\" x");
    EXPECT_FALSE(missing.Run());
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    ConsoleProcess slow(false, false, true);
    slow.SetCommandLine("sleep 30");
    slow.SetTimeLimit(200);
    EXPECT_FALSE(slow.Run());
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
    EXPECT_NE(slow.GetExitCode(), 0);
}

TEST(SplitCommandLine, QuotesAndBackslashes) {
    using Args = std::vector<std::string>;
    const struct {
        const char* line;
        Args arguments;
    } cases[] = {
        {"  prog  a\tb  ", {"prog", "a", "b"}},
        {"\"/tmp/my tools/run\" \"E:\"", {"/tmp/my tools/run", "E:"}},
        {"say \"\" end", {"say", "", "end"}},
        {"a\\\"b", {"a\"b"}},
        {"\"ends in \\\\\" next", {"ends in \\", "next"}},
        {"C:\\dir\\prog.exe x\\\\y", {"C:\\dir\\prog.exe", "x\\\\y"}},
        {"half\" quoted\"text", {"half quotedtext"}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << c.line;
}

}  // namespace
