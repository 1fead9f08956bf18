// The task list as the user and the program's runs meet it: what its rows say, the busy
// gate, the selection and what follows it, sorting, the right-click menu, deleting tasks
// and the commands that reach the selected task's window.
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTimer>

#include "foundation/resource_strings.h"
#include "foundation/script_table.h"
#include "foundation/settings_store.h"
#include "platform/core/file_time.h"
#include "resources/command_ids.h"
#include "resources/control_ids.h"
#include "support/scoped_time_zone.h"
#include "task_list_test_support.h"
#include "tests/ui/task_window/task_window_test_support.h"
#include "ui/frame/cust_ribbon.h"

namespace tltest {
namespace {

FILETIME LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
    SYSTEMTIME st{};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = hour;
    st.wMinute = minute;
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

void SetLastRunStart(SyncTask& task, const FILETIME& start) {
    task.runFacts.Update([&start](TaskRunFacts& facts) { facts.lastRunStart = start; });
}

TEST_F(TaskListTest, RowsSayWhatTheLastRunWasInTheTimeItWasRun) {
    const qbtest::ScopedTimeZone zone("Asia/Kolkata");  // 5:30 from UTC: a shifted time shows
    Store("Never");
    Store("Nightly", [](SyncTask& t) {
        t.scheduleOn = 1;
        t.repeatOn = 1;
        t.startSource = kStartedByRepeat;
        t.runFacts.Update([](TaskRunFacts& facts) {
            facts.lastRunSyncType = 3;
            facts.lastRunMode = 1;
            facts.lastRunStart = LocalTime(2021, 3, 4, 5, 6);
        });
    });
    Store("Mine", [](SyncTask& t) { SetLastRunStart(t, LocalTime(2021, 3, 4, 5, 6)); });
    Start();

    for (int column = 1; column < kTaskListColumnCount; ++column) EXPECT_EQ(Cell("Never", column), "") << column;
    EXPECT_EQ(Cell("Nightly", 1), "SCHEDULER+TIMER");
    EXPECT_EQ(Cell("Nightly", 2), Folder("Nightly-L"));
    EXPECT_EQ(Cell("Nightly", 3), Folder("Nightly-R"));
    EXPECT_NE(Cell("Nightly", 4).find("5:06"), std::string::npos) << Cell("Nightly", 4);
    EXPECT_EQ(Cell("Nightly", 5), "TIMER");
    EXPECT_EQ(Cell("Nightly", 6), "Back up from Left to Right (Check)");
    EXPECT_EQ(Cell("Mine", 1), "");
    EXPECT_EQ(Cell("Mine", 5), "tester");
    EXPECT_EQ(Cell("Mine", 6), "Mirror");
    EXPECT_EQ(Image("Mine"), kTaskImage);
}

TEST_F(TaskListTest, TheBusyGateHoldsEachTaskByItselfAndTheStatusFollowsTheSelectedOne) {
    Store("MyDocs");
    Store("Docs");
    Start();
    Click("Docs");
    SyncTask& docs = Task("Docs");
    SyncTask& myDocs = Task("MyDocs");

    EXPECT_EQ(Send(WM_SYNC_TASK_BUSY, W(myDocs), 1), 1);
    EXPECT_EQ(Status(IDC_STATUS_PANE_EXTENDED), "No action            ") << "MyDocs is not the selected task";
    EXPECT_EQ(Send(WM_SYNC_TASK_BUSY, W(docs), 1), 1) << "a name that ends another busy one's is no busy task";
    EXPECT_EQ(Status(IDC_STATUS_PANE_EXTENDED), "Synchronizing");
    EXPECT_EQ(Image("Docs"), kBusyTaskImage);
    EXPECT_EQ(Send(WM_SYNC_TASK_BUSY, W(docs), 2), 0);
    SyncTask stranger;
    stranger.SetDefaults();
    EXPECT_EQ(Send(WM_SYNC_TASK_BUSY, W(stranger), 1), 0);

    // Clear All leaves a busy task's list alone and says so in its log.
    frame_->DispatchCommand(ID_CLEAR_ALL);
    const auto* log = dynamic_cast<CRichEditCtrlGS*>(plat::MessageWindow::FromHwnd(docs.logControl));
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->toPlainText().toStdString(), "Docs won't clear because it is busy. Stop the task first.\n");

    // The end of MyDocs's run leaves the selected task's status as it is.
    EXPECT_EQ(Send(WM_SYNC_TASK_DONE, W(myDocs), 1), 0);
    EXPECT_EQ(Status(IDC_STATUS_PANE_EXTENDED), "Synchronizing");
    EXPECT_EQ(Image("MyDocs"), kAfterBusyTaskImage);

