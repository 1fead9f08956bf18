#include "controls/treelist/value_list.h"

#include <cwchar>

std::vector<std::wstring> CopyValueList(LPARAM value, bool pointerArray, WCHAR separator, unsigned listSize) {
    std::vector<std::wstring> values;
    if (value == 0) return values;
    const unsigned limit = listSize == 0 ? kValueListMaxEntries : listSize;
    if (pointerArray) {
        const auto* entries = reinterpret_cast<const WCHAR* const*>(value);
        for (unsigned i = 0; i < limit && entries[i]; ++i) values.emplace_back(entries[i]);
        return values;
    }
    const std::wstring_view text(reinterpret_cast<const WCHAR*>(value));
    if (separator == 0) {
        values.emplace_back(text);
        return values;
    }
    std::size_t start = 0;
    while (values.size() < limit && start <= text.size()) {
        const std::size_t end = text.find(separator, start);
        if (end == std::wstring_view::npos) {
            if (start < text.size()) values.emplace_back(text.substr(start));
            break;
        }
        values.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return values;
}

int FindValue(const std::vector<std::wstring>& values, std::wstring_view text) {
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i] == text) return static_cast<int>(i);
    return -1;
}
