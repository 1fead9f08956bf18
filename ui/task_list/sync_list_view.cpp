#include "ui/task_list/sync_list_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

#include "controls/image_list.h"
#include "controls/list_sort.h"
#include "controls/window_theme.h"
#include "foundation/history_message.h"
#include "foundation/history_store.h"
#include "foundation/program_state.h"
#include "foundation/resource_strings.h"
#include "foundation/script_table.h"
#include "foundation/settings_store.h"
#include "foundation/sync_task.h"
#include "foundation/task_store.h"
#include "platform/core/window.h"
#include "platform/qt/popup_menu.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/status_bar.h"
#include "resources/command_ids.h"
#include "resources/control_ids.h"
#include "resources/menu_ids.h"
#include "resources/menus.h"
#include "resources/sync_messages.h"
#include "ui/frame/main_frame.h"
#include "ui/log_pane/log_bar.h"
#include "ui/task_window/sync_dlg.h"
#include "ui/task_window/sync_form_view.h"

namespace {

constexpr ReportColumn kTaskColumns[kTaskListColumnCount] = {
    {IDS_TASK_LIST_COLUMN_TASK, 100},           {IDS_TASK_LIST_COLUMN_AUTO, 25},
    {IDS_TASK_LIST_COLUMN_LEFT_FOLDER, 100},    {IDS_TASK_LIST_COLUMN_RIGHT_FOLDER, 100},
    {IDS_TASK_LIST_COLUMN_LAST_RUN_TIME, 100},  {IDS_TASK_LIST_COLUMN_LAST_RUN_FROM, 100},
    {IDS_TASK_LIST_COLUMN_LAST_SYNC_TYPE, 100},
};

// What goes with a task when its row goes: its tab and window, then its log control
// (the log pane is told first, so it never shows a control that is gone), then its
// scheduled script, whose entry holds the task.
void ReleaseTaskWindows(SyncTask& task) {
    CMainFrame* frame = MainFrame();
    if (frame && task.taskWindow) {
        if (const HWND pane = frame->TaskWindowPane())
            SendMessage(pane, WM_SYNC_TASK_REMOVED, reinterpret_cast<WPARAM>(&task), 0);
    }
    if (frame && frame->LogPane()) {
        SendMessage(frame->LogPane()->GetSafeHwnd(), WM_SYNC_TASK_REMOVED, static_cast<WPARAM>(task.rowIndex),
                    reinterpret_cast<LPARAM>(&task));
    }
    if (task.logControl) {
        if (plat::MessageWindow* control = plat::MessageWindow::FromHwnd(task.logControl)) delete control->Widget();
        task.logControl = nullptr;
    }
    CancelTaskScript(task);
}

// Tab goes from the tab bar into the task window's controls, not first to the log
// control made just before the window.
void TabIntoWindow(QWidget* tabBar, QWidget& window) {
    std::vector<QWidget*> controls;
    for (QWidget* w = window.nextInFocusChain(); w != &window && window.isAncestorOf(w); w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus) controls.push_back(w);
    }
    QWidget* previous = tabBar;
    for (QWidget* control : controls) {
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

}  // namespace

// A row owns its task: the task goes when the row goes, by whatever road.
class CSyncListView::TaskRow : public ReportRow {
public:
    explicit TaskRow(std::unique_ptr<SyncTask> task) : task_(std::move(task)) {}
    ~TaskRow() override {
        if (!task_) return;
        ReleaseTaskWindows(*task_);
        DeleteSyncTask(std::move(task_));
    }
    TaskRow(const TaskRow&) = delete;
    TaskRow& operator=(const TaskRow&) = delete;

