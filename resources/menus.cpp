#include "resources/menus.h"

#include <algorithm>

namespace res {
namespace {

using namespace std::string_view_literals;
using Item = MenuItem;

// Notification-area icon menu.
constexpr Item kTrayItems[] = {
    Item::Command("Quarrybend Sync"sv, 32918),
    Item::Separator(),
    Item::Command("C&heck and Sync\tCtrl+B"sv, 5126),
    Item::Command("St&op\tEsc"sv, 41076),
    Item::Separator(),
    Item::Command("Run Sync Container"sv, 5136),
    Item::Command("&Stop All\tCtrl+Esc"sv, 5104),
    Item::Separator(),
    Item::Command("&Help\tF1"sv, 57670),
    Item::Command("&About Sync..."sv, 57664),
    Item::Separator(),
    Item::Command("E&xit\tCtrl+X"sv, 32924),
};
constexpr Item kTray[] = {Item::Sub({}, kTrayItems)};

// The ribbon's "Styles" menu.
constexpr Item kStyleItems[] = {
    Item::Command("&Blue Style"sv, 215),
    Item::Command("B&lack Style"sv, 216),
    Item::Command("&Silver Style"sv, 217),
    Item::Command("&Aqua Style"sv, 218),
};
constexpr Item kStyles[] = {Item::Sub({}, kStyleItems)};

// The ribbon's "File Action" menu.
constexpr Item kFileActionItems[] = {
    Item::Command("Open &Left Item"sv, 5026),
    Item::Command("Open &Right Item"sv, 5028),
    Item::Command("L&eft Item Properties"sv, 5077),
    Item::Command("R&ight Item Properties"sv, 5078),
    Item::Separator(),
    Item::Command("&Delete Left Item"sv, 5070),
    Item::Command("De&lete Right Item"sv, 5071),
    Item::Command("Delete &Both Items"sv, 5072),
    Item::Separator(),
    Item::Command("Co&mpare Left and Right..."sv, 32833),
};
constexpr Item kFileAction[] = {Item::Sub({}, kFileActionItems)};

// The item tree's right-click menu of a task window.
constexpr Item kItemTreeItems[] = {
    Item::Command("Open &Left Item"sv, 5026),
    Item::Command("Open &Right Item"sv, 5028),
    Item::Command("L&eft Item Properties"sv, 5077),
    Item::Command("R&ight Item Properties"sv, 5078),
    Item::Separator(),
    Item::Command("Co&mpare Left and Right..."sv, 32833),
    Item::Separator(),
    Item::Command("&Delete Left Item"sv, 5070),
    Item::Command("De&lete Right Item"sv, 5071),
    Item::Command("Delete &Both Items"sv, 5072),
    Item::Separator(),
    Item::Command("Le&ft to Right"sv, 5095),
    Item::Command("Righ&t to Left"sv, 5094),
    Item::Command("&Copy Time to Right"sv, 5090),
    Item::Command("C&opy Time to Left"sv, 5091),
    Item::Command("Change to &No Action"sv, 5076),
    Item::Command("&Restore Action"sv, 4),
};
constexpr Item kItemTree[] = {Item::Sub({}, kItemTreeItems)};

// The application menu's "&Log" and "C&atalog" items, also in the task list's menu.
constexpr Item kLogItems[] = {
    Item::Command("Open &Right Log"sv, 5035),
    Item::Command("Open &Left Log"sv, 5034),
    Item::Command("&Delete Right Log"sv, 5058),
    Item::Command("D&elete Left Log"sv, 5059),
};
constexpr Item kCatalogItems[] = {
    Item::Command("Delete &Backup Folders"sv, 5061),
    Item::Command("Delete &Catalogs"sv, 5063),
};

// The task list's right-click menu.
constexpr Item kTaskItems[] = {
    Item::Command("&Rename\tF2"sv, 32798),
    Item::Command("&Copy\tCtrl+C"sv, 5021),
    Item::Command("&Delete\tDel"sv, 8487),
    Item::Command("Re&set\tCtrl+D"sv, 5065),
    Item::Command("S&witch Folders\tCtrl+F"sv, 5067),
    Item::Command("Task &Options\tCtrl+O"sv, 5043),
    Item::Separator(),
    Item::Sub("&Log"sv, kLogItems),
    Item::Sub("C&atalog"sv, kCatalogItems),
    Item::Separator(),
    Item::Command("C&heck\tCtrl+T"sv, 5023),
    Item::Command("S&ync\tCtrl+S"sv, 32813),
    Item::Command("Check a&nd Sync\tCtrl+B"sv, 5126),
    Item::Command("A&uto Check/Sync\tCtrl+A"sv, 5029),
    Item::Command("Add to Sync Conta&iner"sv, 5123),
    Item::Separator(),
    Item::Command("Sto&p\tEsc"sv, 41076),
    Item::Command("Cl&ear\tCtrl+Del"sv, 8805),
};
constexpr Item kTask[] = {Item::Sub("&Task"sv, kTaskItems)};

// The ribbon's "More" menu of views.
constexpr Item kMoreViewsItems[] = {
    Item::Command("&Overwrite"sv, 5081),
    Item::Command("&Copy to Left"sv, 5084),
    Item::Command("Copy to &Right"sv, 5083),
    Item::Command("Copy &Time To Left"sv, 5086),
    Item::Command("Co&py Time To Right"sv, 5085),
    Item::Command("&Same Size and Different Time"sv, 5098),
    Item::Command("&Excluded"sv, 5087),
    Item::Command("&Warning"sv, 5100),
};
constexpr Item kMoreViews[] = {Item::Sub({}, kMoreViewsItems)};

// The ribbon's "Sync Action" menu.
constexpr Item kSyncActionItems[] = {
    Item::Command("Le&ft to Right"sv, 5095),
    Item::Command("Righ&t to Left"sv, 5094),
    Item::Command("&Copy Time to Right"sv, 5090),
    Item::Command("C&opy Time to Left"sv, 5091),
    Item::Command("Change to &No Action"sv, 5076),
    Item::Command("&Restore Action"sv, 4),
};
constexpr Item kSyncAction[] = {Item::Sub({}, kSyncActionItems)};

// The compare window's menu bar.
constexpr Item kCompareFileItems[] = {Item::Command("E&xit"sv, 5101)};
constexpr Item kCompare[] = {Item::Sub("&File"sv, kCompareFileItems)};

// Sorted by id.
constexpr MenuResource kMenus[] = {
    {200, kStyles},       {4060, kFileAction}, {4061, kItemTree}, {4062, kTask}, {4063, kMoreViews},
    {4064, kSyncAction},  {7007, kCompare},    {33000, kTray},
};

}  // namespace

std::span<const MenuItem> LogMenuItems() { return kLogItems; }

std::span<const MenuItem> CatalogMenuItems() { return kCatalogItems; }

const MenuResource* FindMenu(UINT id) {
    const auto it = std::lower_bound(std::begin(kMenus), std::end(kMenus), id,
                                     [](const MenuResource& m, UINT key) { return m.id < key; });
    return it != std::end(kMenus) && it->id == id ? &*it : nullptr;
}

}  // namespace res
