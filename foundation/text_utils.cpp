#include "foundation/text_utils.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "foundation/quoted_list.h"
#include "platform/core/text.h"

std::string FormatString(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (needed > 0) {
        out.resize(static_cast<size_t>(needed));
        std::vsnprintf(out.data(), out.size() + 1, format, args);
    }
    va_end(args);
    return out;
}

std::string WideToUtf8(std::wstring_view wide) { return plat::WideToUtf8(wide); }

std::wstring AnsiToWide(std::string_view text) { return plat::Utf8ToWide(text); }

int FindCharW(std::wstring_view text, wchar_t c) {
    const auto pos = text.rfind(c);
    return pos == std::wstring_view::npos ? -1 : static_cast<int>(pos);
}

void MakeLowerW(std::wstring& text) { text = plat::ToLowerWide(text); }

void AppendCharW(std::wstring& text, wchar_t c) { text.push_back(c); }

void QuotePath(std::wstring& list) {
    // A ';' inside quotes is part of a name; only a list with a bare one is written this way.
    if (!HasBareSemicolon(list)) return;
    std::wstring out;
    for (const std::wstring& entry : SplitSemicolonList(list)) {
        if (!out.empty()) out.push_back(L' ');
        if (entry.front() == L'"') {
            out.append(entry);
        } else {
            out.push_back(L'"');
            out.append(entry);
            out.push_back(L'"');
        }
    }
    list = std::move(out);
}
