// The task window: rows of a Check's trees, views, folder boxes, help, Tab, column widths.
#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QTimeZone>

#include "controls/tree_property_sheet/help_popup.h"
#include "controls/tree_property_sheet/property_sheet_defs.h"
#include "foundation/settings_store.h"
#include "platform/qt/combo_box_ex.h"
#include "platform/qt/resource_images.h"
#include "support/scoped_time_zone.h"
#include "tests/ui/task_window/task_window_test_support.h"

namespace {

using twtest::HandTrees;
using Names = std::vector<std::wstring>;

class SyncDlgTest : public twtest::TaskWindowTest {
protected:
    // The list rebuilt under `view` as the view command does it (by way of another view
    // when `view` is shown already, which alone does nothing).
    void ShowView(int view) {
        if (Window().ViewKind() == view) {
            ASSERT_EQ(Window().Message(WM_SYNC_VIEW_FILTER, view == 0 ? 1 : 0, 0), 1);
        }
        ASSERT_EQ(Window().Message(WM_SYNC_VIEW_FILTER, static_cast<WPARAM>(view), 0), 1);
    }
    std::wstring Text(const std::wstring& name, int column) { return CellOf(name, column).text; }
};

// Every kind of row, in Left/Right terms, both ways round.
TEST_F(SyncDlgTest, RowsShowEachSideOfTheItem) {
    qbtest::ScopedTimeZone zone("UTC");
    HandTrees trees;
    trees.File(trees.Source(), L"changed.txt", 0x01000C0D, 1536, 999, 1600000000, 1500000000);
    trees.File(trees.Target(), L"right-only.txt", 0x02000810);
    trees.Folder(L"both", 0x00800C81);
    trees.File(trees.Source(), L"conflict.txt", 0x00800E05);
    trees.File(trees.Source(), L"left-deleted.txt", 0x2004480D);
    trees.File(trees.Target(), L"deleted.txt", 0xA4000010);
    // Failed after the user chose its action: why it failed is what the row says.
    trees.File(trees.Source(), L"failed.txt", 0x11040C0D).SetFailure(ERROR_ACCESS_DENIED);
    trees.GiveTo(task_);
    Window().RebuildTaskItems();

    EXPECT_EQ(Text(L"changed.txt", 1), L"1.50KB");
    EXPECT_EQ(Text(L"changed.txt", 4), L"999 bytes");
    EXPECT_EQ(Text(L"changed.txt", 2), FormatItemTime(1600000000));
    EXPECT_EQ(Text(L"changed.txt", 3), L"Copy to right");
    EXPECT_EQ(CellOf(L"changed.txt", 3).image, 2);
    EXPECT_EQ(Text(L"right-only.txt", 1), L"not exists");
    for (int column : {1, 2, 4, 5}) EXPECT_EQ(Text(L"both", column), L"folder") << column;
    EXPECT_EQ(Text(L"conflict.txt", 3), L"Conflict");
    EXPECT_EQ(CellOf(L"conflict.txt", 3).image, 3);
    EXPECT_EQ(CellOf(L"conflict.txt", 6).image, 13);
    EXPECT_EQ(Text(L"left-deleted.txt", 1), L"not exists");
    EXPECT_EQ(Text(L"left-deleted.txt", 6), L"This action has been changed by user.");
    const auto* data =
        reinterpret_cast<const ItemRowData*>(Tree().GetItemData(twtest::Row(Tree(), L"left-deleted.txt")));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->leftPath, "");
    EXPECT_EQ(data->rightPath, "/dst/left-deleted.txt");
    EXPECT_EQ(Text(L"deleted.txt", 6), L"Deleted");
    EXPECT_EQ(CellOf(L"deleted.txt", 6).image, 7);
    EXPECT_EQ(Text(L"failed.txt", 3), L"Error");
    EXPECT_EQ(Text(L"failed.txt", 6), L"(Error: Access Denied)");
    EXPECT_EQ(CellOf(L"failed.txt", 6).image, 13);

