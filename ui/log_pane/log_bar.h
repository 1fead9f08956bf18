#pragma once
// The "Log Window" pane of the main window. Every task has a log control of its own, made
// here (CreateLogControl) and kept by the task list; the pane shows the one of the task
// that is current, and a log control of its own while no task's control is shown.
//
// Messages: WM_SYNC_TASK_CHANGED (l: the task) shows the task's control, when it has one;
// WM_SYNC_TASK_REMOVED (l: the task) goes back to the pane's own control when that task's
// control was shown. A shown control that is destroyed by anyone brings the pane's own back.

#include <QFont>
#include <QPointer>

#include "controls/log_control.h"
#include "platform/core/win_types.h"
#include "platform/qt/dockable_pane.h"

class CRichEditCtrlGS;
struct SyncTask;

class CLogBar : public plat::DockablePane {
public:
    CLogBar();
    ~CLogBar() override;

    // A new read-only log control in the pane, hidden until the pane shows it. The caller
    // owns it; it goes with the pane when the caller has not deleted it first.
    CRichEditCtrlGS* CreateLogControl();

    CRichEditCtrlGS* ShownControl() const { return shown_; }
    CRichEditCtrlGS* DefaultControl() const { return default_; }
    // The task whose control is shown, null while the pane's own shows.
    const SyncTask* ShownTask() const { return key_; }

private:
    LRESULT OnCreate(WPARAM, LPARAM);
    void OnSize(WPARAM, LPARAM);
    void OnDestroy(WPARAM, LPARAM);
    LRESULT OnTaskChanged(WPARAM, LPARAM task);
    LRESULT OnTaskRemoved(WPARAM, LPARAM task);

    void Show(CRichEditCtrlGS* control);
    void ShowDefault();

    QFont font_;
    CRichEditCtrlGS* default_ = nullptr;  // a child of the pane
    const SyncTask* key_ = nullptr;
    QPointer<CRichEditCtrlGS> shown_;
};
