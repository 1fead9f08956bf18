#pragma once
// The in-place editor of a TreeList: an edit box, a combo box with free text or a drop-down
// list (child id 3). It is a message window of its own, as the platform's edit controls
// are: it answers WM_SETTEXT / WM_GETTEXT (wide text), and Enter, Escape and the loss of the focus
// reach the tree list as WM_COMMAND codes.

#include <QPointer>
#include <string>
#include <vector>

#include "platform/qt/message_window.h"

class QComboBox;
class QLineEdit;
class QWidget;
class TreeListWindow;

class TreeListEditor : public plat::MessageWindow {
public:
    // Editor kinds.
    static constexpr unsigned kEditBox = 0;
    static constexpr unsigned kComboBox = 1;
    static constexpr unsigned kDropList = 2;

    // Command codes the editor sends to the tree list besides the edit and combo codes.
    static constexpr unsigned kAcceptAndMove = 0x1578;
    static constexpr unsigned kCancel = 0x1579;
    static constexpr unsigned kTextSet = 0x1000;

    TreeListEditor(TreeListWindow& owner, unsigned kind, bool rightAligned);
    // Hides the widget and lets Qt delete it once the events in progress are done.
    ~TreeListEditor() override;

    HWND Hwnd() const { return GetSafeHwnd(); }
    QWidget* Widget() const;
    QLineEdit* LineEdit() const;  // the edit box, or the combo box's edit part
    QComboBox* Combo() const;
    unsigned Kind() const { return kind_; }

    // Fills a combo box and selects the entry equal to `current` (a drop-down list selects
    // its first entry when none is).
    void FillValues(const std::vector<std::wstring>& values, std::wstring_view current);
    void SetText(std::wstring_view text);
    std::wstring Text() const;  // at most 259 characters
    int CurrentIndex() const;
    // Replaces the selection with a typed character.
    void Type(wchar_t ch);
    // Starts reporting text changes to the tree list (after the first text is set).
    void WatchChanges();

    // Whether `object` is the editor widget or one of its children.
    bool Owns(const QObject* object) const;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Command(unsigned code);

    TreeListWindow& owner_;
    unsigned kind_;
};