    // The task's own row: bold, the program's icon, no row data, the count.
    const HTREEITEM taskRow = Tree().GetRootItem();
    EXPECT_EQ(twtest::Cell(Tree(), taskRow, 0).image, CSyncDlg::kTaskRowImage);
    EXPECT_EQ(Tree().GetItemData(taskRow), 0u);
    EXPECT_NE(Tree().GetItemState(taskRow, TVIS_BOLD) & TVIS_BOLD, 0u);
    EXPECT_EQ(twtest::Cell(Tree(), taskRow, 6).text, L"7 items");

    task_.syncOptions->type = kSyncRightToLeft;  // the source side is the Right folder
    task_.UpdateSyncKind();
    Window().ClearItemList(FALSE);
    Window().RebuildTaskItems();
    EXPECT_EQ(Text(L"changed.txt", 1), L"999 bytes");
    EXPECT_EQ(Text(L"changed.txt", 4), L"1.50KB");
    EXPECT_EQ(Text(L"changed.txt", 3), L"Copy to left");
    EXPECT_EQ(CellOf(L"changed.txt", 3).image, 1);
    EXPECT_EQ(Text(L"right-only.txt", 4), L"not exists");
}

// Times in local time, each from its own day and second also when many share them.
TEST(ItemTimeTexts, LocalDayAndTimeOfEachItem) {
    qbtest::ScopedTimeZone zone("Europe/Berlin");
    ItemTimeTexts texts;
    // Across the change to summer time, a day apart at the same second, before 1970.
    for (LONGLONG utc : {1616893200LL, 1616896800LL, 1616983200LL, 1616896800LL + 86400, -86400LL * 400 + 5}) {
        const QDateTime local = QDateTime::fromSecsSinceEpoch(utc, QTimeZone("Europe/Berlin"));
        const QString expected = QLocale::system().toString(local.date(), QLocale::ShortFormat) + ' ' +
                                 QLocale::system().toString(local.time(), QLocale::ShortFormat);
        EXPECT_EQ(texts.Format(utc), expected.toStdWString()) << utc;
    }
}

// A refreshed row whose remark no longer holds shows none; the task's row has no data.
TEST_F(SyncDlgTest, ARefreshedRowDropsARemarkThatNoLongerHolds) {
    HandTrees trees;
    CFileInfo& record = HandTrees::File(trees.Source(), L"a.txt", 0x01040C0D);
    trees.GiveTo(task_);
    Window().RebuildTaskItems();
    const HTREEITEM row = twtest::Row(Tree(), L"a.txt");
    EXPECT_EQ(record.treeItem, static_cast<int>(row));
    ASSERT_EQ(Text(L"a.txt", 6), L"This action has been changed by user.");

    record.state = ItemState(0x01000C0D);
    EXPECT_EQ(Window().SetItemRow(record, row, FALSE), row);
    EXPECT_EQ(Text(L"a.txt", 6), L"");
    EXPECT_EQ(CellOf(L"a.txt", 6).image, I_IMAGENONE);
    EXPECT_EQ(Window().SetItemRow(record, Tree().GetRootItem(), FALSE), 0u);
}

// Trees that are not whole: a folder without its twin, a node without a folder record, a
// target tree alone, no trees at all (a refused run).
TEST_F(SyncDlgTest, PartialTreesShowWhatTheyHold) {
    HandTrees trees;
    HandTrees::File(trees.Folder(L"fresh", 0x010004A0), L"fresh/n.txt", 0x01000420);
    HandTrees::File(trees.Source()->AppendChild(std::make_unique<FolderTreeNode>()), L"loose.txt", 0x01000420);
    HandTrees::File(trees.Target(), L"t.txt", 0x02000810);
    trees.GiveTo(task_);
    Window().RebuildTaskItems();
    EXPECT_EQ(twtest::RowNames(Tree()), (Names{L"T1", L"fresh", L"n.txt", L"loose.txt", L"t.txt"}));

    Window().ClearItemList(FALSE);
    task_.sourceItems.reset();
    Window().RebuildTaskItems();
    EXPECT_EQ(twtest::RowNames(Tree()), (Names{L"T1", L"t.txt"}));

    task_.runFacts.Update([](TaskRunFacts& facts) { facts.needsAttention = 1; });
    Window().ClearItemList(TRUE);
    EXPECT_TRUE(Window().IsItemListEmpty());
    EXPECT_EQ(task_.targetItems, nullptr);
    EXPECT_EQ(task_.runFacts.Get().needsAttention, 0u);
    Window().RebuildTaskItems();
    EXPECT_TRUE(Window().IsItemListEmpty());
}

