// The update rules the main frame asks of the task list for its selected task, and the
// tests the item commands pass before they reach the task window.
#include <algorithm>
#include <iterator>

#include "engine/model/item_display.h"
#include "foundation/sync_task.h"
#include "resources/command_ids.h"
#include "resources/sync_messages.h"
#include "ui/task_list/selected_item.h"
#include "ui/task_list/sync_list_view.h"
#include "ui/task_window/item_row.h"
#include "ui/task_window/sync_dlg.h"

namespace {

// Disabled only while the selected task's window runs something.
constexpr UINT kTaskCommands[] = {
    ID_DELETE_TASK,     ID_COPY_TASK,       ID_RENAME_TASK,      ID_TASK_OPTIONS,    ID_CHECK,
    ID_CHECK_AND_SYNC,  ID_CLEAR_SYNC_LIST, ID_AUTOMATE,         ID_SELECT_ALL,      ID_DELETE_BACKUP_FOLDERS,
    ID_DELETE_CATALOGS, ID_RESET_TASK,      ID_DELETE_RIGHT_LOG, ID_DELETE_LEFT_LOG, ID_SWITCH_FOLDERS};
// The views, in the order of their filter kinds 0 to 13.
constexpr UINT kViewCommands[] = {ID_DISPLAY_ALL,
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
                                  ID_DISPLAY_WARNINGS};
constexpr UINT kItemCommands[] = {
    ID_OPEN_LEFT_ITEM,     ID_LEFT_ITEM_PROPERTIES, ID_DELETE_LEFT_ITEM,  ID_OPEN_RIGHT_ITEM, ID_RIGHT_ITEM_PROPERTIES,
    ID_DELETE_RIGHT_ITEM,  ID_COMPARE_FILES,        ID_DELETE_BOTH_ITEMS, ID_LEFT_TO_RIGHT,   ID_RIGHT_TO_LEFT,
    ID_COPY_TIME_TO_RIGHT, ID_COPY_TIME_TO_LEFT,    ID_SET_NO_ACTION,     ID_RESTORE_ACTION};
constexpr UINT kAlwaysCommands[] = {ID_STOP_ALL, ID_CLEAR_ALL, ID_DELETE_ALL_ROWS};

bool ItemCommandApplies(CSyncDlg& window, UINT id) {
    const ItemRowData* item = FirstSelectedItem(window);
    switch (id) {
    case ID_OPEN_LEFT_ITEM:
    case ID_LEFT_ITEM_PROPERTIES:
    case ID_DELETE_LEFT_ITEM: return HasSideItem(window, 0);
    case ID_OPEN_RIGHT_ITEM:
    case ID_RIGHT_ITEM_PROPERTIES:
    case ID_DELETE_RIGHT_ITEM: return HasSideItem(window, 1);
    case ID_COMPARE_FILES: return HasSideItem(window, 2, true);
    case ID_DELETE_BOTH_ITEMS: return HasSideItem(window, 2);
    case ID_LEFT_TO_RIGHT:
    case ID_RIGHT_TO_LEFT: return item && CanChangeDirection(item->state);
    case ID_COPY_TIME_TO_RIGHT:
    case ID_COPY_TIME_TO_LEFT: return item && CanCopyTime(item->state);
    case ID_SET_NO_ACTION: return item && CanSetNoAction(item->state);
    default: return item && CanRestoreAction(item->state, item->savedState);
    }
}

}  // namespace

void CSyncListView::MapUpdateRules() {
    for (const UINT id : kTaskCommands) MapUpdate(id, &CSyncListView::OnUpdateTaskCommand);
    for (const UINT id : kViewCommands) MapUpdate(id, &CSyncListView::OnUpdateViewFilter);
    for (const UINT id : kItemCommands) MapUpdate(id, &CSyncListView::OnUpdateItemCommand);
    for (const UINT id : kAlwaysCommands) MapUpdate(id, &CSyncListView::OnUpdateAlways);
    MapUpdate(ID_SYNC, &CSyncListView::OnUpdateSync);
    MapUpdate(ID_STOP, &CSyncListView::OnUpdateStop);
    MapUpdate(ID_OPEN_LEFT_LOG, &CSyncListView::OnUpdateOpenLog);
    MapUpdate(ID_OPEN_RIGHT_LOG, &CSyncListView::OnUpdateOpenLog);
    MapUpdate(ID_FILE_PRINT, &CSyncListView::OnUpdatePrint);
    MapUpdate(ID_EXPORT_TASK_LIST, &CSyncListView::OnUpdateExport);
}

bool CSyncListView::BusyInWindow(const SyncTask* task) {
    return task && task->taskWindow && task->busyCode != TaskBusy::Idle;
}

void CSyncListView::OnUpdateTaskCommand(plat::CmdUI& ui) { ui.Enable(!BusyInWindow(GetSelectedTask())); }

void CSyncListView::OnUpdateSync(plat::CmdUI& ui) {
    const SyncTask* task = GetSelectedTask();
    ui.Enable(task && task->busyCode == TaskBusy::Idle && task->runFacts.Get().needsAttention != 0);
}

void CSyncListView::OnUpdateStop(plat::CmdUI& ui) { ui.Enable(BusyInWindow(GetSelectedTask())); }

void CSyncListView::OnUpdateOpenLog(plat::CmdUI& ui) {
    const SyncTask* task = GetSelectedTask();
    ui.Enable(task && !BusyInWindow(task));
}

void CSyncListView::OnUpdateViewFilter(plat::CmdUI& ui) {
    const SyncTask* task = GetSelectedTask();
    CSyncDlg* window = SelectedWindow();
    if (!task || !window) {
        ui.Enable(true);
        return;
    }
    ui.Enable(task->busyCode == TaskBusy::Idle && !window->IsItemListEmpty());
    const auto kind =
        std::find(std::begin(kViewCommands), std::end(kViewCommands), ui.Id()) - std::begin(kViewCommands);
    ui.SetCheck(window->ViewKind() == kind ? 1 : 0);
}

void CSyncListView::OnUpdateItemCommand(plat::CmdUI& ui) {
    const SyncTask* task = GetSelectedTask();
    CSyncDlg* window = SelectedWindow();
    ui.Enable(task && window && task->busyCode == TaskBusy::Idle && ItemCommandApplies(*window, ui.Id()));
}

void CSyncListView::OnUpdateAlways(plat::CmdUI& ui) { ui.Enable(true); }

void CSyncListView::OnUpdatePrint(plat::CmdUI& ui) { ui.Enable(RowCount() > 0); }

void CSyncListView::OnUpdateExport(plat::CmdUI& ui) { ui.Enable(HasTasks()); }

bool CSyncListView::SelectedItemAllows(UINT message, WPARAM w, LPARAM l) const {
    CSyncDlg* window = SelectedWindow();
    if (!window) return false;
    switch (message) {
    case WM_SYNC_ITEM_COMMAND: return HasSideItem(*window, static_cast<int>(w));
    case WM_SYNC_BOTH_ITEMS_COMMAND: return l == 2 ? HasSideItem(*window, 2) : HasSideItem(*window, 2, true);
    default: {
        const ItemRowData* item = FirstSelectedItem(*window);
        return item && CanChangeDirection(item->state);
    }
    }
}
