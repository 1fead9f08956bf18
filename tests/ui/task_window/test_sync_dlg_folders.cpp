// A task window's folder commands, the label form of folders on removable disks, and
// the option sheets with what follows from them.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <unistd.h>

#include "controls/text_progress_bar.h"
#include "controls/tree_property_sheet/property_sheet.h"
#include "foundation/history_store.h"
#include "foundation/options/filter_options.h"
#include "foundation/options/log_options.h"
#include "foundation/program_state.h"
#include "foundation/registry_utils.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/task_store.h"
#include "platform/core/file_system.h"
#include "platform/core/text.h"
#include "platform/qt/combo_box_ex.h"
#include "platform/qt/resource_images.h"
#include "resources/image_ids.h"
#include "support/scoped_env.h"
#include "tests/ui/modal_answer.h"
#include "tests/ui/task_window/task_window_test_support.h"
#include "ui/dialogs/prompt_dlg.h"

namespace {

using twtest::HandTrees;

// The folder picker answers from the test.
class PickedFolder : public plat::QtGuiServices {
public:
    std::optional<std::wstring> BrowseForFolder(HWND, const std::wstring& dialogTitle, const std::wstring&) override {
        title = dialogTitle;
        return answer;
    }
    std::optional<std::wstring> answer;
    std::wstring title;
};

class FolderCommandTest : public twtest::TaskWindowTest {
protected:
    FolderCommandTest() {
        ProgramState().dataFolder = dir_.sub("Data") + "/";
        for (const char* folder : {"Data", "a", "b", "c"}) plat::CreateFolderWithParents(dir_.sub(folder));
        task_.filterOptions = std::make_unique<CConfigCompressFilterPage>(false, std::wstring());
        task_.logOptions = std::make_unique<CConfigLogPage>(false);
        task_.leftFolder = W("a");
        task_.rightFolder = W("b");
        EXPECT_TRUE(WriteTaskRecord(task_).written);
    }
    std::wstring W(const char* name) const { return plat::Utf8ToWide(dir_.sub(name)); }
    void ShowARow() {
        HandTrees trees;
        HandTrees::File(trees.Source(), L"x.txt", 0x01000C0D);
        trees.GiveTo(task_);
        Window().RebuildTaskItems();
    }
    // The stored task's folders, a folder change in the history, the list gone.
    void ExpectStoredAndReset(const std::wstring& left, const std::wstring& right) {
        const std::unique_ptr<SyncTask> stored = LoadTaskRecord("T1");
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->leftFolder, left);
        EXPECT_EQ(stored->rightFolder, right);
        const auto history = ReadHistoryRecords(0);
        ASSERT_TRUE(history && !history->records.empty());
        EXPECT_EQ(history->records.back().type, static_cast<DWORD>(kHistoryTaskChanged));
        EXPECT_EQ(history->records.back().code, kHistoryChangeFolders);
        EXPECT_TRUE(Window().IsItemListEmpty());
        EXPECT_FALSE(task_.sourceItems);
        EXPECT_EQ(StatusLine(), "All items have been removed due to folder change");
        plat::ProcessPendingMessages();
        EXPECT_TRUE(std::any_of(frame_.sent.begin(), frame_.sent.end(),
                                [](const twtest::Sent& s) { return s.message == WM_SYNC_TASK_CHANGED; }));
        frame_.sent.clear();
    }
    std::string StatusLine() {
        return qobject_cast<CTextProgressCtrl*>(Window().GetDlgItem(IDC_STATUS_LINE))->WindowText().toStdString();
    }
};