class RebuildTest : public SyncDlgTest {
protected:
    // Source: a.txt (source only), b.txt (equal), sub/c.txt (changed); target: d.txt and
    // only/e.txt (target only).
    void SetUp() override {
        HandTrees trees;
        HandTrees::File(trees.Source(), L"a.txt", 0x01000420);
        HandTrees::File(trees.Source(), L"b.txt", 0x00800C01);
        FolderTreeNode* sub = trees.Folder(L"sub", 0x00800C81);
        HandTrees::File(sub, L"sub/c.txt", 0x01000C0D);
        HandTrees::File(sub->counterpart, L"sub/c.txt", 0x01000C0D);
        HandTrees::File(trees.Target(), L"b.txt", 0x00800C01);
        HandTrees::File(trees.Target(), L"d.txt", 0x02000810);
        HandTrees::File(trees.Folder(L"only", 0x02000890), L"only/e.txt", 0x02000810);
        trees.GiveTo(task_);
    }
};

TEST_F(RebuildTest, FoldersFirstAndFoldersTheViewEmptiesHidden) {
    ShowView(0);
    EXPECT_EQ(twtest::RowNames(Tree()),
              (Names{L"T1", L"only", L"e.txt", L"sub", L"c.txt", L"a.txt", L"b.txt", L"d.txt"}));
    EXPECT_EQ(twtest::Cell(Tree(), Tree().GetRootItem(), 6).text, L"7 items");
    ShowView(5);  // "Display New"
    EXPECT_EQ(twtest::RowNames(Tree()), (Names{L"T1", L"only", L"e.txt", L"a.txt", L"d.txt"}));
    EXPECT_EQ(twtest::Cell(Tree(), Tree().GetRootItem(), 6).text, L"4 items");
    EXPECT_EQ(task_.sourceItems->children[0]->folder->treeItem, -1);
    ShowView(3);  // "Display Errors" after a Check without errors
    EXPECT_EQ(twtest::RowNames(Tree()), Names{L"T1"});
    EXPECT_EQ(twtest::Cell(Tree(), Tree().GetRootItem(), 6).text, L"");
}

// Whichever side an item is on and in whatever order the folders were listed, each folder
// lists its folders and then its files by name, as the task's case option compares them.
TEST_F(SyncDlgTest, EachFolderListsItsFoldersThenItsFilesByName) {
    HandTrees trees;
    trees.Folder(L"d97", 0x00800C81);
    trees.Folder(L"d6", 0x00800C81);
    trees.Folder(L"B", 0x02000890);
    trees.Folder(L"a", 0x010004A0);
    HandTrees::File(trees.Source(), L"b.txt", 0x01000420);
    HandTrees::File(trees.Source(), L"Z.txt", 0x01000420);
    HandTrees::File(trees.Target(), L"C.txt", 0x02000810);
    HandTrees::File(trees.Target(), L"a.txt", 0x02000810);
    trees.GiveTo(task_);

    task_.syncOptions->caseSensitive = 0;
    const Names caseBlind{L"T1", L"a", L"B", L"d6", L"d97", L"a.txt", L"b.txt", L"C.txt", L"Z.txt"};
    for (int run = 0; run < 2; ++run) {
        Window().ClearItemList(FALSE);
        Window().RebuildTaskItems();
        EXPECT_EQ(twtest::RowNames(Tree()), caseBlind);
    }
    task_.syncOptions->caseSensitive = 1;
    Window().ClearItemList(FALSE);
    Window().RebuildTaskItems();
    EXPECT_EQ(twtest::RowNames(Tree()),
              (Names{L"T1", L"B", L"a", L"d6", L"d97", L"C.txt", L"Z.txt", L"a.txt", L"b.txt"}));
}

