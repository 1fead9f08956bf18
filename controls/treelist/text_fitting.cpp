#include "controls/treelist/text_fitting.h"

QString FitText(std::wstring_view text, const QFontMetrics& metrics, int available, int ellipsisWidth, int fullWidth) {
    const QString whole = QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size()));
    if (fullWidth <= available) return whole;
    const QString dots = QStringLiteral("...");
    const int room = available - ellipsisWidth;
    if (room < 3) return dots;
    qsizetype lo = 0;
    qsizetype hi = whole.size();
    while (lo < hi) {
        const qsizetype mid = lo + (hi - lo + 1) / 2;
        if (metrics.horizontalAdvance(whole.left(mid)) <= room)
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo > 0 && whole.at(lo - 1).isHighSurrogate()) --lo;
    return whole.left(lo) + dots;
}
