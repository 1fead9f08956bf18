// The task window's item tree and views, its folder boxes, help and column widths.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QDateTime>
#include <QLocale>
#include <QTest>
#include <QTimeZone>

#include "controls/tree_property_sheet/help_popup.h"
#include "controls/tree_property_sheet/property_sheet_defs.h"
#include "foundation/settings_store.h"
#include "platform/core/text.h"
#include "platform/qt/combo_box_ex.h"
#include "platform/qt/resource_images.h"
#include "support/scoped_time_zone.h"
#include "tests/ui/task_window/task_window_test_support.h"
#include "ui/task_window/item_row.h"

namespace {

using twtest::HandTrees;

class SyncDlgTest : public twtest::TaskWindowTest {
protected:
    // The list rebuilt under `view` through the window's own message.
    // The list rebuilt under `view` as a view command does it (through another view when
    // `view` is the one shown, which alone does nothing).
    void ShowView(int view) {
        if (Window().ViewKind() == view) {
            ASSERT_EQ(Window().Message(WM_SYNC_VIEW_FILTER, view == 0 ? 1 : 0, 0), 1);
        }
        ASSERT_EQ(Window().Message(WM_SYNC_VIEW_FILTER, static_cast<WPARAM>(view), 0), 1);
    }
};

// Every kind of row, in Left/Right terms, both ways round.
TEST_F(SyncDlgTest, RowsShowEachSideOfTheItem) {
    qbtest::ScopedTimeZone zone("UTC");
    HandTrees trees;
    trees.File(trees.Source(), L"changed.txt", 0x01000C0D, 1536, 999, 1600000000, 1500000000);
    trees.File(trees.Target(), L"right-only.txt", 0x02000810);
    FolderTreeNode* folder = trees.Folder(L"both", 0x00800C81);
    trees.File(trees.Source(), L"conflict.txt", 0x00800E05);
    trees.File(trees.Source(), L"left-deleted.txt", 0x2004480D);
    trees.File(trees.Target(), L"deleted.txt", 0xA4000010);
    ASSERT_NE(folder, nullptr);
    trees.GiveTo(task_);
    Window().RebuildTaskItems();

    const HTREEITEM changed = Row(L"changed.txt");
    EXPECT_EQ(Cell(changed, 1), L"1.50KB");
    EXPECT_EQ(Cell(changed, 4), L"999 bytes");
    EXPECT_EQ(Cell(changed, 2), FormatItemTime(1600000000));
    EXPECT_EQ(Cell(changed, 5), FormatItemTime(1500000000));
    EXPECT_NE(Cell(changed, 2), Cell(changed, 5));
    EXPECT_EQ(Cell(changed, 3), L"Copy to right");
    EXPECT_EQ(Image(changed, 3), 2);

    const HTREEITEM rightOnly = Row(L"right-only.txt");
    EXPECT_EQ(Cell(rightOnly, 1), L"not exists");
    EXPECT_EQ(Cell(rightOnly, 2), L"not exists");
    EXPECT_EQ(Cell(rightOnly, 4), L"100 bytes");

    const HTREEITEM both = Row(L"both");
    for (int column : {1, 2, 4, 5}) EXPECT_EQ(Cell(both, column), L"folder") << column;

    const HTREEITEM conflict = Row(L"conflict.txt");
    EXPECT_EQ(Cell(conflict, 3), L"Conflict");
    EXPECT_EQ(Image(conflict, 3), 3);
    EXPECT_EQ(Cell(conflict, 6), L"Conflict");
    EXPECT_EQ(Image(conflict, 6), 13);

    const HTREEITEM leftDeleted = Row(L"left-deleted.txt");
    EXPECT_EQ(Cell(leftDeleted, 1), L"not exists");
    EXPECT_EQ(Cell(leftDeleted, 6), L"This action has been changed by user.");
    EXPECT_EQ(Image(leftDeleted, 6), 13);
    const auto* data = reinterpret_cast<const ItemRowData*>(Tree().GetItemData(leftDeleted));
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->leftPath.empty());
    EXPECT_EQ(data->rightPath, L"/dst/left-deleted.txt");
    EXPECT_EQ(data->state, 0x2004480Du);

    const HTREEITEM deleted = Row(L"deleted.txt");
    EXPECT_EQ(Cell(deleted, 6), L"Deleted");
    EXPECT_EQ(Image(deleted, 6), 7);

