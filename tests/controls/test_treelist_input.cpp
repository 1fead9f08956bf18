// TreeList mouse and keyboard by message (and by Qt events where modifier keys matter):
// clicks, multiple selection, check boxes, drag start, keyboard navigation, incremental
// search, and the notifications the parent receives, in order.
#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <thread>

#include "tests/controls/treelist_test_support.h"

using namespace tltest;

namespace {

class TreeListInput : public ::testing::Test {
protected:
    void SetUp() override {
        list.Message(WM_SIZE, 0, MAKELPARAM(400, 300));
        h = static_cast<int>(list.Message(TVM_GETITEMHEIGHT, 0, 0));
        root = Insert(list, TVI_ROOT, L"root");
        folder = Insert(list, root, L"folder");
        f1 = Insert(list, folder, L"f1");
        f2 = Insert(list, folder, L"f2");
        apple = Insert(list, root, L"Apple");
        banana = Insert(list, root, L"banana");
        berry = Insert(list, root, L"Berry");
        list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(root));
        // rows: root, folder, Apple, banana, Berry
    }
    // A point on the label of a row.
    LPARAM OnLabel(HTREEITEM item) {
        RECT rect = TVIR_REQUEST(item);
        list.Message(TVM_GETITEMRECT, TVIR_TEXT, reinterpret_cast<LPARAM>(&rect));
        return Point(rect.left + 3, rect.top + h / 2);
    }
    void Click(HTREEITEM item, WPARAM keys = 0) {
        list.Message(WM_LBUTTONDOWN, keys | MK_LBUTTON, OnLabel(item));
        list.Message(WM_LBUTTONUP, keys, OnLabel(item));
    }
    HTREEITEM Caret() { return Next(list, TVGN_CARET); }
    std::vector<HTREEITEM> Selected() {
        std::vector<HTREEITEM> out;
        for (HTREEITEM s = Next(list, TVGN_NEXTSELECTED, TVI_ROOT); s; s = Next(list, TVGN_NEXTSELECTED, s))
            out.push_back(s);
        return out;
    }

    NotifyParent parent;
    TreeListWindow list{kTaskWindowStyle, &parent, 47945};
    int h = 0;
    HTREEITEM root = 0, folder = 0, f1 = 0, f2 = 0, apple = 0, banana = 0, berry = 0;
};

// ---------------------------------------------------------------- mouse

TEST_F(TreeListInput, ClickSelectsAndReportsInOrder) {
    parent.Clear();
    Click(apple);
    EXPECT_EQ(Caret(), apple);
    EXPECT_EQ(parent.Codes(), (std::vector<UINT>{NM_SETFOCUS, TVN_SELCHANGINGA, TVN_SELCHANGEDA, NM_CLICK}));
    EXPECT_EQ(parent.notes[2].action, TVC_BYMOUSE);

    // Below the rows: only the click.
    parent.Clear();
    list.Message(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 280));
    EXPECT_EQ(parent.Codes(), (std::vector<UINT>{NM_CLICK}));
    EXPECT_EQ(Caret(), apple);
}

TEST_F(TreeListInput, ButtonsAndDoubleClicksToggle) {
    RECT rect = TVIR_REQUEST(folder);
    list.Message(TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
    const LPARAM button = Point(19 + 7, rect.top + h / 2);
    list.Message(WM_LBUTTONDOWN, MK_LBUTTON, button);
    EXPECT_TRUE(State(list, folder) & TVIS_EXPANDED);
    EXPECT_EQ(list.Message(TLM_GETROWCOUNT, 0, 0), 7);
    list.Message(WM_LBUTTONDOWN, MK_LBUTTON, button);
    EXPECT_FALSE(State(list, folder) & TVIS_EXPANDED);
    // A double click on the label toggles too.
    list.Message(WM_LBUTTONDBLCLK, MK_LBUTTON, OnLabel(folder));
    EXPECT_TRUE(State(list, folder) & TVIS_EXPANDED);
    EXPECT_EQ(parent.notes.back().code, NM_DBLCLK);
}

TEST_F(TreeListInput, RightClickSelectsOneButKeepsAMultipleSelection) {
    list.Message(WM_RBUTTONDOWN, MK_RBUTTON, OnLabel(banana));
    EXPECT_EQ(Caret(), banana);
    EXPECT_EQ(parent.notes.back().code, NM_RCLICK);

    list.Message(TVM_SETEXTENDEDSTYLE, 0, 0x91000);
    Click(apple);
    Click(berry, MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<HTREEITEM>{apple, banana, berry}));
    list.Message(WM_RBUTTONDOWN, MK_RBUTTON, OnLabel(banana));
    EXPECT_EQ(Selected(), (std::vector<HTREEITEM>{apple, banana, berry}));
    // A right click on any cell of the row reports a hit on the row.
    InsertColumn(list, "Name", 200);
    InsertColumn(list, "Size", 100);
    TVHITTESTINFO info;
    RECT rect = TVIR_REQUEST(banana);
    list.Message(TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
    info.pt = POINT{290, rect.top + h / 2};
    EXPECT_EQ(static_cast<HTREEITEM>(list.Message(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info))), banana);
    EXPECT_TRUE(info.flags & TVHT_ONITEM);
}

