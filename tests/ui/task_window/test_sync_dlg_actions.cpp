// What the user does to a task window's items: other actions and Restore, deleting a
// side's copy, emptying the list, the item menu; none of it while a run works on them.
#include <QApplication>
#include <QMenu>
#include <QTimer>

#include <filesystem>
#include <tuple>

#include "controls/text_progress_bar.h"

#include "engine/run/run_log.h"
#include "foundation/program_state.h"
#include "platform/core/file_system.h"
#include "platform/core/text.h"
#include "support/scoped_env.h"
#include "tests/ui/modal_answer.h"
#include "tests/ui/task_window/task_window_test_support.h"

namespace {

using twtest::HandTrees;

enum SetAction : WPARAM { kLeftToRight, kRightToLeft, kTimeToRight, kTimeToLeft, kNoAction, kRestore };

class ItemActionTest : public twtest::TaskWindowTest {
protected:
    ItemActionTest() {
        ProgramState().userName = "tester";
        task_.logControl = log_.Hwnd();
        log_.onMessage = [this](const twtest::Sent& s) {
            if (s.message != WM_SYNC_LOG_LINE) return;
            std::string line = reinterpret_cast<const char*>(s.w);
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
            logLines_.push_back(line);
        };
    }
    void Show(HandTrees& trees) {
        trees.GiveTo(task_);
        Window().ClearItemList(FALSE);
        Window().RebuildTaskItems();
    }
    void Select(const std::vector<std::wstring>& names) {
        for (HTREEITEM row : twtest::Rows(Tree())) Tree().SetItemStateW(row, 0, 0, TVIS_SELECTED);
        for (const std::wstring& name : names)
            Tree().SetItemStateW(twtest::Row(Tree(), name), 0, TVIS_SELECTED, TVIS_SELECTED);
    }
    ItemRowData& RowData(const std::wstring& name) {
        return *reinterpret_cast<ItemRowData*>(Tree().GetItemData(twtest::Row(Tree(), name)));
    }
    // A file whose copies are real files under the test's folder (L and R), made on disk
    // for each side the word says it is on (unswapped: the source is the left); `ownRight` for a record of the right tree.
    CFileInfo& RealFile(FolderTreeNode* node, const std::wstring& name, DWORD state, bool ownRight = false) {
        const std::string left = dir_.sub("L/" + plat::WideToUtf8(name));
        const std::string right = dir_.sub("R/" + plat::WideToUtf8(name));
        if (state & ItemState::kOnSource) qbtest::WriteFileBytes(left, "copy");
        if (state & ItemState::kOnTarget) qbtest::WriteFileBytes(right, "copy");
        CFileInfo record;
        record.Set(plat::Utf8ToWide(ownRight ? right : left), 100, 0, 1600000000, name, state);
        record.SetCounterpart(plat::Utf8ToWide(ownRight ? left : right), name, 0, 100, 1600000000);
        if (!node->files) node->files = std::make_unique<CFileInfoArray>();
        return (*node->files)[node->files->InsertAt(node->files->GetSize(), std::move(record))];
    }
    static void RealFolder(CFileInfo& folder, const std::string& own, const std::string& other, DWORD state) {
        plat::CreateFolderWithParents(own);
        plat::CreateFolderWithParents(other);
        folder.Set(plat::Utf8ToWide(own), 0, FILE_ATTRIBUTE_DIRECTORY, 1600000000, L"sub", state);
        folder.SetCounterpart(plat::Utf8ToWide(other), L"sub", FILE_ATTRIBUTE_DIRECTORY, 0, 1600000000);
    }

