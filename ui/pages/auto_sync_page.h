#pragma once
// The "Auto" page (IDD_AUTO_PAGE) of a task's options: when the task runs by itself (every so many
// hours and minutes, at program start, when its device is connected, by the scheduler),
// what such a run does, and the share of changed files above which it does not sync. The
// page reads the task's fields when it is made and writes them back on OK; Changed() then
// tells the caller whether any of them changed.

#include <memory>
#include <string>

#include "foundation/scheduled_script.h"
#include "ui/pages/option_page.h"

struct SyncTask;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class CAutoSync : public COptionPage {
    Q_OBJECT
public:
    // What the controls hold.
    struct Values {
        bool repeatOn = false;
        int repeatHours = 0;
        int repeatMinutes = 0;
        bool runAtStart = false;
        int startDelay = 0;
        bool runOnDevice = false;
        DWORD runMode = 0;  // 0 Check, 1 Check and Sync
        DWORD autoResolve = 0;
        bool percentOn = false;
        int percent = 0;
        bool schedulerOn = false;
        std::string scheduleText;  // the kind's name; empty while no schedule is set up
        bool operator==(const Values&) const = default;
    };

    explicit CAutoSync(SyncTask& task);

    Values ReadControls() const;
    // A field of the task changed (on OK), or the schedule was edited.
    bool Changed() const { return changed_; }
    // The schedule the page would give the task.
    const ScheduleRecord& Schedule() const { return schedule_; }

    // "Configure...": the schedule dialog on a copy of the task's schedule.
    void OnConfigure();

    BOOL OnQueryApply() override;
    BOOL OnApply() override;
    void OnCancel() override;

protected:
    BOOL OnInitDialog() override;

private:
    void ShowValues(const Values& values);
    void EnableGroups();
    // The refusal of OK for these values; empty when they can be taken.
    static std::string Refusal(const Values& values);
    void StoreSchedule(const Values& values);

    SyncTask& task_;
    Values values_;  // as read from the task
    Values opened_;  // as the page opened, for Cancel
    ScheduleRecord schedule_;
    bool changed_ = false;
    bool scheduleEdited_ = false;

    QSpinBox* hours_;
    QSpinBox* minutes_;
    QSpinBox* delay_;
    QComboBox* resolveList_;
    QSpinBox* percent_;
    QLineEdit* scheduleText_;
    QPushButton* configure_;
};

// The page for a task's "Sync Options" sheet and its Automate sheet.
std::unique_ptr<CAutoSync> MakeAutoSyncPage(SyncTask& task);
