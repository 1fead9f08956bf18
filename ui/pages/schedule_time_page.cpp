#include "ui/pages/schedule_time_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "controls/tree_property_sheet/property_sheet_defs.h"
#include "foundation/help_file.h"
#include "foundation/resource_strings.h"
#include "platform/core/clock.h"
#include "platform/core/message_box.h"
#include "resources/control_ids.h"
#include "resources/dialog_ids.h"
#include "ui/pages/checked_date_edit.h"

namespace {

constexpr const char* kWeekdayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kOrdinalNames[] = {"First", "Second", "Third", "Fourth", "Last"};
constexpr const char* kDateFormat = "yyyy-MM-dd";
constexpr const char* kTimeFormat = "HH:mm:ss";

template <class Widget>
Widget* Named(Widget* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

QLabel* MakeLabel(QWidget* parent, int id, const char* text) {
    return Named(new QLabel(QString::fromUtf8(text), parent), id);
}

QSpinBox* MakeSpin(QWidget* parent, int id, int low, int high) {
    auto* spin = Named(new QSpinBox(parent), id);
    spin->setRange(low, high);
    return spin;
}

QComboBox* MakeList(QWidget* parent, int id, const auto& texts) {
    auto* list = Named(new QComboBox(parent), id);
    for (const char* text : texts) list->addItem(QString::fromUtf8(text));
    return list;
}

QDate ToQDate(const SYSTEMTIME& t) { return QDate(t.wYear, t.wMonth, t.wDay); }
QTime ToQTime(const SYSTEMTIME& t) { return QTime(t.wHour, t.wMinute, t.wSecond); }

SYSTEMTIME FromQDate(const QDate& date) {
    SYSTEMTIME t;
    t.wYear = static_cast<WORD>(date.year());
    t.wMonth = static_cast<WORD>(date.month());
    t.wDay = static_cast<WORD>(date.day());
    return t;
}

SYSTEMTIME FromQTime(const QTime& time) {
    SYSTEMTIME t;
    t.wHour = static_cast<WORD>(time.hour());
    t.wMinute = static_cast<WORD>(time.minute());
    t.wSecond = static_cast<WORD>(time.second());
    return t;
}

DWORD MaskOf(const auto& boxes) {
    DWORD mask = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i]->isChecked()) mask |= 1u << i;
    }
    return mask;
}

void ShowMask(const auto& boxes, DWORD mask) {
    for (std::size_t i = 0; i < boxes.size(); ++i) boxes[i]->setChecked((mask >> i) & 1u);
}

}  // namespace

CScheduleTimePage::CScheduleTimePage(QWidget* parent, ScheduleRecord& record)
    : QDialog(parent), plat::MessageWindow(this), record_(record) {
    setWindowTitle(QStringLiteral("Schedule Sync"));
    BuildControls();
    SYSTEMTIME now;
    GetLocalTime(&now);
    ShowControls(ControlsOfSchedule(record_, now));
}

CScheduleTimePage::~CScheduleTimePage() = default;