    SyncTask* Task() const { return task_.get(); }
    // A task whose run still goes on when the list ends: its run thread holds it, so it
    // outlives the list rather than be freed under that thread.
    void LetGo() { (void)task_.release(); }

private:
    std::unique_ptr<SyncTask> task_;
};

CSyncListView::CSyncListView(QWidget* parent) : ReportList(parent, "synclist", kTaskColumns) {
    SetPrintTitle(PrintedListTitle(IDS_TASKS));
    MapMessage(WM_SYNC_LOAD_TASKS, &CSyncListView::OnLoadTasks);
    MapMessage(WM_SYNC_TASK_ADDED, &CSyncListView::OnTaskAdded);
    MapMessage(WM_SYNC_NEW_TASK, &CSyncListView::OnNewTask);
    MapMessage(WM_SYNC_TASK_CHANGED, &CSyncListView::OnTaskChanged);
    MapMessage(WM_SYNC_TASK_BUSY, &CSyncListView::OnTaskStarted);
    MapMessage(WM_SYNC_TASK_DONE, &CSyncListView::OnTaskFinished);
    MapMessage(WM_SYNC_RENAME_TASK, &CSyncListView::OnRenameTask);
    MapMessage(WM_SYNC_COPY_TASK, &CSyncListView::OnCopyTask);
    MapMessage(WM_SYNC_OPEN_LOG, &CSyncListView::OnOpenLog);
    MapMessage(WM_SYNC_TASK_FILES_COMMAND, &CSyncListView::OnTaskFilesCommand);
    MapMessage(WM_SYNC_SELECT_TASK, &CSyncListView::OnSelectTaskByLabel);
    MapMessage(WM_SYNC_FIND_TASK, &CSyncListView::OnFindTask);
    MapCommand(ID_DELETE_TASK, &CSyncListView::OnDeleteSelectedTask);
    MapCommand(ID_STOP_ALL, &CSyncListView::OnStopAll);
    MapCommand(ID_CLEAR_ALL, &CSyncListView::OnClearAll);
    MapCommand(ID_DELETE_ALL_ROWS, &CSyncListView::OnDeleteAllRows);
    MapCommand(ID_FILE_PRINT, &CSyncListView::OnFilePrint);
    MapUpdateRules();
    MapAutoStartMessages();

    setSelectionMode(QAbstractItemView::SingleSelection);
    SetSmallImages(LoadListImages());
    ApplyWindowTheme(this, L"Explorer", nullptr, ProgramState().windowsVersionClass);
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
}

CSyncListView::~CSyncListView() {
    // WM_DESTROY while this class still handles it: the rows go before the columns are saved.
    DestroyMessageWindow();
}

LRESULT CSyncListView::DefWindowProc(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_SYNC_START:
    case WM_SYNC_VIEW_FILTER:
    case WM_SYNC_AUTOMATE:
    case WM_SYNC_STOP:
    case WM_SYNC_CLEAR_LIST:
    case WM_SYNC_SELECT_ALL:
    case WM_SYNC_ITEM_COMMAND:
    case WM_SYNC_BOTH_ITEMS_COMMAND:
    case WM_SYNC_SET_ACTION:
    case WM_SYNC_TASK_OPTIONS: return RelayToTask(message, w, l);
    default: return ReportList::DefWindowProc(message, w, l);
    }
}

void CSyncListView::OnInitialUpdate() { InsertColumns(); }

void CSyncListView::OnDestroy() {
    ReportList::OnDestroy();
    const QSignalBlocker quiet(this);
    for (int row = RowCount() - 1; row >= 0; --row) {
        auto* item = static_cast<TaskRow*>(Row(row));
        if (item->Task() && IsRunBusy(item->Task()->busyCode)) item->LetGo();
        DeleteRow(row);
    }
    CMainFrame* frame = Frame();
    if (frame && frame->TaskListWindow() == GetSafeHwnd()) frame->SetTaskListView(nullptr, nullptr);
}

// --- The frame and its panes ------------------------------------------------------------------

CMainFrame* CSyncListView::Frame() const {
    if (auto* frame = dynamic_cast<CMainFrame*>(ParentFrame())) return frame;
    return MainFrame();
}

HWND CSyncListView::FrameWindow() const {
    const CMainFrame* frame = Frame();
    return frame ? frame->GetSafeHwnd() : nullptr;
}

HWND CSyncListView::LogPaneWindow() const {
    const CMainFrame* frame = Frame();
    return frame && frame->LogPane() ? frame->LogPane()->GetSafeHwnd() : nullptr;
}

void CSyncListView::SetStatus(int pane, const std::string& text) const {
    if (CMainFrame* frame = Frame()) frame->SetStatusText(pane, text);
}

