#include "platform/qt/ribbon_bar.h"

#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "platform/core/ini_file.h"
#include "platform/qt/frame_window.h"
#include "platform/qt/navigation_bar.h"
#include "resources/command_ids.h"
#include "resources/control_ids.h"
#include "resources/menu_ids.h"
#include "resources/menus.h"
#include "support/temp_dir.h"

namespace {

std::vector<QPixmap> Images(int size) {
    std::vector<QPixmap> images;
    for (int i = 0; i < 30; ++i) {
        QPixmap image(size, size);
        image.fill(QColor::fromHsv(i * 12, 200, 220));
        images.push_back(image);
    }
    return images;
}

constexpr res::MenuItem kTemplates[] = {res::MenuItem::Command("Photos", ID_TEMPLATE_PHOTOS),
                                        res::MenuItem::Separator(),
                                        res::MenuItem::Command("More...", ID_IMPORT_TEMPLATE)};

class RibbonFrame : public plat::FrameWindow {
public:
    RibbonFrame() {
        MapCommandRange(1, 0xFFFF, &RibbonFrame::OnAny);
        MapUpdate(ID_CHECK_AND_SYNC, &RibbonFrame::OnUpdateDisabled);
        MapUpdate(ID_DELETE_BOTH_ITEMS, &RibbonFrame::OnUpdateDisabled);
        MapUpdate(ID_VIEW_CAPTION_BAR, &RibbonFrame::OnUpdateCaption);
        MapMessage(plat::kTabChangedMessage, &RibbonFrame::OnTabChanged);
    }
    std::vector<UINT> raised;
    std::vector<std::pair<WPARAM, LPARAM>> tabChanges;
    bool captionShown = true;

private:
    void OnAny(UINT id) { raised.push_back(id); }
    void OnUpdateDisabled(plat::CmdUI& ui) { ui.Enable(false); }
    void OnUpdateCaption(plat::CmdUI& ui) { ui.SetCheck(captionShown ? 1 : 0); }
    void OnTabChanged(WPARAM w, LPARAM l) { tabChanges.emplace_back(w, l); }
};

std::vector<plat::QuickAccessCommand> Offered() {
    return {{ID_NEW_TASK, "New Task", 1, true},
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
            {ID_SYNC_CONTAINER, "Sync Container", 20, false}};
}

// The sample layout: "Home" with a View panel (check boxes and a menu button) and an
// Action panel of eight, "Tools" with one panel, the tab row, the application menu.
plat::RibbonBar* BuildRibbon(RibbonFrame& frame) {
    using E = plat::RibbonElement;
    auto* ribbon = new plat::RibbonBar(&frame);
    ribbon->SetImages(Images(16), Images(32));
    QPixmap app(32, 32);
    app.fill(Qt::darkBlue);
    ribbon->SetApplicationButton(app, app, app, "Click here for the task menu");
    ribbon->SetApplicationMenu(
        {plat::RibbonMenuEntry::Command("&New", ID_NEW_TASK, 1),
         plat::RibbonMenuEntry::SubMenu("Task Templates", ID_TASK_TEMPLATES_BUTTON, 16, "Task Templates  ", kTemplates),
         plat::RibbonMenuEntry::Separator(), plat::RibbonMenuEntry::Command("&Exit", ID_EXIT, 10)});
    const int home = ribbon->AddCategory("Home");
    const int view = ribbon->AddPanel(home, "View");
    ribbon->AddElement(home, view, E::CheckBox("All", ID_DISPLAY_ALL));
    ribbon->AddElement(home, view, E::CheckBox("Changes", ID_DISPLAY_CHANGED));
    ribbon->AddElement(
        home, view, E::Menu("More", ID_MORE_VIEWS_BUTTON, 26, res::FindMenu(IDR_MORE_VIEWS_MENU)->SubMenu(0), false));
    ribbon->AddElement(home, view, E::CheckBox("Status Bar", ID_VIEW_STATUS_BAR));
    ribbon->AddElement(home, view, E::CheckBox("Caption Bar", ID_VIEW_CAPTION_BAR));
    const int action = ribbon->AddPanel(home, "Action");
    ribbon->AddElement(home, action, E::Button("Check", ID_CHECK, 3));
    ribbon->AddElement(home, action, E::Button("Sync", ID_SYNC, 2));
    ribbon->AddElement(home, action, E::Button("Check && Sync", ID_CHECK_AND_SYNC, 27));
    ribbon->AddElement(home, action, E::Button("Auto", ID_AUTOMATE, 9));
    ribbon->AddElement(
        home, action,
        E::Menu("File Action", ID_FILE_ACTION_BUTTON, 18, res::FindMenu(IDR_FILE_ACTION_MENU)->SubMenu(0)));
    ribbon->AddElement(
        home, action,
        E::Menu("Sync Action", ID_SYNC_ACTION_BUTTON, 25, res::FindMenu(IDR_SYNC_ACTION_MENU)->SubMenu(0)));
    ribbon->AddElement(home, action, E::Button("Select A&ll", ID_SELECT_ALL, 28));
    ribbon->AddElement(home, action, E::Button("Clear", ID_CLEAR_SYNC_LIST, 12));
    const int tools = ribbon->AddCategory("Tools");
    const int group = ribbon->AddPanel(tools, "Group Action");
    ribbon->AddElement(tools, group, E::Button("Sync Container", ID_SYNC_CONTAINER, 20));
    ribbon->AddElement(tools, group, E::Button("Stop All", ID_STOP_ALL, 11));
    E styles = E::Menu("Styles", 0, -1, res::FindMenu(IDR_STYLES_MENU)->SubMenu(0), false);
    styles.tooltip = "Change Style";
    styles.description = "Choose Style";
    ribbon->AddTabRowElement(styles);
    ribbon->AddTabRowElement(E::Button("Help", ID_HELP_CONTENTS, 5));
    ribbon->SetQuickAccessCommands(Offered());
    frame.resize(1000, 600);
    frame.ShowWindow(plat::SW_SHOWNORMAL);
    ribbon->RecalcLayout();
    ribbon->UpdateStates();
    QTest::qWait(20);
    return ribbon;
}

void Click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// Runs `inside` once the next pop-up is open, then closes it.
void WithPopup(std::function<void(QMenu*)> inside) {
    QTimer::singleShot(50, [inside] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu) inside(menu);
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
}

QAction* ActionOf(QMenu* menu, UINT id) {
    for (QAction* action : menu->actions())
        if (action->data().toUInt() == id) return action;
    return nullptr;
}

TEST(RibbonBar, ElementsRaiseTheirCommandsWithTheirUpdateStates) {
    RibbonFrame frame;
    ASSERT_TRUE(frame.Create());
    plat::RibbonBar* ribbon = BuildRibbon(frame);

    Click(ribbon->FindElement(ID_CHECK));
    EXPECT_EQ(frame.raised, std::vector<UINT>{ID_CHECK});
    frame.raised.clear();

    QWidget* disabled = ribbon->FindElement(ID_CHECK_AND_SYNC);
    EXPECT_FALSE(disabled->isEnabled());
    Click(disabled);
    EXPECT_TRUE(frame.raised.empty());

    auto* caption = qobject_cast<QCheckBox*>(ribbon->FindElement(ID_VIEW_CAPTION_BAR));
    ASSERT_NE(caption, nullptr);
    EXPECT_TRUE(caption->isChecked());
    frame.captionShown = false;
    Click(caption);
    EXPECT_EQ(frame.raised, std::vector<UINT>{ID_VIEW_CAPTION_BAR});
    ribbon->UpdateStates();
    EXPECT_FALSE(caption->isChecked());  // the update says, not the click

    // A menu button opens its menu with the route's states; its own id raises nothing.
    frame.raised.clear();
    bool deleteBothEnabled = true;
    bool compareEnabled = false;
    WithPopup([&](QMenu* menu) {
        deleteBothEnabled = ActionOf(menu, ID_DELETE_BOTH_ITEMS)->isEnabled();
        compareEnabled = ActionOf(menu, ID_COMPARE_FILES)->isEnabled();
    });
    Click(ribbon->FindElement(ID_FILE_ACTION_BUTTON));
    EXPECT_FALSE(deleteBothEnabled);
    EXPECT_TRUE(compareEnabled);
    EXPECT_TRUE(frame.raised.empty());

    // The application menu's sub-menu starts with a caption that is no command.
    QMenu* app = ribbon->ApplicationMenu();
    ASSERT_NE(app, nullptr);
    QMenu* templates = nullptr;
    for (QAction* action : app->actions())
        if (action->menu()) templates = action->menu();
    ASSERT_NE(templates, nullptr);
    QAction* label = templates->actions().front();
    EXPECT_FALSE(label->isEnabled());
    EXPECT_EQ(label->data().toUInt(), 0u);
    ActionOf(templates, ID_TEMPLATE_PHOTOS)->trigger();
    ActionOf(app, ID_EXIT)->trigger();
    EXPECT_EQ(frame.raised, (std::vector<UINT>{ID_TEMPLATE_PHOTOS, ID_EXIT}));
}

TEST(RibbonBar, ReplacingThePlaceOfClearKeepsTheOthers) {
    RibbonFrame frame;
    ASSERT_TRUE(frame.Create());
    plat::RibbonBar* ribbon = BuildRibbon(frame);
    std::vector<QRect> before;
    for (int i = 0; i < 7; ++i) before.push_back(ribbon->ElementWidgetAt(0, 1, i)->geometry());

    ASSERT_TRUE(ribbon->ReplaceElement(0, 1, 7, plat::RibbonElement::Button("Stop", ID_STOP, 11)));
    EXPECT_FALSE(ribbon->ReplaceElement(0, 1, 8, plat::RibbonElement::Button("Stop", ID_STOP, 11)));
    ribbon->RecalcLayout();
    QTest::qWait(20);
    Click(ribbon->ElementWidgetAt(0, 1, 7));
    EXPECT_EQ(frame.raised, std::vector<UINT>{ID_STOP});
    EXPECT_EQ(ribbon->FindElement(ID_CLEAR_SYNC_LIST), nullptr);
    const UINT ids[] = {
        ID_CHECK, ID_SYNC, ID_CHECK_AND_SYNC, ID_AUTOMATE, ID_FILE_ACTION_BUTTON, ID_SYNC_ACTION_BUTTON, ID_SELECT_ALL};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(ribbon->ElementAt(0, 1, i)->id, ids[i]);
        EXPECT_EQ(ribbon->ElementWidgetAt(0, 1, i)->geometry().topLeft(), before[i].topLeft()) << i;
    }
}

