#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "resources/control_ids.h"
#include "resources/dialog_ids.h"
#include "tests/ui/pages/page_test_support.h"
#include "ui/pages/options_sheets.h"

namespace {

using pagetest::Control;
using TreePropSheet::CTreePropSheet;

std::vector<std::string> PageTitles(const CTreePropSheet& sheet) {
    std::vector<std::string> titles;
    for (int i = 0; i < sheet.GetPageCount(); ++i) titles.push_back(sheet.GetPage(i)->GetTitle());
    return titles;
}

void VisitEveryPage(CTreePropSheet& sheet) {
    for (int i = sheet.GetPageCount() - 1; i >= 0; --i) ASSERT_TRUE(sheet.SetActivePage(i));
}

class OptionsSheetTest : public pagetest::PageTest {};

TEST_F(OptionsSheetTest, DefaultOptionsShowsFourPagesWithoutApplyOrHelp) {
    DefaultOptionsSheet defaults;
    CTreePropSheet& sheet = defaults.Sheet();
    sheet.show();
    EXPECT_EQ(sheet.windowTitle(), "Default Options");
    EXPECT_EQ(PageTitles(sheet), (std::vector<std::string>{"Sync Options", "Filters", "Log", "Program"}));
    EXPECT_EQ(sheet.GetPageTreeControl()->topLevelItemCount(), 4);
    EXPECT_TRUE(sheet.GetButton(ID_APPLY_NOW)->isHidden());
    EXPECT_TRUE(sheet.GetButton(IDHELP)->isHidden());
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
}

TEST_F(OptionsSheetTest, DefaultOptionsOkWritesEveryPageToTheSettingsFile) {
    DefaultOptionsSheet defaults;
    CTreePropSheet& sheet = defaults.Sheet();
    sheet.show();
    VisitEveryPage(sheet);
    Control<QComboBox>(sheet.GetPage(0), IDC_SYNC_TYPE_LIST)->setCurrentIndex(kSyncMirror);
    pagetest::ClickBox(Control<QCheckBox>(sheet.GetPage(2), IDC_CLEAR_LOG));
    sheet.PressButton(PSBTN_OK);
    EXPECT_EQ(sheet.result(), IDOK);
    EXPECT_EQ(defaults.SyncOptions().type, kSyncMirror);
    EXPECT_EQ(SettingsBytes(),
              "[Sync]\r\nType=0\r\nDelete=0\r\nSave Delete=1\r\nLock=0\r\nRead Only=1\r\nRead Only Target=1\r\n"
              "Case Sensitive=1\r\nSpeed=0\r\n\r\n"
              "[Configuration - Filters]\r\nFilter Mode=0\r\nReadonly=0\r\nSystem=1\r\nHidden=1\r\nEmpty=0\r\n\r\n"
              "[Configuration - Compress Advanced]\r\nLog=1\r\nClear Log=1\r\nLog Level=1\r\n\r\n"
              "[Program Options]\r\nFolders=<Documents> <Pictures> <Music> <Video>\r\n");
}

TEST_F(OptionsSheetTest, ARefusalOnOnePageLeavesEveryPageUnwritten) {
    DefaultOptionsSheet defaults;
    CTreePropSheet& sheet = defaults.Sheet();
    sheet.show();
    Control<QComboBox>(sheet.GetPage(0), IDC_SYNC_TYPE_LIST)->setCurrentIndex(kBackupLeftToRight);
    ASSERT_TRUE(sheet.SetActivePage(1));
    pagetest::ClickBox(Control<QCheckBox>(sheet.GetPage(1), IDC_USE_EXCLUSION));
    ASSERT_TRUE(sheet.SetActivePage(3));
    sheet.PressButton(PSBTN_OK);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{
                              "You selected 'Use exclusion filter'; however, you have not entered any filters"});
    EXPECT_EQ(SettingsBytes(), "");
    EXPECT_EQ(defaults.SyncOptions().type, kSyncLeftToRight);

    sheet.PressButton(PSBTN_CANCEL);
    EXPECT_EQ(sheet.result(), IDCANCEL);
    EXPECT_EQ(SettingsBytes(), "");
}

TEST_F(OptionsSheetTest, ATaskSheetChangesOnlyTheTasksRecords) {
    CConfigSyncPage sync(false);
    CConfigCompressFilterPage filter(false, L"/home/me");
    CConfigLogPage log(false);
    auto automaticRun = std::make_unique<CPropertyPage>(IDD_AUTO_PAGE, "Auto");
    auto sheet = MakeTaskOptionsSheet(nullptr, sync, filter, log, std::move(automaticRun));
    EXPECT_EQ(sheet->windowTitle(), "Sync Options");
    EXPECT_EQ(PageTitles(*sheet), (std::vector<std::string>{"Sync Options", "Filters", "Auto", "Log"}));
    sheet->show();
    EXPECT_TRUE(sheet->GetButton(ID_APPLY_NOW)->isHidden());
    pagetest::ClickBox(Control<QCheckBox>(sheet->GetPage(0), IDC_ALLOW_DELETIONS));
    sheet->PressButton(PSBTN_OK);
    EXPECT_EQ(sheet->result(), IDOK);
    EXPECT_EQ(sync.allowDelete, 1u);
    EXPECT_EQ(SettingsBytes(), "");
}

TEST_F(OptionsSheetTest, HelpSaysPlainlyWhenNoHelpFileIsInstalled) {
    DefaultOptionsSheet defaults;
    CTreePropSheet& sheet = defaults.Sheet();
    sheet.flags |= PSH_HASHELP;
    sheet.show();
    ASSERT_TRUE(sheet.SetActivePage(3));
    sheet.PressButton(PSBTN_HELP);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "No help file is installed: \"" + dir_.path() + "/qbsync.chm\" does not exist.");
    EXPECT_EQ(boxes_.Requests()[0].caption, "Quarrybend Sync VEXO");
}

}  // namespace
