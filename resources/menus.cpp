#include "resources/menus.h"

#include <algorithm>

#include "resources/command_ids.h"
#include "resources/menu_ids.h"

namespace res {
namespace {

using namespace std::string_view_literals;
using Item = MenuItem;

// Notification-area icon menu.
constexpr Item kTrayItems[] = {
    Item::Command("Quarrybend Sync"sv, ID_SHOW_HIDE),
    Item::Separator(),
    Item::Command("C&heck and Sync\tCtrl+B"sv, ID_CHECK_AND_SYNC),
    Item::Command("St&op\tEsc"sv, ID_STOP),
    Item::Separator(),
    Item::Command("Run Sync Container"sv, ID_RUN_CONTAINER),
    Item::Command("&Stop All\tCtrl+Esc"sv, ID_STOP_ALL),
    Item::Separator(),
    Item::Command("&Help\tF1"sv, ID_HELP_CONTENTS),
    Item::Command("&About Sync..."sv, ID_APP_ABOUT),
    Item::Separator(),
    Item::Command("E&xit\tCtrl+X"sv, ID_EXIT),
};
constexpr Item kTray[] = {Item::Sub({}, kTrayItems)};

// The ribbon's "Styles" menu.
constexpr Item kStyleItems[] = {
    Item::Command("&Blue Style"sv, ID_STYLE_BLUE),
    Item::Command("B&lack Style"sv, ID_STYLE_BLACK),
    Item::Command("&Silver Style"sv, ID_STYLE_SILVER),
    Item::Command("&Aqua Style"sv, ID_STYLE_AQUA),
};
constexpr Item kStyles[] = {Item::Sub({}, kStyleItems)};

// The ribbon's "File Action" menu.
constexpr Item kFileActionItems[] = {
    Item::Command("Open &Left Item"sv, ID_OPEN_LEFT_ITEM),
    Item::Command("Open &Right Item"sv, ID_OPEN_RIGHT_ITEM),
    Item::Command("L&eft Item Properties"sv, ID_LEFT_ITEM_PROPERTIES),
    Item::Command("R&ight Item Properties"sv, ID_RIGHT_ITEM_PROPERTIES),
    Item::Separator(),
    Item::Command("&Delete Left Item"sv, ID_DELETE_LEFT_ITEM),
    Item::Command("De&lete Right Item"sv, ID_DELETE_RIGHT_ITEM),
    Item::Command("Delete &Both Items"sv, ID_DELETE_BOTH_ITEMS),
    Item::Separator(),
    Item::Command("Co&mpare Left and Right..."sv, ID_COMPARE_FILES),
};
constexpr Item kFileAction[] = {Item::Sub({}, kFileActionItems)};

// The item tree's right-click menu of a task window.
constexpr Item kItemTreeItems[] = {
    Item::Command("Open &Left Item"sv, ID_OPEN_LEFT_ITEM),
    Item::Command("Open &Right Item"sv, ID_OPEN_RIGHT_ITEM),
    Item::Command("L&eft Item Properties"sv, ID_LEFT_ITEM_PROPERTIES),
    Item::Command("R&ight Item Properties"sv, ID_RIGHT_ITEM_PROPERTIES),
    Item::Separator(),
    Item::Command("Co&mpare Left and Right..."sv, ID_COMPARE_FILES),
    Item::Separator(),
    Item::Command("&Delete Left Item"sv, ID_DELETE_LEFT_ITEM),
    Item::Command("De&lete Right Item"sv, ID_DELETE_RIGHT_ITEM),
    Item::Command("Delete &Both Items"sv, ID_DELETE_BOTH_ITEMS),
    Item::Separator(),
    Item::Command("Le&ft to Right"sv, ID_LEFT_TO_RIGHT),
    Item::Command("Righ&t to Left"sv, ID_RIGHT_TO_LEFT),
    Item::Command("&Copy Time to Right"sv, ID_COPY_TIME_TO_RIGHT),
    Item::Command("C&opy Time to Left"sv, ID_COPY_TIME_TO_LEFT),
    Item::Command("Change to &No Action"sv, ID_SET_NO_ACTION),
    Item::Command("&Restore Action"sv, ID_RESTORE_ACTION),
};
constexpr Item kItemTree[] = {Item::Sub({}, kItemTreeItems)};

// The application menu's "&Log" and "C&atalog" items, also in the task list's menu.
constexpr Item kLogItems[] = {
    Item::Command("Open &Right Log"sv, ID_OPEN_RIGHT_LOG),
    Item::Command("Open &Left Log"sv, ID_OPEN_LEFT_LOG),
    Item::Command("&Delete Right Log"sv, ID_DELETE_RIGHT_LOG),
    Item::Command("D&elete Left Log"sv, ID_DELETE_LEFT_LOG),
};
constexpr Item kCatalogItems[] = {
    Item::Command("Delete &Backup Folders"sv, ID_DELETE_BACKUP_FOLDERS),
    Item::Command("Delete &Catalogs"sv, ID_DELETE_CATALOGS),
};

// The task list's right-click menu.
constexpr Item kTaskItems[] = {
    Item::Command("&Rename\tF2"sv, ID_RENAME_TASK),
    Item::Command("&Copy\tCtrl+C"sv, ID_COPY_TASK),
    Item::Command("&Delete\tDel"sv, ID_DELETE_TASK),
    Item::Command("Re&set\tCtrl+D"sv, ID_RESET_TASK),
    Item::Command("S&witch Folders\tCtrl+F"sv, ID_SWITCH_FOLDERS),
    Item::Command("Task &Options\tCtrl+O"sv, ID_TASK_OPTIONS),
    Item::Separator(),
    Item::Sub("&Log"sv, kLogItems),
    Item::Sub("C&atalog"sv, kCatalogItems),
    Item::Separator(),
    Item::Command("C&heck\tCtrl+T"sv, ID_CHECK),
    Item::Command("S&ync\tCtrl+S"sv, ID_SYNC),
    Item::Command("Check a&nd Sync\tCtrl+B"sv, ID_CHECK_AND_SYNC),
    Item::Command("A&uto Check/Sync\tCtrl+A"sv, ID_AUTOMATE),
    Item::Command("Add to Sync Conta&iner"sv, ID_ADD_TO_CONTAINER),
    Item::Separator(),
    Item::Command("Sto&p\tEsc"sv, ID_STOP),
    Item::Command("Cl&ear\tCtrl+Del"sv, ID_CLEAR_SYNC_LIST),
};
constexpr Item kTask[] = {Item::Sub("&Task"sv, kTaskItems)};

// The ribbon's "More" menu of views.
constexpr Item kMoreViewsItems[] = {
    Item::Command("&Overwrite"sv, ID_DISPLAY_OVERWRITE),
    Item::Command("&Copy to Left"sv, ID_DISPLAY_COPY_TO_LEFT),
    Item::Command("Copy to &Right"sv, ID_DISPLAY_COPY_TO_RIGHT),
    Item::Command("Copy &Time To Left"sv, ID_DISPLAY_COPY_TIME_TO_LEFT),
    Item::Command("Co&py Time To Right"sv, ID_DISPLAY_COPY_TIME_TO_RIGHT),
    Item::Command("&Same Size and Different Time"sv, ID_DISPLAY_SAME_SIZE),
    Item::Command("&Excluded"sv, ID_DISPLAY_EXCLUDED),
    Item::Command("&Warning"sv, ID_DISPLAY_WARNINGS),
};
constexpr Item kMoreViews[] = {Item::Sub({}, kMoreViewsItems)};

// The ribbon's "Sync Action" menu.
constexpr Item kSyncActionItems[] = {
    Item::Command("Le&ft to Right"sv, ID_LEFT_TO_RIGHT),
    Item::Command("Righ&t to Left"sv, ID_RIGHT_TO_LEFT),
    Item::Command("&Copy Time to Right"sv, ID_COPY_TIME_TO_RIGHT),
    Item::Command("C&opy Time to Left"sv, ID_COPY_TIME_TO_LEFT),
    Item::Command("Change to &No Action"sv, ID_SET_NO_ACTION),
    Item::Command("&Restore Action"sv, ID_RESTORE_ACTION),
};
constexpr Item kSyncAction[] = {Item::Sub({}, kSyncActionItems)};

// The compare window's menu bar.
constexpr Item kCompareFileItems[] = {Item::Command("E&xit"sv, ID_COMPARE_EXIT)};
constexpr Item kCompare[] = {Item::Sub("&File"sv, kCompareFileItems)};

// Sorted by id, for the binary search.
constexpr MenuResource kMenus[] = {
    {IDR_STYLES_MENU, kStyles},        {IDR_FILE_ACTION_MENU, kFileAction},
    {IDR_ITEM_TREE_MENU, kItemTree},   {IDR_TASK_LIST_MENU, kTask},
    {IDR_MORE_VIEWS_MENU, kMoreViews}, {IDR_SYNC_ACTION_MENU, kSyncAction},
    {IDR_COMPARE_FRAME, kCompare},     {IDR_TRAY_MENU, kTray},
};

constexpr bool SortedById() {
    for (std::size_t i = 1; i < std::size(kMenus); ++i) {
        if (kMenus[i - 1].id >= kMenus[i].id) return false;
    }
    return true;
}
static_assert(SortedById(), "menus must be sorted by id for the binary search");

}  // namespace

std::span<const MenuItem> LogMenuItems() { return kLogItems; }

std::span<const MenuItem> CatalogMenuItems() { return kCatalogItems; }

const MenuResource* FindMenu(UINT id) {
    const auto it = std::lower_bound(std::begin(kMenus), std::end(kMenus), id,
                                     [](const MenuResource& m, UINT key) { return m.id < key; });
    return it != std::end(kMenus) && it->id == id ? &*it : nullptr;
}

}  // namespace res