TEST_F(RebuildTest, AViewChangeHoldsTheTaskBusyAndABusyTaskKeepsItsView) {
    ShowView(0);
    taskList_.sent.clear();
    EXPECT_EQ(Window().Message(WM_SYNC_VIEW_FILTER, 0, 0), 1);  // shown already: nothing asked
    EXPECT_TRUE(taskList_.sent.empty());

    taskList_.answer = [](const twtest::Sent& sent) { return sent.message == WM_SYNC_TASK_BUSY ? 0 : 1; };
    EXPECT_EQ(Window().Message(WM_SYNC_VIEW_FILTER, 1, 0), 0);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"T1 is busy.  Try it later!"});
    EXPECT_EQ(Window().ViewKind(), 0);
    EXPECT_EQ(twtest::Rows(Tree()).size(), 8u);

    taskList_.answer = nullptr;
    taskList_.sent.clear();
    bool boxEnabledAtDone = true;
    taskList_.onMessage = [&](const twtest::Sent& sent) {
        if (sent.message == WM_SYNC_TASK_DONE) boxEnabledAtDone = Window().GetDlgItem(IDC_LEFT_FOLDER_BOX)->isEnabled();
    };
    EXPECT_EQ(Window().Message(WM_SYNC_VIEW_FILTER, 1, 0), 1);
    ASSERT_EQ(taskList_.sent.size(), 2u);
    EXPECT_EQ(taskList_.sent[0].message, static_cast<UINT>(WM_SYNC_TASK_BUSY));
    EXPECT_EQ(taskList_.sent[1].message, static_cast<UINT>(WM_SYNC_TASK_DONE));
    for (const twtest::Sent& sent : taskList_.sent) {
        EXPECT_EQ(sent.w, reinterpret_cast<WPARAM>(&task_));
        EXPECT_EQ(sent.l, 3);
    }
    EXPECT_FALSE(boxEnabledAtDone);
    for (int id :
         {IDC_LEFT_FOLDER_BOX, IDC_RIGHT_FOLDER_BOX, IDC_BROWSE_LEFT, IDC_BROWSE_RIGHT, IDC_SYNC_OPTIONS_BUTTON}) {
        EXPECT_TRUE(Window().GetDlgItem(id)->isEnabled()) << id;
    }
    EXPECT_FALSE(Window().IsRunning());
    EXPECT_EQ(Window().Message(WM_SYNC_VIEW_FILTER, 14, 0), 0);  // no such view
    EXPECT_EQ(Window().ViewKind(), 1);
}

TEST_F(RebuildTest, SelectAllTakesEveryItemRowButTheTasksOwn) {
    plat::CmdUI update(ID_SELECT_ALL);
    Window().UpdateCommandUI(update);
    EXPECT_FALSE(update.IsEnabled());
    ShowView(0);
    Window().UpdateCommandUI(update);
    EXPECT_TRUE(update.IsEnabled());
    Window().Message(WM_COMMAND, ID_SELECT_ALL, 0);
    Names selected;
    for (HTREEITEM item = Tree().GetNextSelectedItem(TVI_ROOT); item; item = Tree().GetNextSelectedItem(item)) {
        selected.push_back(twtest::Cell(Tree(), item, 0).text);
    }
    EXPECT_EQ(selected, (Names{L"only", L"e.txt", L"sub", L"c.txt", L"a.txt", L"b.txt", L"d.txt"}));
    window_.reset();  // the window goes; the trees stay with the task
    EXPECT_NE(task_.sourceItems, nullptr);
}

