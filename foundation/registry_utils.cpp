#include "foundation/registry_utils.h"

#include "platform/core/text.h"

int RegReadDword(plat::RegRoot root, const std::string& key, const std::string& value, int defaultValue) {
    const auto data = plat::RegGetDword(root, key, value);
    return data ? static_cast<int>(*data) : defaultValue;
}

bool RegWriteDwordFlush(plat::RegRoot root, const std::string& key, const std::string& value, int data) {
    return plat::RegSetDword(root, key, value, static_cast<DWORD>(data)) && plat::RegFlushKey(root, key);
}

bool RegWriteStringValue(plat::RegRoot root, const std::string& key, const std::string& value,
                         const std::string& text) {
    return plat::RegSetString(root, key, value, text);
}

bool RegDeleteNamedValue(plat::RegRoot root, const std::string& key, const std::string& value) {
    if (key.empty() || value.empty()) return false;
    return plat::RegDeleteValue(root, key, value);
}

std::string RegReadString(plat::RegRoot root, const std::string& key, const std::string& value,
                          const std::string& defaultValue) {
    return plat::RegGetString(root, key, value).value_or(defaultValue);
}

std::wstring RegReadStringW(plat::RegRoot root, const std::string& key, const std::string& value,
                            const std::wstring& defaultValue) {
    const auto data = plat::RegGetString(root, key, value);
    return data ? plat::Utf8ToWide(*data) : defaultValue;
}

bool RegWriteStringW(plat::RegRoot root, const std::string& key, const std::string& value, const std::wstring& text) {
    return plat::RegSetString(root, key, value, plat::WideToUtf8(text));
}