void CScheduleTimePage::BuildControls() {
    const QDate first(kFirstScheduleYear, 1, 1);
    const QDate last(kLastScheduleYear, 12, 31);

    kindList_ = MakeList(this, IDC_SCHEDULE_KINDS, std::array{"Daily", "Weekly", "Monthly", "Hourly"});
    startTime_ = Named(new QTimeEdit(this), IDC_START_TIME);
    startTime_->setDisplayFormat(QString::fromLatin1(kTimeFormat));
    startDate_ = Named(new QDateEdit(this), IDC_START_DATE);
    startDate_->setDisplayFormat(QString::fromLatin1(kDateFormat));
    startDate_->setCalendarPopup(true);
    startDate_->setDateRange(first, last);
    endDate_ = Named(new CheckedDateEdit(this), IDC_END_DATE);
    endDate_->DateEdit()->setDisplayFormat(QString::fromLatin1(kDateFormat));
    endDate_->SetDateRange(first, last);

    auto* when = new QFormLayout;
    when->addRow(QStringLiteral("Schedule:"), kindList_);
    when->addRow(QStringLiteral("Start time:"), startTime_);
    when->addRow(QStringLiteral("Start date:"), startDate_);
    when->addRow(QStringLiteral("End date:"), endDate_);

    kindPanels_ = new QStackedWidget(this);
    kindPanels_->addWidget(BuildDailyPanel());
    kindPanels_->addWidget(BuildWeeklyPanel());
    kindPanels_->addWidget(BuildMonthlyPanel());
    kindPanels_->addWidget(BuildHourlyPanel());
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(kindPanels_);

    warning_ = Named(new QCheckBox(QStringLiteral("Show warning before start"), this), IDC_SHOW_WARNING);

    auto* help = Named(new QPushButton(QStringLiteral("&Help"), this), IDHELP);
    auto* ok = Named(new QPushButton(QStringLiteral("OK"), this), IDOK);
    auto* cancel = Named(new QPushButton(QStringLiteral("Cancel"), this), IDCANCEL);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(when);
    layout->addWidget(frame);
    layout->addWidget(warning_);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(kindList_, &QComboBox::currentIndexChanged, this, &CScheduleTimePage::ShowKind);
    for (QRadioButton* radio : {everyDays_, weekdays_, onThe_, onDay_}) {
        connect(radio, &QRadioButton::toggled, this, &CScheduleTimePage::EnableFields);
    }
    connect(help, &QPushButton::clicked, this, &CScheduleTimePage::OnHelp);
    connect(ok, &QPushButton::clicked, this, &CScheduleTimePage::accept);
    connect(cancel, &QPushButton::clicked, this, &CScheduleTimePage::reject);
}

QWidget* CScheduleTimePage::BuildDailyPanel() {
    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    everyDays_ = Named(new QRadioButton(QStringLiteral("&Every"), panel), IDC_DAILY_EVERY);
    days_ = MakeSpin(panel, IDC_DAILY_DAYS, 1, 99);
    weekdays_ = Named(new QRadioButton(QStringLiteral("Weekdays"), panel), IDC_DAILY_WEEKDAYS);
    grid->addWidget(everyDays_, 0, 0);
    grid->addWidget(days_, 0, 1);
    grid->addWidget(MakeLabel(panel, IDC_DAILY_DAYS_UNIT, "day(s)"), 0, 2);
    grid->addWidget(weekdays_, 1, 0, 1, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(2, 1);
    return panel;
}

QWidget* CScheduleTimePage::BuildWeeklyPanel() {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    weeks_ = MakeSpin(panel, IDC_WEEKLY_WEEKS, 1, 52);
    row->addWidget(MakeLabel(panel, IDC_WEEKLY_LEAD, "Every "));
    row->addWidget(weeks_);
    row->addWidget(MakeLabel(panel, IDC_WEEKLY_UNIT, "week(s) on:"));
    row->addStretch();
    layout->addLayout(row);
    auto* days = new QGridLayout;
    for (int i = 0; i < 7; ++i) {
        weekDays_[i] = Named(new QCheckBox(QString::fromUtf8(kWeekdayNames[i]), panel), IDC_WEEKLY_SUNDAY + i);
        days->addWidget(weekDays_[i], i / 4, i % 4);
    }
    layout->addLayout(days);
    layout->addStretch();
    return panel;
}

QWidget* CScheduleTimePage::BuildMonthlyPanel() {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout;
    onThe_ = Named(new QRadioButton(QStringLiteral("On the"), panel), IDC_MONTHLY_ON_THE);
    ordinalList_ = MakeList(panel, IDC_MONTHLY_ORDINAL, kOrdinalNames);
    weekdayList_ = MakeList(panel, IDC_MONTHLY_WEEKDAY, kWeekdayNames);
    onDay_ = Named(new QRadioButton(QStringLiteral("On day"), panel), IDC_MONTHLY_ON_DAY);
    monthDay_ = MakeSpin(panel, IDC_MONTHLY_DAY, 1, 31);
    grid->addWidget(onThe_, 0, 0);
    grid->addWidget(ordinalList_, 0, 1);
    grid->addWidget(weekdayList_, 0, 2);
    grid->addWidget(onDay_, 1, 0);
    grid->addWidget(monthDay_, 1, 1);
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);
    layout->addWidget(MakeLabel(panel, IDC_MONTHLY_LEAD, "of month(s):"));
    auto* months = new QGridLayout;
    for (int i = 0; i < 12; ++i) {
        months_[i] = Named(new QCheckBox(QString::fromUtf8(kMonthNames[i]), panel), IDC_MONTHLY_JANUARY + i);
        months->addWidget(months_[i], i / 6, i % 6);
    }
    layout->addLayout(months);
    layout->addStretch();
    return panel;
}

