#pragma once
// The user's special folders, looked up by the platform's special-folder numbers.
//
// Documents, Pictures, Music, Videos and the desktop come from the XDG user folders
// ($XDG_CONFIG_HOME/user-dirs.dirs); a few others have a plain counterpart here (the
// autostart folder for Startup, the data folder for application data, the menu entries
// for the start menu). A folder with no counterpart (Favorites, Program Files, Recent,
// the system folder...) resolves to none, and so does a folder that does not exist:
// the result is then empty, never a relative or made-up path.

#include <string>
#include <string_view>

inline constexpr int CSIDL_DESKTOP = 0;
inline constexpr int CSIDL_PERSONAL = 5;  // Documents
inline constexpr int CSIDL_FAVORITES = 6;
inline constexpr int CSIDL_STARTUP = 7;
inline constexpr int CSIDL_RECENT = 8;
inline constexpr int CSIDL_SENDTO = 9;
inline constexpr int CSIDL_BITBUCKET = 10;
inline constexpr int CSIDL_STARTMENU = 11;
inline constexpr int CSIDL_MYMUSIC = 13;
inline constexpr int CSIDL_MYVIDEO = 14;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 16;
inline constexpr int CSIDL_FONTS = 20;
inline constexpr int CSIDL_COMMON_STARTMENU = 22;
inline constexpr int CSIDL_COMMON_STARTUP = 24;
inline constexpr int CSIDL_COMMON_DESKTOPDIRECTORY = 25;
inline constexpr int CSIDL_APPDATA = 26;
inline constexpr int CSIDL_LOCAL_APPDATA = 28;
inline constexpr int CSIDL_COMMON_FAVORITES = 31;
inline constexpr int CSIDL_INTERNET_CACHE = 32;
inline constexpr int CSIDL_COMMON_APPDATA = 35;
inline constexpr int CSIDL_WINDOWS = 36;
inline constexpr int CSIDL_SYSTEM = 37;
inline constexpr int CSIDL_PROGRAM_FILES = 38;
inline constexpr int CSIDL_MYPICTURES = 39;
inline constexpr int CSIDL_PROGRAM_FILES_COMMON = 43;
inline constexpr int CSIDL_COMMON_DOCUMENTS = 46;
inline constexpr int CSIDL_COMMON_MUSIC = 53;
inline constexpr int CSIDL_COMMON_PICTURES = 54;
inline constexpr int CSIDL_COMMON_VIDEO = 55;

namespace plat {

// The special folder's absolute path without a final '/', or "" when it has none here.
std::string SpecialFolderPath(int csidl);

// One XDG user folder by its variable ("XDG_DOCUMENTS_DIR"...): the value in user-dirs.dirs
// ("$HOME/..." or an absolute path; the last assignment counts), else $HOME/<fallbackName>
// when the entry is missing or unusable. "" when the result is the home folder itself
// (the user turned that folder off) or is not an existing folder.
std::string XdgUserFolder(std::string_view variable, std::string_view fallbackName);

}  // namespace plat
