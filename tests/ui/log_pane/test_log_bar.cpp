// The log pane follows the current task's log control, keyed by the task, and never shows
// or touches a control that is gone.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "foundation/sync_task.h"
#include "platform/qt/frame_window.h"
#include "resources/control_ids.h"
#include "resources/sync_messages.h"
#include "ui/log_pane/log_bar.h"

namespace {

class LogBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(frame_.Create());
        frame_.EnableDocking(Qt::AllDockWidgetAreas);
        pane_ = new CLogBar;
        ASSERT_TRUE(pane_->Create("Log Window", &frame_, IDC_LOG_PANE, QSize(150, 150), Qt::BottomDockWidgetArea));
        frame_.resize(700, 500);
        frame_.ShowWindow(plat::SW_SHOWNORMAL);
        QApplication::processEvents();
    }

    // A task with a log control of its own, made by the pane as the task list makes it.
    std::unique_ptr<SyncTask> TaskWithLog(CRichEditCtrlGS** control = nullptr) {
        auto task = std::make_unique<SyncTask>();
        task->SetDefaults();
        CRichEditCtrlGS* made = pane_->CreateLogControl();
        task->logControl = made->GetSafeHwnd();
        if (control) *control = made;
        return task;
    }

    // What the task list sends when a row becomes current: w the row, l the task.
    void Select(const SyncTask& task, WPARAM row) {
        SendMessage(pane_->GetSafeHwnd(), WM_SYNC_TASK_CHANGED, row, reinterpret_cast<LPARAM>(&task));
    }
    void Remove(const SyncTask& task, WPARAM row) {
        SendMessage(pane_->GetSafeHwnd(), WM_SYNC_TASK_REMOVED, row, reinterpret_cast<LPARAM>(&task));
    }
    bool Fills(const QWidget* control) const {
        return control->isVisible() && control->geometry() == pane_->Client()->rect();
    }

    plat::FrameWindow frame_;
    CLogBar* pane_ = nullptr;
};

TEST_F(LogBarTest, ShowsTheCurrentTasksControlFilledAndKeepsItForATaskWithout) {
    CRichEditCtrlGS* first = nullptr;
    const auto a = TaskWithLog(&first);
    EXPECT_TRUE(Fills(pane_->DefaultControl()));
    EXPECT_TRUE(first->isReadOnly());
    EXPECT_FALSE(first->isVisible()) << "a new control waits until its task is current";

    Select(*a, 0);
    EXPECT_EQ(pane_->ShownControl(), first);
    EXPECT_TRUE(Fills(first));
    EXPECT_FALSE(pane_->DefaultControl()->isVisible());
    Select(*a, 0);
    EXPECT_EQ(pane_->ShownControl(), first);

    SyncTask withoutLog;
    withoutLog.SetDefaults();
    Select(withoutLog, 1);
    EXPECT_EQ(pane_->ShownControl(), first);
    EXPECT_EQ(pane_->ShownTask(), a.get());

    frame_.resize(900, 650);
    QApplication::processEvents();
    EXPECT_TRUE(Fills(first)) << "a resize fills the pane";
}

TEST_F(LogBarTest, RemovalIsByTaskNotRowAndAControlThatGoesBringsBackTheDefault) {
    CRichEditCtrlGS* first = nullptr;
    CRichEditCtrlGS* second = nullptr;
    const auto a = TaskWithLog(&first);
    const auto b = TaskWithLog(&second);
    Select(*a, 0);
    Select(*b, 1);
    EXPECT_EQ(pane_->ShownControl(), second);
    EXPECT_FALSE(first->isVisible());

    // Rows moved: the removed task's row is the shown task's row now.
    Remove(*a, 1);
    EXPECT_EQ(pane_->ShownControl(), second);
    Remove(*b, 0);
    EXPECT_EQ(pane_->ShownControl(), pane_->DefaultControl());
    EXPECT_TRUE(Fills(pane_->DefaultControl()));

    // Every row deleted at once: the shown control goes without a word to the pane.
    Select(*a, 0);
    EXPECT_EQ(pane_->ShownControl(), first);
    delete first;
    EXPECT_EQ(pane_->ShownControl(), pane_->DefaultControl());
    EXPECT_TRUE(Fills(pane_->DefaultControl()));
    EXPECT_EQ(pane_->ShownTask(), nullptr);
    delete second;
}

}  // namespace
