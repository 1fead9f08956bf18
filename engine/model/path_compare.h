#pragma once
// The orders in which record arrays keep relative paths. Each returns negative, 0 or
// positive, like a three-way compare.

#include <string_view>

using PathCompareFunction = int (*)(std::wstring_view, std::wstring_view);

// Scanned records' relative paths, case-blind (wide-character case folding).
int CompareFileInfoBySecondName(std::wstring_view a, std::wstring_view b);
// Scanned records' relative paths, character by character as unsigned values.
int CompareFileInfoBySecondNameCase(std::wstring_view a, std::wstring_view b);
// Catalog rows' names: always case-sensitive, character by character.
int CompareFileInfo2ByName(std::wstring_view a, std::wstring_view b);
