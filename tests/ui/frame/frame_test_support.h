#pragma once
// What the main-frame tests share: a data folder of their own, message boxes answered and
// recorded, and stand-ins for the task list and the history view that record what the
// frame sends them.

#include <gtest/gtest.h>

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/history_message.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "platform/core/file_ops.h"
#include "platform/core/message_box.h"
#include "platform/qt/view.h"
#include "resources/command_ids.h"
#include "resources/sync_messages.h"
#include "support/settings_fixture.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/task_list_link.h"

namespace frametest {

struct Received {
    UINT message;
    WPARAM w;
    LPARAM l;
};

class StandInTaskList : public QWidget, public plat::View, public TaskListLink {
public:
    StandInTaskList() : plat::View(this) {
        MapCommand(ID_STOP_ALL, &StandInTaskList::OnStopAll);
        // The task commands: those the frame hands over, and the list's own.
        for (const UINT id : {ID_RENAME_TASK,
                              ID_COPY_TASK,
                              ID_DELETE_TASK,
                              ID_SYNC,
                              ID_CHECK,
                              ID_CHECK_AND_SYNC,
                              ID_STOP,
                              ID_CLEAR_SYNC_LIST,
                              ID_AUTOMATE,
                              ID_TASK_OPTIONS,
                              ID_SELECT_ALL,
                              ID_OPEN_LEFT_LOG,
                              ID_OPEN_RIGHT_LOG,
                              ID_DELETE_BACKUP_FOLDERS,
                              ID_DELETE_CATALOGS,
                              ID_RESET_TASK,
                              ID_DELETE_RIGHT_LOG,
                              ID_DELETE_LEFT_LOG,
                              ID_SWITCH_FOLDERS,
                              ID_STOP_ALL,
                              ID_CLEAR_ALL,
                              ID_DISPLAY_ALL,
                              ID_DISPLAY_CHANGED,
                              ID_DISPLAY_CONFLICTS,
                              ID_DISPLAY_ERRORS,
                              ID_DISPLAY_EXCLUDED,
                              ID_DISPLAY_NEW,
                              ID_DISPLAY_DELETE,
                              ID_DISPLAY_COPY_TO_LEFT,
                              ID_DISPLAY_COPY_TO_RIGHT,
                              ID_DISPLAY_COPY_TIME_TO_LEFT,
                              ID_DISPLAY_COPY_TIME_TO_RIGHT,
                              ID_DISPLAY_OVERWRITE,
                              ID_DISPLAY_SAME_SIZE,
                              ID_DISPLAY_WARNINGS}) {
            MapUpdateRange(id, id, &StandInTaskList::OnUpdateTaskCommand);
        }
    }

    SyncTask* GetSelectedTask() const override { return selected; }
    bool HasTasks() const override { return !tasks.empty(); }
    bool RunSyncContainerDialog(QWidget*) override { return false; }

    std::vector<Received> OfMessage(UINT message) const {
        std::vector<Received> found;
        for (const Received& r : received) {
            if (r.message == message) found.push_back(r);
        }
        return found;
    }

    std::vector<Received> received;
    std::vector<std::string> namesSent;  // the text of rename and copy
    std::vector<std::unique_ptr<SyncTask>> tasks;
    SyncTask* selected = nullptr;
    bool acceptBusy = true;
    bool taskCommandsEnabled = true;
    int stopAll = 0;
    std::function<void()> onStopAll;

protected:
    // Every message the frame sends or posts: recorded, and answered as a task list would.
    LRESULT DefWindowProc(UINT message, WPARAM w, LPARAM l) override {
        received.push_back({message, w, l});
        switch (message) {
        case WM_SYNC_TASK_BUSY: return acceptBusy ? 1 : 0;
        case WM_SYNC_RENAME_TASK:
        case WM_SYNC_COPY_TASK: namesSent.emplace_back(reinterpret_cast<const char*>(w)); return 1;
        case WM_SYNC_NEW_TASK:
        case WM_SYNC_TASK_ADDED: tasks.emplace_back(reinterpret_cast<SyncTask*>(w)); return 1;
        default: return 0;
        }
    }

private:
    void OnStopAll() {
        ++stopAll;
        if (onStopAll) onStopAll();
    }
    void OnUpdateTaskCommand(plat::CmdUI& ui) { ui.Enable(taskCommandsEnabled); }
};

class StandInHistoryView : public QWidget, public plat::View {
public:
    StandInHistoryView() : plat::View(this) {
        MapMessage(WM_SYNC_HISTORY_CHANGED, &StandInHistoryView::OnChanged);
        MapMessage(WM_SYNC_CLEAR_HISTORY, &StandInHistoryView::OnCleared);
    }

    std::vector<std::string> changed;
    std::vector<std::string> cleared;

private:
    void OnChanged(WPARAM w, LPARAM) { changed.push_back(TakeHistoryPathParam(w).value_or("(none)")); }
    void OnCleared(WPARAM w, LPARAM) { cleared.push_back(TakeHistoryPathParam(w).value_or("(none)")); }
};

// A frame made and shown over a data folder of the test's own, with both stand-ins.
class FrameTest : public qbtest::SettingsFileTest {
protected:
    void SetUp() override {
        ProgramState().programFolder = dir_.path() + "/";
        ProgramState().dataFolder = dir_.sub("Data");
        ProgramState().settingsFile = dir_.sub("Data/qboptions.ini");
        ASSERT_TRUE(plat::CreateFolderWithParents(ProgramState().dataFolder));
        frame_ = std::make_unique<CMainFrame>();
        ASSERT_TRUE(frame_->Create());
        list_ = new StandInTaskList;
        history_ = new StandInHistoryView;
        list_->setParent(frame_.get());
        history_->setParent(frame_.get());
        frame_->SetTaskListView(list_, list_);
        frame_->SetHistoryView(history_);
    }

    // The texts of the boxes asked so far.
    std::vector<std::string> Told() const {
        std::vector<std::string> texts;
        for (const auto& request : boxes_.Requests()) texts.push_back(request.text);
        return texts;
    }
    std::string DataFile(const std::string& name) const { return ProgramState().dataFolder + "/" + name; }

    std::unique_ptr<CMainFrame> frame_;
    StandInTaskList* list_ = nullptr;
    StandInHistoryView* history_ = nullptr;
    std::function<int(const plat::MessageBoxRequest&)> answer_ = [](const plat::MessageBoxRequest&) { return IDOK; };
    plat::ScopedMessageBoxHandler boxes_{[this](const plat::MessageBoxRequest& r) { return answer_(r); }};
};

}  // namespace frametest
