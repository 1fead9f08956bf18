#pragma once
// What the task-list tests share: the program's folders in a temporary folder, message
// boxes answered and recorded, and the real main window with its task list, task windows
// and log pane, started over the task store and started again as the program would be.

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/history_store.h"
#include "foundation/program_state.h"
#include "foundation/task_store.h"
#include "platform/core/message_box.h"
#include "platform/qt/qt_gui_services.h"
#include "platform/qt/status_bar.h"
#include "resources/sync_messages.h"
#include "tests/engine/support/run_harness.h"
#include "ui/frame/caption_bar.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/outlook_bar.h"
#include "ui/log_pane/log_bar.h"
#include "ui/task_list/sync_list_view.h"
#include "ui/task_window/sync_dlg.h"
#include "ui/task_window/sync_form_view.h"

namespace tltest {

class TaskListTest : public ::testing::Test {
protected:
    TaskListTest() {
        ProgramState().programFolder = dir_.path() + "/";
        ProgramState().profileFile = dir_.sub("profile.ini");
    }
    ~TaskListTest() override { Stop(); }

    // A task stored over the folders "<name>-L" and "<name>-R" of the test's folder, its
    // catalogs and logs in those folders. `change` adjusts it before it is stored.
    void Store(const std::string& name, const std::function<void(SyncTask&)>& change = {}) {
        runtest::TaskSetup setup;
        setup.name = name;
        setup.readOnly = 0;
        setup.readOnlyTarget = 0;
        SyncTask task;
        runtest::StoreTask(task, Folder(name + "-L"), Folder(name + "-R"), setup);
        if (change) {
            // Stored anew: a save keeps the last-run fields that the store holds.
            change(task);
            DeleteTaskRecord(GetTaskListFilePath(), name);
            ASSERT_TRUE(WriteTaskRecord(task).written);
        }
    }
    std::string Folder(const std::string& name) const { return plat::CanonicalPath(dir_.path(), true) + "/" + name; }

    // The main window made and shown, its tasks loaded from the store.
    void Start() {
        frame_ = std::make_unique<CMainFrame>();
        ASSERT_TRUE(frame_->Create());
        frame_->resize(1100, 750);
        frame_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
        List().Message(WM_SYNC_LOAD_TASKS);
        plat::ProcessPendingMessages();
    }
    // The list goes first and then the frame, as when the program closes.
    void Stop() {
        if (!frame_) return;
        if (const HWND list = frame_->TaskListWindow()) DestroyWindow(list);
        frame_.reset();
        plat::ProcessPendingMessages();
    }
    void Restart() {
        Stop();
        Start();
    }

    CSyncListView& List() const { return *frame_->NavigationBar()->TaskListView(); }
    SyncTask& Task(const std::string& name) const {
        SyncTask* task = List().TaskAt(List().FindRow(name));
        if (!task) {
            ADD_FAILURE() << "no task " << name;
            std::abort();
        }
        return *task;
    }
    std::vector<std::string> RowNames() const {
        std::vector<std::string> names;
        for (int row = 0; row < List().RowCount(); ++row) names.push_back(List().Row(row)->text(0).toStdString());
        return names;
    }
    std::string Cell(const std::string& name, int column) const {
        return List().Row(List().FindRow(name))->text(column).toStdString();
    }
    int Image(const std::string& name) const { return List().Row(List().FindRow(name))->Image(0); }
    void Click(const std::string& name, Qt::MouseButton button = Qt::LeftButton) {
        QTreeWidgetItem* row = List().Row(List().FindRow(name));
        const QPoint at(20, List().visualItemRect(row).center().y());
        if (button == Qt::RightButton) {
            // A right click comes to a widget as its context-menu event.
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, List().viewport()->mapToGlobal(at));
            QApplication::sendEvent(List().viewport(), &event);
        } else {
            QTest::mouseClick(List().viewport(), button, {}, at);
        }
        plat::ProcessPendingMessages();
    }
    std::string Status(UINT element) const { return frame_->GetStatusBar()->PaneText(element); }
    CSyncFormView& Tabs() const { return *CSyncFormView::PaneOf(*frame_); }
    std::string ShownTab() const {
        const QTabWidget* tabs = Tabs().TabControl();
        return tabs->tabText(tabs->currentIndex()).toStdString();
    }
    CSyncDlg* WindowOf(const SyncTask& task) const {
        return dynamic_cast<CSyncDlg*>(plat::MessageWindow::FromHwnd(task.taskWindow));
    }
    bool Enabled(UINT command) const {
        plat::CmdUI ui(command);
        frame_->UpdateCommandUI(ui);
        return ui.IsEnabled();
    }
    // Sent to the task list; what it posts on is handled before this returns.
    LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) const {
        const LRESULT result = SendMessage(List().GetSafeHwnd(), message, w, l);
        plat::ProcessPendingMessages();
        return result;
    }
    static WPARAM W(const SyncTask& task) { return reinterpret_cast<WPARAM>(&task); }

    std::vector<std::string> Told() const {
        std::vector<std::string> texts;
        for (const auto& request : boxes_.Requests()) texts.push_back(request.text);
        return texts;
    }
    std::string LastTold() const { return Told().empty() ? std::string() : Told().back(); }
    // The last record of the history file.
    HistoryRecord LastHistory() const {
        const auto records = ReadHistoryRecords(0);
        if (!records || records->records.empty()) return {};
        return records->records.back();
    }

    qbtest::TempDir dir_;
    runtest::ScopedProgramFolders folders_{dir_};
    plat::QtGuiServices gui_;
    std::function<int(const plat::MessageBoxRequest&)> answer_ = [](const plat::MessageBoxRequest&) { return IDYES; };
    plat::ScopedMessageBoxHandler boxes_{[this](const plat::MessageBoxRequest& r) { return answer_(r); }};
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace tltest