QWidget* CScheduleTimePage::BuildHourlyPanel() {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    hours_ = MakeSpin(panel, IDC_HOURLY_HOURS, 1, 24);
    row->addWidget(MakeLabel(panel, IDC_HOURLY_LEAD, "Every"));
    row->addWidget(hours_);
    row->addWidget(MakeLabel(panel, IDC_HOURLY_UNIT, "hour(s)"));
    row->addStretch();
    layout->addLayout(row);
    weekdaysOnly_ = Named(new QCheckBox(QStringLiteral("Weekdays only"), panel), IDC_HOURLY_WEEKDAYS_ONLY);
    layout->addWidget(weekdaysOnly_);
    layout->addStretch();
    return panel;
}

int CScheduleTimePage::DoModal() { return exec(); }

void CScheduleTimePage::ShowControls(const ScheduleControls& controls) {
    startTime_->setTime(ToQTime(controls.startTime));
    startDate_->setDate(ToQDate(controls.startDate));
    endDate_->SetDate(ToQDate(controls.endDate));
    endDate_->SetChecked(controls.hasEnd);
    (controls.dailyEvery ? everyDays_ : weekdays_)->setChecked(true);
    days_->setValue(controls.everyDays);
    weeks_->setValue(controls.everyWeeks);
    ShowMask(weekDays_, controls.weekDays);
    (controls.monthlyOnWeekday ? onThe_ : onDay_)->setChecked(true);
    ordinalList_->setCurrentIndex(static_cast<int>(controls.ordinal));
    weekdayList_->setCurrentIndex(static_cast<int>(controls.weekday));
    monthDay_->setValue(controls.monthDay);
    ShowMask(months_, controls.months);
    hours_->setValue(controls.everyHours);
    weekdaysOnly_->setChecked(controls.weekdaysOnly);
    kindList_->setCurrentIndex(static_cast<int>(controls.kind));
    ShowKind(kindList_->currentIndex());
    EnableFields();
}

ScheduleControls CScheduleTimePage::ReadControls() const {
    ScheduleControls controls;
    controls.kind = static_cast<DWORD>(kindList_->currentIndex());
    controls.startDate = FromQDate(startDate_->date());
    controls.startTime = FromQTime(startTime_->time());
    controls.hasEnd = endDate_->IsChecked();
    controls.endDate = FromQDate(endDate_->Date());
    controls.dailyEvery = everyDays_->isChecked();
    controls.everyDays = days_->value();
    controls.everyWeeks = weeks_->value();
    controls.weekDays = MaskOf(weekDays_);
    controls.monthlyOnWeekday = onThe_->isChecked();
    controls.ordinal = static_cast<DWORD>(ordinalList_->currentIndex());
    controls.weekday = static_cast<DWORD>(weekdayList_->currentIndex());
    controls.monthDay = monthDay_->value();
    controls.months = MaskOf(months_);
    controls.everyHours = hours_->value();
    controls.weekdaysOnly = weekdaysOnly_->isChecked();
    return controls;
}

void CScheduleTimePage::ShowKind(int kind) {
    if (kind >= 0 && kind < kindPanels_->count()) kindPanels_->setCurrentIndex(kind);
}

void CScheduleTimePage::EnableFields() {
    days_->setEnabled(everyDays_->isChecked());
    ordinalList_->setEnabled(onThe_->isChecked());
    weekdayList_->setEnabled(onThe_->isChecked());
    monthDay_->setEnabled(onDay_->isChecked());
}

void CScheduleTimePage::accept() {
    const ScheduleSave save = SaveSchedule(ReadControls(), record_);
    if (!save.refusal.empty()) {
        MessageBox(GetSafeHwnd(), save.refusal, LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    changed_ = save.changed;
    done(IDOK);
}

void CScheduleTimePage::reject() { done(IDCANCEL); }

void CScheduleTimePage::OnHelp() { OpenHelpTopic(GetSafeHwnd(), IDD_SCHEDULE_SYNC); }
