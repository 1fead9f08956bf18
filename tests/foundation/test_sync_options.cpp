#include <gtest/gtest.h>

#include "foundation/options/sync_options.h"
#include "foundation/program_state.h"
#include "foundation/resource_strings.h"
#include "resources/control_ids.h"
#include "support/settings_fixture.h"

namespace {

using SyncOptionsTest = qbtest::SettingsFileTest;

SyncOptionValues Changed() {
    SyncOptionValues v;
    v.type = kBackupRightToLeft;
    v.speed = 3;
    v.allowDelete = 1;
    v.saveDelete = 0;
    v.lock = 1;
    v.caseSensitive = 0;
    v.readOnly = 0;
    v.readOnlyTarget = 0;
    return v;
}

TEST_F(SyncOptionsTest, EmptySettingsFileGivesTheDefaults) {
    const CConfigSyncPage page(false);
    EXPECT_EQ(page.type, 1u);
    EXPECT_EQ(page.speed, 0u);
    EXPECT_EQ(page.allowDelete, 0u);
    EXPECT_EQ(page.saveDelete, 1u);
    EXPECT_EQ(page.lock, 0u);
    EXPECT_EQ(page.caseSensitive, 1u);
    EXPECT_EQ(page.readOnly, 1u);
    EXPECT_EQ(page.readOnlyTarget, 1u);
    EXPECT_EQ(static_cast<const SyncOptionValues&>(page), SyncOptionValues());
}

TEST_F(SyncOptionsTest, DefaultsPageWritesEveryKeyInItsOrder) {
    CConfigSyncPage page(true);
    page.OnOpen();
    ASSERT_TRUE(page.ApplyOk(Changed()));
    EXPECT_EQ(SettingsBytes(),
              "[Sync]\r\nType=4\r\nDelete=1\r\nSave Delete=0\r\nLock=1\r\nRead Only=0\r\n"
              "Read Only Target=0\r\nCase Sensitive=0\r\nSpeed=3\r\n");

    // A task made afterwards takes the new defaults.
    const CConfigSyncPage task(false);
    EXPECT_EQ(static_cast<const SyncOptionValues&>(task), Changed());
}

TEST_F(SyncOptionsTest, TaskPageKeepsItsValuesButWritesNothing) {
    CConfigSyncPage page(false);
    page.OnOpen();
    ASSERT_TRUE(page.ApplyOk(Changed()));
    EXPECT_EQ(static_cast<const SyncOptionValues&>(page), Changed());
    EXPECT_EQ(SettingsBytes(), "");
}

TEST_F(SyncOptionsTest, CancelRestoresWhatThePageOpenedWith) {
    CConfigSyncPage page(false);
    page.type = kSyncMirror;
    EXPECT_EQ(page.OnOpen().type, kSyncMirror);
    page.ApplyOk(Changed());  // Apply, then Cancel on the same showing
    const SyncOptionValues& shown = page.OnCancel();
    EXPECT_EQ(shown.type, kSyncMirror);
    SyncOptionValues expected;
    expected.type = kSyncMirror;
    EXPECT_EQ(static_cast<const SyncOptionValues&>(page), expected);
}

TEST_F(SyncOptionsTest, CancelBeforeAnyOpeningChangesNothing) {
    CConfigSyncPage page(false);
    page.lock = 1;
    page.OnCancel();
    EXPECT_EQ(page.lock, 1u);
}

TEST_F(SyncOptionsTest, UnwritableSettingsFileIsReported) {
    ProgramState().settingsFile = dir_.sub("missing-folder/qboptions.ini");
    CConfigSyncPage page(true);
    page.OnOpen();
    EXPECT_FALSE(page.ApplyOk(Changed()));
    EXPECT_EQ(page.type, kBackupRightToLeft);
}

TEST_F(SyncOptionsTest, HelpFollowsTheTypeSelectedBeforeOk) {
    CConfigSyncPage page(false);
    SyncOptionValues controls = page.OnOpen();
    EXPECT_EQ(CConfigSyncPage::HelpTextId(IDC_SYNC_TYPE_LIST, controls), 11259u);
    EXPECT_EQ(CConfigSyncPage::HelpTextId(IDC_ALLOW_DELETIONS, controls), 11264u);

    controls.type = kSyncMirror;  // changed in the list, not yet confirmed
    EXPECT_EQ(CConfigSyncPage::HelpTextId(IDC_SYNC_TYPE_LIST, controls), 11258u);
    EXPECT_EQ(CConfigSyncPage::HelpTextId(IDC_ALLOW_DELETIONS, controls), 11263u);
    EXPECT_EQ(page.type, kSyncLeftToRight);

    for (DWORD type = 0; type <= 4; ++type) {
        controls.type = type;
        EXPECT_EQ(CConfigSyncPage::HelpTextId(IDC_SYNC_TYPE_LIST, controls), 11258u + type);
    }
    controls.type = 9;
    EXPECT_EQ(CConfigSyncPage::HelpTextId(IDC_SYNC_TYPE_LIST, controls), 0u);
}

TEST_F(SyncOptionsTest, HelpOfTheOtherControls) {
    const SyncOptionValues controls;
    EXPECT_EQ(CConfigSyncPage::HelpTextId(IDC_SAVE_DELETED, controls), 11265u);
    EXPECT_EQ(CConfigSyncPage::HelpTextId(IDC_SHADOW_COPY, controls), 11266u);
    EXPECT_EQ(CConfigSyncPage::HelpTextId(IDC_SOURCE_READ_ONLY, controls), 11267u);
    EXPECT_EQ(CConfigSyncPage::HelpTextId(IDC_TARGET_READ_ONLY, controls), 11269u);
    EXPECT_EQ(CConfigSyncPage::HelpTextId(IDC_CASE_SENSITIVE, controls), 11271u);
    EXPECT_EQ(CConfigSyncPage::HelpTextId(IDC_SPEED_LIST, controls), 0u);
    EXPECT_EQ(LoadResString(CConfigSyncPage::HelpTextId(IDC_CASE_SENSITIVE, controls)),
              "If the option is checked off, files and folders comparisons are case sensitive.");
}

TEST_F(SyncOptionsTest, EveryEditingControlMarksThePageModified) {
    for (int id : {6016, 6030, 8833, 8834, 8835, 8836, 8837, 8838}) EXPECT_TRUE(CConfigSyncPage::MarksModified(id));
    EXPECT_FALSE(CConfigSyncPage::MarksModified(1));
}

}  // namespace
