#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>

#include "foundation/resource_strings.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "resources/control_ids.h"
#include "tests/ui/pages/page_test_support.h"
#include "ui/pages/log_options_page.h"
#include "ui/pages/sync_options_page.h"

namespace {

using pagetest::Control;
using pagetest::HelpPopupText;

class SyncPageTest : public pagetest::PageTest {
protected:
    void Click(int id) { pagetest::ClickBox(Control<QCheckBox>(page, id)); }
    void ChooseType(int index) { Control<QComboBox>(page, IDC_SYNC_TYPE_LIST)->setCurrentIndex(index); }

    SyncOptionsPage* page = nullptr;
};

TEST_F(SyncPageTest, ControlsShowTheRecordAndOkWritesTheDefaultsInOrder) {
    CConfigSyncPage record(true);
    page = Show(std::make_unique<SyncOptionsPage>(record));
    EXPECT_EQ(Control<QComboBox>(page, IDC_SYNC_TYPE_LIST)->currentText(), "Sync from Left to Right");
    EXPECT_EQ(Control<QComboBox>(page, IDC_SPEED_LIST)->currentText(), "No limit");
    EXPECT_FALSE(Control<QCheckBox>(page, IDC_ALLOW_DELETIONS)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(page, IDC_SAVE_DELETED)->isChecked());
    EXPECT_EQ(Control<QCheckBox>(page, IDC_TARGET_READ_ONLY)->text(), "Do not write program data to the Target folder");

    ChooseType(kBackupRightToLeft);
    Control<QComboBox>(page, IDC_SPEED_LIST)->setCurrentIndex(2);
    Click(IDC_ALLOW_DELETIONS);
    Click(IDC_CASE_SENSITIVE);
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
    Click(IDC_SHADOW_COPY);
    PressOk();
    EXPECT_EQ(record.lock, 1u);
    EXPECT_EQ(SettingsBytes(), "");

    page = Show(std::make_unique<SyncOptionsPage>(record));
    Click(IDC_SHADOW_COPY);
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
                                QString::fromStdString(LoadResString(IDS_SYNC_TYPE_LEFT_TO_RIGHT_HELP))};
    EXPECT_EQ(HelpPopupText(page, IDC_SYNC_TYPE_LIST), typeHelp[1]);
    EXPECT_EQ(HelpPopupText(page, IDC_ALLOW_DELETIONS),
              QString::fromStdString(LoadResString(IDS_ALLOW_DELETIONS_HELP)));
    ChooseType(kSyncMirror);
    EXPECT_EQ(HelpPopupText(page, IDC_SYNC_TYPE_LIST), typeHelp[0]);
    EXPECT_EQ(HelpPopupText(page, IDC_ALLOW_DELETIONS),
              QString::fromStdString(LoadResString(IDS_ALLOW_DELETIONS_MIRROR_HELP)));
    EXPECT_EQ(HelpPopupText(page, IDC_SOURCE_READ_ONLY),
              "If the option is checked off, the catalog file, log file, and backup folder for the Source folder "
              "will be created in Program folder.");
    EXPECT_EQ(HelpPopupText(page, IDC_SPEED_LIST), "");
}

TEST_F(SyncPageTest, AStoredTypeOutsideTheListIsKeptRatherThanLost) {
    WriteSetting(settings::kSyncType, 9);
    CConfigSyncPage record(true);
    page = Show(std::make_unique<SyncOptionsPage>(record));
    EXPECT_EQ(Control<QComboBox>(page, IDC_SYNC_TYPE_LIST)->currentIndex(), -1);
    PressOk();
    EXPECT_EQ(record.type, 9u);
    EXPECT_EQ(ReadSetting(settings::kSyncType), 9);
}

class LogPageTest : public pagetest::PageTest {
protected:
    bool DetailsEnabled() const {
        return page->GetDlgItem(IDC_DETAILED_LOG)->isEnabled() && page->GetDlgItem(IDC_SUMMARY_LOG)->isEnabled() &&
               page->GetDlgItem(IDC_CLEAR_LOG)->isEnabled();
    }
    LogOptionsPage* page = nullptr;
};

TEST_F(LogPageTest, LogOffGreysTheDetailsFromTheStartAndOkKeepsTheLevel) {
    WriteSetting(settings::kLog, 0);
    WriteSetting(settings::kLogLevel, 0);
    CConfigLogPage record(true);
    page = Show(std::make_unique<LogOptionsPage>(record));
    EXPECT_FALSE(DetailsEnabled());
    EXPECT_TRUE(Control<QRadioButton>(page, IDC_DETAILED_LOG)->isChecked());

    auto* createLog = Control<QCheckBox>(page, IDC_CREATE_LOG);
    pagetest::ClickBox(createLog);
    EXPECT_TRUE(DetailsEnabled());
    pagetest::ClickBox(Control<QCheckBox>(page, IDC_CLEAR_LOG));
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
    EXPECT_EQ(HelpPopupText(page, IDC_DETAILED_LOG),
              "When this option is selected, it shows details of sync/check actions including operation of each "
              "file.");
    EXPECT_EQ(HelpPopupText(page, IDC_SUMMARY_LOG),
              "When this option is selected, it shows summary of sync/check actions.");
    EXPECT_EQ(Control<QRadioButton>(page, IDC_SUMMARY_LOG)->text(), "S&ummary log");

    pagetest::ClickBox(Control<QRadioButton>(page, IDC_DETAILED_LOG));
    PressCancel();
    EXPECT_EQ(record.logLevel, static_cast<DWORD>(kLogSummary));
    EXPECT_EQ(SettingsBytes(), "");
}

}  // namespace
