#pragma once
// The "Schedule Sync" dialog (IDD_SCHEDULE_SYNC): edits one schedule record in place. OK keeps the
// dialog open while SaveSchedule refuses what the controls hold; once it closes with OK,
// Changed() tells whether the record now differs.

#include <QDialog>
#include <array>

#include "platform/qt/message_window.h"
#include "ui/pages/schedule_rule.h"

class CheckedDateEdit;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTimeEdit;

class CScheduleTimePage : public QDialog, public plat::MessageWindow {
    Q_OBJECT
public:
    CScheduleTimePage(QWidget* parent, ScheduleRecord& record);
    ~CScheduleTimePage() override;

    // IDOK or IDCANCEL.
    int DoModal();
    bool Changed() const { return changed_; }

    ScheduleControls ReadControls() const;

    void accept() override;
    void reject() override;

private:
    void BuildControls();
    QWidget* BuildDailyPanel();
    QWidget* BuildWeeklyPanel();
    QWidget* BuildMonthlyPanel();
    QWidget* BuildHourlyPanel();
    void ShowControls(const ScheduleControls& controls);
    void ShowKind(int kind);
    void EnableFields();
    void OnHelp();

    ScheduleRecord& record_;
    bool changed_ = false;

    QComboBox* kindList_ = nullptr;
    QTimeEdit* startTime_ = nullptr;
    QDateEdit* startDate_ = nullptr;
    CheckedDateEdit* endDate_ = nullptr;
    QStackedWidget* kindPanels_ = nullptr;
    QRadioButton* everyDays_ = nullptr;
    QRadioButton* weekdays_ = nullptr;
    QSpinBox* days_ = nullptr;
    QSpinBox* weeks_ = nullptr;
    std::array<QCheckBox*, 7> weekDays_{};
    QRadioButton* onThe_ = nullptr;
    QRadioButton* onDay_ = nullptr;
    QComboBox* ordinalList_ = nullptr;
    QComboBox* weekdayList_ = nullptr;
    QSpinBox* monthDay_ = nullptr;
    std::array<QCheckBox*, 12> months_{};
    QSpinBox* hours_ = nullptr;
    QCheckBox* weekdaysOnly_ = nullptr;
    QCheckBox* warning_ = nullptr;
};
