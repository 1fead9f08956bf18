#include "engine/actions/console_process.h"

#include "platform/core/errors.h"
#include "platform/core/file_info.h"
#include "platform/core/process.h"

namespace {

constexpr const char* kShell = "/bin/sh";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A script that may be read but not executed goes to the shell, as the system's command
// interpreter runs script files on the platform the program comes from.
void RunScriptsByTheShell(plat::ProcessCommand& command) {
    const std::string path =
        command.program.find('/') == std::string::npos ? plat::FindProgram(command.program) : command.program;
    plat::FileInfo info;
    if (path.empty() || !plat::GetFileInfo(path, info) || !info.IsFile() || (info.mode & 0111) != 0) return;
    command.arguments.insert(command.arguments.begin(), path);
    command.program = kShell;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size();) {
        const char c = line[i];
        if (!quoted && IsBlank(c)) {
            if (inArgument) arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            std::size_t slashes = 0;
            while (i < line.size() && line[i] == '\\') ++slashes, ++i;
            if (i < line.size() && line[i] == '"') {
                current.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    current += '"';
                    ++i;
                }
            } else {
                current.append(slashes, '\\');
            }
            continue;
        }
        if (c == '"') {
            quoted = !quoted;
        } else {
            current += c;
        }
        ++i;
    }
    if (inArgument) arguments.push_back(std::move(current));
    return arguments;
}

ConsoleProcess::ConsoleProcess(bool feedInput, bool captureOutput, bool readErrorsOnFailure)
    : feedInput_(feedInput), captureOutput_(captureOutput), readErrorsOnFailure_(readErrorsOnFailure) {}

BOOL ConsoleProcess::Run() {
    exitCode_ = 0;
    outputText_.clear();
    errorText_.clear();

    std::vector<std::string> arguments = SplitCommandLine(commandLine_);
    if (arguments.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    plat::ProcessCommand command;
    command.program = std::move(arguments.front());
    command.arguments.assign(std::make_move_iterator(arguments.begin() + 1), std::make_move_iterator(arguments.end()));
    RunScriptsByTheShell(command);
    command.input = feedInput_ ? plat::StreamMode::Pipe : plat::StreamMode::Null;
    command.output = captureOutput_ ? plat::StreamMode::Pipe : plat::StreamMode::Null;
    command.errors = plat::StreamMode::Pipe;
    if (feedInput_) command.inputText = inputText_;
    command.timeLimitMs = timeLimitMs_;

    plat::ProcessResult result = plat::RunProcess(command);
    if (!result.started) {
        SetLastError(result.startError);
        return FALSE;
    }
    exitCode_ = result.exited ? result.exitCode : 128 + result.signal;
    if (captureOutput_) outputText_ = std::move(result.output);
    if (exitCode_ != 0 && readErrorsOnFailure_) errorText_ = std::move(result.errors);
    if (result.timedOut) {
        SetLastError(ERROR_TIMEOUT);
        return FALSE;
    }
    return TRUE;
}
