#include <gtest/gtest.h>

#include "foundation/program_state.h"
#include "foundation/quoted_list.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/text_utils.h"
#include "platform/core/text.h"
#include "resources/command_ids.h"
#include "support/settings_fixture.h"

namespace {

using SettingsStoreTest = qbtest::SettingsFileTest;

TEST_F(SettingsStoreTest, MissingFileGivesEveryDefault) {
    EXPECT_EQ(ReadSetting(settings::kApplicationLook), ID_STYLE_BLACK);
    EXPECT_EQ(ReadSetting(settings::kSyncType), 1);
    EXPECT_EQ(ReadSetting(settings::kSyncSaveDelete), 1);
    EXPECT_EQ(ReadSetting(settings::kFilterHidden), 1);
    EXPECT_EQ(ReadSettingW(settings::kFolders), L"<Documents> <Pictures> <Music> <Video>");
    EXPECT_EQ(ReadSetting(settings::kAutoScanDefaultType), "*.zip");
}

TEST_F(SettingsStoreTest, WritesLandAsIniTextWithCrLf) {
    ASSERT_TRUE(WriteSetting(settings::kSyncType, 0));
    ASSERT_TRUE(WriteSetting(settings::kSyncDelete, -3));
    ASSERT_TRUE(WriteSetting(settings::kActiveTask, "My Task"));
    EXPECT_EQ(SettingsBytes(), "[Sync]\r\nType=0\r\nDelete=-3\r\n\r\n[Task]\r\nActive=My Task\r\n");
    EXPECT_EQ(ReadSetting(settings::kSyncDelete), -3);
}

TEST_F(SettingsStoreTest, EmptyValueDeletesTheKeySoTheDefaultReturns) {
    ASSERT_TRUE(WriteSettingW(settings::kFolders, L"<Documents>"));
    EXPECT_EQ(ReadSettingW(settings::kFolders), L"<Documents>");
    ASSERT_TRUE(WriteSettingW(settings::kFolders, L""));
    EXPECT_EQ(ReadSettingW(settings::kFolders), L"<Documents> <Pictures> <Music> <Video>");
}

TEST_F(SettingsStoreTest, WideValuesAreStoredAsUtf8) {
    ASSERT_TRUE(WriteSettingW(settings::kFilterExclude, L"\"Fotos \u00e9t\u00e9\" *.\u6587"));
    EXPECT_EQ(ReadSettingW(settings::kFilterExclude), L"\"Fotos \u00e9t\u00e9\" *.\u6587");
    EXPECT_NE(SettingsBytes().find("Exclude=\"Fotos \xc3\xa9t\xc3\xa9\" *.\xe6\x96\x87\r\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, QuotedValuesComeBackVerbatim) {
    ASSERT_TRUE(WriteProfileString("Configuration - AutoScan", "Default Folder", "\"/tmp/My Temp\""));
    EXPECT_EQ(ReadProfileString("Configuration - AutoScan", "Default Folder", ""), "\"/tmp/My Temp\"");
}

TEST_F(SettingsStoreTest, SectionAndKeyNamesIgnoreCase) {
    ASSERT_TRUE(WriteProfileString("Task", "Active", "one"));
    EXPECT_EQ(ReadProfileString("task", "ACTIVE", ""), "one");
    ASSERT_TRUE(WriteProfileString("TASK", "active", "two"));
    EXPECT_EQ(ReadProfileString("Task", "Active", ""), "two");
    EXPECT_EQ(SettingsBytes(), "[Task]\r\nActive=two\r\n");
}

TEST_F(SettingsStoreTest, LongValuesAreCutOnACharacterBoundary) {
    // 2,045 ASCII bytes then a two-byte character: the cut may not split it.
    std::wstring value(2045, L'a');
    value += L"\u00e9\u00e9";
    ASSERT_TRUE(WriteSettingW(settings::kFilterInclude, value));
    const std::string read = ReadSetting(settings::kFilterInclude);
    EXPECT_EQ(read.size(), 2045u);
    EXPECT_EQ(ReadSettingW(settings::kFilterInclude), std::wstring(2045, L'a'));

    ASSERT_TRUE(WriteSetting(settings::kActiveTask, std::string(5000, 'x')));
    EXPECT_EQ(ReadSetting(settings::kActiveTask).size(), kProfileValueLimit);
}

TEST_F(SettingsStoreTest, IntegersOfTheWrongFormReadLeadingDigits) {
    ASSERT_TRUE(WriteProfileString("Sync", "Speed", "12abc"));
    EXPECT_EQ(ReadSetting(settings::kSyncSpeed), 12);
    ASSERT_TRUE(WriteProfileString("Sync", "Speed", "abc"));
    EXPECT_EQ(ReadSetting(settings::kSyncSpeed), 0);
}

TEST_F(SettingsStoreTest, NoPromptLivesInTheUserProfile) {
    ASSERT_TRUE(WriteUserProfileInt(settings::kNoPrompt.section, settings::kNoPrompt.key, 1));
    EXPECT_EQ(ReadUserProfileInt(settings::kNoPrompt.section, settings::kNoPrompt.key, 0), 1);
    EXPECT_EQ(ReadProfileInt(settings::kNoPrompt.section, settings::kNoPrompt.key, 0), 0);
}

TEST_F(SettingsStoreTest, WriteIntoAMissingFolderFails) {
    ProgramState().settingsFile = dir_.sub("no/such/folder/qboptions.ini");
    EXPECT_FALSE(WriteSetting(settings::kSyncType, 2));
    EXPECT_EQ(ReadSetting(settings::kSyncType), 1);
}

TEST(QuotePath, SemicolonListsBecomeQuotedEntriesThatKeepTheirBlanks) {
    const struct {
        std::wstring in;
        std::wstring out;
    } cases[] = {
        {L"/home/me/My Docs/*.*;*.tmp", L"\"/home/me/My Docs/*.*\" \"*.tmp\""},
        {L"\"/home/me/My Docs/*.*\";*.tmp", L"\"/home/me/My Docs/*.*\" \"*.tmp\""},
        {L"a.txt;b c.txt", L"\"a.txt\" \"b c.txt\""},
        {L" ; one ;; \"two words\";three ", L"\"one\" \"two words\" \"three\""},
        {L"*.tmp *.log", L"*.tmp *.log"},      // no ';': the blanks separate
        {L"\"a;b c\" d e", L"\"a;b c\" d e"},  // a quoted ';' belongs to the name
        {L";", L""},
    };
    for (const auto& c : cases) {
        std::wstring text = c.in;
        QuotePath(text);
        EXPECT_EQ(text, c.out) << plat::WideToUtf8(c.in);
    }
    // The run's patterns: the folder with its blank, and the file pattern.
    std::vector<std::wstring> patterns;
    std::wstring text = L"/home/me/My Docs/*.*;*.TMP";
    QuotePath(text);
    std::vector<std::wstring> folders;
    ParseQuotedList(text, patterns, &folders);
    EXPECT_EQ(folders, std::vector<std::wstring>{L"/home/me/my docs/"});
    EXPECT_EQ(patterns, std::vector<std::wstring>{L"*.tmp"});
}

}  // namespace
