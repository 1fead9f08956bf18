// Inserting, setting, reading and deleting items and cells, and the values the parent
// supplies on request.
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>

#include "controls/treelist/item_handles.h"
#include "controls/treelist/treelist_window.h"

namespace {

// Bits a cell never keeps: selected, expanded, expanded once, partly expanded.
constexpr UINT kItemOnlyBits = 0xE2;

std::size_t BoundedLength(const WCHAR* text, std::size_t limit) {
    std::size_t n = 0;
    while (n < limit && text[n]) ++n;
    return n;
}

}  // namespace

// ---------------------------------------------------------------- insert

HTREEITEM TreeListWindow::InsertItem(const TVINSERTSTRUCTW& insert) {
    if (sorting_ || destroying_) return 0;
    const HTREEITEM parentHandle = NormalizeHandle(insert.hParent);
    HTREEITEM after = NormalizeHandle(insert.hInsertAfter);
    ItemIndex parent = 0;
    if (!IsRootHandle(parentHandle)) {
        parent = IndexOfHandle(parentHandle);
        if (!items_.Get(parent)) return 0;
    }
    if (after == TVI_ROOT) parent = 0;

    // Where the item goes decides its parent for the two "beside the parent" values.
    ItemIndex besideParent = 0;
    if ((after == TVI_AFTERPARENT || after == TVI_BEFOREPARENT) && parent) {
        besideParent = parent;
        parent = items_.Get(parent)->parent;
    }

    if (!items_.ReserveOne()) return 0;
    std::unique_ptr<TreeItem> created;
    try {
        created = std::make_unique<TreeItem>();
        if (userDataSize_ > 0) created->userData = std::make_unique<std::byte[]>(userDataSize_);
    } catch (const std::bad_alloc&) {
        return 0;
    }

    const TVITEMW& record = insert.item;
    TreeItem& item = *created;
    if (record.mask & TVIF_STATE)
        item.state = record.state & record.stateMask;
    else if (style_ & TVS_CHECKBOXES)
        item.state = INDEXTOSTATEIMAGEMASK(1);
    if (record.mask & TVIF_PARAM) item.lParam = record.lParam;
    if (record.mask & TVIF_IMAGE) {
        item.image = record.iImage;
        item.imageCallback = record.iImage == I_IMAGECALLBACK;
    }
    if (record.mask & TVIF_SELECTEDIMAGE) {
        item.selectedImage = record.iSelectedImage;
        item.selectedImageCallback = record.iSelectedImage == I_IMAGECALLBACK;
    }
    ApplyChildren(item, record.cChildren, (record.mask & TVIF_CHILDREN) != 0);
    if (style_ & TVS_SINGLEEXPAND) item.state &= ~TVIS_EXPANDED;
    item.state |= TVIS_EXPANDEDONCE;
    const bool wantsSelection = (item.state & TVIS_SELECTED) != 0;
    item.state &= ~TVIS_SELECTED;
    if (record.mask & TVIF_TEXT) {
        try {
            SetItemText(item, record.pszText);
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }
    if (const TreeItem* p = items_.Get(parent)) item.level = p->level + 1;

    const ItemIndex handle = items_.Add(std::move(created));
    if (!handle) return 0;

    // Link by the insert-after value.
    if (besideParent) {
        if (after == TVI_AFTERPARENT)
            items_.LinkAfter(besideParent, handle);
        else
            items_.LinkBefore(besideParent, handle);
    } else if (after == TVI_FIRST) {
        items_.LinkFirst(parent, handle);
    } else if (after == TVI_SORT || after == TVI_SORTEX) {
        const auto compare = after == TVI_SORTEX ? reinterpret_cast<PFNTLINSERTCOMPARE>(record.hItem) : nullptr;
        const ItemIndex before = SortedPosition(parent, handle, compare);
        if (!items_.Get(handle)) return 0;
        if (items_.Get(parent) == nullptr && parent != 0) parent = 0;  // the parent went meanwhile
        if (before && items_.Get(before) && items_.Get(before)->parent == parent)
            items_.LinkBefore(before, handle);
        else
            items_.LinkLast(parent, handle);
    } else if (after >= TVI_POSITION && after < TVI_ROOT) {
        std::uint32_t position = static_cast<std::uint32_t>(after - TVI_POSITION);
        ItemIndex sibling = items_.FirstChildOf(parent);
        if (position == 0 || !sibling) {
            items_.LinkFirst(parent, handle);
        } else {
            while (--position > 0 && items_.Get(sibling)->nextSibling) sibling = items_.Get(sibling)->nextSibling;
            items_.LinkAfter(sibling, handle);
        }
    } else {
        const ItemIndex sibling = IndexOfHandle(after);
        const TreeItem* s = sibling != handle ? items_.Get(sibling) : nullptr;
        if (s && s->parent == parent)
            items_.LinkAfter(sibling, handle);
        else
            items_.LinkLast(parent, handle);
    }

    if (TreeItem* p = items_.Get(parent); p && p->childrenAuto) p->hasChildren = true;
    if (items_.IsShown(handle)) InvalidateAll();
    if (wantsSelection) SelectItem(handle, 0, TVC_UNKNOWN);
    return handle;
}

void TreeListWindow::ApplyChildren(TreeItem& item, int children, bool given) {
    item.childrenCallback = false;
    item.childrenAuto = false;
    if (given && children == I_CHILDRENCALLBACK) {
        item.childrenCallback = true;
    } else if (given && (children == 0 || children == 1)) {
        item.hasChildren = children == 1;
    } else {
        item.childrenAuto = true;
        item.hasChildren = item.firstChild != 0;
    }
}

void TreeListWindow::SetItemText(TreeItem& item, const WCHAR* text) {
    item.textWidth = 0;
    if (text == LPSTR_TEXTCALLBACKW) {
        item.textCallback = true;
        item.text.Clear();
        return;
    }
    item.textCallback = false;
    item.text.Assign(text ? std::wstring_view(text) : std::wstring_view());
}

TreeCell* TreeListWindow::EnsureCell(TreeItem& item, unsigned column) {
    if (column == 0) return nullptr;
    if (item.cells.size() < column) {
        if (item.cells.capacity() < ColumnCount()) item.cells.reserve(std::max<std::size_t>(ColumnCount(), 1) - 1);
        item.cells.resize(column);
    }
    TreeCell& cell = item.cells[column - 1];
    if (!cell.exists) {
        cell.exists = true;
        cell.state = item.state & 0x11;
        cell.image = I_IMAGENONE;
    }
    return &cell;
}

// ---------------------------------------------------------------- set

LRESULT TreeListWindow::SetItem(const TVITEMW& record) {
    const ItemIndex handle = IndexOfHandle(record.hItem);
    TreeItem* item = items_.Get(handle);
    if (!item) return -1;
    const unsigned column = (record.mask & TVIF_SUBITEM) ? static_cast<unsigned>(std::max(record.cChildren, 0)) : 0;
    if (column > 0 && column >= ColumnCount()) return -1;

    if (record.mask & TVIF_PARAM) item->lParam = record.lParam;

    if (column > 0) {
        TreeCell* cell = EnsureCell(*item, column);
        bool repaint = false;
        if (record.mask & TVIF_IMAGE) {
            cell->imageCallback = record.iImage == I_IMAGECALLBACK;
            repaint |= cell->image != record.iImage;
            cell->image = record.iImage;
        }
        if (record.mask & TVIF_TEXT) {
            cell->textWidth = 0;
            cell->textCallback = record.pszText == LPSTR_TEXTCALLBACKW;
            if (cell->textCallback)
                cell->text.Clear();
            else
                cell->text.Assign(record.pszText ? std::wstring_view(record.pszText) : std::wstring_view());
            repaint = true;
        }
        if (record.mask & TVIF_STATE) {
            const UINT mask = record.stateMask;
            const UINT cellMask = mask & ~kItemOnlyBits;
            const UINT newState = (cell->state & ~cellMask) | (record.state & cellMask);
            repaint |= newState != cell->state;
            cell->state = newState;
            const UINT itemState = item->state;
            const bool expandFlip =
                (mask & TVIS_EXPANDED) && !(style_ & TVS_SINGLEEXPAND) && ((record.state ^ itemState) & TVIS_EXPANDED);
            const bool selectFlip = (mask & TVIS_SELECTED) && ((record.state ^ itemState) & TVIS_SELECTED);
            const bool select = (record.state & TVIS_SELECTED) != 0;
            const bool expand = (record.state & TVIS_EXPANDED) != 0;
            if (expandFlip) Expand(handle, expand ? TVE_EXPAND : TVE_COLLAPSE);
            if (selectFlip && items_.Get(handle)) {
                if (exStyle_ & TVS_EX_MULTISELECT)
                    SetSelected(handle, select, TVC_UNKNOWN);
                else if (select)
                    SelectItem(handle, (exStyle_ & TVS_EX_SUBSELECT) ? column : 0, TVC_UNKNOWN);
                else if (handle == caret_)
                    SelectItem(0, 0, TVC_UNKNOWN);
            }
        }
        if (repaint) InvalidateItem(handle);
        return 0;
    }

    bool repaint = false;
    if (record.mask & TVIF_IMAGE) {
        item->imageCallback = record.iImage == I_IMAGECALLBACK;
        repaint |= item->image != record.iImage && normalImages_.list;
        item->image = record.iImage;
    }
    if (record.mask & TVIF_SELECTEDIMAGE) {
        item->selectedImageCallback = record.iSelectedImage == I_IMAGECALLBACK;
        repaint |= item->selectedImage != record.iSelectedImage && normalImages_.list;
        item->selectedImage = record.iSelectedImage;
    }
    if (record.mask & TVIF_CHILDREN) {
        ApplyChildren(*item, record.cChildren, true);
        repaint = true;
    }
    if (record.mask & TVIF_TEXT) {
        SetItemText(*item, record.pszText);
        repaint = true;
    }
    if (record.mask & TVIF_STATE) {
        UINT mask = record.stateMask;
        if (style_ & TVS_SINGLEEXPAND) mask &= ~TVIS_EXPANDED;
        const UINT changed = (item->state ^ record.state) & mask;
        const UINT direct = mask & ~(TVIS_SELECTED | TVIS_EXPANDED);
        const UINT newDirect = (item->state & ~direct) | (record.state & direct);
        if ((item->state ^ newDirect) & (TVIS_OVERLAYMASK | TVIS_CUT | TVIS_BOLD | TVIS_STATEIMAGEMASK)) repaint = true;
        if ((item->state ^ newDirect) & TVIS_BOLD) item->textWidth = 0;
        item->state = newDirect;
        if (changed & TVIS_EXPANDED) {
            const bool expand = (record.state & TVIS_EXPANDED) != 0;
            if (HasChildrenOf(handle) || (items_.Get(handle) && items_.Get(handle)->firstChild)) {
                Expand(handle, expand ? TVE_EXPAND : TVE_COLLAPSE);
            } else if (TreeItem* again = items_.Get(handle)) {
                again->state = expand ? (again->state | TVIS_EXPANDED) : (again->state & ~TVIS_EXPANDED);
            }
        }
        if ((changed & TVIS_SELECTED) && items_.Get(handle)) {
            const bool select = (record.state & TVIS_SELECTED) != 0;
            if (exStyle_ & TVS_EX_MULTISELECT)
                SetSelected(handle, select, TVC_UNKNOWN);
            else if (select)
                SelectItem(handle, 0, TVC_UNKNOWN);
            else if (handle == caret_)
                SelectItem(0, 0, TVC_UNKNOWN);
            else
                SetSelected(handle, false, TVC_UNKNOWN);
        }
    }
    if (repaint) InvalidateItem(handle);
    return 0;
}

// ---------------------------------------------------------------- get

bool TreeListWindow::GetItem(TVITEMW& record) {
    const ItemIndex handle = IndexOfHandle(record.hItem);
    if (!items_.Get(handle)) return false;
    const unsigned column = (record.mask & TVIF_SUBITEM) ? static_cast<unsigned>(std::max(record.cChildren, 0)) : 0;
    if (column > 0 && column >= ColumnCount()) return false;

    if (record.mask & TVIF_TEXT) {
        if (record.mask & TVIF_TEXTPTR) {
            TreeItem* item = items_.Get(handle);
            const StoredText* text = &item->text;
            bool callback = item->textCallback;
            if (column > 0) {
                TreeCell* cell = EnsureCell(*item, column);
                text = &cell->text;
                callback = cell->textCallback;
            }
            record.pszText = callback ? LPSTR_TEXTCALLBACKW : const_cast<WCHAR*>(text->Data());
            record.cchTextMax = static_cast<int>(std::min<std::uint32_t>(text->Length(), 0x7FFFFFFE) + 1);
        } else if (record.pszText && record.pszText != LPSTR_TEXTCALLBACKW && record.cchTextMax > 0) {
            const std::wstring text(TextOf(handle, column).text);
            const std::size_t count =
                CutWithoutSplittingPair(text.data(), text.size(), static_cast<std::size_t>(record.cchTextMax) - 1);
            std::copy_n(text.data(), count, record.pszText);
            record.pszText[count] = 0;
        }
    }
    TreeItem* item = items_.Get(handle);
    if (!item) return false;
    if (record.mask & TVIF_PARAM) record.lParam = item->lParam;
    if (column > 0) {
        TreeCell* cell = EnsureCell(*item, column);
        if (record.mask & TVIF_IMAGE) record.iImage = cell->imageCallback ? I_IMAGECALLBACK : cell->image;
        if (record.mask & TVIF_STATE) record.state = cell->state & record.stateMask & ~kItemOnlyBits;
        return true;
    }
    if (record.mask & TVIF_IMAGE) record.iImage = item->imageCallback ? I_IMAGECALLBACK : item->image;
    if (record.mask & TVIF_SELECTEDIMAGE)
        record.iSelectedImage = item->selectedImageCallback ? I_IMAGECALLBACK : item->selectedImage;
    if (record.mask & TVIF_CHILDREN)
        record.cChildren = item->childrenCallback ? I_CHILDRENCALLBACK : (item->firstChild ? 1 : 0);
    if (record.mask & TVIF_STATE) record.state = item->state & record.stateMask;
    return true;
}

// ---------------------------------------------------------------- values from the parent

TreeListWindow::ItemTextRef TreeListWindow::TextOf(ItemIndex handle, unsigned column) {
    TreeItem* item = items_.Get(handle);
    if (!item) return {};
    if (column == 0 && !item->textCallback) return {item->text.View(), false};
    if (column > 0) {
        const TreeCell* cell = item->Cell(column);
        if (!cell) return {};
        if (!cell->textCallback) return {cell->text.View(), false};
    }
    NMTVDISPINFO info;
    FillItemRecord(info.item, handle, column, TVIF_TEXT);
    dispText_.fill(0);
    info.item.pszText = dispText_.data();
    info.item.cchTextMax = TVL_TEXTBUFFER;
    Notify(info.hdr, TVN_GETDISPINFOA);
    const WCHAR* answer = info.item.pszText ? info.item.pszText : dispText_.data();
    if (answer == LPSTR_TEXTCALLBACKW) answer = L"";
    dispTextCopy_.assign(answer, BoundedLength(answer, TVL_TEXTBUFFER));
    return {dispTextCopy_, true};
}

int TreeListWindow::ImageOf(ItemIndex handle, bool selected) {
    TreeItem* item = items_.Get(handle);
    if (!item) return I_IMAGENONE;
    const bool callback = selected ? item->selectedImageCallback : item->imageCallback;
    if (!callback) return selected ? item->selectedImage : item->image;
    NMTVDISPINFO info;
    const UINT mask = selected ? TVIF_SELECTEDIMAGE : TVIF_IMAGE;
    FillItemRecord(info.item, handle, 0, mask);
    info.item.iImage = info.item.iSelectedImage = I_IMAGENONE;
    Notify(info.hdr, TVN_GETDISPINFOA);
    return selected ? info.item.iSelectedImage : info.item.iImage;
}

bool TreeListWindow::HasChildrenOf(ItemIndex handle) {
    TreeItem* item = items_.Get(handle);
    if (!item) return false;
    if (!item->childrenCallback) return item->hasChildren;
    NMTVDISPINFO info;
    FillItemRecord(info.item, handle, 0, TVIF_CHILDREN);
    info.item.cChildren = 0;
    Notify(info.hdr, TVN_GETDISPINFOA);
    return info.item.cChildren > 0;
}

void TreeListWindow::DropCachedWidths() {
    for (ItemIndex h = items_.FirstRoot(); h; h = items_.NextDepthFirst(h)) {
        TreeItem* item = items_.Get(h);
        item->textWidth = 0;
        for (auto& cell : item->cells) cell.textWidth = 0;
    }
}

// ---------------------------------------------------------------- delete

bool TreeListWindow::DeleteItem(ItemIndex handle, bool asked) {
    if (sorting_) return false;
    if (!items_.Get(handle)) return false;

    // Children first, the last child first, without recursion: always delete the last
    // leaf below the item until the item itself is a leaf.
    ItemIndex current = handle;
    while (items_.Get(handle)) {
        TreeItem* walk = items_.Get(current);
        if (!walk) walk = items_.Get(current = handle);
        while (walk->lastChild) {
            current = walk->lastChild;
            walk = items_.Get(current);
        }
        const ItemIndex parent = walk->parent;
        const bool isTarget = current == handle;

        if (current == caret_) {
            NotifyItem(TVN_SELCHANGEDA, TVC_UNKNOWN, caret_, caretColumn_, 0, 0);
            if (caret_ == current) {
                caret_ = 0;
                caretColumn_ = 0;
            }
        }
        if (items_.Get(current)) NotifyItem(TVN_DELETEITEMA, TVC_UNKNOWN, current, 0, 0, 0);

        TreeItem* item = items_.Get(current);
        if (item && !item->firstChild) {
            if (dropItem_ == current) dropItem_ = 0;
            if (insertMark_ == current) insertMark_ = 0;
            if (focusItem_ == current) focusItem_ = 0;
            if (anchor_ == current) anchor_ = 0;
            if (hoverItem_ == current) HideTooltip();
            if (dragItem_ == current) dragButton_ = 0, dragItem_ = 0;
            if (pendingItem_ == current) pendingClick_ = false, pendingItem_ = 0;
            if (caret_ == current) caret_ = 0, caretColumn_ = 0;
            if (editItem_ == current) EndEdit(0);
            items_.Unlink(current);
            if (TreeItem* p = items_.Get(parent); p && p->childrenAuto && !p->firstChild) p->hasChildren = false;
            if (item->state & TVIS_SELECTED) --selectedCount_;
            items_.Remove(current);
        }
        if (isTarget) break;
        current = items_.Get(parent) ? parent : handle;
    }
    if (asked) InvalidateAll();
    return true;
}

void TreeListWindow::DeleteAllItems() {
    while (ItemIndex last = items_.LastRoot()) {
        if (!DeleteItem(last, false)) break;
        if (items_.Get(last)) break;  // the parent refused to let it go; do not loop forever
    }
    firstRow_ = 0;
    InvalidateAll();
}
