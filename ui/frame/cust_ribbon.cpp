#include "ui/frame/cust_ribbon.h"

#include "foundation/resource_strings.h"
#include "platform/qt/resource_images.h"
#include "resources/image_ids.h"
#include "resources/menus.h"
#include "ui/frame/strip_images.h"

namespace {

using E = plat::RibbonElement;
using M = plat::RibbonMenuEntry;
using Item = res::MenuItem;

constexpr UINT IDS_APP_BUTTON_TIP = 11285;
constexpr UINT IDS_HOME = 11304;
constexpr UINT IDS_TOOLS_CATEGORY = 11311;
constexpr UINT IDS_VIEW_PANEL = 11312;
constexpr UINT IDS_ACTION_PANEL = 11322;
constexpr UINT IDS_CLEAR = 11328;
constexpr UINT IDS_GROUP_PANEL = 11329;
constexpr UINT IDS_TOOLS_PANEL = 11333;
constexpr UINT IDS_STYLES = 11338;
constexpr UINT IDS_STOP = 11358;

constexpr UINT ID_CLEAR = 8805;
constexpr UINT ID_STOP = 41076;
constexpr int kClearImage = 12;
constexpr int kStopImage = 11;
constexpr int kClearPlace = 7;  // Clear is the Action panel's eighth element

constexpr Item kTemplateItems[] = {
    Item::Command("Photos", 5157),  Item::Command("Documents", 5153), Item::Command("Favorites", 5152),
    Item::Command("Videos", 5155),  Item::Command("Music", 5156),     Item::Command("WinMail", 5158),
    Item::Command("Outlook", 5146), Item::Command("Registry", 5154),  Item::Separator(),
    Item::Command("More...", 43943),
};

QPixmap Bitmap(int id) { return QPixmap::fromImage(plat::LoadBitmapResource(id)); }

std::span<const Item> Menu(UINT id) {
    const res::MenuResource* menu = res::FindMenu(id);
    return menu ? menu->SubMenu(0) : std::span<const Item>();
}

}  // namespace

CCustRibbon::CCustRibbon(plat::FrameWindow* frame) : plat::RibbonBar(frame) {}

void CCustRibbon::Build() {
    SetImages(StripImages(res::kRibbonSmallImages, 16), StripImages(res::kRibbonLargeImages, 32));
    SetApplicationButton(Bitmap(res::kApplicationButtonImage), Bitmap(res::kApplicationButtonHotImage),
                         Bitmap(res::kApplicationButtonPressedImage), LoadResString(IDS_APP_BUTTON_TIP));
    BuildApplicationMenu();
    BuildHome();
    BuildTools();
    BuildTabRow();
    SetQuickAccessCommands({{32812, "New Task", 1, true},
                            {5021, "Copy", 14, false},
                            {32798, "Rename", 17, false},
                            {8487, "Delete Task", 10, true},
                            {5065, "Reset", 24, false},
                            {5067, "Switch Folders", 21, false},
                            {5043, "Task Options", 19, false},
                            {5023, "Check", 3, true},
                            {32813, "Sync", 2, true},
                            {5029, "Auto", 9, false},
                            {8805, "Clear", 12, false},
                            {5108, "Sync Container", 20, false}});
    showsClear_ = true;
}

void CCustRibbon::BuildApplicationMenu() {
    SetApplicationMenu({
        M::Command("&New", 32812, 1),
        M::SubMenu("Task Templates", 7019, 16, "Task Templates  ", kTemplateItems),
        M::Separator(),
        M::Command("&Copy", 5021, 14),
        M::Command("&Rename", 32798, 17),
        M::Command("R&emove", 8487, 10),
        M::Command("Re&set", 5065, 24),
        M::Separator(),
        M::Command("&Switch Folders", 5067, 21),
        M::Command("Task &Options", 5043, 19),
        M::Separator(),
        M::SubMenu("&Log", 7011, 16, "Show or delete log files", res::LogMenuItems()),
        M::SubMenu("C&atalog", 7009, -1, "Delete catalog files or backup folders on both sides", res::CatalogMenuItems()),
        M::Separator(),
        M::Command("&Exit", 32924, 10),
    });
}

