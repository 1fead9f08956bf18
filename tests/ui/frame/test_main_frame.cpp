// The main frame as the task list, the run threads and a user meet it: closing with runs
// under way, run starts, the saved placement, and the task-list and history commands.
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "../modal_answer.h"
#include "foundation/history_store.h"
#include "foundation/script_table.h"
#include "foundation/settings_store.h"
#include "foundation/task_store.h"
#include "foundation/task_templates.h"
#include "frame_test_support.h"
#include "platform/core/file_info.h"
#include "platform/core/gui_services.h"
#include "platform/core/text.h"
#include "resources/command_ids.h"
#include "support/temp_dir.h"
#include "ui/frame/snag_wait.h"

namespace frametest {
namespace {

// Answers the file dialogs from the test and keeps what they were asked.
class ScriptedFiles : public plat::GuiServices {
public:
    ScriptedFiles() : previous_(plat::SetGuiServices(this)) {}
    ~ScriptedFiles() override { plat::SetGuiServices(previous_); }
    std::optional<std::wstring> OpenFileName(const plat::OpenFileRequest& request) override {
        asked = request;
        return answer;
    }
    std::optional<std::wstring> SaveFileName(const plat::OpenFileRequest& request) override {
        asked = request;
        saveAsked = true;
        return answer;
    }
    std::optional<std::wstring> BrowseForFolder(HWND, const std::wstring&, const std::wstring&) override {
        return std::nullopt;
    }
    HWND CreateComboBoxEx(HWND, DWORD, const RECT&, UINT) override { return nullptr; }

