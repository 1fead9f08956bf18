#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "platform/core/errors.h"
#include "platform/core/process.h"
#include "support/temp_dir.h"

namespace {

using plat::ProcessCommand;
using plat::ProcessResult;
using plat::RunProcess;
using plat::StreamMode;
using namespace std::chrono_literals;

ProcessCommand Program(const std::string& program, std::vector<std::string> arguments = {}) {
    ProcessCommand command;
    command.program = program;
    command.arguments = std::move(arguments);
    return command;
}

ProcessCommand Shell(const std::string& script) { return Program("sh", {"-c", script}); }

// Every child a test started has been waited for: none is left to collect.
void ExpectNoChildLeft() {
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(RunProcess, ReportsHowTheProgramEnded) {
    ProcessResult result = RunProcess(Shell("echo out; echo err >&2; exit 3"));
    ASSERT_TRUE(result.started);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.output, "out\n");
    EXPECT_EQ(result.errors, "err\n");
    EXPECT_FALSE(result.timedOut);

    result = RunProcess(Program("true"));
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0);

    result = RunProcess(Shell("kill -KILL $$"));
    EXPECT_FALSE(result.exited);
    EXPECT_EQ(result.signal, SIGKILL);
    ExpectNoChildLeft();
}

TEST(RunProcess, ArgumentsReachTheProgramUntouched) {
    ProcessCommand command;
    command.program = "printf";
    command.arguments = {"[%s]", "two words", "$HOME", "*", "'q'", ""};
    const ProcessResult result = RunProcess(command);
    EXPECT_EQ(result.output, "[two words][$HOME][*]['q'][]");
}

TEST(RunProcess, LargeOutputOnBothStreamsDoesNotStall) {
    // Ten megabytes to standard error first, then ten to standard output: a reader that waits
    // on one stream only would leave the program stuck on the other.
    const ProcessResult result =
        RunProcess(Shell("head -c 10485760 /dev/zero | tr '\\0' e >&2; head -c 10485760 /dev/zero | tr '\\0' o"));
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0);
    ASSERT_EQ(result.errors.size(), 10485760u);
    ASSERT_EQ(result.output.size(), 10485760u);
    EXPECT_EQ(result.errors.find_first_not_of('e'), std::string::npos);
    EXPECT_EQ(result.output.find_first_not_of('o'), std::string::npos);
}

TEST(RunProcess, InputIsFedWhileOutputIsRead) {
    ProcessCommand command;
    command.program = "cat";
    command.input = StreamMode::Pipe;
    for (int i = 0; i < 400000; ++i) command.inputText += "line " + std::to_string(i) + "\n";
    const ProcessResult result = RunProcess(command);
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, command.inputText);

    // Without a pipe the program reads nothing.
    command.input = StreamMode::Null;
    EXPECT_EQ(RunProcess(command).output, "");
}

TEST(RunProcess, AProgramThatIgnoresItsInputDoesNotHurtUs) {
    ProcessCommand command = Shell("exit 0");
    command.input = StreamMode::Pipe;
    command.inputText.assign(4 << 20, 'x');
    const ProcessResult result = RunProcess(command);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0);
}

TEST(RunProcess, EnvironmentAndWorkingFolder) {
    qbtest::TempDir temp;
    ProcessCommand command = Shell("pwd; echo \"$QB_VALUE\"; echo \"${HOME-unset}\"");
    command.environment = std::vector<std::string>{"QB_VALUE=set here"};
    command.workingFolder = temp.path();
    const ProcessResult result = RunProcess(command);
    EXPECT_EQ(result.output, temp.path() + "\nset here\nunset\n");
}