CSyncDlg* CSyncListView::SelectedWindow() const {
    const SyncTask* task = GetSelectedTask();
    return task ? dynamic_cast<CSyncDlg*>(plat::MessageWindow::FromHwnd(task->taskWindow)) : nullptr;
}

// --- Rows ---------------------------------------------------------------------------------

SyncTask* CSyncListView::TaskAt(int row) const {
    const auto* item = static_cast<const TaskRow*>(Row(row));
    return item ? item->Task() : nullptr;
}

int CSyncListView::RowOf(const SyncTask* task) const {
    if (!task) return -1;
    // The row index the task keeps is current (renumbered after every change of rows).
    if (task->rowIndex >= 0 && TaskAt(task->rowIndex) == task) return task->rowIndex;
    for (int row = 0; row < RowCount(); ++row) {
        if (TaskAt(row) == task) return row;
    }
    return -1;
}

int CSyncListView::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.front());
}

SyncTask* CSyncListView::GetSelectedTask() const { return TaskAt(SelectedRow()); }

void CSyncListView::SelectRow(int row) {
    ReportRow* item = Row(row);
    if (!item) {
        clearSelection();
        return;
    }
    setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollToItem(item);
}

int CSyncListView::FindRow(const std::string& name) const {
    for (int row = 0; row < RowCount(); ++row) {
        if (TaskAt(row)->name == name) return row;
    }
    return -1;
}

int CSyncListView::AppendRow(std::unique_ptr<SyncTask> task) {
    const QString name = plat::ToQString(task->name);
    auto row = std::make_unique<TaskRow>(std::move(task));
    row->setText(kTaskColumn, name);
    row->SetImage(kTaskColumn, kTaskImage);
    AddRow(std::move(row));
    const int index = RowCount() - 1;
    TaskAt(index)->rowIndex = index;
    return index;
}

void CSyncListView::SetTaskRowText(int row) {
    ReportRow* item = Row(row);
    if (!item) return;
    const auto texts = TaskRowTexts(*TaskAt(row), ProgramState().userName);
    for (int column = kAutoColumn; column < kTaskListColumnCount; ++column) {
        item->setText(column, plat::ToQString(texts[static_cast<std::size_t>(column)]));
    }
}

void CSyncListView::RenumberRows() {
    for (int row = 0; row < RowCount(); ++row) TaskAt(row)->rowIndex = row;
}

void CSyncListView::DeleteRow(int row) {
    ReportRow* item = Row(row);
    if (!item) return;
    if (TaskAt(row) == handledSelection_) handledSelection_ = nullptr;
    {
        // Taking a row out is no choice of the user's: the view must not select another.
        const QSignalBlocker quiet(this);
        const bool wasSelected = item->isSelected();
        delete takeTopLevelItem(row);
        if (wasSelected) {
            clearSelection();
            setCurrentItem(nullptr);
        }
    }
    RenumberRows();
}

// --- Messages -------------------------------------------------------------------------------

LRESULT CSyncListView::OnLoadTasks(WPARAM, LPARAM) {
    CMainFrame* frame = Frame();
    const std::string saved =
        frame && frame->GetStatusBar() ? frame->GetStatusBar()->PaneText(IDC_STATUS_PANE_MAIN) : "";
    SetStatus(0, LoadResString(IDS_LOADING_TASKS));
    const TaskLoadReport report = LoadAllTasks(GetSafeHwnd());
    SetStatus(0, saved);
    // Scheduled tasks are checked from the first start on, not only once one is edited.
    if (report.scriptAdded) CMainFrame::ArmScriptTimer();

    const std::string active = ReadProfileString("Task", "Active", "");
    const int found = active.empty() ? -1 : FindRow(active);
    SelectRow(found >= 0 ? found : RowCount() - 1);

    SendHistoryPathMessage(FrameWindow(), WM_SYNC_HISTORY_CHANGED, GetHistoryFilePath());
    CMainFrame::ArmTaskTimer();
    return 1;
}

LRESULT CSyncListView::OnTaskAdded(WPARAM w, LPARAM) {
    auto* task = reinterpret_cast<SyncTask*>(w);
    if (!task) return 0;
    const int row = AppendRow(std::unique_ptr<SyncTask>(task));
    CreateTaskWindow(row);
    SetTaskRowText(row);
    return 1;
}

