// Mouse presses, moves and releases: expanding, check boxes, selection, drag start, hot
// tracking and the start of in-place edits.
#include <QApplication>
#include <cstdlib>

#include "controls/treelist/treelist_ids.h"
#include "controls/treelist/treelist_window.h"

void TreeListWindow::FlipCheckBox(ItemIndex handle, unsigned column) {
    TreeItem* item = items_.Get(handle);
    if (!item) return;
    const UINT state =
        column == 0 ? item->state : (item->Cell(column) ? item->Cell(column)->state : item->state & 0x11);
    TVITEMW record;
    record.mask = TVIF_STATE | (column > 0 ? TVIF_SUBITEM : 0);
    record.hItem = handle;
    record.cChildren = static_cast<int>(column);
    if (exStyle_ & TVS_EX_BITCHECKBOX) {
        record.stateMask = 0x1000;
        record.state = state ^ 0x1000;
    } else {
        const UINT image = (state >> 12) & 0xF;
        if (image != 1 && image != 2) return;
        record.stateMask = TVIS_STATEIMAGEMASK;
        record.state = INDEXTOSTATEIMAGEMASK(image == 1 ? 2 : 1);
    }
    SetItem(record);
}

void TreeListWindow::OnMouseButton(UINT message, WPARAM keys, POINT point) {
    if (!enabled_) return;
    if (!hasFocus_) {
        setFocus(Qt::MouseFocusReason);
        if (!hasFocus_) OnSetFocus();  // no window system: focus follows the click all the same
    }
    const bool left = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
    const bool doubleClick = message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
    const bool ctrl = (keys & MK_CONTROL) != 0;
    const bool shift = (keys & MK_SHIFT) != 0;
    const Hit hit = HitTest(point);
    const ItemIndex handle = hit.item;
    const bool onCell = (hit.flags & TVHT_SUBMASK) != 0;
    const unsigned hitColumn = onCell ? TVHT_COLUMNOF(hit.flags) : 0;

    auto notifyClick = [&] {
        UINT code = left ? (doubleClick ? NM_DBLCLK : NM_CLICK) : (doubleClick ? NM_RDBLCLK : NM_RCLICK);
        NotifyCode(code);
    };

    if (handle && (hit.flags & TVHT_ONITEMBUTTON) && left) {
        // A partly expanded item only loses that mark; anything else toggles.
        Expand(handle, TVE_TOGGLE);
        notifyClick();
        return;
    }
    if (handle && (hit.flags & TVHT_ONITEMSTATEICON) && (style_ & TVS_CHECKBOXES) && left) {
        FlipCheckBox(handle, 0);
        if (TreeItem* item = items_.Get(handle)) {
            NMTREEVIEW nm;
            FillItemRecord(nm.itemNew, handle, 0, TVIF_TEXT);
            nm.itemNew.pszText = const_cast<WCHAR*>(item->text.Data());
            nm.ptDrag = point;
            Notify(nm.hdr, TLN_CBSTATECHANGED);
        }
        notifyClick();
        return;
    }

    const bool fullRow = (style_ & TVS_FULLROWSELECT) != 0;
    const bool onItem = onCell ? ((hit.flags & (TVHT_ONSUBICON | TVHT_ONSUBLABEL)) || fullRow)
                               : ((hit.flags & TVHT_ONITEM) || (fullRow && (hit.flags & TVHT_ONITEMRIGHT)));
    if (handle && onItem) {
        const unsigned column = (exStyle_ & TVS_EX_SUBSELECT) ? hitColumn : 0;
        if (!(style_ & TVS_DISABLEDRAGDROP) && (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN)) {
            dragButton_ = message;
            dragItem_ = handle;
            dragColumn_ = column;
            dragPoint_ = point;
        }
        const bool multi = (exStyle_ & TVS_EX_MULTISELECT) != 0;
        const bool selected = (items_.Get(handle)->state & TVIS_SELECTED) != 0;
        bool handled = false;
        if (multi) {
            if (!left && selected && selectedCount_ >= 2) {
                handled = true;  // a right click keeps the selection it is on
            } else if (message == WM_LBUTTONDOWN && !shift && !ctrl && selected && selectedCount_ > 0) {
                pendingClick_ = true;
                pendingItem_ = handle;
                pendingColumn_ = column;
                handled = true;
            } else if (left && shift) {
                const ItemIndex anchor = items_.Get(focusItem_) ? focusItem_ : (items_.Get(anchor_) ? anchor_ : caret_);
                SelectRange(anchor ? anchor : handle, handle, TVC_BYMOUSE, !ctrl);
                if (items_.Get(handle)) {
                    InvalidateItem(caret_);
                    if (!items_.Get(anchor_)) anchor_ = anchor ? anchor : handle;
                    caret_ = handle;
                    caretColumn_ = column;
                    InvalidateItem(handle);
                }
                handled = true;
            } else if (left && ctrl) {
                ToggleWithHidden(handle, TVC_BYMOUSE);
                ClearFocusMarks();
                if (TreeItem* item = items_.Get(handle)) {
                    item->focusItem = true;
                    focusItem_ = handle;
                    focusColumn_ = column;
                    anchor_ = handle;
                    InvalidateItem(handle);
                }
                handled = true;
            }
        }
        if (!handled) {
            SelectItem(handle, column, TVC_BYMOUSE | (ctrl ? 0 : TVC_DESELECT));
            ClearFocusMarks();
            anchor_ = handle;
            if (caret_) EnsureVisible(caret_, caretColumn_);
        }

        const TreeColumn* record = columns_.At(onCell ? hitColumn : 0);
        const bool dblEdit = record && (record->options & TVAE_DBLCLICK);
        if (doubleClick && left && items_.Get(handle)) {
            if (!onCell) {
                if (dblEdit)
                    StartEdit(0, treelist::kKeyDoubleClick, point);
                else
                    Expand(handle, TVE_TOGGLE);
            } else if (dblEdit) {
                StartEdit(hitColumn, (hit.flags & TVHT_ONSUBICON) ? treelist::kKeyIconClick : treelist::kKeyDoubleClick,
                          point);
            }
        } else if (message == WM_LBUTTONDOWN && onCell && (hit.flags & TVHT_ONSUBICON) && record &&
                   (record->options & TVAE_ICONCLICK) && items_.Get(handle)) {
            StartEdit(hitColumn, treelist::kKeyIconClick, point);
        }
    }
    notifyClick();
}