    twtest::StandIn log_;
    std::vector<std::string> logLines_;
};

TEST_F(ItemActionTest, ActionsChangeTheWordOnceAndRestoreGivesTheChecksVerdictBack) {
    HandTrees trees;
    CFileInfo& done = HandTrees::File(trees.Source(), L"done.txt", 0x20800C05);
    CFileInfo& rightOnly = HandTrees::File(trees.Target(), L"right-only.txt", 0x02000810);
    CFileInfo& sizes = HandTrees::File(trees.Source(), L"sizes.txt", 0x00800C0D);
    CFileInfo& times = HandTrees::File(trees.Source(), L"times.txt", 0x02000C45);
    CFileInfo& folder = *trees.Folder(L"folder", 0x00800C81)->folder;
    Show(trees);

    Select({L"done.txt", L"right-only.txt", L"folder"});
    Window().Message(WM_SYNC_SET_ACTION, kLeftToRight, 0);
    EXPECT_EQ(done.state.Word(), 0x21040C05u);  // results stay, the user's change is marked
    EXPECT_EQ(done.savedState, 0x20800C05u);
    EXPECT_EQ(RowData(L"done.txt").savedState, 0x20800C05u);
    EXPECT_EQ(rightOnly.state.Word(), 0x04040810u);  // no left copy: delete on the right
    EXPECT_EQ(folder.state.Word(), 0x00800C81u);     // a folder with a left copy stays
    EXPECT_EQ(task_.runFacts.Get().needsAttention, 1u);

    Select({L"sizes.txt", L"times.txt"});
    Window().Message(WM_SYNC_SET_ACTION, kTimeToRight, 0);
    EXPECT_EQ(sizes.state.Word(), 0x00800C0Du);  // the sizes differ too
    EXPECT_EQ(times.state.Word(), 0x00140C45u);

    // Changes on changes keep the first word; Restore goes back to it, once.
    Select({L"times.txt"});
    for (WPARAM action : {kNoAction, kLeftToRight, kLeftToRight}) Window().Message(WM_SYNC_SET_ACTION, action, 0);
    EXPECT_EQ(times.state.Word(), 0x01040C45u);
    EXPECT_EQ(times.savedState, 0x02000C45u);
    Window().Message(WM_SYNC_SET_ACTION, kRestore, 0);
    EXPECT_EQ(times.state.Word(), 0x02000C45u);
    EXPECT_EQ(times.savedState, 0u);
    EXPECT_EQ(RowData(L"times.txt").state, 0x02000C45u);
    EXPECT_EQ(twtest::Cell(Tree(), twtest::Row(Tree(), L"times.txt"), 6).text, L"");
    Window().Message(WM_SYNC_SET_ACTION, kRestore, 0);
    EXPECT_EQ(times.state.Word(), 0x02000C45u);
    Window().Message(WM_SYNC_SET_ACTION, 6, 0);
    EXPECT_EQ(times.state.Word(), 0x02000C45u);

    // With the sides swapped, a source-only item has no left copy.
    HandTrees swappedTrees;
    CFileInfo& sourceOnly = HandTrees::File(swappedTrees.Source(), L"source-only.txt", 0x01000420);
    task_.syncOptions->type = kSyncRightToLeft;
    task_.UpdateSyncKind();
    ASSERT_TRUE(task_.swapped);
    Show(swappedTrees);
    Select({L"source-only.txt"});
    Window().Message(WM_SYNC_SET_ACTION, kLeftToRight, 0);
    EXPECT_EQ(sourceOnly.state.Word(), 0x08040420u);
}

TEST_F(ItemActionTest, DeletingACopyMarksItsSideAndLogsWhoDidIt) {
    const qbtest::ScopedEnv dataHome("XDG_DATA_HOME", dir_.sub("home-data"));
    const plat::ScopedMessageBoxHandler yes(IDYES);
    HandTrees trees;
    CFileInfo& left = RealFile(trees.Source(), L"left.txt", 0x00800C01);
    CFileInfo& right = RealFile(trees.Source(), L"right.txt", 0x00800C01);
    CFileInfo& conflict = RealFile(trees.Source(), L"conflict.txt", 0x00800E05);
    CFileInfo& both = RealFile(trees.Source(), L"both.txt", 0x00800C01);
    Show(trees);

    Select({L"left.txt"});
    Window().Message(WM_SYNC_ITEM_COMMAND, 0, 2);
    EXPECT_EQ(yes.Requests().back().text, "Do you want to delete file " + dir_.sub("L/left.txt") + "?");
    EXPECT_EQ(left.state.Word(), 0x20044801u);
    EXPECT_FALSE(plat::PathExists(dir_.sub("L/left.txt")));
    EXPECT_TRUE(plat::PathExists(dir_.sub("R/left.txt")));
    EXPECT_EQ(logLines_.back(), "Delete " + dir_.sub("L/left.txt") + " by user tester");
    EXPECT_EQ(RowData(L"left.txt").leftPath, "");
    EXPECT_EQ(task_.runFacts.Get().needsAttention, 1u);

    Select({L"right.txt"});
    Window().Message(WM_SYNC_ITEM_COMMAND, 1, 2);
    EXPECT_EQ(right.state.Word(), 0x20042401u);
    Select({L"conflict.txt"});
    Window().Message(WM_SYNC_ITEM_COMMAND, 0, 2);
    EXPECT_EQ(conflict.state.Word(), 0x20044805u);

    Select({L"both.txt"});
    Window().Message(WM_SYNC_BOTH_ITEMS_COMMAND, 0, 2);
    EXPECT_EQ(yes.Requests().back().text,
              "Do you want to delete " + dir_.sub("L/both.txt") + " and " + dir_.sub("R/both.txt") + "?");
    EXPECT_EQ(both.state.Word(), 0x20046401u);
    EXPECT_FALSE(plat::PathExists(dir_.sub("R/both.txt")));

    // The right copy of a folder: what was below it on the right, in either tree, goes too,
    // each item from its own word; a left-only file keeps its word.
    HandTrees folderTrees;
    FolderTreeNode* sub = folderTrees.Folder(L"sub", 0x00800C81);
    RealFolder(*sub->folder, dir_.sub("L/sub"), dir_.sub("R/sub"), 0x00800C81);
    RealFolder(*sub->counterpart->folder, dir_.sub("R/sub"), dir_.sub("L/sub"), 0x00800C81);
    CFileInfo& inside = RealFile(sub, L"sub/in.txt", 0x00800C01);
    CFileInfo& twin = RealFile(sub->counterpart, L"sub/in.txt", 0x00800C0D, true);
    CFileInfo& leftOnly = RealFile(sub, L"sub/new.txt", 0x01000420);
    Show(folderTrees);
    Select({L"sub"});
    Window().Message(WM_SYNC_ITEM_COMMAND, 1, 2);
    EXPECT_EQ(yes.Requests().back().text, "Do you want to delete folder " + dir_.sub("R/sub") + "?");
    EXPECT_FALSE(plat::PathExists(dir_.sub("R/sub")));
    EXPECT_EQ(sub->folder->state.Word(), 0x20042481u);
    EXPECT_EQ(inside.state.Word(), 0x20042401u);
    EXPECT_EQ(twin.state.Word(), 0x2004240Du);
    EXPECT_EQ(leftOnly.state.Word(), 0x01000420u);
    EXPECT_EQ(RowData(L"in.txt").rightPath, "");
}

TEST_F(ItemActionTest, SeveralRowsAreAskedOnceAndAFailedDeleteKeepsTheItem) {
    const qbtest::ScopedEnv dataHome("XDG_DATA_HOME", dir_.sub("home-data"));
    const plat::ScopedMessageBoxHandler yes(IDYES);
    HandTrees trees;
    CFileInfo& a = RealFile(trees.Source(), L"a.txt", 0x01000C0D);
    CFileInfo& b = RealFile(trees.Source(), L"b.txt", 0x01000C0D);
    CFileInfo& gone = RealFile(trees.Source(), L"gone.txt", 0x01000C0D);
    CFileInfo& kept = RealFile(trees.Source(), L"kept.txt", 0x01000C0D);
    Show(trees);
    std::filesystem::remove(dir_.sub("L/gone.txt"));

    Select({L"a.txt", L"b.txt", L"gone.txt"});
    Window().Message(WM_SYNC_ITEM_COMMAND, 0, 2);
    ASSERT_EQ(yes.Requests().size(), 1u);
    EXPECT_EQ(yes.Requests()[0].text, "Do you want to delete 3 items?");
    EXPECT_EQ(a.state.Word(), 0x2004480Du);
    EXPECT_EQ(b.state.Word(), 0x2004480Du);
    EXPECT_EQ(gone.state.Word(), 0x01000C0Du);
    EXPECT_EQ(logLines_.size(), 2u);

    // A trash that cannot be made: the file stays, and so does its word.
    qbtest::WriteFileBytes(dir_.sub("plain"), "x");
    const qbtest::ScopedEnv noTrash("XDG_DATA_HOME", dir_.sub("plain/data"));
    Select({L"kept.txt"});
    Window().Message(WM_SYNC_ITEM_COMMAND, 0, 2);
    EXPECT_EQ(logLines_.back(), "Failed to Delete " + dir_.sub("L/kept.txt") + " (by tester)");
    EXPECT_TRUE(plat::PathExists(dir_.sub("L/kept.txt")));
    EXPECT_EQ(kept.state.Word(), 0x01000C0Du);
}

TEST_F(ItemActionTest, NothingTouchesTheItemsWhileARunWorksOnThemAndClearEmptiesTheListAfter) {
    ProgramState().dataFolder = dir_.sub("Data") + "/";
    plat::CreateFolderWithParents(dir_.sub("Data"));
    plat::CreateFolderWithParents(dir_.sub("L"));
    plat::CreateFolderWithParents(dir_.sub("R"));
    task_.leftFolder = plat::Utf8ToWide(dir_.sub("L"));
    task_.rightFolder = plat::Utf8ToWide(dir_.sub("R"));
    HandTrees trees;
    CFileInfo& item = RealFile(trees.Source(), L"item.txt", 0x01000C0D);
    Show(trees);
    ASSERT_EQ(Window().Message(WM_SYNC_START, kRunModeSync, 0), 1);

    bool dialogShown = false;
    uitest::WhenModal(
        [&dialogShown](QWidget* dialog) {
            dialogShown = true;
            dialog->close();
        },
        20);
    Select({L"item.txt"});
    for (const auto& [message, w, l] : std::vector<std::tuple<UINT, WPARAM, LPARAM>>{{WM_SYNC_SET_ACTION, kNoAction, 0},
                                                                                     {WM_SYNC_ITEM_COMMAND, 0, 2},
                                                                                     {WM_SYNC_BOTH_ITEMS_COMMAND, 0, 2},
                                                                                     {WM_SYNC_CLEAR_LIST, 0, 0},
                                                                                     {WM_SYNC_TASK_OPTIONS, 0, 0},
                                                                                     {WM_SYNC_AUTOMATE, 0, 0}}) {
        EXPECT_EQ(Window().Message(message, w, l), 0) << message;
    }
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(item.state.Word(), 0x01000C0Du);
    EXPECT_TRUE(plat::PathExists(dir_.sub("L/item.txt")));
    EXPECT_EQ(Tree().GetCount(), 2u);
    EXPECT_EQ(Boxes().size(), 0u);

    Window().Message(WM_SYNC_AFTER_RUN, 1, 0);
    EXPECT_EQ(Window().Message(WM_SYNC_CLEAR_LIST, 0, 0), 1);
    EXPECT_TRUE(Window().IsItemListEmpty());
    EXPECT_FALSE(task_.sourceItems);
    EXPECT_EQ(task_.runFacts.Get().needsAttention, 0u);
    EXPECT_EQ(qobject_cast<CTextProgressCtrl*>(Window().GetDlgItem(IDC_STATUS_LINE))->WindowText(),
              QStringLiteral("All items have been removed by user"));
}

TEST_F(ItemActionTest, TheItemMenuOpensOnARowAndLeavesTheSelection) {
    HandTrees trees;
    HandTrees::File(trees.Source(), L"a.txt", 0x01000C0D);
    HandTrees::File(trees.Source(), L"b.txt", 0x01000C0D);
    Show(trees);
    Window().show();
    Select({L"a.txt", L"b.txt"});
    RECT label{};
    ASSERT_TRUE(Tree().GetItemRect(twtest::Row(Tree(), L"b.txt"), &label, TRUE));

    std::vector<std::string> shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions()) {
                if (action->isSeparator() || !action->text().isEmpty()) {
                    shown.push_back(action->isSeparator() ? "-" : action->text().toStdString());
                }
            }
            menu->close();
        }
    });
    EXPECT_TRUE(Window().OnItemListRClick(QPoint((label.left + label.right) / 2, (label.top + label.bottom) / 2)));
    ASSERT_EQ(shown.size(), 17u);  // fourteen commands, three separators
    EXPECT_EQ(shown.front(), "Open &Left Item");
    EXPECT_EQ(shown[4], "-");
    EXPECT_EQ(shown.back(), "&Restore Action");
    int selected = 0;
    for (HTREEITEM row : twtest::Rows(Tree())) selected += Tree().GetItemState(row, TVIS_SELECTED) ? 1 : 0;
    EXPECT_EQ(selected, 2);
    EXPECT_FALSE(Window().OnItemListRClick(QPoint(label.left + 20, label.bottom + 200)));
}

}  // namespace