// The task's folders at the head of the histories over the "Folders" setting.
TEST_F(SyncDlgTest, FolderBoxesShowTheTasksFoldersAndOfferTheHistory) {
    task_.leftFolder = L"/a";
    task_.rightFolder = L"/b";
    WriteProfileString("Program Options", "Folders", R"(<Documents> "<My Pictures>" <Music> <Video> /b)");
    Window().show();
    plat::ComboBoxEx* left = Window().FolderBox(0);
    plat::ComboBoxEx* right = Window().FolderBox(1);
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->currentText(), QStringLiteral("/a"));
    EXPECT_EQ(left->Message(CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Window().FolderText(1), L"/b");
    EXPECT_EQ(Window().FolderHistory(0),
              (Names{L"/a", L"<Documents>", L"<My Pictures>", L"<Music>", L"<Video>", L"/b"}));
    EXPECT_EQ(Window().FolderHistory(1), (Names{L"/b", L"<Documents>", L"<My Pictures>", L"<Music>", L"<Video>"}));

    right->showPopup();  // filled as it opens, each time afresh, the text left as it was
    right->hidePopup();
    right->showPopup();
    ASSERT_EQ(right->count(), 5);
    EXPECT_EQ(right->itemText(2), QStringLiteral("<My Pictures>"));
    EXPECT_EQ(right->currentText(), QStringLiteral("/b"));
    right->hidePopup();

    QTest::keyClick(left->lineEdit(), Qt::Key_Return);
    QTest::keyClick(left->lineEdit(), Qt::Key_Escape);
    EXPECT_TRUE(Window().isVisible());
    left->lineEdit()->setText(QString(600, QLatin1Char('x')));
    EXPECT_EQ(Window().ReadFolderBox(0).size(), 500u);

    SyncTask other;  // bound to another task: nothing of the first one's stays
    other.SetDefaults();
    other.leftFolder = L"/c";
    Window().Message(WM_SYNC_TASK_CHANGED, 1, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(Window().FolderHistory(0).front(), L"/c");
    EXPECT_EQ(Window().FolderHistory(1).front(), L"<Documents>");
    EXPECT_EQ(Window().FolderText(1), L"");
    EXPECT_EQ(right->currentText(), QString());
}

TEST_F(SyncDlgTest, OptionsIconHelpAndTabOrder) {
    auto* options = qobject_cast<QAbstractButton*>(Window().GetDlgItem(IDC_SYNC_OPTIONS_BUTTON));
    for (const auto& [type, icon] : {std::pair{3u, 4057}, std::pair{4u, 4056}}) {
        task_.syncOptions->type = type;
        Window().UpdateSyncTypeIcon();
        EXPECT_EQ(options->icon().pixmap(16).toImage(), plat::LoadIconResource(icon).pixmap(16).toImage()) << type;
    }

    const auto help = [&](int id) {
        HELPINFO info;
        info.iCtrlId = id;
        Window().Message(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        QLabel* popup = CurrentHelpPopup();
        const std::string text = popup ? popup->text().toStdString() : std::string();
        if (popup) popup->close();
        return text;
    };
    EXPECT_EQ(help(IDC_BROWSE_LEFT), "Click this button to select Left Folder.");
    EXPECT_EQ(help(IDC_BROWSE_RIGHT), "Click this button to select Right Folder.");
    EXPECT_EQ(help(IDC_ITEM_TREE), "");

    Window().show();
    QApplication::setActiveWindow(&Window());
    QWidget* browse = Window().GetDlgItem(IDC_BROWSE_LEFT);
    QTest::keyClick(browse, Qt::Key_F1);
    ASSERT_NE(CurrentHelpPopup(), nullptr);
    EXPECT_EQ(CurrentHelpPopup()->text(), QStringLiteral("Click this button to select Left Folder."));
    CurrentHelpPopup()->close();

    // Tab walks the top row from left to right, then the tree.
    browse->setFocus();
    std::vector<int> order;
    for (int step = 0; step < 6; ++step) {
        QWidget* focused = QApplication::focusWidget();
        while (focused && focused->objectName().toInt() == 0) focused = focused->parentWidget();
        order.push_back(focused ? focused->objectName().toInt() : 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order, (std::vector<int>{IDC_BROWSE_LEFT, IDC_LEFT_FOLDER_BOX, IDC_SYNC_OPTIONS_BUTTON,
                                       IDC_RIGHT_FOLDER_BOX, IDC_BROWSE_RIGHT, IDC_ITEM_TREE}));
}

TEST_F(SyncDlgTest, ColumnWidthsComeFromTheSettingsAndAreWrittenBack) {
    WriteProfileInt("Sync", "qtab 0", 321);
    EXPECT_EQ(Tree().SendMessage(TLM_GETCOLUMNWIDTH, 0), 321);
    EXPECT_EQ(Tree().SendMessage(TLM_GETCOLUMNWIDTH, 6), 200);
    Tree().SendMessage(TLM_SETCOLUMNWIDTH, 3, 140);
    EXPECT_EQ(Window().Message(WM_SYNC_SAVE_COLUMNS, 0, 0), 1);
    EXPECT_EQ(ReadProfileInt("Sync", "qtab 3", 0), 140);
    EXPECT_EQ(ReadProfileInt("Sync", "qtab 6", 0), 200);
}

}  // namespace