void TreeListWindow::OnButtonUp() {
    if (pendingClick_) {
        pendingClick_ = false;
        if (items_.Get(pendingItem_)) {
            SelectItem(pendingItem_, pendingColumn_, TVC_BYMOUSE | TVC_DESELECT);
            ClearFocusMarks();
            anchor_ = pendingItem_;
            if (caret_) EnsureVisible(caret_, caretColumn_);
        }
        pendingItem_ = 0;
    }
    dragButton_ = 0;
    dragItem_ = 0;
}

void TreeListWindow::OnMouseMove(WPARAM keys, POINT point) {
    const Hit hit = HitTest(point);
    if (tooltipsOn_) TrackTooltip(hit, point);
    if (style_ & TVS_TRACKSELECT) {
        const bool onCell = (hit.flags & TVHT_SUBMASK) != 0;
        const bool onSomething = hit.item && (onCell || (hit.flags & TVHT_ONITEM));
        const unsigned column = onCell ? TVHT_COLUMNOF(hit.flags) : 0;
        if (!onSomething) {
            if (dropItem_) SetDropHighlight(0, 0);
        } else if (hit.item != dropItem_ || column != dropColumn_) {
            SetDropHighlight(hit.item, column);
        }
    }
    if (dragButton_ && items_.Get(dragItem_)) {
        const bool held = dragButton_ == WM_LBUTTONDOWN ? (keys & MK_LBUTTON) : (keys & MK_RBUTTON);
        const int distance = std::abs(point.x - dragPoint_.x) + std::abs(point.y - dragPoint_.y);
        if (!held) {
            dragButton_ = 0;
            dragItem_ = 0;
        } else if (distance >= QApplication::startDragDistance()) {
            const UINT code = dragButton_ == WM_LBUTTONDOWN ? TVN_BEGINDRAGA : TVN_BEGINRDRAGA;
            const ItemIndex item = dragItem_;
            const unsigned column = dragColumn_;
            dragButton_ = 0;
            dragItem_ = 0;
            pendingClick_ = false;
            NotifyItem(code, TVC_UNKNOWN, 0, 0, item, column, point);
        }
    }
}
