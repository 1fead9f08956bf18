#include "controls/treelist/tree_colors.h"

#include <algorithm>

#include "controls/treelist/treelist_defs.h"

namespace {

BYTE Channel(COLORREF c, int shift) { return static_cast<BYTE>((c >> shift) & 0xFF); }

template <typename F>
COLORREF PerChannel(COLORREF a, COLORREF b, F f) {
    COLORREF out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int v = std::clamp(f(Channel(a, shift), Channel(b, shift)), 0, 255);
        out |= static_cast<COLORREF>(v) << shift;
    }
    return out;
}

}  // namespace

COLORREF LowerChannels(COLORREF color, int amount) {
    return PerChannel(color, 0, [amount](int c, int) { return c >= amount ? c - amount : c; });
}

COLORREF MixSeventhEighths(COLORREF base, COLORREF tint) {
    return PerChannel(base, tint, [](int b, int t) { return (b >> 3) * 7 + (t >> 3); });
}

COLORREF AverageColors(COLORREF a, COLORREF b) {
    return PerChannel(a, b, [](int x, int y) { return (x >> 1) + (y >> 1); });
}

int ColorDistanceSquared(COLORREF a, COLORREF b) {
    int sum = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int d = Channel(a, shift) - Channel(b, shift);
        sum += d * d;
    }
    return sum;
}

COLORREF TreeColors::Set(unsigned index, COLORREF color) {
    const COLORREF previous = colors_[index];
    if (color == CLR_NONE) {
        set_[index] = false;
    } else {
        set_[index] = true;
        colors_[index] = color & 0xFFFFFF;
    }
    Recompute();
    return previous;
}

void TreeColors::Recompute() {
    auto fill = [this](unsigned index, COLORREF value) {
        if (!set_[index]) colors_[index] = value;
    };
    fill(TVC_BK, system_.window);
    fill(TVC_EVEN, system_.window);
    fill(TVC_FRAME, system_.buttonFace);
    fill(TVC_TEXT, system_.windowText);
    fill(TVC_LINE, system_.windowText);
    fill(TVC_BOX, system_.buttonShadow);
    fill(TVC_TRACK, system_.windowText);
    fill(TVC_INSERT, system_.infoBk);
    fill(TVC_BOXBG, system_.window);
    fill(TVC_COLBK, LowerChannels(system_.window, 16));
    fill(TVC_COLEVEN, LowerChannels(system_.window, 16));
    fill(TVC_GRAYED, AverageColors(system_.scrollBar, system_.window));

    // Odd rows must stay visibly different from even rows.
    COLORREF odd = system_.infoBk;
    if (ColorDistanceSquared(odd, colors_[TVC_EVEN]) < 64) {
        const COLORREF even = colors_[TVC_EVEN];
        const int blue = std::max(0, static_cast<int>(GetBValue(even)) - 8);
        odd = RGB(GetRValue(even), GetGValue(even), static_cast<BYTE>(blue));
    }
    fill(TVC_ODD, odd);
    fill(TVC_MARKODD, MixSeventhEighths(colors_[TVC_ODD], system_.highlight));
    fill(TVC_MARKEVEN, MixSeventhEighths(colors_[TVC_EVEN], system_.highlight));
    fill(TVC_COLODD, LowerChannels(colors_[TVC_ODD], 16));
}
