// The main window's chrome as a user meets it: the ribbon's Clear and Stop during runs, the
// caption bar's tips and warnings, the tray icon with its menu, closing and minimising to
// the tray, the look and the quick-access toolbar kept across a restart, and the print
// command of the page shown.
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "foundation/history_store.h"
#include "foundation/settings_store.h"
#include "frame_test_support.h"
#include "platform/qt/navigation_bar.h"
#include "platform/qt/notify_icon.h"
#include "platform/qt/visual_style.h"
#include "resources/command_ids.h"
#include "resources/image_ids.h"
#include "ui/frame/caption_bar.h"
#include "ui/frame/cust_ribbon.h"
#include "ui/frame/outlook_bar.h"
#include "ui/history/history_view.h"

namespace frametest {
namespace {

// A notification area that is there (or not) and remembers what it shows.
class FakeTray : public plat::NotifyIconBackend {
public:
    explicit FakeTray(bool available) : available_(available) {}
    bool IsAvailable() const override { return available_; }
    bool Show(HWND, UINT, const QIcon& icon, const QString& shownTip) override {
        shown = !icon.isNull();
        tip = shownTip;
        return true;
    }
    void Remove(HWND, UINT) override { shown = false; }

    bool shown = false;
    QString tip;

private:
    bool available_;
};

// Installs the fake for one test; the desktop's own comes back after it.
struct ScopedTray {
    explicit ScopedTray(bool available) {
        auto fake = std::make_unique<FakeTray>(available);
        tray = fake.get();
        plat::SetNotifyIconBackend(std::move(fake));
    }
    ~ScopedTray() { plat::SetNotifyIconBackend(nullptr); }
    FakeTray* tray;
};

// The frame with its own pages: the Tasks placeholder and the history view.
class ChromeTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        Remake();
    }
    // A frame made after the test has set up its settings.
    void Remake() {
        frame_.reset();
        list_ = nullptr;
        history_ = nullptr;
        frame_ = std::make_unique<CMainFrame>();
        ASSERT_TRUE(frame_->Create());
    }
    void TearDown() override { plat::ApplyVisualStyle(ID_STYLE_BLACK); }
};

// Runs `inside` on the next pop-up menu once it is open, then closes it.
void WithPopup(std::function<void(QMenu*)> inside) {
    QTimer::singleShot(50, [inside] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu) inside(menu);
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
}

TEST_F(ChromeTest, ARunTurnsClearIntoStopOnceAndTheEndOfRunsTurnsItBack) {
    CCustRibbon* ribbon = frame_->Ribbon();
    const int home = ribbon->HomeCategory();
    const int action = ribbon->ActionPanel();
    auto place = [&] { return ribbon->ElementAt(home, action, 7); };
    ASSERT_EQ(place()->id, ID_CLEAR_SYNC_LIST);

    SendMessage(frame_->GetSafeHwnd(), WM_SYNC_BUSY_STATE, 1, 0);
    EXPECT_EQ(place()->id, ID_STOP);
    EXPECT_EQ(place()->text, "Stop");
    EXPECT_EQ(place()->largeImage, 11);
    QWidget* stop = ribbon->ElementWidgetAt(home, action, 7);
    SendMessage(frame_->GetSafeHwnd(), WM_SYNC_BUSY_STATE, 1, 0);
    EXPECT_EQ(ribbon->ElementWidgetAt(home, action, 7), stop) << "a second run start replaced Stop again";

    SendMessage(frame_->GetSafeHwnd(), WM_SYNC_BUSY_STATE, 0, 0);
    EXPECT_EQ(place()->id, ID_CLEAR_SYNC_LIST);
    EXPECT_EQ(place()->text, "Clear");
    EXPECT_EQ(place()->largeImage, 12);
    QWidget* clear = ribbon->ElementWidgetAt(home, action, 7);
    SendMessage(frame_->GetSafeHwnd(), WM_SYNC_BUSY_STATE, 0, 0);
    EXPECT_EQ(ribbon->ElementWidgetAt(home, action, 7), clear);
    EXPECT_EQ(ribbon->ElementAt(home, action, 6)->id, ID_SELECT_ALL) << "the other places stay";
}

