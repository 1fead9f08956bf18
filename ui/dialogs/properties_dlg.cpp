#include "ui/dialogs/properties_dlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include <cstdint>

#include "foundation/size_text.h"

namespace {

QString KindText(const QFileInfo& info) {
    if (!info.exists() && !info.isSymLink()) return QStringLiteral("Not found");
    if (info.isSymLink()) return QStringLiteral("Link to ") + info.symLinkTarget();
    if (info.isDir()) return QStringLiteral("Folder");
    return QStringLiteral("File");
}

QString PermissionText(QFile::Permissions p) {
    const std::pair<QFile::Permission, char> bits[] = {
        {QFile::ReadOwner, 'r'}, {QFile::WriteOwner, 'w'}, {QFile::ExeOwner, 'x'},
        {QFile::ReadGroup, 'r'}, {QFile::WriteGroup, 'w'}, {QFile::ExeGroup, 'x'},
        {QFile::ReadOther, 'r'}, {QFile::WriteOther, 'w'}, {QFile::ExeOther, 'x'},
    };
    QString text;
    for (const auto& [bit, letter] : bits) text += (p & bit) ? QChar::fromLatin1(letter) : QChar::fromLatin1('-');
    return text;
}

QLabel* Value(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

ItemPropertiesDlg::ItemPropertiesDlg(QWidget* parent, const std::wstring& path) : QDialog(parent) {
    const QString name = QString::fromStdWString(path);
    QFileInfo info(name);
    setWindowTitle(info.fileName().isEmpty() ? name : info.fileName() + QStringLiteral(" Properties"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    auto* where = Value(this, name);
    where->setWordWrap(true);
    where->setMinimumWidth(320);
    form->addRow(QStringLiteral("Location:"), where);
    form->addRow(QStringLiteral("Type:"), Value(this, KindText(info)));
    if (info.exists()) {
        if (!info.isDir()) {
            const auto bytes = static_cast<std::uint64_t>(info.size());
            form->addRow(QStringLiteral("Size:"),
                         Value(this, QString::fromStdString(FormatSizeText(bytes)) +
                                         QStringLiteral(" (%1 bytes)").arg(QLocale().toString(info.size()))));
        }
        form->addRow(QStringLiteral("Modified:"),
                     Value(this, QLocale().toString(info.lastModified().toLocalTime(), QLocale::LongFormat)));
        form->addRow(QStringLiteral("Permissions:"), Value(this, PermissionText(info.permissions())));
        form->addRow(QStringLiteral("Owner:"), Value(this, info.owner() + QStringLiteral(" / ") + info.group()));
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setAttribute(Qt::WA_DeleteOnClose);
}

ItemPropertiesDlg* ShowShellProperties(QWidget* parent, const std::wstring& path) {
    if (path.empty()) return nullptr;
    auto* dialog = new ItemPropertiesDlg(parent, path);
    dialog->show();
    return dialog;
}
