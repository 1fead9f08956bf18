#pragma once
// Keyboard accelerators of a frame: an AcceleratorTable from a table of resources/
// accelerators.h, installed on a frame with FrameWindow::SetAccelerators. A key pressed in
// any window of the frame (its floating panes too) is looked up before the focused widget
// sees it; when the key's command is enabled on the frame's route it is raised as
// WM_COMMAND (w = MAKELONG(id, 1)) and the widget never gets the key. A key whose command is
// disabled goes on to the focused widget. No key of the frame works while a modal dialog
// or a pop-up menu is up.
//
// A focused editable text field (an editable line edit, combo box, spin box, date edit or
// text edit, or a widget marked with SetTakesEditKeys) keeps Enter, Esc, Del, Ctrl+C,
// Ctrl+X, Ctrl+A and Ctrl+Del; other keys (F1, F2, Ctrl+N...) still raise their commands.
// A widget marked with SetTakesEnterKey (a list whose rows Enter must not act on) keeps
// Enter alone.
//
//   frame.SetAccelerators(plat::AcceleratorTable(res::FindAccelerators(IDR_MAIN_FRAME)));

#include <Qt>
#include <span>
#include <vector>

#include "resources/accelerators.h"

class QWidget;

namespace plat {

class AcceleratorTable {
public:
    AcceleratorTable() = default;
    explicit AcceleratorTable(std::span<const res::Accelerator> entries) : entries_(entries.begin(), entries.end()) {}

    // The command of a Qt key with exactly these modifiers (keypad and others aside), 0 for none.
    UINT CommandFor(int qtKey, Qt::KeyboardModifiers modifiers) const;
    bool Empty() const { return entries_.empty(); }

private:
    std::vector<res::Accelerator> entries_;
};

// The res::kShift, kControl and kAlt flags of Qt's modifiers.
BYTE ModifierFlags(Qt::KeyboardModifiers modifiers);
// The virtual-key code of a Qt key, 0 for keys the tables do not name.
WORD VirtualKeyOf(int qtKey);
// Whether an editable text field keeps this key from the frame.
bool IsEditKey(WORD virtualKey, BYTE modifiers);
// Whether `focus` is an editable text field (or marked as taking the edit keys).
bool TakesEditKeys(const QWidget* focus);
// Marks an editor that is no text field (a drop-down list in place) as one.
void SetTakesEditKeys(QWidget* widget);
// Whether `focus` (or a widget it lies in) keeps Enter from the frame.
bool TakesEnterKey(const QWidget* focus);
void SetTakesEnterKey(QWidget* widget);

}  // namespace plat