TEST_F(FolderCommandTest, BrowseAListChoiceAndEnterEachStoreTheFolderAndEmptyTheList) {
    PickedFolder picker;
    ShowARow();
    picker.answer = W("c");
    QTest::mouseClick(qobject_cast<QAbstractButton*>(Window().GetDlgItem(IDC_BROWSE_LEFT)), Qt::LeftButton);
    EXPECT_EQ(picker.title, L"Left Folder");
    EXPECT_EQ(Window().ReadFolderBox(0), W("c"));
    EXPECT_EQ(Window().FolderHistory(0).front(), W("c"));
    ExpectStoredAndReset(W("c"), W("b"));

    // The list offers a's folder again below c.
    ShowARow();
    Window().FillFolderBox(0);
    const auto& history = Window().FolderHistory(0);
    const auto at = std::find(history.begin(), history.end(), W("a"));
    ASSERT_NE(at, history.end());
    Window().FolderBox(0)->Message(CB_SETCURSEL, static_cast<WPARAM>(at - history.begin()), 0);
    Window().Message(WM_COMMAND, MAKELONG(IDC_LEFT_FOLDER_BOX, CBN_SELCHANGE), 0);
    ExpectStoredAndReset(W("a"), W("b"));

    // Enter takes the typed text and resolves the new folder.
    ShowARow();
    QLineEdit* right = Window().FolderBox(1)->lineEdit();
    right->setText(QString::fromStdWString(W("c")));
    QTest::keyClick(right, Qt::Key_Return);
    ExpectStoredAndReset(W("a"), W("c"));
    EXPECT_EQ(task_.targetFolder, W("c"));
    EXPECT_EQ(Window().Message(WM_SYNC_STORE_FOLDERS, 0, 0), 1);
}

TEST_F(FolderCommandTest, AFolderOnALabelledRemovableVolumeIsStoredByItsLabel) {
    // /media/u/CARD a removable card, / a fixed disk, /media/u/MUSIC a card labelled so.
    qbtest::WriteFileBytes(dir_.sub("vol/mounts"),
                           "/dev/vda1 / ext4 rw 0 0\n"
                           "/dev/sdb1 " +
                               dir_.sub("media/CARD") +
                               " vfat rw 0 0\n"
                               "/dev/sdc1 " +
                               dir_.sub("media/MUSIC") +
                               " vfat rw 0 0\n"
                               "/dev/sdd1 " +
                               dir_.sub("media/blank") + " vfat rw 0 0\n");
    for (const char* disk : {"sdb", "sdc", "sdd"}) {
        qbtest::WriteFileBytes(dir_.sub(std::string("vol/sys/block/") + disk + "/removable"), "1\n");
        plat::CreateFolderWithParents(dir_.sub(std::string("vol/sys/block/") + disk + "/" + disk + "1"));
    }
    qbtest::WriteFileBytes(dir_.sub("vol/sys/block/vda/removable"), "0\n");
    plat::CreateFolderWithParents(dir_.sub("vol/sys/block/vda/vda1"));
    plat::CreateFolderWithParents(dir_.sub("vol/by-label"));
    ASSERT_EQ(symlink("../../sdb1", dir_.sub("vol/by-label/CARD").c_str()), 0);
    ASSERT_EQ(symlink("../../sdc1", dir_.sub("vol/by-label/MUSIC").c_str()), 0);
    for (const char* folder : {"media/CARD/Photos", "media/MUSIC/x", "media/blank/y"}) {
        plat::CreateFolderWithParents(dir_.sub(folder));
    }
    plat::VolumeSources sources{dir_.sub("vol/mounts"), dir_.sub("vol/by-label"), dir_.sub("vol/sys")};
    Window().SetVolumeSources(sources);

    EXPECT_EQ(Window().ToVolumeLabelPath(W("media/CARD/Photos")), L"<CARD>:/Photos");
    EXPECT_EQ(Window().ToVolumeLabelPath(W("a")), W("a"));  // a fixed disk
    EXPECT_EQ(Window().ToVolumeLabelPath(L"<DOCUMENTS>/x"), L"<DOCUMENTS>/x");
    EXPECT_EQ(Window().ToVolumeLabelPath(W("media/MUSIC/x")), W("media/MUSIC/x"));  // a placeholder's name

    // No label: the user is asked for one, which cannot be set here; the path stays.
    std::string asked;
    uitest::WhenModal([](QWidget* dialog) { uitest::TypeAndAccept(dialog, QStringLiteral("NEWNAME")); });
    EXPECT_EQ(Window().ToVolumeLabelPath(W("media/blank/y")), W("media/blank/y"));
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes().back(), "Failed to set volume '" + dir_.sub("media/blank") + "' name as 'NEWNAME'");
}

