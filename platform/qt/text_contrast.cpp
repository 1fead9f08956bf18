#include "platform/qt/text_contrast.h"

#include <algorithm>
#include <cmath>

namespace plat {

namespace {

double Channel(int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Channel(rgb.red()) + 0.7152 * Channel(rgb.green()) + 0.0722 * Channel(rgb.blue());
}

QColor Mix(const QColor& from, const QColor& to, double share) {
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    const auto mix = [share](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * share)); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()), a.alpha());
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& text, const QColor& ground, double minimum) {
    if (ContrastRatio(text, ground) >= minimum) return text;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    const QColor end = ContrastRatio(black, ground) >= ContrastRatio(white, ground) ? black : white;
    // The smallest step towards the end that is enough keeps most of the colour's hue.
    constexpr int kSteps = 40;
    for (int step = 1; step < kSteps; ++step) {
        const QColor moved = Mix(text, end, static_cast<double>(step) / kSteps);
        if (ContrastRatio(moved, ground) >= minimum) return moved;
    }
    return end;
}

}  // namespace plat
