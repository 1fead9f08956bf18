#pragma once
// One hunk of the comparer's normal-format output ("5a6,8", "3,4c3", "7d6"), and the rules
// that keep a comparison's hunks in order so the two panes can be filled level.

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

inline constexpr std::int32_t kDiffAdded = 0;    // "a"
inline constexpr std::int32_t kDiffChanged = 1;  // "c"
inline constexpr std::int32_t kDiffDeleted = 2;  // "d"

// Line numbers are 1-based; a side given as one number has first == last.
struct DiffDetailItem {
    std::int32_t type = kDiffAdded;
    std::int32_t leftFirst = 0;
    std::int32_t leftLast = 0;
    std::int32_t rightFirst = 0;
    std::int32_t rightLast = 0;

    friend bool operator==(const DiffDetailItem&, const DiffDetailItem&) = default;
};

// The hunks of one comparison, in the comparer's order.
using DiffHunks = std::vector<DiffDetailItem>;

// A header the panes cannot be filled from.
class DiffHunkError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True for the lines of the output that are hunk headers: not empty, a decimal digit first.
bool IsDiffHunkHeader(std::string_view line);

// The hunk of a header line. Throws DiffHunkError when a side is not "n" or "n,m" in decimal
// digits, a number does not fit 32 bits, a last line stands before its first, or the line
// holds none of the letters a, c, d.
DiffDetailItem ParseDiffHunk(std::string_view line);

// Appends `hunk` to `hunks`, throwing DiffHunkError when it starts inside or before the lines
// the previous hunks already took on either side.
void AppendDiffHunk(DiffHunks& hunks, const DiffDetailItem& hunk);
