// Drawing the rows: the tree column with lines, buttons, check boxes, icons and text, the
// further columns, colours of rows, selections and marks, grid lines and "..." cutting.
#include <QFontMetrics>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <vector>

#include "controls/colorref.h"
#include "controls/treelist/text_fitting.h"
#include "controls/treelist/treelist_header.h"
#include "controls/treelist/treelist_window.h"

namespace {

// Dotted lines on odd pixels, so that the dots of neighbouring rows line up.
void DottedVertical(std::vector<QPoint>& dots, int x, int top, int bottom) {
    for (int y = top | 1; y < bottom; y += 2) dots.emplace_back(x, y);
}
void DottedHorizontal(std::vector<QPoint>& dots, int y, int left, int right) {
    for (int x = left | 1; x < right; x += 2) dots.emplace_back(x, y);
}

}  // namespace

int TreeListWindow::MeasureText(std::wstring_view text, bool bold) const {
    if (text.empty()) return 0;
    const QFontMetrics metrics(bold ? boldFont_ : font_);
    return metrics.horizontalAdvance(QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size())));
}

void TreeListWindow::InvalidateAll() {
    if (!viewport()->isVisible()) return;
    if (redrawHeld_) {
        heldRepaint_ = true;
        return;
    }
    viewport()->update();
}

void TreeListWindow::InvalidateItem(ItemIndex handle) {
    if (!handle || !viewport()->isVisible()) return;
    if (redrawHeld_) {
        heldRepaint_ = true;
        return;
    }
    if (items_.RowsStale()) {
        viewport()->update();
        return;
    }
    const int row = items_.RowOf(handle);
    if (row < firstRow_ || row >= firstRow_ + rowsPerPageUp_) return;
    const int top = headerHeight_ + (row - firstRow_) * itemHeight_;
    if (exStyle_ & (TVS_EX_FULLROWMARK | TVS_EX_SUBSELECT) || ColumnCount() == 0) {
        viewport()->update(0, top, clientWidth_, itemHeight_);
    } else {
        const int left = ColumnLeft(0) - hscroll_;
        viewport()->update(left, top, ColumnRight(0) - ColumnLeft(0), itemHeight_);
    }
}

void TreeListWindow::SetRedraw(bool on) {
    redrawHeld_ = !on;
    if (on && heldRepaint_) {
        heldRepaint_ = false;
        InvalidateAll();
    }
}

void TreeListWindow::Paint(QPainter& painter, const QRect& update) {
    UpdateScrollBars();
    const bool grayed = !enabled_ && (exStyle_ & TVS_EX_GRAYEDDISABLE);
    const QRect client(0, 0, clientWidth_, clientHeight_);
    const QRect area = update.intersected(client);
    painter.save();
    painter.setClipRect(area);

    const int rowCount = static_cast<int>(items_.RowCount());
    int y = headerHeight_;
    int row = firstRow_;
    const int widestBefore = widestRight_;
    for (; row < rowCount && y < clientHeight_; ++row, y += itemHeight_) {
        if (y + itemHeight_ <= area.top()) continue;
        if (y >= area.bottom() + 1) break;
        PaintRow(painter, row, y, area);
        // A callback that changed the tree ends the pass; the change repaints.
        if (items_.RowsStale()) {
            y += itemHeight_;
            break;
        }
    }
    if (y < clientHeight_) {
        painter.fillRect(QRect(0, y, clientWidth_, clientHeight_ - y),
                         ColorFromRef(colors_.Get(grayed ? TVC_GRAYED : TVC_BK)));
    }
    painter.restore();
    if (ColumnCount() == 0 && widestRight_ != widestBefore) UpdateScrollBars();
}

