// The form view's tabs in step with the task list: choices made by the user are passed on,
// tabs the program adds, shows or removes are not, and the tab shown is always the
// current task's.
#include <QApplication>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "engine/run/run_messages.h"
#include "foundation/settings_store.h"
#include "platform/qt/combo_box_ex.h"
#include "tests/ui/frame/frame_test_support.h"
#include "tests/ui/task_list/task_list_test_support.h"
#include "tests/ui/task_window/task_window_test_support.h"
#include "ui/frame/caption_bar.h"
#include "ui/task_window/sync_form_view.h"

namespace {

class SyncFormViewTest : public twtest::TaskWindowTest {
protected:
    SyncFormViewTest() {
        taskList_.onMessage = [this](const twtest::Sent& sent) {
            if (sent.message == WM_SYNC_SELECT_TASK) selected_.emplace_back(reinterpret_cast<const char*>(sent.w));
        };
        view_->resize(600, 400);
        view_->show();
    }

    SyncTask& AddTask(const std::string& name) {
        auto task = std::make_unique<SyncTask>();
        task->SetDefaults();
        task->name = name;
        tasks_.push_back(std::move(task));
        SyncTask& added = *tasks_.back();
        EXPECT_NE(view_->AddTaskTab(name, static_cast<int>(tasks_.size()) - 1, &added), nullptr);
        return added;
    }
    void ClickTab(int index) {
        QTabBar* bar = view_->TabControl()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    QString Shown() const { return view_->TabControl()->tabText(view_->TabControl()->currentIndex()); }

    std::vector<std::unique_ptr<SyncTask>> tasks_;
    std::vector<std::string> selected_;
    std::unique_ptr<CSyncFormView> view_ = std::make_unique<CSyncFormView>(nullptr, frame_.Hwnd(), taskList_.Hwnd());
};

TEST_F(SyncFormViewTest, TabsFollowTheTaskListAndTellItOfTheUsersChoice) {
    SyncTask& a = AddTask("A");
    SyncTask& b = AddTask("B");
    SyncTask& c = AddTask("C");
    EXPECT_TRUE(selected_.empty());  // adding tabs chooses nothing
    ASSERT_EQ(view_->TabControl()->count(), 3);
    ASSERT_NE(b.taskWindow, nullptr);
    EXPECT_EQ(view_->TaskWindowAt(1)->GetSafeHwnd(), b.taskWindow);
    EXPECT_EQ(view_->TaskWindowAt(1)->TaskRow(), 1);

    ClickTab(1);
    EXPECT_EQ(selected_, std::vector<std::string>{"B"});
    EXPECT_EQ(Shown(), QStringLiteral("B"));
    EXPECT_EQ(view_->Message(WM_SYNC_TASK_CHANGED, reinterpret_cast<WPARAM>(&b), 0), 1);
    EXPECT_EQ(selected_.size(), 1u);  // the tab shown already: nothing goes back
    EXPECT_EQ(view_->Message(WM_SYNC_TASK_CHANGED, 0, 0), 0);

    // The shown tab's task goes: nothing is remembered, so a click on the tab Qt now
    // shows is still passed on.
    const HWND removedWindow = b.taskWindow;
    EXPECT_EQ(view_->Message(WM_SYNC_TASK_REMOVED, reinterpret_cast<WPARAM>(&b), 0), 1);
    EXPECT_EQ(view_->RememberedTab(), -1);
    EXPECT_FALSE(IsWindow(removedWindow));
    EXPECT_EQ(b.taskWindow, nullptr);
    EXPECT_EQ(selected_.size(), 1u);
    ClickTab(1);
    EXPECT_EQ(selected_.back(), "C");
    EXPECT_EQ(view_->RememberedTab(), 1);

    // With C shown, an earlier tab goes and a new one comes: the new task's tab is shown
    // when it becomes current.
    EXPECT_EQ(view_->Message(WM_SYNC_TASK_REMOVED, reinterpret_cast<WPARAM>(&a), 0), 1);
    EXPECT_EQ(view_->RememberedTab(), 0);
    SyncTask& d = AddTask("D");
    EXPECT_EQ(Shown(), QStringLiteral("C"));
    selected_.clear();
    view_->Message(WM_SYNC_TASK_CHANGED, reinterpret_cast<WPARAM>(&d), 0);
    EXPECT_EQ(Shown(), QStringLiteral("D"));
    EXPECT_EQ(selected_, std::vector<std::string>{"D"});

    const std::string name = "C renamed";
    EXPECT_EQ(view_->Message(WM_SYNC_RENAME_TASK, reinterpret_cast<WPARAM>(&c), reinterpret_cast<LPARAM>(name.c_str())),
              1);
    EXPECT_EQ(view_->TabControl()->tabText(0), QStringLiteral("C renamed"));
}

TEST_F(SyncFormViewTest, TheTabControlFillsTheViewAndClosingKeepsTheShownWindowsWidths) {
    view_->resize(400, 300);
    EXPECT_EQ(view_->TabControl()->geometry(), QRect(0, 0, 397, 297));
    view_->resize(299, 300);
    view_->resize(500, 1);
    EXPECT_EQ(view_->TabControl()->geometry(), QRect(0, 0, 397, 297));

    AddTask("A");
    AddTask("B");
    view_->TaskWindowAt(0)->ItemTree().SendMessage(TLM_SETCOLUMNWIDTH, 2, 150);
    view_->TaskWindowAt(1)->ItemTree().SendMessage(TLM_SETCOLUMNWIDTH, 2, 170);
    ClickTab(1);
    view_.reset();
    EXPECT_EQ(ReadProfileInt("Sync", "qtab 2", 0), 170);
    EXPECT_EQ(ReadProfileInt("Sync", "qtab 6", 0), 200);
}

// The pane the task list makes is the frame's task-window pane, filling its client area.
using FormViewInFrame = frametest::FrameTest;
TEST_F(FormViewInFrame, TheFormViewIsTheFramesTaskWindowPane) {
    plat::QtGuiServices gui;
    EXPECT_EQ(CSyncFormView::PaneOf(*frame_), nullptr);
    CSyncFormView* pane = CSyncFormView::CreatePane(*frame_, list_->GetSafeHwnd());
    EXPECT_EQ(frame_->TaskWindowPane(), pane->GetSafeHwnd());
    EXPECT_EQ(CSyncFormView::PaneOf(*frame_), pane);
    EXPECT_TRUE(frame_->isAncestorOf(pane));

    SyncTask task;
    task.SetDefaults();
    pane->AddTaskTab("A", 0, &task);
    frame_.reset();  // the pane and its task windows go with the frame
    EXPECT_FALSE(IsWindow(task.taskWindow));
}

// The task windows in the whole program, over its real task list.
using TaskWindowsInTheProgram = tltest::TaskListTest;

// The program closes: the task list takes the task windows with it, after their widths
// were stored.
TEST_F(TaskWindowsInTheProgram, TheShownWindowsWidthsAreStoredBeforeTheWindowsGo) {
    Store("A");
    Store("B");
    Start();
    Click("A");
    WindowOf(Task("A"))->ItemTree().SendMessage(TLM_SETCOLUMNWIDTH, 3, 140);
    WindowOf(Task("B"))->ItemTree().SendMessage(TLM_SETCOLUMNWIDTH, 3, 160);
    frame_->Message(WM_CLOSE);
    plat::ProcessPendingMessages();
    EXPECT_EQ(ReadProfileInt("Sync", "qtab 3", 0), 140);
    EXPECT_EQ(ReadProfileInt("Sync", "qtab 0", 0), 200);
}

// The caption bar speaks of the task shown: choosing a task shows the hint true of it, and
// a run that ends in a tab out of view leaves the shown task's hint alone.
TEST_F(TaskWindowsInTheProgram, HintsSpeakOfTheTaskShown) {
    Store("A");
    Store("B");
    Start();
    Click("A");
    EXPECT_EQ(frame_->CaptionBar()->Text(), "Click the Check icon to start.");
    Task("B").runFacts.Update([](TaskRunFacts& facts) { facts.needsAttention = 1; });
    Click("B");
    EXPECT_EQ(frame_->CaptionBar()->Text(),
              "Click the Sync icon to synchronize folders. Click the Check icon to start over.");
    WindowOf(Task("B"))->FolderBox(0)->lineEdit()->clear();
    WindowOf(Task("B"))->Message(WM_SYNC_START, kRunModeCheck, 0);
    Click("A");
    Click("B");
    EXPECT_EQ(frame_->CaptionBar()->Text(), "Please specify left folder first...");

    Click("A");
    SyncTask& b = Task("B");
    ASSERT_EQ(WindowOf(b)->Message(WM_SYNC_START, kRunModeCheck, kStartedByRepeat), 1);
    const ULONGLONG deadline = GetTickCount64() + 60'000;
    while (WindowOf(b)->IsRunning() || b.busyCode != TaskBusy::Idle) {
        ASSERT_LT(GetTickCount64(), deadline) << "the run did not end";
        plat::ProcessPendingMessages();
        QApplication::processEvents();
        Sleep(10);
    }
    EXPECT_EQ(frame_->CaptionBar()->Text(), "Click the Check icon to start.") << "A's hint";
}

}  // namespace