TEST(RibbonBar, TooltipsComeFromTheElementOrItsCommand) {
    RibbonFrame frame;
    ASSERT_TRUE(frame.Create());
    plat::RibbonBar* ribbon = BuildRibbon(frame);
    ribbon->SetActiveCategory(1);
    EXPECT_EQ(ribbon->FindElement(ID_STOP_ALL)->toolTip(), QStringLiteral("Stop All"));
    QWidget* styles = nullptr;
    for (QToolButton* button : ribbon->findChildren<QToolButton*>())
        if (button->text() == QStringLiteral("Styles")) styles = button;
    ASSERT_NE(styles, nullptr);
    EXPECT_TRUE(styles->toolTip().contains(QStringLiteral("Change Style")));
    EXPECT_TRUE(styles->toolTip().contains(QStringLiteral("Choose Style")));
}

TEST(RibbonBar, QuickAccessToolbarAndItsSavedState) {
    qbtest::TempDir dir;
    plat::IniFile settings(dir.sub("qboptions.ini"));
    {
        RibbonFrame frame;
        ASSERT_TRUE(frame.Create());
        plat::RibbonBar* ribbon = BuildRibbon(frame);
        EXPECT_EQ(ribbon->QuickAccessShown(), (std::vector<UINT>{ID_NEW_TASK, ID_DELETE_TASK, ID_CHECK, ID_SYNC}));
        std::unique_ptr<QMenu> menu = ribbon->QuickAccessMenu();
        ActionOf(menu.get(), ID_AUTOMATE)->setChecked(true);
        EXPECT_EQ(ribbon->QuickAccessShown(),
                  (std::vector<UINT>{ID_NEW_TASK, ID_DELETE_TASK, ID_CHECK, ID_SYNC, ID_AUTOMATE}));
        Click(ribbon->FindElement(ID_AUTOMATE));  // the toolbar's own button now
        EXPECT_EQ(frame.raised, std::vector<UINT>{ID_AUTOMATE});
        ASSERT_TRUE(ribbon->SaveState(settings, "MFCRibbons"));
    }
    EXPECT_EQ(settings.Read("MFCRibbons", "Number Commands"), "5");
    EXPECT_EQ(settings.Read("MFCRibbons", "MFCRibbonBar-4"), "5029");
    EXPECT_EQ(settings.Read("MFCRibbons", "QuickAccessToolbarOnTop"), "1");
    EXPECT_EQ(settings.Read("MFCRibbons", "IsMinimized"), "0");
    {
        RibbonFrame frame;
        ASSERT_TRUE(frame.Create());
        plat::RibbonBar* ribbon = BuildRibbon(frame);
        ribbon->LoadState(settings, "MFCRibbons");
        EXPECT_EQ(ribbon->QuickAccessShown(),
                  (std::vector<UINT>{ID_NEW_TASK, ID_DELETE_TASK, ID_CHECK, ID_SYNC, ID_AUTOMATE}));
        std::unique_ptr<QMenu> menu = ribbon->QuickAccessMenu();
        for (QAction* action : menu->actions()) {
            if (action->text() == QStringLiteral("Show Below the Ribbon")) action->trigger();
        }
        menu = ribbon->QuickAccessMenu();
        ActionOf(menu.get(), ID_DELETE_TASK)->setChecked(false);
        ribbon->SetMinimized(true);
        ASSERT_TRUE(ribbon->SaveState(settings, "MFCRibbons"));
    }
    EXPECT_EQ(settings.Read("MFCRibbons", "MFCRibbonBar-4"), std::nullopt);  // the old fifth place is gone
    RibbonFrame frame;
    ASSERT_TRUE(frame.Create());
    plat::RibbonBar* ribbon = BuildRibbon(frame);
    ribbon->LoadState(settings, "MFCRibbons");
    QTest::qWait(20);
    EXPECT_EQ(ribbon->QuickAccessShown(), (std::vector<UINT>{ID_NEW_TASK, ID_CHECK, ID_SYNC, ID_AUTOMATE}));
    EXPECT_FALSE(ribbon->QuickAccessOnTop());
    EXPECT_TRUE(ribbon->IsMinimized());
    EXPECT_GT(ribbon->QuickAccessBar()->y(), ribbon->findChild<QTabBar*>()->parentWidget()->y());
    EXPECT_EQ(ribbon->FindElement(ID_CHECK)->isVisible(), false);  // only the tab row shows
}