LRESULT CSyncListView::OnNewTask(WPARAM w, LPARAM) {
    auto* task = reinterpret_cast<SyncTask*>(w);
    if (!task) return 0;
    WriteProfileString("task", "active", task->name);
    const int row = AppendRow(std::unique_ptr<SyncTask>(task));
    CreateTaskWindow(row);
    SelectRow(row);
    SetTaskRowText(row);
    return 1;
}

LRESULT CSyncListView::OnTaskChanged(WPARAM, LPARAM) {
    // A task window may hold a row number from before the rows moved: every row is
    // written again, each from its own task.
    for (int row = 0; row < RowCount(); ++row) SetTaskRowText(row);
    return 1;
}

LRESULT CSyncListView::OnTaskStarted(WPARAM w, LPARAM busyCode) {
    auto* task = reinterpret_cast<SyncTask*>(w);
    const int row = RowOf(task);
    // Only a task of this list, and only while it is not busy with anything else.
    if (row < 0 || task->busyCode != TaskBusy::Idle) return 0;
    if (CMainFrame* frame = Frame()) frame->update();
    task->busyCode = static_cast<TaskBusy>(busyCode);
    Row(row)->SetImage(kTaskColumn, kBusyTaskImage);
    if (row == SelectedRow()) SetStatus(1, BusyStatusText(task->busyCode));
    return 1;
}

LRESULT CSyncListView::OnTaskFinished(WPARAM w, LPARAM) {
    auto* task = reinterpret_cast<SyncTask*>(w);
    const int row = RowOf(task);
    if (row < 0) return 0;
    const TaskBusy ended = task->busyCode;
    task->busyCode = TaskBusy::Idle;
    Row(row)->SetImage(kTaskColumn, kAfterBusyTaskImage);
    if (row == SelectedRow()) SetStatus(1, BusyStatusText(TaskBusy::Idle));
    if (IsRunBusy(ended) && task->taskWindow) SendMessage(task->taskWindow, WM_SYNC_AFTER_RUN, 1, 0);
    if (IsRunBusy(ended)) CMainFrame::ArmTaskTimer();
    return 0;
}

LRESULT CSyncListView::OnRenameTask(WPARAM name, LPARAM) {
    return name ? RenameTask(reinterpret_cast<const char*>(name)) : 0;
}

LRESULT CSyncListView::OnCopyTask(WPARAM name, LPARAM) {
    return name ? CopyTask(reinterpret_cast<const char*>(name)) : 0;
}

LRESULT CSyncListView::OnOpenLog(WPARAM side, LPARAM) {
    OnOpenLogFile(static_cast<int>(side));
    return 1;
}

LRESULT CSyncListView::OnTaskFilesCommand(WPARAM code, LPARAM) { return OnDeleteTaskFiles(static_cast<int>(code)); }

LRESULT CSyncListView::OnSelectTaskByLabel(WPARAM name, LPARAM) {
    if (!name) return 1;
    const int row = FindRow(reinterpret_cast<const char*>(name));
    if (row >= 0) SelectRow(row);
    return 1;
}

LRESULT CSyncListView::OnFindTask(WPARAM name, LPARAM) {
    if (!name) return 0;
    return reinterpret_cast<LRESULT>(TaskAt(FindRow(reinterpret_cast<const char*>(name))));
}

// --- Selection and the task windows ------------------------------------------------------

void CSyncListView::OnSelectionChanged() {
    const int row = SelectedRow();
    SyncTask* task = TaskAt(row);
    if (!task || task == handledSelection_) return;
    handledSelection_ = task;
    SelectTaskRow(row);
    const HWND frame = FrameWindow();
    // The hint true of the task chosen. (String 11108 sends the user to an Options icon at
    // the far right of the screen, which the task window does not have.)
    if (const auto* window = dynamic_cast<const CSyncDlg*>(plat::MessageWindow::FromHwnd(task->taskWindow))) {
        const CSyncDlg::CaptionHint tip = window->CurrentHint();
        SendMessage(frame, WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(tip.text.c_str()),
                    static_cast<LPARAM>(tip.colour));
    }
    SendMessage(frame, WM_SYNC_BUSY_STATE, task->busyCode != TaskBusy::Idle ? 1 : 0, 0);
}

