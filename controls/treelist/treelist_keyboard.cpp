// Keys: caret movement, scrolling with Ctrl, check boxes, the start of edits, and the
// incremental search by typed characters.
#include <QGuiApplication>
#include <algorithm>

#include "controls/treelist/incremental_search.h"
#include "controls/treelist/treelist_ids.h"
#include "controls/treelist/treelist_window.h"

bool TreeListWindow::ControlHeld() const {
    const auto modifiers = modifiersFromEvent_ ? eventModifiers_ : QGuiApplication::queryKeyboardModifiers();
    return modifiers.testFlag(Qt::ControlModifier);
}

bool TreeListWindow::ShiftHeld() const {
    const auto modifiers = modifiersFromEvent_ ? eventModifiers_ : QGuiApplication::queryKeyboardModifiers();
    return modifiers.testFlag(Qt::ShiftModifier);
}

void TreeListWindow::OnKeyDown(UINT key) {
    if (!enabled_) return;
    if (!hasFocus_) {
        setFocus(Qt::OtherFocusReason);
        if (!hasFocus_) OnSetFocus();
    }
    const bool ctrl = ControlHeld();
    const bool shift = ShiftHeld();

    if (key == VK_RETURN) {
        NotifyCode(NM_RETURN);
        const TreeColumn* record = columns_.At(caretColumn_);
        if (record && record->autoEditKind != 0 && items_.Get(caret_))
            StartEdit(caretColumn_, ctrl ? treelist::kKeyIconClick : VK_RETURN, POINT{});
        return;
    }

    if (ctrl && !shift) {
        switch (key) {
        case VK_UP: VScroll(SB_LINEUP, 0); break;
        case VK_DOWN: VScroll(SB_LINEDOWN, 0); break;
        case VK_HOME: VScroll(SB_TOP, 0); break;
        case VK_END: VScroll(SB_BOTTOM, 0); break;
        case VK_PRIOR: VScroll(SB_PAGEUP, 0); break;
        case VK_NEXT: VScroll(SB_PAGEDOWN, 0); break;
        case VK_LEFT: HScroll(SB_LINELEFT, 0); break;
        case VK_RIGHT: HScroll(SB_LINERIGHT, 0); break;
        case VK_SPACE:
            if (!(style_ & TVS_NOSCROLL) && items_.Get(caret_) && HasChildrenOf(caret_)) Expand(caret_, TVE_TOGGLE);
            break;
        default: break;
        }
    } else {
        const int rowCount = static_cast<int>(items_.RowCount());
        const bool subSelect = (exStyle_ & TVS_EX_SUBSELECT) && ColumnCount() >= 2;
        const int caretRow = items_.RowOf(caret_);
        int row = std::max(caretRow, 0);
        int column = static_cast<int>(caretColumn_);
        bool move = true;
        const int page = std::max(rowsPerPageDown_ - 1, 1);
        switch (key) {
        case VK_UP: row -= 1; break;
        case VK_DOWN: row += caretRow < 0 ? 0 : 1; break;
        case VK_PRIOR: row -= page; break;
        case VK_NEXT: row += page; break;
        case VK_HOME: row = 0; break;
        case VK_END: row = rowCount - 1; break;
        case VK_BACK: {
            const TreeItem* item = items_.Get(caret_);
            row = item && item->parent ? items_.RowOf(item->parent) : 0;
            break;
        }
        case VK_LEFT:
            if (subSelect) {
                --column;
            } else if (const TreeItem* item = items_.Get(caret_);
                       item && (item->state & TVIS_EXPANDED) && HasChildrenOf(caret_)) {
                Expand(caret_, TVE_COLLAPSE);
                move = false;
            } else if (item && item->parent) {
                row = items_.RowOf(item->parent);
            }
            break;
        case VK_RIGHT:
            if (subSelect) {
                ++column;
            } else if (const TreeItem* item = items_.Get(caret_);
                       item && !(item->state & TVIS_EXPANDED) && HasChildrenOf(caret_)) {
                Expand(caret_, TVE_EXPAND);
                move = false;
            } else {
                row += 1;
            }
            break;
        case VK_SPACE:
            if ((style_ & TVS_CHECKBOXES) && caretColumn_ == 0 && items_.Get(caret_)) FlipCheckBox(caret_, 0);
            move = false;
            break;
        default: move = false; break;
        }
        if (move && rowCount > 0) {
            row = std::clamp(row, 0, rowCount - 1);
            const int lastColumn = (exStyle_ & TVS_EX_SUBSELECT) ? std::max(static_cast<int>(ColumnCount()) - 1, 0) : 0;
            column = std::clamp(column, 0, lastColumn);
            if (row != caretRow || static_cast<unsigned>(column) != caretColumn_ || !items_.Get(caret_))
                MoveCaretToRow(row, static_cast<unsigned>(column));
        }
    }

    NMTVKEYDOWN nm;
    nm.wVKey = static_cast<WORD>(key);
    keyClaimed_ = Notify(nm.hdr, TVN_KEYDOWN);
}

