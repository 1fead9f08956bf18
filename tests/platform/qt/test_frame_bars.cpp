// The bars and panes a frame carries: dockable pane, caption bar, notification icon.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/qt/caption_bar.h"
#include "platform/qt/dockable_pane.h"
#include "platform/qt/frame_window.h"
#include "platform/qt/notify_icon.h"

namespace {

// A pane whose one child fills it on WM_SIZE, as the log pane does.
class FillPane : public plat::DockablePane {
public:
    FillPane() {
        MapMessage(WM_CREATE, &FillPane::OnCreate);
        MapMessage(WM_SIZE, &FillPane::OnSize);
    }
    LRESULT createAnswer = 0;
    QLabel* content = nullptr;
    std::vector<QSize> sizes;

private:
    LRESULT OnCreate(WPARAM, LPARAM) {
        content = new QLabel("log", Client());
        return createAnswer;
    }
    void OnSize(WPARAM, LPARAM l) {
        sizes.emplace_back(LOWORD(static_cast<DWORD_PTR>(l)), HIWORD(static_cast<DWORD_PTR>(l)));
        if (content) content->setGeometry(0, 0, sizes.back().width(), sizes.back().height());
    }
};

TEST(DockablePane, FollowsTheFrameAndKeepsItsContentWhenDockedElsewhere) {
    plat::FrameWindow frame;
    ASSERT_TRUE(frame.Create());
    frame.EnableDocking(Qt::AllDockWidgetAreas);
    frame.SetClientWidget(new QLabel("client"));
    frame.resize(800, 600);
    auto* pane = new FillPane;
    ASSERT_TRUE(pane->Create("Log Window", &frame, 7013, QSize(150, 150), Qt::BottomDockWidgetArea));
    frame.ShowWindow(plat::SW_SHOWNORMAL);
    QTest::qWait(20);
    EXPECT_EQ(frame.dockWidgetArea(pane), Qt::BottomDockWidgetArea);
    EXPECT_EQ(pane->windowTitle(), QStringLiteral("Log Window"));
    EXPECT_NEAR(pane->height(), 150, 40);

    frame.resize(1000, 700);
    QTest::qWait(20);
    ASSERT_FALSE(pane->sizes.empty());
    EXPECT_EQ(pane->sizes.back(), pane->Client()->size());
    EXPECT_GT(pane->sizes.back().width(), 900);
    EXPECT_EQ(pane->content->size(), pane->Client()->size());

    frame.addDockWidget(Qt::LeftDockWidgetArea, pane);
    QTest::qWait(20);
    EXPECT_EQ(frame.dockWidgetArea(pane), Qt::LeftDockWidgetArea);
    EXPECT_EQ(pane->content->parentWidget(), pane->Client());
    EXPECT_TRUE(pane->content->isVisible());
    EXPECT_EQ(pane->content->size(), pane->Client()->size());

    // No close button, and the frame's pane menu cannot hide it: nothing would bring it back.
    frame.removeDockWidget(pane);
    frame.addDockWidget(Qt::BottomDockWidgetArea, pane);
    pane->show();
    QTest::qWait(20);
    for (auto* button : pane->findChildren<QAbstractButton*>(QStringLiteral("qt_dockwidget_closebutton"))) {
        EXPECT_FALSE(button->isVisible());
    }
    EXPECT_FALSE(pane->toggleViewAction()->isEnabled());
    pane->setFloating(true);
    QTest::qWait(20);
    for (auto* button : pane->findChildren<QAbstractButton*>(QStringLiteral("qt_dockwidget_closebutton"))) {
        EXPECT_FALSE(button->isVisible()) << "floating";
    }
    pane->setFloating(false);

    // A pane whose creation fails is not left in the frame.
    FillPane failing;
    failing.createAnswer = -1;
    EXPECT_FALSE(failing.Create("Other", &frame, 7014, QSize(100, 100), Qt::RightDockWidgetArea));
    EXPECT_EQ(failing.parentWidget(), nullptr);
}

class WideTextBar : public plat::CaptionBar {
protected:
    int DrawText(QPainter& painter, const QRect& rect, const QString& text) override {
        painter.drawText(rect, Qt::AlignVCenter, text);
        return 200;
    }
};

TEST(CaptionBar, StandsAboveTheClientAndGivesTheTextTheWidthItsDrawingReports) {
    plat::FrameWindow frame;
    ASSERT_TRUE(frame.Create());
    auto* client = new QLabel("client");
    frame.SetClientWidget(client);
    auto* bar = new WideTextBar;
    frame.AddTopBar(bar);
    QPixmap tip(16, 16);
    tip.fill(Qt::yellow);
    bar->SetImage(tip, "Tip");
    bar->SetText("Create or select a task first...");
    frame.resize(700, 400);
    frame.ShowWindow(plat::SW_SHOWNORMAL);
    QTest::qWait(20);
    (void)bar->grab();

    EXPECT_EQ(bar->TextRect().width(), 200);
    EXPECT_GE(bar->TextRect().left(), bar->ImageRect().right());
    EXPECT_LE(bar->geometry().bottom(), client->geometry().top());
    EXPECT_EQ(bar->width(), client->width());
    EXPECT_GE(bar->height(), 16);
    bar->hide();
    QTest::qWait(20);
    EXPECT_EQ(client->geometry().top(), 0);
}

class FakeTray : public plat::NotifyIconBackend {
public:
    bool available = true;
    std::vector<std::string> calls;