TEST_F(TreeListInput, MultipleSelectionWithCtrlAndShift) {
    list.Message(TVM_SETEXTENDEDSTYLE, 0, 0x91000);
    Click(folder);
    EXPECT_EQ(Selected(), (std::vector<HTREEITEM>{folder}));
    // Ctrl toggles the clicked item, and a collapsed item's hidden descendants with it.
    Click(banana, MK_CONTROL);
    EXPECT_EQ(Selected(), (std::vector<HTREEITEM>{folder, banana}));
    Click(banana, MK_CONTROL);
    EXPECT_EQ(Selected(), (std::vector<HTREEITEM>{folder}));
    Click(folder, MK_CONTROL);
    Click(folder, MK_CONTROL);
    EXPECT_EQ(Selected(), (std::vector<HTREEITEM>{folder, f1, f2}));

    // Shift selects the rows from the anchor to the clicked one, hidden descendants too.
    Click(root);
    Click(apple, MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<HTREEITEM>{root, folder, f1, f2, apple}));
    EXPECT_EQ(Caret(), apple);

    // A plain click on a member of the selection waits for the button-up.
    list.Message(WM_LBUTTONDOWN, MK_LBUTTON, OnLabel(folder));
    EXPECT_EQ(Selected().size(), 5u);
    list.Message(WM_LBUTTONUP, 0, OnLabel(folder));
    EXPECT_EQ(Selected(), (std::vector<HTREEITEM>{folder}));
    EXPECT_EQ(Caret(), folder);
}

