#pragma once
// The sixteen colours of a TreeList. Each slot has a default derived from the system
// colours; a slot the parent sets keeps its colour until it is cleared with CLR_NONE, and
// every slot not set is recomputed when the system colours or another slot change.

#include <array>

#include "platform/core/win_types.h"

struct SystemColors {
    COLORREF window = 0xFFFFFF;
    COLORREF windowText = 0;
    COLORREF infoBk = 0xE1FFFF;
    COLORREF buttonFace = 0xF0F0F0;
    COLORREF buttonShadow = 0xA0A0A0;
    COLORREF highlight = 0xD77800;
    COLORREF highlightText = 0xFFFFFF;
    COLORREF scrollBar = 0xC8C8C8;
    COLORREF menu = 0xF0F0F0;
};

class TreeColors {
public:
    static constexpr unsigned kCount = 16;

    TreeColors() { Recompute(); }

    COLORREF Get(unsigned index) const { return colors_[index]; }
    bool IsSet(unsigned index) const { return set_[index]; }
    // Stores a colour (CLR_NONE: back to the default) and returns the previous one.
    COLORREF Set(unsigned index, COLORREF color);

    void SetSystemColors(const SystemColors& system) {
        system_ = system;
        Recompute();
    }
    const SystemColors& System() const { return system_; }

private:
    void Recompute();

    SystemColors system_;
    std::array<COLORREF, kCount> colors_{};
    std::array<bool, kCount> set_{};
};

// Colour arithmetic of the defaults; every channel stays within 0..255.
COLORREF LowerChannels(COLORREF color, int amount);        // channels of `amount` or more lose it
COLORREF MixSeventhEighths(COLORREF base, COLORREF tint);  // 7/8 base + 1/8 tint per channel
COLORREF AverageColors(COLORREF a, COLORREF b);
int ColorDistanceSquared(COLORREF a, COLORREF b);
