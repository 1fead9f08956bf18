#include "platform/core/xdg_base_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/core/text.h"

namespace plat {

namespace {

std::string WithoutFinalSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The variable's value when it holds an absolute path; relative values are invalid.
std::string AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/') return {};
    return WithoutFinalSlashes(value);
}

std::string UnderHome(const char* relative) {
    const std::string home = HomeFolder();
    if (home.empty()) return {};
    return (home == "/" ? "" : home) + relative;
}

}  // namespace

std::string HomeFolder() {
    std::string home = AbsoluteFromEnvironment("HOME");
    if (!home.empty()) return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/') {
        return WithoutFinalSlashes(found->pw_dir);
    }
    return {};
}

std::wstring ExpandHomeFolder(const std::wstring& path) {
    if (path.empty() || path.front() != L'~' || (path.size() > 1 && path[1] != L'/')) return path;
    const std::string home = HomeFolder();
    if (home.empty()) return path;
    const std::wstring rest = path.substr(1);
    // The root as home: "~/x" is "/x", not "//x".
    if (home == "/") return rest.empty() ? std::wstring(L"/") : rest;
    return Utf8ToWide(home) + rest;
}

std::string UserConfigFolder() {
    std::string folder = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    return folder.empty() ? UnderHome("/.config") : folder;
}

std::string UserDataFolder() {
    std::string folder = AbsoluteFromEnvironment("XDG_DATA_HOME");
    return folder.empty() ? UnderHome("/.local/share") : folder;
}

}  // namespace plat
