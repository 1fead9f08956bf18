#include "platform/qt/combo_box_ex.h"

#include <QAbstractItemView>
#include <QIcon>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "platform/core/text.h"

namespace plat {

namespace {

constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kSelectedImageRole = Qt::UserRole + 2;
constexpr int kParamRole = Qt::UserRole + 3;
constexpr int kIndentRole = Qt::UserRole + 4;

QString ToQString(const wchar_t* text) { return text ? QString::fromStdWString(std::wstring(text)) : QString(); }

// Copies `text` into a caller's buffer of `size` wide characters, always terminated.
// Returns the characters copied without the terminator.
int CopyOut(const QString& text, wchar_t* buffer, size_t size) {
    if (!buffer || size == 0) return 0;
    const std::wstring wide = text.toStdWString();
    const size_t count = std::min(wide.size(), size - 1);
    std::wmemcpy(buffer, wide.data(), count);
    buffer[count] = L'\0';
    return static_cast<int>(count);
}

}  // namespace

// The edit field as a window: it has no behaviour of its own, so that code that attaches
// to the edit of a combo box has a window to name.
class ComboBoxEx::EditWindow : public MessageWindow {
public:
    explicit EditWindow(QLineEdit* edit) : MessageWindow(edit) {}
};

ComboBoxEx::ComboBoxEx(QWidget* parent, UINT id) : QComboBox(parent), MessageWindow(this), id_(id) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    MapMessage(CBEM_INSERTITEMW, &ComboBoxEx::OnInsertItem);
    MapMessage(CBEM_SETITEMW, &ComboBoxEx::OnSetItem);
    MapMessage(CBEM_GETITEMW, &ComboBoxEx::OnGetItem);
    MapMessage(CB_DELETESTRING, &ComboBoxEx::OnDeleteString);
    MapMessage(CB_GETCOUNT, &ComboBoxEx::OnGetCount);
    MapMessage(CB_GETCURSEL, &ComboBoxEx::OnGetCurSel);
    MapMessage(CB_SETCURSEL, &ComboBoxEx::OnSetCurSel);
    MapMessage(CB_RESETCONTENT, &ComboBoxEx::OnResetContent);
    MapMessage(CB_GETLBTEXT, &ComboBoxEx::OnGetLbText);
    MapMessage(CB_GETLBTEXTLEN, &ComboBoxEx::OnGetLbTextLen);
    MapMessage(WM_SETTEXT, &ComboBoxEx::OnSetText);
    MapMessage(WM_GETTEXT, &ComboBoxEx::OnGetText);
    MapMessage(WM_GETTEXTLENGTH, &ComboBoxEx::OnGetTextLength);
    MapMessage(CB_LIMITTEXT, &ComboBoxEx::OnLimitText);
    MapMessage(CB_SHOWDROPDOWN, &ComboBoxEx::OnShowDropDown);
    MapMessage(CBEM_GETEDITCONTROL, &ComboBoxEx::OnGetEditControl);
    if (lineEdit()) editWindow_ = std::make_unique<EditWindow>(lineEdit());

    // Qt also reports Enter over a matching text, the wheel and the arrow keys as
    // "activated"; only a pick from the open list is a choice.
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int) {
        if (!listOpen_) return;
        listOpen_ = false;
        Notify(CBN_SELCHANGE);
    });
    connect(this, &QComboBox::editTextChanged, this, [this](const QString&) {
        if (!settingText_) Notify(CBN_EDITCHANGE);
    });
}

ComboBoxEx::~ComboBoxEx() = default;

void ComboBoxEx::showPopup() {
    Notify(CBN_DROPDOWN);
    listOpen_ = true;
    QComboBox::showPopup();
}

void ComboBoxEx::hidePopup() {
    QComboBox::hidePopup();
    // A pick is reported after the list has closed, within the same event; anything later
    // is no pick.
    QTimer::singleShot(0, this, [this] {
        if (!view()->isVisible()) listOpen_ = false;
    });
}

void ComboBoxEx::Notify(UINT code) {
    const HWND parent = GetParent(GetSafeHwnd());
    if (!parent) return;
    SendMessage(parent, WM_COMMAND, MAKELONG(static_cast<WORD>(id_), static_cast<WORD>(code)),
                reinterpret_cast<LPARAM>(GetSafeHwnd()));
}

void ComboBoxEx::ApplyItem(int index, const COMBOBOXEXITEMW& item) {
    if (item.mask & CBEIF_TEXT) setItemText(index, ToQString(item.pszText));
    if (item.mask & CBEIF_IMAGE) {
        setItemData(index, item.iImage, kImageRole);
        if (imageSource_) setItemIcon(index, imageSource_(item.iImage));
    }
    if (item.mask & CBEIF_SELECTEDIMAGE) setItemData(index, item.iSelectedImage, kSelectedImageRole);
    if (item.mask & CBEIF_INDENT) setItemData(index, item.iIndent, kIndentRole);
    if (item.mask & CBEIF_LPARAM) setItemData(index, QVariant::fromValue<qlonglong>(item.lParam), kParamRole);
}

LRESULT ComboBoxEx::OnInsertItem(WPARAM, LPARAM l) {
    const auto* item = reinterpret_cast<const COMBOBOXEXITEMW*>(l);
    if (!item) return CB_ERR;
    int index = static_cast<int>(item->iItem);
    if (index < 0 || index > count()) index = count();
    settingText_ = true;
    const QString saved = currentText();
    const bool noSelection = currentIndex() < 0;
    insertItem(index, QString());
    ApplyItem(index, *item);
    // Qt selects the first entry of an empty list; an insert selects nothing.
    if (noSelection) setCurrentIndex(-1);
    setEditText(saved);
    settingText_ = false;
    return index;
}

