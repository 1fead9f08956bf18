// Starting a task window's run and its refusals, following the engine's messages, and the
// way back to rest; last, real runs through the engine.
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <filesystem>
#include <unistd.h>

#include "controls/text_progress_bar.h"
#include "engine/run/message_pace.h"
#include "engine/run/run_messages.h"
#include "engine/support/run_harness.h"
#include "foundation/history_store.h"
#include "foundation/program_state.h"
#include "foundation/script_table.h"
#include "foundation/task_paths.h"
#include "foundation/task_store.h"
#include "platform/core/xdg_base_dirs.h"
#include "platform/qt/combo_box_ex.h"
#include "support/object_folders.h"
#include "support/scoped_env.h"
#include "tests/ui/task_window/task_window_test_support.h"

namespace {

using twtest::HandTrees;
using Lines = std::vector<std::pair<std::string, COLORREF>>;

constexpr LPARAM kByUser = 0;
constexpr LPARAM kByTimer = kStartedByRepeat;

class RunStartTest : public twtest::TaskWindowTest {
protected:
    RunStartTest() {
        ProgramState().dataFolder = dir_.sub("Data") + "/";
        plat::CreateFolderWithParents(dir_.sub("Data"));
        plat::CreateFolderWithParents(dir_.sub("L"));
        plat::CreateFolderWithParents(dir_.sub("R"));
        SetFolders(dir_.sub("L"), dir_.sub("R"));
        task_.logControl = log_.Hwnd();
        frame_.onMessage = [this](const twtest::Sent& s) {
            if (s.message == WM_SYNC_LOG_LINE) captions_.emplace_back(reinterpret_cast<const char*>(s.w), s.l);
            if (s.message == WM_SYNC_BUSY_STATE) busy_.push_back(s.w);
            if (s.message == WM_SYNC_RUN_TASK) ++runTasks_;
        };
        log_.onMessage = [this](const twtest::Sent& s) {
            if (s.message != WM_SYNC_LOG_LINE) return;
            std::string line = reinterpret_cast<const char*>(s.w);
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
            logLines_.emplace_back(std::move(line), s.l);
        };
    }
    void SetFolders(const std::string& left, const std::string& right) {
        task_.leftFolder = plat::Utf8ToWide(left);
        task_.rightFolder = plat::Utf8ToWide(right);
        if (window_) window_->Message(WM_SYNC_TASK_CHANGED, 0, reinterpret_cast<LPARAM>(&task_));
    }
    LRESULT Start(WPARAM mode, LPARAM source) { return Window().Message(WM_SYNC_START, mode, source); }
    std::string LastCaption() const { return captions_.empty() ? std::string() : captions_.back().first; }
    COLORREF LastCaptionColour() const { return captions_.empty() ? 0xFFFFFFFF : captions_.back().second; }
    void TypeInto(int side, const std::string& text) {
        Window().FolderBox(side)->lineEdit()->setText(QString::fromStdString(text));
    }
    // A rebuilt list of two files under the roots.
    void ShowTwoRows() {
        HandTrees trees;
        trees.File(trees.Source(), L"a.txt", 0x01000C0D);
        trees.File(trees.Source(), L"b.txt", 0x01000C0D);
        trees.GiveTo(task_);
        Window().RebuildTaskItems();
    }
    CTextProgressCtrl& Bar(int id) { return *qobject_cast<CTextProgressCtrl*>(Window().GetDlgItem(id)); }

