#pragma once
// How the columns of a printed list share the pages' width. Each column is printed as
// wide as its widest text; column 0 is repeated at the left of every band and the other
// columns follow in order, a band taking as many as fit beside it. A column too wide for
// a band of its own (long comments) gets the rest of the band it comes to, when that is
// at least a third of the band, else a band of its own, and its text wraps there; column
// 0 wraps too beyond its share of the page.

#include <vector>

// The most of the page's width column 0 takes; its text wraps past it.
inline constexpr int kFirstColumnPageShare = 3;  // a third
// The least of a band's room that a column too wide for any band wraps in.
inline constexpr int kWrappedColumnShare = 3;  // a third

struct ColumnBand {
    int first = 1;  // the band's columns, beside column 0
    int last = 1;
    std::vector<int> widths;  // device units: column 0, then first .. last
};

// `needed` holds every column's width for its text (column 0 first), `pageWidth` the
// printable width in the same units. No band for a list of fewer than two columns.
std::vector<ColumnBand> LayOutColumnBands(const std::vector<int>& needed, int pageWidth);
