// The caret, multiple selection, the drop highlight and the insert mark.
#include <algorithm>
#include <vector>

#include "controls/treelist/treelist_window.h"

LRESULT TreeListWindow::SelectItem(ItemIndex handle, unsigned column, UINT flags) {
    if (handle && !items_.Get(handle)) return 0;
    if (column > 0 && column >= ColumnCount()) return 0;
    const bool multi = (exStyle_ & TVS_EX_MULTISELECT) != 0;
    if (handle == caret_ && column == caretColumn_ && !(multi && selectedCount_ >= 2)) return 1;
    const UINT action = flags & 3;

    if (multi && (flags & TVC_DESELECT))
        DeselectAllBut(handle, action);
    else
        InvalidateItem(caret_);

    if (NotifyItem(TVN_SELCHANGINGA, action, caret_, caretColumn_, handle, column) != 0) return 0;
    if (handle && !items_.Get(handle)) return 0;

    const ItemIndex oldCaret = items_.Get(caret_) ? caret_ : 0;
    const unsigned oldColumn = caretColumn_;
    if (oldCaret && oldCaret != handle) {
        TreeItem& old = *items_.Get(oldCaret);
        if (old.state & TVIS_SELECTED) {
            old.state &= ~TVIS_SELECTED;
            --selectedCount_;
        }
        InvalidateItem(oldCaret);
    }
    if (TreeItem* item = items_.Get(handle)) {
        if (!(item->state & TVIS_SELECTED)) {
            item->state |= TVIS_SELECTED;
            ++selectedCount_;
        }
    }
    caret_ = handle;
    caretColumn_ = handle ? column : 0;
    InvalidateItem(handle);

    NotifyItem(TVN_SELCHANGEDA, action, oldCaret, oldColumn, handle, column);

    LRESULT result = 1;
    if ((style_ & TVS_SINGLEEXPAND) && handle) {
        SingleExpand(oldCaret, handle);
        result = 2;
    }
    if ((style_ & TVS_SHOWSELALWAYS) && caret_) EnsureVisible(caret_, caretColumn_);
    return result;
}

bool TreeListWindow::SetSelected(ItemIndex handle, bool selected, UINT action) {
    TreeItem* item = items_.Get(handle);
    if (!item) return false;
    if (((item->state & TVIS_SELECTED) != 0) == selected) return true;

    NMTREEVIEW nm;
    nm.action = action;
    FillItemRecord(nm.itemOld, handle, 0, 0);
    FillItemRecord(nm.itemNew, handle, 0, 0);
    nm.itemNew.state = selected ? (nm.itemNew.state | TVIS_SELECTED) : (nm.itemNew.state & ~TVIS_SELECTED);
    if (Notify(nm.hdr, TVN_SELCHANGINGA) != 0) return false;

    item = items_.Get(handle);
    if (!item) return false;
    if (((item->state & TVIS_SELECTED) != 0) != selected) {
        item->state ^= TVIS_SELECTED;
        if (selected)
            ++selectedCount_;
        else
            --selectedCount_;
        InvalidateItem(handle);
    }
    FillItemRecord(nm.itemNew, handle, 0, 0);
    Notify(nm.hdr, TVN_SELCHANGEDA);
    return true;
}

void TreeListWindow::DeselectAllBut(ItemIndex keep, UINT action) {
    if (selectedCount_ == 0) return;
    const TreeItem* kept = items_.Get(keep);
    if (selectedCount_ == 1 && kept && (kept->state & TVIS_SELECTED)) return;
    std::vector<ItemIndex> selected;
    for (ItemIndex h = items_.Capacity(); h-- > 1;) {
        const TreeItem* item = items_.Get(h);
        if (item && h != keep && (item->state & TVIS_SELECTED)) selected.push_back(h);
    }
    for (ItemIndex h : selected) SetSelected(h, false, action);
}

void TreeListWindow::SelectRange(ItemIndex from, ItemIndex to, UINT action, bool clearOthers) {
    int first = items_.RowOf(from);
    int last = items_.RowOf(to);
    if (last < 0) return;
    if (first < 0) first = last;
    if (first > last) std::swap(first, last);

    // Rows of the range and the hidden descendants of collapsed items among them.
    std::vector<ItemIndex> range;
    std::vector<bool> inRange(items_.Capacity(), false);
    for (int row = first; row <= last; ++row) {
        const ItemIndex h = items_.ItemOfRow(static_cast<std::size_t>(row));
        range.push_back(h);
        inRange[h] = true;
        const TreeItem* item = items_.Get(h);
        if (item->firstChild && !(item->state & TVIS_EXPANDED)) {
            for (ItemIndex d = items_.NextDepthFirst(h, h); d; d = items_.NextDepthFirst(d, h)) {
                range.push_back(d);
                inRange[d] = true;
            }
        }
    }
    if (clearOthers) {
        std::vector<ItemIndex> outside;
        for (ItemIndex h = items_.Capacity(); h-- > 1;) {
            const TreeItem* item = items_.Get(h);
            if (item && (item->state & TVIS_SELECTED) && (h >= inRange.size() || !inRange[h])) outside.push_back(h);
        }
        for (ItemIndex h : outside) SetSelected(h, false, action);
    }
    for (ItemIndex h : range) SetSelected(h, true, action);
}