    twtest::StandIn window;
    const HWND own = docs.taskWindow;
    docs.taskWindow = window.Hwnd();
    Send(WM_SYNC_TASK_DONE, W(docs), 1);
    docs.taskWindow = own;
    EXPECT_EQ(Status(IDC_STATUS_PANE_EXTENDED), "No action            ");
    EXPECT_EQ(Image("Docs"), kAfterBusyTaskImage);
    ASSERT_EQ(window.sent.size(), 1u);
    EXPECT_EQ(window.sent[0].message, WM_SYNC_AFTER_RUN);
    EXPECT_EQ(window.sent[0].w, 1u);
    EXPECT_EQ(Send(WM_SYNC_TASK_BUSY, W(docs), 2), 1) << "free again";
}

TEST_F(TaskListTest, SelectingATaskShowsItsTabAndLogAndTellsTheFrameWhetherItRuns) {
    Store("A");
    Store("B");
    Start();
    EXPECT_EQ(List().SelectedRow(), 1) << "no active task stored: the last row";
    List().clearSelection();

    // Nothing selected: the task commands stay offered and the relays reach no window.
    EXPECT_TRUE(Enabled(ID_DELETE_TASK));
    EXPECT_TRUE(Enabled(ID_CHECK));
    EXPECT_FALSE(Enabled(ID_SYNC));
    EXPECT_FALSE(Enabled(ID_OPEN_LEFT_LOG));
    EXPECT_TRUE(Enabled(ID_FILE_PRINT)) << "a list with rows prints";
    EXPECT_EQ(List().PrintTitle(), "Quarrybend Sync Tasks") << "under its own title";
    for (const UINT message : {WM_SYNC_START, WM_SYNC_STOP, WM_SYNC_CLEAR_LIST, WM_SYNC_TASK_OPTIONS}) {
        EXPECT_EQ(Send(message, 1, 0), 1);
    }
    frame_->DispatchCommand(ID_DELETE_TASK);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B"}));

    Send(WM_SYNC_TASK_BUSY, W(Task("A")), 1);
    Click("A");
    EXPECT_EQ(frame_->CaptionBar()->Text(), "Click the Check icon to start.");
    EXPECT_FALSE(frame_->Ribbon()->ShowsClear()) << "a busy task shows Stop";
    EXPECT_EQ(Status(IDC_STATUS_PANE_MAIN), "A");
    EXPECT_EQ(Status(IDC_STATUS_PANE_EXTENDED), "Synchronizing");
    EXPECT_EQ(ShownTab(), "A");
    EXPECT_EQ(frame_->LogPane()->ShownTask(), &Task("A"));
    EXPECT_FALSE(Enabled(ID_DELETE_TASK)) << "rule T: the task runs";
    EXPECT_TRUE(Enabled(ID_STOP));
    Click("B");
    EXPECT_TRUE(frame_->Ribbon()->ShowsClear());
    EXPECT_EQ(ReadProfileString("Task", "Active", ""), "B");

    // The tab the user picks selects its task, and Tab goes from the tabs into its window.
    QTabBar* bar = Tabs().TabControl()->tabBar();
    const auto tabFrom = [](QWidget* from) {
        QWidget* next = from->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus) || !next->isVisible()) next = next->nextInFocusChain();
        return next;
    };
    EXPECT_TRUE(WindowOf(Task("B"))->isAncestorOf(tabFrom(bar))) << tabFrom(bar)->metaObject()->className();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(List().GetSelectedTask(), &Task("A"));

    // A right click selects the row under it and opens the task menu over it.
    std::vector<std::string> items;
    QTimer::singleShot(100, [&items] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (const QAction* action : menu->actions()) {
                if (!action->isSeparator()) items.push_back(action->text().toStdString());
            }
            menu->close();
        }
    });
    Click("B", Qt::RightButton);
    EXPECT_EQ(List().GetSelectedTask(), &Task("B"));
    ASSERT_EQ(items.size(), 15u);
    EXPECT_EQ(items.front(), "&Rename\tF2");
    EXPECT_EQ(items[6], "&Log");
    EXPECT_EQ(items.back(), "Cl&ear\tCtrl+Del");
}

