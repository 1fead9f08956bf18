#pragma once
// The settings store: every setting is a value named by a section and a key, read
// with a default where it is used and written back by the part that owns it. Values
// live in the settings file "qboptions.ini" of the data folder; nothing is cached.

#include <string>
#include <string_view>

// The longest value a read returns, in bytes; a longer value is cut on a character
// boundary at or below it.
inline constexpr size_t kProfileValueLimit = 2046;

int ReadProfileInt(const char* section, const char* key, int defaultValue);
std::string ReadProfileString(const char* section, const char* key, std::string_view defaultValue);
std::wstring ReadProfileStringW(const char* section, const char* key, std::string_view defaultValue);
// An empty value deletes the key, so the next read gives the default.
bool WriteProfileInt(const char* section, const char* key, int value);
bool WriteProfileString(const char* section, const char* key, std::string_view value);
bool WriteProfileStringW(const char* section, const char* key, std::wstring_view value);

// The per-user profile that holds the framework's own values ("Program"/"no prompt").
int ReadUserProfileInt(const char* section, const char* key, int defaultValue);
bool WriteUserProfileInt(const char* section, const char* key, int value);