    twtest::StandIn log_;
    Lines captions_;
    Lines logLines_;
    std::vector<WPARAM> busy_;
    int runTasks_ = 0;
};

TEST_F(RunStartTest, RefusalsSayWhyAndStartNothing) {
    // Empty Left box, by the user: a warning in the caption bar, no box.
    TypeInto(0, "");
    EXPECT_EQ(Start(kRunModeCheck, kByUser), 0);
    EXPECT_EQ(LastCaption(), "Please specify left folder first...");
    EXPECT_EQ(LastCaptionColour(), 255u);
    EXPECT_TRUE(Boxes().empty());

    // An empty stored Right, unattended: a red line; the boxes are not read.
    SetFolders(dir_.sub("L"), "");
    TypeInto(1, dir_.sub("R"));
    EXPECT_EQ(Start(kRunModeCheck, kByTimer), 0);
    ASSERT_FALSE(logLines_.empty());
    EXPECT_EQ(logLines_.back(), std::make_pair(std::string("Please specify right folder first..."), COLORREF{255}));

    // One folder by another name: "." parts, and a link to it.
    std::filesystem::create_directory_symlink(dir_.sub("L"), dir_.sub("link"));
    for (const std::string& other : {dir_.sub("L") + "/.", dir_.sub("link")}) {
        SetFolders(dir_.sub("L"), other);
        EXPECT_EQ(Start(kRunModeCheck, kByUser), 0) << other;
        EXPECT_EQ(LastCaption(), "Can not sync with the same folder...") << other;
        EXPECT_EQ(Start(kRunModeCheck, kByTimer), 0) << other;
        EXPECT_EQ(logLines_.back().first, "Can not sync with the same folder...") << other;
    }
    EXPECT_EQ(runTasks_, 0);
    EXPECT_FALSE(Window().IsRunning());

    // While running: the box for the user, a red line unattended, nothing changes.
    SetFolders(dir_.sub("L"), dir_.sub("R"));
    ASSERT_EQ(Start(kRunModeCheck, kByUser), 1);
    task_.startSource = kStartedByUser;
    EXPECT_EQ(Start(kRunModeSync, kByUser), 0);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"T1 is busy.  Try it later!"});
    EXPECT_EQ(Start(kRunModeSync, kByTimer), 0);
    EXPECT_EQ(logLines_.back(), std::make_pair(std::string("T1 is busy.  Try it later!"), COLORREF{255}));
    EXPECT_EQ(task_.startSource, kStartedByUser);
    EXPECT_EQ(runTasks_, 1);
}

TEST_F(RunStartTest, AMissingFolderIsOfferedOnlyToTheUserAndOnlyWhenItResolves) {
    // Unattended, either side missing: a red line, nothing made.
    for (int side = 0; side < 2; ++side) {
        const std::string gone = dir_.sub(side == 0 ? "gone-left" : "gone-right");
        SetFolders(side == 0 ? gone : dir_.sub("L"), side == 0 ? dir_.sub("R") : gone);
        EXPECT_EQ(Start(kRunModeCheck, kByTimer), 0);
        EXPECT_EQ(logLines_.back().first,
                  side == 0 ? "Left folder does not exist..." : "Right folder does not exist...");
        EXPECT_EQ(logLines_.back().second, 255u);
        EXPECT_FALSE(plat::PathExists(gone));
    }
    // A placeholder that resolves to nothing is never offered for creation.
    SetFolders("<NOPE>:\\x", dir_.sub("R"));
    EXPECT_EQ(Start(kRunModeCheck, kByUser), 0);
    EXPECT_EQ(LastCaption(), "Left folder does not exist...");
    EXPECT_TRUE(Boxes().empty());

    // The user is asked; No ends the start, Yes makes the folder and starts.
    int answer = IDNO;
    const plat::ScopedMessageBoxHandler asked([&answer](const plat::MessageBoxRequest&) { return answer; });
    for (int side = 0; side < 2; ++side) {
        const std::string made = dir_.sub(side == 0 ? "new/left" : "new/right");
        SetFolders(side == 0 ? made : dir_.sub("L"), side == 0 ? dir_.sub("R") : made);
        answer = IDNO;
        EXPECT_EQ(Start(kRunModeCheck, kByUser), 0);
        ASSERT_FALSE(asked.Requests().empty());
        EXPECT_EQ(asked.Requests().back().text, side == 0 ? "Left folder does not exist. Do you want to create it?"
                                                          : "Right folder does not exist. Do you want to create it?");
        EXPECT_FALSE(plat::PathExists(made));
        answer = IDYES;
        EXPECT_EQ(Start(kRunModeCheck, kByUser), 1);
        EXPECT_TRUE(plat::IsFolderPath(made));
        Window().Message(WM_SYNC_AFTER_RUN, 1, 0);
        plat::ProcessPendingMessages();
        ASSERT_FALSE(Window().IsRunning());
    }
    // Below a plain file the folder cannot be made (not even by root): no run.
    qbtest::WriteFileBytes(dir_.sub("plain"), "x");
    SetFolders(dir_.sub("L"), dir_.sub("plain/below"));
    const int runsBefore = runTasks_;
    EXPECT_EQ(Start(kRunModeCheck, kByUser), 0);
    EXPECT_EQ(LastCaption(), "Right folder does not exist...");
    EXPECT_EQ(runTasks_, runsBefore);
}