    // The task's own row: bold, the program's icon, no row data, and the count.
    const HTREEITEM taskRow = Tree().GetRootItem();
    EXPECT_EQ(Cell(taskRow, 0), L"T1");
    EXPECT_EQ(Image(taskRow, 0), CSyncDlg::kTaskRowImage);
    EXPECT_EQ(Tree().GetItemData(taskRow), 0u);
    EXPECT_NE(Tree().GetItemState(taskRow, TVIS_BOLD) & TVIS_BOLD, 0u);
    EXPECT_EQ(Cell(taskRow, 6), L"6 items");

    // Swapped, the source side is the Right folder.
    task_.syncOptions->type = kSyncRightToLeft;
    task_.UpdateSyncKind();
    ASSERT_EQ(task_.swapped, 1u);
    Window().ClearItemList(FALSE);
    Window().RebuildTaskItems();
    const HTREEITEM swapped = Row(L"changed.txt");
    EXPECT_EQ(Cell(swapped, 1), L"999 bytes");
    EXPECT_EQ(Cell(swapped, 4), L"1.50KB");
    EXPECT_EQ(Cell(swapped, 3), L"Copy to left");
    EXPECT_EQ(Image(swapped, 3), 1);
    EXPECT_EQ(Cell(Row(L"right-only.txt"), 4), L"not exists");
}

// Times shown in local time, each from its own day and second also when many share them.
TEST(ItemTimeTexts, LocalDayAndTimeOfEachItem) {
    qbtest::ScopedTimeZone zone("Europe/Berlin");
    const QTimeZone berlin("Europe/Berlin");
    ItemTimeTexts texts;
    const QLocale locale = QLocale::system();
    // Across the change to summer time, a day apart at the same UTC second, before 1970.
    for (LONGLONG utc : {1616893200LL, 1616896800LL, 1616983200LL, 1616896800LL + 86400, -86400LL * 400 + 5, 0LL}) {
        const QDateTime expected = QDateTime::fromSecsSinceEpoch(utc, berlin);
        const std::wstring text = locale.toString(expected.date(), QLocale::ShortFormat).toStdWString() + L" " +
                                  locale.toString(expected.time(), QLocale::ShortFormat).toStdWString();
        EXPECT_EQ(texts.Format(utc), text) << utc;
    }
}

// A refreshed row whose remark no longer holds shows none.
TEST_F(SyncDlgTest, ARefreshedRowDropsARemarkThatNoLongerHolds) {
    HandTrees trees;
    CFileInfo& record = trees.File(trees.Source(), L"a.txt", 0x01040C0D);
    trees.GiveTo(task_);
    Window().RebuildTaskItems();
    const HTREEITEM row = Row(L"a.txt");
    ASSERT_EQ(Cell(row, 6), L"This action has been changed by user.");
    EXPECT_EQ(record.treeItem, static_cast<int>(row));

    record.state = ItemState(0x01000C0D);
    EXPECT_EQ(Window().SetItemRow(record, row, FALSE), row);
    EXPECT_EQ(Cell(row, 6), L"");
    EXPECT_EQ(Image(row, 6), I_IMAGENONE);
    EXPECT_EQ(reinterpret_cast<const ItemRowData*>(Tree().GetItemData(row))->state, 0x01000C0Du);
    // The task's row has no data: a refresh of it does nothing.
    EXPECT_EQ(Window().SetItemRow(record, Tree().GetRootItem(), FALSE), 0u);
}

class RebuildTest : public SyncDlgTest {
protected:
    // Source: a.txt (source only), b.txt (equal), sub/c.txt (changed); target: d.txt and
    // only/e.txt (target only).
    void SetUp() override {
        HandTrees trees;
        trees.File(trees.Source(), L"a.txt", 0x01000420);
        trees.File(trees.Source(), L"b.txt", 0x00800C01);
        FolderTreeNode* sub = trees.Folder(L"sub", 0x00800C81);
        trees.File(sub, L"sub/c.txt", 0x01000C0D);
        trees.File(sub->counterpart, L"sub/c.txt", 0x01000C0D);
        trees.File(trees.Target(), L"b.txt", 0x00800C01);
        trees.File(trees.Target(), L"d.txt", 0x02000810);
        FolderTreeNode* only = trees.Folder(L"only", 0x02000890);
        trees.File(only, L"only/e.txt", 0x02000810);
        trees.GiveTo(task_);
    }
};