void TreeListWindow::PaintRow(QPainter& painter, int row, int y, const QRect& area) {
    const ItemIndex handle = items_.ItemOfRow(static_cast<std::size_t>(row));
    TreeItem* item = items_.Get(handle);
    if (!item) return;
    const bool grayed = !enabled_ && (exStyle_ & TVS_EX_GRAYEDDISABLE);
    const bool alternate = (exStyle_ & TVS_EX_ALTERNATECOLOR) != 0;
    const bool rowColors = (exStyle_ & TVS_EX_FULLROWITEMS) != 0;
    const bool odd = (row & 1) != 0;

    COLORREF rowColor = colors_.Get(TVC_BK);
    COLORREF markColor = colors_.Get(TVC_BK);
    if (rowColors) {
        rowColor = alternate ? colors_.Get(odd ? TVC_ODD : TVC_EVEN) : colors_.Get(TVC_BK);
        markColor = alternate ? colors_.Get(odd ? TVC_COLODD : TVC_COLEVEN) : colors_.Get(TVC_COLBK);
    }
    const bool fullRowSelected = (exStyle_ & TVS_EX_FULLROWMARK) && (item->state & TVIS_SELECTED);
    if (fullRowSelected) rowColor = colors_.Get(alternate && !odd ? TVC_MARKEVEN : TVC_MARKODD);
    if (grayed) rowColor = markColor = colors_.Get(TVC_GRAYED);

    const int width = std::max(clientWidth_, 0);
    painter.fillRect(QRect(0, y, width, itemHeight_), ColorFromRef(rowColor));

    // Column 0: its own background, or the column's mark colour.
    const bool noColumns = ColumnCount() == 0;
    const int left0 = ColumnLeft(0) - hscroll_;
    const int right0 = noColumns ? width : ColumnRight(0) - hscroll_;
    COLORREF treeColor = rowColor;
    if (!noColumns && columns_.At(0)->marked && !fullRowSelected) treeColor = markColor;
    if (item->hasBkColor && !fullRowSelected) treeColor = item->bkColor;
    if (treeColor != rowColor) painter.fillRect(QRect(left0, y, right0 - left0, itemHeight_), ColorFromRef(treeColor));

    if (rowColors && (exStyle_ & TVS_EX_ITEMLINES)) {
        const int bandRight = left0 + static_cast<int>(item->level + 1) * indent_ + 2;
        painter.fillRect(QRect(left0, y + itemHeight_ - 3, bandRight - left0, 3), ColorFromRef(colors_.Get(TVC_FRAME)));
    }

    painter.save();
    painter.setClipRect(QRect(left0, y, right0 - left0, itemHeight_).intersected(area));
    PaintTreeColumn(painter, handle, y, treeColor);
    painter.restore();

    for (unsigned column = 1; column < ColumnCount(); ++column) {
        item = items_.Get(handle);
        if (!item) return;
        const int left = ColumnLeft(column) - hscroll_;
        const int right = ColumnRight(column) - hscroll_;
        if (right <= area.left() || left > area.right()) continue;
        COLORREF cellColor = columns_.At(column)->marked ? markColor : rowColor;
        if (const TreeCell* cell = item->Cell(column); cell && cell->hasBkColor && !fullRowSelected)
            cellColor = cell->bkColor;
        if (fullRowSelected) cellColor = rowColor;
        painter.save();
        painter.setClipRect(QRect(left, y, right - left, itemHeight_).intersected(area));
        PaintCell(painter, handle, column, y, cellColor);
        painter.restore();
    }

    if (exStyle_ & TVS_EX_ITEMLINES) {
        painter.setPen(ColorFromRef(colors_.Get(TVC_FRAME)));
        painter.drawLine(0, y + itemHeight_ - 1, width - 1, y + itemHeight_ - 1);
        for (unsigned column = 0; column < ColumnCount(); ++column) {
            const int x = ColumnRight(column) - hscroll_ - 1;
            painter.drawLine(x, y, x, y + itemHeight_ - 1);
        }
    }
}

