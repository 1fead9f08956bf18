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
#include "resources/menus.h"

namespace {

class MenuFrame : public plat::FrameWindow {
public:
    MenuFrame() {
        MapMessage(WM_COMMAND, &MenuFrame::OnCommand);
        MapCommand(5126, &MenuFrame::Nothing);
        MapCommand(41076, &MenuFrame::Nothing);
        MapUpdate(41076, &MenuFrame::OnUpdateStop);
        MapCommand(5104, &MenuFrame::Nothing);
        MapUpdate(5104, &MenuFrame::OnUpdateChecked);
        MapCommand(57670, &MenuFrame::Nothing);
        MapUpdate(57670, &MenuFrame::OnUpdateRadio);
        MapCommand(32918, &MenuFrame::Nothing);
        MapUpdate(32918, &MenuFrame::OnUpdateShow);
        MapCommand(5101, &MenuFrame::Nothing);
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
    const res::MenuResource* tray = res::FindMenu(33000);
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
        seen.stopEnabled = ActionOf(menu, 41076)->isEnabled();
        seen.stopText = ActionOf(menu, 41076)->text();
        seen.stopAllChecked = ActionOf(menu, 5104)->isChecked();
        QAction* help = ActionOf(menu, 57670);
        seen.helpRadio = help->isChecked() && help->actionGroup() && help->actionGroup()->isExclusive();
        QAction* show = ActionOf(menu, 32918);
        seen.showText = show->text();
        seen.defaultBold = menu->defaultAction() == show && show->font().bold();
        seen.unhandledEnabled = ActionOf(menu, 5136)->isEnabled();  // no handler anywhere
        QAction* check = ActionOf(menu, 5126);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(check).center());
    });
    CloseMenusLater();
    const UINT chosen = plat::TrackPopupMenu(tray->SubMenu(0), QPoint(200, 200), frame.GetSafeHwnd(),
                                             {.defaultId = 32918});
    ASSERT_TRUE(seen.open);
    EXPECT_FALSE(seen.stopEnabled);
    EXPECT_EQ(seen.stopText, QStringLiteral("St&op\tEsc"));  // Qt shows the part after the tab as the key
    EXPECT_TRUE(seen.stopAllChecked);
    EXPECT_TRUE(seen.helpRadio);
    EXPECT_EQ(seen.showText, QStringLiteral("Hide Window"));
    EXPECT_TRUE(seen.defaultBold);
    EXPECT_FALSE(seen.unhandledEnabled);
    EXPECT_EQ(chosen, 5126u);
    EXPECT_EQ(frame.commands, std::vector<WPARAM>{5126});

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
    frame.SetMenu(*res::FindMenu(7007));
    const QList<QAction*> top = frame.menuBar()->actions();
    ASSERT_EQ(top.size(), 1);
    EXPECT_EQ(top[0]->text(), QStringLiteral("&File"));
    QMenu* file = top[0]->menu();
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    QAction* exit = ActionOf(file, 5101);
    ASSERT_NE(exit, nullptr);
    EXPECT_TRUE(exit->isEnabled());
    exit->trigger();
    EXPECT_EQ(frame.commands, std::vector<WPARAM>{5101});
}

}  // namespace
