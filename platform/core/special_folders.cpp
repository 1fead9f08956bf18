#include "platform/core/special_folders.h"

#include <sys/stat.h>

#include <optional>

#include "platform/core/whole_file.h"
#include "platform/core/xdg_base_dirs.h"

namespace plat {

namespace {

constexpr std::size_t kUserDirsLimit = 1u << 20;

std::string_view TrimBlanksView(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::string WithoutFinalSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool IsFolder(const std::string& path) {
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A shell word as user-dirs.dirs writes it: in double quotes with backslash escapes, or bare.
std::string ShellWord(std::string_view text) {
    std::string out;
    if (text.empty() || text.front() != '"') return std::string(text.substr(0, text.find_first_of(" \t")));
    for (std::size_t i = 1; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

// "$HOME/x" or "${HOME}/x" under the home folder, or an absolute path; nullopt otherwise.
std::optional<std::string> ResolveUserDir(const std::string& value, const std::string& home) {
    for (const std::string_view prefix : {std::string_view("$HOME"), std::string_view("${HOME}")}) {
        if (value.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = value.substr(prefix.size());
        if (!rest.empty() && rest.front() != '/') return std::nullopt;
        if (home.empty()) return std::nullopt;
        return WithoutFinalSlashes(home + rest);
    }
    if (!value.empty() && value.front() == '/') return WithoutFinalSlashes(value);
    return std::nullopt;
}

std::optional<std::string> UserDirsEntry(std::string_view variable, const std::string& home) {
    const std::string config = UserConfigFolder();
    std::string text;
    if (config.empty() || !ReadWholeFile(config + "/user-dirs.dirs", &text, kUserDirsLimit)) return std::nullopt;
    std::optional<std::string> found;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t lf = rest.find('\n');
        const std::string_view line = TrimBlanksView(rest.substr(0, lf));
        rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
        if (line.empty() || line.front() == '#') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || TrimBlanksView(line.substr(0, eq)) != variable) continue;
        if (std::optional<std::string> path = ResolveUserDir(ShellWord(line.substr(eq + 1)), home)) {
            found = std::move(path);  // the shell reads the file top to bottom: the last one counts
        }
    }
    return found;
}

std::string ExistingFolder(std::string path) { return IsFolder(path) ? path : std::string(); }

std::string UnderBase(const std::string& base, const char* relative) {
    return base.empty() ? std::string() : ExistingFolder(base + relative);
}

}  // namespace

std::string XdgUserFolder(std::string_view variable, std::string_view fallbackName) {
    const std::string home = HomeFolder();
    std::optional<std::string> path = UserDirsEntry(variable, home);
    if (!path) {
        if (home.empty()) return {};
        path = WithoutFinalSlashes(home + "/" + std::string(fallbackName));
    }
    if (*path == home) return {};
    return ExistingFolder(*path);
}

std::string SpecialFolderPath(int csidl) {
    switch (csidl) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: return XdgUserFolder("XDG_DESKTOP_DIR", "Desktop");
    case CSIDL_PERSONAL: return XdgUserFolder("XDG_DOCUMENTS_DIR", "Documents");
    case CSIDL_MYPICTURES: return XdgUserFolder("XDG_PICTURES_DIR", "Pictures");
    case CSIDL_MYMUSIC: return XdgUserFolder("XDG_MUSIC_DIR", "Music");
    case CSIDL_MYVIDEO: return XdgUserFolder("XDG_VIDEOS_DIR", "Videos");
    case CSIDL_STARTUP: return UnderBase(UserConfigFolder(), "/autostart");
    case CSIDL_STARTMENU: return UnderBase(UserDataFolder(), "/applications");
    case CSIDL_FONTS: return UnderBase(UserDataFolder(), "/fonts");
    // No roaming profiles here: both kinds of application data are the user's data folder.
    case CSIDL_APPDATA:
    case CSIDL_LOCAL_APPDATA: return ExistingFolder(UserDataFolder());
    case CSIDL_COMMON_STARTMENU: return ExistingFolder("/usr/share/applications");
    case CSIDL_COMMON_STARTUP: return ExistingFolder("/etc/xdg/autostart");
    default: return {};
    }
}

}  // namespace plat