    bool IsAvailable() const override { return available; }
    bool Show(HWND, UINT id, const QIcon&, const QString& tip) override {
        calls.push_back("show " + std::to_string(id) + " " + tip.toStdString());
        return true;
    }
    void Remove(HWND, UINT id) override { calls.push_back("remove " + std::to_string(id)); }
};

class TrayOwner : public QWidget, public plat::MessageWindow {
public:
    TrayOwner() : plat::MessageWindow(this) { MapMessage(kNotify, &TrayOwner::OnNotify); }
    static constexpr UINT kNotify = WM_APP + 77;
    std::vector<std::pair<WPARAM, LPARAM>> notes;

private:
    void OnNotify(WPARAM w, LPARAM l) { notes.emplace_back(w, l); }
};

TEST(NotifyIcon, AddChangeDeleteAndClicksReachTheOwner) {
    auto owned = std::make_unique<FakeTray>();
    FakeTray* tray = owned.get();
    auto previous = plat::SetNotifyIconBackend(std::move(owned));
    TrayOwner owner;
    plat::NOTIFYICONDATAA data;
    data.hWnd = owner.GetSafeHwnd();
    data.uID = 33000;
    data.uFlags = plat::NIF_MESSAGE | plat::NIF_ICON | plat::NIF_TIP;
    data.uCallbackMessage = TrayOwner::kNotify;
    plat::SetTip(data, "Quarrybend Sync");

    tray->available = false;
    EXPECT_FALSE(plat::Shell_NotifyIconA(plat::NIM_ADD, &data));
    tray->available = true;
    EXPECT_TRUE(plat::Shell_NotifyIconA(plat::NIM_ADD, &data));
    EXPECT_FALSE(plat::Shell_NotifyIconA(plat::NIM_ADD, &data));  // already there
    data.uFlags = plat::NIF_TIP;
    plat::SetTip(data, "Sync running");
    EXPECT_TRUE(plat::Shell_NotifyIconA(plat::NIM_MODIFY, &data));

    plat::NotifyIconClicked(owner.GetSafeHwnd(), 33000, plat::NotifyIconBackend::Click::Context);
    plat::NotifyIconClicked(owner.GetSafeHwnd(), 33000, plat::NotifyIconBackend::Click::DoubleClick);
    plat::NotifyIconClicked(owner.GetSafeHwnd(), 4, plat::NotifyIconBackend::Click::Single);  // no such icon
    QTest::qWait(10);
    EXPECT_EQ(owner.notes, (std::vector<std::pair<WPARAM, LPARAM>>{{33000, WM_RBUTTONUP}, {33000, WM_LBUTTONDBLCLK}}));

    EXPECT_TRUE(plat::Shell_NotifyIconA(plat::NIM_DELETE, &data));
    EXPECT_FALSE(plat::Shell_NotifyIconA(plat::NIM_DELETE, &data));
    EXPECT_FALSE(plat::Shell_NotifyIconA(plat::NIM_MODIFY, &data));
    EXPECT_EQ(tray->calls,
              (std::vector<std::string>{"show 33000 Quarrybend Sync", "show 33000 Sync running", "remove 33000"}));
    plat::SetNotifyIconBackend(std::move(previous));
}

TEST(NotifyIcon, ALongTipIsCutWholeCharactersFirst) {
    plat::NOTIFYICONDATAA data;
    std::string tip;
    for (int i = 0; i < 100; ++i) tip += "\xC3\xA9";  // é, two bytes each
    plat::SetTip(data, tip);
    const std::string stored(data.szTip);
    EXPECT_EQ(stored.size(), 126u);
    EXPECT_EQ(QString::fromUtf8(stored.c_str()).size(), 63);
    EXPECT_EQ(data.szTip[127], '\0');
}

}  // namespace
