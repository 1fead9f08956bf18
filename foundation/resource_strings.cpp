#include "foundation/resource_strings.h"

#include "platform/core/text.h"
#include "resources/string_table.h"

std::string LoadResString(UINT id) {
    const auto text = res::FindString(id);
    return text ? std::string(*text) : std::string();
}

std::wstring LoadResStringW(UINT id) { return plat::Utf8ToWide(LoadResString(id)); }