void TreeListWindow::ToggleWithHidden(ItemIndex handle, UINT action) {
    TreeItem* item = items_.Get(handle);
    if (!item) return;
    const bool select = !(item->state & TVIS_SELECTED);
    const bool collapsed = item->firstChild && !(item->state & TVIS_EXPANDED);
    if (!SetSelected(handle, select, action)) return;
    if (!collapsed) return;
    std::vector<ItemIndex> hidden;
    for (ItemIndex d = items_.NextDepthFirst(handle, handle); d; d = items_.NextDepthFirst(d, handle))
        hidden.push_back(d);
    for (ItemIndex d : hidden) SetSelected(d, select, action);
}

void TreeListWindow::ClearFocusMarks() {
    if (TreeItem* item = items_.Get(focusItem_)) {
        item->focusItem = false;
        InvalidateItem(focusItem_);
    }
    focusItem_ = 0;
    focusColumn_ = 0;
}

void TreeListWindow::SingleExpand(ItemIndex oldCaret, ItemIndex newCaret) {
    const LRESULT answer = NotifyItem(TVN_SINGLEEXPAND, TVC_UNKNOWN, oldCaret, 0, newCaret, 0);
    std::vector<ItemIndex> oldPath;
    std::vector<ItemIndex> newPath;
    for (ItemIndex h = oldCaret; items_.Get(h); h = items_.Get(h)->parent) oldPath.push_back(h);
    for (ItemIndex h = newCaret; items_.Get(h); h = items_.Get(h)->parent) newPath.push_back(h);
    if (!(answer & TVNRET_SKIPOLD)) {
        for (ItemIndex h : oldPath) {
            if (std::find(newPath.begin(), newPath.end(), h) != newPath.end()) continue;
            const TreeItem* item = items_.Get(h);
            if (item && (item->state & TVIS_EXPANDED)) Expand(h, TVE_COLLAPSE);
        }
    }
    if (!(answer & TVNRET_SKIPNEW)) {
        for (auto it = newPath.rbegin(); it != newPath.rend(); ++it) {
            const TreeItem* item = items_.Get(*it);
            if (item && !(item->state & TVIS_EXPANDED) && (item->firstChild || item->hasChildren))
                Expand(*it, TVE_EXPAND);
        }
    }
}

void TreeListWindow::SetDropHighlight(ItemIndex handle, unsigned column) {
    if (TreeItem* old = items_.Get(dropItem_)) {
        if (dropColumn_ == 0)
            old->dropHighlighted = false;
        else if (TreeCell* cell = old->Cell(dropColumn_))
            cell->dropHighlighted = false;
        InvalidateItem(dropItem_);
    }
    dropItem_ = 0;
    dropColumn_ = 0;
    TreeItem* item = items_.Get(handle);
    if (!item) return;
    if (column == 0)
        item->dropHighlighted = true;
    else
        EnsureCell(*item, column)->dropHighlighted = true;
    dropItem_ = handle;
    dropColumn_ = column;
    InvalidateItem(handle);
}

ItemIndex TreeListWindow::SetInsertMark(ItemIndex handle, bool after) {
    if (insertMark_) {
        const ItemIndex old = insertMark_;
        insertMark_ = 0;
        DeleteItem(old, true);
    }
    const TreeItem* item = items_.Get(handle);
    if (!item) return 0;
    TVINSERTSTRUCTW insert;
    insert.hParent = item->parent ? item->parent : TVI_ROOT;
    insert.hInsertAfter = after ? handle : (item->prevSibling ? item->prevSibling : TVI_FIRST);
    insert.item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.iImage = insert.item.iSelectedImage = I_IMAGENONE;
    const ItemIndex mark = static_cast<ItemIndex>(InsertItem(insert));
    TreeItem* created = items_.Get(mark);
    if (!created) return 0;
    const COLORREF color = colors_.Get(TVC_INSERT);
    created->hasBkColor = true;
    created->bkColor = color;
    for (unsigned column = 1; column < ColumnCount(); ++column) {
        TreeCell* cell = EnsureCell(*created, column);
        cell->hasBkColor = true;
        cell->bkColor = color;
    }
    insertMark_ = mark;
    InvalidateAll();
    return mark;
}