void TreeListWindow::PaintTreeColumn(QPainter& painter, ItemIndex handle, int y, COLORREF rowColor) {
    TreeItem* item = items_.Get(handle);
    if (!item) return;
    const bool noColumns = ColumnCount() == 0;
    const int left0 = ColumnLeft(0) - hscroll_;
    const int right = noColumns ? INT_MAX / 4 : ColumnRight(0) - hscroll_;
    const int level = static_cast<int>(item->level);
    const int rootShift = linesAtRoot_ ? 0 : -1;
    const int buttonCell = left0 + (level + rootShift) * indent_;
    const int mid = y + itemHeight_ / 2;
    const int buttonX = buttonCell + buttonOffset_;

    // Tree lines.
    if (style_ & TVS_HASLINES) {
        std::vector<QPoint> dots;
        int ancestorLevel = level - 1;
        for (const TreeItem* a = items_.Get(item->parent); a; a = items_.Get(a->parent), --ancestorLevel) {
            if (a->nextSibling && ancestorLevel + rootShift >= 0)
                DottedVertical(dots, left0 + (ancestorLevel + rootShift) * indent_ + buttonOffset_, y, y + itemHeight_);
        }
        if (level + rootShift >= 0) {
            if (item->prevSibling || item->parent) DottedVertical(dots, buttonX, y, mid);
            if (item->nextSibling) DottedVertical(dots, buttonX, mid, y + itemHeight_);
            DottedHorizontal(dots, mid, buttonX, buttonCell + indent_);
        }
        if (!dots.empty()) {
            painter.setPen(ColorFromRef(colors_.Get(TVC_LINE)));
            painter.drawPoints(dots.data(), static_cast<int>(dots.size()));
        }
    }

    // Expand button.
    if ((style_ & TVS_HASBUTTONS) && level + rootShift >= 0 && HasChildrenOf(handle)) {
        item = items_.Get(handle);
        if (!item) return;
        const QRect box(buttonX - 4, mid - 4, 9, 9);
        painter.fillRect(box, ColorFromRef(colors_.Get(TVC_BOX)));
        painter.fillRect(box.adjusted(1, 1, -1, -1), ColorFromRef(rowColor));
        const QColor bar = ColorFromRef(colors_.Get(TVC_LINE));
        painter.fillRect(QRect(buttonX - 2, mid, 5, 1), bar);
        if (!(item->state & TVIS_EXPANDED) || (item->state & TVIS_EXPANDPARTIAL))
            painter.fillRect(QRect(buttonX, mid - 2, 1, 5), bar);
    }

    int x = buttonCell + indent_ + ((exStyle_ & TVS_EX_ITEMLINES) ? 1 : 0);

    // State image (check box).
    if (const ImageList* states = stateImages_.list) {
        states->Draw(painter, static_cast<int>((item->state >> 12) & 0xF), x, y + (itemHeight_ - states->Height()) / 2);
        x += states->Width();
    }

    // Icon.
    item->showsIcon = false;
    if (const ImageList* icons = normalImages_.list) {
        const bool selected = (item->state & TVIS_SELECTED) != 0;
        int image = ImageOf(handle, selected);
        item = items_.Get(handle);
        if (!item) return;
        if (image != I_IMAGENONE) {
            if ((exStyle_ & TVS_EX_AUTOEXPANDICON) && (item->state & TVIS_EXPANDED) && item->firstChild) ++image;
            icons->Draw(painter, image, x, y + (itemHeight_ - icons->Height()) / 2);
            item->showsIcon = true;
            x += icons->Width() + ((exStyle_ & TVS_EX_ITEMLINES) ? 1 : 0);
        }
    }

    // Text.
    const bool bold = (item->state & TVIS_BOLD) != 0;
    const std::wstring text(TextOf(handle, 0).text);
    item = items_.Get(handle);
    if (!item) return;
    if (item->textWidth == 0 && !text.empty()) item->textWidth = MeasureText(text, bold);
    const int textX = x + 2;
    const int textY = y + (itemHeight_ - textHeight_) / 2;
    const QFont& font = bold ? boldFont_ : font_;
    const QString shown = FitText(text, QFontMetrics(font), right - textX - 2,
                                  bold ? boldEllipsisWidth_ : ellipsisWidth_, item->textWidth);
    const int shownWidth =
        textX + item->textWidth > right - 2 ? QFontMetrics(font).horizontalAdvance(shown) : item->textWidth;

    const bool selected = (item->state & TVIS_SELECTED) != 0;
    const bool subSelectElsewhere = (exStyle_ & TVS_EX_SUBSELECT) && handle == caret_ && caretColumn_ != 0;
    const bool hot = (style_ & TVS_TRACKSELECT) && handle == dropItem_ && dropColumn_ == 0;
    const bool dropped = !hot && (item->dropHighlighted || (item->state & TVIS_DROPHILITED));
    const QRect textRect(textX - 2, textY, shownWidth + 4, textHeight_ + 1);
    QColor textColor = ColorFromRef(item->hasTextColor ? item->textColor : colors_.Get(TVC_TEXT));
    if (dropped || (selected && hasFocus_ && !subSelectElsewhere)) {
        painter.fillRect(textRect, ColorFromRef(colors_.System().highlight));
        textColor = ColorFromRef(colors_.System().highlightText);
    } else if (selected && !subSelectElsewhere) {
        if (!(exStyle_ & TVS_EX_FULLROWMARK)) painter.fillRect(textRect, ColorFromRef(colors_.System().menu));
    } else if (hot) {
        textColor = ColorFromRef(colors_.Get(TVC_TRACK));
    }
    painter.setFont(font);
    painter.setPen(textColor);
    painter.drawText(QPoint(textX, textY + QFontMetrics(font).ascent()), shown);

    const ItemIndex focusItem = focusItem_ ? focusItem_ : caret_;
    if ((exStyle_ & TVS_EX_MULTISELECT) && hasFocus_ && handle == focusItem) {
        painter.setPen(QPen(ColorFromRef(colors_.Get(TVC_BOX)), 1, Qt::DotLine));
        painter.drawRect(textRect.adjusted(0, 0, -1, -1));
    }
    widestRight_ = std::max(widestRight_, textX + hscroll_ + item->textWidth + 5);
}

