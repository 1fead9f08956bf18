// Columns: inserting and deleting them with their cells, header items, widths, header
// tracking and the auto-edit settings.
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cstring>

#include "controls/treelist/treelist_editor.h"
#include "controls/treelist/treelist_header.h"
#include "controls/treelist/treelist_window.h"
#include "controls/treelist/value_list.h"

namespace {

constexpr unsigned kMaxColumns = 32;

void AdjustColumnIndex(unsigned& column, unsigned position, int by) {
    if (column >= position) column = static_cast<unsigned>(static_cast<int>(column) + by);
}

}  // namespace

int TreeListWindow::ColumnLeft(unsigned column) const { return ColumnCount() == 0 ? 0 : columns_.Left(column); }

int TreeListWindow::ColumnRight(unsigned column) const {
    if (ColumnCount() == 0) return std::max(clientWidth_, widestRight_);
    return columns_.Right(column);
}

void TreeListWindow::ShowHeader() {
    if (ColumnCount() == 0) {
        header_.reset();
        headerHeight_ = 0;
    } else {
        if (!header_) {
            header_ = std::make_unique<TreeListHeader>(*this);
            header_->SetImages(normalImages_.list);
        }
        if (exStyle_ & TVS_EX_HIDEHEADERS) {
            headerHeight_ = 0;
            header_->hide();
        } else {
            // As high as a horizontal scroll bar, but never too low for its titles.
            const int barHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
            headerHeight_ = std::max(barHeight, textHeight_ + 4);
            header_->setGeometry(0, 0, std::max(clientWidth_, 0), headerHeight_);
            header_->show();
        }
    }
    UpdatePageRows();
    UpdateScrollBars();
    InvalidateAll();
}

void TreeListWindow::ColumnsChanged() {
    if (header_) {
        header_->setGeometry(0, 0, std::max(clientWidth_, 0), headerHeight_);
        header_->update();
    }
    SetHScroll(hscroll_);
    UpdateScrollBars();
    InvalidateAll();
}

int TreeListWindow::InsertColumn(unsigned position, const TV_COLUMN& record) {
    if (ColumnCount() >= kMaxColumns) return -1;
    TreeColumn column;
    if (record.mask & TVCF_FMT) {
        column.format = record.fmt;
        column.align = record.fmt & 3;
        if (column.align == 3) column.align = 0;
    }
    if ((record.mask & TVCF_TEXT) && record.pszText) column.title = record.pszText;
    if (record.mask & TVCF_IMAGE) {
        column.image = record.iImage;
        column.hasImage = true;
    }
    if (record.mask & TVCF_VWIDTH) {
        column.share = std::clamp(record.cx, 1, 255);
    } else if (record.mask & TVCF_WIDTH) {
        column.share = 0;
        column.requested = std::max(record.cx, 0);
    } else {
        column.share = 1;
    }
    if (record.mask & TVCF_MIN) {
        column.minWidth = record.iOrder < 0 ? -record.iOrder : record.iOrder;
        column.minMark = record.iOrder >= 0;
    }
    if ((record.mask & TVCF_MARK) && (record.fmt & TVCFMT_MARK)) column.marked = true;
    const bool wasEmpty = ColumnCount() == 0;
    const bool marked = column.marked;

    const unsigned index = columns_.Insert(position, std::move(column));
    if (marked) ++markedColumns_;

    // Cells of the columns from the new one on move up one place.
    const unsigned cellIndex = index > 0 ? index - 1 : 0;
    for (ItemIndex h = items_.FirstRoot(); h; h = items_.NextDepthFirst(h)) {
        TreeItem* item = items_.Get(h);
        if (!wasEmpty && item->cells.size() > cellIndex)
            item->cells.insert(item->cells.begin() + cellIndex, TreeCell{});
    }
    if (!wasEmpty) {
        AdjustColumnIndex(caretColumn_, index, +1);
        AdjustColumnIndex(focusColumn_, index, +1);
        AdjustColumnIndex(dropColumn_, index, +1);
        AdjustColumnIndex(editColumn_, index, +1);
    }
    if (TreeItem* mark = items_.Get(insertMark_); mark && index > 0) {
        TreeCell* cell = EnsureCell(*mark, index);
        cell->hasBkColor = true;
        cell->bkColor = colors_.Get(TVC_INSERT);
    }
    if (wasEmpty) {
        ShowHeader();
        UpdateItemHeight();
    }
    ColumnsChanged();
    return static_cast<int>(index);
}

