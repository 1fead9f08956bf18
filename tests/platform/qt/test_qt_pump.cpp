#include "platform/qt/message_pump.h"

#include <QDialog>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

#include "platform/core/message_box.h"
#include "platform/qt/idle_update.h"
#include "platform/qt/message_window.h"

namespace {

constexpr UINT kQueryStop = WM_APP + 1600;

class StopFlagWindow : public QWidget, public plat::MessageWindow {
public:
    StopFlagWindow() : plat::MessageWindow(this) { MapMessage(kQueryStop, &StopFlagWindow::OnQueryStop); }

    std::atomic<bool> modalRunning{false};
    bool answeredInsideModal = false;
    DWORD answeredOn = 0;

private:
    LRESULT OnQueryStop(WPARAM, LPARAM) {
        answeredInsideModal = modalRunning;
        answeredOn = GetCurrentThreadId();
        return 1;
    }
};

TEST(QtMessagePump, WorkerSendIsAnsweredWhileAModalDialogRuns) {
    StopFlagWindow window;
    QDialog dialog;
    std::atomic<LRESULT> answer{-1};
    std::thread worker;

    // Once the dialog's own loop runs, a worker asks the window; the dialog closes when
    // the answer is back (or, as a failure guard, after a long time).
    QTimer::singleShot(0, &dialog, [&] {
        window.modalRunning = true;
        worker = std::thread([&] { answer = SendMessage(window.GetSafeHwnd(), kQueryStop, 0, 0); });
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        if (answer.load() != -1) dialog.accept();
    });
    poll.start(5);
    QTimer::singleShot(30000, &dialog, &QDialog::reject);
    dialog.exec();
    window.modalRunning = false;
    if (worker.joinable()) worker.join();

    EXPECT_EQ(answer.load(), 1);
    EXPECT_TRUE(window.answeredInsideModal);
    EXPECT_EQ(window.answeredOn, GetCurrentThreadId());
}

TEST(QtMessagePump, WorkerMessageBoxIsCarriedToTheGuiThread) {
    DWORD answeredOn = 0;
    plat::ScopedMessageBoxHandler handler([&](const plat::MessageBoxRequest&) {
        answeredOn = GetCurrentThreadId();
        return IDNO;
    });
    StopFlagWindow owner;
    std::atomic<int> result{-1};
    DWORD workerId = 0;
    std::thread worker([&] {
        workerId = GetCurrentThreadId();
        result = MessageBox(owner.GetSafeHwnd(), "Clear the log?", "Quarrybend Sync VEXO", MB_YESNO | MB_ICONQUESTION);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return result.load() != -1; }, 30000));
    worker.join();

    EXPECT_EQ(result.load(), IDNO);
    EXPECT_EQ(answeredOn, GetCurrentThreadId());
    const auto requests = handler.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].text, "Clear the log?");
    EXPECT_EQ(requests[0].caption, "Quarrybend Sync VEXO");
    EXPECT_EQ(requests[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(requests[0].owner, owner.GetSafeHwnd());
    EXPECT_EQ(requests[0].askingThread, workerId);
}

TEST(QtMessagePump, WindowTimersFireFromQtsLoop) {
    struct Ticker : QWidget, plat::MessageWindow {
        Ticker() : plat::MessageWindow(this) { MapMessage(WM_TIMER, &Ticker::OnTimer); }
        void OnTimer(WPARAM id, LPARAM) {
            if (id == 150) ++ticks;
        }
        int ticks = 0;
    } ticker;
    ASSERT_NE(SetTimer(ticker.GetSafeHwnd(), 150, 10), 0u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticker.ticks >= 3; }, 30000));
    KillTimer(ticker.GetSafeHwnd(), 150);
}

TEST(QtMessagePump, PostsFromTheGuiThreadItselfAreHandledInOrder) {
    struct Recorder : QWidget, plat::MessageWindow {
        Recorder() : plat::MessageWindow(this) { MapMessage(WM_APP + 5, &Recorder::OnPost); }
        void OnPost(WPARAM w, LPARAM) { seen.push_back(static_cast<int>(w)); }
        std::vector<int> seen;
    } recorder;
    for (int i = 0; i < 50; ++i) PostMessage(recorder.GetSafeHwnd(), WM_APP + 5, static_cast<WPARAM>(i), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.seen.size() == 50; }, 30000));
    for (int i = 0; i < 50; ++i) EXPECT_EQ(recorder.seen[static_cast<std::size_t>(i)], i);
}

// A worker that sends message after message (a run reporting its files) is answered
// without a pass through Qt's loop for each, yet the loop keeps its turn: its timers fire
// and the idle update still refreshes what the user may click (Stop) while it sends.
TEST(QtMessagePump, AWorkerSendingWithoutPauseLeavesTimersAndIdleUpdatesTheirTurn) {
    struct Counter : QWidget, plat::MessageWindow {
        Counter() : plat::MessageWindow(this) { MapMessage(WM_APP + 6, &Counter::OnSent); }
        LRESULT OnSent(WPARAM, LPARAM) { return ++answered; }
        long answered = 0;
    } counter;
    struct Passes : plat::CommandUser {
        void UpdateCommandUI() override { ++count; }
        int count = 0;
    } passes;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(10);

    std::atomic<bool> enough{false};
    std::atomic<bool> done{false};
    std::atomic<long> sentWhileTurns{0};
    std::thread worker([&] {
        const ULONGLONG guard = GetTickCount64() + 20000;
        while (!enough && GetTickCount64() < guard) SendMessage(counter.GetSafeHwnd(), WM_APP + 6, 0, 0);
        sentWhileTurns = counter.answered;
        done = true;
    });
    // Qt's own loop, as the program runs it (a test wait would sleep between its looks).
    const int passesBefore = passes.count;
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (ticks >= 5 && passes.count >= passesBefore + 3) loop.quit();
    });
    look.start(5);
    QTimer::singleShot(20000, &loop, [&loop] { loop.exit(1); });  // failure guard
    EXPECT_EQ(loop.exec(), 0);
    enough = true;
    // Its last message is answered before it can end.
    EXPECT_TRUE(QTest::qWaitFor([&done] { return done.load(); }, 20000));
    worker.join();
    EXPECT_GT(sentWhileTurns.load(), 1000) << "the worker was answered all along";
}

// Last: it runs and ends the application's own loop.
TEST(QtMessagePump, WmQuitOnTheGuiThreadEndsQtsLoopWithItsCode) {
    const DWORD gui = plat::GuiThreadId();
    ASSERT_EQ(gui, GetCurrentThreadId());
    std::thread worker([gui] { PostThreadMessage(gui, WM_QUIT, 7, 0); });
    QTimer::singleShot(30000, [] { QCoreApplication::exit(-99); });  // failure guard
    EXPECT_EQ(QCoreApplication::exec(), 7);
    worker.join();
}

}  // namespace
