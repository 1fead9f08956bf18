// The update rules the main frame asks of the task list for its selected task, and the
// tests the item commands pass before they reach the task window.
#include <algorithm>
#include <iterator>

#include "engine/model/item_display.h"
#include "foundation/sync_task.h"
#include "resources/sync_messages.h"
#include "ui/task_list/selected_item.h"
#include "ui/task_list/sync_list_view.h"
#include "ui/task_window/item_row.h"
#include "ui/task_window/sync_dlg.h"

namespace {

// Disabled only while the selected task's window runs something.
constexpr UINT kTaskCommands[] = {8487, 5021, 32798, 5043, 5023, 5126, 8805, 5029,
                                  5160, 5061, 5063, 5065, 5058, 5059, 5067};
// The views, in the order of their filter kinds 0 to 13.
constexpr UINT kViewCommands[] = {5039, 5038, 5040, 5041, 5087, 5080, 5082,
                                  5084, 5083, 5086, 5085, 5081, 5098, 5100};
constexpr UINT kItemCommands[] = {5026, 5077, 5070, 5028, 5078, 5071, 32833, 5072,
                                  5095, 5094, 5090, 5091, 5076, 4};
constexpr UINT kAlwaysCommands[] = {5104, 43976, kDeleteAllRowsCommand};
constexpr UINT ID_SYNC = 32813;
constexpr UINT ID_STOP = 41076;
constexpr UINT ID_OPEN_LEFT_LOG = 5034;
constexpr UINT ID_OPEN_RIGHT_LOG = 5035;
constexpr UINT ID_EXPORT = 5110;

bool ItemCommandApplies(CSyncDlg& window, UINT id) {
    const ItemRowData* item = FirstSelectedItem(window);
    switch (id) {
        case 5026:
        case 5077:
        case 5070: return HasSideItem(window, 0);
        case 5028:
        case 5078:
        case 5071: return HasSideItem(window, 1);
        case 32833: return HasSideItem(window, 2, true);
        case 5072: return HasSideItem(window, 2);
        case 5095:
        case 5094: return item && CanChangeDirection(item->state);
        case 5090:
        case 5091: return item && CanCopyTime(item->state);
        case 5076: return item && CanSetNoAction(item->state);
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
    MapUpdate(kFilePrintCommand, &CSyncListView::OnUpdatePrint);
    MapUpdate(ID_EXPORT, &CSyncListView::OnUpdateExport);
}

bool CSyncListView::BusyInWindow(const SyncTask* task) { return task && task->taskWindow && task->busyCode != 0; }

void CSyncListView::OnUpdateTaskCommand(plat::CmdUI& ui) { ui.Enable(!BusyInWindow(GetSelectedTask())); }

void CSyncListView::OnUpdateSync(plat::CmdUI& ui) {
    const SyncTask* task = GetSelectedTask();
    ui.Enable(task && task->busyCode == 0 && task->needsAttention != 0);
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
    ui.Enable(task->busyCode == 0 && !window->IsItemListEmpty());
    const auto kind = std::find(std::begin(kViewCommands), std::end(kViewCommands), ui.Id()) - std::begin(kViewCommands);
    ui.SetCheck(window->ViewKind() == kind ? 1 : 0);
}

void CSyncListView::OnUpdateItemCommand(plat::CmdUI& ui) {
    const SyncTask* task = GetSelectedTask();
    CSyncDlg* window = SelectedWindow();
    ui.Enable(task && window && task->busyCode == 0 && ItemCommandApplies(*window, ui.Id()));
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