TEST_F(TreeListInput, CheckBoxesFlipByClickAndSpace) {
    NotifyParent other;
    TreeListWindow checks(TVS_CHECKBOXES | TVS_HASLINES | TVS_LINESATROOT, &other, 7);
    checks.Message(WM_SIZE, 0, MAKELPARAM(300, 200));
    const HTREEITEM item = Insert(checks, TVI_ROOT, L"x");
    const int hh = static_cast<int>(checks.Message(TVM_GETITEMHEIGHT, 0, 0));
    checks.Message(WM_LBUTTONDOWN, MK_LBUTTON, Point(19 + 6, hh / 2));
    EXPECT_EQ(State(checks, item) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2));
    EXPECT_EQ(other.Count(TLN_CBSTATECHANGED), 1);
    EXPECT_EQ(other.Count(NM_CLICK), 1);
    checks.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(item));
    checks.Message(WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_EQ(State(checks, item) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
    EXPECT_EQ(other.Count(TLN_CBSTATECHANGED), 1);  // not for the key
    // With the bit-check style, bit 0x1000 flips.
    checks.Message(TVM_SETEXTENDEDSTYLE, TVS_EX_BITCHECKBOX, TVS_EX_BITCHECKBOX);
    checks.Message(WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_EQ(State(checks, item) & TVIS_STATEIMAGEMASK, 0u);
}

TEST_F(TreeListInput, DragStartsOnceWhenTheMouseMovesWithTheButtonHeld) {
    NotifyParent other;
    TreeListWindow drag(TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS, &other, 8);
    drag.Message(WM_SIZE, 0, MAKELPARAM(300, 200));
    const HTREEITEM item = Insert(drag, TVI_ROOT, L"drag me");
    const int hh = static_cast<int>(drag.Message(TVM_GETITEMHEIGHT, 0, 0));
    drag.Message(WM_LBUTTONDOWN, MK_LBUTTON, Point(25, hh / 2));
    drag.Message(WM_MOUSEMOVE, MK_LBUTTON, Point(60, hh / 2 + 20));
    drag.Message(WM_MOUSEMOVE, MK_LBUTTON, Point(70, hh / 2 + 30));
    ASSERT_EQ(other.Count(TVN_BEGINDRAGA), 1);
    for (const auto& n : other.notes) {
        if (n.code == TVN_BEGINDRAGA) {
            EXPECT_EQ(n.newItem, item);
        }
    }
    // Not with the no-drag style, nor without the button.
    STYLESTRUCT change{0, TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_DISABLEDRAGDROP};
    drag.Message(WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE), reinterpret_cast<LPARAM>(&change));
    drag.Message(WM_LBUTTONDOWN, MK_LBUTTON, Point(25, hh / 2));
    drag.Message(WM_MOUSEMOVE, MK_LBUTTON, Point(60, hh / 2 + 20));
    EXPECT_EQ(other.Count(TVN_BEGINDRAGA), 1);
    list.Message(WM_LBUTTONDOWN, MK_LBUTTON, OnLabel(apple));
    list.Message(WM_MOUSEMOVE, 0, Point(200, 200));
    list.Message(WM_MOUSEMOVE, MK_LBUTTON, Point(250, 250));
    EXPECT_EQ(parent.Count(TVN_BEGINDRAGA), 0);
}

// ---------------------------------------------------------------- keyboard

TEST_F(TreeListInput, ArrowsMoveTheCaretAndTheParentHearsEachKey) {
    list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(root));
    parent.Clear();
    list.Message(WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(Caret(), folder);
    EXPECT_EQ(parent.CodesWithout(NM_SETFOCUS), (std::vector<UINT>{TVN_SELCHANGINGA, TVN_SELCHANGEDA, TVN_KEYDOWN}));
    EXPECT_EQ(parent.notes[parent.notes.size() - 2].action, TVC_BYKEYBOARD);

    list.Message(WM_KEYDOWN, VK_RIGHT, 1);  // expands
    EXPECT_TRUE(State(list, folder) & TVIS_EXPANDED);
    EXPECT_EQ(Caret(), folder);
    list.Message(WM_KEYDOWN, VK_RIGHT, 1);  // then moves down
    EXPECT_EQ(Caret(), f1);
    list.Message(WM_KEYDOWN, VK_LEFT, 1);  // to the parent
    EXPECT_EQ(Caret(), folder);
    list.Message(WM_KEYDOWN, VK_LEFT, 1);  // collapses
    EXPECT_FALSE(State(list, folder) & TVIS_EXPANDED);
    list.Message(WM_KEYDOWN, VK_END, 1);
    EXPECT_EQ(Caret(), berry);
    list.Message(WM_KEYDOWN, VK_BACK, 1);
    EXPECT_EQ(Caret(), root);
    list.Message(WM_KEYDOWN, VK_UP, 1);  // clamped
    EXPECT_EQ(Caret(), root);
    list.Message(WM_KEYDOWN, VK_NEXT, 1);
    EXPECT_EQ(Caret(), berry);
    list.Message(WM_KEYDOWN, VK_HOME, 3);  // repeat count
    EXPECT_EQ(Caret(), root);
}

TEST_F(TreeListInput, EnterReportsReturnWithoutKeyDown) {
    parent.Clear();
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(parent.CodesWithout(NM_SETFOCUS), (std::vector<UINT>{NM_RETURN}));
    MSG enter;
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    EXPECT_EQ(list.Message(WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&enter)), DLGC_WANTALLKEYS);
    EXPECT_EQ(list.Message(WM_GETDLGCODE, 0, 0), 0x81);
}

TEST_F(TreeListInput, CtrlKeysScrollWithoutMovingTheCaret) {
    for (int i = 0; i < 40; ++i) Insert(list, TVI_ROOT, L"more");
    list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(root));
    KeyClick(list, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Caret(), root);
    EXPECT_EQ(list.Message(TLM_GETROWOFITEM, 0, static_cast<LPARAM>(Next(list, TVGN_FIRSTVISIBLE))), 1);
    KeyClick(list, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Caret(), root);
    EXPECT_GT(list.Message(TLM_GETROWOFITEM, 0, static_cast<LPARAM>(Next(list, TVGN_FIRSTVISIBLE))), 20);
}

