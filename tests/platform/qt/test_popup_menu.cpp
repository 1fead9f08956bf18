#include "platform/qt/popup_menu.h"

#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

#include "platform/qt/frame_window.h"
#include "resources/command_ids.h"
#include "resources/menu_ids.h"
#include "resources/menus.h"

namespace {

class MenuFrame : public plat::FrameWindow {
public:
    MenuFrame() {
        MapMessage(WM_COMMAND, &MenuFrame::OnCommand);
        MapCommand(ID_CHECK_AND_SYNC, &MenuFrame::Nothing);
        MapCommand(ID_STOP, &MenuFrame::Nothing);
        MapUpdate(ID_STOP, &MenuFrame::OnUpdateStop);
        MapCommand(ID_STOP_ALL, &MenuFrame::Nothing);
        MapUpdate(ID_STOP_ALL, &MenuFrame::OnUpdateChecked);
        MapCommand(ID_HELP_CONTENTS, &MenuFrame::Nothing);
        MapUpdate(ID_HELP_CONTENTS, &MenuFrame::OnUpdateRadio);
        MapCommand(ID_SHOW_HIDE, &MenuFrame::Nothing);
        MapUpdate(ID_SHOW_HIDE, &MenuFrame::OnUpdateShow);
        MapCommand(ID_COMPARE_EXIT, &MenuFrame::Nothing);
    }
    std::vector<WPARAM> commands;

private:
    // Records what the menus send, then routes it as the frame does.
    LRESULT OnCommand(WPARAM w, LPARAM) {
        commands.push_back(w);
        return DispatchCommand(LOWORD(w)) ? 1 : 0;
    }
    void Nothing() {}
    void OnUpdateStop(plat::CmdUI& ui) { ui.Enable(false); }
    void OnUpdateChecked(plat::CmdUI& ui) { ui.SetCheck(1); }
    void OnUpdateRadio(plat::CmdUI& ui) { ui.SetRadio(true); }
    void OnUpdateShow(plat::CmdUI& ui) { ui.SetText("Hide Window"); }
};

QAction* ActionOf(QMenu* menu, UINT id) {
    for (QAction* action : menu->actions())
        if (action->data().toUInt() == id) return action;
    return nullptr;
}

// A menu left open by a failed test must not hang the run.
void CloseMenusLater() {
    QTimer::singleShot(3000, [] {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
}

TEST(PopupMenu, ShowsTheRouteStatesAndSendsTheChoiceOnce) {
    MenuFrame frame;
    ASSERT_TRUE(frame.Create());
    const res::MenuResource* tray = res::FindMenu(IDR_TRAY_MENU);
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(res::FindMenu(1), nullptr);

    struct Seen {
        bool open = false, stopEnabled = true, stopAllChecked = false, helpRadio = false, defaultBold = false;
        bool unhandledEnabled = true;
        QString stopText, showText;
    } seen;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        seen.open = true;
        seen.stopEnabled = ActionOf(menu, ID_STOP)->isEnabled();
        seen.stopText = ActionOf(menu, ID_STOP)->text();
        seen.stopAllChecked = ActionOf(menu, ID_STOP_ALL)->isChecked();
        QAction* help = ActionOf(menu, ID_HELP_CONTENTS);
        seen.helpRadio = help->isChecked() && help->actionGroup() && help->actionGroup()->isExclusive();
        QAction* show = ActionOf(menu, ID_SHOW_HIDE);
        seen.showText = show->text();
        seen.defaultBold = menu->defaultAction() == show && show->font().bold();
        seen.unhandledEnabled = ActionOf(menu, ID_RUN_CONTAINER)->isEnabled();  // no handler anywhere
        QAction* check = ActionOf(menu, ID_CHECK_AND_SYNC);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(check).center());
    });
    CloseMenusLater();
    const UINT chosen =
        plat::TrackPopupMenu(tray->SubMenu(0), QPoint(200, 200), frame.GetSafeHwnd(), {.defaultId = ID_SHOW_HIDE});
    ASSERT_TRUE(seen.open);
    EXPECT_FALSE(seen.stopEnabled);
    EXPECT_EQ(seen.stopText, QStringLiteral("St&op\tEsc"));  // Qt shows the part after the tab as the key
    EXPECT_TRUE(seen.stopAllChecked);
    EXPECT_TRUE(seen.helpRadio);
    EXPECT_EQ(seen.showText, QStringLiteral("Hide Window"));
    EXPECT_TRUE(seen.defaultBold);
    EXPECT_FALSE(seen.unhandledEnabled);
    EXPECT_EQ(chosen, ID_CHECK_AND_SYNC);
    EXPECT_EQ(frame.commands, std::vector<WPARAM>{ID_CHECK_AND_SYNC});

    // Left without a choice: nothing is sent.
    frame.commands.clear();
    QTimer::singleShot(50, [] {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    EXPECT_EQ(plat::TrackPopupMenu(tray->SubMenu(0), QPoint(200, 200), frame.GetSafeHwnd()), 0u);
    EXPECT_TRUE(frame.commands.empty());
}

TEST(PopupMenu, MenuBarFromAResource) {
    MenuFrame frame;
    ASSERT_TRUE(frame.Create());
    frame.SetMenu(*res::FindMenu(IDR_COMPARE_FRAME));
    const QList<QAction*> top = frame.menuBar()->actions();
    ASSERT_EQ(top.size(), 1);
    EXPECT_EQ(top[0]->text(), QStringLiteral("&File"));
    QMenu* file = top[0]->menu();
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    QAction* exit = ActionOf(file, ID_COMPARE_EXIT);
    ASSERT_NE(exit, nullptr);
    EXPECT_TRUE(exit->isEnabled());
    exit->trigger();
    EXPECT_EQ(frame.commands, std::vector<WPARAM>{ID_COMPARE_EXIT});
}

}  // namespace
