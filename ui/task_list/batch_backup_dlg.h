#pragma once
// The Sync Container dialog: the user picks the tasks that run together and whether they
// Check or Check and Sync. "Run" makes every checked task a member for that operation with
// its start waiting, takes every unchecked one out (its waiting start too), and keeps the
// membership in each task's stored record; the caller then arms the automatic-start timer,
// whose next tick starts the members. The operation is kept in "Batch"/"Type".
//
//   CBatchBackupDlg dialog(frame, taskList);
//   if (dialog.DoModal() == IDOK) CMainFrame::ArmTaskTimer();

#include <QDialog>

#include "platform/core/message_box.h"
#include "platform/core/win_types.h"
#include "platform/qt/message_window.h"

class CSyncListView;
class QListWidget;
class QRadioButton;

class CBatchBackupDlg : public QDialog, public plat::MessageWindow {
    Q_OBJECT
public:
    CBatchBackupDlg(QWidget* parent, CSyncListView& taskList);

    // IDOK after "Run", else IDCANCEL.
    int DoModal();

    void accept() override;

private:
    void OnInitDialog();

    CSyncListView& taskList_;
    int operationType_ = 0;  // 0 Check, 1 Check and Sync
    QRadioButton* check_ = nullptr;
    QRadioButton* checkAndSync_ = nullptr;
    QListWidget* tasks_ = nullptr;
};
