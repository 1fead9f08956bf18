// Client size, rows per page, scrolling and the scroll bars.
#include <QScrollBar>
#include <algorithm>

#include "controls/treelist/treelist_editor.h"
#include "controls/treelist/treelist_header.h"
#include "controls/treelist/treelist_window.h"

void TreeListWindow::OnSize(int width, int height) {
    if (width != clientWidth_) {
        columns_.SetClientWidth(width);
        clientWidth_ = width;
        if (header_) header_->setGeometry(0, 0, std::max(width, 0), headerHeight_);
    }
    clientHeight_ = height;
    UpdatePageRows();
    SetHScroll(hscroll_);
    UpdateScrollBars();
    InvalidateAll();
}

void TreeListWindow::UpdatePageRows() {
    const int available = std::max(clientHeight_ - headerHeight_, 0);
    const int height = std::max(itemHeight_, 1);
    rowsPerPageDown_ = available / height;
    rowsPerPageUp_ = (available + height - 1) / height;
}

int TreeListWindow::MaxFirstRow() {
    const int rows = static_cast<int>(items_.RowCount());
    return std::max(rows - std::max(rowsPerPageDown_, 1), 0);
}

int TreeListWindow::ContentWidth() const { return ColumnCount() > 0 ? columns_.TotalWidth() : widestRight_; }

int TreeListWindow::MaxHScroll() const {
    const int half = std::max(clientWidth_, 0) / 2;
    return std::max(ContentWidth() - half - half, 0);
}

void TreeListWindow::SetFirstRow(int row) {
    row = std::clamp(row, 0, MaxFirstRow());
    if (row == firstRow_) return;
    firstRow_ = row;
    HideTooltip();
    UpdateScrollBars();
    InvalidateAll();
}

void TreeListWindow::SetHScroll(int position) {
    position = std::clamp(position, 0, MaxHScroll());
    if (position == hscroll_) return;
    hscroll_ = position;
    if (header_) header_->update();
    UpdateScrollBars();
    InvalidateAll();
}

void TreeListWindow::VScroll(UINT code, int position) {
    if (editItem_) return;
    const int page = std::max(rowsPerPageDown_ - 1, 1);
    switch (code) {
    case SB_LINEUP: SetFirstRow(firstRow_ - 1); break;
    case SB_LINEDOWN: SetFirstRow(firstRow_ + 1); break;
    case SB_PAGEUP: SetFirstRow(firstRow_ - page); break;
    case SB_PAGEDOWN: SetFirstRow(firstRow_ + page); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: SetFirstRow(position); break;
    case SB_TOP: SetFirstRow(0); break;
    case SB_BOTTOM: SetFirstRow(MaxFirstRow()); break;
    default: break;
    }
}

void TreeListWindow::HScroll(UINT code, int position) {
    if (editItem_) return;
    switch (code) {
    case SB_LINELEFT: SetHScroll(hscroll_ - 16); break;
    case SB_LINERIGHT: SetHScroll(hscroll_ + 16); break;
    case SB_PAGELEFT: SetHScroll(hscroll_ - clientWidth_); break;
    case SB_PAGERIGHT: SetHScroll(hscroll_ + clientWidth_); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: SetHScroll(position); break;
    case SB_TOP: SetHScroll(0); break;
    case SB_BOTTOM: SetHScroll(MaxHScroll()); break;
    default: break;
    }
}

void TreeListWindow::OnWheel(WPARAM wParam) {
    if (GET_KEYSTATE_WPARAM(wParam) & (MK_CONTROL | MK_SHIFT | MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) return;
    if (editItem_ || (style_ & TVS_NOSCROLL)) return;
    const int rows = GET_WHEEL_DELTA_WPARAM(wParam) / 60;
    SetFirstRow(firstRow_ - rows);
}

void TreeListWindow::UpdateScrollBars(bool force) {
    if (force) lastVMax_ = lastVPage_ = lastHMax_ = lastHPage_ = -1;
    const int rows = static_cast<int>(items_.RowCount());
    const bool noScroll = (style_ & TVS_NOSCROLL) != 0;
    const int page = std::max(rowsPerPageDown_, 1);
    const int vMax = noScroll ? 0 : std::max(rows - page, 0);
    const int hMax = (noScroll || (exStyle_ & TVS_EX_NOHSCROLL)) ? 0 : std::max(ContentWidth() - clientWidth_, 0);
    const int hPage = std::max(clientWidth_, 1);

    // A range that shrank below the position sends the view back to the start.
    if (firstRow_ > std::max(rows - page, 0)) firstRow_ = 0;
    if (hscroll_ > MaxHScroll()) hscroll_ = 0;

    settingScrollBars_ = true;
    if (vMax != lastVMax_ || page != lastVPage_) {
        verticalScrollBar()->setRange(0, vMax);
        verticalScrollBar()->setPageStep(page);
        verticalScrollBar()->setSingleStep(1);
        lastVMax_ = vMax;
        lastVPage_ = page;
    }
    if (hMax != lastHMax_ || hPage != lastHPage_) {
        horizontalScrollBar()->setRange(0, hMax);
        horizontalScrollBar()->setPageStep(hPage);
        horizontalScrollBar()->setSingleStep(16);
        lastHMax_ = hMax;
        lastHPage_ = hPage;
    }
    if (verticalScrollBar()->value() != firstRow_) verticalScrollBar()->setValue(firstRow_);
    if (horizontalScrollBar()->value() != hscroll_) horizontalScrollBar()->setValue(hscroll_);
    settingScrollBars_ = false;
}