TEST_F(TaskListTest, SortingByLastRunTimeTurnsTheOrderOverAndRowsStayWithTheirTasks) {
    Store("Mid", [](SyncTask& t) { SetLastRunStart(t, LocalTime(2021, 5, 1, 12, 0)); });
    Store("Old", [](SyncTask& t) { SetLastRunStart(t, LocalTime(2020, 5, 1, 12, 0)); });
    Store("New", [](SyncTask& t) { SetLastRunStart(t, LocalTime(2022, 5, 1, 12, 0)); });
    Start();
    const auto clickHeader = [this](int column) {
        QHeaderView* header = List().header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };

    clickHeader(kLastRunTimeColumn);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"New", "Mid", "Old"}));
    EXPECT_EQ(List().HeaderArrow(kLastRunTimeColumn), ReportList::Arrow::Down);
    clickHeader(kLastRunTimeColumn);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Old", "Mid", "New"}));
    EXPECT_EQ(List().HeaderArrow(kLastRunTimeColumn), ReportList::Arrow::Up);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(List().TaskAt(row)->rowIndex, row);

    // "Old" now stands where "Mid" stood: its own tab and log come up, and its busy image
    // lands on its own row.
    Click("Old");
    EXPECT_EQ(ShownTab(), "Old");
    EXPECT_EQ(frame_->LogPane()->ShownTask(), &Task("Old"));
    Send(WM_SYNC_TASK_BUSY, W(Task("Mid")), 2);
    EXPECT_EQ(List().Row(1)->Image(0), kBusyTaskImage);
    EXPECT_EQ(List().Row(0)->Image(0), kTaskImage);

    clickHeader(kTaskColumn);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Mid", "New", "Old"}));
    EXPECT_EQ(List().HeaderArrow(kLastRunTimeColumn), ReportList::Arrow::None);
    EXPECT_EQ(List().GetSelectedTask(), &Task("Old"));
}

TEST_F(TaskListTest, DeletingATaskTakesEverythingOfItAndNeverFreesOneThatRuns) {
    Store("Keep");
    Store("Gone", [](SyncTask& t) { t.scheduleOn = 1; });
    Start();
    SyncTask& gone = Task("Gone");
    const int script = gone.scriptIndex;
    ASSERT_GE(script, 0);
    EXPECT_TRUE(KillTimer(frame_->GetSafeHwnd(), kScriptTimer)) << "a stored schedule is checked from the start";
    ASSERT_EQ(List().GetSelectedTask(), &gone);

    Send(WM_SYNC_TASK_BUSY, W(gone), 1);
    EXPECT_FALSE(Enabled(ID_DELETE_TASK));
    // Without its window the command is offered, and the gate refuses it.
    const HWND window = gone.taskWindow;
    gone.taskWindow = nullptr;
    frame_->DispatchCommand(ID_DELETE_TASK);
    gone.taskWindow = window;
    EXPECT_EQ(LastTold(), "Gone is busy.  Try it later!");
    Send(WM_SYNC_TASK_DONE, W(gone), 1);

    // Del reaches Delete Task from anywhere in the window: only Yes deletes.
    answer_ = [](const plat::MessageBoxRequest&) { return IDNO; };
    frame_->DispatchCommand(ID_DELETE_TASK);
    EXPECT_EQ(LastTold(), "Do you want to delete task Gone?");
    EXPECT_TRUE(TaskNameExists("Gone"));
    EXPECT_EQ(List().GetSelectedTask(), &gone);
    answer_ = [](const plat::MessageBoxRequest&) { return IDYES; };

    const CRichEditCtrlGS* log = frame_->LogPane()->ShownControl();
    ASSERT_NE(log, frame_->LogPane()->DefaultControl());
    frame_->DispatchCommand(ID_DELETE_TASK);
    EXPECT_EQ(RowNames(), std::vector<std::string>{"Keep"});
    EXPECT_FALSE(TaskNameExists("Gone"));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Tabs().TabControl()->count(), 1);
    EXPECT_EQ(LastHistory().type, kHistoryTaskDeleted);
    EXPECT_EQ(LastHistory().status, kHistoryEventDone);
    EXPECT_EQ(Status(IDC_STATUS_PANE_MAIN), "No task                ");
    EXPECT_EQ(frame_->LogPane()->ShownControl(), frame_->LogPane()->DefaultControl());
    EXPECT_EQ(ProgramScripts().State(script)->cancelled, 1);
    EXPECT_EQ(List().SelectedRow(), -1);

    // ID_DELETE_ALL_ROWS frees every task but one that runs.
    Store("Also");
    Restart();
    Send(WM_SYNC_TASK_BUSY, W(Task("Keep")), 1);
    List().Message(WM_COMMAND, ID_DELETE_ALL_ROWS);
    EXPECT_EQ(RowNames(), std::vector<std::string>{"Keep"});
    EXPECT_EQ(Tabs().TabControl()->count(), 1);
    Send(WM_SYNC_TASK_DONE, W(Task("Keep")), 1);
}

}  // namespace
}  // namespace tltest
