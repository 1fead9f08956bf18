#include "ui/task_list/batch_backup_dlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "controls/window_theme.h"
#include "foundation/program_state.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sync_task.h"
#include "resources/control_ids.h"
#include "resources/dialog_ids.h"
#include "ui/task_list/sync_container.h"
#include "ui/task_list/sync_list_view.h"

namespace {

QRadioButton* MakeRadio(QWidget* parent, int id, const char* text) {
    auto* button = new QRadioButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::number(id));
    return button;
}

}  // namespace

CBatchBackupDlg::CBatchBackupDlg(QWidget* parent, CSyncListView& taskList)
    : QDialog(parent), plat::MessageWindow(this), taskList_(taskList), operationType_(ReadContainerOperationType()) {
    setWindowTitle(QStringLiteral("Sync Container"));
    setObjectName(QString::number(IDD_SYNC_CONTAINER));

    auto* intro = new QLabel(
        QStringLiteral("Multiple Tasks can be made to run together. Please select the type of operations:"), this);
    intro->setWordWrap(true);
    check_ = MakeRadio(this, IDC_CONTAINER_CHECK, "Check");
    checkAndSync_ = MakeRadio(this, IDC_CONTAINER_CHECK_AND_SYNC, "Check and Sync");
    auto* group = new QButtonGroup(this);
    group->addButton(check_, 0);
    group->addButton(checkAndSync_, 1);
    auto* radios = new QHBoxLayout;
    radios->addWidget(check_);
    radios->addWidget(checkAndSync_);
    radios->addStretch();

    auto* boxLabel = new QLabel(QStringLiteral("Check off the tasks for batch operation"), this);
    tasks_ = new QListWidget(this);
    tasks_->setObjectName(QString::number(IDC_CONTAINER_TASKS));
    tasks_->setMinimumSize(320, 160);
    boxLabel->setBuddy(tasks_);
    ApplyWindowTheme(tasks_, L"Explorer", nullptr, ProgramState().windowsVersionClass);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Run"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CBatchBackupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CBatchBackupDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(radios);
    layout->addSpacing(4);
    layout->addWidget(boxLabel);
    layout->addWidget(tasks_, 1);
    layout->addWidget(buttons);
    setTabOrder(check_, checkAndSync_);
    setTabOrder(checkAndSync_, tasks_);
    setTabOrder(tasks_, buttons);
}

int CBatchBackupDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CBatchBackupDlg::OnInitDialog() {
    (operationType_ == 1 ? checkAndSync_ : check_)->setChecked(true);
    tasks_->clear();
    taskList_.FillBatchTaskList(*tasks_);
    if (tasks_->count() > 0) tasks_->setCurrentRow(0);
    tasks_->setFocus();
}

void CBatchBackupDlg::accept() {
    operationType_ = checkAndSync_->isChecked() ? 1 : 0;
    WriteProfileInt(settings::kBatchType.section, settings::kBatchType.key, operationType_);
    const DWORD mode = ContainerModeOfType(operationType_);
    for (int entry = 0; entry < tasks_->count(); ++entry) {
        const QListWidgetItem* item = tasks_->item(entry);
        SyncTask* task = taskList_.TaskAt(item->data(Qt::UserRole).toInt());
        if (!task) continue;
        SetContainerMembership(*task, item->checkState() == Qt::Checked ? mode : kNotInContainer);
    }
    QDialog::accept();
}