TEST(RibbonBar, ADamagedStateLeavesTheDefaults) {
    qbtest::TempDir dir;
    plat::IniFile settings(dir.sub("qboptions.ini"));
    const std::vector<UINT> defaults{ID_NEW_TASK, ID_DELETE_TASK, ID_CHECK, ID_SYNC};
    RibbonFrame frame;
    ASSERT_TRUE(frame.Create());
    plat::RibbonBar* ribbon = BuildRibbon(frame);

    auto load = [&](const char* count, std::vector<const char*> ids) {
        settings.DeleteSection("MFCRibbons");
        settings.WriteString("MFCRibbons", "Number Commands", count);
        for (std::size_t i = 0; i < ids.size(); ++i)
            settings.WriteString("MFCRibbons", "MFCRibbonBar-" + std::to_string(i), ids[i]);
        settings.WriteString("MFCRibbons", "IsMinimized", "2");
        ribbon->LoadState(settings, "MFCRibbons");
        return ribbon->QuickAccessShown();
    };
    EXPECT_EQ(load("-3", {}), defaults);
    EXPECT_EQ(load("1000", {"5021"}), defaults);
    EXPECT_EQ(load("2", {"5021", "9999"}), defaults);
    EXPECT_EQ(load("2", {"8487", "8487"}), defaults);
    EXPECT_EQ(load("2", {"5021"}), defaults);  // one place missing
    EXPECT_EQ(load("2x", {"5021", "5065"}), defaults);
    EXPECT_FALSE(ribbon->IsMinimized());  // 2 is no flag
    EXPECT_EQ(load("2", {"5021", "5065"}), (std::vector<UINT>{ID_COPY_TASK, ID_RESET_TASK}));
    EXPECT_EQ(load("0", {}), std::vector<UINT>{});
}

