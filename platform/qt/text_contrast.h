#pragma once
// How well a text colour stands out from the colour it is drawn on, and the nearest
// colour that stands out enough. Every text the program draws in a colour of its own
// (a warning in red, a link, a heading in blue) goes through ReadableOn, so it stays
// readable under every look, light or dark.

#include <QColor>

namespace plat {

// The contrast a reader needs for ordinary text.
inline constexpr double kReadableContrast = 4.5;

// The contrast ratio of two colours, from 1 (the same) to 21 (black and white).
double ContrastRatio(const QColor& a, const QColor& b);

// `text` itself when it has `minimum` contrast with `ground`; otherwise `text` moved
// towards black or white (whichever stands out more on `ground`) just far enough.
QColor ReadableOn(const QColor& text, const QColor& ground, double minimum = kReadableContrast);

}  // namespace plat
