#include "controls/printing/list_bands.h"

#include <algorithm>

std::vector<ColumnBand> LayOutColumnBands(const std::vector<int>& needed, int pageWidth) {
    std::vector<ColumnBand> bands;
    if (needed.size() < 2 || pageWidth <= 0) return bands;
    const int first = std::clamp(needed[0], 0, pageWidth / kFirstColumnPageShare);
    const int room = pageWidth - first;

    ColumnBand band;
    int used = 0;
    const auto close = [&] {
        // What the band leaves free goes to its last column, so a wrapped column gets it all.
        band.widths.back() += room - used;
        bands.push_back(std::move(band));
        band = ColumnBand();
        used = 0;
    };
    for (int c = 1; c < static_cast<int>(needed.size()); ++c) {
        const int width = std::max(needed[static_cast<std::size_t>(c)], 0);
        // A column too wide for any band wraps wherever it goes: beside the others, in
        // what the band has left, when that is a fair part of it.
        const bool wrapsHere = width > room && (room - used) * kWrappedColumnShare >= room;
        if (!band.widths.empty() && used + width > room && !wrapsHere) close();
        if (band.widths.empty()) {
            band.first = c;
            band.widths.push_back(first);
        }
        band.last = c;
        const int taken = std::min(width, room - used);
        band.widths.push_back(taken);
        used += taken;
    }
    close();
    return bands;
}