void CCustRibbon::BuildHome() {
    home_ = AddCategory(LoadResString(IDS_HOME));
    const int view = AddPanel(home_, LoadResString(IDS_VIEW_PANEL));
    AddElement(home_, view, E::CheckBox("All", 5039));
    AddElement(home_, view, E::CheckBox("Changes", 5038));
    AddElement(home_, view, E::CheckBox("Conflicts", 5040));
    AddElement(home_, view, E::CheckBox("Errors", 5041));
    AddElement(home_, view, E::CheckBox("New", 5080));
    AddElement(home_, view, E::CheckBox("Delete", 5082));
    AddElement(home_, view, E::Menu("More", 7010, 26, Menu(4063), false));
    AddElement(home_, view, E::CheckBox("Status Bar", 59393));
    AddElement(home_, view, E::CheckBox("Caption Bar", 5019));

    action_ = AddPanel(home_, LoadResString(IDS_ACTION_PANEL));
    AddElement(home_, action_, E::Button("Check", 5023, 3));
    AddElement(home_, action_, E::Button("Sync", 32813, 2));
    AddElement(home_, action_, E::Button("Check && Sync", 5126, 27));
    AddElement(home_, action_, E::Button("Auto", 5029, 9));
    AddElement(home_, action_, E::Menu("File Action", 7012, 18, Menu(4060)));
    AddElement(home_, action_, E::Menu("Sync Action", 7014, 25, Menu(4064)));
    AddElement(home_, action_, E::Button("Select A&ll", 5160, 28));
    AddElement(home_, action_, E::Button(LoadResString(IDS_CLEAR), ID_CLEAR, kClearImage));
}

void CCustRibbon::BuildTools() {
    const int tools = AddCategory(LoadResString(IDS_TOOLS_CATEGORY));
    const int group = AddPanel(tools, LoadResString(IDS_GROUP_PANEL));
    AddElement(tools, group, E::Button("Sync Container", 5108, 20));
    AddElement(tools, group, E::Button("Stop All", 5104, 11));
    AddElement(tools, group, E::Button("Clear All", 43976, 12));
    const int panel = AddPanel(tools, LoadResString(IDS_TOOLS_PANEL));
    AddElement(tools, panel, E::Button("Delete History", 5068, 22));
    AddElement(tools, panel, E::Button("Export", 5110, 15));
    AddElement(tools, panel, E::Button("Import", 5109, 13));
    AddElement(tools, panel, E::Button("Default options", 32780, 4));
    // The way to print the list of the page that is shown.
    AddElement(tools, panel, E::Button("Print", 57608, 29));
}

void CCustRibbon::BuildTabRow() {
    E styles = E::Menu(LoadResString(IDS_STYLES), 0, -1, Menu(200), false);
    styles.tooltip = "Change Style";
    styles.description = "Choose Style";
    AddTabRowElement(styles);
    AddTabRowElement(E::Button("Check Update", 8788, 23, false));
    AddTabRowElement(E::Button("About", 57664, 6, false));
    AddTabRowElement(E::Button("Help", 57670, 5, false));
}

void CCustRibbon::OnBusyState(WPARAM running) {
    if (running == 1 && showsClear_) {
        showsClear_ = false;
        ReplaceElement(home_, action_, kClearPlace, E::Button(LoadResString(IDS_STOP), ID_STOP, kStopImage));
    } else if (running == 0 && !showsClear_) {
        showsClear_ = true;
        ReplaceElement(home_, action_, kClearPlace, E::Button(LoadResString(IDS_CLEAR), ID_CLEAR, kClearImage));
    }
    RecalcLayout();
}
