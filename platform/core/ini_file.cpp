#include "platform/core/ini_file.h"

#include <climits>
#include <filesystem>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/core/errors.h"
#include "platform/core/whole_file.h"

namespace plat {

namespace {

// One lock per file, so that read-modify-write cycles on one file never overlap.
// Paths are made absolute and free of links first, so two spellings share a lock.
std::mutex& LockFor(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path key = fs::weakly_canonical(fs::path(path), ec);
    if (ec) key = fs::absolute(fs::path(path), ec).lexically_normal();

    static std::mutex registryMutex;
    static std::unordered_map<std::string, std::unique_ptr<std::mutex>> locks;
    const std::lock_guard guard(registryMutex);
    std::unique_ptr<std::mutex>& lock = locks[key.string()];
    if (!lock) lock = std::make_unique<std::mutex>();
    return *lock;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

int ParseProfileInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (text.size() - i > 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        HexDigit(text[i + 2]) >= 0) {
        base = 16;
        i += 2;
    }
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const int digit = base == 16 ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0) break;
        value = value * base + digit;
        if (value > kLimit) value = kLimit;
    }
    if (negative) return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

std::optional<IniDocument> IniFile::Load() const {
    std::string bytes;
    if (!ReadWholeFile(path_, &bytes)) return std::nullopt;
    return IniDocument::Parse(bytes);
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
    const std::optional<IniDocument> doc = Load();
    if (!doc) return std::nullopt;
    return doc->Get(section, key);
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
    std::optional<std::string> value = Read(section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

int IniFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    const std::optional<std::string> value = Read(section, key);
    if (!value || value->empty()) return defaultValue;
    return ParseProfileInt(*value);
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (!IniDocument::IsWritableSection(section) || !IniDocument::IsWritableKey(key) ||
        !IniDocument::IsWritableValue(value)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return Update([&](IniDocument& doc) { return doc.Set(section, key, value); });
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key) {
    return Update([&](IniDocument& doc) { return doc.RemoveKey(section, key); });
}

bool IniFile::DeleteSection(std::string_view section) {
    return Update([&](IniDocument& doc) { return doc.RemoveSection(section); });
}

std::vector<std::string> IniFile::SectionNames() const {
    const std::optional<IniDocument> doc = Load();
    return doc ? doc->SectionNames() : std::vector<std::string>{};
}

std::vector<std::string> IniFile::KeyNames(std::string_view section) const {
    const std::optional<IniDocument> doc = Load();
    return doc ? doc->KeyNames(section) : std::vector<std::string>{};
}

bool IniFile::Update(const std::function<bool(IniDocument&)>& change) {
    const std::lock_guard guard(LockFor(path_));
    IniDocument doc;
    std::string bytes;
    if (ReadWholeFile(path_, &bytes)) {
        doc = IniDocument::Parse(bytes);
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;  // never replace a file whose content could not be read
    }
    if (!change(doc)) {
        SetLastError(ERROR_SUCCESS);
        return true;
    }
    return ReplaceFileAtomically(path_, doc.Serialize());
}

}  // namespace plat

std::string GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                    const std::string& path) {
    std::string_view fallback = defaultValue ? defaultValue : "";
    while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);
    if (!section || !key) return std::string(fallback);
    return plat::IniFile(path).GetString(section, key, fallback);
}

UINT GetPrivateProfileInt(const char* section, const char* key, INT defaultValue, const std::string& path) {
    if (!section || !key) return static_cast<UINT>(defaultValue);
    return static_cast<UINT>(plat::IniFile(path).GetInt(section, key, defaultValue));
}

BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const std::string& path) {
    if (!section) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    plat::IniFile file(path);
    if (!key) return file.DeleteSection(section) ? TRUE : FALSE;
    if (!value) return file.DeleteKey(section, key) ? TRUE : FALSE;
    return file.WriteString(section, key, value) ? TRUE : FALSE;
}
