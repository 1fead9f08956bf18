// The task list's own task operations: delete, rename, copy, open a log, and the commands
// over every row.
#include "foundation/archive_store.h"
#include "foundation/file_utils.h"
#include "foundation/history_store.h"
#include "foundation/resource_strings.h"
#include "foundation/script_table.h"
#include "foundation/settings_store.h"
#include "foundation/sync_task.h"
#include "foundation/task_paths.h"
#include "foundation/task_store.h"
#include "foundation/task_templates.h"
#include "platform/core/message_box.h"
#include "platform/core/shell_open.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "platform/qt/qt_text.h"
#include "resources/command_ids.h"
#include "resources/sync_messages.h"
#include "ui/frame/main_frame.h"
#include "ui/task_list/sync_list_view.h"
#include "ui/task_list/task_files.h"
#include "ui/task_window/sync_form_view.h"

namespace {

constexpr auto kRemovingCode = static_cast<LPARAM>(TaskBusy::RemovingOrRebuilding);
constexpr auto kRenamingCode = static_cast<LPARAM>(TaskBusy::Renaming);
constexpr auto kCopyingCode = static_cast<LPARAM>(TaskBusy::Copying);
constexpr COLORREF kRed = 255;

void Tell(HWND owner, const std::string& text, UINT icon) {
    MessageBox(owner, text, LoadResString(IDS_APP_TITLE), MB_OK | icon);
}

std::string WithName(UINT id, const std::string& name) { return plat::Format(LoadResString(id).c_str(), name.c_str()); }

}  // namespace

// --- Delete -----------------------------------------------------------------------------------

void CSyncListView::OnDeleteSelectedTask() { DeleteTask(SelectedRow()); }