bool TreeListWindow::DeleteColumn(unsigned column) {
    if (column >= ColumnCount()) return false;
    if (column != 0) {
        if (caretColumn_ == column && caret_) SelectItem(caret_, 0, TVC_UNKNOWN);
        if (caretColumn_ == column) caretColumn_ = 0;
        if (editItem_ && editColumn_ == column) EndEdit(0);
        if (focusColumn_ == column) focusColumn_ = 0;
        if (dropColumn_ == column) SetDropHighlight(0, 0);
    } else if (editItem_ && editColumn_ == 0) {
        EndEdit(0);
    }
    if (column >= ColumnCount()) return false;  // changed while the parent was told
    if (columns_.At(column)->marked) --markedColumns_;

    const unsigned cellIndex = column > 0 ? column - 1 : 0;
    for (ItemIndex h = items_.FirstRoot(); h; h = items_.NextDepthFirst(h)) {
        TreeItem* item = items_.Get(h);
        if (item->cells.size() > cellIndex) item->cells.erase(item->cells.begin() + cellIndex);
    }
    columns_.Remove(column);
    AdjustColumnIndex(caretColumn_, column + 1, -1);
    AdjustColumnIndex(focusColumn_, column + 1, -1);
    AdjustColumnIndex(dropColumn_, column + 1, -1);
    AdjustColumnIndex(editColumn_, column + 1, -1);

    if (ColumnCount() == 0) {
        ShowHeader();
        UpdateItemHeight();
    }
    ColumnsChanged();
    return true;
}

bool TreeListWindow::SetColumnAutoEdit(WPARAM flags, LPARAM value) {
    const unsigned column = static_cast<unsigned>((flags >> 10) & 0x3F);
    TreeColumn* record = columns_.At(column);
    if (!record) return false;
    const unsigned kind = static_cast<unsigned>((flags >> 7) & 7);
    if (column == 0 && kind > 5) return false;

    const bool wasCheck = record->IsCheckKind();
    const unsigned oldOptions = record->options;
    if (kind == 0) {
        record->autoEditKind = 0;
        record->autoEditValue = 0;
        record->values.clear();
        record->columnValue = -1;
        record->options = record->listSize = record->separator = 0;
    } else {
        record->autoEditKind = kind;
        record->options = static_cast<unsigned>(flags & 0x7F);
        record->separator = static_cast<unsigned>((flags >> 16) & 0xFF);
        record->listSize = static_cast<unsigned>((flags >> 24) & 0xFF);
        record->autoEditValue = value;
        record->values = CopyValueList(value, (record->options & TVAE_PTRLIST) != 0,
                                       static_cast<WCHAR>(record->separator), record->listSize);
        record->columnValue = -1;
    }
    if (record->IsCheckKind() && !checkImages_.list) {
        checkImages_.owned = ImageList::MakeCheckBoxes();
        checkImages_.list = checkImages_.owned.get();
        UpdateItemHeight();
    }
    if (((oldOptions ^ record->options) & TVAE_STATEENABLE) || wasCheck != record->IsCheckKind()) InvalidateAll();
    return true;
}

bool TreeListWindow::GetColumn(unsigned column, TV_COLUMN& record) {
    const TreeColumn* c = columns_.At(column);
    if (!c) return false;
    if (record.mask & TVCF_FMT) record.fmt = c->format;
    if (record.mask & TVCF_WIDTH) record.cx = c->shown;
    if (record.mask & TVCF_IMAGE) record.iImage = c->image;
    if ((record.mask & TVCF_TEXT) && record.pszText && record.cchTextMax > 0) {
        std::size_t n = std::min(c->title.size(), static_cast<std::size_t>(record.cchTextMax) - 1);
        while (n > 0 && n < c->title.size() && (static_cast<unsigned char>(c->title[n]) & 0xC0) == 0x80) --n;
        std::memcpy(record.pszText, c->title.data(), n);
        record.pszText[n] = 0;
    }
    return true;
}

