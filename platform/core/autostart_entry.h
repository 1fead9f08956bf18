#pragma once
// XDG autostart entries: the desktop files in the user's autostart folder that the
// desktop starts at logon. The registry's Run values are mirrored here.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// The file name for a Run value: the name in lower case (value names ignore case) with
// anything but letters, digits, '.', '_' and '-' replaced by '_'; when the name had to be
// changed, a hash of it follows, so two names never share a file.
std::string AutostartFileName(std::string_view valueName);

// Splits a command line the way the platform's programs read theirs: blanks separate
// arguments, double quotes group blanks into one and are removed.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The desktop entry that starts `commandLine` at logon, named `name`.
std::string AutostartEntryText(std::string_view name, std::string_view commandLine);

std::optional<std::string> ReadAutostartEntry(const std::string& path);
// Creates the autostart folder when needed.
bool WriteAutostartEntry(const std::string& path, std::string_view text);
// An entry that is not there counts as removed.
bool RemoveAutostartEntry(const std::string& path);

}  // namespace plat