void CSyncListView::SelectTaskRow(int row) {
    SyncTask* task = TaskAt(row);
    if (!task) return;
    SetStatus(0, task->name);
    SetStatus(1, BusyStatusText(task->busyCode));
    ShowSelectedTask(*task);
    SendMessage(LogPaneWindow(), WM_SYNC_TASK_CHANGED, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(task));
    WriteProfileString("Task", "Active", task->name);
}

void CSyncListView::ShowSelectedTask(SyncTask& task) {
    const CMainFrame* frame = Frame();
    const HWND pane = frame ? frame->TaskWindowPane() : nullptr;
    if (pane && task.taskWindow) PostMessage(pane, WM_SYNC_TASK_CHANGED, reinterpret_cast<WPARAM>(&task), 0);
}

void CSyncListView::CreateTaskWindow(int row) {
    SyncTask* task = TaskAt(row);
    CMainFrame* frame = Frame();
    if (!task || task->taskWindow || !frame) return;
    if (!task->logControl && frame->LogPane()) {
        if (CRichEditCtrlGS* control = frame->LogPane()->CreateLogControl()) task->logControl = control->GetSafeHwnd();
    }
    CSyncFormView* pane = CSyncFormView::PaneOf(*frame);
    if (!pane) {
        pane = CSyncFormView::CreatePane(*frame, GetSafeHwnd());
        if (!pane) return;
        // Shown now rather than when the frame's layout gets round to it, so the first
        // task window is on screen as soon as it is made.
        pane->show();
    }
    if (CSyncDlg* window = pane->AddTaskTab(task->name, row, task))
        TabIntoWindow(pane->TabControl()->tabBar(), *window);
}

// --- Sorting --------------------------------------------------------------------------------

void CSyncListView::OnColumnClick(int column) {
    if (column < 0 || column >= ColumnCount()) return;
    SetSortColumn(column);
    if (directions_.size() <= static_cast<std::size_t>(column))
        directions_.resize(static_cast<std::size_t>(column) + 1, 0);
    int& direction = directions_[static_cast<std::size_t>(column)];
    direction = direction == 0 ? 1 : 0;
    {
        const QSignalBlocker quiet(this);
        if (column == kLastRunTimeColumn) {
            lastRunSign_ = -lastRunSign_;
            SortByColumn(column);
        } else {
            // The arrow belongs to the Last Run Time sort alone; it must not stand over rows
            // that another column ordered.
            if (previousSortColumn_ >= 0) SetHeaderArrow(previousSortColumn_, Arrow::None);
            previousSortColumn_ = -1;
            SortTextItems(this, column, direction == 1);
        }
    }
    RenumberRows();
    viewport()->update();
}

void CSyncListView::SortByColumn(int column) {
    if (previousSortColumn_ >= 0) SetHeaderArrow(previousSortColumn_, Arrow::None);
    SetHeaderArrow(column, lastRunSign_ < 0 ? Arrow::Down : Arrow::Up);
    previousSortColumn_ = column;
    const int sign = lastRunSign_;
    SortRows([column, sign](const ReportRow& a, const ReportRow& b) {
        if (column != kLastRunTimeColumn) return 0;
        const auto time = [](const ReportRow& row) {
            const FILETIME t = static_cast<const TaskRow&>(row).Task()->runFacts.Get().lastRunStart;
            return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
        };
        const ULONGLONG first = time(a);
        const ULONGLONG second = time(b);
        return first > second ? sign : first < second ? -sign : 0;
    });
}

// --- Right click ----------------------------------------------------------------------------

void CSyncListView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse) return;
    QTreeWidgetItem* item = itemAt(event->pos());
    if (!item) return;
    SelectRow(indexOfTopLevelItem(item));
    const res::MenuResource* menu = res::FindMenu(IDR_TASK_LIST_MENU);
    if (menu) plat::TrackPopupMenu(menu->SubMenu(0), event->globalPos(), FrameWindow());
    event->accept();
}
