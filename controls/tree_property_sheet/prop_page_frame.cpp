#include "controls/tree_property_sheet/prop_page_frame.h"

#include <QPainter>
#include <QWidget>

namespace TreePropSheet {

int QtTextFlags(DWORD format) {
    int flags = Qt::AlignLeft;
    if (format & DT_CENTER) flags = Qt::AlignHCenter;
    if (format & DT_RIGHT) flags = Qt::AlignRight;
    if (format & DT_SINGLELINE) {
        flags |= (format & DT_VCENTER) ? Qt::AlignVCenter : (format & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
        flags |= Qt::TextSingleLine;
    } else {
        flags |= Qt::AlignTop;
        if (format & DT_WORDBREAK) flags |= Qt::TextWordWrap;
    }
    // Without DT_NOPREFIX an '&' marks the next letter.
    if (!(format & DT_NOPREFIX)) flags |= Qt::TextShowMnemonic;
    return flags;
}

QRect CPropPageFrame::ClientRect() {
    QWidget* wnd = GetWnd();
    return wnd ? wnd->rect() : QRect();
}

void CPropPageFrame::Invalidate(const QRect& area) {
    if (QWidget* wnd = GetWnd()) wnd->update(area);
}

void CPropPageFrame::ShowCaption(bool show) {
    showCaption_ = show;
    Invalidate(QRect(0, 0, ClientRect().width(), captionHeight_));
}

void CPropPageFrame::SetCaptionHeight(int height) {
    captionHeight_ = height;
    Invalidate(QRect(0, 0, ClientRect().width(), captionHeight_));
}

void CPropPageFrame::SetCaption(const QString& text, const QIcon& icon) {
    captionText_ = text;
    captionIcon_ = icon;
    Invalidate(CalcCaptionArea());
}

void CPropPageFrame::SetMsgText(const QString& text) {
    msgText_ = text;
    Invalidate(CalcMsgArea());
}

void CPropPageFrame::SetMsgFormat(DWORD format) {
    msgFormat_ = format;
    Invalidate(CalcMsgArea());
}

void CPropPageFrame::Draw(QPainter& painter) {
    if (showCaption_) DrawCaption(painter, CalcCaptionArea(), captionText_, captionIcon_);
    DrawMsg(painter, CalcMsgArea(), msgText_, msgFormat_);
}

QRect CPropPageFrame::CalcMsgArea() {
    QRect area = ClientRect();
    if (showCaption_) area.setTop(area.top() + captionHeight_);
    return area;
}

void CPropPageFrame::DrawMsg(QPainter& painter, const QRect& rect, const QString& text, DWORD format) {
    if (text.isEmpty()) return;
    painter.save();
    if (QWidget* wnd = GetWnd()) {
        painter.setFont(wnd->font());
        painter.setPen(wnd->palette().color(QPalette::WindowText));
    }
    QString shown = text;
    if (format & DT_END_ELLIPSIS) shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect, QtTextFlags(format), shown);
    painter.restore();
}

QRect CPropPageFrame::CalcCaptionArea() {
    if (!showCaption_) return QRect();
    QRect area = ClientRect();
    area.setHeight(captionHeight_);
    return area;
}

}  // namespace TreePropSheet
