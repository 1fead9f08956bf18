// The task list's automatic-start timer and the Sync Container on the real main window:
// what each tick posts to the task windows, what it writes into their logs, when the
// timer goes on, and what the Sync Container dialog and commands leave in memory and in
// the store.
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <map>

#include "controls/log_control.h"
#include "foundation/archive_store.h"
#include "foundation/settings_store.h"
#include "foundation/task_record.h"
#include "platform/core/clock.h"
#include "resources/command_ids.h"
#include "task_list_test_support.h"
#include "tests/ui/modal_answer.h"

namespace tltest {
namespace {

using Start = std::pair<WPARAM, LPARAM>;  // mode, run-from code
using Starts = std::vector<Start>;

constexpr std::int64_t kT0 = 1'800'000'000;

// Stands in for a task's window and keeps every start it is asked for.
class StartRecorder : public plat::WindowProcedure {
public:
    LRESULT WindowProc(HWND, UINT message, WPARAM w, LPARAM l) override {
        if (message == WM_SYNC_START) starts.emplace_back(w, l);
        return 0;
    }
    Starts starts;
};

class AutoStartTest : public TaskListTest {
protected:
    ~AutoStartTest() override { RestoreWindows(); }

    // Before the tasks go: their own windows back, the recorders gone.
    void RestoreWindows() {
        for (auto& [name, stand] : stands_) {
            Task(name).taskWindow = stand.window;
            DestroyWindow(stand.hwnd);
        }
        stands_.clear();
    }

    // The task's window is replaced by a recorder until the test ends.
    const Starts& Record(const std::string& name) {
        Stand& stand = stands_[name];
        stand.window = Task(name).taskWindow;
        stand.hwnd = plat::CreateMessageWindow(&stand.recorder);
        Task(name).taskWindow = stand.hwnd;
        return stand.recorder.starts;
    }
    void Tick() {
        Send(WM_TIMER, kTaskListTimer);
        plat::ProcessPendingMessages();
    }
    bool TimerOn() const { return KillTimer(List().GetSafeHwnd(), kTaskListTimer) != FALSE; }

    // The task's log, one entry per line with whether it is red.
    std::vector<std::pair<std::string, bool>> Log(const std::string& name) const {
        const auto* log = dynamic_cast<CRichEditCtrlGS*>(plat::MessageWindow::FromHwnd(Task(name).logControl));
        std::vector<std::pair<std::string, bool>> lines;
        if (!log) return lines;
        for (QTextBlock block = log->document()->begin(); block.isValid(); block = block.next()) {
            if (block.text().isEmpty()) continue;
            const QColor colour = block.begin().fragment().charFormat().foreground().color();
            const bool red = colour.red() > 200 && colour.green() < 40 && colour.blue() < 40;
            lines.emplace_back(block.text().toStdString(), red);
        }
        return lines;
    }
    static DWORD StoredContainerWord(const std::string& name) {
        const auto bytes = ReadArchiveEntry(GetTaskListFilePath(), name);
        return bytes && bytes->size() == kTaskRecordSize ? GetTaskContainerMode(*bytes) : 99;
    }

