#pragma once
// The task-name dialog of New Task, Rename and Copy Task: one edit for the name, which OK
// accepts only when it can name a new task (not empty, not taken, within the name rule).
// Every refusal tells why and keeps the dialog open with the text as typed.
//
//   CTaskDlg dialog(frame);
//   dialog.SetTitle(LoadResString(IDS_RENAME_TASK_TITLE));  // "Rename Task"; the template's "New Task" otherwise
//   if (dialog.DoModal() == IDOK) Rename(dialog.Name());

#include <QDialog>
#include <string>

#include "platform/core/win_types.h"
#include "platform/qt/message_window.h"

class QLineEdit;

class CTaskDlg : public QDialog, public plat::MessageWindow {
    Q_OBJECT
public:
    explicit CTaskDlg(QWidget* parent = nullptr);

    // Set before DoModal; empty keeps the template's title.
    void SetTitle(std::string title) { title_ = std::move(title); }
    void SetName(std::string name) { name_ = std::move(name); }
    const std::string& Name() const { return name_; }

    // IDOK or IDCANCEL.
    int DoModal();

    void accept() override;

private:
    void OnInitDialog();
    void OnHelp();
    void Refuse(const std::string& text);

    std::string title_;
    std::string name_;
    QLineEdit* edit_ = nullptr;
};
