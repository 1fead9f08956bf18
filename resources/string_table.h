#pragma once
// The program's string table: every message and label text by its numeric id.

#include <optional>
#include <span>
#include <string_view>

#include "platform/core/win_types.h"

namespace res {

struct StringEntry {
    UINT id;
    std::string_view text;
};

// Every entry, sorted by id with no id twice.
std::span<const StringEntry> StringTable();

// The text of `id`, or nothing when the table holds no such string.
std::optional<std::string_view> FindString(UINT id);

}  // namespace res
