#include "ui/compare/diff_runner.h"

#include <sstream>
#include <stdexcept>

#include "foundation/path_utils.h"
#include "platform/core/process.h"

namespace {

constexpr const char* kMissingTool = "Cannot find diff.exe: ";
constexpr const char* kNotStarted = "Failed to create process: ";
constexpr const char* kUnknownCode = "Unknown return code from process: ";
constexpr const char* kThrown = "Exception thrown while running process: ";

// Lines end at LF; a CR before it belongs to the line end. A last line without LF counts.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        lines.emplace_back(text, start, stop - start);
        start = end + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) joined += "\r\n";
        joined += lines[i];
    }
    return joined;
}

std::vector<std::string> SplitOptions(const std::string& options) {
    std::vector<std::string> words;
    std::istringstream in(options);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

}  // namespace

std::string ExeDirOf(const std::string& exeName) {
    if (exeName.empty()) throw std::runtime_error("GetFullExeName(): GetModuleFileName() failed.");
    const std::size_t slash = exeName.rfind(kPathSeparator);
    if (slash == std::string::npos) throw std::runtime_error("GetExeDir(): Can't find '\\\\'");
    return slash == 0 ? std::string(1, kPathSeparator) : exeName.substr(0, slash);
}

std::string GetExeDir() { return ExeDirOf(GetFullExeName()); }

std::string DiffCommandLine(const std::string& tool, const std::string& options, const std::string& left,
                            const std::string& right) {
    return tool + " " + options + " \"" + left + "\" \"" + right + "\"";
}

namespace {

// RunDiff, also handing back the command line that the messages name (empty when the tool
// was not found or the failure came first).
int RunDiffTool(const std::string& toolFolder, const std::string& options, const std::string& left,
                const std::string& right, std::vector<std::string>& outputLines, std::string& errorText,
                std::string& commandLine) {
    outputLines.clear();
    commandLine.clear();
    try {
        const std::string programFolder = GetExeDir();
        const std::string lookedFor = PathJoin(toolFolder.empty() ? programFolder : toolFolder, "diff");
        std::string tool = plat::FindProgram(lookedFor);
        if (tool.empty()) tool = plat::FindProgram("diff");
        if (tool.empty()) {
            errorText = kMissingTool + lookedFor;
            return kDiffError;
        }
        commandLine = DiffCommandLine(tool, options, left, right);

        plat::ProcessCommand command;
        command.program = tool;
        command.arguments = SplitOptions(options);
        command.arguments.push_back("--");
        command.arguments.push_back(left);
        command.arguments.push_back(right);
        command.workingFolder = programFolder;
        const plat::ProcessResult result = plat::RunProcess(command);
        if (!result.started) {
            errorText = kNotStarted + commandLine;
            return kDiffError;
        }
        if (result.exited && result.exitCode == 0) return kDiffSame;
        if (result.exited && result.exitCode == 1) {
            outputLines = SplitLines(result.output);
            return kDiffDifferent;
        }
        if (result.exited && result.exitCode == 2) {
            errorText = JoinLines(SplitLines(result.errors));
            return kDiffError;
        }
        errorText = kUnknownCode + commandLine;
        return kDiffError;
    } catch (const std::exception& e) {
        // Before the command line is known, the failure's own text says what went wrong.
        errorText = kThrown + (commandLine.empty() ? std::string(e.what()) : commandLine);
        outputLines.clear();
        return kDiffError;
    } catch (...) {
        errorText = kThrown + commandLine;
        outputLines.clear();
        return kDiffError;
    }
}

}  // namespace

int RunDiff(const std::string& toolFolder, const std::string& options, const std::string& left,
            const std::string& right, std::vector<std::string>& outputLines, std::string& errorText) {
    std::string commandLine;
    return RunDiffTool(toolFolder, options, left, right, outputLines, errorText, commandLine);
}

int CompareFiles(const std::string& toolFolder, const std::string& left, const std::string& right, DiffHunks& hunks,
                 std::string& errorText) {
    hunks.clear();
    std::vector<std::string> lines;
    std::string commandLine;
    const int result = RunDiffTool(toolFolder, "", left, right, lines, errorText, commandLine);
    if (result != kDiffDifferent) return result;
    try {
        for (const std::string& line : lines) {
            if (IsDiffHunkHeader(line)) AppendDiffHunk(hunks, ParseDiffHunk(line));
        }
    } catch (const DiffHunkError&) {
        hunks.clear();
        errorText = kThrown + commandLine;
        return kDiffError;
    }
    if (hunks.empty()) {
        // "Binary files ... differ": a window would show every line as equal.
        errorText = JoinLines(lines);
        return kDiffError;
    }
    return kDiffDifferent;
}
