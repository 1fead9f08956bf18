#include "ui/dialogs/prompt_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "platform/core/message_box.h"
#include "resources/control_ids.h"
#include "ui/frame/main_frame.h"

CPromptDlg::CPromptDlg(QWidget* parent) : QDialog(parent), plat::MessageWindow(this) {
    setWindowTitle(QStringLiteral("Quarrybend Sync"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Do you want to run Quarrybend Sync at Windows Startup?"), this));
    layout->addSpacing(6);
    doNotAsk_ = new QCheckBox(QStringLiteral("Do not ask this question again"), this);
    doNotAsk_->setObjectName(QString::number(IDC_DO_NOT_ASK));
    layout->addWidget(doNotAsk_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* yes = buttons->addButton(QDialogButtonBox::Yes);
    QPushButton* no = buttons->addButton(QDialogButtonBox::No);
    yes->setObjectName(QString::number(IDOK));
    no->setObjectName(QString::number(IDC_PROMPT_NO));
    yes->setDefault(true);
    connect(yes, &QPushButton::clicked, this, [this] { Answer(true); });
    connect(no, &QPushButton::clicked, this, [this] { Answer(false); });
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int CPromptDlg::DoModal() {
    exec();
    return IDOK;
}

void CPromptDlg::Answer(bool yes) {
    if (doNotAsk_->isChecked()) WriteUserProfileInt(settings::kNoPrompt.section, settings::kNoPrompt.key, 1);
    if (yes) CMainFrame::SetRunAtLogon();
    accept();
}