// "~" as typed is the home folder: a missing folder below it is offered for creation there,
// and the task keeps the text as it was typed.
TEST_F(RunStartTest, ATypedTildeIsTheHomeFolder) {
    const qbtest::ScopedEnv home("HOME", dir_.sub("home"));
    plat::CreateFolderWithParents(dir_.sub("home"));
    const plat::ScopedMessageBoxHandler asked(IDYES);
    TypeInto(0, "~/Backup");
    TypeInto(1, "~");
    EXPECT_EQ(Start(kRunModeCheck, kByUser), 1);
    ASSERT_EQ(asked.Requests().size(), 1u);
    EXPECT_EQ(asked.Requests()[0].text, "Left folder does not exist. Do you want to create it?");
    EXPECT_TRUE(plat::IsFolderPath(dir_.sub("home/Backup")));
    EXPECT_EQ(task_.leftFolder, L"~/Backup");
    EXPECT_EQ(task_.sourceFolder, plat::Utf8ToWide(dir_.sub("home/Backup")));
    EXPECT_EQ(task_.targetFolder, plat::Utf8ToWide(dir_.sub("home")));
    EXPECT_FALSE(plat::PathExists(dir_.sub("~")));
    Window().Message(WM_SYNC_AFTER_RUN, 1, 0);
    plat::ProcessPendingMessages();
    // Only "~" alone or followed by '/' means home.
    EXPECT_EQ(plat::ExpandHomeFolder(L"~other/x"), L"~other/x");
    EXPECT_EQ(plat::ExpandHomeFolder(L"/a/~"), L"/a/~");
}

