#pragma once
// The lower pane of the main window: one tab per task, each tab's page that task's window.
// It keeps the tabs in step with the task list: the current task's tab is shown, a removed
// task's tab goes, a renamed task's tab is relabelled, and a tab the user picks makes the
// task list select that task.

#include <QWidget>
#include <string>

#include "platform/qt/view.h"

class CMainFrame;
class CSyncDlg;
class QTabWidget;
struct SyncTask;

class CSyncFormView : public QWidget, public plat::View {
public:
    // `mainFrame` is the main window (tab choices go to every window below it), `taskList`
    // the window the task windows report to.
    CSyncFormView(QWidget* parent, HWND mainFrame, HWND taskList);
    ~CSyncFormView() override;
    CSyncFormView(const CSyncFormView&) = delete;
    CSyncFormView& operator=(const CSyncFormView&) = delete;

    // Makes the frame's task-window pane: the view, given its initial update, in which it
    // hands itself to the frame as the frame's client area. `taskList` is the task list.
    static CSyncFormView* CreatePane(CMainFrame& frame, HWND taskList);
    // The frame's task-window pane, or null while there is none.
    static CSyncFormView* PaneOf(const CMainFrame& frame);

    // Makes the task's window as the page of a new last tab labelled `name`, binds it to the
    // task (row `row`) and stores it as the task's window. The new tab is not made current.
    CSyncDlg* AddTaskTab(const std::string& name, int row, SyncTask* task);

    QTabWidget* TabControl() const { return tabs_; }
    // The index of the active tab as last seen; -1 before any and after it was removed.
    int RememberedTab() const { return activeTab_; }
    // The tab whose window shows `task`, or -1.
    int FindTab(const SyncTask* task) const;
    CSyncDlg* TaskWindowAt(int index) const;

protected:
    void OnInitialUpdate() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    LRESULT OnTaskChanged(WPARAM task, LPARAM);
    LRESULT OnTaskRemoved(WPARAM task, LPARAM);
    LRESULT OnRenameTask(WPARAM task, LPARAM name);
    // The active tab's window stores its column widths; 0 when there is none.
    LRESULT OnSaveColumns(WPARAM, LPARAM);
    void OnSize(WPARAM, LPARAM size);
    void OnDestroy(WPARAM, LPARAM);
    void OnTabChange(int index);

    HWND mainFrame_;
    HWND taskList_;
    QTabWidget* tabs_ = nullptr;
    int activeTab_ = -1;
};