void TreeListWindow::PaintCell(QPainter& painter, ItemIndex handle, unsigned column, int y, COLORREF cellColor) {
    const int left = ColumnLeft(column) - hscroll_;
    const int right = ColumnRight(column) - hscroll_;
    painter.fillRect(QRect(left, y, right - left, itemHeight_), ColorFromRef(cellColor));
    TreeItem* item = items_.Get(handle);
    if (!item || !item->Cell(column)) return;
    const TreeColumn& record = *columns_.At(column);
    int x = left + 2;

    // Check box or icon.
    TreeCell* cell = item->Cell(column);
    if (record.IsCheckKind()) {
        if (const ImageList* boxes = checkImages_.list) {
            const UINT mask = (record.options & TVAE_STATEENABLE) ? 0x7 : 0xF;
            boxes->Draw(painter, static_cast<int>((cell->state >> 12) & mask), x,
                        y + (itemHeight_ - boxes->Height()) / 2);
            x += boxes->Width();
        }
    } else if (const ImageList* icons = CellIconList()) {
        int image = cell->image;
        if (cell->imageCallback) {
            NMTVDISPINFO info;
            FillItemRecord(info.item, handle, column, TVIF_IMAGE);
            info.item.iImage = I_IMAGENONE;
            Notify(info.hdr, TVN_GETDISPINFOA);
            image = info.item.iImage;
            item = items_.Get(handle);
            if (!item || !item->Cell(column)) return;
            cell = item->Cell(column);
        }
        if (image >= 0) {
            icons->Draw(painter, image, x, y + (itemHeight_ - icons->Height()) / 2);
            x += icons->Width();
        }
    }

    // Text, aligned as the column says.
    const bool bold = (cell->state & TVIS_BOLD) != 0;
    const std::wstring text(TextOf(handle, column).text);
    item = items_.Get(handle);
    if (!item || !item->Cell(column)) return;
    cell = item->Cell(column);
    if (text.empty()) return;
    if (cell->textWidth == 0) cell->textWidth = MeasureText(text, bold);
    const QFont& font = bold ? boldFont_ : font_;
    const QFontMetrics metrics(font);
    const int available = right - x - 4;
    const QString shown =
        FitText(text, metrics, available, bold ? boldEllipsisWidth_ : ellipsisWidth_, cell->textWidth);
    const int shownWidth = cell->textWidth > available ? metrics.horizontalAdvance(shown) : cell->textWidth;
    int textX = x + 2;
    if (record.align == TVCFMT_RIGHT)
        textX = std::max(x + 2, right - 4 - shownWidth);
    else if (record.align == TVCFMT_CENTER)
        textX = std::max(x + 2, x + (right - x - shownWidth) / 2);
    const int textY = y + (itemHeight_ - textHeight_) / 2;
    const QRect textRect(textX - 2, textY, shownWidth + 4, textHeight_ + 1);

    const bool selected = (item->state & TVIS_SELECTED) != 0;
    const bool fullRow = (exStyle_ & TVS_EX_FULLROWMARK) != 0;
    const bool caretCell = selected && (exStyle_ & TVS_EX_SUBSELECT) && handle == caret_ && caretColumn_ == column;
    const bool highlighted = caretCell || (selected && fullRow);
    const bool dropped = cell->dropHighlighted || (cell->state & TVIS_DROPHILITED);
    QColor textColor = ColorFromRef(cell->hasTextColor ? cell->textColor : colors_.Get(TVC_TEXT));
    if (dropped || (highlighted && hasFocus_)) {
        painter.fillRect(textRect, ColorFromRef(colors_.System().highlight));
        textColor = ColorFromRef(colors_.System().highlightText);
    } else if (highlighted && !fullRow) {
        painter.fillRect(textRect, ColorFromRef(colors_.System().menu));
    }
    painter.setFont(font);
    painter.setPen(textColor);
    painter.drawText(QPoint(textX, textY + metrics.ascent()), shown);
}

