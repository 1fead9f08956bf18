#pragma once
// One column of a TreeList: its header item (title, format, image), its width rules
// (fixed, or a share of the room the fixed columns leave, never below its minimum) and its
// in-place edit settings.

#include <string>
#include <vector>

#include "platform/core/win_types.h"

struct TreeColumn {
    // Header item.
    std::string title;
    int format = 0;
    int image = -1;
    bool hasImage = false;

    // Width: `requested` is what the layout gives the column; it is shown at least `minWidth`.
    int requested = 0;
    int shown = 0;
    int minWidth = 16;
    bool minMark = false;  // the minimum was given with TVCF_MIN
    int share = 0;         // 0 = fixed width, else 1..255
    int align = 0;         // 0 left, 1 right, 2 centre
    bool marked = false;   // drawn in the column-mark colours

    // In-place editing.
    LPARAM autoEditValue = 0;
    std::vector<std::wstring> values;  // the value list, copied when it is set
    int columnValue = -1;              // image base of stepped values, -1 = none
    unsigned autoEditKind = 0;         // 0..7
    unsigned options = 0;              // option byte (bits 0-6)
    unsigned listSize = 0;
    unsigned separator = 0;

    bool IsVariable() const { return share > 0; }
    bool IsCheckKind() const { return autoEditKind == 6 || autoEditKind == 7; }
};
