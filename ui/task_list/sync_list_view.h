#pragma once
// The Tasks page of the navigation bar: one row per task, and the owner of every task of
// the running program. It shows each task's last run and busy state, keeps the selected
// task (the control's selection), and is the hub through which the main frame's task
// commands reach the selected task's window. It carries out the task-level commands
// itself: rename, copy, delete, reset, switch folders, delete backups, catalogs and logs,
// open a log, clear all, stop all, print.
//
// Busy gate: WM_SYNC_TASK_BUSY (w task, l code) refuses (0) a task whose own busyCode is
// not 0, else marks it busy; WM_SYNC_TASK_DONE ends it. Every task operation passes it.
//
// A task is freed with its row, however the row goes (Delete Task, ID_DELETE_ALL_ROWS, the
// list's end): its tab and window go first, then its log control, then its script entry.
//
// Settings: section "synclist" ("tab %u", "array %u", "sort"); "Task"/"Active" names the
// selected task.

#include <QPoint>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "foundation/task_paths.h"
#include "platform/core/win_types.h"
#include "ui/frame/task_list_link.h"
#include "ui/history/report_list.h"
#include "ui/task_list/task_row_texts.h"

class CMainFrame;
class CSyncDlg;
class QContextMenuEvent;
class QListWidget;

// Images of the rows, cells of strip 4051.
inline constexpr int kTaskImage = 32;
inline constexpr int kBusyTaskImage = 22;
inline constexpr int kAfterBusyTaskImage = 21;

// The task list's right-click menu.

class CSyncListView : public ReportList, public TaskListLink {
public:
    explicit CSyncListView(QWidget* parent = nullptr);
    ~CSyncListView() override;

    // --- The frame's interface ---------------------------------------------------------
    SyncTask* GetSelectedTask() const override;
    bool HasTasks() const override { return RowCount() > 0; }
    bool RunSyncContainerDialog(QWidget* owner) override;

    // --- Rows ----------------------------------------------------------------------------
    // The selected row (the control's selection), -1 for none.
    int SelectedRow() const;
    SyncTask* TaskAt(int row) const;
    // The row of `task`, -1 when the list does not hold it.
    int RowOf(const SyncTask* task) const;
    // Selects `row` in the control, as a click does; -1 selects nothing.
    void SelectRow(int row);
    // The row of the first task named `name` (exact), -1 for none.
    int FindRow(const std::string& name) const;

    // --- Automatic starts and the Sync Container (auto_start_timer.cpp, sync_container.cpp)
    // Adds every row's task to the Sync Container dialog's box: its name, its row as the
    // entry's data, checked when the task is a member.
    void FillBatchTaskList(QListWidget& box) const;

protected:
    void OnInitialUpdate() override;
    void OnColumnClick(int column) override;
    void OnDestroy() override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The relays to the selected task's window.
    LRESULT DefWindowProc(UINT message, WPARAM w, LPARAM l) override;

private:
    class TaskRow;

    // Messages.
    LRESULT OnLoadTasks(WPARAM, LPARAM);
    LRESULT OnTaskAdded(WPARAM task, LPARAM);
    LRESULT OnNewTask(WPARAM task, LPARAM);
    LRESULT OnTaskChanged(WPARAM row, LPARAM);
    LRESULT OnTaskStarted(WPARAM task, LPARAM busyCode);
    LRESULT OnTaskFinished(WPARAM task, LPARAM);
    LRESULT OnRenameTask(WPARAM name, LPARAM);
    LRESULT OnCopyTask(WPARAM name, LPARAM);
    LRESULT OnOpenLog(WPARAM side, LPARAM);
    LRESULT OnTaskFilesCommand(WPARAM code, LPARAM);
    LRESULT OnSelectTaskByLabel(WPARAM name, LPARAM);
    LRESULT OnFindTask(WPARAM name, LPARAM);
    LRESULT RelayToTask(UINT message, WPARAM w, LPARAM l);
    void MapAutoStartMessages();
    LRESULT OnTimer(WPARAM id, LPARAM);
    LRESULT OnRunContainer(WPARAM, LPARAM);
    void OnAddToContainer();
    void OnUpdateAddToContainer(plat::CmdUI& ui);

    // Rows.
    int AppendRow(std::unique_ptr<SyncTask> task);
    void SetTaskRowText(int row);
    void RenumberRows();
    // Deletes row `row`, freeing its task.
    void DeleteRow(int row);
    void OnSelectionChanged();
    void SelectTaskRow(int row);
    void ShowSelectedTask(SyncTask& task);
    void CreateTaskWindow(int row);
    void SortByColumn(int column);

    // Task operations (task_list_commands.cpp, task_files_commands.cpp).
    BOOL DeleteTask(int row);
    BOOL RenameTask(const std::string& newName);
    BOOL CopyTask(const std::string& newName);
    void OnOpenLogFile(int side);
    BOOL OnDeleteTaskFiles(int code);
    BOOL SwitchFolders(SyncTask& task, int row);
    void OnDeleteSelectedTask();
    void OnStopAll();
    void OnClearAll();
    void OnDeleteAllRows();
    void OnFilePrint();

    // Update rules (task_list_updates.cpp).
    void MapUpdateRules();
    void OnUpdateTaskCommand(plat::CmdUI& ui);
    void OnUpdateSync(plat::CmdUI& ui);
    void OnUpdateStop(plat::CmdUI& ui);
    void OnUpdateOpenLog(plat::CmdUI& ui);
    void OnUpdateViewFilter(plat::CmdUI& ui);
    void OnUpdateItemCommand(plat::CmdUI& ui);
    void OnUpdateAlways(plat::CmdUI& ui);
    void OnUpdatePrint(plat::CmdUI& ui);
    void OnUpdateExport(plat::CmdUI& ui);
    // The relay's test of an item command (message, w, l) on the window's selected item.
    bool SelectedItemAllows(UINT message, WPARAM w, LPARAM l) const;

    CMainFrame* Frame() const;
    HWND FrameWindow() const;
    HWND LogPaneWindow() const;
    void SetStatus(int pane, const std::string& text) const;
    // The selected task's window when it has one, else null.
    CSyncDlg* SelectedWindow() const;
    // The busy test of the update rules: the task has a window and is busy.
    static bool BusyInWindow(const SyncTask* task);

    // The task whose selection was handled last: selecting it again does nothing.
    const SyncTask* handledSelection_ = nullptr;
    std::vector<int> directions_;  // per clicked column, toggling 0/1
    int lastRunSign_ = 1;          // the Last Run Time column's sign
    int previousSortColumn_ = -1;
    bool printDialog_ = true;
    TaskPathSources deviceSources_;  // where the device test looks for volumes, labels and /etc/fstab
};