LRESULT ComboBoxEx::OnSetItem(WPARAM, LPARAM l) {
    const auto* item = reinterpret_cast<const COMBOBOXEXITEMW*>(l);
    if (!item) return FALSE;
    if (item->iItem == -1) {
        if (item->mask & CBEIF_TEXT) OnSetText(0, reinterpret_cast<LPARAM>(item->pszText));
        return TRUE;
    }
    if (item->iItem < 0 || item->iItem >= count()) return FALSE;
    ApplyItem(static_cast<int>(item->iItem), *item);
    return TRUE;
}

LRESULT ComboBoxEx::OnGetItem(WPARAM, LPARAM l) {
    auto* item = reinterpret_cast<COMBOBOXEXITEMW*>(l);
    if (!item) return FALSE;
    const int index = static_cast<int>(item->iItem);
    const bool edit = index == -1;
    if (!edit && (index < 0 || index >= count())) return FALSE;
    if (item->mask & CBEIF_TEXT) {
        CopyOut(edit ? currentText() : itemText(index), item->pszText,
                static_cast<size_t>(std::max(item->cchTextMax, 0)));
    }
    if (!edit) {
        if (item->mask & CBEIF_IMAGE) item->iImage = itemData(index, kImageRole).toInt();
        if (item->mask & CBEIF_SELECTEDIMAGE) item->iSelectedImage = itemData(index, kSelectedImageRole).toInt();
        if (item->mask & CBEIF_INDENT) item->iIndent = itemData(index, kIndentRole).toInt();
        if (item->mask & CBEIF_LPARAM) item->lParam = static_cast<LPARAM>(itemData(index, kParamRole).toLongLong());
    }
    return TRUE;
}

LRESULT ComboBoxEx::OnDeleteString(WPARAM index, LPARAM) {
    if (index >= static_cast<WPARAM>(count())) return CB_ERR;
    // Qt moves the selection, and with it the text, when the selected entry goes; the
    // text stays as it was.
    settingText_ = true;
    const QString saved = currentText();
    removeItem(static_cast<int>(index));
    setEditText(saved);
    settingText_ = false;
    return count();
}

LRESULT ComboBoxEx::OnGetCount(WPARAM, LPARAM) { return count(); }

LRESULT ComboBoxEx::OnGetCurSel(WPARAM, LPARAM) { return currentIndex() < 0 ? CB_ERR : currentIndex(); }

LRESULT ComboBoxEx::OnSetCurSel(WPARAM index, LPARAM) {
    const auto wanted = static_cast<std::intptr_t>(index);
    settingText_ = true;
    if (wanted < 0 || wanted >= count()) {
        setCurrentIndex(-1);
        setEditText(QString());
        settingText_ = false;
        return CB_ERR;
    }
    setCurrentIndex(static_cast<int>(wanted));
    settingText_ = false;
    return wanted;
}

LRESULT ComboBoxEx::OnResetContent(WPARAM, LPARAM) {
    settingText_ = true;
    clear();
    settingText_ = false;
    return 0;
}

LRESULT ComboBoxEx::OnGetLbText(WPARAM index, LPARAM buffer) {
    if (index >= static_cast<WPARAM>(count()) || !buffer) return CB_ERR;
    // The caller's buffer is sized from CB_GETLBTEXTLEN, so it holds the text and its NUL.
    const std::wstring text = itemText(static_cast<int>(index)).toStdWString();
    auto* out = reinterpret_cast<wchar_t*>(buffer);
    std::wmemcpy(out, text.data(), text.size());
    out[text.size()] = L'\0';
    return static_cast<LRESULT>(text.size());
}

LRESULT ComboBoxEx::OnGetLbTextLen(WPARAM index, LPARAM) {
    if (index >= static_cast<WPARAM>(count())) return CB_ERR;
    return static_cast<LRESULT>(itemText(static_cast<int>(index)).toStdWString().size());
}

LRESULT ComboBoxEx::OnSetText(WPARAM, LPARAM text) {
    settingText_ = true;
    setCurrentIndex(-1);
    setEditText(ToQString(reinterpret_cast<const wchar_t*>(text)));
    settingText_ = false;
    return TRUE;
}

LRESULT ComboBoxEx::OnGetText(WPARAM size, LPARAM buffer) {
    return CopyOut(currentText(), reinterpret_cast<wchar_t*>(buffer), size);
}

LRESULT ComboBoxEx::OnGetTextLength(WPARAM, LPARAM) {
    return static_cast<LRESULT>(currentText().toStdWString().size());
}

LRESULT ComboBoxEx::OnLimitText(WPARAM limit, LPARAM) {
    if (lineEdit()) lineEdit()->setMaxLength(limit == 0 ? 32767 : static_cast<int>(std::min<WPARAM>(limit, 32767)));
    return TRUE;
}

LRESULT ComboBoxEx::OnShowDropDown(WPARAM show, LPARAM) {
    if (show)
        showPopup();
    else
        hidePopup();
    return TRUE;
}

LRESULT ComboBoxEx::OnGetEditControl(WPARAM, LPARAM) {
    return editWindow_ ? reinterpret_cast<LRESULT>(editWindow_->GetSafeHwnd()) : 0;
}

}  // namespace plat
