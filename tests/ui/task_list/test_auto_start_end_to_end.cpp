// A task that starts on its own, through the real main window, task list and task window:
// the timer's ticks are sent by the test, everything after them is the program's own.
// Alone in its program: the moment of the program-start runs is kept for the process.
#include <QApplication>

#include "platform/core/clock.h"
#include "support/temp_dir.h"
#include "task_list_test_support.h"

namespace tltest {
namespace {

TEST_F(TaskListTest, AProgramStartTaskChecksAndSyncsByItself) {
    Store("Boot", [](SyncTask& t) {
        t.runAtStart = 1;
        t.startDelaySeconds = 0;
        t.autoRunMode = 1;  // Check and Sync
    });
    qbtest::WriteFileBytes(Folder("Boot-L") + "/a.txt", "alpha");
    qbtest::WriteFileBytes(Folder("Boot-L") + "/sub/b.txt", "beta");
    plat::FixedClock clock(plat::NowUnixSeconds());
    const plat::ClockOverride useClock(clock);
    Start();
    SyncTask& task = Task("Boot");

    Send(WM_TIMER, kTaskListTimer);
    EXPECT_EQ(task.busyCode, TaskBusy::Idle) << "due only once the moment has passed";
    clock.Advance(1);
    Send(WM_TIMER, kTaskListTimer);

    const ULONGLONG deadline = GetTickCount64() + 60'000;
    while (!(task.runFacts.Get().lastRunStatus != 0 && task.busyCode == TaskBusy::Idle &&
             Image("Boot") == kAfterBusyTaskImage)) {
        ASSERT_LT(GetTickCount64(), deadline) << "the run did not end";
        plat::ProcessPendingMessages();
        QApplication::processEvents();
        Sleep(10);
    }
    plat::ProcessPendingMessages();

    EXPECT_EQ(qbtest::ReadFileBytes(Folder("Boot-R") + "/a.txt"), "alpha");
    EXPECT_EQ(qbtest::ReadFileBytes(Folder("Boot-R") + "/sub/b.txt"), "beta");
    EXPECT_EQ(task.runFacts.Get().lastRunStatus, kRunSucceeded);
    EXPECT_EQ(task.runFacts.Get().startRunState, 2u) << "started, then done";
    const HistoryRecord run = LastHistory();
    EXPECT_EQ(run.taskName, "Boot");
    EXPECT_EQ(run.startSource, kStartedAtProgramStart);
    EXPECT_EQ(Cell("Boot", 5), "AUTO START");

    // Started once: later ticks leave it alone.
    clock.Advance(60);
    Send(WM_TIMER, kTaskListTimer);
    EXPECT_EQ(task.busyCode, TaskBusy::Idle);
}

}  // namespace
}  // namespace tltest
