#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include "foundation/script_table.h"
#include "foundation/sync_task.h"
#include "platform/core/clock.h"
#include "resources/control_ids.h"
#include "tests/ui/pages/page_test_support.h"
#include "ui/pages/auto_sync_page.h"
#include "ui/pages/options_sheets.h"
#include "ui/pages/schedule_time_page.h"

namespace {

using pagetest::ClickBox;
using pagetest::Control;
using Values = CAutoSync::Values;

class AutoSyncPageTest : public pagetest::PageTest {
protected:
    AutoSyncPageTest() { task_.SetDefaults(); }

    CAutoSync* Open() { return Show(MakeAutoSyncPage(task_)); }
    QSpinBox* Spin(int id) { return Control<QSpinBox>(page_, id); }
    QCheckBox* Box(int id) { return Control<QCheckBox>(page_, id); }

    // Runs `answer` on the schedule dialog that "Configure..." opens, then presses its OK.
    void Configure(std::function<void(CScheduleTimePage&)> answer) {
        QTimer::singleShot(0, [answer] {
            auto* dialog = qobject_cast<CScheduleTimePage*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            answer(*dialog);
            dialog->accept();
            if (dialog->isVisible()) dialog->reject();
        });
        Control<QPushButton>(page_, IDC_CONFIGURE_SCHEDULE)->click();
    }