TEST(RibbonBar, MinimisedCategoriesDropDownUntilACommandRuns) {
    RibbonFrame frame;
    ASSERT_TRUE(frame.Create());
    plat::RibbonBar* ribbon = BuildRibbon(frame);
    auto* tabs = ribbon->findChild<QTabBar*>();
    ASSERT_NE(tabs, nullptr);
    QTest::mouseDClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_TRUE(ribbon->IsMinimized());
    EXPECT_FALSE(ribbon->FindElement(ID_CHECK)->isVisible());

    QTest::qWait(QApplication::doubleClickInterval() + 20);  // a click of its own, not the double click's
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    ASSERT_TRUE(ribbon->IsDroppedDown());
    QWidget* check = ribbon->FindElement(ID_CHECK);
    EXPECT_TRUE(check->isVisible());
    Click(check);
    EXPECT_EQ(frame.raised, std::vector<UINT>{ID_CHECK});
    EXPECT_FALSE(ribbon->IsDroppedDown());
    EXPECT_FALSE(ribbon->FindElement(ID_CHECK)->isVisible());
    EXPECT_TRUE(ribbon->IsMinimized());
}

TEST(NavigationBar, PageButtonsShowTheirPageAndTellTheFrame) {
    RibbonFrame frame;
    ASSERT_TRUE(frame.Create());
    frame.EnableDocking(Qt::AllDockWidgetAreas);
    frame.resize(900, 600);
    auto* bar = new plat::NavigationBar;
    bar->SetImages(Images(32));
    ASSERT_TRUE(bar->Create("Shortcuts", &frame, IDC_NAVIGATION_BAR, 250, IDC_NAVIGATION_TABS));
    auto* tasks = new QWidget;
    auto* history = new QWidget;
    bar->Tabs()->SetAnimation(false);
    bar->Tabs()->AddPage("Tasks", 7, tasks);
    bar->Tabs()->AddPage("History", 8, history);
    frame.ShowWindow(plat::SW_SHOWNORMAL);
    QTest::qWait(20);
    EXPECT_EQ(frame.dockWidgetArea(bar), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(tasks->isVisible());

    Click(bar->Tabs()->PageButton(1));
    EXPECT_TRUE(history->isVisible());
    EXPECT_FALSE(tasks->isVisible());
    EXPECT_EQ(history->pos(), QPoint(0, 0));
    EXPECT_EQ(bar->Tabs()->ActivePage(), 1);
    EXPECT_EQ(frame.tabChanges, (std::vector<std::pair<WPARAM, LPARAM>>{{1, IDC_NAVIGATION_TABS}}));

    EXPECT_TRUE(bar->Tabs()->SetActivePage(0));
    EXPECT_FALSE(bar->Tabs()->SetActivePage(2));
    EXPECT_TRUE(tasks->isVisible());
    EXPECT_EQ(frame.tabChanges.back(), (std::pair<WPARAM, LPARAM>{0, IDC_NAVIGATION_TABS}));
    EXPECT_EQ(frame.tabChanges.size(), 2u);
    EXPECT_GE(bar->Tabs()->PageButton(0)->y(), tasks->height() - 1);  // the buttons below the page
}

}  // namespace
