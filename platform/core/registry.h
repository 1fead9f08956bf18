#pragma once
// The registry, as far as the program uses it: a small store of string and DWORD values,
// named by a root, a key path ("Software\Microsoft\...", backslashes between parts) and a
// value name ("" is the key's default value). Key paths and value names ignore case.
//
// Both roots live in the user's own store, UserConfigFolder()/quarrybend-sync/registry.ini.
// Values of the current user's key "Software\Microsoft\Windows\CurrentVersion\Run" are
// also written as XDG autostart entries (UserConfigFolder()/autostart/<name>.desktop), since
// that is what starting a program at logon means on this platform; deleting the value
// removes its entry. Every write is on disk when the call returns.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/win_types.h"

namespace plat {

enum class RegRoot { CurrentUser, LocalMachine };

std::string RegistryStorePath();

// Missing keys and values, and values of the other type, read as nullopt.
std::optional<std::string> RegGetString(RegRoot root, std::string_view key, std::string_view name);
std::optional<DWORD> RegGetDword(RegRoot root, std::string_view key, std::string_view name);

// Creates the key as needed. False, with the last error set, when the store (or the
// autostart entry) cannot be written; the store is then as it was.
bool RegSetString(RegRoot root, std::string_view key, std::string_view name, std::string_view data);
bool RegSetDword(RegRoot root, std::string_view key, std::string_view name, DWORD data);
// Deleting a value that is not there succeeds.
bool RegDeleteValue(RegRoot root, std::string_view key, std::string_view name);
// Writes are durable already; kept so that callers can say where they need it.
bool RegFlushKey(RegRoot root, std::string_view key);

// The names of the key's direct subkeys that hold values, as first written.
std::vector<std::string> RegSubkeyNames(RegRoot root, std::string_view key);

// The autostart entry that mirrors a Run value of that name.
std::string AutostartEntryPath(std::string_view valueName);

}  // namespace plat

inline constexpr plat::RegRoot HKEY_CURRENT_USER = plat::RegRoot::CurrentUser;
inline constexpr plat::RegRoot HKEY_LOCAL_MACHINE = plat::RegRoot::LocalMachine;
