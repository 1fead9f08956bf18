#include "foundation/size_text.h"

#include <charconv>

#include "foundation/program_state.h"
#include "foundation/resource_strings.h"

namespace {
// Two decimals with '.', whatever the process locale (the GUI toolkit sets LC_NUMERIC).
std::string TwoDecimals(double value) {
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    return std::string(buf, result.ptr);
}
}  // namespace

std::string FormatSizeText(std::uint64_t bytes) {
    // Decimal thresholds, binary divisors, as the program has always shown sizes.
    std::string text;
    if (bytes == 0) {
        text = "0 " + LoadResString(IDS_BYTES);
    } else if (bytes < 1000) {
        text = std::to_string(bytes) + " " + LoadResString(IDS_BYTES);
    } else if (bytes < 1000000) {
        text = TwoDecimals(static_cast<double>(bytes) / 1024.0) + LoadResString(IDS_KB);
    } else if (bytes < 1000000000) {
        text = TwoDecimals(static_cast<double>(bytes) / 1048576.0) + LoadResString(IDS_MB);
    } else {
        text = TwoDecimals(static_cast<double>(bytes) / 1073741824.0) + LoadResString(IDS_GB);
    }
    const char separator = ProgramState().decimalSeparator;
    if (separator != '.' && bytes >= 1000) {
        const auto pos = text.rfind('.');
        if (pos != std::string::npos) text[pos] = separator;
    }
    return text;
}
