#include "ui/pages/sync_options_page.h"

#include "resources/control_ids.h"
#include "resources/dialog_ids.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

struct CheckBoxField {
    int id;
    const char* text;
    DWORD SyncOptionValues::*field;
};

constexpr CheckBoxField kCheckBoxes[] = {
    {IDC_ALLOW_DELETIONS, "Allow deletions", &SyncOptionValues::allowDelete},
    {IDC_SAVE_DELETED, "Save deleted or updated files", &SyncOptionValues::saveDelete},
    {IDC_SHADOW_COPY, "Use Shadow Copy for locked files", &SyncOptionValues::lock},
    {IDC_SOURCE_READ_ONLY, "Do not write program data to the Source folder", &SyncOptionValues::readOnly},
    {IDC_TARGET_READ_ONLY, "Do not write program data to the Target folder", &SyncOptionValues::readOnlyTarget},
    {IDC_CASE_SENSITIVE, "Case sensitive", &SyncOptionValues::caseSensitive},
};

QComboBox* MakeList(QWidget* parent, int id, const auto& texts) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::number(id));
    for (const char* text : texts) list->addItem(QString::fromUtf8(text));
    return list;
}

// A list with no valid selection keeps the value it had.
DWORD SelectedIndex(const QComboBox* list, DWORD keep) {
    return list->currentIndex() >= 0 ? static_cast<DWORD>(list->currentIndex()) : keep;
}

}  // namespace

SyncOptionsPage::SyncOptionsPage(CConfigSyncPage& record)
    : COptionPage(IDD_SYNC_OPTIONS_PAGE, "Sync Options"), record_(record) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Choose one of sync types:"), this));
    typeList_ = MakeList(this, IDC_SYNC_TYPE_LIST, kSyncTypeTexts);
    layout->addWidget(typeList_);
    layout->addSpacing(6);
    for (const CheckBoxField& box : kCheckBoxes) {
        QCheckBox* check = MakeCheckBox(box.id, box.text);
        layout->addWidget(check);
        if (CConfigSyncPage::MarksModified(box.id)) MarkModifiedOnClick(check);
    }
    layout->addSpacing(6);
    layout->addWidget(new QLabel(QStringLiteral("File copy:"), this));
    speedList_ = MakeList(this, IDC_SPEED_LIST, kCopySpeedTexts);
    layout->addWidget(speedList_);
    layout->addStretch();

    for (QComboBox* list : {typeList_, speedList_}) {
        const int id = ControlId(list);
        connect(list, &QComboBox::activated, this, [this, id] {
            if (CConfigSyncPage::MarksModified(id)) SetModified(TRUE);
        });
    }
}

BOOL SyncOptionsPage::OnInitDialog() {
    opened_ = record_.OnOpen();
    ShowValues(opened_);
    return TRUE;
}

void SyncOptionsPage::ShowValues(const SyncOptionValues& values) {
    typeList_->setCurrentIndex(values.type < std::size(kSyncTypeTexts) ? static_cast<int>(values.type) : -1);
    speedList_->setCurrentIndex(values.speed < std::size(kCopySpeedTexts) ? static_cast<int>(values.speed) : -1);
    for (const CheckBoxField& box : kCheckBoxes) {
        static_cast<QCheckBox*>(GetDlgItem(box.id))->setChecked(values.*box.field != 0);
    }
}

SyncOptionValues SyncOptionsPage::ReadControls() const {
    SyncOptionValues values = opened_;
    values.type = SelectedIndex(typeList_, opened_.type);
    values.speed = SelectedIndex(speedList_, opened_.speed);
    for (const CheckBoxField& box : kCheckBoxes) {
        values.*box.field = static_cast<const QCheckBox*>(GetDlgItem(box.id))->isChecked() ? 1 : 0;
    }
    return values;
}

BOOL SyncOptionsPage::OnApply() {
    if (!record_.ApplyOk(ReadControls())) ReportSettingsNotWritten();
    return TRUE;
}

void SyncOptionsPage::OnCancel() { ShowValues(record_.OnCancel()); }

UINT SyncOptionsPage::HelpTextId(int controlId) {
    // The type list and "Allow deletions" explain the type chosen now, before any OK.
    return CConfigSyncPage::HelpTextId(controlId, ReadControls());
}
