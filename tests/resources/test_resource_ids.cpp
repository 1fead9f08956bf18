// Each id is defined once, under one name, and each number means one thing within its kind:
// a second name for a string, a command taken twice, a control id used twice in one dialog
// or a menu item whose command has no name fails here.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "resources/accelerators.h"
#include "resources/command_ids.h"
#include "resources/control_ids.h"
#include "resources/dialog_ids.h"
#include "resources/image_ids.h"
#include "resources/menu_ids.h"
#include "resources/menus.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace {

template <class Table>
void ExpectOneNameEachAndOneNumberEach(const Table& table, const char* kind) {
    std::map<std::string, UINT> byName;
    std::map<UINT, std::string> byValue;
    for (const res::NamedId& id : table) {
        EXPECT_TRUE(byName.emplace(id.name, id.value).second) << kind << ": " << id.name << " twice";
        const auto [it, added] = byValue.emplace(id.value, id.name);
        EXPECT_TRUE(added) << kind << ": " << id.value << " is both " << it->second << " and " << id.name;
    }
}

// The names a header defines as `inline constexpr <type> NAME = NUMBER;`, with their numbers.
std::map<std::string, long> DefinedIn(const std::string& header) {
    std::ifstream file(std::string(QB_SOURCE_DIR) + "/resources/" + header);
    EXPECT_TRUE(file) << header;
    std::stringstream text;
    text << file.rdbuf();
    const std::string body = text.str();
    static const std::regex definition(R"(inline constexpr (?:UINT|int) (\w+) = (\d+);)");
    std::map<std::string, long> names;
    for (auto it = std::sregex_iterator(body.begin(), body.end(), definition); it != std::sregex_iterator(); ++it) {
        names.emplace((*it)[1].str(), std::stol((*it)[2].str()));
    }
    return names;
}

template <class Table>
void ExpectTableListsEveryName(const Table& table, const std::string& header) {
    std::map<std::string, long> listed;
    for (const auto& id : table) listed.emplace(std::string(id.name), static_cast<long>(id.value));
    EXPECT_EQ(DefinedIn(header), listed) << header << " defines a name its table leaves out, or the reverse";
}

bool IsNamedCommand(UINT id) {
    for (const res::NamedId& command : res::kCommandIds) {
        if (command.value == id) return true;
    }
    return false;
}

void ExpectNamedCommands(std::span<const res::MenuItem> items, UINT menu) {
    for (const res::MenuItem& item : items) {
        if (item.kind == res::MenuItem::Kind::Command) {
            EXPECT_TRUE(IsNamedCommand(item.id)) << "menu " << menu << " raises unnamed command " << item.id;
        }
        ExpectNamedCommands(item.items, menu);
    }
}

TEST(ResourceIds, EachNumberHasOneNameWithinItsKind) {
    ExpectOneNameEachAndOneNumberEach(res::kStringIds, "string");
    ExpectOneNameEachAndOneNumberEach(res::kCommandIds, "command");
    ExpectOneNameEachAndOneNumberEach(res::kDialogIds, "dialog");
    ExpectOneNameEachAndOneNumberEach(res::kMenuIds, "menu");
    ExpectOneNameEachAndOneNumberEach(res::kImageIds, "image");

    // Control ids repeat across dialogs, never within one.
    std::set<std::string> names;
    std::map<std::pair<UINT, int>, std::string> inDialog;
    std::set<UINT> dialogs{0};
    for (const res::NamedId& dialog : res::kDialogIds) dialogs.insert(dialog.value);
    for (const res::NamedControlId& control : res::kControlIds) {
        EXPECT_TRUE(names.insert(std::string(control.name)).second) << control.name << " twice";
        const auto [it, added] = inDialog.emplace(std::pair{control.dialog, control.value}, control.name);
        EXPECT_TRUE(added) << "dialog " << control.dialog << ": " << control.value << " is both " << it->second
                           << " and " << control.name;
        EXPECT_TRUE(dialogs.count(control.dialog)) << control.name << " belongs to no named dialog";
    }
}

TEST(ResourceIds, EachHeaderListsEveryNameItDefines) {
    ExpectTableListsEveryName(res::kStringIds, "string_ids.h");
    ExpectTableListsEveryName(res::kCommandIds, "command_ids.h");
    ExpectTableListsEveryName(res::kDialogIds, "dialog_ids.h");
    ExpectTableListsEveryName(res::kMenuIds, "menu_ids.h");
    ExpectTableListsEveryName(res::kControlIds, "control_ids.h");
}

TEST(ResourceIds, EveryNamedStringHasItsText) {
    for (const res::NamedId& id : res::kStringIds) {
        // The default font's face is looked up and deliberately absent: the system's face is used.
        if (id.value == IDS_DEFAULT_FONT_FACE) continue;
        EXPECT_TRUE(res::FindString(id.value).has_value()) << id.name << " (" << id.value << ") has no text";
    }
    EXPECT_FALSE(res::FindString(IDS_DEFAULT_FONT_FACE).has_value());
}

TEST(ResourceIds, MenusAndKeysRaiseNamedCommands) {
    for (const res::NamedId& id : res::kMenuIds) {
        if (id.value == IDR_MAIN_FRAME) continue;  // the accelerator table, below
        const res::MenuResource* menu = res::FindMenu(id.value);
        ASSERT_NE(menu, nullptr) << id.name << " names no menu";
        ExpectNamedCommands(menu->items, id.value);
    }
    ExpectNamedCommands(res::LogMenuItems(), IDR_MAIN_FRAME);
    ExpectNamedCommands(res::CatalogMenuItems(), IDR_MAIN_FRAME);

    const auto keys = res::FindAccelerators(IDR_MAIN_FRAME);
    EXPECT_FALSE(keys.empty());
    for (const res::Accelerator& key : keys) {
        EXPECT_TRUE(IsNamedCommand(key.command)) << "key " << key.key << " raises unnamed command " << key.command;
    }
}

}  // namespace
