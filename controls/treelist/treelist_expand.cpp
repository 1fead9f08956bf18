// Expanding and collapsing, and bringing an item into view.
#include <algorithm>
#include <vector>

#include "controls/treelist/treelist_window.h"

bool TreeListWindow::Expand(ItemIndex handle, UINT action) {
    TreeItem* item = items_.Get(handle);
    if (!item) return false;
    const bool expanded = (item->state & TVIS_EXPANDED) != 0;
    const bool partial = (item->state & TVIS_EXPANDPARTIAL) != 0;
    switch (action & 0xF) {
    case TVE_COLLAPSE: {
        bool done = true;
        if (expanded)
            done = ToggleExpand(handle, false, TVE_COLLAPSE);
        else
            item->state &= ~TVIS_EXPANDPARTIAL;
        if (done && (action & TVE_COLLAPSERESET)) {
            while (TreeItem* again = items_.Get(handle)) {
                const ItemIndex child = again->lastChild;
                if (!child || !DeleteItem(child, false) || items_.Get(child)) break;
            }
            InvalidateAll();
        }
        return done;
    }
    case TVE_EXPAND: {
        const bool wantPartial = (action & TVE_EXPANDPARTIAL) != 0;
        if (!expanded && !ToggleExpand(handle, true, TVE_EXPAND)) return false;
        if (TreeItem* again = items_.Get(handle)) {
            if (wantPartial)
                again->state |= TVIS_EXPANDPARTIAL;
            else if (expanded)
                again->state &= ~TVIS_EXPANDPARTIAL;
            InvalidateItem(handle);
        }
        return true;
    }
    case TVE_TOGGLE:
        if (expanded && partial) {
            item->state &= ~TVIS_EXPANDPARTIAL;
            InvalidateItem(handle);
            return true;
        }
        return ToggleExpand(handle, !expanded, expanded ? TVE_COLLAPSE : TVE_EXPAND);
    default: return false;
    }
}

bool TreeListWindow::ToggleExpand(ItemIndex handle, bool expand, UINT action) {
    if (NotifyItem(TVN_ITEMEXPANDINGA, action, 0, 0, handle, 0) != 0) return false;
    TreeItem* item = items_.Get(handle);
    if (!item) return false;
    if (expand)
        item->state |= TVIS_EXPANDED;
    else
        item->state &= ~TVIS_EXPANDED;
    item->state &= ~TVIS_EXPANDPARTIAL;
    if (items_.IsShown(handle)) {
        items_.InvalidateRows();
        InvalidateAll();
    }
    NotifyItem(TVN_ITEMEXPANDEDA, action, 0, 0, handle, 0);

    // A caret that the collapse hid moves to its nearest shown ancestor.
    if (caret_ && items_.Get(caret_) && !items_.IsShown(caret_)) {
        ItemIndex ancestor = items_.Get(caret_)->parent;
        while (ancestor && !items_.IsShown(ancestor)) ancestor = items_.Get(ancestor)->parent;
        if (ancestor) SelectItem(ancestor, caretColumn_, TVC_UNKNOWN);
    }
    return true;
}

LRESULT TreeListWindow::EnsureVisible(ItemIndex handle, unsigned column) {
    if (!items_.Get(handle)) return 0;
    const bool wasShown = items_.IsShown(handle);
    if (!wasShown) {
        std::vector<ItemIndex> collapsed;
        for (ItemIndex a = items_.Get(handle)->parent; a; a = items_.Get(a)->parent)
            if (!(items_.Get(a)->state & TVIS_EXPANDED)) collapsed.push_back(a);
        for (auto it = collapsed.rbegin(); it != collapsed.rend(); ++it) {
            if (!items_.Get(*it)) return 0;
            if (!Expand(*it, TVE_EXPAND)) return 0;
        }
        if (!items_.Get(handle)) return 0;
    }
    const int row = items_.RowOf(handle);
    if (row >= 0) {
        const int whole = std::max(rowsPerPageDown_, 1);
        if (row < firstRow_)
            SetFirstRow(row);
        else if (row >= firstRow_ + whole)
            SetFirstRow(row - whole + 1);
    }
    if (column < ColumnCount()) {
        const int left = ColumnLeft(column);
        const int right = ColumnRight(column);
        if (left < hscroll_)
            SetHScroll(left);
        else if (right > hscroll_ + clientWidth_)
            SetHScroll(std::min(left, right - clientWidth_));
    }
    return wasShown ? 1 : 0;
}

bool TreeListWindow::ScrollToFirst(ItemIndex handle) {
    if (!items_.Get(handle)) return false;
    if (!items_.IsShown(handle)) {
        std::vector<ItemIndex> collapsed;
        for (ItemIndex a = items_.Get(handle)->parent; a; a = items_.Get(a)->parent)
            if (!(items_.Get(a)->state & TVIS_EXPANDED)) collapsed.push_back(a);
        for (auto it = collapsed.rbegin(); it != collapsed.rend(); ++it)
            if (!items_.Get(*it) || !Expand(*it, TVE_EXPAND)) return false;
    }
    const int row = items_.RowOf(handle);
    if (row < 0) return false;
    SetFirstRow(row);
    return true;
}
