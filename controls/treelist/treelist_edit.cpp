// In-place editing: starting an edit from a key, a click or a message, stepping values and
// check boxes without an editor, and ending an edit.
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

#include "controls/treelist/item_handles.h"
#include "controls/treelist/treelist_editor.h"
#include "controls/treelist/treelist_ids.h"
#include "controls/treelist/treelist_window.h"
#include "controls/treelist/value_list.h"

namespace {

bool IsPseudoKey(UINT key) {
    return key == VK_RETURN || key == treelist::kKeyDoubleClick || key == treelist::kKeyIconClick;
}

}  // namespace

bool TreeListWindow::CellReadOnly(ItemIndex handle, unsigned column) {
    const TreeItem* item = items_.Get(handle);
    if (!item) return true;
    if (column == 0) return (item->state & TVIS_DISABLEBIT) != 0;
    const TreeCell* cell = item->Cell(column);
    return cell && (cell->state & TVIS_DISABLEBIT);
}

LRESULT TreeListWindow::StartEdit(unsigned column, UINT key, POINT point) {
    if (editItem_ || editor_) return 0;
    const TreeColumn* record = columns_.At(column);
    if (!record || !(style_ & TVS_EDITLABELS) || record->autoEditKind == 0) return 0;
    const unsigned kind = record->autoEditKind;
    if (!items_.Get(caret_)) return 0;
    if ((record->options & TVAE_STATEENABLE) && CellReadOnly(caret_, column)) return 0;

    wchar_t typed = 0;
    if (!IsPseudoKey(key)) {
        const bool typingKind = kind == 1 || kind == 2 || kind == 5 || kind == 7;
        if (!typingKind || (record->options & TVAE_NOCHARS) || key < 0x30) return 0;
        typed = static_cast<wchar_t>(key);
    }
    if (kind >= TVAX_STEP) {
        if ((kind & 1) == 0 || key == treelist::kKeyIconClick) {
            StepValue(caret_, column, point);
            return 0;
        }
    }
    const unsigned editorKind = (kind - 1) & 3;
    return BeginEdit(caret_, column, editorKind, typed);
}

void TreeListWindow::StepValue(ItemIndex handle, unsigned column, POINT point) {
    TreeItem* item = items_.Get(handle);
    const TreeColumn* record = columns_.At(column);
    if (!item || !record) return;
    const bool check = record->IsCheckKind();
    const TreeCell* cell = item->Cell(column);
    const UINT oldState = column == 0 ? item->state : (cell ? cell->state : (item->state & 0x11));
    const std::wstring oldText(TextOf(handle, column).text);
    if (!(item = items_.Get(handle))) return;

    TVITEMW set;
    set.hItem = handle;
    set.mask = (column > 0 ? TVIF_SUBITEM : 0);
    set.cChildren = static_cast<int>(column);
    if (check) {
        set.mask |= TVIF_STATE;
        if (exStyle_ & TVS_EX_BITCHECKBOX) {
            set.stateMask = 0x1000;
            set.state = oldState ^ 0x1000;
        } else {
            const UINT image = (oldState >> 12) & 0xF;
            set.stateMask = TVIS_STATEIMAGEMASK & ~((record->options & TVAE_STATEENABLE) ? TVIS_DISABLEBIT : 0u);
            set.state = INDEXTOSTATEIMAGEMASK(image == 2 ? 1 : 2);
        }
    }
    std::wstring newText;
    if (!record->values.empty()) {
        const int found = FindValue(record->values, oldText);
        const int next = found < 0 || found + 1 >= static_cast<int>(record->values.size()) ? 0 : found + 1;
        newText = record->values[static_cast<std::size_t>(next)];
        set.mask |= TVIF_TEXT;
        set.pszText = newText.data();
        if (record->columnValue >= 0) {
            set.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            set.iImage = set.iSelectedImage = record->columnValue + next;
        }
    }
    SetItem(set);
    item = items_.Get(handle);
    if (!item) return;

    NMTREEVIEW nm;
    FillItemRecord(nm.itemNew, handle, column, TVIF_TEXT);
    const std::wstring shown(TextOf(handle, column).text);
    nm.itemNew.pszText = const_cast<WCHAR*>(shown.c_str());
    nm.ptDrag = point;
    Notify(nm.hdr, check ? TLN_CBSTATECHANGED : TLN_STEPVALUE);
}

