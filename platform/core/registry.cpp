#include "platform/core/registry.h"

#include <filesystem>
#include <functional>

#include "platform/core/autostart_entry.h"
#include "platform/core/errors.h"
#include "platform/core/ini_file.h"
#include "platform/core/text.h"
#include "platform/core/xdg_base_dirs.h"

namespace plat {

namespace {

constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kDwordPrefix = "dword:";

// Key parts and value names go into the store's section and key names; anything that
// could change the store's structure, or would be trimmed away, is written as %XX.
std::string EncodeName(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool edge = i == 0 || i + 1 == name.size();
        const bool plain = (c > 0x20 && c < 0x7F &&
                            std::string_view("%=;[]\"@\\").find(static_cast<char>(c)) == std::string_view::npos) ||
                           (c == ' ' && !edge);
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out.empty() ? "@" : out;  // "@" is the key's default value
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string DecodeName(std::string_view text) {
    if (text == "@") return {};
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = HexValue(text[i + 1]);
            const int lo = HexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::vector<std::string_view> KeyParts(std::string_view key) {
    std::vector<std::string_view> parts;
    while (!key.empty()) {
        const std::size_t slash = key.find('\\');
        const std::string_view part = key.substr(0, slash);
        if (!part.empty()) parts.push_back(part);
        if (slash == std::string_view::npos) break;
        key.remove_prefix(slash + 1);
    }
    return parts;
}

std::string SectionName(RegRoot root, std::string_view key) {
    std::string section = root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
    for (const std::string_view part : KeyParts(key)) {
        section += '\\';
        section += EncodeName(part);
    }
    return section;
}

bool IsRunKey(RegRoot root, std::string_view key) {
    return root == RegRoot::CurrentUser && EqualsNoCaseAscii(SectionName(root, key), SectionName(root, kRunKey));
}

std::string EncodeString(std::string_view data) {
    std::string out = "\"";
    for (const char c : data) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\0': out += "\\0"; break;
        default: out += c;
        }
    }
    out += '"';
    return out;
}

std::optional<std::string> DecodeString(std::string_view stored) {
    if (stored.size() < 2 || stored.front() != '"' || stored.back() != '"') return std::nullopt;
    stored = stored.substr(1, stored.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] != '\\' || i + 1 == stored.size()) {
            out += stored[i];
            continue;
        }
        const char next = stored[++i];
        out += next == 'r' ? '\r' : next == 'n' ? '\n' : next == '0' ? '\0' : next;
    }
    return out;
}

std::optional<DWORD> DecodeDword(std::string_view stored) {
    if (stored.substr(0, kDwordPrefix.size()) != kDwordPrefix) return std::nullopt;
    stored.remove_prefix(kDwordPrefix.size());
    if (stored.size() != 8) return std::nullopt;
    DWORD value = 0;
    for (const char c : stored) {
        const int digit = HexValue(c);
        if (digit < 0) return std::nullopt;
        value = value << 4 | static_cast<DWORD>(digit);
    }
    return value;
}

std::optional<std::string> ReadStored(RegRoot root, std::string_view key, std::string_view name) {
    const std::string path = RegistryStorePath();
    if (path.empty()) return std::nullopt;
    return IniFile(path).Read(SectionName(root, key), EncodeName(name));
}

bool WriteStored(RegRoot root, std::string_view key, std::string_view name, const std::string& stored) {
    const std::string path = RegistryStorePath();
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (ec) {
        SetLastErrorFromErrno(ec.value());
        return false;
    }
    return IniFile(path).WriteString(SectionName(root, key), EncodeName(name), stored);
}

bool DeleteStored(RegRoot root, std::string_view key, std::string_view name) {
    const std::string path = RegistryStorePath();
    if (path.empty()) return true;  // nothing can be stored, so nothing is there
    const std::string section = SectionName(root, key);
    const std::string valueKey = EncodeName(name);
    return IniFile(path).Update([&](IniDocument& doc) {
        if (!doc.RemoveKey(section, valueKey)) return false;
        if (doc.KeyNames(section).empty()) doc.RemoveSection(section);
        return true;
    });
}

// Runs `storeChange` with the autostart entry of `name` set to `entry` (removed when
// nullopt) around it, so that the two never disagree after a failure.
bool ChangeWithAutostart(std::string_view name, const std::optional<std::string>& entry,
                         const std::function<bool()>& storeChange) {
    const std::string entryPath = AutostartEntryPath(name);
    if (entryPath.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    const std::optional<std::string> previous = ReadAutostartEntry(entryPath);
    if (!(entry ? WriteAutostartEntry(entryPath, *entry) : RemoveAutostartEntry(entryPath))) return false;
    if (storeChange()) return true;
    const DWORD error = GetLastError();
    if (previous) {
        WriteAutostartEntry(entryPath, *previous);
    } else {
        RemoveAutostartEntry(entryPath);
    }
    SetLastError(error);
    return false;
}

}  // namespace

std::string RegistryStorePath() {
    const std::string config = UserConfigFolder();
    return config.empty() ? std::string() : config + "/quarrybend-sync/registry.ini";
}

std::optional<std::string> RegGetString(RegRoot root, std::string_view key, std::string_view name) {
    const std::optional<std::string> stored = ReadStored(root, key, name);
    return stored ? DecodeString(*stored) : std::nullopt;
}

std::optional<DWORD> RegGetDword(RegRoot root, std::string_view key, std::string_view name) {
    const std::optional<std::string> stored = ReadStored(root, key, name);
    return stored ? DecodeDword(*stored) : std::nullopt;
}

bool RegSetString(RegRoot root, std::string_view key, std::string_view name, std::string_view data) {
    const std::string stored = EncodeString(data);
    if (!IsRunKey(root, key)) return WriteStored(root, key, name, stored);
    return ChangeWithAutostart(name, AutostartEntryText(name, data),
                               [&] { return WriteStored(root, key, name, stored); });
}

bool RegSetDword(RegRoot root, std::string_view key, std::string_view name, DWORD data) {
    const std::string stored = Format("dword:%08x", static_cast<unsigned>(data));
    if (!IsRunKey(root, key)) return WriteStored(root, key, name, stored);
    // A number is no command line: the value no longer starts anything.
    return ChangeWithAutostart(name, std::nullopt, [&] { return WriteStored(root, key, name, stored); });
}

bool RegDeleteValue(RegRoot root, std::string_view key, std::string_view name) {
    if (!IsRunKey(root, key)) return DeleteStored(root, key, name);
    return ChangeWithAutostart(name, std::nullopt, [&] { return DeleteStored(root, key, name); });
}

bool RegFlushKey(RegRoot, std::string_view) { return true; }

std::vector<std::string> RegSubkeyNames(RegRoot root, std::string_view key) {
    const std::string path = RegistryStorePath();
    if (path.empty()) return {};
    const std::string prefix = SectionName(root, key) + "\\";
    std::vector<std::string> names;
    for (const std::string& section : IniFile(path).SectionNames()) {
        if (section.size() <= prefix.size() || !EqualsNoCaseAscii(section.substr(0, prefix.size()), prefix)) continue;
        const std::string_view rest = std::string_view(section).substr(prefix.size());
        const std::string child = DecodeName(rest.substr(0, rest.find('\\')));
        bool seen = false;
        for (const std::string& name : names) seen = seen || EqualsNoCaseAscii(name, child);
        if (!seen) names.push_back(child);
    }
    return names;
}

std::string AutostartEntryPath(std::string_view valueName) {
    const std::string config = UserConfigFolder();
    if (config.empty()) return {};
    return config + "/autostart/" + AutostartFileName(valueName);
}

}  // namespace plat
