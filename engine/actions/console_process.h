#pragma once
// Runs a console program to its end: optionally feeds it an input text and collects its
// output, always drains its error output, and keeps its exit code. The shadow-copy step
// runs its generated script with it.
//
// The pipes are fed and drained while the program runs, so a program that writes more
// than a pipe holds never stalls, and the wait has a time limit: a program still running
// then is ended (asked first, then killed) and the run counts as failed.

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/win_types.h"

class ConsoleProcess {
public:
    static constexpr DWORD kDefaultTimeLimitMs = 60 * 60 * 1000;

    ConsoleProcess(bool feedInput, bool captureOutput, bool readErrorsOnFailure);

    // The program and its arguments as one line. Blanks separate arguments; double quotes
    // group text with blanks into one argument; a backslash before a double quote makes
    // it a plain character (and pairs of backslashes before one stand for one each). The
    // program is a path, or a name looked up in PATH; a script file that is not marked
    // executable is run by the system's shell. No shell reads the line itself.
    void SetCommandLine(std::string commandLine) { commandLine_ = std::move(commandLine); }
    void SetInputText(std::string text) { inputText_ = std::move(text); }
    void SetTimeLimit(DWORD milliseconds) { timeLimitMs_ = milliseconds; }

    // Non-zero when the program was started and ended within the time limit. Zero when
    // it could not be started (GetLastError tells why) or ran past the limit
    // (ERROR_TIMEOUT).
    BOOL Run();

    // The program's exit code; 128 + the signal's number for a program ended by a signal.
    int GetExitCode() const { return exitCode_; }
    // What the program wrote to its output (with output captured).
    const std::string& OutputText() const { return outputText_; }
    // What it wrote to its error output, kept when it ended with a code other than 0 and
    // errors are read on failure.
    const std::string& ErrorText() const { return errorText_; }

private:
    bool feedInput_;
    bool captureOutput_;
    bool readErrorsOnFailure_;
    DWORD timeLimitMs_ = kDefaultTimeLimitMs;
    int exitCode_ = 0;
    std::string inputText_;
    std::string commandLine_;
    std::string outputText_;
    std::string errorText_;
};

// The arguments of a command line, split by the rules of ConsoleProcess::SetCommandLine.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);
