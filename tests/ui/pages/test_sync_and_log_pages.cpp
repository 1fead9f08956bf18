#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>

#include "foundation/resource_strings.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "tests/ui/pages/page_test_support.h"
#include "ui/pages/log_options_page.h"
#include "ui/pages/sync_options_page.h"

namespace {

using pagetest::Control;
using pagetest::HelpPopupText;

class SyncPageTest : public pagetest::PageTest {
protected:
    void Click(int id) { pagetest::ClickBox(Control<QCheckBox>(page, id)); }
    void ChooseType(int index) { Control<QComboBox>(page, CConfigSyncPage::kTypeListId)->setCurrentIndex(index); }

    SyncOptionsPage* page = nullptr;
};

TEST_F(SyncPageTest, ControlsShowTheRecordAndOkWritesTheDefaultsInOrder) {
    CConfigSyncPage record(true);
    page = Show(std::make_unique<SyncOptionsPage>(record));
    EXPECT_EQ(Control<QComboBox>(page, CConfigSyncPage::kTypeListId)->currentText(), "Sync from Left to Right");
    EXPECT_EQ(Control<QComboBox>(page, CConfigSyncPage::kSpeedListId)->currentText(), "No limit");
    EXPECT_FALSE(Control<QCheckBox>(page, CConfigSyncPage::kAllowDeleteId)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(page, CConfigSyncPage::kSaveDeleteId)->isChecked());
    EXPECT_EQ(Control<QCheckBox>(page, CConfigSyncPage::kReadOnlyTargetId)->text(),
              "Do not write program data to the Target folder");

    ChooseType(kBackupRightToLeft);
    Control<QComboBox>(page, CConfigSyncPage::kSpeedListId)->setCurrentIndex(2);
    Click(CConfigSyncPage::kAllowDeleteId);
    Click(CConfigSyncPage::kCaseSensitiveId);
    EXPECT_TRUE(page->IsModified());
    PressOk();
    EXPECT_FALSE(sheet_->isVisible());
    EXPECT_EQ(record.type, kBackupRightToLeft);
    EXPECT_EQ(record.speed, 2u);
    EXPECT_EQ(record.allowDelete, 1u);
    EXPECT_EQ(record.caseSensitive, 0u);
    EXPECT_EQ(SettingsBytes(),
              "[Sync]\r\nType=4\r\nDelete=1\r\nSave Delete=1\r\nLock=0\r\nRead Only=1\r\n"
              "Read Only Target=1\r\nCase Sensitive=0\r\nSpeed=2\r\n");
}

TEST_F(SyncPageTest, ATaskPageChangesItsRecordOnlyAndCancelRestoresIt) {
    CConfigSyncPage record(false);
    page = Show(std::make_unique<SyncOptionsPage>(record));
    Click(CConfigSyncPage::kLockId);
    PressOk();
    EXPECT_EQ(record.lock, 1u);
    EXPECT_EQ(SettingsBytes(), "");

    page = Show(std::make_unique<SyncOptionsPage>(record));
    Click(CConfigSyncPage::kLockId);
    ChooseType(kSyncMirror);
    record.ApplyOk(page->ReadControls());  // as if an earlier OK had taken them
    PressCancel();
    EXPECT_EQ(record.lock, 1u);
    EXPECT_EQ(record.type, kSyncLeftToRight);
}

TEST_F(SyncPageTest, HelpFollowsTheTypeChosenBeforeOk) {
    CConfigSyncPage record(false);
    page = Show(std::make_unique<SyncOptionsPage>(record));
    const QString typeHelp[] = {"Mirror will keep left and right folder in sync when files changes in both folders.",
                                QString::fromStdString(LoadResString(11259))};
    EXPECT_EQ(HelpPopupText(page, CConfigSyncPage::kTypeListId), typeHelp[1]);
    EXPECT_EQ(HelpPopupText(page, CConfigSyncPage::kAllowDeleteId), QString::fromStdString(LoadResString(11264)));
    ChooseType(kSyncMirror);
    EXPECT_EQ(HelpPopupText(page, CConfigSyncPage::kTypeListId), typeHelp[0]);
    EXPECT_EQ(HelpPopupText(page, CConfigSyncPage::kAllowDeleteId), QString::fromStdString(LoadResString(11263)));
    EXPECT_EQ(HelpPopupText(page, CConfigSyncPage::kReadOnlyId),
              "If the option is checked off, the catalog file, log file, and backup folder for the Source folder "
              "will be created in Program folder.");
    EXPECT_EQ(HelpPopupText(page, CConfigSyncPage::kSpeedListId), "");
}

TEST_F(SyncPageTest, AStoredTypeOutsideTheListIsKeptRatherThanLost) {
    WriteSetting(settings::kSyncType, 9);
    CConfigSyncPage record(true);
    page = Show(std::make_unique<SyncOptionsPage>(record));
    EXPECT_EQ(Control<QComboBox>(page, CConfigSyncPage::kTypeListId)->currentIndex(), -1);
    PressOk();
    EXPECT_EQ(record.type, 9u);
    EXPECT_EQ(ReadSetting(settings::kSyncType), 9);
}

class LogPageTest : public pagetest::PageTest {
protected:
    bool DetailsEnabled() const {
        return page->GetDlgItem(CConfigLogPage::kDetailedLogId)->isEnabled() &&
               page->GetDlgItem(CConfigLogPage::kSummaryLogId)->isEnabled() &&
               page->GetDlgItem(CConfigLogPage::kClearLogId)->isEnabled();
    }
    LogOptionsPage* page = nullptr;
};

TEST_F(LogPageTest, LogOffGreysTheDetailsFromTheStartAndOkKeepsTheLevel) {
    WriteSetting(settings::kLog, 0);
    WriteSetting(settings::kLogLevel, 0);
    CConfigLogPage record(true);
    page = Show(std::make_unique<LogOptionsPage>(record));
    EXPECT_FALSE(DetailsEnabled());
    EXPECT_TRUE(Control<QRadioButton>(page, CConfigLogPage::kDetailedLogId)->isChecked());

    auto* createLog = Control<QCheckBox>(page, CConfigLogPage::kCreateLogId);
    pagetest::ClickBox(createLog);
    EXPECT_TRUE(DetailsEnabled());
    pagetest::ClickBox(Control<QCheckBox>(page, CConfigLogPage::kClearLogId));
    EXPECT_TRUE(page->IsModified());
    pagetest::ClickBox(createLog);
    EXPECT_FALSE(DetailsEnabled());

    PressOk();
    EXPECT_EQ(record.log, 0u);
    EXPECT_EQ(record.logLevel, static_cast<DWORD>(kLogDetailed));
    EXPECT_EQ(record.clearLog, 1u);
    EXPECT_EQ(SettingsBytes(), "[Configuration - Compress Advanced]\r\nLog=0\r\nLog Level=0\r\nClear Log=1\r\n");
}

TEST_F(LogPageTest, EachControlHasItsOwnHelpAndCancelRestores) {
    CConfigLogPage record(false);
    page = Show(std::make_unique<LogOptionsPage>(record));
    EXPECT_EQ(HelpPopupText(page, CConfigLogPage::kDetailedLogId),
              "When this option is selected, it shows details of sync/check actions including operation of each "
              "file.");
    EXPECT_EQ(HelpPopupText(page, CConfigLogPage::kSummaryLogId),
              "When this option is selected, it shows summary of sync/check actions.");
    EXPECT_EQ(Control<QRadioButton>(page, CConfigLogPage::kSummaryLogId)->text(), "S&ummary log");

    pagetest::ClickBox(Control<QRadioButton>(page, CConfigLogPage::kDetailedLogId));
    PressCancel();
    EXPECT_EQ(record.logLevel, static_cast<DWORD>(kLogSummary));
    EXPECT_EQ(SettingsBytes(), "");
}

}  // namespace
