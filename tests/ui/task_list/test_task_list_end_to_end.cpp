// What a user does from the main window, through the real task list, task window, run
// threads and history view: make a task, give it its folders, Check, look at the list,
// Sync, and find the run on the History page; and the runs that must not delete on a
// guess, and must when the user has seen what goes.
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>

#include "foundation/file_utils.h"
#include "foundation/settings_keys.h"
#include "platform/qt/combo_box_ex.h"
#include "resources/command_ids.h"
#include "resources/control_ids.h"
#include "support/temp_dir.h"
#include "task_list_test_support.h"
#include "tests/ui/task_window/task_window_test_support.h"
#include "ui/history/history_row.h"
#include "ui/history/history_view.h"
#include "ui/modal_answer.h"

namespace tltest {
namespace {

constexpr LPARAM kStartedByTimer = 2;

class EndToEnd : public TaskListTest {
protected:
    // Waits until `task` has run and is at rest again; `eachTurn`, when given, is done at
    // every turn of the wait in place of a pause.
    void WaitForRunEnd(SyncTask& task, const std::function<void()>& eachTurn = {}) {
        const ULONGLONG deadline = GetTickCount64() + 60'000;
        while (!(task.busyCode == TaskBusy::Idle && Image(task.name) == kAfterBusyTaskImage &&
                 !WindowOf(task)->IsRunning())) {
            ASSERT_LT(GetTickCount64(), deadline) << "the run did not end";
            plat::ProcessPendingMessages();
            QApplication::processEvents();
            if (eachTurn) {
                eachTurn();
            } else {
                Sleep(10);
            }
        }
        plat::ProcessPendingMessages();
        QApplication::processEvents();
    }
    void Command(SyncTask& task, UINT command) {
        Task(task.name).runFacts.Update([](TaskRunFacts& facts) { facts.lastRunStatus = 0; });
        ASSERT_TRUE(frame_->DispatchCommand(command));
        plat::ProcessPendingMessages();
        WaitForRunEnd(task);
    }
    std::wstring Action(SyncTask& task, const std::wstring& name) {
        CTreeListCtrl& tree = WindowOf(task)->ItemTree();
        HTREEITEM row = twtest::Row(tree, name);
        return row ? twtest::Cell(tree, row, 3).text : L"<no row>";
    }
    std::vector<std::string> LogLines(SyncTask& task) {
        std::vector<std::string> lines;
        const std::string log = qbtest::ReadFileBytes(plat::WideToUtf8(task.targetLog));
        std::size_t at = 0;
        while (at < log.size()) {
            const std::size_t end = log.find("\r\n", at);
            lines.push_back(log.substr(at, end == std::string::npos ? std::string::npos : end - at));
            if (end == std::string::npos) break;
            at = end + 2;
        }
        return lines;
    }
    static bool HasLineWith(const std::vector<std::string>& lines, const std::string& part) {
        for (const auto& line : lines) {
            if (line.find(part) != std::string::npos) return true;
        }
        return false;
    }
};

TEST_F(EndToEnd, AUserMakesATaskChecksReviewsSyncsAndFindsTheRunInTheHistory) {
    qbtest::WriteFileBytes(Folder("Work-L") + "/report.txt", "report");
    qbtest::WriteFileBytes(Folder("Work-L") + "/notes/todo.txt", "todo");
    qbtest::WriteFileBytes(Folder("Work-R") + "/photo.jpg", "jpeg");
    qbtest::WriteFileBytes(Folder("Work-L") + "/notes/scratch.tmp", "junk");
    Start();
    // Default Options > Filters excludes *.tmp: the new task takes it.
    ASSERT_TRUE(WriteSetting(settings::kFilterMode, 1));
    ASSERT_TRUE(WriteSettingW(settings::kFilterExclude, L"*.tmp"));

    uitest::WhenModal([](QWidget* dialog) { uitest::TypeAndAccept(dialog, "Work"); });
    ASSERT_TRUE(frame_->DispatchCommand(ID_NEW_TASK));
    plat::ProcessPendingMessages();
    ASSERT_EQ(RowNames(), std::vector<std::string>{"Work"});
    SyncTask& task = Task("Work");
    EXPECT_EQ(List().GetSelectedTask(), &task);
    EXPECT_EQ(ShownTab(), "Work");
    CSyncDlg* window = WindowOf(task);
    ASSERT_NE(window, nullptr);

    // The folders typed into the two boxes, each taken with Enter.
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    for (int side = 0; side < 2; ++side) {
        QComboBox* box = window->FolderBox(side);
        QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
        ASSERT_TRUE(box->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(Folder(side == 0 ? "Work-L" : "Work-R")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        plat::ProcessPendingMessages();
    }
    EXPECT_EQ(plat::WideToUtf8(task.leftFolder), Folder("Work-L"));
    EXPECT_EQ(plat::WideToUtf8(task.rightFolder), Folder("Work-R"));

    // Check: the list says what would happen, and nothing happened yet.
    Command(task, ID_CHECK);
    EXPECT_EQ(Action(task, L"report.txt"), L"Copy to right");
    EXPECT_EQ(Action(task, L"todo.txt"), L"Copy to right");
    EXPECT_EQ(Action(task, L"photo.jpg"), L"Conflict") << "a new task syncs from left to right";
    EXPECT_EQ(GetPathKind(Folder("Work-R") + "/report.txt"), kPathMissing);
    EXPECT_EQ(Status(IDC_STATUS_PANE_EXTENDED).rfind("No action", 0), 0u);

    // The user settles the conflict by copying the photo to the left, then syncs.
    CTreeListCtrl& tree = window->ItemTree();
    tree.SetItemStateW(twtest::Row(tree, L"photo.jpg"), 0, TVIS_SELECTED, TVIS_SELECTED);
    window->Message(WM_SYNC_SET_ACTION, 1, 0);  // Right to Left
    EXPECT_EQ(Action(task, L"photo.jpg"), L"Copy to left");
    Command(task, ID_SYNC);
    EXPECT_EQ(qbtest::ReadFileBytes(Folder("Work-R") + "/report.txt"), "report");
    EXPECT_EQ(qbtest::ReadFileBytes(Folder("Work-R") + "/notes/todo.txt"), "todo");
    EXPECT_EQ(qbtest::ReadFileBytes(Folder("Work-L") + "/photo.jpg"), "jpeg");
    EXPECT_EQ(GetPathKind(Folder("Work-R") + "/notes/scratch.tmp"), kPathMissing);
    EXPECT_EQ(task.runFacts.Get().lastRunStatus, kRunSucceeded);
    EXPECT_EQ(Cell("Work", 5), ProgramState().userName) << "started by the user";
    EXPECT_NE(Cell("Work", 4), "") << "the last run's time";

    // On a row of the list, Enter does nothing and Del asks before it deletes the task.
    bool sheetOpened = false;
    uitest::WhenModal(
        [&sheetOpened](QWidget* sheet) {
            sheetOpened = true;
            sheet->close();
        },
        20);
    tree.GetWidget()->setFocus();
    QTest::keyClick(tree.GetWidget(), Qt::Key_Return);
    QTest::qWait(300);
    EXPECT_FALSE(sheetOpened);
    answer_ = [](const plat::MessageBoxRequest&) { return IDNO; };
    QTest::keyClick(tree.GetWidget(), Qt::Key_Delete);
    EXPECT_EQ(LastTold(), "Do you want to delete task Work?");
    EXPECT_EQ(RowNames(), std::vector<std::string>{"Work"});
    EXPECT_TRUE(TaskNameExists("Work"));
    answer_ = [](const plat::MessageBoxRequest&) { return IDYES; };

    // The History page, chosen on the navigation bar, ends with the task's Check and Sync.
    CHistoryView& history = *frame_->NavigationBar()->HistoryView();
    QTest::mouseClick(frame_->NavigationBar()->TabControl()->PageButton(kHistoryPage), Qt::LeftButton);
    plat::ProcessPendingMessages();
    QApplication::processEvents();
    EXPECT_EQ(frame_->NavigationBar()->TabControl()->ActivePage(), kHistoryPage);
    ASSERT_GE(history.RowCount(), 3);
    EXPECT_EQ(history.Row(0)->text(HistoryRow::kCommand).toStdString(), "Create");
    const ReportRow* check = history.Row(history.RowCount() - 2);
    const ReportRow* sync = history.Row(history.RowCount() - 1);
    EXPECT_EQ(check->text(HistoryRow::kCommand).toStdString(), "Check");
    EXPECT_EQ(sync->text(HistoryRow::kTask).toStdString(), "Work");
    EXPECT_EQ(sync->text(HistoryRow::kCommand).toStdString(), "Sync");
    EXPECT_EQ(sync->text(HistoryRow::kFrom).toStdString(), ProgramState().userName);
    EXPECT_EQ(sync->text(HistoryRow::kStatus).toStdString(), "OK");

    // The next Check finds both sides in step.
    QTest::mouseClick(frame_->NavigationBar()->TabControl()->PageButton(kTasksPage), Qt::LeftButton);
    plat::ProcessPendingMessages();
    Command(task, ID_CHECK);
    EXPECT_EQ(Action(task, L"report.txt"), L"");
    EXPECT_EQ(Action(task, L"photo.jpg"), L"");
}

TEST_F(EndToEnd, EmptyingOneSideOnPurposeIsRefusedUnattendedAndCarriedOutAfterTheUserSawIt) {
    for (int i = 0; i < 12; ++i) qbtest::WriteFileBytes(Folder("M-L") + "/f" + std::to_string(i) + ".txt", "x");
    Store("M");
    Start();
    SyncTask& task = Task("M");
    Click("M");
    Command(task, ID_CHECK_AND_SYNC);  // Check and Sync: both sides in step
    ASSERT_EQ(runtest::Tree(Folder("M-R")).size(), 12u);

    for (int i = 0; i < 12; ++i) ASSERT_TRUE(plat::DeleteFile(Folder("M-L") + "/f" + std::to_string(i) + ".txt"));

    // A timer's run is refused and says why; nothing on the right is touched.
    task.runFacts.Update([](TaskRunFacts& facts) { facts.lastRunStatus = 0; });
    PostMessage(task.taskWindow, WM_SYNC_START, kRunModeCheckAndSync, kStartedByTimer);
    plat::ProcessPendingMessages();
    WaitForRunEnd(task);
    EXPECT_EQ(task.runFacts.Get().lastRunStatus, kRunFolderEmptyOrUnmounted);
    EXPECT_EQ(runtest::Tree(Folder("M-R")).size(), 12u);

    // The user's Check lists every deletion with the red line, and deletes nothing yet.
    Command(task, ID_CHECK);
    EXPECT_EQ(task.runFacts.Get().lastRunStatus, kRunFolderEmptyOrUnmounted);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(Action(task, L"f" + std::to_wstring(i) + L".txt"), L"Delete right");
    }
    EXPECT_TRUE(HasLineWith(LogLines(task), "It may not be mounted"));
    EXPECT_EQ(runtest::Tree(Folder("M-R")).size(), 12u);

    // Having seen the list, the user syncs: the right is emptied as the left was.
    Command(task, ID_SYNC);
    EXPECT_TRUE(runtest::Tree(Folder("M-R")).empty());
}

TEST_F(EndToEnd, AfterDeletingThePairsCatalogsTheNextCheckIsAFirstRunAndDeletesNothing) {
    qbtest::WriteFileBytes(Folder("P-L") + "/a.txt", "a");
    qbtest::WriteFileBytes(Folder("P-L") + "/b.txt", "b");
    Store("P");
    Start();
    SyncTask& task = Task("P");
    Click("P");
    Command(task, ID_CHECK_AND_SYNC);
    ASSERT_EQ(runtest::Tree(Folder("P-R")), (std::vector<std::string>{"a.txt", "b.txt"}));

    // Without catalogs a file gone from one side no longer reads as deleted there.
    ASSERT_TRUE(plat::DeleteFile(Folder("P-L") + "/a.txt"));
    qbtest::WriteFileBytes(Folder("P-R") + "/c.txt", "c");
    EXPECT_EQ(Send(WM_SYNC_TASK_FILES_COMMAND, 1), 1);
    EXPECT_EQ(GetPathKind(plat::WideToUtf8(task.sourceCatalog)), kPathMissing);
    EXPECT_EQ(GetPathKind(plat::WideToUtf8(task.targetCatalog)), kPathMissing);

    Command(task, ID_CHECK);
    EXPECT_EQ(Action(task, L"a.txt"), L"Copy to left");
    EXPECT_EQ(Action(task, L"c.txt"), L"Copy to left");
    Command(task, ID_SYNC);
    EXPECT_EQ(runtest::Tree(Folder("P-L")), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(runtest::Tree(Folder("P-R")), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
}

TEST_F(EndToEnd, ResetDeletesTheCatalogsAndLogsAndKeepsTheBackupsBesideThem) {
    qbtest::WriteFileBytes(Folder("B-L") + "/a.txt", "only copy");
    qbtest::WriteFileBytes(Folder("B-L") + "/b.txt", "b");
    // The data-folder layout: catalogs, logs and backups of both sides in the data area.
    Store("B", [](SyncTask& t) {
        t.syncOptions->readOnly = 1;
        t.syncOptions->readOnlyTarget = 1;
        t.syncOptions->saveDelete = 1;
        BuildTaskDataPaths(t);
    });
    Start();
    SyncTask& task = Task("B");
    Click("B");
    Command(task, ID_CHECK_AND_SYNC);
    ASSERT_EQ(runtest::Tree(Folder("B-R")), (std::vector<std::string>{"a.txt", "b.txt"}));
    // The Mirror deletes the right copy too; its backup is then the only copy left.
    ASSERT_TRUE(plat::DeleteFile(Folder("B-L") + "/a.txt"));
    Command(task, ID_CHECK_AND_SYNC);
    ASSERT_EQ(runtest::Tree(Folder("B-R")), std::vector<std::string>{"b.txt"});
    const std::string backups = plat::WideToUtf8(task.targetBackup);
    const std::vector<std::string> backedUp = runtest::Tree(backups);
    ASSERT_FALSE(backedUp.empty());
    ASSERT_EQ(GetPathKind(plat::WideToUtf8(task.targetCatalog)), kPathFile);

    EXPECT_EQ(Send(WM_SYNC_TASK_FILES_COMMAND, 2), 1);
    EXPECT_EQ(LastTold().rfind("Do you want to delete Catalog folders ", 0), 0u) << "the question stays as it is";
    for (const std::wstring& gone : {task.sourceCatalog, task.targetCatalog, task.sourceLog, task.targetLog}) {
        EXPECT_EQ(GetPathKindW(gone), kPathMissing) << plat::WideToUtf8(gone);
    }
    EXPECT_EQ(runtest::Tree(backups), backedUp);
    EXPECT_EQ(LastHistory().code, kHistoryDeleteCatalogFolders);
    EXPECT_EQ(LastHistory().status, kHistoryEventDone);

    // Without catalogs the next Check is a first run: nothing to delete, nothing to copy.
    Command(task, ID_CHECK);
    EXPECT_EQ(task.runFacts.Get().lastRunStatus, kRunSucceeded);
    EXPECT_EQ(Action(task, L"b.txt"), L"");
    EXPECT_EQ(runtest::Tree(Folder("B-R")), std::vector<std::string>{"b.txt"});
}

// The list reads a task's last run whenever it sorts or writes the task's row, also while
// the task's run sets it on the run's own thread: the two meet only in the task. Worth
// running under ThreadSanitizer.
TEST_F(EndToEnd, TheListSortsAndReadsARowWhileTheTasksRunsStartAndEnd) {
    qbtest::WriteFileBytes(Folder("R-L") + "/a.txt", "a");
    Store("R");
    Start();
    SyncTask& task = Task("R");
    Click("R");
    QHeaderView* header = List().header();
    const QPoint lastRunTime(header->sectionViewportPosition(kLastRunTimeColumn) + 5, header->height() / 2);
    std::array<std::string, kTaskListColumnCount> seen;
    for (int run = 0; run < 3; ++run) {
        ASSERT_TRUE(frame_->DispatchCommand(ID_CHECK));
        plat::ProcessPendingMessages();
        WaitForRunEnd(task, [&] {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, lastRunTime);
            seen = TaskRowTexts(task, ProgramState().userName);
        });
    }
    EXPECT_EQ(seen[kLastSyncTypeColumn], "Mirror (Check)");
    EXPECT_EQ(Cell("R", kLastSyncTypeColumn), "Mirror (Check)");
    EXPECT_EQ(Cell("R", kLastRunTimeColumn), seen[kLastRunTimeColumn]);
    EXPECT_NE(seen[kLastRunTimeColumn], "");
    EXPECT_TRUE(Enabled(ID_SYNC)) << "a Check's items wait for their Sync";
}

}  // namespace
}  // namespace tltest