    std::optional<std::wstring> answer;
    plat::OpenFileRequest asked;
    bool saveAsked = false;

private:
    plat::GuiServices* previous_;
};

std::wstring Wide(const std::string& text) { return plat::Utf8ToWide(text); }

// The running-task count for one test, put back after it.
struct HeldRuns {
    explicit HeldRuns(int count) { RunningTaskCount().store(count); }
    ~HeldRuns() { RunningTaskCount().store(0); }
};

int AnswerYes(const plat::MessageBoxRequest&) { return IDYES; }
int AnswerNo(const plat::MessageBoxRequest&) { return IDNO; }

// What a finished close left in the GUI thread's queue (its quit) must not end a later
// test's dialog.
void DropQuit() { plat::ProcessPendingMessages(); }

TEST_F(FrameTest, CloseWithRunsAsksThenStopsThemAndWaitsBehindThePleaseWaitWindow) {
    HeldRuns runs(1);
    frame_->ShowWindow(plat::SW_SHOWNORMAL);

    answer_ = AnswerNo;
    frame_->Message(WM_CLOSE);
    RunningTaskCount().store(2);
    frame_->Message(WM_CLOSE);
    ASSERT_EQ(Told().size(), 2u);
    EXPECT_EQ(Told()[0], "Sync cannot close because there is a task active. Do you still want to close Sync?");
    EXPECT_EQ(Told()[1],
              "Sync cannot close because there are currently 2 tasks active.  Do you still want to close Sync?");
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_FALSE(frame_->IsClosing());
    EXPECT_EQ(list_->stopAll, 0);
    EXPECT_EQ(ReadProfileString("Frame", "WP", ""), "");

    answer_ = AnswerYes;
    std::string waitText;
    bool waitShown = false;
    list_->onStopAll = [&] {
        QTimer::singleShot(150, [&] {
            CSnagWait* wait = frame_->PleaseWaitWindow();
            waitShown = wait && wait->isVisible();
            waitText = wait ? wait->Text() : "";
            // Close, Exit and Ctrl+X again while the window stands: nothing happens.
            frame_->Message(WM_CLOSE);
            frame_->Message(WM_COMMAND, ID_EXIT);
            QTest::keyClick(frame_.get(), Qt::Key_X, Qt::ControlModifier);
            RunningTaskCount().store(1);
        });
        QTimer::singleShot(900, [] { RunningTaskCount().store(0); });
    };
    const QRect placed = frame_->geometry();
    frame_->Message(WM_CLOSE);

    EXPECT_EQ(list_->stopAll, 1);
    EXPECT_TRUE(waitShown);
    EXPECT_EQ(waitText, "Please wait. Program is busy. It may take a little while to exit.");
    EXPECT_EQ(Told().size(), 3u) << "the second close asked again";
    EXPECT_EQ(frame_->PleaseWaitWindow(), nullptr);
    EXPECT_FALSE(frame_->isVisible());
    EXPECT_EQ(ReadProfileString("Frame", "WP", ""),
              plat::Format("0,1,-1,-1,-1,-1,%d,%d,%d,%d", placed.left(), placed.top(), placed.right() + 1,
                           placed.bottom() + 1));
    EXPECT_EQ(ReadProfileString("Program Options", "Tray Icon", "x"), "0");
    DropQuit();
}

TEST_F(FrameTest, ACloseTheUserCallsOffKeepsTheScheduledScriptTimer) {
    SyncTask scheduled;
    scheduled.SetDefaults();
    scheduled.name = "Nightly";
    scheduled.scheduleOn = 1;
    ASSERT_EQ(AddTaskScript(scheduled), 1);
    CMainFrame::ArmScriptTimer();
    ASSERT_LE(plat::TimeToNextTimer(), kTimerPeriodMs);

    HeldRuns runs(1);
    answer_ = AnswerNo;
    frame_->Message(WM_CLOSE);
    EXPECT_LE(plat::TimeToNextTimer(), kTimerPeriodMs) << "scheduled runs would never start again";
    CancelTaskScript(scheduled);
    KillTimer(frame_->GetSafeHwnd(), kScriptTimer);
}

TEST_F(FrameTest, ARunStartMarksTheTaskBusyAndAFailedThreadEndsThatBusyState) {
    SyncTask task;
    task.SetDefaults();
    const auto w = reinterpret_cast<WPARAM>(&task);
    int starts = 0;
    bool startable = false;
    frame_->SetRunStarter([&](SyncTask&, LPARAM) {
        ++starts;
        return startable;
    });

    EXPECT_EQ(SendMessage(frame_->GetSafeHwnd(), WM_SYNC_RUN_TASK, w, 2), 0);
    auto busy = list_->OfMessage(WM_SYNC_TASK_BUSY);
    auto done = list_->OfMessage(WM_SYNC_TASK_DONE);
    ASSERT_EQ(busy.size(), 1u);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(busy[0].w, w);
    EXPECT_EQ(busy[0].l, 1);
    EXPECT_EQ(done[0].w, w);
    EXPECT_EQ(done[0].l, 1);

    list_->received.clear();
    list_->acceptBusy = false;
    EXPECT_EQ(SendMessage(frame_->GetSafeHwnd(), WM_SYNC_RUN_TASK, w, 1), 0);
    ASSERT_EQ(list_->OfMessage(WM_SYNC_TASK_BUSY).size(), 1u);
    EXPECT_EQ(list_->OfMessage(WM_SYNC_TASK_BUSY)[0].l, 2) << "a Check is busy code 2";
    EXPECT_TRUE(list_->OfMessage(WM_SYNC_TASK_DONE).empty());
    EXPECT_EQ(starts, 1) << "a refused task starts no thread";

    list_->acceptBusy = true;
    startable = true;
    EXPECT_EQ(SendMessage(frame_->GetSafeHwnd(), WM_SYNC_RUN_TASK, w, 0), 1);
    EXPECT_EQ(task.startThread, frame_->GetSafeHwnd());
    EXPECT_EQ(list_->OfMessage(WM_SYNC_TASK_DONE).size(), 0u);
}

TEST_F(FrameTest, FirstShowRestoresTheSavedPlacementOnAScreenAndLoadsTheTasks) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();

    WriteProfileString("Frame", "WP", "0,1,-1,-1,-1,-1,100,120,900,720");
    frame_->Message(WM_SYNC_FIRST_SHOW, plat::SW_SHOWNORMAL);
    EXPECT_EQ(frame_->geometry(), QRect(100, 120, 800, 600));
    EXPECT_TRUE(frame_->isVisible());
    plat::ProcessPendingMessages();
    EXPECT_EQ(list_->OfMessage(WM_SYNC_LOAD_TASKS).size(), 1u);

    WriteProfileString("Frame", "WP", "0,1,-1,-1,-1,-1,5000,5000,5800,5600");
    frame_->Message(WM_SYNC_FIRST_SHOW, plat::SW_SHOWNORMAL);
    EXPECT_TRUE(screen.intersects(frame_->geometry())) << "a window off every screen came up unseen";