    SyncTask task_;
    CAutoSync* page_ = nullptr;
};

TEST_F(AutoSyncPageTest, RunEveryNeedsATimeAndStoresTheOneGiven) {
    page_ = Open();
    EXPECT_FALSE(Spin(IDC_REPEAT_HOURS)->isEnabled());
    ClickBox(Box(IDC_REPEAT));
    EXPECT_TRUE(Spin(IDC_REPEAT_HOURS)->isEnabled());
    PressOk();
    EXPECT_TRUE(sheet_->isVisible());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Setup hours and minutes first"});
    EXPECT_EQ(task_.repeatOn, 0u);

    Spin(IDC_REPEAT_HOURS)->setValue(65'535);
    Spin(IDC_REPEAT_MINUTES)->setValue(60);  // beyond the spin's range
    PressOk();
    EXPECT_FALSE(sheet_->isVisible());
    EXPECT_EQ(task_.repeatOn, 1u);
    EXPECT_EQ(task_.repeatHours, 65'535);
    EXPECT_EQ(task_.repeatMinutes, 59);
    EXPECT_TRUE(page_->Changed());

    // Hours changed while repeating stays on.
    page_ = Open();
    Spin(IDC_REPEAT_HOURS)->setValue(3);
    PressOk();
    EXPECT_EQ(task_.repeatHours, 3);
    EXPECT_TRUE(page_->Changed());

    page_ = Open();
    PressOk();
    EXPECT_FALSE(page_->Changed());
}

TEST_F(AutoSyncPageTest, ThePercentLimitChosenIsOfferedToTasksWithoutOne) {
    page_ = Open();
    EXPECT_FALSE(Box(IDC_PERCENT_LIMIT_ON)->isChecked());
    EXPECT_EQ(Spin(IDC_PERCENT_LIMIT)->value(), 10);
    EXPECT_FALSE(Spin(IDC_PERCENT_LIMIT)->isEnabled());
    ClickBox(Box(IDC_PERCENT_LIMIT_ON));
    Spin(IDC_PERCENT_LIMIT)->setValue(25);
    PressOk();
    EXPECT_EQ(task_.skipPercent, 25u);
    EXPECT_EQ(SettingsBytes(), "[Schedule]\r\nPercent=25\r\n");

    SyncTask other;
    other.SetDefaults();
    auto* otherPage = Show(MakeAutoSyncPage(other));
    EXPECT_FALSE(Control<QCheckBox>(otherPage, IDC_PERCENT_LIMIT_ON)->isChecked());
    EXPECT_EQ(Control<QSpinBox>(otherPage, IDC_PERCENT_LIMIT)->value(), 25);
    PressCancel();

    page_ = Open();
    EXPECT_TRUE(Box(IDC_PERCENT_LIMIT_ON)->isChecked());
    ClickBox(Box(IDC_PERCENT_LIMIT_ON));
    PressOk();
    EXPECT_EQ(task_.skipPercent, 0u);
    EXPECT_TRUE(page_->Changed());
}

TEST_F(AutoSyncPageTest, CancelPutsEveryControlBackAndTheTaskStaysAsItWas) {
    task_.repeatOn = 1;
    task_.repeatHours = 2;
    task_.repeatMinutes = 15;
    task_.runAtStart = 1;
    task_.startDelaySeconds = 30;
    task_.autoRunMode = 1;
    task_.autoResolve = 3;
    task_.skipPercent = 40;
    page_ = Open();
    const Values opened{true, 2, 15, true, 30, false, 1, 3, true, 40, false, ""};
    EXPECT_EQ(page_->ReadControls(), opened);

    for (int id : {IDC_REPEAT, IDC_RUN_AT_START, IDC_RUN_ON_DEVICE, IDC_PERCENT_LIMIT_ON}) {
        ClickBox(Box(id));
    }
    ClickBox(Control<QRadioButton>(page_, IDC_AUTO_CHECK));
    Control<QComboBox>(page_, IDC_RESOLVE_CONFLICTS)->setCurrentIndex(0);
    Spin(IDC_START_DELAY)->setValue(5);
    ASSERT_NE(page_->ReadControls(), opened);
    PressCancel();
    EXPECT_EQ(page_->ReadControls(), opened);
    EXPECT_FALSE(page_->Changed());
    EXPECT_EQ(task_.repeatOn, 1u);
    EXPECT_EQ(task_.runOnDevice, 0u);
    EXPECT_EQ(task_.autoResolve, 3u);
    EXPECT_EQ(task_.skipPercent, 40u);
}

TEST_F(AutoSyncPageTest, TabGoesThroughTheControlsInTheOrderTheyStand) {
    page_ = Open();
    std::vector<int> ids;
    for (QWidget* widget = page_->nextInFocusChain(); page_->isAncestorOf(widget);
         widget = widget->nextInFocusChain()) {
        if (ControlId(widget) != 0) ids.push_back(ControlId(widget));
    }
    EXPECT_EQ(ids,
              (std::vector<int>{8820, 6021, 900, 6032, 901, 6031, 1015, 1016, 6015, 8819, 1008, 6023, 1306, 8833}));
}

TEST_F(AutoSyncPageTest, WithTheSettingsFileTheSchedulerIsLeftAlone) {
    ASSERT_TRUE(ProgramState().useIniFile);
    task_.scheduleOn = 1;
    task_.scheduleType = kScheduleWeekly;
    task_.scheduleStartDate = 0x586A;
    AddTaskScript(task_);
    const int scripts = ScheduledScriptCount();
    page_ = Open();
    EXPECT_TRUE(Box(IDC_USE_SCHEDULER)->isChecked());
    EXPECT_EQ(Control<QLineEdit>(page_, IDC_SCHEDULE_KIND)->text(), "Weekly");
    ClickBox(Box(IDC_REPEAT));  // re-enabling the groups leaves the scheduler's greyed
    ClickBox(Box(IDC_USE_SCHEDULER));
    for (int id : {IDC_USE_SCHEDULER, IDC_SCHEDULE_KIND, IDC_CONFIGURE_SCHEDULE}) {
        EXPECT_FALSE(page_->GetDlgItem(id)->isEnabled()) << id;
    }
    Spin(IDC_REPEAT_MINUTES)->setValue(5);
    PressOk();
    EXPECT_FALSE(sheet_->isVisible());
    EXPECT_EQ(ScheduledScriptCount(), scripts);
    EXPECT_EQ(task_.scheduleOn, 1u);
    EXPECT_EQ(ProgramScripts().State(task_.scriptIndex)->cancelled, 0);
    EXPECT_EQ(ProgramScripts().Script(task_.scriptIndex)->type, kScheduleWeekly);

    // A schedule of no known kind shows no text, and cannot be set up here: it does not
    // stop OK.
    task_.scheduleType = 9;
    page_ = Open();
    EXPECT_EQ(Control<QLineEdit>(page_, IDC_SCHEDULE_KIND)->text(), "");
    PressOk();
    EXPECT_FALSE(sheet_->isVisible());
    EXPECT_EQ(Messages(), std::vector<std::string>{});
}

TEST_F(AutoSyncPageTest, WithAnotherStoreTheSchedulerIsSetUpAndADueEntryKeepsItsSchedule) {
    ProgramState().useIniFile = false;
    plat::FixedClock clock(1'900'000'000);
    plat::ClockOverride useClock(clock);
    page_ = Open();
    EXPECT_FALSE(page_->GetDlgItem(IDC_CONFIGURE_SCHEDULE)->isEnabled());
    ClickBox(Box(IDC_USE_SCHEDULER));
    EXPECT_TRUE(page_->GetDlgItem(IDC_CONFIGURE_SCHEDULE)->isEnabled());
    PressOk();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Click the Configure button to setup the scheduler"});

    Configure([](CScheduleTimePage& dialog) {
        dialog.findChild<QComboBox*>(QString::number(IDC_SCHEDULE_KINDS))->setCurrentIndex(kScheduleHourly);
    });
    EXPECT_EQ(Control<QLineEdit>(page_, IDC_SCHEDULE_KIND)->text(), "Hourly");
    const int scripts = ScheduledScriptCount();
    PressOk();
    ASSERT_FALSE(sheet_->isVisible());
    EXPECT_TRUE(page_->Changed());
    EXPECT_EQ(task_.scheduleOn, 1u);
    EXPECT_EQ(task_.scheduleType, kScheduleHourly);
    EXPECT_EQ(ScheduledScriptCount(), scripts + 1);
    EXPECT_EQ(ProgramScripts().Script(task_.scriptIndex)->type, kScheduleHourly);

    // The entry falls due at once (hourly, never run); a schedule cannot change under it.
    CheckScriptDue(task_.scriptIndex);
    ASSERT_EQ(ProgramScripts().State(task_.scriptIndex)->due, 1);
    page_ = Open();
    Configure(
        [](CScheduleTimePage& dialog) { dialog.findChild<QSpinBox*>(QString::number(IDC_HOURLY_HOURS))->setValue(6); });
    PressOk();
    EXPECT_EQ(Messages().back(), "Failed to change schedule. If the task is busy, you can not change the schedule.");
    EXPECT_EQ(RepetitionBlock::FromBytes(task_.scheduleBlock).words[kHourlyEveryHours], 1u);
    EXPECT_FALSE(page_->Changed());

    // Switched off: the entry is cancelled and stays.
    page_ = Open();
    ClickBox(Box(IDC_USE_SCHEDULER));
    PressOk();
    EXPECT_EQ(task_.scheduleOn, 0u);
    EXPECT_EQ(ProgramScripts().State(task_.scriptIndex)->cancelled, 1);
    EXPECT_EQ(ScheduledScriptCount(), scripts + 1);
}

TEST_F(AutoSyncPageTest, ATasksOptionsSheetCarriesTheAutoPage) {
    task_.syncOptions = std::make_unique<CConfigSyncPage>(false);
    task_.filterOptions = std::make_unique<CConfigCompressFilterPage>(false, std::wstring());
    task_.logOptions = std::make_unique<CConfigLogPage>(false);
    auto sheet = MakeTaskOptionsSheet(nullptr, task_);
    sheet->show();
    ASSERT_EQ(sheet->GetPageCount(), 4);
    ASSERT_TRUE(sheet->SetActivePage(2));
    auto* page = qobject_cast<CAutoSync*>(sheet->GetPage(2));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetTitle(), "Auto");
    ClickBox(Control<QCheckBox>(page, IDC_RUN_ON_DEVICE));
    sheet->PressButton(PSBTN_OK);
    EXPECT_EQ(sheet->result(), IDOK);
    EXPECT_EQ(task_.runOnDevice, 1u);
    EXPECT_TRUE(page->Changed());
}

}  // namespace