TEST_F(ChromeTest, TheCaptionBarShowsAWarningInRedAndTheNextTipInBlack) {
    frame_->resize(1000, 600);
    frame_->ShowWindow(plat::SW_SHOWNORMAL);
    CBarraOutLook* caption = frame_->CaptionBar();
    auto hasRed = [&] {
        QApplication::processEvents();
        const QImage image = caption->grab(caption->TextRect()).toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 180 && c.green() < 90 && c.blue() < 90) return true;
            }
        return false;
    };
    EXPECT_EQ(caption->Text(), "Create or select a task first...");

    const std::string warning = "Please specify left folder first...";
    SendMessage(frame_->GetSafeHwnd(), WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(warning.c_str()), 255);
    EXPECT_EQ(caption->Text(), warning);
    EXPECT_TRUE(caption->ShowsWarning());
    EXPECT_EQ(caption->TextColour(), 255u);
    EXPECT_TRUE(hasRed());

    const std::string tip = "Click the Browse icons to select folders.";
    SendMessage(frame_->GetSafeHwnd(), WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(tip.c_str()), 0);
    EXPECT_EQ(caption->Text(), tip);
    EXPECT_FALSE(caption->ShowsWarning());
    EXPECT_EQ(caption->TextColour(), 0u);
    EXPECT_FALSE(hasRed());

    ASSERT_TRUE(frame_->DispatchCommand(ID_VIEW_CAPTION_BAR));
    EXPECT_FALSE(caption->isVisible());
    plat::CmdUI ui(ID_VIEW_CAPTION_BAR);
    frame_->UpdateCommandUI(ui);
    EXPECT_EQ(ui.Check(), 0);
}

TEST_F(ChromeTest, TheLookAndTheQuickAccessToolbarSurviveARestart) {
    ASSERT_TRUE(frame_->DispatchCommand(218));
    EXPECT_EQ(ReadProfileInt("Program", "ApplicationLook", 0), 218);
    ASSERT_TRUE(frame_->Ribbon()->SetQuickAccessShown(ID_SYNC_CONTAINER, true));
    ASSERT_TRUE(frame_->Ribbon()->SetQuickAccessShown(ID_DELETE_TASK, false));
    const std::vector<UINT> shown = frame_->Ribbon()->QuickAccessShown();
    frame_->Message(WM_CLOSE);
    plat::ProcessPendingMessages();

    plat::ApplyVisualStyle(ID_STYLE_BLACK);
    Remake();
    EXPECT_EQ(plat::CurrentVisualStyle(), 218u);
    EXPECT_EQ(frame_->Ribbon()->QuickAccessShown(), shown);
    plat::CmdUI ui(218);
    frame_->UpdateCommandUI(ui);
    EXPECT_TRUE(ui.IsRadio());
}

TEST_F(ChromeTest, WithTheTrayOptionCloseAndMinimiseHideAndExitCloses) {
    ScopedTray tray(true);
    WriteProfileInt("Program Options", "Tray Icon", 1);
    Remake();
    EXPECT_TRUE(tray.tray->shown);
    EXPECT_EQ(tray.tray->tip, "Quarrybend Sync");
    frame_->ShowWindow(plat::SW_SHOWNORMAL);
    const QRect normal = frame_->geometry();

    frame_->Message(WM_CLOSE);
    EXPECT_FALSE(frame_->isVisible());
    EXPECT_FALSE(frame_->IsShown());
    ASSERT_TRUE(frame_->DispatchCommand(ID_SHOW_HIDE));
    EXPECT_TRUE(frame_->isVisible());

    frame_->showMinimized();
    QApplication::processEvents();
    EXPECT_FALSE(frame_->isVisible()) << "minimised with the tray option: hidden";
    ASSERT_TRUE(frame_->DispatchCommand(ID_SHOW_HIDE));
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_FALSE(frame_->isMinimized());
    EXPECT_EQ(frame_->geometry(), normal);

    ASSERT_TRUE(frame_->DispatchCommand(ID_EXIT));
    EXPECT_FALSE(frame_->isVisible());
    EXPECT_EQ(ReadProfileString("Program Options", "Tray Icon", ""), "1");
    EXPECT_NE(ReadProfileString("Frame", "WP", ""), "") << "Exit went through the close steps";
    plat::ProcessPendingMessages();
}