// A list emptied by the user or by new folders takes its pending Sync with it, and so the
// hint that offered it.
TEST_F(RunStartTest, TheHintFollowsAListThatWentAndFoldersThatCame) {
    ShowTwoRows();
    task_.runFacts.Update([](TaskRunFacts& facts) { facts.needsAttention = 1; });
    EXPECT_EQ(Window().CurrentHint().text,
              "Click the Sync icon to synchronize folders. Click the Check icon to start over.");
    EXPECT_EQ(Window().Message(WM_SYNC_CLEAR_LIST, 0, 0), 1);
    EXPECT_EQ(LastCaption(), "Click the Check icon to start.");

    TypeInto(0, "");
    Window().FolderBox(0)->lineEdit()->setFocus();
    QTest::keyClick(Window().FolderBox(0)->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(LastCaption(), "Please specify left folder first...");
    EXPECT_EQ(LastCaptionColour(), 0u) << "a tip, not a refusal";
    TypeInto(0, dir_.sub("L"));
    QTest::keyClick(Window().FolderBox(0)->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(LastCaption(), "Click the Check icon to start.");
}

TEST_F(RunStartTest, AnAcceptedStartTakesTheRightStateAndTheEndBringsTheRightHint) {
    ShowTwoRows();
    ASSERT_EQ(Start(kRunModeSync, kByUser), 1);
    EXPECT_EQ(Tree().GetCount(), 3u);  // a Sync carries out the rows shown
    EXPECT_EQ(busy_, std::vector<WPARAM>{1});
    EXPECT_EQ(LastCaption(), "Click the Stop icon to Pause the operation...");
    EXPECT_EQ(LastCaptionColour(), 0u);
    EXPECT_FALSE(Window().GetDlgItem(IDC_BROWSE_LEFT)->isEnabled());

    // The end over rows: the hint by Stop and a pending Sync.
    struct Case {
        bool stop;
        DWORD pending;
        const char* hint;
    };
    const Case cases[] = {
        {true, 1, "Click the Sync icon to resume.  Click the Check icon to start over."},
        {false, 1, "Click the Sync icon to synchronize folders. Click the Check icon to start over."},
        {true, 0, "Click the Check icon to start."},
        {false, 0, "Click the Check icon to start."},
    };
    for (const Case& c : cases) {
        if (!Window().IsRunning()) {
            ASSERT_EQ(Start(kRunModeSync, kByTimer), 1);
        }
        if (c.stop) Window().Message(WM_SYNC_STOP, 0, 0);
        EXPECT_EQ(Window().Message(WM_SYNC_QUERY_STOP, 0, 0), c.stop ? 1 : 0);
        task_.runFacts.Update([&](TaskRunFacts& facts) { facts.needsAttention = c.pending; });
        Window().Message(WM_SYNC_AFTER_RUN, 1, 0);
        EXPECT_EQ(LastCaption(), c.hint);
        EXPECT_FALSE(Window().IsRunning());
        EXPECT_FALSE(Window().IsStopRequested());
        EXPECT_TRUE(Window().GetDlgItem(IDC_BROWSE_LEFT)->isEnabled());
    }
    // Only the user's start says "busy" to the frame; every end says "idle".
    EXPECT_EQ(busy_, (std::vector<WPARAM>{1, 0, 0, 0, 0}));
    Window().Message(WM_SYNC_STOP, 0, 0);
    EXPECT_EQ(Window().Message(WM_SYNC_QUERY_STOP, 0, 0), 0);  // Stop only while running

    // A Check empties the list and frees the trees; an unattended start records who.
    ASSERT_EQ(Start(kRunModeCheck, kByTimer), 1);
    EXPECT_TRUE(Window().IsItemListEmpty());
    EXPECT_FALSE(task_.sourceItems);
    EXPECT_EQ(task_.startSource, static_cast<DWORD>(kByTimer));
    EXPECT_EQ(LastCaption(), "Click the Stop icon to Cancel the operation...");
    EXPECT_EQ(busy_.size(), 5u);

    // The Check's trees become rows after its end, with the count.
    HandTrees trees;
    trees.File(trees.Source(), L"c.txt", 0x01000C0D);
    trees.GiveTo(task_);
    task_.runFacts.Update([](TaskRunFacts& facts) { facts.needsAttention = 1; });
    Window().Message(WM_SYNC_AFTER_RUN, 1, 0);
    EXPECT_TRUE(Window().IsRunning());  // the rebuild is posted
    plat::ProcessPendingMessages();
    EXPECT_FALSE(Window().IsRunning());
    EXPECT_EQ(twtest::RowNames(Tree()), (std::vector<std::wstring>{L"T1", L"c.txt"}));
    EXPECT_EQ(twtest::Cell(Tree(), Tree().GetRootItem(), 6).text, L"1 items");
    EXPECT_EQ(LastCaption(), "Click the Sync icon to synchronize folders. Click the Check icon to start over.");
}

TEST_F(RunStartTest, ABusyGateAndAFailedThreadEachEndTheStartOnce) {
    // The task list holds the task busy: the box once, idle at once, a later start goes on.
    frame_.answer = [](const twtest::Sent& s) -> LRESULT { return s.message == WM_SYNC_RUN_TASK ? 0 : 1; };
    EXPECT_EQ(Start(kRunModeCheck, kByUser), 0);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"T1 is busy.  Try it later!"});
    EXPECT_FALSE(Window().IsRunning());
    EXPECT_EQ(busy_, (std::vector<WPARAM>{1, 0}));
    frame_.answer = {};
    EXPECT_EQ(Start(kRunModeCheck, kByUser), 1);
    Window().Message(WM_SYNC_AFTER_RUN, 1, 0);
    plat::ProcessPendingMessages();

    // No run thread: the list's end of the busy state reaches the window inside the call.
    busy_.clear();
    frame_.answer = [this](const twtest::Sent& s) -> LRESULT {
        if (s.message != WM_SYNC_RUN_TASK) return 1;
        Window().Message(WM_SYNC_AFTER_RUN, 1, 0);
        return 0;
    };
    EXPECT_EQ(Start(kRunModeCheck, kByUser), 0);
    plat::ProcessPendingMessages();
    EXPECT_EQ(busy_, (std::vector<WPARAM>{1, 0}));
    EXPECT_EQ(Boxes().size(), 1u);  // no second "busy"
    EXPECT_FALSE(Window().IsRunning());

    // A timer's start that arrives while the user is asked about a folder is refused.
    frame_.answer = {};
    SetFolders(dir_.sub("L"), dir_.sub("asked"));
    LRESULT timerStart = -1;
    const plat::ScopedMessageBoxHandler asked([&](const plat::MessageBoxRequest&) {
        timerStart = Window().Message(WM_SYNC_START, kRunModeCheck, kByTimer);
        return IDNO;
    });
    EXPECT_EQ(Start(kRunModeCheck, kByUser), 0);
    EXPECT_EQ(timerStart, 0);
    ASSERT_FALSE(logLines_.empty());
    EXPECT_EQ(logLines_.back(), std::make_pair(std::string("T1 is busy.  Try it later!"), COLORREF{255}));
}

