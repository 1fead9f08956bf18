#pragma once
// The user's base folders as the XDG base-directory rules give them. Each is read from the
// environment at every call (tests point them at temporary folders) and is an absolute
// path without a final '/', or empty when it cannot be known.

#include <string>

namespace plat {

// $HOME, else the home folder of the user's account.
std::string HomeFolder();
// A typed folder that starts with "~" alone or "~/" names the home folder, as Linux
// shells and file choosers read it: "~/Backup" is HomeFolder() + "/Backup". Any other
// text ("~user", "a/~") comes back as it is, and so does "~" when no home is known.
std::wstring ExpandHomeFolder(const std::wstring& path);
// $XDG_CONFIG_HOME when it is an absolute path, else HomeFolder() + "/.config".
std::string UserConfigFolder();
// $XDG_DATA_HOME when it is an absolute path, else HomeFolder() + "/.local/share".
std::string UserDataFolder();

}  // namespace plat
