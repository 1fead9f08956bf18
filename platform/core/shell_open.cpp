#include "platform/core/shell_open.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

#include "platform/core/errors.h"
#include "platform/core/process.h"

namespace plat {

namespace {

// The opener reads "name:rest" as an address and "-name" as an option; an absolute path is
// always a file.
std::string AbsolutePath(const std::string& path) {
    if (path.front() == '/') return path;
    char* here = ::getcwd(nullptr, 0);
    if (!here) return path;
    std::string absolute = std::string(here) + "/" + path;
    ::free(here);
    return absolute;
}

// An existing path made absolute, or empty with the last error set.
std::string ExistingPath(const std::string& path) {
    if (path.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return {};
    }
    return AbsolutePath(path);
}

bool Launch(const std::string& program, const std::vector<std::string>& arguments) {
    if (FindProgram(program).empty()) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    return StartDetached(program, arguments);
}

bool IsDesktopFileId(std::string_view id) {
    constexpr std::string_view kSuffix = ".desktop";
    if (id.size() <= kSuffix.size() || !id.ends_with(kSuffix) || id.front() == '-' || id.front() == '.') return false;
    for (const char c : id) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                           c == '_' || c == '-';
        if (!plain) return false;
    }
    return true;
}

// The desktop file of the application the desktop opens plain text with, or empty.
std::string TextEditorId() {
    if (FindProgram("xdg-mime").empty()) return {};
    ProcessCommand query;
    query.program = "xdg-mime";
    query.arguments = {"query", "default", "text/plain"};
    query.errors = StreamMode::Null;
    query.timeLimitMs = 3000;
    const ProcessResult result = RunProcess(query);
    if (!result.exited || result.exitCode != 0) return {};
    std::string id = result.output;
    while (!id.empty() && (id.back() == '\n' || id.back() == '\r' || id.back() == ' ')) id.pop_back();
    return IsDesktopFileId(id) ? id : std::string();
}

}  // namespace

bool OpenWithDefaultHandler(const std::string& path) {
    const std::string absolute = ExistingPath(path);
    if (absolute.empty()) return false;
    return Launch("xdg-open", {absolute});
}

bool OpenInTextEditor(const std::string& path) {
    const std::string absolute = ExistingPath(path);
    if (absolute.empty()) return false;
    const std::string editor = TextEditorId();
    if (!editor.empty() && !FindProgram("gtk-launch").empty() && StartDetached("gtk-launch", {editor, absolute})) {
        return true;
    }
    return Launch("xdg-open", {absolute});
}

}  // namespace plat
