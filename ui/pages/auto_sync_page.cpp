#include "ui/pages/auto_sync_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "foundation/program_state.h"
#include "foundation/script_table.h"
#include "foundation/settings_keys.h"
#include "foundation/sync_task.h"
#include "platform/core/message_box.h"
#include "resources/control_ids.h"
#include "resources/dialog_ids.h"
#include "ui/pages/schedule_rule.h"
#include "ui/pages/schedule_time_page.h"

namespace {

constexpr const char* kResolveTexts[] = {"Do nothing", "Left to Right", "Right to Left", "Copy with Newer File"};

// The scheduler's controls serve only a settings store other than the settings file.
bool SchedulerUsable() { return !ProgramState().useIniFile; }

QSpinBox* MakeSpin(QWidget* parent, int id, int high) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::number(id));
    spin->setRange(0, high);
    return spin;
}

int Shown(DWORD value) { return static_cast<int>(std::min<DWORD>(value, 0x7FFF'FFFF)); }

template <class Field, class Value>
void Take(Field& field, Value value, bool& changed) {
    const auto stored = static_cast<Field>(value);
    if (field != stored) changed = true;
    field = stored;
}

}  // namespace

std::unique_ptr<CAutoSync> MakeAutoSyncPage(SyncTask& task) { return std::make_unique<CAutoSync>(task); }

CAutoSync::CAutoSync(SyncTask& task) : COptionPage(IDD_AUTO_PAGE, "Auto"), task_(task) {
    values_.repeatOn = task.repeatOn != 0;
    values_.repeatHours = task.repeatHours;
    values_.repeatMinutes = task.repeatMinutes;
    values_.runAtStart = task.runAtStart != 0;
    values_.startDelay = Shown(task.startDelaySeconds);
    values_.runOnDevice = task.runOnDevice != 0;
    values_.runMode = task.autoRunMode;
    values_.autoResolve = task.autoResolve;
    // A task without a limit offers the limit last chosen for any task.
    values_.percentOn = task.skipPercent != 0;
    values_.percent = values_.percentOn ? Shown(task.skipPercent) : ReadSetting(settings::kSchedulePercent);
    values_.schedulerOn = task.scheduleOn != 0;
    if (values_.schedulerOn) values_.scheduleText = ScheduleKindName(task.scheduleType);
    schedule_ = ScheduleRecordOfTask(task);

    // Made in the order the user tabs through them.
    const auto label = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };
    QCheckBox* repeat = MakeCheckBox(IDC_REPEAT, "Run every");
    hours_ = MakeSpin(this, IDC_REPEAT_HOURS, 65'535);
    QLabel* hoursLabel = label("hours");
    minutes_ = MakeSpin(this, IDC_REPEAT_MINUTES, 59);
    QLabel* minutesLabel = label("minutes");
    QCheckBox* runAtStart = MakeCheckBox(IDC_RUN_AT_START, "Run when this Program starts, delay ");
    delay_ = MakeSpin(this, IDC_START_DELAY, 59);
    QLabel* secondsLabel = label("seconds");
    QCheckBox* runOnDevice = MakeCheckBox(IDC_RUN_ON_DEVICE, "Run when device is connected");
    QRadioButton* check = MakeRadioButton(IDC_AUTO_CHECK, "Check");
    QRadioButton* checkAndSync = MakeRadioButton(IDC_AUTO_CHECK_AND_SYNC, "Check and Sync");
    auto* modes = new QButtonGroup(this);
    modes->addButton(check);
    modes->addButton(checkAndSync);
    QLabel* resolveLabel = label("Auto resolve conflicts:");
    resolveList_ = new QComboBox(this);
    resolveList_->setObjectName(QString::number(IDC_RESOLVE_CONFLICTS));
    for (const char* text : kResolveTexts) resolveList_->addItem(QString::fromUtf8(text));
    resolveLabel->setBuddy(resolveList_);
    QCheckBox* percentOn = MakeCheckBox(IDC_PERCENT_LIMIT_ON, "Do not Sync if ");
    percent_ = MakeSpin(this, IDC_PERCENT_LIMIT, 100);
    QLabel* percentLabel = label("percent files changed");
    QCheckBox* scheduler = MakeCheckBox(IDC_USE_SCHEDULER, "Use Scheduler");
    scheduleText_ = new QLineEdit(this);
    scheduleText_->setObjectName(QString::number(IDC_SCHEDULE_KIND));
    scheduleText_->setReadOnly(true);
    configure_ = new QPushButton(QStringLiteral("Configure..."), this);
    configure_->setObjectName(QString::number(IDC_CONFIGURE_SCHEDULE));

    const auto row = [](std::initializer_list<QWidget*> widgets) {
        auto* line = new QHBoxLayout;
        for (QWidget* widget : widgets) line->addWidget(widget);
        line->addStretch();
        return line;
    };
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row({repeat, hours_, hoursLabel, minutes_, minutesLabel}));
    layout->addLayout(row({runAtStart, delay_, secondsLabel}));
    layout->addWidget(runOnDevice);
    layout->addSpacing(6);
    layout->addLayout(row({check, checkAndSync}));
    layout->addLayout(row({resolveLabel, resolveList_}));
    layout->addLayout(row({percentOn, percent_, percentLabel}));
    layout->addSpacing(6);
    auto* schedulerRow = new QHBoxLayout;
    schedulerRow->addWidget(scheduler);
    schedulerRow->addWidget(scheduleText_, 1);
    schedulerRow->addWidget(configure_);
    layout->addLayout(schedulerRow);
    layout->addStretch();

    for (QCheckBox* box : {repeat, percentOn, scheduler}) {
        connect(box, &QCheckBox::clicked, this, &CAutoSync::EnableGroups);
    }
    MarkModifiedOnClick(check);
    MarkModifiedOnClick(checkAndSync);
    connect(configure_, &QPushButton::clicked, this, &CAutoSync::OnConfigure);
}

BOOL CAutoSync::OnInitDialog() {
    ShowValues(values_);
    opened_ = ReadControls();
    return TRUE;
}

void CAutoSync::ShowValues(const Values& values) {
    const auto box = [this](int id) { return static_cast<QCheckBox*>(GetDlgItem(id)); };
    box(IDC_REPEAT)->setChecked(values.repeatOn);
    hours_->setValue(values.repeatHours);
    minutes_->setValue(values.repeatMinutes);
    box(IDC_RUN_AT_START)->setChecked(values.runAtStart);
    delay_->setValue(values.startDelay);
    box(IDC_RUN_ON_DEVICE)->setChecked(values.runOnDevice);
    const int runMode = values.runMode == 1 ? IDC_AUTO_CHECK_AND_SYNC : IDC_AUTO_CHECK;
    static_cast<QRadioButton*>(GetDlgItem(runMode))->setChecked(true);
    resolveList_->setCurrentIndex(values.autoResolve < std::size(kResolveTexts) ? static_cast<int>(values.autoResolve)
                                                                                : -1);
    box(IDC_PERCENT_LIMIT_ON)->setChecked(values.percentOn);
    percent_->setValue(values.percent);
    box(IDC_USE_SCHEDULER)->setChecked(values.schedulerOn);
    scheduleText_->setText(QString::fromStdString(values.scheduleText));
    EnableGroups();
}

void CAutoSync::EnableGroups() {
    const auto checked = [this](int id) { return static_cast<const QCheckBox*>(GetDlgItem(id))->isChecked(); };
    hours_->setEnabled(checked(IDC_REPEAT));
    minutes_->setEnabled(checked(IDC_REPEAT));
    percent_->setEnabled(checked(IDC_PERCENT_LIMIT_ON));
    GetDlgItem(IDC_USE_SCHEDULER)->setEnabled(SchedulerUsable());
    scheduleText_->setEnabled(SchedulerUsable() && checked(IDC_USE_SCHEDULER));
    configure_->setEnabled(SchedulerUsable() && checked(IDC_USE_SCHEDULER));
}

CAutoSync::Values CAutoSync::ReadControls() const {
    const auto checked = [this](int id) { return static_cast<const QAbstractButton*>(GetDlgItem(id))->isChecked(); };
    Values values;
    values.repeatOn = checked(IDC_REPEAT);
    values.repeatHours = hours_->value();
    values.repeatMinutes = minutes_->value();
    values.runAtStart = checked(IDC_RUN_AT_START);
    values.startDelay = delay_->value();
    values.runOnDevice = checked(IDC_RUN_ON_DEVICE);
    values.runMode = checked(IDC_AUTO_CHECK_AND_SYNC) ? 1 : 0;
    // A value the list cannot show stays as it was.
    values.autoResolve =
        resolveList_->currentIndex() >= 0 ? static_cast<DWORD>(resolveList_->currentIndex()) : values_.autoResolve;
    values.percentOn = checked(IDC_PERCENT_LIMIT_ON);
    values.percent = percent_->value();
    values.schedulerOn = checked(IDC_USE_SCHEDULER);
    values.scheduleText = scheduleText_->text().toStdString();
    return values;
}

void CAutoSync::OnConfigure() {
    // The dialog starts from the task's schedule at every click; only a changed OK
    // replaces what the page holds.
    ScheduleRecord edited = ScheduleRecordOfTask(task_);
    CScheduleTimePage dialog(this, edited);
    if (dialog.DoModal() != IDOK || !dialog.Changed()) return;
    schedule_ = edited;
    scheduleEdited_ = true;
    SetModified(TRUE);
    scheduleText_->setText(QString::fromUtf8(ScheduleKindName(edited.kind)));
}

std::string CAutoSync::Refusal(const Values& values) {
    // With the settings file the scheduler cannot be set up here, so its state does not
    // stand in the way of the other fields.
    if (SchedulerUsable() && values.schedulerOn && values.scheduleText.empty()) {
        return "Click the Configure button to setup the scheduler";
    }
    if (values.repeatOn && values.repeatHours == 0 && values.repeatMinutes == 0) return "Setup hours and minutes first";
    return std::string();
}

BOOL CAutoSync::OnQueryApply() {
    const std::string refusal = Refusal(ReadControls());
    if (refusal.empty()) return TRUE;
    ShowMessage(refusal);
    return FALSE;
}

BOOL CAutoSync::OnApply() {
    const Values values = ReadControls();
    bool changed = false;
    Take(task_.repeatOn, values.repeatOn ? 1 : 0, changed);
    Take(task_.repeatHours, values.repeatHours, changed);
    Take(task_.repeatMinutes, values.repeatMinutes, changed);
    if (values.percentOn) {
        Take(task_.skipPercent, values.percent, changed);
        if (!WriteSetting(settings::kSchedulePercent, values.percent)) ReportSettingsNotWritten();
    } else {
        Take(task_.skipPercent, 0, changed);
    }
    Take(task_.startDelaySeconds, values.startDelay, changed);
    Take(task_.runAtStart, values.runAtStart ? 1 : 0, changed);
    Take(task_.runOnDevice, values.runOnDevice ? 1 : 0, changed);
    Take(task_.autoResolve, values.autoResolve, changed);
    Take(task_.autoRunMode, values.runMode, changed);
    changed_ = changed;
    StoreSchedule(values);
    values_ = values;
    return TRUE;
}

void CAutoSync::StoreSchedule(const Values& values) {
    if (values.schedulerOn != (task_.scheduleOn != 0)) {
        task_.scheduleOn = values.schedulerOn ? 1 : 0;
        changed_ = true;
        if (!values.schedulerOn) {
            CancelTaskScript(task_);
            return;
        }
        // Switched on in the visit that set it up: the entry runs on the new schedule.
        if (scheduleEdited_) SetTaskSchedule(task_, schedule_);
        AddTaskScript(task_);
        return;
    }
    if (!values.schedulerOn || !scheduleEdited_) return;
    if (ReplaceTaskScript(schedule_, task_.scriptIndex) == 0) {
        ShowMessage("Failed to change schedule. If the task is busy, you can not change the schedule.");
        return;
    }
    SetTaskSchedule(task_, schedule_);
    changed_ = true;
}

void CAutoSync::OnCancel() {
    ShowValues(opened_);
    values_ = opened_;
    schedule_ = ScheduleRecordOfTask(task_);
    scheduleEdited_ = false;
    changed_ = false;
}