TEST_F(FolderCommandTest, OptionsThatChangeTheDecisionsEmptyTheListAndCancelChangesNothing) {
    task_.syncOptions->type = 0;
    task_.UpdateSyncKind();
    struct Case {
        std::function<void(QWidget*)> change;  // on the sheet, before OK
        const char* status;
    };
    const Case cases[] = {
        {[](QWidget* sheet) {
             auto* types = sheet->findChild<QComboBox*>(QString::number(IDC_SYNC_TYPE_LIST));
             types->setCurrentIndex(3);
             emit types->activated(3);
         },
         "All items have been removed due to sync type change"},
        {[](QWidget* sheet) { sheet->findChild<QCheckBox*>(QString::number(IDC_ALLOW_DELETIONS))->click(); },
         "All items have been removed due to sync option change"},
    };
    for (const Case& c : cases) {
        ShowARow();
        uitest::WhenModal([&c](QWidget* sheet) {
            c.change(sheet);
            sheet->findChild<QPushButton*>(QString::number(IDOK))->click();
        });
        EXPECT_EQ(Window().Message(WM_SYNC_TASK_OPTIONS, 0, 0), 1);
        EXPECT_EQ(StatusLine(), c.status);
        EXPECT_TRUE(Window().IsItemListEmpty());
    }
    EXPECT_EQ(task_.syncOptions->type, 3u);
    const QImage shown =
        qobject_cast<QAbstractButton*>(Window().GetDlgItem(IDC_SYNC_OPTIONS_BUTTON))->icon().pixmap(24).toImage();
    EXPECT_EQ(shown, plat::LoadIconResource(res::kSyncTypeIcons[3]).pixmap(24).toImage());
    const auto history = ReadHistoryRecords(0);
    ASSERT_TRUE(history && !history->records.empty());
    EXPECT_EQ(history->records.back().code, kHistoryChangeOptions);

    ShowARow();
    const DWORD records = CountHistoryRecords();
    uitest::WhenModal([](QWidget* sheet) {
        sheet->findChild<QCheckBox*>(QString::number(IDC_ALLOW_DELETIONS))->click();
        qobject_cast<QDialog*>(sheet)->reject();
    });
    EXPECT_EQ(Window().Message(WM_SYNC_TASK_OPTIONS, 0, 0), 0);
    EXPECT_FALSE(Window().IsItemListEmpty());
    EXPECT_EQ(CountHistoryRecords(), records);
}

TEST_F(FolderCommandTest, AutomatingAScheduleAsksOnceToStartTheSchedulerAtLogon) {
    const qbtest::ScopedEnv config("XDG_CONFIG_HOME", dir_.sub("config"));
    ProgramState().programFolder = dir_.sub("program") + "/";
    qbtest::WriteFileBytes(dir_.sub("program/brelvane"), "#!/bin/sh\n");
    constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    task_.scheduleOn = 1;

    for (const bool yes : {false, true}) {
        bool prompted = false;
        uitest::WhenModal([&](QWidget* sheet) {
            qobject_cast<QDialog*>(sheet)->accept();
            uitest::WhenModal([&](QWidget* prompt) {
                prompted = prompt->inherits("CPromptDlg");
                prompt->findChild<QCheckBox*>(QString::number(IDC_DO_NOT_ASK))->setChecked(yes);
                prompt->findChild<QPushButton*>(QString::number(yes ? IDOK : IDC_PROMPT_NO))->click();
            });
        });
        EXPECT_EQ(Window().Message(WM_SYNC_AUTOMATE, 0, 0), 1);
        EXPECT_TRUE(prompted);
        EXPECT_EQ(RegReadString(plat::RegRoot::CurrentUser, kRunKey, "QBSync", "").empty(), !yes);
        EXPECT_EQ(ReadUserProfileInt(settings::kNoPrompt.section, settings::kNoPrompt.key, 0), yes ? 1 : 0);
    }
    const auto history = ReadHistoryRecords(0);
    ASSERT_TRUE(history && !history->records.empty());
    EXPECT_EQ(history->records.back().code, kHistoryChangeAuto);
}

}  // namespace
