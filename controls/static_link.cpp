#include "controls/static_link.h"

#include <QApplication>
#include <QMouseEvent>

#include "controls/colorref.h"
#include "controls/desktop_link.h"

CStaticLink::CStaticLink(QWidget* parent, DWORD style) : CStatic(parent, style), opener_(OpenLinkWithDesktop) {
    setCursor(Qt::PointingHandCursor);
}

std::optional<QColor> CStaticLink::CtlColor() {
    if (!(Style() & SS_NOTIFY)) ModifyStyle(0, SS_NOTIFY);
    // Only text statics look like links; the type ignores flags such as SS_NOPREFIX.
    if (!IsTextStaticType(Style())) return std::nullopt;
    if (!underlineFont_) {
        underlineFont_ = font();
        underlineFont_->setUnderline(true);
    }
    return ColorFromRef(visited_ ? visitedColour_ : linkColour_);
}

QFont CStaticLink::PaintFont() const { return underlineFont_ ? *underlineFont_ : font(); }

void CStaticLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && (Style() & SS_NOTIFY)) {
        OnClicked();
        return;
    }
    CStatic::mouseReleaseEvent(event);
}

void CStaticLink::OnClicked() {
    if (url_.empty()) url_ = text().toStdString();
    if (!opener_ || !opener_(url_)) {
        QApplication::beep();
        return;
    }
    visited_ = true;
    update();
}
