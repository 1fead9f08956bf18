#include "controls/tree_property_sheet/prop_page_frame_default.h"

#include <QPainter>
#include <algorithm>

namespace TreePropSheet {

namespace {

constexpr int kIconSize = 16;

int Mix(int from, int to, int step, int steps) { return from + (to - from) * step / std::max(steps, 1); }

}  // namespace

bool CPropPageFrameDefault::Create(const QRect& rect, QWidget* parent, UINT id) {
    setParent(parent);
    setObjectName(QString::number(id));
    setWindowTitle(QStringLiteral("Page Frame"));
    setCursor(Qt::ArrowCursor);
    setGeometry(rect);
    show();
    return true;
}

void CPropPageFrameDefault::SetCaption(const QString& text, const QIcon& icon) {
    CPropPageFrame::SetCaption(text, icon.isNull() ? QIcon() : QIcon(icon.pixmap(kIconSize, kIconSize)));
}

QColor CPropPageFrameDefault::GroundColor() const { return palette().color(QPalette::Button); }

QRect CPropPageFrameDefault::CalcMsgArea() {
    // No themed tab pane here: the whole client area below the caption and its line.
    QRect area = rect();
    if (GetShowCaption()) area.setTop(area.top() + GetCaptionHeight() + 1);
    return area;
}

QRect CPropPageFrameDefault::CalcCaptionArea() {
    if (!GetShowCaption()) return QRect();
    return QRect(0, 0, width(), GetCaptionHeight());
}

void CPropPageFrameDefault::DrawCaption(QPainter& painter, const QRect& rect, const QString& text, const QIcon& icon) {
    if (rect.isEmpty()) return;
    // One vertical line per pixel column, from the inactive caption at the left to the
    // ground at the right edge.
    const QColor from = kInactiveCaptionColor;
    const QColor to = GroundColor();
    const int steps = rect.width() - 1;
    for (int i = 0; i < rect.width(); ++i) {
        painter.setPen(QColor(Mix(from.red(), to.red(), i, steps), Mix(from.green(), to.green(), i, steps),
                              Mix(from.blue(), to.blue(), i, steps)));
        painter.drawLine(rect.left() + i, rect.top(), rect.left() + i, rect.bottom());
    }

    int textLeft = rect.left() + 3;
    if (!icon.isNull()) {
        icon.paint(&painter, rect.left() + 3, rect.top() + (rect.height() - kIconSize) / 2, kIconSize, kIconSize);
        textLeft += kIconSize + 3;
    }
    textLeft += 2;
    const QRect textRect(textLeft, rect.top(), std::max(0, rect.right() - textLeft), rect.height());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
}

void CPropPageFrameDefault::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), GroundColor());
    Draw(painter);
}

}  // namespace TreePropSheet
