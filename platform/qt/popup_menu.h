#pragma once
// Menus from menu resources (resources/menus.h), with their items' states asked of the
// owner window's command route (CommandTarget::UpdateCommandUI) each time they open: a
// command nothing handles is grey; the update handler's check, radio and text show. A
// chosen item reaches the owner as WM_COMMAND (w = its id).
//
//   // A context menu at the cursor; the frame gets WM_COMMAND ID_STOP when "St&op" is chosen.
//   plat::TrackPopupMenu(res::FindMenu(IDR_TRAY_MENU)->SubMenu(0), QCursor::pos(), frame.GetSafeHwnd(),
//                        {.defaultId = ID_SHOW_HIDE});
//   // A menu bar (FrameWindow::SetMenu does this).
//   plat::FillMenuBar(frame.menuBar(), *res::FindMenu(IDR_COMPARE_FRAME), frame.GetSafeHwnd());
//   // A drop-down menu of a button, owned by the button.
//   QMenu* menu = plat::MakeCommandMenu(items, frame.GetSafeHwnd(), button);

#include <QPoint>
#include <span>

#include "platform/core/win_types.h"

class QMenu;
class QMenuBar;
class QWidget;

namespace res {
struct MenuItem;
struct MenuResource;
}  // namespace res

namespace plat {

struct PopupMenuOptions {
    UINT defaultId = 0;          // the item drawn bold (0: none)
    bool returnCommand = false;  // only return the chosen id, send nothing
};

// Shows the menu at `screenPos` and waits until it closes. Returns the chosen id (0 when
// the menu was left without a choice); unless `returnCommand`, the owner then gets
// WM_COMMAND with it.
UINT TrackPopupMenu(std::span<const res::MenuItem> items, const QPoint& screenPos, HWND owner,
                    const PopupMenuOptions& options = {});

// A menu of the items whose states follow the owner's route and whose choices are sent
// to the owner as WM_COMMAND. `parent` owns the menu.
QMenu* MakeCommandMenu(std::span<const res::MenuItem> items, HWND owner, QWidget* parent);

// Appends the items to `menu`, with states and choices as MakeCommandMenu's.
void AddCommandItems(QMenu* menu, std::span<const res::MenuItem> items, HWND owner);

// Replaces the bar's menus with the resource's sub-menus.
void FillMenuBar(QMenuBar* bar, const res::MenuResource& menu, HWND owner);

// Asks the owner's route for the state of every command item of `menu` (not of its
// sub-menus, which ask when they open). Menus made here do this when they open.
void UpdateMenuItems(QMenu* menu, HWND owner);

}  // namespace plat