TEST_F(RebuildTest, FoldersFirstThenFilesTargetOnlyLastAndEmptyFoldersHidden) {
    ShowView(0);
    EXPECT_EQ(RowNames(),
              (std::vector<std::wstring>{L"T1", L"sub", L"c.txt", L"only", L"e.txt", L"a.txt", L"b.txt", L"d.txt"}));
    EXPECT_EQ(Cell(Tree().GetRootItem(), 6), L"7 items");
    EXPECT_EQ(task_.sourceItems->children[0]->folder->treeItem, static_cast<int>(Row(L"sub")));

    ShowView(5);  // "Display New": sub holds nothing new and goes
    EXPECT_EQ(RowNames(), (std::vector<std::wstring>{L"T1", L"only", L"e.txt", L"a.txt", L"d.txt"}));
    EXPECT_EQ(Cell(Tree().GetRootItem(), 6), L"4 items");
    EXPECT_EQ(task_.sourceItems->children[0]->folder->treeItem, -1);

    ShowView(3);  // "Display Errors" after a Check without errors
    EXPECT_EQ(RowNames(), std::vector<std::wstring>{L"T1"});
    EXPECT_EQ(Cell(Tree().GetRootItem(), 6), L"");

    // A refused run leaves no trees: no row at all, and no crash.
    task_.sourceItems.reset();
    task_.targetItems.reset();
    ShowView(0);
    EXPECT_TRUE(Window().IsItemListEmpty());
    EXPECT_FALSE(Window().RebuildItemList(nullptr, nullptr, TVI_ROOT));
}

// Trees that are not whole: a folder without its twin, a node without a folder record,
// a target tree alone.
TEST_F(SyncDlgTest, PartialTreesShowWhatTheyHold) {
    HandTrees trees;
    FolderTreeNode* fresh = trees.Folder(L"fresh", 0x010004A0);
    ASSERT_EQ(fresh->counterpart, nullptr);
    trees.File(fresh, L"fresh/n.txt", 0x01000420);
    FolderTreeNode* unnamed = trees.Source()->AppendChild(std::make_unique<FolderTreeNode>());
    trees.File(unnamed, L"loose.txt", 0x01000420);
    trees.File(trees.Target(), L"t.txt", 0x02000810);
    trees.GiveTo(task_);
    Window().RebuildTaskItems();
    EXPECT_EQ(RowNames(), (std::vector<std::wstring>{L"T1", L"fresh", L"n.txt", L"loose.txt", L"t.txt"}));
    EXPECT_EQ(Cell(Row(L"fresh"), 4), L"not exists");

    Window().ClearItemList(FALSE);
    task_.sourceItems.reset();
    Window().RebuildTaskItems();
    EXPECT_EQ(RowNames(), (std::vector<std::wstring>{L"T1", L"t.txt"}));
}

TEST_F(RebuildTest, AViewChangeHoldsTheTaskBusyAndIsRefusedWhileItIsBusy) {
    ShowView(0);
    std::vector<bool> boxEnabledAtDone;
    taskList_.onMessage = [&](const twtest::Sent& sent) {
        if (sent.message == WM_SYNC_TASK_DONE) {
            boxEnabledAtDone.push_back(Window().GetDlgItem(CSyncDlg::kLeftFolderBoxId)->isEnabled());
            EXPECT_TRUE(Window().IsRunning());
        }
    };
    taskList_.sent.clear();

    // The view shown already: nothing asked, nothing changed.
    EXPECT_EQ(Window().Message(WM_SYNC_VIEW_FILTER, 0, 0), 1);
    EXPECT_TRUE(taskList_.sent.empty());

    // A busy task keeps its view.
    taskList_.answer = [](const twtest::Sent& sent) { return sent.message == WM_SYNC_TASK_BUSY ? 0 : 1; };
    EXPECT_EQ(Window().Message(WM_SYNC_VIEW_FILTER, 1, 0), 0);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"T1 is busy.  Try it later!"});
    EXPECT_EQ(Window().ViewKind(), 0);
    EXPECT_EQ(RowNames().size(), 8u);
    EXPECT_TRUE(taskList_.Of(WM_SYNC_TASK_DONE).empty());

    taskList_.answer = nullptr;
    taskList_.sent.clear();
    EXPECT_EQ(Window().Message(WM_SYNC_VIEW_FILTER, 1, 0), 1);
    ASSERT_EQ(taskList_.sent.size(), 2u);
    EXPECT_EQ(taskList_.sent[0].message, static_cast<UINT>(WM_SYNC_TASK_BUSY));
    EXPECT_EQ(taskList_.sent[1].message, static_cast<UINT>(WM_SYNC_TASK_DONE));
    for (const twtest::Sent& sent : taskList_.sent) {
        EXPECT_EQ(sent.w, reinterpret_cast<WPARAM>(&task_));
        EXPECT_EQ(sent.l, 3);
    }
    EXPECT_EQ(boxEnabledAtDone, std::vector<bool>{false});
    for (int id : {CSyncDlg::kLeftFolderBoxId, CSyncDlg::kRightFolderBoxId, CSyncDlg::kBrowseLeftId,
                   CSyncDlg::kBrowseRightId, CSyncDlg::kOptionsId}) {
        EXPECT_TRUE(Window().GetDlgItem(id)->isEnabled()) << id;
    }
    EXPECT_FALSE(Window().IsRunning());
    EXPECT_EQ(Window().ViewKind(), 1);
    // A kind no view has changes nothing.
    EXPECT_EQ(Window().Message(WM_SYNC_VIEW_FILTER, 14, 0), 0);
    EXPECT_EQ(Window().ViewKind(), 1);
}