LRESULT TreeListWindow::CreateDragImage(unsigned column, ItemIndex handle) {
    TreeItem* item = items_.Get(handle);
    if (!item || (column > 0 && column >= ColumnCount())) return 0;
    const std::wstring text(TextOf(handle, column).text);
    item = items_.Get(handle);
    if (!item) return 0;
    const ImageList* icons = column == 0 ? normalImages_.list : CellIconList();
    int image = I_IMAGENONE;
    if (column == 0)
        image = item->imageCallback ? I_IMAGENONE : item->image;
    else if (const TreeCell* cell = item->Cell(column))
        image = cell->image;
    const int iconWidth = icons && image >= 0 ? icons->Width() : 0;
    const int textWidth = MeasureText(text, false);
    const int width = std::max(iconWidth + textWidth + 4, 1);
    const int height = std::max(itemHeight_, 1);

    QImage bitmap(width, height, QImage::Format_ARGB32);
    bitmap.fill(ColorFromRef(colors_.Get(TVC_BK)));
    {
        QPainter painter(&bitmap);
        if (iconWidth) icons->Draw(painter, image, 0, (height - icons->Height()) / 2);
        painter.setFont(font_);
        painter.setPen(ColorFromRef(colors_.Get(TVC_TEXT)));
        painter.drawText(QPoint(iconWidth + 2, (height - textHeight_) / 2 + QFontMetrics(font_).ascent()),
                         QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size())));
    }
    // The background is the mask: what the caller drags is the icon and the text only.
    auto list = std::make_unique<ImageList>(width, height);
    list->AddStrip(bitmap, ColorFromRef(colors_.Get(TVC_BK)));
    return reinterpret_cast<LRESULT>(list.release());  // the caller owns the list
}
