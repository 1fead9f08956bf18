#include "platform/qt/frame_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "platform/qt/idle_update.h"
#include "platform/qt/status_bar.h"
#include "platform/qt/view.h"
#include "resources/command_ids.h"
#include "resources/control_ids.h"

namespace {

constexpr const char* kSizing = "This is the Maximum of the text allowed in the statusbar.";

class TestView : public QWidget, public plat::View {
public:
    explicit TestView(QWidget* parent) : QWidget(parent), plat::View(this) { MapCommand(100, &TestView::On100); }
    int ran100 = 0;
    int initialUpdates = 0;

protected:
    void OnInitialUpdate() override { ++initialUpdates; }

private:
    void On100() { ++ran100; }
};

class TestFrame : public plat::FrameWindow {
public:
    TestFrame() {
        MapMessage(WM_CREATE, &TestFrame::OnCreate);
        MapMessage(WM_SIZE, &TestFrame::OnSize);
        MapCommand(100, &TestFrame::On100);
        MapCommand(101, &TestFrame::On101);
        MapUpdate(101, &TestFrame::OnUpdate101);
    }
    LRESULT createAnswer = 0;
    bool enable101 = true;
    int ran100 = 0;
    int ran101 = 0;
    std::vector<WPARAM> sizes;

private:
    LRESULT OnCreate(WPARAM, LPARAM) { return createAnswer; }
    void OnSize(WPARAM type, LPARAM) { sizes.push_back(type); }
    void On100() { ++ran100; }
    void On101() { ++ran101; }
    void OnUpdate101(plat::CmdUI& ui) { ui.Enable(enable101); }
};

class Application : public plat::CommandTarget {
public:
    Application() { MapCommand(ID_APP_ABOUT, &Application::OnAbout); }
    int abouts = 0;

private:
    void OnAbout() { ++abouts; }
};

TEST(FrameWindow, RoutesThroughActiveViewFrameAndApplication) {
    TestFrame frame;
    ASSERT_TRUE(frame.Create());
    auto view = std::make_unique<TestView>(&frame);
    frame.SetActiveView(view.get());
    Application app;
    plat::FrameWindow::SetApplicationTarget(&app);

    EXPECT_TRUE(frame.DispatchCommand(100));
    EXPECT_EQ(view->ran100, 1);
    EXPECT_EQ(frame.ran100, 0);
    EXPECT_EQ(SendMessage(frame.GetSafeHwnd(), WM_COMMAND, ID_APP_ABOUT, 0), 1);  // on to the application
    EXPECT_EQ(app.abouts, 1);

    // A view that goes away stops being asked; the frame handles 100 itself.
    view.reset();
    EXPECT_EQ(frame.GetActiveView(), nullptr);
    EXPECT_TRUE(frame.DispatchCommand(100));
    EXPECT_EQ(frame.ran100, 1);

    // A command its update disables does not run; one nobody handles is disabled.
    frame.enable101 = false;
    EXPECT_FALSE(frame.DispatchCommand(101));
    EXPECT_EQ(frame.ran101, 0);
    plat::CmdUI unknown(4242);
    frame.UpdateCommandUI(unknown);
    EXPECT_FALSE(unknown.IsEnabled());
    EXPECT_FALSE(frame.DispatchCommand(4242));
    // A control's notification (code 0x300) is no command.
    frame.enable101 = true;
    EXPECT_EQ(SendMessage(frame.GetSafeHwnd(), WM_COMMAND, MAKELONG(101, 0x300), 0), 0);
    EXPECT_EQ(frame.ran101, 0);
    plat::FrameWindow::SetApplicationTarget(nullptr);
}

TEST(FrameWindow, CreationFailureAndCloseDecidedByTheHandler) {
    TestFrame failing;
    failing.createAnswer = -1;
    EXPECT_FALSE(failing.Create());
    EXPECT_FALSE(IsWindow(failing.GetSafeHwnd()));

    // Unmapped WM_CLOSE: the frame closes and its window is gone.
    TestFrame frame;
    ASSERT_TRUE(frame.Create());
    frame.ShowWindow(plat::SW_SHOWNORMAL);
    auto* view = new TestView(&frame);
    view->InitialUpdate();
    view->InitialUpdate();
    EXPECT_EQ(view->initialUpdates, 1);
    const HWND viewHwnd = view->GetSafeHwnd();
    EXPECT_EQ(GetParent(viewHwnd), frame.GetSafeHwnd());
    frame.close();
    EXPECT_FALSE(frame.isVisible());
    EXPECT_FALSE(IsWindow(frame.GetSafeHwnd()));
    EXPECT_FALSE(IsWindow(viewHwnd));
}

class HidingFrame : public plat::FrameWindow {
public:
    HidingFrame() { MapMessage(WM_CLOSE, &HidingFrame::OnClose); }
    int closes = 0;

private:
    void OnClose(WPARAM, LPARAM) {
        ++closes;
        ShowWindow(plat::SW_HIDE);
    }
};

TEST(FrameWindow, MappedCloseKeepsTheFrame) {
    HidingFrame frame;
    ASSERT_TRUE(frame.Create());
    frame.ShowWindow(plat::SW_SHOWNORMAL);
    frame.close();  // what the window manager's close button does
    EXPECT_EQ(frame.closes, 1);
    EXPECT_FALSE(frame.isVisible());
    EXPECT_TRUE(IsWindow(frame.GetSafeHwnd()));
    EXPECT_FALSE(frame.ShowWindow(plat::SW_SHOW));  // it was hidden
    EXPECT_TRUE(frame.isVisible());
}

TEST(FrameWindow, PlacementRoundTripsAndShowCommands) {
    TestFrame frame;
    ASSERT_TRUE(frame.Create());
    plat::WINDOWPLACEMENT wp;
    wp.flags = 0;
    wp.showCmd = plat::SW_SHOWNORMAL;
    wp.rcNormalPosition = RECT{100, 120, 900, 720};
    ASSERT_TRUE(frame.SetWindowPlacement(wp));
    QTest::qWait(20);

    plat::WINDOWPLACEMENT back;
    ASSERT_TRUE(frame.GetWindowPlacement(&back));
    EXPECT_EQ(back.flags, 0u);
    EXPECT_EQ(back.showCmd, 1u);
    EXPECT_EQ(back.ptMinPosition.x, -1);
    EXPECT_EQ(back.ptMaxPosition.y, -1);
    EXPECT_EQ(back.rcNormalPosition.left, 100);
    EXPECT_EQ(back.rcNormalPosition.top, 120);
    EXPECT_EQ(back.rcNormalPosition.right, 900);
    EXPECT_EQ(back.rcNormalPosition.bottom, 720);

    frame.sizes.clear();
    frame.ShowWindow(plat::SW_SHOWMAXIMIZED);
    QTest::qWait(20);
    EXPECT_TRUE(frame.isMaximized());
    ASSERT_FALSE(frame.sizes.empty());
    EXPECT_EQ(frame.sizes.back(), plat::SIZE_MAXIMIZED);
    ASSERT_TRUE(frame.GetWindowPlacement(&back));
    EXPECT_EQ(back.showCmd, 3u);
    EXPECT_EQ(back.rcNormalPosition.right, 900);  // the normal rectangle stays

    frame.ShowWindow(plat::SW_MINIMIZE);
    QTest::qWait(20);
    EXPECT_EQ(frame.sizes.back(), plat::SIZE_MINIMIZED);
    ASSERT_TRUE(frame.GetWindowPlacement(&back));
    EXPECT_EQ(back.showCmd, 2u);
    EXPECT_EQ(back.rcNormalPosition.left, 100);
    EXPECT_EQ(back.rcNormalPosition.bottom, 720);

    // Hidden to the tray, it still reports a state it can come back in.
    frame.ShowWindow(plat::SW_HIDE);
    ASSERT_TRUE(frame.GetWindowPlacement(&back));
    EXPECT_NE(back.showCmd, 0u);

    // A saved rectangle off every screen comes back onto the screen; an empty one is refused.
    wp.rcNormalPosition = RECT{-30000, -30000, -29200, -29400};
    ASSERT_TRUE(frame.SetWindowPlacement(wp));
    QTest::qWait(20);
    EXPECT_TRUE(frame.screen()->availableGeometry().intersects(frame.geometry()));
    wp.rcNormalPosition = RECT{10, 10, 10, 300};
    EXPECT_FALSE(frame.SetWindowPlacement(wp));
}

TEST(FrameWindow, StatusBarPanesAndItsShowCommand) {
    TestFrame frame;
    ASSERT_TRUE(frame.Create());
    auto* bar = new plat::StatusBar;
    bar->AddPane(IDC_STATUS_PANE_MAIN, "Ready", kSizing, plat::StatusBar::Side::Main);
    bar->AddPane(IDC_STATUS_PANE_EXTENDED, "No action            ", kSizing, plat::StatusBar::Side::Extended);
    frame.SetStatusBar(bar);
    frame.resize(900, 400);
    frame.ShowWindow(plat::SW_SHOWNORMAL);
    QTest::qWait(20);

    const int textWidth = bar->fontMetrics().horizontalAdvance(QString::fromLatin1(kSizing));
    for (UINT id : {IDC_STATUS_PANE_MAIN, IDC_STATUS_PANE_EXTENDED}) {
        const QLabel* pane = bar->Pane(id);
        ASSERT_NE(pane, nullptr);
        EXPECT_GE(pane->contentsRect().width(), textWidth) << id;
        EXPECT_LE(pane->width(), textWidth + 16) << id;
    }
    // main left, extended right
    EXPECT_LT(bar->Pane(IDC_STATUS_PANE_MAIN)->x(), bar->Pane(IDC_STATUS_PANE_EXTENDED)->x());
    EXPECT_TRUE(bar->SetPaneText(IDC_STATUS_PANE_MAIN, "Loading tasks"));
    EXPECT_EQ(bar->PaneText(IDC_STATUS_PANE_MAIN), "Loading tasks");
    EXPECT_FALSE(bar->SetPaneText(7777, "x"));

    plat::CmdUI ui(ID_VIEW_STATUS_BAR);
    frame.UpdateCommandUI(ui);
    EXPECT_TRUE(ui.IsEnabled());
    EXPECT_EQ(ui.Check(), 1);
    EXPECT_TRUE(frame.DispatchCommand(ID_VIEW_STATUS_BAR));
    EXPECT_FALSE(bar->isVisible());
    ui.Reset();
    frame.UpdateCommandUI(ui);
    EXPECT_EQ(ui.Check(), 0);
    EXPECT_TRUE(frame.DispatchCommand(ID_VIEW_STATUS_BAR));
    EXPECT_TRUE(bar->isVisible());
}

// Runs the GUI loop as the program does, waiting for events (QTest::qWait only polls).
void RunLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

class StateUser : public plat::CommandUser {
public:
    explicit StateUser(plat::FrameWindow& frame) : frame_(frame) {}
    void UpdateCommandUI() override {
        ++passes;
        plat::CmdUI ui(101);
        frame_.UpdateCommandUI(ui);
        enabled = ui.IsEnabled();
        if (victim) victim.reset();
    }
    int passes = 0;
    bool enabled = false;
    std::unique_ptr<StateUser> victim;  // destroyed during this user's update

private:
    plat::FrameWindow& frame_;
};

TEST(IdleUpdate, UsersFollowTheRouteWhenTheLoopGoesIdle) {
    TestFrame frame;
    ASSERT_TRUE(frame.Create());
    StateUser user(frame);
    user.victim = std::make_unique<StateUser>(frame);  // registered after `user`

    RunLoop(150);
    EXPECT_TRUE(user.enabled);
    EXPECT_EQ(user.victim, nullptr);  // gone during the pass; the pass went on safely

    frame.enable101 = false;
    QApplication::postEvent(&frame, new QEvent(QEvent::User));
    RunLoop(250);
    EXPECT_FALSE(user.enabled);
    const int passes = user.passes;
    plat::RunIdleUpdateNow();
    EXPECT_EQ(user.passes, passes + 1);
}

}  // namespace
