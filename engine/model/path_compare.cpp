#include "engine/model/path_compare.h"

#include "platform/core/text.h"

int CompareFileInfoBySecondName(std::string_view a, std::string_view b) { return plat::CompareUtf8AsWide(a, b, true); }

int CompareFileInfoBySecondNameCase(std::string_view a, std::string_view b) {
    return plat::CompareUtf8AsWide(a, b, false);
}

int CompareFileInfo2ByName(std::string_view a, std::string_view b) { return plat::CompareUtf8AsWide(a, b, false); }
