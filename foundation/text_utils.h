#pragma once
// Small text helpers shared by the program.

#include <string>
#include <string_view>

// printf-style formatting into a string.
std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Wide <-> 8-bit (UTF-8) text; every byte of a file name survives the round trip.
std::string WideToUtf8(std::wstring_view wide);
std::wstring AnsiToWide(std::string_view text);

// Index of the last occurrence of `c`, or -1.
int FindCharW(std::wstring_view text, wchar_t c);
// Lower-cases in place, for case-blind comparison.
void MakeLowerW(std::wstring& text);
void AppendCharW(std::wstring& text, wchar_t c);

// Rewrites a pattern list written with ';' separators into the quoted-list form.
// A text without ';' outside quotes stays as it is. Otherwise quoted entries stay as written and bare
// text is split at ';' only (SplitSemicolonList): blanks inside a part belong to its
// name. Every part is written in double quotes, one blank between parts:
// `/home/me/My Docs/*.*;*.tmp` gives `"/home/me/My Docs/*.*" "*.tmp"`.
void QuotePath(std::wstring& list);
