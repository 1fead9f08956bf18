#include "engine/model/path_compare.h"

#include <algorithm>
#include <type_traits>

#include "platform/core/text.h"

namespace {

int CompareCodeUnits(std::wstring_view a, std::wstring_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<std::make_unsigned_t<wchar_t>>(a[i]);
        const auto cb = static_cast<std::make_unsigned_t<wchar_t>>(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace

int CompareFileInfoBySecondName(std::wstring_view a, std::wstring_view b) { return plat::CompareNoCaseWide(a, b); }

int CompareFileInfoBySecondNameCase(std::wstring_view a, std::wstring_view b) { return CompareCodeUnits(a, b); }

int CompareFileInfo2ByName(std::wstring_view a, std::wstring_view b) { return CompareCodeUnits(a, b); }
