#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <set>

#include "foundation/quoted_list.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "resources/control_ids.h"
#include "tests/ui/pages/page_test_support.h"
#include "tests/ui/pages/scripted_pickers.h"
#include "ui/pages/filter_options_page.h"

namespace {

using Page = CConfigCompressFilterPage;
using Items = std::vector<std::wstring>;
using pagetest::Choose;
using pagetest::Control;

class FilterPageTest : public pagetest::PageTest {
protected:
    void Open(bool defaults, const std::wstring& startFolder = L"/home/me/work") {
        record = std::make_unique<Page>(defaults, startFolder);
        page = Show(std::make_unique<FilterOptionsPage>(*record));
    }
    QMenu* OpenMenu(int buttonId) {
        QTest::mouseClick(Control<QToolButton>(page, buttonId), Qt::LeftButton);
        QMenu* menu = buttonId == IDC_EXCLUSION_PRESETS ? page->ExclusionMenu() : page->InclusionMenu();
        EXPECT_TRUE(menu->isVisible());
        return menu;
    }
    static QLineEdit* Editor(EditableList* list) { return list->viewport()->findChild<QLineEdit*>(); }

    pagetest::ScriptedPickers pickers;
    std::unique_ptr<Page> record;
    FilterOptionsPage* page = nullptr;
};

TEST_F(FilterPageTest, OpensOnTheRecordAndOkWritesTheFiltersInOrder) {
    WriteSetting(settings::kFilterMode, kFilterModeExclusion);
    WriteSettingW(settings::kFilterExclude, L"*.tmp \"/home/me/My Files/*.*\"");
    Open(true);
    EXPECT_EQ(page->ExclusionList()->Items(), (Items{L"*.tmp", L"\"/home/me/My Files/*.*\""}));
    EXPECT_TRUE(Control<QCheckBox>(page, IDC_USE_EXCLUSION)->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(page, IDC_USE_INCLUSION)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(page, IDC_EXCLUDE_SYSTEM)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(page, IDC_EXCLUDE_HIDDEN)->isChecked());

    page->InclusionList()->AppendItem(L"  *.doc  ", false);
    pagetest::ClickBox(Control<QCheckBox>(page, IDC_USE_INCLUSION));
    pagetest::ClickBox(Control<QCheckBox>(page, IDC_EXCLUDE_HIDDEN));
    pagetest::ClickBox(Control<QCheckBox>(page, IDC_EXCLUDE_READONLY));
    EXPECT_TRUE(page->IsModified());
    PressOk();
    EXPECT_FALSE(sheet_->isVisible());
    EXPECT_EQ(record->filterMode, 3u);
    EXPECT_EQ(record->AttributeMask(), kExcludeReadonlyBit | kExcludeSystemBit);
    EXPECT_EQ(record->includeText, L"*.doc");
    EXPECT_TRUE(record->changed);
    EXPECT_EQ(SettingsBytes(),
              "[Configuration - Filters]\r\nFilter Mode=3\r\nExclude=*.tmp \"/home/me/My Files/*.*\"\r\n"
              "Readonly=1\r\nSystem=1\r\nHidden=0\r\nEmpty=0\r\nInclude=*.doc\r\n");
}

TEST_F(FilterPageTest, ASwitchedOnListWithoutEntriesKeepsThePageOpenWithItsText) {
    Open(true);
    pagetest::ClickBox(Control<QCheckBox>(page, IDC_USE_INCLUSION));
    pagetest::ClickBox(Control<QCheckBox>(page, IDC_EXCLUDE_SYSTEM));
    PressOk();
    EXPECT_TRUE(sheet_->isVisible());
    EXPECT_EQ(Messages(), std::vector<std::string>{
                              "You selected 'Use inclusion filter'; however, you have not entered any filters"});
    EXPECT_TRUE(record->system);
    EXPECT_EQ(SettingsBytes(), "");

    pagetest::ClickBox(Control<QCheckBox>(page, IDC_USE_INCLUSION));
    pagetest::ClickBox(Control<QCheckBox>(page, IDC_USE_EXCLUSION));
    PressOk();
    EXPECT_EQ(Messages().back(), "You selected 'Use exclusion filter'; however, you have not entered any filters");
    EXPECT_TRUE(sheet_->isVisible());
}

TEST_F(FilterPageTest, CancelRestoresTheRecord) {
    WriteSettingW(settings::kFilterExclude, L"*.bak");
    Open(false);
    page->ExclusionList()->AppendItem(L"*.old", false);
    pagetest::ClickBox(Control<QCheckBox>(page, IDC_EXCLUDE_EMPTY));
    record->ApplyOk(page->ReadControls());  // as if an earlier OK had taken them
    PressCancel();
    EXPECT_EQ(record->excludeText, L"*.bak");
    EXPECT_FALSE(record->empty);
    EXPECT_EQ(SettingsBytes(), "[Configuration - Filters]\r\nExclude=*.bak\r\n");
}

TEST_F(FilterPageTest, ExclusionPresetsAddAPatternAFolderFilterAndANewEntry) {
    Open(true);
    EXPECT_EQ(pagetest::MenuTexts(OpenMenu(IDC_EXCLUSION_PRESETS)),
              (std::vector<QString>{"*.TMP", "Browse For Folder...", "New"}));
    ASSERT_TRUE(Choose(page->ExclusionMenu(), "*.TMP"));

    // A chosen folder becomes a folder filter: its path with "/*.*", always quoted.
    pickers.answer = L"/home/me/My Pictures";
    ASSERT_TRUE(Choose(OpenMenu(IDC_EXCLUSION_PRESETS), "Browse For Folder..."));
    EXPECT_EQ(pickers.title, L"Browse Folder To Be Excluded");
    EXPECT_EQ(pickers.start, L"/home/me/work");
    pickers.answer = L"/srv/data";
    Choose(OpenMenu(IDC_EXCLUSION_PRESETS), "Browse For Folder...");
    pickers.answer.reset();
    Choose(OpenMenu(IDC_EXCLUSION_PRESETS), "Browse For Folder...");  // cancelled: nothing added

    ASSERT_TRUE(Choose(OpenMenu(IDC_EXCLUSION_PRESETS), "New"));
    ASSERT_NE(Editor(page->ExclusionList()), nullptr);
    QTest::keyClick(Editor(page->ExclusionList()), Qt::Key_Return);
    EXPECT_EQ(page->ExclusionList()->Items(),
              (Items{L"*.tmp", L"\"/home/me/My Pictures/*.*\"", L"\"/srv/data/*.*\"", L"New"}));
    EXPECT_TRUE(page->IsModified());

    // Saved and read back, the folder with blanks is still one entry and a folder filter.
    pagetest::ClickBox(Control<QCheckBox>(page, IDC_USE_EXCLUSION));
    PressOk();
    const Page reread(false, L"");
    Items entries;
    SplitQuotedList(reread.excludeText, entries);
    EXPECT_EQ(entries, (Items{L"*.tmp", L"\"/home/me/My Pictures/*.*\"", L"\"/srv/data/*.*\"", L"New"}));
    std::vector<std::wstring> patterns, folders;
    ParseQuotedList(record->excludeText, patterns, &folders);
    EXPECT_EQ(folders, (Items{L"/home/me/my pictures/", L"/srv/data/"}));
}

TEST_F(FilterPageTest, InclusionPresetsAddTheirPatternsAndAChosenFileName) {
    Open(false);
    EXPECT_EQ(pagetest::MenuTexts(OpenMenu(IDC_INCLUSION_PRESETS)),
              (std::vector<QString>{"Picture Extensions", "Document Files", "PDF", "Music Files", "Video Files", "New",
                                    "Browse For File Name..."}));
    page->InclusionMenu()->close();
    for (const char* preset : {"Picture Extensions", "Document Files", "PDF", "Music Files", "Video Files"}) {
        ASSERT_TRUE(Choose(OpenMenu(IDC_INCLUSION_PRESETS), preset)) << preset;
    }
    pickers.answer = L"/home/me/Music/My Song.mp3";
    ASSERT_TRUE(Choose(OpenMenu(IDC_INCLUSION_PRESETS), "Browse For File Name..."));
    EXPECT_EQ(pickers.title, L"Get File Name");
    EXPECT_NE(Editor(page->InclusionList()), nullptr);  // opened for editing
    EXPECT_EQ(page->InclusionList()->Items(),
              (Items{L"*.bmp *.gif *.jp2 *.jpx *.jpk *.j2k *.jpc *.j2c *.jpg *.jpeg *.jpe *.jif *.jfif *.pict *.psd "
                     L"*.raw *.tif *.tiff *.wmf *.xif *.x3f",
                     L"*.doc *.txt *.rtf", L"*.pdf", L"*.mp3 *.m4p *.wav *.m3u",
                     L"*.mpeg *.mpg *.mpe *.wma *.wmv *.avi *.mov *.rmvb *.asf *.ogm *.ogg *.rm *.divx",
                     L"\"My Song.mp3\""}));
}

TEST_F(FilterPageTest, ItemsAreEditedInPlaceByASecondClickAndTakenAsTyped) {
    WriteSettingW(settings::kFilterExclude, L"*.tmp *.bak");
    Open(false);
    EditableList* list = page->ExclusionList();
    const QPoint second(20, list->visualItemRect(list->topLevelItem(1)).center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(Editor(list), nullptr);  // the first click only selects
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QLineEdit* editor = Editor(list);
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, " *.old  ");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();     // the list takes the text once the key is handled
    EXPECT_TRUE(sheet_->isVisible());  // Return ends the editing, not the sheet
    EXPECT_EQ(list->Items(), (Items{L"*.tmp", L" *.old  "}));
    EXPECT_TRUE(page->IsModified());
    PressOk();
    EXPECT_EQ(record->excludeText, L"*.tmp *.old");
}

TEST_F(FilterPageTest, RemoveTakesTheSelectedEntriesOrSaysNoneIsSelected) {
    WriteSettingW(settings::kFilterInclude, L"*.a *.b *.c");
    Open(false);
    QTest::mouseClick(Control<QToolButton>(page, IDC_REMOVE_INCLUSION), Qt::LeftButton);
    EXPECT_EQ(Messages(), std::vector<std::string>{"There are no items selected to remove"});
    EXPECT_FALSE(page->IsModified());

    EditableList* list = page->InclusionList();
    list->topLevelItem(0)->setSelected(true);
    list->topLevelItem(2)->setSelected(true);
    QTest::mouseClick(Control<QToolButton>(page, IDC_REMOVE_INCLUSION), Qt::LeftButton);
    EXPECT_EQ(list->Items(), (Items{L"*.b"}));
    EXPECT_TRUE(page->IsModified());
}

TEST_F(FilterPageTest, EveryControlShowsHelpOfItsOwn) {
    Open(false);
    std::set<QString> texts;
    for (int id : {IDC_USE_EXCLUSION, IDC_USE_INCLUSION, IDC_EXCLUSION_LIST, IDC_INCLUSION_LIST, IDC_EXCLUSION_PRESETS,
                   IDC_INCLUSION_PRESETS, IDC_REMOVE_EXCLUSION, IDC_REMOVE_INCLUSION, IDC_EXCLUDE_READONLY,
                   IDC_EXCLUDE_SYSTEM, IDC_EXCLUDE_HIDDEN, IDC_EXCLUDE_EMPTY}) {
        const QString text = pagetest::HelpPopupText(page, id);
        EXPECT_FALSE(text.isEmpty()) << id;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), 12u);
    EXPECT_EQ(pagetest::HelpPopupText(page, IDC_REMOVE_EXCLUSION),
              "Removes the selected entries from the exclusion list.");
}

}  // namespace
