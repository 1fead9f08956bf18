// The task list's part of the Sync Container: the dialog's list of tasks, Add to Sync
// Container and Run Sync Container.
#include "ui/task_list/sync_container.h"

#include <QListWidget>

#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sync_task.h"
#include "foundation/task_store.h"
#include "platform/qt/qt_text.h"
#include "ui/frame/main_frame.h"
#include "ui/task_list/batch_backup_dlg.h"
#include "ui/task_list/sync_list_view.h"

DWORD ContainerModeOfType(int operationType) { return operationType == 1 ? kContainerCheckAndSync : kContainerCheck; }

int ReadContainerOperationType() {
    return ReadProfileInt(settings::kBatchType.section, settings::kBatchType.key, settings::kBatchType.defaultValue) ==
                   1
               ? 1
               : 0;
}

bool SetContainerMembership(SyncTask& task, DWORD mode) {
    task.containerMode = mode;
    task.containerPending = mode != kNotInContainer ? 1 : 0;
    return SetTaskRecordType(task.name, mode) != 0;
}

void CSyncListView::FillBatchTaskList(QListWidget& box) const {
    for (int row = 0; row < RowCount(); ++row) {
        const SyncTask& task = *TaskAt(row);
        auto* item = new QListWidgetItem(plat::ToQString(task.name), &box);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setData(Qt::UserRole, row);
        item->setCheckState(task.containerMode != kNotInContainer ? Qt::Checked : Qt::Unchecked);
    }
}

bool CSyncListView::RunSyncContainerDialog(QWidget* owner) {
    CBatchBackupDlg dialog(owner, *this);
    return dialog.DoModal() == IDOK;
}

void CSyncListView::OnAddToContainer() {
    SyncTask* task = GetSelectedTask();
    if (!task) return;
    // Its start waits for the next tick of a running timer, or for the next arming.
    SetContainerMembership(*task, ContainerModeOfType(ReadContainerOperationType()));
}

void CSyncListView::OnUpdateAddToContainer(plat::CmdUI& ui) {
    const SyncTask* task = GetSelectedTask();
    ui.Enable(task && task->containerMode != kContainerCheckAndSync);
}

LRESULT CSyncListView::OnRunContainer(WPARAM, LPARAM) {
    bool any = false;
    for (int row = 0; row < RowCount(); ++row) {
        SyncTask& task = *TaskAt(row);
        if (task.containerMode == kNotInContainer) continue;
        SetContainerMembership(task, task.containerMode);
        any = true;
    }
    if (any) CMainFrame::ArmTaskTimer();
    return 1;
}