TEST_F(TreeListInput, ShiftArrowsExtendAMultipleSelection) {
    list.Message(TVM_SETEXTENDEDSTYLE, 0, 0x91000);
    Click(apple);
    KeyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    KeyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::vector<HTREEITEM>{apple, banana, berry}));
    EXPECT_EQ(Caret(), berry);
    KeyClick(list, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::vector<HTREEITEM>{apple, banana}));
    KeyClick(list, Qt::Key_Up);
    EXPECT_EQ(Selected(), (std::vector<HTREEITEM>{apple}));
}

TEST_F(TreeListInput, IncrementalSearch) {
    list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(root));
    list.Message(WM_CHAR, 'b', 1);  // lower case finds "banana"
    EXPECT_EQ(Caret(), banana);
    list.Message(WM_CHAR, 'b', 1);  // the same letter again moves on to the next match
    EXPECT_EQ(Caret(), berry);
    list.Message(WM_CHAR, 'B', 1);
    EXPECT_EQ(Caret(), banana);
    char buffer[32] = {};
    EXPECT_EQ(list.Message(TVM_GETISEARCHSTRINGA, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 1);
    EXPECT_STREQ(buffer, "B");
    // A growing prefix stays on the caret when it still matches...
    list.Message(WM_CHAR, 'a', 1);
    EXPECT_EQ(Caret(), banana);
    // ...and a prefix that matches nothing starts again from its last letter.
    list.Message(WM_CHAR, 'f', 1);
    EXPECT_EQ(Caret(), folder);
    EXPECT_EQ(list.Message(TVM_GETISEARCHSTRINGA, 0, 0), 1);  // "F": the length, nothing copied
}

TEST_F(TreeListInput, IncrementalSearchRestartsAfterAPause) {
    list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(root));
    list.Message(WM_CHAR, 'f', 1);
    EXPECT_EQ(Caret(), folder);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    list.Message(WM_CHAR, 'a', 1);  // not "fa": a new search
    EXPECT_EQ(Caret(), apple);
}

TEST_F(TreeListInput, AClaimedKeyLeavesItsCharacterAlone) {
    list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(root));
    parent.answer = [](NMHDR* h) -> LRESULT { return h->code == TVN_KEYDOWN ? 1 : 0; };
    list.Message(WM_KEYDOWN, 'B', 1);
    list.Message(WM_CHAR, 'b', 1);
    EXPECT_EQ(Caret(), root);
    parent.answer = nullptr;
    list.Message(WM_KEYDOWN, 'B', 1);
    list.Message(WM_CHAR, 'b', 1);
    EXPECT_EQ(Caret(), banana);
}

TEST_F(TreeListInput, FocusNotifications) {
    parent.Clear();
    list.Message(WM_SETFOCUS, 0, 0);
    list.Message(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(parent.Codes(), (std::vector<UINT>{NM_SETFOCUS, NM_KILLFOCUS}));
}

TEST_F(TreeListInput, DisabledWindowsIgnoreInput) {
    list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(root));
    list.Message(WM_ENABLE, 0, 0);
    EXPECT_FALSE(list.isEnabled());
    list.Message(WM_KEYDOWN, VK_DOWN, 1);
    list.Message(WM_LBUTTONDOWN, MK_LBUTTON, OnLabel(apple));
    EXPECT_EQ(Caret(), root);
    list.Message(WM_ENABLE, 1, 0);
    list.Message(WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(Caret(), folder);
}

TEST_F(TreeListInput, TheParentMaySendMessagesBackFromItsHandlers) {
    // The lock is let go around notifications: the parent reads and changes the control.
    HTREEITEM seen = 0;
    parent.answer = [&](NMHDR* header) -> LRESULT {
        if (header->code == TVN_SELCHANGEDA) {
            seen = Next(list, TVGN_CARET);
            SetState(list, seen, TVIS_BOLD, TVIS_BOLD);
        }
        return 0;
    };
    Click(banana);
    EXPECT_EQ(seen, banana);
    EXPECT_TRUE(State(list, banana) & TVIS_BOLD);

    // ...and from another thread, carried to the window's own thread.
    std::atomic<LRESULT> count{0};
    const HWND hwnd = list.GetSafeHwnd();
    std::thread worker([&] { count = SendMessage(hwnd, TVM_GETCOUNT, 0, 0); });
    while (count == 0) plat::ProcessPendingMessages();
    worker.join();
    EXPECT_EQ(count, 7);
}

}  // namespace
