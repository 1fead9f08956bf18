#include "ui/dialogs/about_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "controls/static_color.h"
#include "controls/static_link.h"
#include "foundation/resource_strings.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/resource_images.h"
#include "resources/control_ids.h"
#include "resources/image_ids.h"
#include "ui/app/web_pages.h"

namespace {

constexpr COLORREF kNameColour = 0x8B4513;  // a dark blue (COLORREF is blue-green-red)

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), plat::MessageWindow(this) {
    setWindowTitle(QStringLiteral("About SyncVEXO"));
    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(16);

    auto* icon = new QLabel(this);
    icon->setPixmap(plat::LoadIconResource(res::kProgramIcon).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    name_ = new CStaticColor(this);
    name_->setText(plat::ToQString(LoadResString(IDS_PRODUCT_NAME)));
    QFont big = name_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    name_->setFont(big);
    name_->SetTextColor(kNameColour);

    version_ = new QLabel(this);
    version_->setObjectName(QString::number(IDC_VERSION_TEXT));

    link_ = new CStaticLink(this);
    link_->setObjectName(QString::number(IDC_SUPPORT_LINK));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAboutDlg::accept);

    layout->addWidget(icon, 0, 0, 3, 1);
    layout->addWidget(name_, 0, 1);
    layout->addWidget(version_, 1, 1);
    layout->addWidget(link_, 2, 1);
    layout->addWidget(buttons, 3, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int CAboutDlg::DoModal() {
    OnInitDialog();
    exec();
    return IDOK;
}

void CAboutDlg::OnInitDialog() {
    const std::string version =
        plat::Format(LoadResString(IDS_VERSION_FORMAT).c_str(), LoadResString(IDS_VERSION_TEXT).c_str(),
                     LoadResString(IDS_BUILD_TEXT).c_str());
    version_->setText(plat::ToQString(version));
    const std::string mail = kSupportMailUrl;
    link_->SetUrl(mail);
    link_->setText(plat::ToQString(mail.substr(mail.find(':') + 1)));
}
