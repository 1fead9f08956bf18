#pragma once
// How the columns of a printed list share the pages' width. Each column is printed as
// wide as its widest text; column 0 is repeated at the left of every band and the other
// columns follow in order, a band taking as many as fit beside it. A column too wide for
// a band of its own gets the rest of the page and its text wraps there; so does column 0
// beyond its share of the page.

#include <vector>

struct ColumnBand {
    int first = 1;            // the band's columns, beside column 0
    int last = 1;
    std::vector<int> widths;  // device units: column 0, then first .. last
};

// `needed` holds every column's width for its text (column 0 first), `pageWidth` the
// printable width in the same units. No band for a list of fewer than two columns.
std::vector<ColumnBand> LayOutColumnBands(const std::vector<int>& needed, int pageWidth);

// The most of the page's width column 0 takes; its text wraps past it.
inline constexpr int kFirstColumnPageShare = 3;  // a third
