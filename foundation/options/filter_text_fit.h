#pragma once
// Fitting a filter text into a fixed record field. Quoting makes filter texts grow, so a
// text may not fit the field it is stored in; it then loses whole entries from its end,
// never part of one, and the caller reports what was left out.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class FieldEncoding {
    Utf16,  // 2-byte code units, characters above U+FFFF take two
    Utf8,
};

struct FittedFilterText {
    std::wstring text;                  // fits the field together with its NUL
    std::vector<std::wstring> dropped;  // the entries left out, in their order, as written

    bool WasCut() const { return !dropped.empty(); }
};

// Fits `text` into a field of `fieldBytes` bytes that must keep a NUL. A text that fits is
// returned as it is; otherwise the entries are written one blank apart, as many leading
// ones as fit.
FittedFilterText FitFilterText(std::wstring_view text, std::size_t fieldBytes, FieldEncoding encoding);

// The line that tells the user a stored filter lost entries, e.g.
// Task 'Photos': the exclusion filter is too long to store; 2 entries were left out: *.tmp "a b"
std::string DescribeFilterCut(std::string_view taskName, std::string_view listName, const FittedFilterText& fitted);