BOOL CSyncListView::DeleteTask(int row) {
    SyncTask* task = TaskAt(row);
    if (!task) return FALSE;
    const HWND self = GetSafeHwnd();
    // The Del key reaches this from anywhere in the main window, the item tree included:
    // a task and its settings go only when the user says so (No is the default button,
    // so Del followed by Enter keeps the task).
    if (MessageBox(self, WithName(IDS_ASK_DELETE_TASK, task->name), LoadResString(IDS_APP_TITLE),
                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return FALSE;
    }
    const auto w = reinterpret_cast<WPARAM>(task);
    if (SendMessage(self, WM_SYNC_TASK_BUSY, w, kRemovingCode) == 0) {
        Tell(self, WithName(IDS_BUSY_TRY_LATER, task->name), MB_ICONWARNING);
        return FALSE;
    }
    if (!DeleteTaskRecord(GetTaskListFilePath(), task->name)) {
        AddHistoryRecord(*task, kHistoryTaskDeleted, 0, kHistoryEventFailed, "");
        Tell(self, WithName(IDS_DELETE_TASK_FAILED, task->name), MB_ICONERROR);
        SendMessage(self, WM_SYNC_TASK_DONE, w, kRemovingCode);
        return FALSE;
    }
    SendMessage(self, WM_SYNC_TASK_DONE, w, kRemovingCode);
    CancelTaskScript(*task);
    AddHistoryRecord(*task, kHistoryTaskDeleted, 0, kHistoryEventDone, "");
    if (row == SelectedRow()) {
        SetStatus(0, LoadResString(IDS_NO_TASK));
        SendMessage(LogPaneWindow(), WM_SYNC_TASK_REMOVED, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(task));
    }
    DeleteRow(row);
    return TRUE;
}

void CSyncListView::OnDeleteAllRows() {
    // A busy task is in use (a run holds it): its row stays.
    for (int row = RowCount() - 1; row >= 0; --row) {
        if (TaskAt(row)->busyCode == TaskBusy::Idle) DeleteRow(row);
    }
}

// --- Rename and copy --------------------------------------------------------------------------

BOOL CSyncListView::RenameTask(const std::string& newName) {
    const int row = SelectedRow();
    SyncTask* task = TaskAt(row);
    if (!task) return FALSE;
    const HWND self = GetSafeHwnd();
    const auto w = reinterpret_cast<WPARAM>(task);
    if (SendMessage(self, WM_SYNC_TASK_BUSY, w, kRenamingCode) == 0) {
        Tell(self, WithName(IDS_BUSY_TRY_LATER, task->name), MB_ICONWARNING);
        return FALSE;
    }
    const std::string oldName = task->name;
    if (newName == oldName) {
        SendMessage(self, WM_SYNC_TASK_DONE, w, kRenamingCode);
        return TRUE;
    }
    const std::string store = GetTaskListFilePath();
    bool renamed = false;
    // The new name must not be another task's: its member would be overwritten.
    if (!TaskNameExists(newName) && FindRow(newName) < 0) {
        task->name = newName;
        BuildTaskDataPaths(*task);
        // Stored under the new name first: the old member goes only once the task is safe.
        if (WriteTaskRecord(*task).written) {
            renamed = DeleteTaskRecord(store, oldName) != 0;
            if (!renamed) DeleteTaskRecord(store, newName);
        }
        if (!renamed) {
            task->name = oldName;
            BuildTaskDataPaths(*task);
        }
    }
    AddHistoryRecord(*task, kHistoryTaskRenamed, 0, renamed ? kHistoryEventDone : kHistoryEventFailed, oldName);
    if (renamed) {
        Row(row)->setText(kTaskColumn, plat::ToQString(newName));
        if (const CMainFrame* frame = Frame()) {
            if (const HWND pane = frame->TaskWindowPane()) {
                SendMessage(pane, WM_SYNC_RENAME_TASK, w, reinterpret_cast<LPARAM>(newName.c_str()));
            }
        }
        WriteProfileString("Task", "Active", newName);
        SetStatus(0, newName);
    } else {
        Tell(self, WithName(IDS_RENAME_TASK_FAILED, oldName), MB_ICONERROR);
    }
    SendMessage(self, WM_SYNC_TASK_DONE, w, kRenamingCode);
    return renamed ? TRUE : FALSE;
}

BOOL CSyncListView::CopyTask(const std::string& newName) {
    SyncTask* source = GetSelectedTask();
    if (!source) return FALSE;
    const HWND self = GetSafeHwnd();
    const auto w = reinterpret_cast<WPARAM>(source);
    if (SendMessage(self, WM_SYNC_TASK_BUSY, w, kCopyingCode) == 0) {
        Tell(self, WithName(IDS_BUSY_TRY_LATER, source->name), MB_ICONWARNING);
        return FALSE;
    }
    // The copy is made from the stored record, the task as it was saved.
    std::unique_ptr<SyncTask> copy;
    if (!TaskNameExists(newName) && FindRow(newName) < 0) {
        const std::optional<ArchiveBlock> stored = ReadArchiveEntry(GetTaskListFilePath(), source->name);
        copy = std::make_unique<SyncTask>();
        copy->SetDefaults();
        if (!stored || !LoadTaskFromRecord(*stored, *copy)) copy.reset();
    }
    if (copy) {
        // Its own paths: until its first run they would name the source's log files.
        copy->name = newName;
        BuildTaskDataPaths(*copy);
        if (!WriteTaskRecord(*copy).written) copy.reset();
    }
    const std::string sourceName = source->name;
    BOOL copied = FALSE;
    if (!copy) {
        Tell(self, LoadResString(IDS_COPY_TASK_FAILED), MB_ICONERROR);
        AddHistoryRecord(*source, kHistoryTaskCopied, 0, kHistoryEventFailed, "");
    } else if (SyncTask* added = SendNewTask(self, std::move(copy))) {
        if (added->scheduleOn) {
            AddTaskScript(*added);
            CMainFrame::ArmScriptTimer();
        }
        // The copy's automatic runs wait for the timer like the others'.
        CMainFrame::ArmTaskTimer();
        AddHistoryRecord(*added, kHistoryTaskCopied, 0, kHistoryEventDone, sourceName);
        copied = TRUE;
    }
    SendMessage(self, WM_SYNC_TASK_DONE, w, kCopyingCode);
    return copied;
}

// --- Logs -------------------------------------------------------------------------------------

void CSyncListView::OnOpenLogFile(int side) {
    SyncTask* task = GetSelectedTask();
    if (!task) return;
    BuildTaskDataPaths(*task);
    const std::string path = plat::WideToUtf8(SideLogPath(*task, side));
    if (GetPathKind(path) != kPathFile) {
        Tell(GetSafeHwnd(), WithName(IDS_FILE_DOES_NOT_EXIST, path), MB_ICONERROR);
        return;
    }
    if (!plat::OpenInTextEditor(path)) {
        Tell(GetSafeHwnd(), "The log file '" + path + "' could not be opened: the desktop has no program for it.",
             MB_ICONERROR);
    }
}

// --- Every row --------------------------------------------------------------------------------

void CSyncListView::OnStopAll() {
    for (int row = 0; row < RowCount(); ++row) {
        if (const HWND window = TaskAt(row)->taskWindow) PostMessage(window, WM_SYNC_STOP, 0, 0);
    }
}

void CSyncListView::OnClearAll() {
    for (int row = 0; row < RowCount(); ++row) {
        const SyncTask& task = *TaskAt(row);
        if (task.busyCode == TaskBusy::Idle) {
            if (task.taskWindow) PostMessage(task.taskWindow, WM_SYNC_CLEAR_LIST, 0, 0);
        } else if (task.logControl) {
            const std::string line = WithName(IDS_BUSY_WONT_CLEAR, task.name) + "\r\n";
            SendMessage(task.logControl, WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(line.c_str()), kRed);
        }
    }
}

void CSyncListView::OnFilePrint() { PrintList(!printDialog_); }

// --- Relays -----------------------------------------------------------------------------------

LRESULT CSyncListView::RelayToTask(UINT message, WPARAM w, LPARAM l) {
    const SyncTask* task = GetSelectedTask();
    if (!task || !task->taskWindow) return 1;
    const HWND window = task->taskWindow;
    switch (message) {
    case WM_SYNC_SELECT_ALL: PostMessage(window, WM_COMMAND, ID_SELECT_ALL, 0); break;
    case WM_SYNC_TASK_OPTIONS: SendMessage(window, message, w, l); break;
    case WM_SYNC_ITEM_COMMAND:
    case WM_SYNC_BOTH_ITEMS_COMMAND:
    case WM_SYNC_SET_ACTION:
        if (SelectedItemAllows(message, w, l)) SendMessage(window, message, w, l);
        break;
    // The start goes on as it came: the window writes who started the run once it takes it.
    default: PostMessage(window, message, w, l); break;
    }
    return 1;
}
