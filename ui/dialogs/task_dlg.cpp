#include "ui/dialogs/task_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/help_file.h"
#include "foundation/resource_strings.h"
#include "foundation/task_name_rule.h"
#include "foundation/task_store.h"
#include "platform/core/message_box.h"
#include "platform/qt/qt_text.h"
#include "resources/command_ids.h"
#include "resources/control_ids.h"

namespace {

constexpr UINT kHelpContext = 10000;

}  // namespace

CTaskDlg::CTaskDlg(QWidget* parent) : QDialog(parent), plat::MessageWindow(this) {
    setWindowTitle(QStringLiteral("New Task"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(QStringLiteral("Please enter task name:"), this);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QString::number(IDC_TASK_NAME));
    edit_->setMinimumWidth(280);
    prompt->setBuddy(edit_);
    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Help)->setObjectName(QString::number(ID_HELP_CONTENTS));
    connect(buttons, &QDialogButtonBox::accepted, this, &CTaskDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTaskDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &CTaskDlg::OnHelp);
    layout->addWidget(prompt);
    layout->addWidget(edit_);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int CTaskDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CTaskDlg::OnInitDialog() {
    if (!title_.empty()) setWindowTitle(plat::ToQString(title_));
    edit_->setText(plat::ToQString(name_));
    edit_->selectAll();
    edit_->setFocus();
}

void CTaskDlg::accept() {
    const std::string name = edit_->text().toStdString();
    if (name.empty()) return Refuse(LoadResString(IDS_ENTER_TASK_NAME));
    if (TaskNameExists(name)) return Refuse(LoadResString(IDS_TASK_EXISTS));
    // The store refuses names that break the rule, so the dialog refuses them first.
    if (const TaskNameFault fault = CheckTaskName(name); fault != TaskNameFault::None) {
        return Refuse(TaskNameFaultText(fault));
    }
    name_ = name;
    QDialog::accept();
}

void CTaskDlg::Refuse(const std::string& text) {
    MessageBox(GetSafeHwnd(), text, LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
    edit_->setFocus();
}

void CTaskDlg::OnHelp() { OpenHelpTopic(GetSafeHwnd(), kHelpContext); }