TEST(RunProcess, ATimeLimitEndsTheProgramAndSaysSo) {
    ProcessCommand command;
    command.program = "sleep";
    command.arguments = {"30"};
    command.timeLimitMs = 200;
    auto start = std::chrono::steady_clock::now();
    ProcessResult result = RunProcess(command);
    EXPECT_TRUE(result.timedOut);
    EXPECT_FALSE(result.exited);
    EXPECT_EQ(result.signal, SIGTERM);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);

    // A program that ignores the request to end is killed after the grace time.
    command = Shell("trap '' TERM; exec sleep 30");
    command.timeLimitMs = 100;
    command.stopGraceMs = 100;
    start = std::chrono::steady_clock::now();
    result = RunProcess(command);
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.signal, SIGKILL);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);

    // A program that ends in time is not marked.
    command = Shell("exit 4");
    command.timeLimitMs = 10000;
    result = RunProcess(command);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 4);
    ExpectNoChildLeft();
}

TEST(RunProcess, OutputHeldOpenByTheProgramsChildrenDoesNotKeepUsWaiting) {
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult result = RunProcess(Shell("sleep 3 & echo done"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.output, "done\n");
}

TEST(RunProcess, AProgramThatCannotStartIsAFailure) {
    ProcessResult result = RunProcess(Program("qb-no-such-program"));
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.startError, ERROR_FILE_NOT_FOUND);

    result = RunProcess(Program("/nonexistent/tool"));
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.startError, ERROR_FILE_NOT_FOUND);

    ProcessCommand command = Shell("exit 0");
    command.workingFolder = "/nonexistent-folder";
    result = RunProcess(command);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.startError, ERROR_PATH_NOT_FOUND);

    EXPECT_FALSE(RunProcess(ProcessCommand{}).started);
    ExpectNoChildLeft();
}

TEST(ChildProcess, OneStillRunningIsEndedWithItsOwner) {
    {
        plat::ChildProcess child;
        ASSERT_TRUE(child.Start(Shell("sleep 30 & sleep 30")));
        EXPECT_TRUE(child.IsRunning());
        EXPECT_FALSE(child.PollExit());
    }
    ExpectNoChildLeft();

    plat::ChildProcess child;
    ProcessCommand command;
    command.program = "cat";
    command.input = StreamMode::Pipe;
    command.output = StreamMode::Null;
    ASSERT_TRUE(child.Start(command));
    EXPECT_FALSE(child.WaitForExit(50));
    child.Input().Reset();  // cat ends at the end of its input
    EXPECT_TRUE(child.WaitForExit(5000));
    EXPECT_TRUE(WIFEXITED(child.Status()));
    EXPECT_FALSE(child.IsRunning());
}

TEST(ChildProcess, OurDescriptorsStayWithUs) {
    // A lock file or socket of ours must not be held open by a program we start.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);  // deliberately without close-on-exec
    ProcessCommand command = Shell("ls /proc/self/fd");
    const ProcessResult result = RunProcess(command);
    ::close(ends[0]);
    ::close(ends[1]);
    // 0, 1, 2 and the descriptor ls opens to read the folder.
    EXPECT_EQ(result.output, "0\n1\n2\n3\n");
}

TEST(StartDetached, TellsWhetherTheProgramStarted) {
    qbtest::TempDir temp;
    EXPECT_TRUE(plat::StartDetached("true", {}));
    EXPECT_FALSE(plat::StartDetached("qb-no-such-program", {}));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    // Executable by its mode but not a program: exec itself fails.
    const std::string bogus = temp.sub("bogus");
    qbtest::WriteFileBytes(bogus, std::string("\x7f"
                                              "ELF garbage",
                                              12));
    ::chmod(bogus.c_str(), 0755);
    EXPECT_FALSE(plat::StartDetached(bogus, {}));
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);
    ExpectNoChildLeft();
}

TEST(FindProgram, LooksInPath) {
    EXPECT_NE(plat::FindProgram("sh"), "");
    EXPECT_EQ(plat::FindProgram("sh").back(), 'h');
    EXPECT_EQ(plat::FindProgram("qb-no-such-program"), "");
    EXPECT_EQ(plat::FindProgram("/bin/sh"), "/bin/sh");
    EXPECT_EQ(plat::FindProgram("/nonexistent/sh"), "");
    EXPECT_EQ(plat::FindProgram(""), "");
}

}  // namespace
