#include "foundation/options/filter_text_fit.h"

#include "foundation/quoted_list.h"
#include "platform/core/text.h"

namespace {

std::size_t EncodedUnits(std::wstring_view text, FieldEncoding encoding) {
    return encoding == FieldEncoding::Utf16 ? plat::WideToUtf16(text).size() : plat::WideToUtf8(text).size();
}

// Code units the field holds before its NUL.
std::size_t UnitsBeforeNul(std::size_t fieldBytes, FieldEncoding encoding) {
    const std::size_t units = encoding == FieldEncoding::Utf16 ? fieldBytes / 2 : fieldBytes;
    return units > 0 ? units - 1 : 0;
}

}  // namespace

FittedFilterText FitFilterText(std::wstring_view text, std::size_t fieldBytes, FieldEncoding encoding) {
    const std::size_t limit = UnitsBeforeNul(fieldBytes, encoding);
    FittedFilterText fitted;
    if (EncodedUnits(text, encoding) <= limit) {
        fitted.text = text;
        return fitted;
    }

    // Entries come back as written (quoted ones with their quotes), so joining them with
    // blanks reads back as the same list.
    std::vector<std::wstring> entries;
    SplitQuotedList(text, entries);
    std::size_t used = 0;
    for (std::wstring& entry : entries) {
        const std::size_t separator = fitted.text.empty() ? 0 : 1;
        const std::size_t needed = separator + EncodedUnits(entry, encoding);
        if (fitted.dropped.empty() && used + needed <= limit) {
            if (separator) fitted.text += L' ';
            fitted.text += entry;
            used += needed;
        } else {
            // Once one entry is left out, every later one is too: the list keeps its order.
            fitted.dropped.push_back(std::move(entry));
        }
    }
    return fitted;
}

std::string DescribeFilterCut(std::string_view taskName, std::string_view listName, const FittedFilterText& fitted) {
    std::wstring droppedText;
    for (const std::wstring& entry : fitted.dropped) {
        if (!droppedText.empty()) droppedText += L' ';
        droppedText += entry;
    }
    const std::string name(taskName);
    const std::string list(listName);
    return plat::Format("Task '%s': the %s filter is too long to store; %zu %s left out: %s", name.c_str(),
                        list.c_str(), fitted.dropped.size(), fitted.dropped.size() == 1 ? "entry was" : "entries were",
                        plat::WideToUtf8(droppedText).c_str());
}