void TreeListWindow::MoveCaretToRow(int row, unsigned column) {
    const ItemIndex handle = items_.ItemOfRow(static_cast<std::size_t>(row));
    if (!items_.Get(handle)) return;
    const bool multi = (exStyle_ & TVS_EX_MULTISELECT) != 0;
    const bool extend = multi && ShiftHeld();
    if (selectedCount_ < 2)
        anchor_ = caret_;
    else if (!extend)
        ClearFocusMarks();

    if (extend && items_.Get(anchor_)) {
        SelectRange(anchor_, handle, TVC_BYKEYBOARD, true);
        if (items_.Get(handle)) {
            InvalidateItem(caret_);
            caret_ = handle;
            caretColumn_ = column;
            InvalidateItem(handle);
        }
    } else {
        SelectItem(handle, column, TVC_BYKEYBOARD | TVC_DESELECT);
    }
    if (!(style_ & TVS_NOSCROLL) && caret_) EnsureVisible(caret_, caretColumn_);
}

void TreeListWindow::OnChar(wchar_t ch) {
    if (keyClaimed_) {
        keyClaimed_ = 0;
        return;
    }
    if (!enabled_ || static_cast<std::uint32_t>(ch) < 0x20) return;
    if (const TreeColumn* record = columns_.At(caretColumn_)) {
        const unsigned kind = record->autoEditKind;
        if ((kind == 1 || kind == 2 || kind == 5 || kind == 7) && !(record->options & TVAE_NOCHARS)) {
            StartEdit(caretColumn_, static_cast<UINT>(ch), POINT{});
            return;
        }
    }
    if (!(exStyle_ & TVS_EX_NOCHARSELECT)) IncrementalSearchFor(ch);
}

bool TreeListWindow::IncrementalSearchFor(wchar_t ch) {
    IncrementalSearch& search = IncrementalSearch::Shared();
    const bool growing = search.Type(ch, IncrementalSearch::NowMs());
    const auto& rows = items_.Rows();
    const int count = static_cast<int>(rows.size());
    if (count == 0) return false;
    const int caretRow = items_.RowOf(caret_);
    const unsigned column = caretColumn_;

    auto find = [&](int start) -> ItemIndex {
        const std::wstring prefix = search.Text();
        for (int i = 0; i < count; ++i) {
            const ItemIndex handle = rows[static_cast<std::size_t>((start + i) % count)];
            const TreeItem* item = items_.Get(handle);
            std::wstring_view text;
            if (column == 0)
                text = item->text.View();
            else if (const TreeCell* cell = item->Cell(column))
                text = cell->text.View();
            if (IncrementalSearch::MatchesPrefix(text, prefix)) return handle;
        }
        return 0;
    };
    ItemIndex found = find(growing ? std::max(caretRow, 0) : caretRow + 1);
    if (!found && search.Text().size() >= 2) {
        search.KeepLastOnly();
        found = find(caretRow + 1);
    }
    if (!found) return false;
    SelectItem(found, column, TVC_BYKEYBOARD | TVC_DESELECT);
    if (caret_) EnsureVisible(caret_, caretColumn_);
    return true;
}