TEST_F(RebuildTest, SelectAllTakesEveryItemRowButTheTasksOwn) {
    plat::CmdUI update(CSyncDlg::kSelectAllCommand);
    Window().UpdateCommandUI(update);
    EXPECT_FALSE(update.IsEnabled());  // an empty list

    ShowView(0);
    Window().UpdateCommandUI(update);
    EXPECT_TRUE(update.IsEnabled());
    Window().Message(WM_COMMAND, CSyncDlg::kSelectAllCommand, 0);
    std::vector<std::wstring> selected;
    for (HTREEITEM item = Tree().GetNextSelectedItem(TVI_ROOT); item; item = Tree().GetNextSelectedItem(item)) {
        selected.push_back(Cell(item, 0));
    }
    EXPECT_EQ(selected,
              (std::vector<std::wstring>{L"sub", L"c.txt", L"only", L"e.txt", L"a.txt", L"b.txt", L"d.txt"}));
}

TEST_F(RebuildTest, ClosingTheWindowKeepsTheTreesAndClearingCanFreeThem) {
    ShowView(0);
    window_.reset();
    ASSERT_NE(task_.sourceItems, nullptr);
    ASSERT_NE(task_.targetItems, nullptr);

    task_.needsAttention = 1;
    ShowView(0);
    Window().ClearItemList(TRUE);
    EXPECT_TRUE(Window().IsItemListEmpty());
    EXPECT_EQ(task_.sourceItems, nullptr);
    EXPECT_EQ(task_.targetItems, nullptr);
    EXPECT_EQ(task_.needsAttention, 0u);
}

