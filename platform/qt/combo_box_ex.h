#pragma once
// The editable combo box with images, as a message window: the program fills and reads
// it with the platform's CB_* and CBEM_* messages and WM_SETTEXT/WM_GETTEXT (wide
// text), and it tells its parent of changes with WM_COMMAND (id in the low word, the
// notification code in the high word, its own HWND as lParam).
//
// CBN_DROPDOWN reaches the parent before the list opens, so the parent may fill it
// first. CBN_SELCHANGE means an entry was picked from the open list: Enter over a text
// that equals an entry, the wheel or the arrow keys on the closed box only edit the text.
// CBEM_GETEDITCONTROL gives the edit field as a window of its own.

#include <QComboBox>
#include <functional>
#include <memory>

#include "platform/core/gui_services.h"
#include "platform/qt/message_window.h"

class QIcon;

namespace plat {

class ComboBoxEx : public QComboBox, public MessageWindow {
public:
    ComboBoxEx(QWidget* parent, UINT id);
    ~ComboBoxEx() override;

    UINT ControlId() const { return id_; }
    // Where item images come from (image index -> icon); items show no image without it.
    void SetImageSource(std::function<QIcon(int)> source) { imageSource_ = std::move(source); }

    void showPopup() override;
    void hidePopup() override;

private:
    class EditWindow;

    LRESULT OnInsertItem(WPARAM, LPARAM item);
    LRESULT OnSetItem(WPARAM, LPARAM item);
    LRESULT OnGetItem(WPARAM, LPARAM item);
    LRESULT OnDeleteString(WPARAM index, LPARAM);
    LRESULT OnGetCount(WPARAM, LPARAM);
    LRESULT OnGetCurSel(WPARAM, LPARAM);
    LRESULT OnSetCurSel(WPARAM index, LPARAM);
    LRESULT OnResetContent(WPARAM, LPARAM);
    LRESULT OnGetLbText(WPARAM index, LPARAM buffer);
    LRESULT OnGetLbTextLen(WPARAM index, LPARAM);
    LRESULT OnSetText(WPARAM, LPARAM text);
    LRESULT OnGetText(WPARAM size, LPARAM buffer);
    LRESULT OnGetTextLength(WPARAM, LPARAM);
    LRESULT OnLimitText(WPARAM limit, LPARAM);
    LRESULT OnShowDropDown(WPARAM show, LPARAM);
    LRESULT OnGetEditControl(WPARAM, LPARAM);

    void Notify(UINT code);
    void ApplyItem(int index, const COMBOBOXEXITEMW& item);

    UINT id_;
    std::function<QIcon(int)> imageSource_;
    bool settingText_ = false;
    // The list is open, or has just closed on a pick that is being reported.
    bool listOpen_ = false;
    std::unique_ptr<EditWindow> editWindow_;
};

}  // namespace plat
