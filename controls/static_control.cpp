#include "controls/static_control.h"

#include <QPainter>
#include <QStyle>

#include "platform/qt/text_contrast.h"

CStatic::CStatic(QWidget* parent, DWORD style) : QLabel(parent), style_(style) {
    setTextFormat(Qt::PlainText);
    ApplyAlignment();
}

void CStatic::ModifyStyle(DWORD remove, DWORD add) {
    const DWORD style = (style_ & ~remove) | add;
    if (style == style_) return;
    style_ = style;
    ApplyAlignment();
    update();
}

void CStatic::ApplyAlignment() {
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (StaticType(style_) == SS_CENTER) horizontal = Qt::AlignHCenter;
    if (StaticType(style_) == SS_RIGHT) horizontal = Qt::AlignRight;
    const Qt::Alignment vertical = (style_ & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop;
    setAlignment(horizontal | vertical);
    setWordWrap(StaticType(style_) <= SS_RIGHT);
}

void CStatic::paintEvent(QPaintEvent* event) {
    const std::optional<QColor> colour = CtlColor();
    if (!colour) return QLabel::paintEvent(event);
    QPainter painter(this);
    painter.setFont(PaintFont());
    QPalette palette = this->palette();
    // The static's own colour (a link's blue, a heading's) stays readable on a dark look.
    palette.setColor(QPalette::WindowText, plat::ReadableOn(*colour, palette.color(QPalette::Window)));
    int flags = static_cast<int>(alignment());
    if (wordWrap()) flags |= Qt::TextWordWrap;
    style()->drawItemText(&painter, contentsRect(), flags, palette, isEnabled(), text(), QPalette::WindowText);
}
