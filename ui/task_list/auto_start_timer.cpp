// The task list's automatic-start timer: at each tick every row's task goes through the
// rules of auto_start_rules.h; the starts they ask for are posted to the task windows, and
// the timer goes on only while some rule still waits.
#include <vector>

#include "foundation/resource_strings.h"
#include "foundation/sync_task.h"
#include "platform/core/clock.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "resources/command_ids.h"
#include "resources/sync_messages.h"
#include "ui/frame/main_frame.h"
#include "ui/task_list/auto_start_rules.h"
#include "ui/task_list/sync_list_view.h"

namespace {

constexpr COLORREF kRed = 255;

}  // namespace

void CSyncListView::MapAutoStartMessages() {
    MapMessage(WM_TIMER, &CSyncListView::OnTimer);
    MapMessage(WM_SYNC_RUN_CONTAINER, &CSyncListView::OnRunContainer);
    MapCommand(ID_ADD_TO_CONTAINER, &CSyncListView::OnAddToContainer);
    MapUpdate(ID_ADD_TO_CONTAINER, &CSyncListView::OnUpdateAddToContainer);
}

LRESULT CSyncListView::OnTimer(WPARAM id, LPARAM l) {
    if (id != kTaskListTimer) return ReportList::DefWindowProc(WM_TIMER, id, l);
    const HWND self = GetSafeHwnd();
    KillTimer(self, kTaskListTimer);
    if (RowCount() == 0) return 0;

    std::vector<SyncTask*> tasks;
    tasks.reserve(static_cast<std::size_t>(RowCount()));
    for (int row = 0; row < RowCount(); ++row) tasks.push_back(TaskAt(row));
    DeviceFolders devices(deviceSources_);
    const AutoStartTick tick = RunAutoStartRules(tasks, plat::NowUnixSeconds(), ProgramStartDueTime(),
                                                 [&devices](SyncTask& task) { return devices.BothThere(task); });

    for (const AutoStartAction& action : tick.actions) {
        const SyncTask& task = *action.task;
        if (action.kind == AutoStartAction::Kind::Start) {
            PostMessage(task.taskWindow, WM_SYNC_START, action.mode, action.source);
        } else if (task.logControl) {
            const std::string line = plat::Format(LoadResString(action.textId).c_str(), task.name.c_str()) + "\r\n";
            SendMessage(task.logControl, WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(line.c_str()), kRed);
        }
    }
    if (tick.pending) SetTimer(self, kTaskListTimer, kTimerPeriodMs);
    return 0;
}