// Folder boxes: the task's folders at the head of the histories over the "Folders" setting.
TEST_F(SyncDlgTest, FolderBoxesShowTheTasksFoldersAndOfferTheHistory) {
    task_.leftFolder = L"/a";
    task_.rightFolder = L"/b";
    WriteProfileString("Program Options", "Folders", R"(<Documents> "<My Pictures>" <Music> <Video> /b)");
    Window().show();
    plat::ComboBoxEx* left = Window().FolderBox(0);
    plat::ComboBoxEx* right = Window().FolderBox(1);
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(left->currentText(), QStringLiteral("/a"));
    EXPECT_EQ(right->currentText(), QStringLiteral("/b"));
    EXPECT_EQ(left->Message(CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Window().FolderText(0), L"/a");
    EXPECT_EQ(Window().FolderText(1), L"/b");
    EXPECT_EQ(Window().FolderHistory(0),
              (std::vector<std::wstring>{L"/a", L"<Documents>", L"<My Pictures>", L"<Music>", L"<Video>", L"/b"}));
    EXPECT_EQ(Window().FolderHistory(1),
              (std::vector<std::wstring>{L"/b", L"<Documents>", L"<My Pictures>", L"<Music>", L"<Video>"}));
    EXPECT_EQ(Window().ReadFolderBox(0), L"/a");

    // Opening the list fills it from the history, each time afresh, and leaves the text.
    right->showPopup();
    ASSERT_EQ(right->count(), 5);
    EXPECT_EQ(right->itemText(0), QStringLiteral("/b"));
    EXPECT_EQ(right->itemText(2), QStringLiteral("<My Pictures>"));
    right->hidePopup();
    right->showPopup();
    EXPECT_EQ(right->count(), 5);
    EXPECT_EQ(right->currentText(), QStringLiteral("/b"));
    right->hidePopup();

    // Enter and Esc in a box never close the window.
    QTest::keyClick(left->lineEdit(), Qt::Key_Return);
    QTest::keyClick(left->lineEdit(), Qt::Key_Escape);
    EXPECT_TRUE(Window().isVisible());

    // A text longer than the box takes is read up to its limit.
    left->lineEdit()->setText(QString(600, QLatin1Char('x')));
    EXPECT_EQ(Window().ReadFolderBox(0).size(), 500u);

    // Another task: its folders, no trace of the first one's.
    SyncTask other;
    other.SetDefaults();
    other.leftFolder = L"/c";
    Window().Message(WM_SYNC_TASK_CHANGED, 1, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(Window().FolderHistory(0).front(), L"/c");
    EXPECT_EQ(Window().FolderHistory(1).front(), L"<Documents>");
    EXPECT_EQ(Window().FolderText(1), L"");
    EXPECT_EQ(right->currentText(), QString());
    EXPECT_EQ(Window().TaskRow(), 1);
}

TEST_F(SyncDlgTest, OptionsButtonShowsTheSyncTypeAndHelpNamesEachControl) {
    for (DWORD type : {0u, 1u, 2u, 3u, 4u}) {
        task_.syncOptions->type = type;
        Window().UpdateSyncTypeIcon();
        const int icons[] = {4053, 4054, 4055, 4057, 4056};
        const QImage shown = qobject_cast<QAbstractButton*>(Window().GetDlgItem(CSyncDlg::kOptionsId))
                                 ->icon()
                                 .pixmap(16, 16)
                                 .toImage();
        EXPECT_EQ(shown, plat::LoadIconResource(icons[type]).pixmap(16, 16).toImage()) << type;
    }

    const auto helpText = [&](int id) {
        HELPINFO info;
        info.iCtrlId = id;
        Window().Message(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        QLabel* popup = CurrentHelpPopup();
        const QString text = popup ? popup->text() : QString();
        if (popup) popup->close();
        return text.toStdString();
    };
    EXPECT_EQ(helpText(CSyncDlg::kBrowseLeftId), "Click this button to select Left Folder.");
    EXPECT_EQ(helpText(CSyncDlg::kBrowseRightId), "Click this button to select Right Folder.");
    EXPECT_EQ(helpText(CSyncDlg::kLeftFolderBoxId), "Type or choose the Left folder.");
    EXPECT_EQ(helpText(CSyncDlg::kRightFolderBoxId), "Type or choose the Right folder.");
    EXPECT_EQ(helpText(CSyncDlg::kOptionsId).rfind("Click this button to change the settings.", 0), 0u);
    EXPECT_EQ(helpText(CSyncDlg::kItemTreeId), "");

    // Tab walks the top row from left to right, then the tree.
    Window().show();
    QApplication::setActiveWindow(&Window());
    Window().GetDlgItem(CSyncDlg::kBrowseLeftId)->setFocus();
    std::vector<int> order;
    for (int step = 0; step < 6; ++step) {
        QWidget* focused = QApplication::focusWidget();
        while (focused && focused->objectName().toInt() == 0) focused = focused->parentWidget();
        order.push_back(focused ? focused->objectName().toInt() : 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order, (std::vector<int>{CSyncDlg::kBrowseLeftId, CSyncDlg::kLeftFolderBoxId, CSyncDlg::kOptionsId,
                                       CSyncDlg::kRightFolderBoxId, CSyncDlg::kBrowseRightId, CSyncDlg::kItemTreeId}));

    // F1 on a focused control asks for its help.
    QWidget* browse = Window().GetDlgItem(CSyncDlg::kBrowseLeftId);
    QTest::keyClick(browse, Qt::Key_F1);
    ASSERT_NE(CurrentHelpPopup(), nullptr);
    EXPECT_EQ(CurrentHelpPopup()->text(), QStringLiteral("Click this button to select Left Folder."));
    CurrentHelpPopup()->close();
}

TEST_F(SyncDlgTest, ColumnWidthsComeFromTheSettingsAndAreWrittenBack) {
    WriteProfileInt("Sync", "qtab 0", 321);
    EXPECT_EQ(Tree().SendMessage(TLM_GETCOLUMNWIDTH, 0), 321);
    EXPECT_EQ(Tree().SendMessage(TLM_GETCOLUMNWIDTH, 6), 200);
    EXPECT_EQ(Tree().SendMessage(TLM_GETCOLUMNCOUNT), 7);
    Tree().SendMessage(TLM_SETCOLUMNWIDTH, 3, 140);
    EXPECT_EQ(Window().Message(WM_SYNC_SAVE_COLUMNS, 0, 0), 1);
    EXPECT_EQ(ReadProfileInt("Sync", "qtab 0", 0), 321);
    EXPECT_EQ(ReadProfileInt("Sync", "qtab 3", 0), 140);
    EXPECT_EQ(ReadProfileInt("Sync", "qtab 6", 0), 200);
}

}  // namespace
