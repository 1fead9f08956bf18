#pragma once
// What the main frame asks of the task list beyond its messages and commands. The task
// list view implements it and hands itself to the frame when it is created
// (CMainFrame::SetTaskListView).

class QWidget;
struct SyncTask;

class TaskListLink {
public:
    // The selected row's task, or null.
    virtual SyncTask* GetSelectedTask() const = 0;
    // True while the list has at least one row.
    virtual bool HasTasks() const = 0;
    // The Sync Container dialog over the list's tasks; true when the user chose Run.
    virtual bool RunSyncContainerDialog(QWidget* owner) = 0;

protected:
    ~TaskListLink() = default;
};
