#include "ui/pages/log_options_page.h"

#include "resources/control_ids.h"
#include "resources/dialog_ids.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kDetailIndent = 20;

}  // namespace

LogOptionsPage::LogOptionsPage(CConfigLogPage& record) : COptionPage(IDD_LOG_PAGE, "Log"), record_(record) {
    auto* layout = new QVBoxLayout(this);
    QCheckBox* createLog = MakeCheckBox(IDC_CREATE_LOG, "Create log");
    layout->addWidget(createLog);

    // The level and the clear box belong to "Create log": they sit indented under it.
    auto* details = new QVBoxLayout;
    details->setContentsMargins(kDetailIndent, 0, 0, 0);
    auto* levels = new QButtonGroup(this);
    for (const auto& [id, text] :
         {std::pair{IDC_DETAILED_LOG, "Detailed log"}, std::pair{IDC_SUMMARY_LOG, "S&ummary log"}}) {
        QRadioButton* button = MakeRadioButton(id, text);
        levels->addButton(button);
        details->addWidget(button);
    }
    details->addWidget(MakeCheckBox(IDC_CLEAR_LOG, "&Clear log before each sync operation"));
    layout->addLayout(details);
    layout->addStretch();

    for (int id : {IDC_CREATE_LOG, IDC_DETAILED_LOG, IDC_SUMMARY_LOG, IDC_CLEAR_LOG}) {
        if (CConfigLogPage::MarksModified(id)) MarkModifiedOnClick(static_cast<QAbstractButton*>(GetDlgItem(id)));
    }
    connect(createLog, &QCheckBox::clicked, this, &LogOptionsPage::EnableLogDetails);
}

BOOL LogOptionsPage::OnInitDialog() {
    ShowValues(record_.OnOpen());
    return TRUE;
}

void LogOptionsPage::ShowValues(const LogOptionValues& values) {
    static_cast<QCheckBox*>(GetDlgItem(IDC_CREATE_LOG))->setChecked(values.log != 0);
    static_cast<QRadioButton*>(GetDlgItem(IDC_DETAILED_LOG))->setChecked(values.logLevel == kLogDetailed);
    static_cast<QRadioButton*>(GetDlgItem(IDC_SUMMARY_LOG))->setChecked(values.logLevel != kLogDetailed);
    static_cast<QCheckBox*>(GetDlgItem(IDC_CLEAR_LOG))->setChecked(values.clearLog != 0);
    // With logging off the details are greyed from the start, not only after a click.
    EnableLogDetails();
}

void LogOptionsPage::EnableLogDetails() {
    const bool enabled = CConfigLogPage::LogDetailsEnabled(ReadControls());
    for (int id : {IDC_DETAILED_LOG, IDC_SUMMARY_LOG, IDC_CLEAR_LOG}) {
        GetDlgItem(id)->setEnabled(enabled);
    }
}

LogOptionValues LogOptionsPage::ReadControls() const {
    LogOptionValues values;
    values.log = static_cast<const QCheckBox*>(GetDlgItem(IDC_CREATE_LOG))->isChecked() ? 1 : 0;
    values.logLevel =
        static_cast<const QRadioButton*>(GetDlgItem(IDC_DETAILED_LOG))->isChecked() ? kLogDetailed : kLogSummary;
    values.clearLog = static_cast<const QCheckBox*>(GetDlgItem(IDC_CLEAR_LOG))->isChecked() ? 1 : 0;
    return values;
}

BOOL LogOptionsPage::OnApply() {
    if (!record_.ApplyOk(ReadControls())) ReportSettingsNotWritten();
    return TRUE;
}

void LogOptionsPage::OnCancel() { ShowValues(record_.OnCancel()); }