LRESULT TreeListWindow::BeginEdit(ItemIndex handle, unsigned column, unsigned editorKind, wchar_t typed) {
    if (!items_.Get(handle) || (column > 0 && column >= ColumnCount()) || editorKind > 2) return 0;
    if (caret_ != handle || caretColumn_ != column) {
        SelectItem(handle, column, TVC_UNKNOWN);
        if (!items_.Get(handle)) return 0;
    }
    EnsureVisible(handle, column);
    if (editor_) EndEdit(0);

    const TreeColumn* record = columns_.At(column);
    const unsigned kind = record ? record->autoEditKind : 0;
    const bool rightPart = (record && (record->options & TVAE_FULLWIDTH)) || kind == 5 || kind == 7;
    const ItemTextRef current = TextOf(handle, column);
    const std::wstring text(current.text);
    if (!items_.Get(handle)) return 0;

    try {
        editor_ = std::make_unique<TreeListEditor>(*this, editorKind, rightPart);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    editItem_ = handle;
    editColumn_ = column;
    editKind_ = editorKind;
    editTextChanged_ = typed != 0;
    editTextCallback_ = current.callback;
    if (editorKind == TreeListEditor::kEditBox)
        editor_->SetText(text);
    else
        editor_->FillValues(record ? record->values : std::vector<std::wstring>{}, text);

    NMTVDISPINFO info;
    FillItemRecord(info.item, handle, column, TVIF_TEXT);
    info.item.pszText = const_cast<WCHAR*>(text.c_str());
    info.item.cchTextMax = static_cast<int>(text.size() + 1);
    if (Notify(info.hdr, TVN_BEGINLABELEDITA) != 0 || !items_.Get(handle) || editItem_ != handle) {
        // Refused: nothing is shown and nobody is told of an end.
        editItem_ = 0;
        editor_.reset();
        return 0;
    }

    // Over the text part of the cell.
    TreeItem& item = *items_.Get(handle);
    const int row = items_.RowOf(handle);
    const int top = headerHeight_ + (row - firstRow_) * itemHeight_;
    int left = ColumnLeft(column) - hscroll_;
    if (column == 0) left += TextStartInColumn0(item);
    const int right = ColumnRight(column) - hscroll_;
    const bool combo = editorKind != TreeListEditor::kEditBox;
    const int width = std::max(right - left, combo ? 60 : 48);
    const int height = combo ? std::max(textHeight_ + 4, editor_->Widget()->sizeHint().height()) : textHeight_ + 4;
    QWidget* widget = editor_->Widget();
    widget->setFont((item.state & TVIS_BOLD) ? boldFont_ : font_);
    widget->setGeometry(left, top + (itemHeight_ - height) / 2, width, height);
    widget->show();
    widget->setFocus(Qt::OtherFocusReason);
    if (QLineEdit* edit = editor_->LineEdit()) edit->selectAll();
    editor_->WatchChanges();
    if (typed) editor_->Type(typed);
    return reinterpret_cast<LRESULT>(editor_->Hwnd());
}

void TreeListWindow::EndEdit(int mode, bool focusBack) {
    if (!editor_ || !editItem_) {
        if (editor_ && !editItem_) editor_.reset();
        return;
    }
    const ItemIndex handle = editItem_;
    const unsigned column = editColumn_;
    const bool changed = editTextChanged_;
    const bool callback = editTextCallback_;
    const unsigned editorKind = editKind_;
    editItem_ = 0;
    editTextChanged_ = false;
    std::wstring text;
    int chosen = -1;
    if (mode != 0) {
        text = editor_->Text();
        chosen = editor_->CurrentIndex();
    }
    // The editor may be the one calling: it is hidden now and deleted once its event is over.
    retiredEditor_ = std::move(editor_);
    retiredEditor_->Widget()->hide();
    QTimer::singleShot(0, this, [this] { retiredEditor_.reset(); });

    NMTVDISPINFO info;
    FillItemRecord(info.item, handle, column, mode != 0 ? TVIF_TEXT : 0);
    if (changed) info.item.mask |= TVIF_TEXTCHANGED;
    if (mode == 2) info.item.mask |= TVIF_NEXTCOLUMN;
    info.item.pszText = mode != 0 ? text.data() : nullptr;
    info.item.cchTextMax = mode != 0 ? static_cast<int>(text.size() + 1) : 0;
    const LRESULT refused = Notify(info.hdr, TVN_ENDLABELEDITA);
    const bool giveFocus = focusBack && editorKind != TreeListEditor::kEditBox;
    if (mode == 0 || refused != 0 || !items_.Get(handle)) {
        if (giveFocus) setFocus(Qt::OtherFocusReason);
        return;
    }

    const TreeColumn* record = columns_.At(column);
    const unsigned kind = record ? record->autoEditKind : 0;
    const bool moveOn = mode == 2 && record && (record->options & TVAE_NEXTLINE) && kind != 0 && kind != TVAX_STEP;
    if (callback) {
        NMTVDISPINFO set;
        FillItemRecord(set.item, handle, column, TVIF_TEXT);
        set.item.pszText = text.data();
        set.item.cchTextMax = static_cast<int>(text.size() + 1);
        Notify(set.hdr, TVN_SETDISPINFOA);
    } else if (!moveOn || changed) {
        TVITEMW store;
        store.hItem = handle;
        store.mask = TVIF_TEXT | (column > 0 ? TVIF_SUBITEM : 0);
        store.cChildren = static_cast<int>(column);
        store.pszText = text.data();
        if (record && record->columnValue >= 0) {
            const int entry = (kind == TVAX_COMBO || kind == TVAX_CBLIST) ? chosen : FindValue(record->values, text);
            if (entry >= 0) {
                store.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
                store.iImage = store.iSelectedImage = record->columnValue + entry;
            }
        }
        SetItem(store);
    }
    if (moveOn && changed && items_.Get(handle)) {
        const int row = items_.RowOf(handle);
        const int last = static_cast<int>(items_.RowCount()) - 1;
        if (row >= 0 && row < last) MoveCaretToRow(row + 1, caretColumn_);
    }
    if (giveFocus) setFocus(Qt::OtherFocusReason);
}

void TreeListWindow::OnEditCommand(UINT code) {
    switch (code) {
    // The focus went elsewhere: accept, and leave the focus where the user put it.
    case EN_KILLFOCUS:
    case CBN_KILLFOCUS: EndEdit(1, false); break;
    case TreeListEditor::kAcceptAndMove: EndEdit(2); break;
    case TreeListEditor::kCancel: EndEdit(0); break;
    case EN_CHANGE:
    case CBN_EDITCHANGE:
    case CBN_SELCHANGE:
    case TreeListEditor::kTextSet:
        if (editItem_) editTextChanged_ = true;
        break;
    default: break;
    }
}
