#include "ui/pages/option_page.h"

#include <QCheckBox>
#include <QRadioButton>

#include "foundation/help_file.h"
#include "foundation/program_state.h"
#include "foundation/resource_strings.h"
#include "platform/core/message_box.h"

QString ToQString(const std::wstring& text) { return QString::fromStdWString(text); }

void COptionPage::OnHelp() { OpenHelpTopic(GetSafeHwnd(), HelpTopic()); }

std::string COptionPage::ContextHelpText(int controlId) {
    const UINT id = HelpTextId(controlId);
    return id != 0 ? LoadResString(id) : std::string();
}

void COptionPage::ShowMessage(const std::string& text) {
    MessageBox(GetSafeHwnd(), text, LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
}

void COptionPage::ReportSettingsNotWritten() {
    ShowMessage("The options could not be written to the settings file \"" + ProgramState().settingsFile + "\".");
}

QCheckBox* COptionPage::MakeCheckBox(int id, const char* text) {
    auto* box = new QCheckBox(QString::fromUtf8(text), this);
    box->setObjectName(QString::number(id));
    return box;
}

QRadioButton* COptionPage::MakeRadioButton(int id, const char* text) {
    auto* button = new QRadioButton(QString::fromUtf8(text), this);
    button->setObjectName(QString::number(id));
    return button;
}

void COptionPage::MarkModifiedOnClick(QAbstractButton* button) {
    connect(button, &QAbstractButton::clicked, this, [this] { SetModified(TRUE); });
}