TEST_F(ChromeTest, ALaterStartBringsBackAFrameHiddenToTheTrayOrMinimised) {
    {
        ScopedTray tray(true);
        WriteProfileInt("Program Options", "Tray Icon", 1);
        Remake();
        frame_->ShowWindow(plat::SW_SHOWNORMAL);
        const QRect normal = frame_->geometry();
        frame_->Message(WM_CLOSE);
        ASSERT_FALSE(frame_->isVisible());
        EXPECT_EQ(frame_->Message(WM_COPYDATA), TRUE);
        EXPECT_TRUE(frame_->isVisible());
        EXPECT_TRUE(frame_->IsShown());

        frame_->showMinimized();
        QApplication::processEvents();
        ASSERT_FALSE(frame_->isVisible());
        frame_->Message(WM_COPYDATA);
        EXPECT_TRUE(frame_->isVisible());
        EXPECT_FALSE(frame_->isMinimized());
        EXPECT_EQ(frame_->geometry(), normal);
    }
    WriteProfileInt("Program Options", "Tray Icon", 0);
    Remake();
    frame_->ShowWindow(plat::SW_SHOWMAXIMIZED);
    frame_->showMinimized();
    QApplication::processEvents();
    ASSERT_TRUE(frame_->isMinimized());
    frame_->Message(WM_COPYDATA);
    EXPECT_FALSE(frame_->isMinimized());
    EXPECT_TRUE(frame_->isMaximized()) << "restored as it was before the minimise";
}

TEST_F(ChromeTest, WithoutATrayCloseClosesThoughTheOptionIsOn) {
    ScopedTray tray(false);
    WriteProfileInt("Program Options", "Tray Icon", 1);
    Remake();
    frame_->ShowWindow(plat::SW_SHOWNORMAL);
    EXPECT_FALSE(frame_->HidesToTray());
    frame_->Message(WM_CLOSE);
    EXPECT_FALSE(frame_->isVisible());
    EXPECT_NE(ReadProfileString("Frame", "WP", ""), "") << "the frame closed, not hid";
    plat::ProcessPendingMessages();
}

TEST_F(ChromeTest, TheTrayMenuOpensWithItsDefaultInBoldAndADoubleClickShowsOrHides) {
    ScopedTray tray(true);
    WriteProfileInt("Program Options", "Tray Icon", 1);
    Remake();
    frame_->ShowWindow(plat::SW_SHOWNORMAL);
    const HWND hwnd = frame_->GetSafeHwnd();

    auto firstItem = [&] {
        QString text;
        bool bold = false;
        WithPopup([&](QMenu* menu) {
            QAction* first = menu->actions().value(0);
            text = first ? first->text() : QString();
            bold = first && first->font().bold() && menu->defaultAction() == first;
        });
        plat::NotifyIconClicked(hwnd, res::kTrayIcon, plat::NotifyIconBackend::Click::Context);
        plat::ProcessPendingMessages();
        return std::make_pair(text, bold);
    };
    EXPECT_EQ(firstItem(), std::make_pair(QString("Hide Window"), true));

    plat::NotifyIconClicked(hwnd, res::kTrayIcon, plat::NotifyIconBackend::Click::DoubleClick);
    plat::ProcessPendingMessages();
    EXPECT_FALSE(frame_->isVisible());
    EXPECT_EQ(firstItem(), std::make_pair(QString("Quarrybend Sync"), true));

    plat::NotifyIconClicked(hwnd, res::kTrayIcon, plat::NotifyIconBackend::Click::DoubleClick);
    plat::ProcessPendingMessages();
    EXPECT_TRUE(frame_->isVisible());
}

TEST_F(ChromeTest, PrintGoesToTheHistoryViewWhileItsPageShowsAndOnlyWithRows) {
    frame_->ShowWindow(plat::SW_SHOWNORMAL);
    auto printable = [&] {
        plat::CmdUI ui(ID_FILE_PRINT);
        frame_->UpdateCommandUI(ui);
        return ui.IsEnabled();
    };
    EXPECT_FALSE(printable()) << "the Tasks page has nothing to print yet";

    QWidget* historyButton = frame_->NavigationBar()->TabControl()->PageButton(kHistoryPage);
    QTest::mouseClick(historyButton, Qt::LeftButton, {}, historyButton->rect().center());
    EXPECT_EQ(frame_->ActivePage(), kHistoryPage);
    EXPECT_EQ(frame_->GetActiveView(), static_cast<plat::View*>(frame_->NavigationBar()->HistoryView()));
    EXPECT_FALSE(printable()) << "no rows";

    SyncTask task;
    task.SetDefaults();
    task.name = "Docs";
    ASSERT_TRUE(AddHistoryRecord(task, kHistoryTaskCreated, 0, kHistoryEventDone, ""));
    EXPECT_TRUE(printable());
}

}  // namespace
}  // namespace frametest
