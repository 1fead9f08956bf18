// Which part of which row and column lies under a point of the client area.
#include <cstdlib>

#include "controls/treelist/treelist_window.h"

bool TreeListWindow::ShowsIcon(const TreeItem& item) const {
    if (!normalImages_.list) return false;
    const bool selected = (item.state & TVIS_SELECTED) != 0;
    // Images the parent supplies are known only once a paint has asked for them.
    if (selected ? item.selectedImageCallback : item.imageCallback) return item.showsIcon;
    return (selected ? item.selectedImage : item.image) != I_IMAGENONE;
}

int TreeListWindow::TextStartInColumn0(const TreeItem& item) const {
    const bool grid = (exStyle_ & TVS_EX_ITEMLINES) != 0;
    int x = (static_cast<int>(item.level) + (linesAtRoot_ ? 1 : 0)) * indent_ + (grid ? 1 : 0);
    if (stateImages_.list) x += stateImages_.list->Width();
    if (ShowsIcon(item)) x += normalImages_.list->Width() + (grid ? 1 : 0);
    return x;
}

TreeListWindow::Hit TreeListWindow::HitTest(POINT point) {
    UpdateScrollBars();
    Hit hit;
    if (point.x < 0)
        hit.flags |= TVHT_TOLEFT;
    else if (point.x >= clientWidth_)
        hit.flags |= TVHT_TORIGHT;
    if (point.y < headerHeight_)
        hit.flags |= TVHT_ABOVE;
    else if (point.y >= clientHeight_)
        hit.flags |= TVHT_BELOW;
    if (hit.flags) return hit;

    const int row = (point.y - headerHeight_) / std::max(itemHeight_, 1) + firstRow_;
    const ItemIndex handle = items_.ItemOfRow(static_cast<std::size_t>(row));
    TreeItem* item = items_.Get(handle);
    if (!item) {
        hit.flags = TVHT_NOWHERE;
        return hit;
    }
    hit.item = handle;
    const int x = point.x + hscroll_;
    int column = 0;
    if (ColumnCount() > 0) {
        column = columns_.ColumnAt(x);
        if (column < 0) {
            hit.flags = TVHT_ONRIGHTSPACE;
            return hit;
        }
    }
    hit.column = static_cast<unsigned>(column);
    const bool grid = (exStyle_ & TVS_EX_ITEMLINES) != 0;

    if (column == 0) {
        int rel = x - ColumnLeft(0) + (linesAtRoot_ ? 0 : indent_) - static_cast<int>(item->level) * indent_;
        if (rel < indent_) {
            const int rowMid = headerHeight_ + (row - firstRow_) * itemHeight_ + itemHeight_ / 2;
            const int dx = rel - buttonOffset_;
            const int dy = point.y - rowMid;
            const bool onButton =
                (style_ & TVS_HASBUTTONS) && dx >= -6 && dx <= 7 && dy >= -6 && dy <= 7 && HasChildrenOf(handle);
            hit.flags = onButton ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
            return hit;
        }
        item = items_.Get(handle);
        if (!item) return Hit{TVHT_NOWHERE, 0, 0};
        rel -= indent_ + (grid ? 1 : 0);
        if (const ImageList* states = stateImages_.list) {
            rel -= states->Width();
            if (rel < 0) {
                hit.flags = TVHT_ONITEMSTATEICON;
                return hit;
            }
        }
        if (ShowsIcon(*item)) {
            rel -= normalImages_.list->Width() + (grid ? 1 : 0);
            if (rel < 0) {
                hit.flags = TVHT_ONITEMICON;
                return hit;
            }
        }
        if (item->textWidth == 0) {
            const int width = MeasureText(TextOf(handle, 0).text, item->state & TVIS_BOLD);
            if (!(item = items_.Get(handle))) return Hit{TVHT_NOWHERE, 0, 0};
            item->textWidth = width;
        }
        hit.flags = rel < item->textWidth + 5 ? TVHT_ONITEMLABEL : TVHT_ONITEMRIGHT;
        return hit;
    }

    // A cell: its icon or check box first, then its text as the column aligns it. Cells
    // also report the item's label or icon, so a row answers from every column.
    const TreeColumn& record = *columns_.At(static_cast<unsigned>(column));
    const int rel = x - ColumnLeft(static_cast<unsigned>(column));
    const int width = columns_.DrawnWidth(static_cast<unsigned>(column));
    TreeCell* cell = item->Cell(static_cast<unsigned>(column));
    int iconWidth = 0;
    if (record.IsCheckKind()) {
        if (checkImages_.list) iconWidth = checkImages_.list->Width() + 2;
    } else if (cell && (cell->image >= 0 || cell->imageCallback) && CellIconList()) {
        iconWidth = CellIconList()->Width() + 2;
    }
    const UINT columnBits = static_cast<UINT>(column) << 24;
    if (rel < iconWidth) {
        hit.flags = TVHT_ONSUBICON | TVHT_ONITEMICON | columnBits;
        return hit;
    }
    int textWidth = 0;
    if (cell) {
        if (cell->textWidth == 0 && !cell->text.Empty())
            cell->textWidth = MeasureText(cell->text.View(), cell->state & TVIS_BOLD);
        textWidth = cell->textWidth;
    }
    bool onText = textWidth == 0;
    if (!onText) {
        if (record.align == TVCFMT_RIGHT)
            onText = rel >= width - textWidth - 5;
        else if (record.align == TVCFMT_CENTER)
            onText = std::abs(rel - (iconWidth + (width - iconWidth) / 2)) <= textWidth / 2 + 3;
        else
            onText = rel - iconWidth < textWidth + 5;
    }
    hit.flags = (onText ? TVHT_ONSUBLABEL : TVHT_ONSUBITEM) | TVHT_ONITEMLABEL | columnBits;
    return hit;
}