    const QRect before = frame_->geometry();
    WriteProfileString("Frame", "WP", "1,2,3");
    frame_->Message(WM_SYNC_FIRST_SHOW, plat::SW_SHOWNORMAL);
    EXPECT_EQ(frame_->geometry(), before) << "a damaged placement is ignored";

    WriteProfileString("Frame", "WP", "0,3,-1,-1,-1,-1,100,120,900,720");
    frame_->Message(WM_SYNC_FIRST_SHOW, plat::SW_SHOWNORMAL);
    EXPECT_TRUE(frame_->isMaximized());

    frame_->ShowWindow(plat::SW_SHOWNORMAL);
    WriteProfileString("Frame", "WP", "0,1,-1,-1,-1,-1,100,120,300,320");
    frame_->Message(WM_SYNC_FIRST_SHOW, plat::SW_SHOWMAXIMIZED);
    EXPECT_TRUE(frame_->isMaximized()) << "started maximised, the saved placement does not count";
}

TEST_F(FrameTest, ExportWritesTheStoreUnderTleAndAsksBeforeReplacingAFile) {
    ASSERT_NE(CreateTemplateTask(kTemplateCustom, "Docs"), nullptr);
    list_->tasks.push_back(std::make_unique<SyncTask>());
    ScriptedFiles files;
    files.answer = Wide(dir_.sub("list"));

    ASSERT_TRUE(frame_->DispatchCommand(ID_EXPORT_TASK_LIST));
    EXPECT_TRUE(files.saveAsked);
    EXPECT_EQ(files.asked.filter, L"Task List File (*.tle)|*.tle|");
    EXPECT_EQ(files.asked.title, L"Get Task List File Name");
    EXPECT_EQ(files.asked.defaultExtension, L"tle");
    EXPECT_FALSE(files.asked.followLinks);
    const std::string exported = dir_.sub("list.tle");
    const std::string firstStore = qbtest::ReadFileBytes(GetTaskListFilePath());
    EXPECT_EQ(qbtest::ReadFileBytes(exported), firstStore);
    EXPECT_TRUE(Told().empty());

    ASSERT_NE(CreateTemplateTask(kTemplateCustom, "Music"), nullptr);
    answer_ = AnswerNo;
    ASSERT_TRUE(frame_->DispatchCommand(ID_EXPORT_TASK_LIST));
    ASSERT_EQ(Told().size(), 1u);
    EXPECT_EQ(Told()[0], "The file '" + exported + "' already exists. Do you want to overwrite the existing file?");
    EXPECT_EQ(qbtest::ReadFileBytes(exported), firstStore) << "No keeps the file";

    ASSERT_TRUE(plat::CreateFolderWithParents(dir_.sub("folder.tle")));
    files.answer = Wide(dir_.sub("folder"));
    answer_ = AnswerYes;
    ASSERT_TRUE(frame_->DispatchCommand(ID_EXPORT_TASK_LIST));
    EXPECT_EQ(Told().back(), "Failed to write to task file '" + dir_.sub("folder.tle") + "'");
}

TEST_F(FrameTest, ImportRefusesTheProgramsOwnStore) {
    ASSERT_NE(CreateTemplateTask(kTemplateCustom, "Docs"), nullptr);
    const std::string before = qbtest::ReadFileBytes(GetTaskListFilePath());
    ScriptedFiles files;
    files.answer = Wide(ProgramState().dataFolder + "/./" + kTaskStoreFileName);

    ASSERT_TRUE(frame_->DispatchCommand(ID_IMPORT_TASK_LIST));
    EXPECT_EQ(files.asked.title, L"Get Task List File Name");
    ASSERT_EQ(Told().size(), 1u);
    EXPECT_EQ(Told()[0], "'" + plat::WideToUtf8(*files.answer) + "' is the program's own task store");
    EXPECT_TRUE(list_->OfMessage(WM_SYNC_TASK_ADDED).empty());
    EXPECT_EQ(qbtest::ReadFileBytes(GetTaskListFilePath()), before);
}

TEST_F(FrameTest, NewTaskStoresRecordsAndHandsOverOnlyATaskTheStoreTook) {
    uitest::WhenModal([](QWidget* dialog) { uitest::TypeAndAccept(dialog, "Work"); });
    ASSERT_TRUE(frame_->DispatchCommand(ID_NEW_TASK));
    ASSERT_EQ(list_->tasks.size(), 1u);
    EXPECT_EQ(list_->tasks[0]->name, "Work");
    EXPECT_TRUE(TaskNameExists("Work"));
    auto history = ReadHistoryRecords(0);
    ASSERT_TRUE(history && history->records.size() == 1);
    EXPECT_EQ(history->records[0].type, static_cast<DWORD>(kHistoryTaskCreated));
    EXPECT_EQ(history->records[0].status, kHistoryEventDone);

    // A store that cannot be written: told, recorded as failed, and no task shown.
    ASSERT_TRUE(plat::DeleteFile(GetTaskListFilePath()));
    ASSERT_TRUE(plat::CreateFolderWithParents(GetTaskListFilePath()));
    uitest::WhenModal([](QWidget* dialog) { uitest::TypeAndAccept(dialog, "Play"); });
    ASSERT_TRUE(frame_->DispatchCommand(ID_NEW_TASK));
    EXPECT_EQ(list_->tasks.size(), 1u);
    EXPECT_EQ(Told().size(), 1u);
    history = ReadHistoryRecords(0);
    ASSERT_TRUE(history && history->records.size() == 2);
    EXPECT_EQ(history->records[1].taskName, "Play");
    EXPECT_EQ(history->records[1].status, kHistoryEventFailed);
}

TEST_F(FrameTest, TemplatesMakeTheirTasksFromTheRibbonAndFromAChosenFile) {
    ASSERT_TRUE(frame_->DispatchCommand(ID_TEMPLATE_PHOTOS));
    const std::string templateFile = dir_.sub("Camera roll.zvt");
    qbtest::WriteFileBytes(templateFile, "[ZVK]\r\nINPUT NUMBER=1\r\nINPUT0=/srv/camera\r\n");
    ScriptedFiles files;
    files.answer = Wide(templateFile);
    ASSERT_TRUE(frame_->DispatchCommand(ID_IMPORT_TEMPLATE));
    EXPECT_EQ(files.asked.title, L"Open File");
    EXPECT_EQ(files.asked.initialFile, Wide(ProgramState().programFolder + "Templates"));
    EXPECT_EQ(files.asked.filter, L"Task Template File|*.zvt|All Files (*.*)|*.*|");

    ASSERT_EQ(list_->tasks.size(), 2u);
    EXPECT_EQ(list_->tasks[0]->name, "Photos");
    EXPECT_EQ(list_->tasks[1]->name, "Camera roll");
    EXPECT_EQ(list_->tasks[1]->leftFolder, L"/srv/camera");
    EXPECT_TRUE(TaskNameExists("Camera roll"));
}

TEST_F(FrameTest, CopyProposesTheFirstFreeNumberAndRenameSendsTheNewName) {
    ASSERT_NE(CreateTemplateTask(kTemplateCustom, "Docs"), nullptr);
    ASSERT_NE(CreateTemplateTask(kTemplateCustom, "Docs (2)"), nullptr);
    SyncTask docs;
    docs.SetDefaults();
    docs.name = "Docs";
    list_->selected = &docs;

    QString proposed;
    QString title;
    uitest::WhenModal([&](QWidget* dialog) {
        proposed = dialog->findChild<QLineEdit*>()->text();
        title = dialog->windowTitle();
        QTest::keyClick(dialog->findChild<QLineEdit*>(), Qt::Key_Return);
    });
    ASSERT_TRUE(frame_->DispatchCommand(ID_COPY_TASK));
    EXPECT_EQ(proposed, "Docs (3)");
    EXPECT_EQ(title, "Copy Task To");

    uitest::WhenModal([&](QWidget* dialog) {
        title = dialog->windowTitle();
        uitest::TypeAndAccept(dialog, "Papers");
    });
    ASSERT_TRUE(frame_->DispatchCommand(ID_RENAME_TASK));
    EXPECT_EQ(title, "Rename Task");
    EXPECT_EQ(list_->namesSent, (std::vector<std::string>{"Docs (3)", "Papers"}));
    EXPECT_EQ(list_->OfMessage(WM_SYNC_COPY_TASK).size(), 1u);
    EXPECT_EQ(list_->OfMessage(WM_SYNC_RENAME_TASK).size(), 1u);
}

TEST_F(FrameTest, DeleteHistoryAsksThenTellsTheHistoryViewOrSaysThereIsNone) {
    SyncTask task;
    task.SetDefaults();
    task.name = "Docs";
    ASSERT_TRUE(AddHistoryRecord(task, kHistoryTaskCreated, 0, kHistoryEventDone, ""));
    history_->changed.clear();
    const std::string path = GetHistoryFilePath();

    answer_ = AnswerYes;
    ASSERT_TRUE(frame_->DispatchCommand(ID_DELETE_HISTORY));
    ASSERT_EQ(Told().size(), 1u);
    EXPECT_EQ(Told()[0], "Do you want to delete History file " + path + "?");
    EXPECT_FALSE(plat::PathExists(path));
    EXPECT_EQ(history_->cleared, std::vector<std::string>{path});

    ASSERT_TRUE(frame_->DispatchCommand(ID_DELETE_HISTORY));
    EXPECT_EQ(Told().back(), "History file does not exist");
    EXPECT_EQ(history_->cleared.size(), 1u);
}

TEST_F(FrameTest, HistoryChangesReachTheHistoryViewWithTheirPath) {
    SendHistoryPathMessage(frame_->GetSafeHwnd(), WM_SYNC_HISTORY_CHANGED, "/data/qbsync.fhs");
    EXPECT_EQ(history_->changed, std::vector<std::string>{"/data/qbsync.fhs"});

    // Without a history view the frame still takes the posted path out of keeping.
    frame_->SetHistoryView(nullptr);
    const WPARAM ticket = MakeHistoryPathParam("/data/qbsync.fhs");
    frame_->Message(WM_SYNC_HISTORY_CHANGED, ticket);
    EXPECT_FALSE(TakeHistoryPathParam(ticket).has_value());
}

TEST_F(FrameTest, CommandStatesFollowTheTaskListAndTheFramesOwnRules) {
    auto state = [&](UINT id) {
        plat::CmdUI ui(id);
        frame_->UpdateCommandUI(ui);
        return ui;
    };
    EXPECT_TRUE(state(ID_CHECK).IsEnabled());
    list_->taskCommandsEnabled = false;
    EXPECT_FALSE(state(ID_CHECK).IsEnabled()) << "Check takes its state from the task list";
    EXPECT_FALSE(state(ID_EXPORT_TASK_LIST).IsEnabled()) << "nothing to export";
    list_->tasks.push_back(std::make_unique<SyncTask>());
    EXPECT_TRUE(state(ID_EXPORT_TASK_LIST).IsEnabled());
    EXPECT_TRUE(state(ID_TEMPLATE_WINDOWS_MAIL).IsEnabled());
    EXPECT_FALSE(state(ID_TEMPLATE_OUTLOOK_EXPRESS).IsEnabled());
    EXPECT_TRUE(state(ID_NEW_TASK).IsEnabled());
    EXPECT_EQ(state(ID_SHOW_HIDE).Text().value_or(""), "Hide Window");

    frame_->SetTaskListView(nullptr, nullptr);
    for (const UINT id :
         {ID_CHECK, ID_SYNC, ID_DELETE_TASK, ID_STOP_ALL, ID_SYNC_CONTAINER, ID_RUN_CONTAINER, ID_EXPORT_TASK_LIST}) {
        EXPECT_FALSE(state(id).IsEnabled()) << id << " without a task list";
    }
    EXPECT_FALSE(frame_->DispatchCommand(ID_CHECK));
    EXPECT_TRUE(state(ID_NEW_TASK).IsEnabled());
    EXPECT_TRUE(state(ID_DELETE_HISTORY).IsEnabled());
}

TEST_F(FrameTest, TheChangesViewFilterIsPostedTheOthersSent) {
    ASSERT_TRUE(frame_->DispatchCommand(ID_DISPLAY_COPY_TIME_TO_LEFT));
    ASSERT_TRUE(frame_->DispatchCommand(ID_DISPLAY_CHANGED));
    ASSERT_EQ(list_->OfMessage(WM_SYNC_VIEW_FILTER).size(), 1u);
    EXPECT_EQ(list_->OfMessage(WM_SYNC_VIEW_FILTER)[0].w, 9u);
    plat::ProcessPendingMessages();
    ASSERT_EQ(list_->OfMessage(WM_SYNC_VIEW_FILTER).size(), 2u);
    EXPECT_EQ(list_->OfMessage(WM_SYNC_VIEW_FILTER)[1].w, 1u);
}

}  // namespace
}  // namespace frametest