TEST_F(RunStartTest, ARefusedScheduledStartLeavesTheSourceAndFallsDueAgain) {
    const qbtest::ScopedObjectFolders locks(dir_);
    task_.scheduleOn = 1;
    task_.scheduleText = "daily";
    task_.scheduleType = kScheduleDaily;
    task_.scheduleStartDate = static_cast<WORD>(((2020 - 1980) << 9) | (1 << 5) | 1);
    RepetitionBlock block;
    block.words[kDailyEveryDays] = 1;
    task_.scheduleBlock = block.ToBytes();
    ASSERT_EQ(AddTaskScript(task_), 1);
    CheckScriptDue(task_.scriptIndex);
    ASSERT_EQ(ProgramScripts().State(task_.scriptIndex)->due, 1);

    task_.startSource = kStartedByUser;
    TypeInto(0, "");  // a scheduled start does not read the boxes
    SetFolders(dir_.sub("L"), dir_.sub("L"));
    EXPECT_EQ(Start(kRunModeCheck, kStartedByScheduler), 0);
    EXPECT_EQ(task_.startSource, kStartedByUser);
    EXPECT_EQ(ProgramScripts().State(task_.scriptIndex)->due, 0);
    CancelTaskScript(task_);

    SetFolders(dir_.sub("L"), dir_.sub("R"));
    EXPECT_EQ(Start(kRunModeCheck, kStartedByScheduler), 1);
    EXPECT_EQ(task_.startSource, static_cast<DWORD>(kStartedByScheduler));
}

TEST_F(RunStartTest, HalfTypedFolderTextNeverReachesAnUnattendedRun) {
    ShowTwoRows();
    const std::wstring left = task_.leftFolder;
    plat::CreateFolderWithParents(dir_.sub("new"));
    TypeInto(0, dir_.sub("new"));  // no Enter

    ASSERT_EQ(Start(kRunModeSync, kByTimer), 1);
    EXPECT_EQ(task_.leftFolder, left);
    Window().Message(WM_SYNC_AFTER_RUN, 1, 0);

    // The user's Sync stores the text first, and then has no list to carry out.
    const DWORD historyBefore = CountHistoryRecords();
    task_.runFacts.Update([](TaskRunFacts& facts) { facts.needsAttention = 1; });
    EXPECT_EQ(Start(kRunModeSync, kByUser), 0);
    EXPECT_EQ(task_.leftFolder, plat::Utf8ToWide(dir_.sub("new")));
    const std::unique_ptr<SyncTask> stored = LoadTaskRecord("T1");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->leftFolder, plat::Utf8ToWide(dir_.sub("new")));
    ASSERT_EQ(CountHistoryRecords(), historyBefore + 1);
    const auto history = ReadHistoryRecords(0);
    ASSERT_TRUE(history && !history->records.empty());
    EXPECT_EQ(history->records.back().type, static_cast<DWORD>(kHistoryTaskChanged));
    EXPECT_EQ(history->records.back().code, kHistoryChangeFolders);
    EXPECT_TRUE(Window().IsItemListEmpty());
    EXPECT_FALSE(task_.sourceItems);
    EXPECT_EQ(Bar(IDC_STATUS_LINE).WindowText().toStdString(), "All items have been removed due to folder change");
    EXPECT_EQ(LastCaption(), "Click the Check icon to start.");
    EXPECT_EQ(runTasks_, 1);
    EXPECT_FALSE(Window().IsRunning());
    plat::ProcessPendingMessages();
    const bool changedPosted = std::any_of(frame_.sent.begin(), frame_.sent.end(), [](const twtest::Sent& s) {
        return s.message == WM_SYNC_TASK_CHANGED && s.l == 0;
    });
    EXPECT_TRUE(changedPosted);
}

