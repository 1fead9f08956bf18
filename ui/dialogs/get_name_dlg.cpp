#include "ui/dialogs/get_name_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/run/volume_queries.h"
#include "foundation/resource_strings.h"
#include "foundation/text_utils.h"
#include "foundation/volume_labels.h"
#include "platform/core/errors.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "platform/qt/qt_text.h"
#include "resources/control_ids.h"

namespace {

constexpr int kNameLimit = 500;

// No service of this system lets a user program set a volume's label (that takes the
// file system's own tool on an unmounted device), so naming a volume always fails here.
bool SetVolumeLabelW(const std::string& /*mountPoint*/, const std::wstring& /*label*/) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return false;
}

}  // namespace

GetNameDlg::GetNameDlg(QWidget* parent, std::wstring name, std::wstring folder, plat::VolumeSources sources)
    : QDialog(parent),
      plat::MessageWindow(this),
      name_(std::move(name)),
      folder_(std::move(folder)),
      sources_(std::move(sources)) {
    setWindowTitle(QStringLiteral("Get Volume Name"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("There is no name for this removable disc.  If you want to use the volume "
                                           "name to locate the disc, please enter a volume name for this disc."),
                            this);
    text->setWordWrap(true);
    text->setMinimumWidth(340);
    auto* prompt = new QLabel(QStringLiteral("Volume name:"), this);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QString::number(IDC_VOLUME_NAME));
    edit_->setMaxLength(kNameLimit);
    prompt->setBuddy(edit_);
    auto* row = new QHBoxLayout;
    row->addWidget(prompt);
    row->addWidget(edit_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &GetNameDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GetNameDlg::reject);
    layout->addWidget(text);
    layout->addSpacing(6);
    layout->addLayout(row);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int GetNameDlg::DoModal() {
    edit_->setText(QString::fromStdWString(name_));
    edit_->selectAll();
    edit_->setFocus();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void GetNameDlg::accept() {
    const std::wstring name = edit_->text().left(kNameLimit).toStdWString();
    if (name.empty()) return Refuse(LoadResString(IDS_ENTER_VOLUME_NAME));
    plat::MountEntry mount;
    if (!IsRemovableDrive(folder_, sources_) || !plat::GetMountOfPath(plat::WideToUtf8(folder_), mount, sources_)) {
        return Refuse(LoadResString(IDS_ONLY_REMOVABLE));
    }
    const std::string root = mount.mountPoint;
    const std::string wanted = plat::WideToUtf8(name);
    if (!SetVolumeLabelW(root, name)) {
        MessageBox(GetSafeHwnd(),
                   FormatString(LoadResString(IDS_VOLUME_NOT_NAMED).c_str(), root.c_str(), wanted.c_str()),
                   LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONERROR);
        // The path stays as chosen: a task must never name a label that no volume carries.
        QDialog::reject();
        return;
    }
    // What the volume carries now, which the system may have shortened or changed.
    name_ = GetVolumeLabelOfDrive(folder_, sources_);
    MessageBox(GetSafeHwnd(), FormatString(LoadResString(IDS_VOLUME_NAMED).c_str(), root.c_str(), wanted.c_str()),
               LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONINFORMATION);
    if (name_.empty()) {
        QDialog::reject();
        return;
    }
    QDialog::accept();
}

void GetNameDlg::Refuse(const std::string& text) {
    MessageBox(GetSafeHwnd(), text, LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
    edit_->setFocus();
}
