#pragma once
// The orders in which record arrays keep relative paths. Paths are held as UTF-8 bytes and
// ordered as their wide text, character by character. Each returns negative, 0 or
// positive, like a three-way compare.

#include <string_view>

using PathCompareFunction = int (*)(std::string_view, std::string_view);

// Scanned records' relative paths, case-blind (wide-character case folding).
int CompareFileInfoBySecondName(std::string_view a, std::string_view b);
// Scanned records' relative paths, character by character as unsigned values.
int CompareFileInfoBySecondNameCase(std::string_view a, std::string_view b);
// Catalog rows' names: always case-sensitive, character by character.
int CompareFileInfo2ByName(std::string_view a, std::string_view b);