TEST_F(RunStartTest, TheBarsFollowTheRunsMessages) {
    CTextProgressCtrl& items = Bar(IDC_ITEM_PROGRESS);
    CTextProgressCtrl& status = Bar(IDC_STATUS_LINE);
    Window().Message(WM_SYNC_PROGRESS, 200, 0);
    Window().Message(WM_SYNC_PROGRESS_POS, 50, 0);
    EXPECT_EQ(items.Message(PBM_GETPOS, 0, 0), 25);

    Window().Message(WM_SYNC_PROGRESS, 0, 20);
    for (int i = 1; i <= 40; ++i) {
        const std::string text = "item " + std::to_string(i);
        Window().Message(WM_SYNC_PROGRESS_TEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    EXPECT_EQ(items.Message(PBM_GETPOS, 0, 0), 2);
    EXPECT_EQ(status.WindowText().toStdString(), "item 40");

    const std::string copying = "Copying big.bin";
    Window().Message(WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(copying.c_str()), kStatusLine);
    Window().Message(WM_SYNC_COPY_BEGIN, 0, 0);
    Window().Message(WM_SYNC_COPY_BYTES, 37, 0);
    EXPECT_EQ(status.DisplayText().toStdString(), "Copying big.bin - 37%");
    Window().Message(WM_SYNC_COPY_SIZE, 0, 0);
    EXPECT_EQ(status.DisplayText().toStdString(), "Copying big.bin");

    const std::string left = "Scanning the left";
    Window().Message(WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(left.c_str()), kLeftLabel);
    EXPECT_EQ(qobject_cast<QLabel*>(Window().GetDlgItem(IDC_LEFT_LABEL))->text().toStdString(), left);
    EXPECT_EQ(status.WindowText().toStdString(), "Copying big.bin");
}

// ---------------------------------------------------------------- real runs

class TaskWindowRuns : public ::testing::Test {
protected:
    TaskWindowRuns() {
        task_.taskWindow = window_.GetSafeHwnd();
        window_.resize(900, 500);
        window_.Message(WM_SYNC_TASK_CHANGED, 0, reinterpret_cast<LPARAM>(&task_));
    }
    std::string Status() {
        return qobject_cast<CTextProgressCtrl*>(window_.GetDlgItem(IDC_STATUS_LINE))->WindowText().toStdString();
    }
    std::wstring ActionCell(const std::wstring& name) {
        return twtest::Cell(window_.ItemTree(), twtest::Row(window_.ItemTree(), name), 3).text;
    }
    bool RunToEnd(WPARAM mode, const std::function<void()>& eachTurn = {}) {
        harness_.Main().runs.clear();
        if (window_.Message(WM_SYNC_START, mode, 0) != 1) return false;
        const bool ended = harness_.WaitForStartedRuns(eachTurn);
        plat::ProcessPendingMessages();  // the Check's rebuild
        return ended && !window_.IsRunning();
    }
    std::string LastCaption() {
        return harness_.Main().captionLines.empty() ? std::string() : harness_.Main().captionLines.back().first;
    }

    plat::QtGuiServices gui_;
    runtest::EngineHarness harness_;
    SyncTask& task_ = harness_.AddTask("L", "R");
    CSyncDlg window_{nullptr, harness_.Main().Hwnd(), harness_.Main().TaskList()};
};

TEST_F(TaskWindowRuns, CheckThenSyncShowTheirRowsAndStopLeavesTheDestinationAsItWas) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        runtest::WriteFileAt(harness_.Folder(std::string("L/") + name), name);
    }
    ASSERT_TRUE(RunToEnd(kRunModeCheck));
    EXPECT_EQ(window_.ItemTree().GetCount(), 4u);
    EXPECT_EQ(twtest::Cell(window_.ItemTree(), window_.ItemTree().GetRootItem(), 6).text, L"3 items");

    ASSERT_TRUE(RunToEnd(kRunModeSync));
    EXPECT_EQ(window_.ItemTree().GetCount(), 4u);
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) EXPECT_EQ(ActionCell(name), L"Done");
    EXPECT_EQ(qbtest::ReadFileBytes(harness_.Folder("R/b.txt")), "b.txt");

    // A large new file, stopped while it copies.
    const ScopedMessagePaceInterval everyChunk(0);
    task_.syncOptions->speed = 3;  // small chunks, so the copy asks many times
    runtest::WriteFileAt(harness_.Folder("L/big.bin"), std::string(2 << 20, 'b'));
    ASSERT_TRUE(RunToEnd(kRunModeCheck));
    CTextProgressCtrl* status = qobject_cast<CTextProgressCtrl*>(window_.GetDlgItem(IDC_STATUS_LINE));
    bool stopped = false;
    ASSERT_TRUE(RunToEnd(kRunModeSync, [&] {
        if (!stopped && status->DisplayText().endsWith(QStringLiteral("%"))) {
            window_.Message(WM_SYNC_STOP, 0, 0);
            stopped = true;
        }
    }));
    EXPECT_TRUE(stopped);
    EXPECT_EQ(Status(), "Sync has finished (User stops operation)");
    EXPECT_FALSE(plat::PathExists(harness_.Folder("R/big.bin")));
    EXPECT_EQ(runtest::Tree(harness_.Folder("R")), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(LastCaption(), "Click the Sync icon to resume.  Click the Check icon to start over.");
}

