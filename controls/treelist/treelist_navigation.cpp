// Finding neighbours (TVM_GETNEXTITEM), item rectangles and per-item colours.
#include <cstdint>

#include "controls/treelist/item_handles.h"
#include "controls/treelist/treelist_window.h"

HTREEITEM TreeListWindow::GetNextItem(UINT code, HTREEITEM from) {
    from = NormalizeHandle(from);
    const bool fromRoot = from == TVI_ROOT;
    const ItemIndex handle = IndexOfHandle(from);
    const TreeItem* item = items_.Get(handle);
    switch (code) {
    case TVGN_ROOT: return items_.FirstRoot();
    case TVGN_NEXT: return item ? item->nextSibling : 0;
    case TVGN_PREVIOUS: return item ? item->prevSibling : 0;
    case TVGN_PARENT: return item ? item->parent : 0;
    case TVGN_CHILD: return fromRoot ? items_.FirstRoot() : (item ? item->firstChild : 0);
    case TVGN_LASTCHILD: return fromRoot ? items_.LastRoot() : (item ? item->lastChild : 0);
    case TVGN_FIRSTVISIBLE: return items_.ItemOfRow(static_cast<std::size_t>(firstRow_));
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
        int row;
        if (fromRoot) {
            const int rootRow = items_.RowOf(items_.FirstRoot());
            if (code == TVGN_PREVIOUSVISIBLE || rootRow < firstRow_) return 0;
            row = rootRow;
        } else {
            if (!item) return 0;
            const int own = items_.RowOf(handle);
            if (own < 0) return 0;
            row = code == TVGN_NEXTVISIBLE ? own + 1 : own - 1;
        }
        if (row < firstRow_ || row >= firstRow_ + rowsPerPageUp_) return 0;
        return items_.ItemOfRow(static_cast<std::size_t>(row));
    }
    case TVGN_DROPHILITE: return dropItem_;
    case TVGN_CARET: return caret_;
    case TVGN_LASTVISIBLE: {
        const auto& rows = items_.Rows();
        return rows.empty() ? 0 : rows.back();
    }
    case TVGN_DROPHILITECOLUMN: return dropColumn_;
    case TVGN_CARETCOLUMN: return caretColumn_;
    case TVGN_NEXTSELECTED:
        if (fromRoot) return NextSelected(0, false);
        return item ? NextSelected(handle, false) : 0;
    case TVGN_FOCUS: return focusItem_ ? focusItem_ : caret_;
    case TVGN_FOCUSCOLUMN: return focusItem_ ? focusColumn_ : caretColumn_;
    case TVGN_NEXTSELECTEDCHILD:
        if (fromRoot) return NextSelected(0, false);
        return item ? NextSelected(handle, true) : 0;
    default: return 0;
    }
}

ItemIndex TreeListWindow::NextSelected(ItemIndex from, bool withinSubtree) {
    if (selectedCount_ == 0) return 0;
    ItemIndex handle;
    if (from == 0) {
        handle = items_.FirstRoot();
        if (!handle) return 0;
        if (items_.Get(handle)->state & TVIS_SELECTED) return handle;
    } else {
        handle = from;
    }
    const ItemIndex within = withinSubtree ? from : 0;
    while ((handle = items_.NextDepthFirst(handle, within)) != 0)
        if (items_.Get(handle)->state & TVIS_SELECTED) return handle;
    return 0;
}

LRESULT TreeListWindow::GetItemRect(WPARAM mode, RECT* rect) {
    if (!rect) return 0;
    const ItemIndex handle = IndexOfHandle(static_cast<HTREEITEM>(static_cast<std::uint32_t>(rect->left)));
    *rect = RECT{};
    if (!items_.Get(handle)) return 0;
    const int row = items_.RowOf(handle);
    if (row < firstRow_ || row >= firstRow_ + rowsPerPageUp_) return 0;

    const LONG top = headerHeight_ + (row - firstRow_) * itemHeight_;
    const bool textOnly = (mode & TVIR_TEXT) != 0;
    const UINT low = static_cast<UINT>(mode & 0xFF);
    RECT result{0, top, clientWidth_, top + itemHeight_};
    if (low == TVIR_GETCOLUMN || low == (TVIR_GETCOLUMN | TVIR_TEXT)) {
        const unsigned column = static_cast<unsigned>((mode >> 24) & 0xFF);
        if (column > 0 && column >= ColumnCount()) return 0;
        result.left = ColumnLeft(column) - hscroll_;
        result.right = ColumnRight(column) - hscroll_;
        if (textOnly && column == 0) result.left += TextStartInColumn0(*items_.Get(handle));
        *rect = result;
        return 1;
    }
    if (textOnly) {
        TreeItem& item = *items_.Get(handle);
        const int start = ColumnLeft(0) - hscroll_ + TextStartInColumn0(item);
        if (item.textWidth == 0) item.textWidth = MeasureText(TextOf(handle, 0).text, item.state & TVIS_BOLD);
        if (TreeItem* again = items_.Get(handle)) {
            result.left = start;
            result.right = start + again->textWidth + 4;
        }
    }
    *rect = result;
    return 1;
}

LRESULT TreeListWindow::GetItemColor(ItemIndex handle, unsigned column, bool background) {
    const TreeItem* item = items_.Get(handle);
    if (!item) return -1;
    if (column == 0) {
        if (background) return item->hasBkColor ? static_cast<LRESULT>(item->bkColor) : -1;
        return item->hasTextColor ? static_cast<LRESULT>(item->textColor) : -1;
    }
    const TreeCell* cell = item->Cell(column);
    if (!cell) return -1;
    if (background) return cell->hasBkColor ? static_cast<LRESULT>(cell->bkColor) : -1;
    return cell->hasTextColor ? static_cast<LRESULT>(cell->textColor) : -1;
}

LRESULT TreeListWindow::SetItemColor(WPARAM itemAndColumn, COLORREF color, bool background) {
    const ItemIndex handle = static_cast<ItemIndex>(itemAndColumn & 0xFFFFFF);
    const unsigned column = static_cast<unsigned>((itemAndColumn >> 24) & 0xFF);
    TreeItem* item = items_.Get(handle);
    if (!item || (column > 0 && column >= ColumnCount())) return -1;
    bool* has;
    COLORREF* value;
    if (column == 0) {
        has = background ? &item->hasBkColor : &item->hasTextColor;
        value = background ? &item->bkColor : &item->textColor;
    } else {
        TreeCell* cell = EnsureCell(*item, column);
        has = background ? &cell->hasBkColor : &cell->hasTextColor;
        value = background ? &cell->bkColor : &cell->textColor;
    }
    const LRESULT previous = *has ? static_cast<LRESULT>(*value) : -1;
    const bool set = color != CLR_NONE;
    const bool changed = set != *has || (set && (color & 0xFFFFFF) != *value);
    *has = set;
    if (set) *value = color & 0xFFFFFF;
    if (changed) InvalidateItem(handle);
    return previous;
}
