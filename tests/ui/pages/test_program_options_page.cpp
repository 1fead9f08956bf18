#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>

#include "controls/image_list.h"
#include "foundation/path_utils.h"
#include "foundation/registry_utils.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "platform/core/file_info.h"
#include "platform/core/registry.h"
#include "platform/qt/resource_images.h"
#include "resources/control_ids.h"
#include "resources/image_ids.h"
#include "support/scoped_env.h"
#include "tests/ui/pages/page_test_support.h"
#include "tests/ui/pages/scripted_pickers.h"
#include "ui/pages/program_options_page.h"

namespace {

using Items = std::vector<std::wstring>;
using Page = CConfigProgramPage;
using pagetest::Choose;
using pagetest::Control;

class ProgramPageTest : public pagetest::PageTest {
protected:
    QMenu* OpenAddMenu() {
        QTest::mouseClick(Control<QToolButton>(page, IDC_ADD_FOLDER), Qt::LeftButton);
        EXPECT_TRUE(page->AddMenu()->isVisible());
        return page->AddMenu();
    }
    std::string RunValue() const {
        return RegReadString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Quarrybend Sync",
                             "");
    }

    pagetest::ScriptedPickers pickers;
    Page* page = nullptr;
    // The registry store and the autostart entries live in the test's own folder.
    const qbtest::ScopedEnv configHome_{"XDG_CONFIG_HOME", dir_.sub("config")};
};

TEST_F(ProgramPageTest, OpensWithTheDefaultFoldersAndTheStartBoxDisabled) {
    page = Show(std::make_unique<Page>());
    auto* box = Control<QCheckBox>(page, IDC_AUTOSTART);
    EXPECT_FALSE(box->isEnabled());
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(box->text(), "Load on Windows Startup and stay in Notification Area");
    EXPECT_EQ(page->FolderList()->Items(), (Items{L"<Documents>", L"<Pictures>", L"<Music>", L"<Video>"}));
    EXPECT_EQ(page->HelpTopic(), 10001u);
}

TEST_F(ProgramPageTest, ListButtonsShowTheRibbonsAddAndRemoveImages) {
    page = Show(std::make_unique<Page>());
    ImageList strip(16, 16);
    strip.AddStrip(plat::LoadBitmapResource(res::kRibbonSmallImages), QColor::fromRgb(res::kImageMaskColour));
    const auto shown = [&](int id) { return Control<QToolButton>(page, id)->icon().pixmap(16, 16).toImage(); };
    EXPECT_EQ(shown(IDC_ADD_FOLDER), strip.Pixmap(13).toImage());
    EXPECT_EQ(shown(IDC_REMOVE_FOLDER), strip.Pixmap(10).toImage());
}

TEST_F(ProgramPageTest, AddMenuEntriesAndOkWriteTheFoldersButNeverTheRegistry) {
    page = Show(std::make_unique<Page>());
    EXPECT_EQ(pagetest::MenuTexts(OpenAddMenu()), (std::vector<QString>{"Documents", "Pictures", "Music", "Video",
                                                                        "Desktop", "Browse For Folder...", "New"}));
    ASSERT_TRUE(Choose(page->AddMenu(), "Desktop"));
    pickers.answer = L"/home/me/My Files";
    ASSERT_TRUE(Choose(OpenAddMenu(), "Browse For Folder..."));
    EXPECT_EQ(pickers.title, L"Get Folder Name");
    ASSERT_TRUE(Choose(OpenAddMenu(), "New"));
    QLineEdit* editor = page->FolderList()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("/srv/share"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(page->IsModified());

    PressOk();
    EXPECT_FALSE(sheet_->isVisible());
    EXPECT_EQ(SettingsBytes(),
              "[Program Options]\r\nFolders=<Documents> <Pictures> <Music> <Video> <DESKTOPDIRECTORY> "
              "\"/home/me/My Files\" /srv/share\r\n");
    EXPECT_FALSE(plat::PathExists(plat::RegistryStorePath()));

    // Read again, the quoted folder is still one entry.
    page = Show(std::make_unique<Page>());
    EXPECT_EQ(page->FolderList()->Items().at(5), L"\"/home/me/My Files\"");
}

TEST_F(ProgramPageTest, RemovingEveryFolderBringsTheDefaultsBack) {
    WriteSettingW(settings::kFolders, L"/data");
    page = Show(std::make_unique<Page>());
    QTest::mouseClick(Control<QToolButton>(page, IDC_REMOVE_FOLDER), Qt::LeftButton);
    EXPECT_EQ(Messages(), std::vector<std::string>{"There are no items selected to remove"});
    page->FolderList()->selectAll();
    QTest::mouseClick(Control<QToolButton>(page, IDC_REMOVE_FOLDER), Qt::LeftButton);
    PressOk();
    EXPECT_EQ(SettingsBytes(), "[Program Options]\r\n");
    page = Show(std::make_unique<Page>());
    EXPECT_EQ(page->FolderList()->Items(), (Items{L"<Documents>", L"<Pictures>", L"<Music>", L"<Video>"}));
}

TEST_F(ProgramPageTest, OutsideTheSettingsFileTheStartIsARunValue) {
    ProgramState().useIniFile = false;
    page = Show(std::make_unique<Page>());
    auto* box = Control<QCheckBox>(page, IDC_AUTOSTART);
    ASSERT_TRUE(box->isEnabled());
    pagetest::ClickBox(box);
    PressOk();
    EXPECT_EQ(RunValue(), "\"" + GetFullExeName() + "\" /load");
    EXPECT_EQ(ReadSetting(settings::kTrayIcon), 1);

    page = Show(std::make_unique<Page>());
    EXPECT_TRUE(Control<QCheckBox>(page, IDC_AUTOSTART)->isChecked());
    pagetest::ClickBox(Control<QCheckBox>(page, IDC_AUTOSTART));
    PressOk();
    EXPECT_EQ(RunValue(), "");
    EXPECT_EQ(ReadSetting(settings::kTrayIcon), 0);
}

}  // namespace