TEST_F(TaskWindowRuns, TheUsersChoicesAreCarriedOutAndTheNextCheckAgreesWithThem) {
    runtest::WriteFileAt(harness_.Folder("L/both.txt"), "same");
    runtest::WriteFileAt(harness_.Folder("L/newer.txt"), "old");
    ASSERT_TRUE(RunToEnd(kRunModeCheckAndSync));
    runtest::WriteFileAt(harness_.Folder("L/both.txt"), "left edit", runtest::kTime + 100);
    runtest::WriteFileAt(harness_.Folder("R/both.txt"), "right edit!", runtest::kTime + 200);
    runtest::WriteFileAt(harness_.Folder("L/newer.txt"), "new", runtest::kTime + 300);

    const auto choose = [this](const std::wstring& name, WPARAM action) {
        CTreeListCtrl& tree = window_.ItemTree();
        for (HTREEITEM row : twtest::Rows(tree)) tree.SetItemStateW(row, 0, 0, TVIS_SELECTED);
        tree.SetItemStateW(twtest::Row(tree, name), 0, TVIS_SELECTED, TVIS_SELECTED);
        window_.Message(WM_SYNC_SET_ACTION, action, 0);
    };
    ASSERT_TRUE(RunToEnd(kRunModeCheck));
    EXPECT_EQ(ActionCell(L"both.txt"), L"Conflict");
    EXPECT_EQ(ActionCell(L"newer.txt"), L"Copy to right");
    choose(L"both.txt", 0);   // Left to Right
    choose(L"newer.txt", 4);  // No Action
    ASSERT_TRUE(RunToEnd(kRunModeSync));
    EXPECT_EQ(qbtest::ReadFileBytes(harness_.Folder("R/both.txt")), "left edit");
    EXPECT_EQ(qbtest::ReadFileBytes(harness_.Folder("R/newer.txt")), "old");

    // The catalogs kept what each item was in step with, so the next Check decides alike.
    ASSERT_TRUE(RunToEnd(kRunModeCheck));
    EXPECT_EQ(ActionCell(L"both.txt"), L"");
    EXPECT_EQ(ActionCell(L"newer.txt"), L"Copy to right");
}

}  // namespace
