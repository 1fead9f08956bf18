#include "ui/frame/cust_ribbon.h"

#include "foundation/resource_strings.h"
#include "platform/qt/resource_images.h"
#include "resources/command_ids.h"
#include "resources/image_ids.h"
#include "resources/menu_ids.h"
#include "resources/menus.h"
#include "ui/frame/strip_images.h"

namespace {

using E = plat::RibbonElement;
using M = plat::RibbonMenuEntry;
using Item = res::MenuItem;

constexpr int kClearImage = 12;
constexpr int kStopImage = 11;
constexpr int kClearPlace = 7;  // Clear is the Action panel's eighth element

constexpr Item kTemplateItems[] = {
    Item::Command("Photos", ID_TEMPLATE_PHOTOS),
    Item::Command("Documents", ID_TEMPLATE_DOCUMENTS),
    Item::Command("Favorites", ID_TEMPLATE_FAVORITES),
    Item::Command("Videos", ID_TEMPLATE_VIDEOS),
    Item::Command("Music", ID_TEMPLATE_MUSIC),
    Item::Command("WinMail", ID_TEMPLATE_WINDOWS_MAIL),
    Item::Command("Outlook", ID_TEMPLATE_OUTLOOK),
    Item::Command("Registry", ID_TEMPLATE_REGISTRY),
    Item::Separator(),
    Item::Command("More...", ID_IMPORT_TEMPLATE),
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
    SetQuickAccessCommands({{ID_NEW_TASK, "New Task", 1, true},
                            {ID_COPY_TASK, "Copy", 14, false},
                            {ID_RENAME_TASK, "Rename", 17, false},
                            {ID_DELETE_TASK, "Delete Task", 10, true},
                            {ID_RESET_TASK, "Reset", 24, false},
                            {ID_SWITCH_FOLDERS, "Switch Folders", 21, false},
                            {ID_TASK_OPTIONS, "Task Options", 19, false},
                            {ID_CHECK, "Check", 3, true},
                            {ID_SYNC, "Sync", 2, true},
                            {ID_AUTOMATE, "Auto", 9, false},
                            {ID_CLEAR_SYNC_LIST, "Clear", 12, false},
                            {ID_SYNC_CONTAINER, "Sync Container", 20, false}});
    showsClear_ = true;
}

void CCustRibbon::BuildApplicationMenu() {
    SetApplicationMenu({
        M::Command("&New", ID_NEW_TASK, 1),
        M::SubMenu("Task Templates", ID_TASK_TEMPLATES_BUTTON, 16, "Task Templates  ", kTemplateItems),
        M::Separator(),
        M::Command("&Copy", ID_COPY_TASK, 14),
        M::Command("&Rename", ID_RENAME_TASK, 17),
        M::Command("R&emove", ID_DELETE_TASK, 10),
        M::Command("Re&set", ID_RESET_TASK, 24),
        M::Separator(),
        M::Command("&Switch Folders", ID_SWITCH_FOLDERS, 21),
        M::Command("Task &Options", ID_TASK_OPTIONS, 19),
        M::Separator(),
        M::SubMenu("&Log", ID_LOG_BUTTON, 16, "Show or delete log files", res::LogMenuItems()),
        M::SubMenu("C&atalog", ID_CATALOG_BUTTON, -1, "Delete catalog files or backup folders on both sides",
                   res::CatalogMenuItems()),
        M::Separator(),
        M::Command("&Exit", ID_EXIT, 10),
    });
}

void CCustRibbon::BuildHome() {
    home_ = AddCategory(LoadResString(IDS_HOME));
    const int view = AddPanel(home_, LoadResString(IDS_VIEW_PANEL));
    AddElement(home_, view, E::CheckBox("All", ID_DISPLAY_ALL));
    AddElement(home_, view, E::CheckBox("Changes", ID_DISPLAY_CHANGED));
    AddElement(home_, view, E::CheckBox("Conflicts", ID_DISPLAY_CONFLICTS));
    AddElement(home_, view, E::CheckBox("Errors", ID_DISPLAY_ERRORS));
    AddElement(home_, view, E::CheckBox("New", ID_DISPLAY_NEW));
    AddElement(home_, view, E::CheckBox("Delete", ID_DISPLAY_DELETE));
    AddElement(home_, view, E::Menu("More", ID_MORE_VIEWS_BUTTON, 26, Menu(IDR_MORE_VIEWS_MENU), false));
    AddElement(home_, view, E::CheckBox("Status Bar", ID_VIEW_STATUS_BAR));
    AddElement(home_, view, E::CheckBox("Caption Bar", ID_VIEW_CAPTION_BAR));

    action_ = AddPanel(home_, LoadResString(IDS_ACTION_PANEL));
    AddElement(home_, action_, E::Button("Check", ID_CHECK, 3));
    AddElement(home_, action_, E::Button("Sync", ID_SYNC, 2));
    AddElement(home_, action_, E::Button("Check && Sync", ID_CHECK_AND_SYNC, 27));
    AddElement(home_, action_, E::Button("Auto", ID_AUTOMATE, 9));
    AddElement(home_, action_, E::Menu("File Action", ID_FILE_ACTION_BUTTON, 18, Menu(IDR_FILE_ACTION_MENU)));
    AddElement(home_, action_, E::Menu("Sync Action", ID_SYNC_ACTION_BUTTON, 25, Menu(IDR_SYNC_ACTION_MENU)));
    AddElement(home_, action_, E::Button("Select A&ll", ID_SELECT_ALL, 28));
    AddElement(home_, action_, E::Button(LoadResString(IDS_CLEAR), ID_CLEAR_SYNC_LIST, kClearImage));
}

void CCustRibbon::BuildTools() {
    const int tools = AddCategory(LoadResString(IDS_TOOLS_CATEGORY));
    const int group = AddPanel(tools, LoadResString(IDS_GROUP_ACTION_PANEL));
    AddElement(tools, group, E::Button("Sync Container", ID_SYNC_CONTAINER, 20));
    AddElement(tools, group, E::Button("Stop All", ID_STOP_ALL, 11));
    AddElement(tools, group, E::Button("Clear All", ID_CLEAR_ALL, 12));
    const int panel = AddPanel(tools, LoadResString(IDS_TOOLS_PANEL));
    AddElement(tools, panel, E::Button("Delete History", ID_DELETE_HISTORY, 22));
    AddElement(tools, panel, E::Button("Export", ID_EXPORT_TASK_LIST, 15));
    AddElement(tools, panel, E::Button("Import", ID_IMPORT_TASK_LIST, 13));
    AddElement(tools, panel, E::Button("Default options", ID_DEFAULT_OPTIONS, 4));
    // The way to print the list of the page that is shown.
    AddElement(tools, panel, E::Button("Print", ID_FILE_PRINT, 29));
}

void CCustRibbon::BuildTabRow() {
    E styles = E::Menu(LoadResString(IDS_STYLES), 0, -1, Menu(IDR_STYLES_MENU), false);
    styles.tooltip = "Change Style";
    styles.description = "Choose Style";
    AddTabRowElement(styles);
    AddTabRowElement(E::Button("Check Update", ID_CHECK_UPDATE, 23, false));
    AddTabRowElement(E::Button("About", ID_APP_ABOUT, 6, false));
    AddTabRowElement(E::Button("Help", ID_HELP_CONTENTS, 5, false));
}

void CCustRibbon::OnBusyState(WPARAM running) {
    if (running == 1 && showsClear_) {
        showsClear_ = false;
        ReplaceElement(home_, action_, kClearPlace, E::Button(LoadResString(IDS_STOP), ID_STOP, kStopImage));
    } else if (running == 0 && !showsClear_) {
        showsClear_ = true;
        ReplaceElement(home_, action_, kClearPlace,
                       E::Button(LoadResString(IDS_CLEAR), ID_CLEAR_SYNC_LIST, kClearImage));
    }
    RecalcLayout();
}
