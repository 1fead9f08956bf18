#include <gtest/gtest.h>

#include "foundation/options/log_options.h"
#include "foundation/resource_strings.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "resources/control_ids.h"
#include "support/settings_fixture.h"

namespace {

using LogOptionsTest = qbtest::SettingsFileTest;

TEST_F(LogOptionsTest, EmptySettingsFileLogsAtSummaryLevelAndKeepsOldText) {
    const CConfigLogPage page(false);
    EXPECT_EQ(page.log, 1u);
    EXPECT_EQ(page.logLevel, kLogSummary);
    EXPECT_EQ(page.clearLog, 0u);
}

TEST_F(LogOptionsTest, ReadsStoredDefaults) {
    WriteSetting(settings::kLogLevel, 0);
    WriteSetting(settings::kClearLog, 1);
    const CConfigLogPage page(false);
    EXPECT_EQ(page.logLevel, kLogDetailed);
    EXPECT_EQ(page.clearLog, 1u);
    EXPECT_EQ(page.log, 1u);
}

TEST_F(LogOptionsTest, DefaultsPageWritesItsKeysInOrder) {
    CConfigLogPage page(true);
    page.OnOpen();
    ASSERT_TRUE(page.ApplyOk(LogOptionValues{0, kLogDetailed, 1}));
    EXPECT_EQ(SettingsBytes(), "[Configuration - Compress Advanced]\r\nLog=0\r\nClear Log=1\r\nLog Level=0\r\n");
}

TEST_F(LogOptionsTest, TaskPageWritesNothing) {
    CConfigLogPage page(false);
    page.OnOpen();
    ASSERT_TRUE(page.ApplyOk(LogOptionValues{0, kLogDetailed, 1}));
    EXPECT_EQ(page, (LogOptionValues{0, kLogDetailed, 1}));
    EXPECT_EQ(SettingsBytes(), "");
}

TEST_F(LogOptionsTest, LoggingOffKeepsTheLevelAndDisablesTheDetails) {
    CConfigLogPage page(false);
    LogOptionValues controls = page.OnOpen();
    controls.log = 0;
    EXPECT_FALSE(CConfigLogPage::LogDetailsEnabled(controls));
    page.ApplyOk(controls);
    EXPECT_EQ(page.log, 0u);
    EXPECT_EQ(page.logLevel, kLogSummary);
    EXPECT_TRUE(CConfigLogPage::LogDetailsEnabled(LogOptionValues{}));
}

TEST_F(LogOptionsTest, CancelRestoresTheOpeningValues) {
    CConfigLogPage page(false);
    page.OnOpen();
    page.ApplyOk(LogOptionValues{0, kLogDetailed, 1});
    EXPECT_EQ(page.OnCancel(), LogOptionValues());
    EXPECT_EQ(page, LogOptionValues());
}

TEST_F(LogOptionsTest, EachLevelButtonDescribesItsOwnLevel) {
    EXPECT_EQ(CConfigLogPage::HelpTextId(IDC_CREATE_LOG), 11254u);
    EXPECT_EQ(CConfigLogPage::HelpTextId(IDC_SUMMARY_LOG), 11255u);
    EXPECT_EQ(CConfigLogPage::HelpTextId(IDC_DETAILED_LOG), 11256u);
    EXPECT_EQ(CConfigLogPage::HelpTextId(IDC_CLEAR_LOG), 11257u);
    EXPECT_EQ(CConfigLogPage::HelpTextId(4072), 0u);
    EXPECT_EQ(LoadResString(CConfigLogPage::HelpTextId(IDC_SUMMARY_LOG)),
              "When this option is selected, it shows summary of sync/check actions.");
    EXPECT_TRUE(CConfigLogPage::MarksModified(IDC_SUMMARY_LOG));
    EXPECT_FALSE(CConfigLogPage::MarksModified(4072));
}

}  // namespace
