#pragma once
// The engine as the user interface drives it, with no display: a data folder of its own
// (settings, task store, history, trash, folder locks), tasks stored in the task store, and on the
// test's thread the windows a run talks to — the main window with its task list, and for
// each task a task window and a log control. A run is started as the main frame starts
// one (StartRunThread) and the test's thread answers the run's messages until the run's
// thread has ended.
//
// The task window answers WM_SYNC_QUERY_STOP from a stop flag that a test raises from a
// condition on what the window has seen so far (a status line, a finished item); once
// raised it stays raised until the next run, as the window's Stop button does.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/model/tree_walk.h"
#include "engine/run/run_block.h"
#include "engine/run/run_threads.h"
#include "foundation/history_message.h"
#include "foundation/history_store.h"
#include "foundation/options/filter_options.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "foundation/task_paths.h"
#include "foundation/task_store.h"
#include "platform/core/file_system.h"
#include "platform/core/message_test_support.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"
#include "support/object_folders.h"
#include "support/temp_dir.h"

namespace runtest {

inline constexpr std::int64_t kTime = 1600000000;
inline constexpr DWORD kRunGuardMs = 60000;  // only a hang should reach it

inline std::wstring W(const std::string& text) { return plat::Utf8ToWide(text); }

inline void WriteFileAt(const std::string& path, const std::string& bytes, std::int64_t time = kTime) {
    qbtest::WriteFileBytes(path, bytes);
    const timespec times[2] = {{time, 0}, {time, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// Every file and folder below `root` by relative path, sorted; the program's own folder
// is left out.
inline std::vector<std::string> Tree(const std::string& root) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    const std::size_t prefix = root.size() + (root.ends_with('/') ? 0 : 1);
    for (auto it = fs::recursive_directory_iterator(root, error); it != fs::recursive_directory_iterator();
         it.increment(error)) {
        const std::string relative = it->path().string().substr(prefix);
        if (relative.rfind("_qb_sync", 0) != 0) names.push_back(relative);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The items of the task's last Check as its window lists them: every record of the source
// tree, then the target-only records of the target tree.
inline std::vector<CFileInfo*> CheckedItems(SyncTask& task) {
    std::vector<CFileInfo*> items;
    if (task.sourceItems) {
        ForEachRecord(*task.sourceItems, [&items](CFileInfo& record) {
            items.push_back(&record);
            return true;
        });
    }
    if (task.targetItems) {
        ForEachRecord(*task.targetItems, [&items](CFileInfo& record) {
            if (record.state.IsTargetOnly()) items.push_back(&record);
            return true;
        });
    }
    return items;
}

inline CFileInfo* CheckedItem(SyncTask& task, const std::string& relativePath) {
    for (CFileInfo* item : CheckedItems(task)) {
        if (item->relativePath == relativePath) return item;
    }
    return nullptr;
}

// How many items of the last Check have that action (ItemState::kCopyToRight...).
inline int CountCheckedWith(SyncTask& task, DWORD action) {
    int count = 0;
    for (const CFileInfo* item : CheckedItems(task)) count += item->state.IsAction(action) ? 1 : 0;
    return count;
}

// The program's folders and the trash in a temporary folder for the object's lifetime.
class ScopedProgramFolders {
public:
    explicit ScopedProgramFolders(const qbtest::TempDir& dir) : saved_(ProgramState()) {
        ProgramState().dataFolder = dir.sub("Data") + "/";
        ProgramState().settingsFile = dir.sub("Data/qboptions.ini");
        ProgramState().tempFolder = dir.sub("tmp") + "/";
        ProgramState().userName = "tester";
        ProgramState().computerName = "testbox";
        plat::CreateFolderWithParents(dir.sub("Data"));
        plat::CreateFolderWithParents(dir.sub("tmp"));
        if (const char* old = std::getenv("XDG_DATA_HOME")) oldDataHome_ = old;
        hadDataHome_ = std::getenv("XDG_DATA_HOME") != nullptr;
        setenv("XDG_DATA_HOME", dir.sub("home-data").c_str(), 1);
    }
    ~ScopedProgramFolders() {
        ProgramState() = saved_;
        if (hadDataHome_) {
            setenv("XDG_DATA_HOME", oldDataHome_.c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
    }
    ScopedProgramFolders(const ScopedProgramFolders&) = delete;
    ScopedProgramFolders& operator=(const ScopedProgramFolders&) = delete;

private:
    ProgramStateData saved_;
    std::string oldDataHome_;
    bool hadDataHome_ = false;
};

// A window made of a handler, destroyed with the object.
class TestWindow {
public:
    explicit TestWindow(msgtest::LambdaWindow::Handler handler, HWND parent = nullptr)
        : procedure_(std::move(handler)), hwnd_(plat::CreateMessageWindow(&procedure_, parent)) {}
    ~TestWindow() { DestroyWindow(hwnd_); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Hwnd() const { return hwnd_; }

private:
    msgtest::LambdaWindow procedure_;
    HWND hwnd_;
};

// The main window and its task list: caption-bar lines, tasks changed and done, history
// changes. As the program's own do, the main window starts a run thread for
// WM_SYNC_RUN_TASK once the task list marks the task busy, and the task list keeps each
// task's busy code and tells the task's window of a run's end (WM_SYNC_AFTER_RUN).
class MainWindows {
public:
    std::vector<std::pair<std::string, LPARAM>> captionLines;
    std::vector<const SyncTask*> tasksDone;
    std::vector<WPARAM> busyStates;  // WM_SYNC_BUSY_STATE
    int tasksChanged = 0;
    int historyChanges = 0;
    // The threads of the runs WM_SYNC_RUN_TASK started.
    std::vector<plat::ThreadHandle> runs;

    HWND Hwnd() const { return main_.Hwnd(); }
    HWND TaskList() const { return taskList_.Hwnd(); }

private:
    LRESULT RunTask(WPARAM w, LPARAM mode) {
        auto* task = reinterpret_cast<SyncTask*>(w);
        const auto busyCode = static_cast<LPARAM>(BusyCodeOfRun(static_cast<DWORD>(mode)));
        if (!task || SendMessage(taskList_.Hwnd(), WM_SYNC_TASK_BUSY, w, busyCode) == 0) return 0;
        task->startThread = main_.Hwnd();
        plat::ThreadHandle run = StartRunThread(*task, mode);
        if (!run) {
            SendMessage(taskList_.Hwnd(), WM_SYNC_TASK_DONE, w, busyCode);
            return 0;
        }
        runs.push_back(std::move(run));
        return 1;
    }

    TestWindow main_{[this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        switch (message) {
        case WM_SYNC_LOG_LINE: captionLines.emplace_back(reinterpret_cast<const char*>(w), l); return 1;
        case WM_SYNC_TASK_CHANGED: ++tasksChanged; return 1;
        case WM_SYNC_HISTORY_CHANGED:
            TakeHistoryPathParam(w);
            ++historyChanges;
            return 1;
        case WM_SYNC_BUSY_STATE: busyStates.push_back(w); return 1;
        case WM_SYNC_RUN_TASK: return RunTask(w, l);
        default: return 0;
        }
    }};
    TestWindow taskList_{[this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
                             auto* task = reinterpret_cast<SyncTask*>(w);
                             if (message == WM_SYNC_TASK_BUSY && task) {
                                 if (task->busyCode != TaskBusy::Idle) return 0;
                                 task->busyCode = static_cast<TaskBusy>(l);
                             }
                             if (message == WM_SYNC_TASK_DONE) {
                                 tasksDone.push_back(task);
                                 const TaskBusy ended =
                                     task ? std::exchange(task->busyCode, TaskBusy::Idle) : TaskBusy::Idle;
                                 if (IsRunBusy(ended) && task->taskWindow) {
                                     SendMessage(task->taskWindow, WM_SYNC_AFTER_RUN, 1, 0);
                                 }
                             }
                             return 1;
                         },
                         main_.Hwnd()};
};

// One task's window and log control.
class TaskWindows {
public:
    // Evaluated at each stop question while the flag is down.
    std::function<bool(const TaskWindows&)> stopWhen;
    // Called when a file's copy begins, before its first chunk.
    std::function<void()> onCopyBegin;
    bool stopRaised = false;
    int stopQuestions = 0;

    std::vector<std::string> statusLines;               // l 2
    std::string leftLabel;                              // l 0
    std::string rightLabel;                             // l 1
    DWORD progress = 0;                                 // position in the current range
    std::vector<std::pair<std::string, COLORREF>> log;  // log control lines, without CR LF
    std::vector<int> copySteps;                         // progress steps of each file copied

    HWND Window() const { return window_.Hwnd(); }
    HWND LogControl() const { return logControl_.Hwnd(); }

    std::string LastStatus() const { return statusLines.empty() ? std::string() : statusLines.back(); }
    // The log control's lines, red ones marked "red: ".
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const auto& [text, colour] : log) lines.push_back((colour == 255 ? "red: " : "") + text);
        return lines;
    }
    bool HasLine(const std::string& line) const {
        for (const std::string& each : Lines()) {
            if (each == line) return true;
        }
        return false;
    }
    void ResetForRun() {
        stopRaised = false;
        stopQuestions = 0;
        statusLines.clear();
        progress = 0;
        log.clear();
        copySteps.clear();
    }

private:
    void AddLogLine(std::string text, COLORREF colour) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        log.emplace_back(std::move(text), colour);
    }

    TestWindow window_{[this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        switch (message) {
        case WM_SYNC_QUERY_STOP:
            ++stopQuestions;
            if (!stopRaised && stopWhen && stopWhen(*this)) stopRaised = true;
            return stopRaised ? 1 : 0;
        case WM_SYNC_LOG_LINE: {
            const std::string text = reinterpret_cast<const char*>(w);
            if (l == 0) {
                leftLabel = text;
            } else if (l == 1) {
                rightLabel = text;
            } else {
                statusLines.push_back(text);
            }
            return 1;
        }
        case WM_SYNC_PROGRESS: progress = 0; return 1;  // a new range starts from 0
        case WM_SYNC_PROGRESS_POS: progress = static_cast<DWORD>(w); return 1;
        case WM_SYNC_COPY_BEGIN:
            copySteps.push_back(0);
            if (onCopyBegin) onCopyBegin();
            return 1;
        case WM_SYNC_COPY_BYTES:
            if (!copySteps.empty()) ++copySteps.back();
            return 1;
        default: return 0;
        }
    }};
    TestWindow logControl_{[this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_SYNC_LOG_LINE) AddLogLine(reinterpret_cast<const char*>(w), static_cast<COLORREF>(l));
        if (message == WM_SYNC_LOG_LINE_W) {
            AddLogLine(plat::WideToUtf8(reinterpret_cast<const wchar_t*>(w)), static_cast<COLORREF>(l));
        }
        return 1;
    }};
};

// What a task is made with.
struct TaskSetup {
    std::string name = "Task";
    DWORD type = kSyncMirror;
    DWORD allowDelete = 1;
    DWORD saveDelete = 0;  // deletions to the trash
    DWORD readOnly = 1;    // catalogs and logs in the data area
    DWORD readOnlyTarget = 1;
    DWORD log = 1;
    DWORD startSource = 0;  // the user
    DWORD skipPercent = 0;
    DWORD speed = 0;  // "No limit"
};

// Makes `task` a task over the folders `left` and `right` (absolute; made when missing)
// with the setup's options and its paths resolved, and stores it in the task store. It
// gets no windows.
inline void StoreTask(SyncTask& task, const std::string& left, const std::string& right, const TaskSetup& setup = {}) {
    task.SetDefaults();
    task.name = setup.name;
    plat::CreateFolderWithParents(left);
    plat::CreateFolderWithParents(right);
    task.leftFolder = W(left);
    task.rightFolder = W(right);
    task.syncOptions = std::make_unique<CConfigSyncPage>(false);
    task.logOptions = std::make_unique<CConfigLogPage>(false);
    task.filterOptions = std::make_unique<CConfigCompressFilterPage>(false, std::wstring());
    task.syncOptions->type = setup.type;
    task.syncOptions->allowDelete = setup.allowDelete;
    task.syncOptions->saveDelete = setup.saveDelete;
    task.syncOptions->readOnly = setup.readOnly;
    task.syncOptions->readOnlyTarget = setup.readOnlyTarget;
    task.syncOptions->speed = setup.speed;
    task.logOptions->log = setup.log;
    task.startSource = setup.startSource;
    task.skipPercent = setup.skipPercent;
    BuildTaskDataPaths(task);
    EXPECT_TRUE(WriteTaskRecord(task).written);
}

struct HarnessTask {
    SyncTask task;
    TaskWindows windows;
};

class EngineHarness {
public:
    EngineHarness() = default;
    EngineHarness(const EngineHarness&) = delete;
    EngineHarness& operator=(const EngineHarness&) = delete;

    std::string Folder(const std::string& name) const { return plat::CanonicalPath(dir_.path(), true) + "/" + name; }

    // A task over two folders (made when missing), stored in the task store. A folder
    // given by name lies under the harness's folder; an absolute path stands as it is.
    SyncTask& AddTask(const std::string& left, const std::string& right, const TaskSetup& setup = {}) {
        auto entry = std::make_unique<HarnessTask>();
        SyncTask& task = entry->task;
        StoreTask(task, left.starts_with('/') ? left : Folder(left), right.starts_with('/') ? right : Folder(right),
                  setup);
        task.taskWindow = entry->windows.Window();
        task.logControl = entry->windows.LogControl();
        task.startThread = main_.Hwnd();
        tasks_.push_back(std::move(entry));
        return task;
    }

    TaskWindows& WindowsOf(const SyncTask& task) {
        for (const auto& entry : tasks_) {
            if (&entry->task == &task) return entry->windows;
        }
        ADD_FAILURE() << "not a task of the harness";
        std::abort();
    }
    MainWindows& Main() { return main_; }

    // Starts a run of `task` in `mode` (0 Sync, 1 Check, 2 Check and Sync).
    plat::ThreadHandle Start(SyncTask& task, LPARAM mode, CWorkQueue::ThreadStarter startWorker = {}) {
        WindowsOf(task).ResetForRun();
        plat::ThreadHandle handle = StartRunThread(task, mode, std::move(startWorker));
        EXPECT_TRUE(static_cast<bool>(handle));
        return handle;
    }

    // Answers the runs' messages until every run thread has ended; false on a hang.
    bool WaitFor(std::initializer_list<plat::ThreadHandle> runs) {
        const ULONGLONG deadline = GetTickCount64() + kRunGuardMs;
        for (const plat::ThreadHandle& run : runs) {
            while (!run.HasEnded()) {
                plat::ProcessPendingMessages();
                if (GetTickCount64() > deadline) return false;
                MsgWaitForMultipleObjects({run}, FALSE, 50, QS_ALLINPUT);
            }
        }
        plat::ProcessPendingMessages();
        return true;
    }

    // Answers the runs' messages until every run the main window started has ended,
    // calling `eachTurn` after each round of messages; false on a hang.
    bool WaitForStartedRuns(const std::function<void()>& eachTurn = {}) {
        const ULONGLONG deadline = GetTickCount64() + kRunGuardMs;
        for (std::size_t i = 0; i < main_.runs.size(); ++i) {
            while (!main_.runs[i].HasEnded()) {
                plat::ProcessPendingMessages();
                if (eachTurn) eachTurn();
                if (GetTickCount64() > deadline) return false;
                MsgWaitForMultipleObjects({main_.runs[i]}, FALSE, 50, QS_ALLINPUT);
            }
        }
        plat::ProcessPendingMessages();
        return true;
    }

    // Runs `task` in `mode` to its end and returns its result code.
    DWORD Run(SyncTask& task, LPARAM mode) {
        const plat::ThreadHandle run = Start(task, mode);
        EXPECT_TRUE(WaitFor({run})) << "the run did not end";
        return task.runFacts.Get().lastRunStatus;
    }

private:
    qbtest::TempDir dir_;
    ScopedProgramFolders folders_{dir_};
    // The folder locks of its runs are its own: another suite's run that holds the
    // program-wide gate while it waits for a folder must not make these runs "busy".
    qbtest::ScopedObjectFolders objects_{dir_};
    MainWindows main_;
    std::vector<std::unique_ptr<HarnessTask>> tasks_;
};

}  // namespace runtest
