#pragma once
// Settings files in the INI form, read and written with the platform's private-profile
// semantics (see ini_document.h for the reading rules):
//  - a missing file, section or key gives the default; so does a file that cannot be read;
//  - a write rewrites the whole file atomically and keeps every other line as it was;
//  - writers of one file within the process take turns, so no write is lost;
//  - a write that cannot be done returns false with the last error set, and the file is
//    left as it was (an unreadable file is never replaced).

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/ini_document.h"
#include "platform/core/win_types.h"

namespace plat {

// The value of a profile integer: optional blanks, an optional sign, then decimal digits
// or "0x" and hexadecimal digits, read up to the first other character. No digits give 0;
// values beyond the int range are held at its ends.
int ParseProfileInt(std::string_view text);

class IniFile {
public:
    explicit IniFile(std::string path);
    const std::string& path() const { return path_; }

    // The stored value, or nullopt when the key (or the file) is missing.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // ParseProfileInt of the value; the default when the key is missing or its value empty.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool DeleteKey(std::string_view section, std::string_view key);
    bool DeleteSection(std::string_view section);

    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;

    // Applies `change` to the file's current content under the file's lock and writes the
    // result when `change` returns true. A missing file starts empty and is created.
    bool Update(const std::function<bool(IniDocument&)>& change);

private:
    std::optional<IniDocument> Load() const;

    std::string path_;
};

}  // namespace plat

// The platform's own names. A null section or key reads as the default.
// The default loses its trailing blanks, as the platform does.
std::string GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                    const std::string& path);
UINT GetPrivateProfileInt(const char* section, const char* key, INT defaultValue, const std::string& path);
// A null value deletes the key; a null key deletes the whole section.
BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const std::string& path);
