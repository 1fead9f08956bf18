#pragma once
// The program's menus as tables. An item is a command (its text with the "&" mark of its
// key letter and, after "\t", the key shown on the right; and its command id), a
// separator, or a sub-menu with items of its own. A menu bar resource lists its
// sub-menus ("&File", ...); a pop-up menu resource is shown through its first sub-menu.
//
//   const res::MenuResource* tray = res::FindMenu(IDR_TRAY_MENU);
//   plat::TrackPopupMenu(tray->SubMenu(0), QCursor::pos(), frame.GetSafeHwnd());

#include <span>
#include <string_view>

#include "platform/core/win_types.h"

namespace res {

struct MenuItem {
    enum class Kind { Command, Separator, SubMenu };

    Kind kind = Kind::Separator;
    std::string_view text;
    UINT id = 0;
    std::span<const MenuItem> items;  // a sub-menu's items

    static constexpr MenuItem Command(std::string_view text, UINT id) { return {Kind::Command, text, id, {}}; }
    static constexpr MenuItem Separator() { return {}; }
    static constexpr MenuItem Sub(std::string_view text, std::span<const MenuItem> items) {
        return {Kind::SubMenu, text, 0, items};
    }
};

struct MenuResource {
    UINT id = 0;
    std::span<const MenuItem> items;

    // The items of sub-menu `index`; empty when there is no such sub-menu.
    std::span<const MenuItem> SubMenu(std::size_t index) const {
        if (index >= items.size() || items[index].kind != MenuItem::Kind::SubMenu) return {};
        return items[index].items;
    }
};

// The items of the application menu's "&Log" and "C&atalog" sub-menus, which the task
// list's menu (4062) shows too.
std::span<const MenuItem> LogMenuItems();
std::span<const MenuItem> CatalogMenuItems();

// The menu resource `id`, or null when the program has none of that id.
const MenuResource* FindMenu(UINT id);

}  // namespace res
