#pragma once
// Item handles as they travel in messages: a plain index, or one of the special values,
// which callers may pass in their 32-bit form or sign-extended to the pointer width.

#include <cstdint>

#include "controls/treelist/tree_item.h"
#include "controls/treelist/treelist_defs.h"

inline HTREEITEM NormalizeHandle(HTREEITEM handle) {
    if constexpr (sizeof(HTREEITEM) > 4) {
        if ((static_cast<std::uint64_t>(handle) >> 32) == 0xFFFFFFFFu) return handle & 0xFFFFFFFFu;
    }
    return handle;
}

// The table index a handle names, or 0 when it is a special value or out of range.
inline ItemIndex IndexOfHandle(HTREEITEM handle) {
    handle = NormalizeHandle(handle);
    return handle < 0xFF000000u ? static_cast<ItemIndex>(handle) : 0;
}

inline bool IsRootHandle(HTREEITEM handle) {
    handle = NormalizeHandle(handle);
    return handle == 0 || handle == TVI_ROOT;
}

// Cut position for copying at most `limit` characters of `text` without separating a
// surrogate pair.
inline std::size_t CutWithoutSplittingPair(const WCHAR* text, std::size_t length, std::size_t limit) {
    if (length <= limit) return length;
    std::size_t cut = limit;
    if (cut > 0) {
        const auto before = static_cast<std::uint32_t>(text[cut - 1]);
        const auto after = static_cast<std::uint32_t>(text[cut]);
        if (before >= 0xD800 && before <= 0xDBFF && after >= 0xDC00 && after <= 0xDFFF) --cut;
    }
    return cut;
}