bool TreeListWindow::SetColumn(unsigned column, const TV_COLUMN& record) {
    TreeColumn* c = columns_.At(column);
    if (!c) return false;
    if (record.mask & TVCF_FMT) {
        c->format = record.fmt;
        c->align = record.fmt & 3;
        if (c->align == 3) c->align = 0;
    }
    if ((record.mask & TVCF_TEXT) && record.pszText) c->title = record.pszText;
    if (record.mask & TVCF_IMAGE) {
        c->image = record.iImage;
        c->hasImage = true;
    }
    if (record.mask & TVCF_MARK) {
        const bool marked = (record.fmt & TVCFMT_MARK) != 0;
        if (marked != c->marked) markedColumns_ += marked ? 1 : -1;
        c->marked = marked;
    }
    if (record.mask & TVCF_WIDTH) columns_.SetWidth(column, std::max(record.cx, 0));
    ColumnsChanged();
    return true;
}

LRESULT TreeListWindow::SetColumnWidth(unsigned column, int width) {
    if (column >= ColumnCount()) return 0;
    TrackColumn(column, width);
    return 1;
}

void TreeListWindow::TrackColumn(unsigned column, int width) {
    TreeColumn* c = columns_.At(column);
    if (!c) return;
    width = std::max(width, c->minWidth);
    if ((exStyle_ & TVS_EX_FIXEDCOLSIZE) && column + 1 < ColumnCount()) {
        if (column == 0) width = std::max(width, 1);
        TreeColumn& next = *columns_.At(column + 1);
        const int delta = width - c->shown;
        const int nextWidth = std::max({next.shown - delta, next.minWidth, 0});
        const int taken = next.shown - nextWidth;
        columns_.SetWidth(column + 1, nextWidth);
        width = c->shown + taken;
    }
    columns_.SetWidth(column, width);
    ColumnsChanged();
}

int TreeListWindow::OptimalWidth(unsigned column) {
    int best = 0;
    const auto rows = items_.Rows();  // a copy: callbacks may change the list
    if (column == 0) {
        const int stateWidth = stateImages_.list ? stateImages_.list->Width() : 0;
        const int iconWidth = normalImages_.list ? normalImages_.list->Width() : 0;
        for (ItemIndex h : rows) {
            TreeItem* item = items_.Get(h);
            if (!item) continue;
            if (item->textWidth == 0) {
                const int w = MeasureText(TextOf(h, 0).text, item->state & TVIS_BOLD);
                if (!(item = items_.Get(h))) continue;
                item->textWidth = w;
            }
            int width =
                (ShowsIcon(*item) ? iconWidth : 0) + 8 + static_cast<int>(item->level) * indent_ + item->textWidth;
            if (exStyle_ & TVS_EX_ITEMLINES) ++width;
            if (linesAtRoot_) width += indent_;
            width += stateWidth;
            best = std::max(best, width);
        }
        return best;
    }
    const ImageList* icons = CellIconList();
    for (ItemIndex h : rows) {
        TreeItem* item = items_.Get(h);
        if (!item || !item->Cell(column)) continue;
        const std::wstring text(TextOf(h, column).text);
        if (!(item = items_.Get(h)) || !item->Cell(column)) continue;
        TreeCell& cell = *item->Cell(column);
        if (cell.textWidth == 0) cell.textWidth = MeasureText(text, cell.state & TVIS_BOLD);
        const int iconWidth = icons && cell.image >= 0 ? icons->Width() : 0;
        best = std::max(best, iconWidth + 8 + cell.textWidth);
    }
    return std::max(best, 8);
}

LRESULT TreeListWindow::OnHeaderNotify(NMHDR& header) {
    auto& nm = reinterpret_cast<NMHEADER&>(header);
    const unsigned column = nm.iItem < 0 ? ColumnCount() : static_cast<unsigned>(nm.iItem);
    switch (header.code) {
    case HDN_BEGINTRACKA:
        setFocus(Qt::MouseFocusReason);
        if (exStyle_ & TVS_EX_NOCOLUMNRESIZE) return 1;
        if ((exStyle_ & TVS_EX_FIXEDCOLSIZE) && column + 1 >= ColumnCount()) return 1;
        return 0;
    case HDN_DIVIDERDBLCLICKA:
        if (exStyle_ & TVS_EX_NOCOLUMNRESIZE || column >= ColumnCount()) return 0;
        TrackColumn(column, OptimalWidth(column));
        return 0;
    case HDN_TRACKA:
    case HDN_ENDTRACKA:
        if (column < ColumnCount() && nm.pitem && (nm.pitem->mask & HDI_WIDTH)) TrackColumn(column, nm.pitem->cxy);
        return 0;
    case HDN_ITEMCLICKA:
    case HDN_ITEMDBLCLICKA:
        setFocus(Qt::MouseFocusReason);
        return SendToParent(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    default: return 0;
    }
}
