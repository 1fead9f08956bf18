// The hover tooltip: the parent's text (TLN_ITEMTOOLTIP) or the full text of a cut item.
#include <QCursor>
#include <QToolTip>
#include <algorithm>

#include "controls/treelist/treelist_window.h"

namespace {

constexpr std::size_t kMaxTipLength = 4096;

}  // namespace

void TreeListWindow::TrackTooltip(const Hit& hit, POINT point) {
    if (!tooltipsOn_) return;
    const bool onCell = (hit.flags & TVHT_SUBMASK) != 0;
    const bool onText = hit.item && (onCell ? (hit.flags & TVHT_ONSUBLABEL) != 0 : (hit.flags & TVHT_ONITEMLABEL) != 0);
    const unsigned column = onCell ? TVHT_COLUMNOF(hit.flags) : 0;
    if (!onText) {
        if (hoverItem_) HideTooltip();
        return;
    }
    if (hit.item == hoverItem_ && column == hoverColumn_) return;
    HideTooltip();
    hoverItem_ = hit.item;
    hoverColumn_ = column;
    hoverPoint_ = point;

    TreeItem* item = items_.Get(hit.item);
    const bool bold =
        column == 0 ? (item->state & TVIS_BOLD) != 0 : (item->Cell(column) && (item->Cell(column)->state & TVIS_BOLD));
    const std::wstring text(TextOf(hit.item, column).text);
    if (!(item = items_.Get(hit.item))) {
        HideTooltip();
        return;
    }

    if (exStyle_ & TVS_EX_TOOLTIPNOTIFY) {
        NMTREEVIEW nm;
        FillItemRecord(nm.itemNew, hit.item, column, TVIF_TEXT);
        nm.itemNew.pszText = const_cast<WCHAR*>(text.c_str());
        nm.itemNew.cchTextMax = static_cast<int>(text.size() + 1);
        nm.ptDrag = point;
        const LRESULT answer = Notify(nm.hdr, TLN_ITEMTOOLTIP);
        if (!items_.Get(hit.item)) {
            HideTooltip();
            return;
        }
        if (answer != 0 && nm.itemNew.pszText && nm.itemNew.pszText != LPSTR_TEXTCALLBACKW) {
            std::size_t length = 0;
            while (length < kMaxTipLength && nm.itemNew.pszText[length]) ++length;
            tipText_.assign(nm.itemNew.pszText, length);
            const LPARAM delay = nm.itemOld.lParam;
            if ((nm.itemNew.mask & TVIF_TOOLTIPTIME) && delay > 0) {
                hoverCountdown_ = static_cast<int>(std::min<LPARAM>((delay + 499) / 500, 1000));
                tooltipDelayTimer_.start();
                return;
            }
            ShowTooltip(tipText_, point, bold);
            return;
        }
    }

    // Without the parent: the full text, only when it does not fit where it is drawn.
    int textLeft;
    int visibleRight;
    int width;
    if (column == 0) {
        textLeft = ColumnLeft(0) - hscroll_ + TextStartInColumn0(*item) + 2;
        visibleRight = ColumnCount() ? ColumnRight(0) - hscroll_ : clientWidth_;
        if (item->textWidth == 0) item->textWidth = MeasureText(text, bold);
        width = item->textWidth;
    } else {
        const TreeCell* cell = item->Cell(column);
        width = cell ? cell->textWidth : 0;
        textLeft = ColumnLeft(column) - hscroll_ + 4;
        visibleRight = ColumnRight(column) - hscroll_;
    }
    visibleRight = std::min(visibleRight, clientWidth_);
    if (textLeft + width + 4 < visibleRight) return;
    tipText_ = text;
    const int row = items_.RowOf(hit.item);
    const int top = headerHeight_ + (row - firstRow_) * itemHeight_;
    ShowTooltip(tipText_, POINT{textLeft, top}, bold);
}

void TreeListWindow::ShowTooltip(const std::wstring& text, POINT at, bool bold) {
    tipShown_ = true;
    tooltipTimer_.start();
    if (!viewport()->isVisible()) return;
    const QString escaped = QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
    const QString html = bold ? QStringLiteral("<p style='white-space:pre'><b>%1</b></p>").arg(escaped)
                              : QStringLiteral("<p style='white-space:pre'>%1</p>").arg(escaped);
    QToolTip::showText(viewport()->mapToGlobal(QPoint(at.x, at.y)), html, viewport());
}

void TreeListWindow::HideTooltip() {
    if (tipShown_ && viewport()->isVisible()) QToolTip::hideText();
    tipShown_ = false;
    tipText_.clear();
    hoverItem_ = 0;
    hoverColumn_ = 0;
    hoverCountdown_ = 0;
    tooltipTimer_.stop();
    tooltipDelayTimer_.stop();
}

void TreeListWindow::OnTooltipDelayTick() {
    if (!hoverItem_ || --hoverCountdown_ > 0) return;
    tooltipDelayTimer_.stop();
    const TreeItem* item = items_.Get(hoverItem_);
    if (!item) {
        HideTooltip();
        return;
    }
    ShowTooltip(tipText_, hoverPoint_, (item->state & TVIS_BOLD) != 0);
}

void TreeListWindow::OnTooltipTimer() {
    if (!hoverItem_) {
        tooltipTimer_.stop();
        return;
    }
    // Keep the tip while the mouse stays over the same text.
    const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
    const Hit hit = HitTest(POINT{mouse.x(), mouse.y()});
    const bool onCell = (hit.flags & TVHT_SUBMASK) != 0;
    const unsigned column = onCell ? TVHT_COLUMNOF(hit.flags) : 0;
    const bool onText = onCell ? (hit.flags & TVHT_ONSUBLABEL) != 0 : (hit.flags & TVHT_ONITEMLABEL) != 0;
    if (hit.item != hoverItem_ || column != hoverColumn_ || !onText) HideTooltip();
}
