#pragma once
// Shortening a text with "..." to fit a width.

#include <QFontMetrics>
#include <QString>
#include <string_view>

// The text as drawn in `available` pixels: whole when `fullWidth` fits, else the longest
// prefix that leaves room for "..." followed by "..." (never splitting a surrogate pair),
// and only "..." when fewer than 3 pixels would be left for the prefix.
QString FitText(std::wstring_view text, const QFontMetrics& metrics, int available, int ellipsisWidth, int fullWidth);
