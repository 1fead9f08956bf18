#pragma once
// The ids of the program's menus (resources/menus.h) and of its accelerator table
// (resources/accelerators.h), each under one name.
//
//   plat::TrackPopupMenu(res::FindMenu(IDR_TRAY_MENU)->SubMenu(0), QCursor::pos(), frame);

#include "platform/core/win_types.h"
#include "resources/resource_id.h"

inline constexpr UINT IDR_MAIN_FRAME = 128;         // the main window: its accelerator table and document template
inline constexpr UINT IDR_TRAY_MENU = 33000;        // the tray icon's menu
inline constexpr UINT IDR_TASK_LIST_MENU = 4062;    // the task list's right-click menu
inline constexpr UINT IDR_ITEM_TREE_MENU = 4061;    // the right-click menu of a task window's items
inline constexpr UINT IDR_FILE_ACTION_MENU = 4060;  // the ribbon's "File Action" menu
inline constexpr UINT IDR_SYNC_ACTION_MENU = 4064;  // the ribbon's "Sync Action" menu
inline constexpr UINT IDR_MORE_VIEWS_MENU = 4063;   // the ribbon's "More" menu of views
inline constexpr UINT IDR_STYLES_MENU = 200;        // the ribbon's "Styles" menu
inline constexpr UINT IDR_COMPARE_FRAME = 7007;     // the compare window: its menu bar

namespace res {

// Every name above, for the tests.
inline constexpr NamedId kMenuIds[] = {
    {"IDR_MAIN_FRAME", IDR_MAIN_FRAME},
    {"IDR_TRAY_MENU", IDR_TRAY_MENU},
    {"IDR_TASK_LIST_MENU", IDR_TASK_LIST_MENU},
    {"IDR_ITEM_TREE_MENU", IDR_ITEM_TREE_MENU},
    {"IDR_FILE_ACTION_MENU", IDR_FILE_ACTION_MENU},
    {"IDR_SYNC_ACTION_MENU", IDR_SYNC_ACTION_MENU},
    {"IDR_MORE_VIEWS_MENU", IDR_MORE_VIEWS_MENU},
    {"IDR_STYLES_MENU", IDR_STYLES_MENU},
    {"IDR_COMPARE_FRAME", IDR_COMPARE_FRAME},
};

}  // namespace res
