#pragma once
// The value list of an auto-edit column: the entries an in-place combo box offers and a
// stepped cell walks through. It is copied out of the caller's memory when it is set, so
// the column never reads that memory again.

#include <string>
#include <vector>

#include "platform/core/win_types.h"

inline constexpr unsigned kValueListMaxEntries = 1024;

// `value` is either an array of text pointers (`pointerArray`), read up to its first null
// entry, or one text whose entries are separated by `separator` (0: the whole text is one
// entry). At most `listSize` entries are read (0 = up to kValueListMaxEntries).
std::vector<std::wstring> CopyValueList(LPARAM value, bool pointerArray, WCHAR separator, unsigned listSize);

// Index of the entry equal to `text`, or -1.
int FindValue(const std::vector<std::wstring>& values, std::wstring_view text);