    plat::FixedClock clock_{kT0};
    plat::ClockOverride useClock_{clock_};

private:
    struct Stand {
        StartRecorder recorder;
        HWND hwnd = nullptr;
        HWND window = nullptr;
    };
    std::map<std::string, Stand> stands_;
};

TEST_F(AutoStartTest, TheTimerRunsOnlyWhileATaskWaits) {
    Store("Plain");
    Store("Hourly", [](SyncTask& t) {
        t.repeatOn = 1;
        t.repeatHours = 1;
    });
    Start();
    const Starts& starts = Record("Hourly");
    Task("Hourly").repeatBase = kT0;
    EXPECT_TRUE(TimerOn()) << "loading the tasks arms it";

    CMainFrame::ArmTaskTimer();
    Tick();
    EXPECT_TRUE(TimerOn()) << "the repeat waits";
    clock_.Advance(3601);
    Tick();
    EXPECT_EQ(starts, (Starts{{kRunModeCheck, kStartedByRepeat}}));
    EXPECT_EQ(Task("Hourly").startSource, kStartedByUser) << "the window writes the source when it takes the start";

    Task("Hourly").repeatOn = 0;
    CMainFrame::ArmTaskTimer();
    Tick();
    EXPECT_FALSE(TimerOn()) << "nothing waits: the tick does not set it again";

    EXPECT_EQ(Send(WM_SYNC_COPY_TASK, reinterpret_cast<WPARAM>("Hourly (2)")), 1);
    EXPECT_TRUE(TimerOn()) << "a copy's automatic runs wait for it too";
}

TEST_F(AutoStartTest, ABusyTaskIsToldInRedAndKeepsWaitingOrLosesItsContainerStart) {
    Store("Busy", [](SyncTask& t) {
        t.repeatOn = 1;
        t.repeatMinutes = 0;
    });
    Store("Mute");
    Start();
    const Starts& starts = Record("Busy");
    SyncTask& busy = Task("Busy");
    busy.repeatBase = kT0 - 60;
    ASSERT_EQ(Send(WM_SYNC_TASK_BUSY, W(busy), 1), 1);
    const std::string rerun = "Busy won't start because it is busy. The task will rerun.";
    Tick();
    Tick();
    EXPECT_EQ(Log("Busy"), (std::vector<std::pair<std::string, bool>>{{rerun, true}, {rerun, true}}));
    EXPECT_TRUE(starts.empty());
    EXPECT_TRUE(TimerOn());

    busy.repeatOn = 0;
    busy.containerMode = kContainerCheck;
    busy.containerPending = 1;
    Tick();
    Tick();
    ASSERT_EQ(Log("Busy").size(), 3u);
    EXPECT_EQ(Log("Busy").back(),
              std::make_pair(std::string("Busy won't start because it is busy. The task will be canceled."), true));
    EXPECT_EQ(busy.containerPending, 0u);

    Send(WM_SYNC_TASK_DONE, W(busy));
    Tick();
    EXPECT_TRUE(starts.empty()) << "a cancelled container start does not come back";

    // Without a log control the container start goes silently.
    SyncTask& mute = Task("Mute");
    const HWND log = mute.logControl;
    mute.logControl = nullptr;
    mute.containerMode = kContainerCheck;
    mute.containerPending = 1;
    ASSERT_EQ(Send(WM_SYNC_TASK_BUSY, W(mute), 2), 1);
    Tick();
    mute.logControl = log;
    EXPECT_TRUE(Log("Mute").empty());
    EXPECT_EQ(mute.containerPending, 0u);
    Send(WM_SYNC_TASK_DONE, W(mute));
}

TEST_F(AutoStartTest, TheSyncContainerDialogSetsTheMembersAndTheNextTickStartsThem) {
    Store("X");
    Store("Y", [](SyncTask& t) { t.containerMode = kContainerCheck; });
    Store("Z");
    Start();
    const Starts& x = Record("X");
    const Starts& y = Record("Y");
    Task("Y").containerPending = 1;

    bool shown = false;
    uitest::WhenModal([&](QWidget* dialog) {
        shown = true;
        auto* box = dialog->findChild<QListWidget*>("47945");
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(box->count(), 3);
        EXPECT_EQ(box->item(1)->checkState(), Qt::Checked) << "Y is a member";
        EXPECT_TRUE(dialog->findChild<QRadioButton*>("1015")->isChecked()) << "Batch/Type 0: Check";
        QTest::mouseClick(dialog->findChild<QRadioButton*>("1016"), Qt::LeftButton);
        // The user ticks X and clears Y with the space bar.
        box->setFocus();
        for (int row : {0, 1}) {
            box->setCurrentRow(row);
            QTest::keyClick(box, Qt::Key_Space);
        }
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text() == "Run") QTest::mouseClick(button, Qt::LeftButton);
    });
    ASSERT_TRUE(frame_->DispatchCommand(ID_SYNC_CONTAINER));
    ASSERT_TRUE(shown);

    EXPECT_EQ(ReadProfileInt("Batch", "Type", -1), 1);
    EXPECT_EQ(Task("X").containerMode, kContainerCheckAndSync);
    EXPECT_EQ(Task("X").containerPending, 1u);
    EXPECT_EQ(StoredContainerWord("X"), 2u);
    EXPECT_EQ(Task("Y").containerMode, kNotInContainer);
    EXPECT_EQ(Task("Y").containerPending, 0u) << "taken out, its waiting start with it";
    EXPECT_EQ(StoredContainerWord("Y"), 0u);
    EXPECT_EQ(StoredContainerWord("Z"), 0u);
    EXPECT_TRUE(TimerOn()) << "Run arms the timer";

    Tick();
    EXPECT_EQ(x, (Starts{{kRunModeCheckAndSync, kStartedByContainer}}));
    EXPECT_TRUE(y.empty());
    Tick();
    EXPECT_EQ(x.size(), 1u);
}

TEST_F(AutoStartTest, AddToSyncContainerStoresTheKindItSetsAndRunSyncContainerStartsEveryMember) {
    Store("X");
    Store("Y", [](SyncTask& t) { t.containerMode = kContainerCheckAndSync; });
    Store("Out");
    Start();
    const Starts& x = Record("X");
    const Starts& y = Record("Y");
    const Starts& out = Record("Out");
    WriteProfileInt("Batch", "Type", 0);
    KillTimer(List().GetSafeHwnd(), kTaskListTimer);  // the one the load set

    Click("Y");
    EXPECT_FALSE(Enabled(ID_ADD_TO_CONTAINER)) << "a Check and Sync member already";
    Click("X");
    ASSERT_TRUE(frame_->DispatchCommand(ID_ADD_TO_CONTAINER));
    EXPECT_EQ(Task("X").containerMode, kContainerCheck);
    EXPECT_EQ(Task("X").containerPending, 1u);
    EXPECT_EQ(StoredContainerWord("X"), 1u) << "the kind it set, not Check and Sync";
    EXPECT_FALSE(TimerOn()) << "the start waits for the next arming";

    Task("X").containerPending = 0;
    ASSERT_TRUE(frame_->DispatchCommand(ID_RUN_CONTAINER));
    EXPECT_EQ(Task("Y").containerPending, 1u);
    EXPECT_TRUE(TimerOn());
    Tick();
    EXPECT_EQ(x, (Starts{{kRunModeCheck, kStartedByContainer}}));
    EXPECT_EQ(y, (Starts{{kRunModeCheckAndSync, kStartedByContainer}}));
    EXPECT_TRUE(out.empty());

    // After a restart a Check member still runs Check.
    RestoreWindows();
    Restart();
    EXPECT_EQ(Task("X").containerMode, kContainerCheck);
}

}  // namespace
}  // namespace tltest
