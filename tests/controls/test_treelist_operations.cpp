// TreeList operations by message: expand and collapse with the row list, the caret and
// multiple selection, find, sort, columns and scrolling.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include "tests/controls/treelist_test_support.h"

using namespace tltest;

namespace {

class TreeListOps : public ::testing::Test {
protected:
    NotifyParent parent;
    TreeListWindow list{kTaskWindowStyle, &parent, 47945};

    // root
    //   folder
    //     f1, f2
    //   g
    //   file
    void Fill() {
        root = Insert(list, TVI_ROOT, L"root");
        folder = Insert(list, root, L"folder");
        f1 = Insert(list, folder, L"f1");
        f2 = Insert(list, folder, L"f2");
        g = Insert(list, root, L"g");
        file = Insert(list, root, L"file");
    }
    HTREEITEM root = 0, folder = 0, f1 = 0, f2 = 0, g = 0, file = 0;
};

// ---------------------------------------------------------------- expand

TEST_F(TreeListOps, ExpandAndCollapseFollowTheRowList) {
    Fill();
    EXPECT_EQ(Rows(list), (std::vector<std::wstring>{L"root"}));
    EXPECT_EQ(list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(root)), 1);
    EXPECT_EQ(Rows(list), (std::vector<std::wstring>{L"root", L"folder", L"g", L"file"}));
    list.Message(TVM_EXPAND, TVE_TOGGLE, static_cast<LPARAM>(folder));
    EXPECT_EQ(Rows(list), (std::vector<std::wstring>{L"root", L"folder", L"f1", L"f2", L"g", L"file"}));
    EXPECT_EQ(list.Message(TLM_GETROWOFITEM, 0, static_cast<LPARAM>(f2)), 3);
    EXPECT_EQ(list.Message(TLM_GETITEMOFROW, 4, 0), static_cast<LRESULT>(g));
    EXPECT_EQ(list.Message(TLM_GETITEMOFROW, 99, 0), 0);

    // Collapsing clears the rows of the whole sub-tree.
    list.Message(TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(root));
    EXPECT_EQ(Rows(list), (std::vector<std::wstring>{L"root"}));
    EXPECT_EQ(list.Message(TLM_GETROWOFITEM, 0, static_cast<LPARAM>(f1)), -1);
    // Expanding again shows the remembered state of the folder.
    list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(root));
    EXPECT_EQ(list.Message(TLM_GETROWCOUNT, 0, 0), 6);
    EXPECT_EQ(list.Message(TVM_EXPAND, TVE_EXPAND, 9999), 0);
}

TEST_F(TreeListOps, ExpandNotificationsAndRefusal) {
    Fill();
    parent.Clear();
    list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(root));
    ASSERT_EQ(parent.Codes(), (std::vector<UINT>{TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDEDA}));
    EXPECT_EQ(parent.notes[0].action, TVE_EXPAND);
    EXPECT_EQ(parent.notes[0].newItem, root);

    parent.answer = [](NMHDR* h) -> LRESULT { return h->code == TVN_ITEMEXPANDINGA ? 1 : 0; };
    EXPECT_EQ(list.Message(TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(root)), 0);
    EXPECT_TRUE(State(list, root) & TVIS_EXPANDED);
    EXPECT_EQ(list.Message(TLM_GETROWCOUNT, 0, 0), 4);
}

TEST_F(TreeListOps, PartialExpansionAndCollapseReset) {
    Fill();
    list.Message(TVM_EXPAND, TVE_EXPAND | TVE_EXPANDPARTIAL, static_cast<LPARAM>(root));
    EXPECT_EQ(State(list, root) & (TVIS_EXPANDED | TVIS_EXPANDPARTIAL), TVIS_EXPANDED | TVIS_EXPANDPARTIAL);
    // Toggle of a partly expanded item only drops the mark.
    list.Message(TVM_EXPAND, TVE_TOGGLE, static_cast<LPARAM>(root));
    EXPECT_EQ(State(list, root) & (TVIS_EXPANDED | TVIS_EXPANDPARTIAL), TVIS_EXPANDED);
    list.Message(TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, static_cast<LPARAM>(root));
    EXPECT_EQ(list.Message(TVM_GETCOUNT, 0, 0), 1);
    EXPECT_FALSE(State(list, root) & TVIS_EXPANDED);
}

TEST_F(TreeListOps, CollapseMovesAHiddenCaretToItsShownAncestor) {
    Fill();
    list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(root));
    list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(folder));
    list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(f2));
    list.Message(TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(root));
    EXPECT_EQ(Next(list, TVGN_CARET), root);
    EXPECT_FALSE(State(list, f2) & TVIS_SELECTED);
}

TEST_F(TreeListOps, EnsureVisibleExpandsAncestorsAndScrolls) {
    Fill();
    list.Message(WM_SIZE, 0, MAKELPARAM(300, 3 * static_cast<int>(list.Message(TVM_GETITEMHEIGHT, 0, 0))));
    EXPECT_EQ(list.Message(TVM_ENSUREVISIBLE, 0, static_cast<LPARAM>(f2)), 0);  // it had no row
    EXPECT_TRUE(State(list, root) & TVIS_EXPANDED);
    EXPECT_TRUE(State(list, folder) & TVIS_EXPANDED);
    const auto first = static_cast<LRESULT>(Next(list, TVGN_FIRSTVISIBLE));
    EXPECT_EQ(list.Message(TLM_GETROWOFITEM, 0, first), 1);  // rows 1..3 shown: folder, f1, f2
    EXPECT_EQ(list.Message(TVM_ENSUREVISIBLE, 0, static_cast<LPARAM>(f2)), 1);
    // A refused expand stops it.
    list.Message(TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(root));
    parent.answer = [](NMHDR* h) -> LRESULT { return h->code == TVN_ITEMEXPANDINGA ? 1 : 0; };
    EXPECT_EQ(list.Message(TVM_ENSUREVISIBLE, 0, static_cast<LPARAM>(f1)), 0);
    EXPECT_FALSE(State(list, root) & TVIS_EXPANDED);
}

// ---------------------------------------------------------------- selection

TEST_F(TreeListOps, CaretSelectionAndItsNotifications) {
    Fill();
    list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(root));
    parent.Clear();
    EXPECT_EQ(list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(g)), 1);
    ASSERT_EQ(parent.Codes(), (std::vector<UINT>{TVN_SELCHANGINGA, TVN_SELCHANGEDA}));
    EXPECT_EQ(parent.notes[1].oldItem, 0u);
    EXPECT_EQ(parent.notes[1].newItem, g);
    EXPECT_TRUE(State(list, g) & TVIS_SELECTED);

    parent.Clear();
    list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(file));
    EXPECT_EQ(parent.notes[0].oldItem, g);
    EXPECT_FALSE(State(list, g) & TVIS_SELECTED);
    EXPECT_EQ(Next(list, TVGN_CARET), file);

    // The same item again changes nothing; a refusal keeps the caret.
    parent.Clear();
    EXPECT_EQ(list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(file)), 1);
    EXPECT_TRUE(parent.notes.empty());
    parent.answer = [](NMHDR* h) -> LRESULT { return h->code == TVN_SELCHANGINGA ? 1 : 0; };
    EXPECT_EQ(list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(g)), 0);
    EXPECT_EQ(Next(list, TVGN_CARET), file);
}

TEST_F(TreeListOps, SelectAllWithMultipleSelectionKeepsTheCaret) {
    list.Message(TVM_SETEXTENDEDSTYLE, 0, 0x91000);
    Fill();
    list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(root));
    list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(g));
    for (HTREEITEM h : {folder, f1, f2, file}) SetState(list, h, TVIS_SELECTED, TVIS_SELECTED);
    EXPECT_EQ(Next(list, TVGN_CARET), g);
    std::vector<HTREEITEM> selected;
    for (HTREEITEM h = Next(list, TVGN_NEXTSELECTED, TVI_ROOT); h; h = Next(list, TVGN_NEXTSELECTED, h))
        selected.push_back(h);
    EXPECT_EQ(selected, (std::vector<HTREEITEM>{folder, f1, f2, g, file}));
    // Within a sub-tree only.
    EXPECT_EQ(Next(list, TVGN_NEXTSELECTEDCHILD, folder), f1);
    EXPECT_EQ(Next(list, TVGN_NEXTSELECTEDCHILD, f2), 0u);

    // Clearing removes one item from the selection.
    SetState(list, f1, 0, TVIS_SELECTED);
    EXPECT_FALSE(State(list, f1) & TVIS_SELECTED);
    EXPECT_TRUE(State(list, f2) & TVIS_SELECTED);
}

TEST_F(TreeListOps, NextSelectedFromTheRootStartsWithTheFirstRoot) {
    Fill();
    list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(root));
    EXPECT_EQ(Next(list, TVGN_NEXTSELECTED, TVI_ROOT), root);
    EXPECT_EQ(Next(list, TVGN_NEXTSELECTED, root), 0u);
}

TEST_F(TreeListOps, SingleExpandFollowsTheCaret) {
    NotifyParent other;
    TreeListWindow single(kTaskWindowStyle | TVS_SINGLEEXPAND, &other, 1);
    const HTREEITEM a = Insert(single, TVI_ROOT, L"a");
    Insert(single, a, L"a1");
    const HTREEITEM b = Insert(single, TVI_ROOT, L"b");
    Insert(single, b, L"b1");
    EXPECT_EQ(single.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(a)), 2);
    EXPECT_TRUE(State(single, a) & TVIS_EXPANDED);
    single.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(b));
    EXPECT_FALSE(State(single, a) & TVIS_EXPANDED);
    EXPECT_TRUE(State(single, b) & TVIS_EXPANDED);
    EXPECT_EQ(other.Count(TVN_SINGLEEXPAND), 2);
}

TEST_F(TreeListOps, DropHighlightAndSelectChildItem) {
    InsertColumn(list, "Name", 100);
    InsertColumn(list, "Size", 100);
    Fill();
    EXPECT_EQ(list.Message(TLM_SELECTDROPTARGET, 1, static_cast<LPARAM>(root)), 1);
    EXPECT_EQ(Next(list, TVGN_DROPHILITE), root);
    EXPECT_EQ(Next(list, TVGN_DROPHILITECOLUMN), 0u);  // the column needs sub-item selection
    list.Message(TVM_SETEXTENDEDSTYLE, TVS_EX_SUBSELECT, TVS_EX_SUBSELECT);
    list.Message(TLM_SELECTDROPTARGET, 1, static_cast<LPARAM>(root));
    EXPECT_EQ(Next(list, TVGN_DROPHILITECOLUMN), 1u);
    EXPECT_EQ(list.Message(TLM_SELECTDROPTARGET, 5, static_cast<LPARAM>(root)), 0);
    EXPECT_EQ(list.Message(TVM_SELECTITEM, TVGN_DROPHILITE, 0), 1);
    EXPECT_EQ(Next(list, TVGN_DROPHILITE), 0u);

    list.Message(TLM_SELECTCHILDITEM, 1, static_cast<LPARAM>(root));
    EXPECT_EQ(Next(list, TVGN_CARET), root);
    EXPECT_EQ(Next(list, TVGN_CARETCOLUMN), 1u);
    // Clearing sub-item selection moves the caret back to column 0.
    list.Message(TVM_SETEXTENDEDSTYLE, TVS_EX_SUBSELECT, 0);
    EXPECT_EQ(Next(list, TVGN_CARETCOLUMN), 0u);
}

// ---------------------------------------------------------------- find and sort

TEST_F(TreeListOps, FindWalksSiblingsOnly) {
    InsertColumn(list, "Name", 100);
    InsertColumn(list, "Size", 100);
    Fill();
    SetCell(list, g, 1, L"10 KB");
    TLFINDITEM find;
    find.uFlags = TVIF_FINDTEXT | TVIF_FINDFIRSTCHILD;
    find.pText = L"g";
    EXPECT_EQ(static_cast<HTREEITEM>(list.Message(TLM_FINDITEM, root, reinterpret_cast<LPARAM>(&find))), g);
    find.pText = L"f1";  // a grandchild: not on the sibling chain
    EXPECT_EQ(list.Message(TLM_FINDITEM, root, reinterpret_cast<LPARAM>(&find)), 0);
    find.pText = L"FILE";
    EXPECT_EQ(list.Message(TLM_FINDITEM, root, reinterpret_cast<LPARAM>(&find)), 0);
    find.uFlags |= TVIF_FINDNOCASE;
    EXPECT_EQ(static_cast<HTREEITEM>(list.Message(TLM_FINDITEM, root, reinterpret_cast<LPARAM>(&find))), file);

    // By a cell's text, from the next sibling, by state.
    find.uFlags = TVIF_FINDTEXT | TVIF_FINDNEXTSIBLING;
    find.uColumn = 1;
    find.pText = L"10 KB";
    EXPECT_EQ(static_cast<HTREEITEM>(list.Message(TLM_FINDITEM, folder, reinterpret_cast<LPARAM>(&find))), g);
    EXPECT_EQ(list.Message(TLM_FINDITEM, g, reinterpret_cast<LPARAM>(&find)), 0);
    find = TLFINDITEM{};
    find.uFlags = TVIF_FINDSTATE | TVIF_FINDPARAM;
    find.uState = TVIS_BOLD;
    find.uStateMask = TVIS_BOLD;
    SetState(list, file, TVIS_BOLD, TVIS_BOLD);
    EXPECT_EQ(static_cast<HTREEITEM>(list.Message(TLM_FINDITEM, folder, reinterpret_cast<LPARAM>(&find))), file);
    find.lParam = 7;
    EXPECT_EQ(list.Message(TLM_FINDITEM, folder, reinterpret_cast<LPARAM>(&find)), 0);
}

int CompareDescending(LPARAM a, LPARAM b, LPARAM sortValue) {
    EXPECT_EQ(sortValue, static_cast<LPARAM>(0x1122334455667788LL));
    return a < b ? 1 : a > b ? -1 : 0;
}

struct SortExProbe {
    HWND window = nullptr;
    int calls = 0;
};

int CompareEx(HWND hwnd, HTREEITEM, HTREEITEM, LPARAM a, LPARAM b, LPARAM value) {
    auto* probe = reinterpret_cast<SortExProbe*>(value);
    probe->window = hwnd;
    ++probe->calls;
    return a < b ? -1 : a > b ? 1 : 0;
}

TEST_F(TreeListOps, SortWithCompareFunctions) {
    const HTREEITEM top = Insert(list, TVI_ROOT, L"top");
    for (LPARAM p : {3, 1, 4, 1, 5, 9, 2, 6}) Insert(list, top, std::to_wstring(p).c_str(), TVI_LAST, p);
    TVSORTCB sort;
    sort.hParent = top;
    sort.lpfnCompare = &CompareDescending;
    sort.lParam = static_cast<LPARAM>(0x1122334455667788LL);
    EXPECT_EQ(list.Message(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort)), 1);
    EXPECT_EQ(Children(list, top), (std::vector<std::wstring>{L"9", L"6", L"5", L"4", L"3", L"2", L"1", L"1"}));

    SortExProbe probe;
    TLSORTEX sortEx;
    sortEx.hParent = top;
    sortEx.lpfnCompare = &CompareEx;
    sortEx.lParam = reinterpret_cast<LPARAM>(&probe);
    list.Message(TLM_SORTEX, 0, reinterpret_cast<LPARAM>(&sortEx));
    EXPECT_EQ(Children(list, top), (std::vector<std::wstring>{L"1", L"1", L"2", L"3", L"4", L"5", L"6", L"9"}));
    EXPECT_EQ(probe.window, list.GetSafeHwnd());
    EXPECT_GT(probe.calls, 0);
}

TEST_F(TreeListOps, SortByTextRecursesAndRefusesInsertsMeanwhile) {
    const HTREEITEM top = Insert(list, TVI_ROOT, L"top");
    const HTREEITEM b = Insert(list, top, L"b");
    Insert(list, top, L"A");
    Insert(list, b, L"z");
    Insert(list, b, L"y");
    list.Message(TVM_SORTCHILDREN, 1, static_cast<LPARAM>(top));
    EXPECT_EQ(Children(list, top), (std::vector<std::wstring>{L"A", L"b"}));
    EXPECT_EQ(Children(list, b), (std::vector<std::wstring>{L"y", L"z"}));

    // A compare function that tries to insert or delete is refused.
    static TreeListWindow* target = nullptr;
    static HTREEITEM victim = 0;
    target = &list;
    victim = b;
    TVSORTCB sort;
    sort.hParent = top;
    sort.lpfnCompare = [](LPARAM, LPARAM, LPARAM) -> int {
        EXPECT_EQ(Insert(*target, TVI_ROOT, L"intruder"), 0u);
        EXPECT_EQ(target->Message(TVM_DELETEITEM, 0, static_cast<LPARAM>(victim)), 0);
        return 0;
    };
    list.Message(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    EXPECT_EQ(list.Message(TVM_GETCOUNT, 0, 0), 5);
    // Afterwards inserts work again.
    EXPECT_NE(Insert(list, TVI_ROOT, L"later"), 0u);
}

TEST_F(TreeListOps, SortsManySiblingsWithEqualKeys) {
    const HTREEITEM top = Insert(list, TVI_ROOT, L"top");
    for (int i = 0; i < 3000; ++i) Insert(list, top, i % 2 ? L"same" : L"other");
    list.Message(TVM_SORTCHILDREN, 0, static_cast<LPARAM>(top));
    const auto texts = Children(list, top);
    EXPECT_EQ(texts.front(), L"other");
    EXPECT_EQ(texts.back(), L"same");
}

// ---------------------------------------------------------------- columns

int ShownWidth(TreeListWindow& list, int column) {
    return static_cast<int>(list.Message(TLM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

TEST_F(TreeListOps, VariableColumnsShareTheWidthExactly) {
    list.Message(WM_SIZE, 0, MAKELPARAM(1000, 300));
    InsertColumn(list, "Name", -2);  // share 2
    InsertColumn(list, "Size", 100);
    InsertColumn(list, "Date", -1);  // share 1
    InsertColumn(list, "Status", -3);
    EXPECT_EQ(list.Message(TLM_GETCOLUMNCOUNT, 0, 0), 4);
    auto total = [&] {
        int sum = 0;
        for (int c = 0; c < 4; ++c) sum += ShownWidth(list, c);
        return sum;
    };
    EXPECT_EQ(total(), 1000);
    EXPECT_EQ(ShownWidth(list, 1), 100);

    // Odd changes are spread by shares with the remainders carried: still exact.
    for (int width : {1007, 1213, 999, 1500, 1001}) {
        list.Message(WM_SIZE, 0, MAKELPARAM(width, 300));
        EXPECT_EQ(total(), width) << width;
        EXPECT_EQ(ShownWidth(list, 1), 100);
    }
    const int name = ShownWidth(list, 0);
    const int date = ShownWidth(list, 2);
    const int status = ShownWidth(list, 3);
    EXPECT_NEAR(name, 2 * date, 3);
    EXPECT_NEAR(status, 3 * date, 3);
}

TEST_F(TreeListOps, ColumnsNeverShrinkBelowTheirMinimum) {
    list.Message(WM_SIZE, 0, MAKELPARAM(400, 300));
    InsertColumn(list, "Name", -1, 50);
    InsertColumn(list, "Size", 100);
    list.Message(WM_SIZE, 0, MAKELPARAM(120, 300));
    EXPECT_EQ(ShownWidth(list, 0), 50);
    // Growing back gives the column its share again.
    list.Message(WM_SIZE, 0, MAKELPARAM(400, 300));
    EXPECT_EQ(ShownWidth(list, 0), 300);

    // A negative minimum is a minimum too (without the minimum mark).
    NotifyParent other;
    TreeListWindow second(kTaskWindowStyle, &other, 2);
    second.Message(WM_SIZE, 0, MAKELPARAM(100, 100));
    InsertColumn(second, "Name", 10, -40);
    EXPECT_EQ(ShownWidth(second, 0), 40);
}

TEST_F(TreeListOps, DeletingAColumnGivesItsWidthToTheVariableOnes) {
    list.Message(WM_SIZE, 0, MAKELPARAM(600, 300));
    InsertColumn(list, "Name", -1);
    InsertColumn(list, "Size", 100);
    InsertColumn(list, "Date", 150);
    const HTREEITEM item = Insert(list, TVI_ROOT, L"x");
    SetCell(list, item, 1, L"one");
    SetCell(list, item, 2, L"two");
    EXPECT_EQ(ShownWidth(list, 0), 350);
    EXPECT_EQ(list.Message(TLM_DELETECOLUMN, 1, 0), 1);
    EXPECT_EQ(ShownWidth(list, 0), 450);
    EXPECT_EQ(Text(list, item, 1), L"two");  // the cells moved down with their column
    EXPECT_EQ(list.Message(TLM_DELETECOLUMN, 7, 0), 0);
}

TEST_F(TreeListOps, ColumnInsertMovesCellsAndCaretColumn) {
    list.Message(TVM_SETEXTENDEDSTYLE, TVS_EX_SUBSELECT, TVS_EX_SUBSELECT);
    InsertColumn(list, "Name", 100);
    InsertColumn(list, "B", 100);
    const HTREEITEM item = Insert(list, TVI_ROOT, L"x");
    SetCell(list, item, 1, L"b");
    list.Message(TLM_SELECTCHILDITEM, 1, static_cast<LPARAM>(item));
    EXPECT_EQ(InsertColumn(list, "A", 80, 0x8000, 1), 1);
    EXPECT_EQ(Text(list, item, 2), L"b");
    EXPECT_EQ(Text(list, item, 1), L"");
    EXPECT_EQ(Next(list, TVGN_CARETCOLUMN), 2u);

    char title[8] = {};
    TV_COLUMN get;
    get.mask = TVCF_TEXT | TVCF_WIDTH;
    get.pszText = title;
    get.cchTextMax = sizeof title;
    EXPECT_EQ(list.Message(TLM_GETCOLUMN, 1, reinterpret_cast<LPARAM>(&get)), 1);
    EXPECT_STREQ(title, "A");
    EXPECT_EQ(get.cx, 80);
}

TEST_F(TreeListOps, AtMostThirtyTwoColumns) {
    for (int i = 0; i < 32; ++i) ASSERT_EQ(InsertColumn(list, "c", 20), i);
    EXPECT_EQ(InsertColumn(list, "one too many", 20), -1);
}

TEST_F(TreeListOps, HeaderTrackingRespectsMinimumAndFixedColumns) {
    list.Message(WM_SIZE, 0, MAKELPARAM(500, 300));
    InsertColumn(list, "Name", 200, 30);
    InsertColumn(list, "Size", 100);
    HDITEM item;
    item.mask = HDI_WIDTH;
    item.cxy = 10;
    NMHEADER nm;
    nm.hdr.idFrom = 1;
    nm.hdr.code = HDN_ENDTRACKA;
    nm.iItem = 0;
    nm.pitem = &item;
    list.Message(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(ShownWidth(list, 0), 30);

    nm.hdr.code = HDN_BEGINTRACKA;
    EXPECT_EQ(list.Message(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&nm)), 0);
    list.Message(TVM_SETEXTENDEDSTYLE, TVS_EX_NOCOLUMNRESIZE, TVS_EX_NOCOLUMNRESIZE);
    EXPECT_NE(list.Message(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&nm)), 0);
    list.Message(TVM_SETEXTENDEDSTYLE, TVS_EX_NOCOLUMNRESIZE | TVS_EX_FIXEDCOLSIZE, TVS_EX_FIXEDCOLSIZE);
    nm.iItem = 1;  // the last column cannot be dragged
    EXPECT_NE(list.Message(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&nm)), 0);

    // With the last column filling, the next column absorbs the change.
    nm.hdr.code = HDN_TRACKA;
    nm.iItem = 0;
    item.cxy = 80;
    list.Message(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(ShownWidth(list, 0), 80);
    EXPECT_EQ(ShownWidth(list, 1), 50);
}

TEST_F(TreeListOps, HeaderClicksReachTheParent) {
    InsertColumn(list, "Name", 200);
    NMHEADER nm;
    nm.hdr.idFrom = 1;
    nm.hdr.code = HDN_ITEMCLICKA;
    nm.iItem = 0;
    parent.Clear();
    list.Message(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(parent.CodesWithout(NM_SETFOCUS), (std::vector<UINT>{HDN_ITEMCLICKA}));
}

TEST_F(TreeListOps, AutoEditSettingsAndValueListsAreCopied) {
    InsertColumn(list, "Name", 100);
    InsertColumn(list, "Kind", 100);
    std::wstring values = L"low|mid|high";
    EXPECT_EQ(
        list.Message(TLM_SETCOLUMNAUTOEDIT, TVAE_MAKE(1, TVAX_STEP, 0, L'|'), reinterpret_cast<LPARAM>(values.c_str())),
        1);
    values.assign(values.size(), L'#');  // the caller's memory is not read again
    EXPECT_EQ(list.Message(TLM_SETCOLUMNVALUE, 1, 10), 1);
    EXPECT_EQ(list.Message(TLM_SETCOLUMNAUTOEDIT, TVAE_MAKE(5, TVAX_EDIT, 0), 0), 0);   // no such column
    EXPECT_EQ(list.Message(TLM_SETCOLUMNAUTOEDIT, TVAE_MAKE(0, TVAX_CHECK, 0), 0), 0);  // not on column 0
    EXPECT_EQ(list.Message(TLM_SETCOLUMNVALUE, 0, 1), 0);                               // column 0 has no kind
    // Check-box kinds make the check-box images for cells.
    EXPECT_EQ(list.Message(TVM_GETIMAGELIST, TVSIL_CHECK, 0), 0);
    list.Message(TLM_SETCOLUMNAUTOEDIT, TVAE_MAKE(1, TVAX_CHECK, 0), 0);
    EXPECT_NE(list.Message(TVM_GETIMAGELIST, TVSIL_CHECK, 0), 0);
}

// ---------------------------------------------------------------- scrolling

class TreeListScroll : public TreeListOps {
protected:
    void SetUp() override {
        top = Insert(list, TVI_ROOT, L"top");
        for (int i = 0; i < 99; ++i) Insert(list, TVI_ROOT, std::to_wstring(i).c_str());
        height = static_cast<int>(list.Message(TVM_GETITEMHEIGHT, 0, 0));
        list.Message(WM_SIZE, 0, MAKELPARAM(300, 10 * height + height / 2));
    }
    int FirstRow() {
        return static_cast<int>(list.Message(TLM_GETROWOFITEM, 0, static_cast<LPARAM>(Next(list, TVGN_FIRSTVISIBLE))));
    }
    HTREEITEM top = 0;
    int height = 0;
};

TEST_F(TreeListScroll, PageCountsAndVerticalScrolling) {
    EXPECT_EQ(list.Message(TVM_GETVISIBLECOUNT, 0, 0), 10);
    EXPECT_EQ(list.Message(TLM_GETROWSPERPAGE, 0, 0), 11);
    list.Message(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(FirstRow(), 1);
    list.Message(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(FirstRow(), 10);
    list.Message(WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(FirstRow(), 1);
    list.Message(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
    EXPECT_EQ(FirstRow(), 40);
    // The largest first row is the row count minus the whole rows per page.
    list.Message(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(FirstRow(), 90);
    list.Message(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 95), 0);
    EXPECT_EQ(FirstRow(), 90);
    list.Message(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(FirstRow(), 0);
}

TEST_F(TreeListScroll, OneWheelNotchScrollsTwoRows) {
    list.Message(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(FirstRow(), 2);
    list.Message(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-360)), 0);
    EXPECT_EQ(FirstRow(), 8);
    list.Message(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(FirstRow(), 6);
    // Not with a modifier or a button.
    list.Message(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), 0);
    EXPECT_EQ(FirstRow(), 6);
    list.Message(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-12000)), 0);
    EXPECT_EQ(FirstRow(), 90);
}

TEST_F(TreeListScroll, FirstVisibleScrollsAnItemToTheTop) {
    const HTREEITEM item = static_cast<HTREEITEM>(list.Message(TLM_GETITEMOFROW, 30, 0));
    EXPECT_EQ(list.Message(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, static_cast<LPARAM>(item)), 1);
    EXPECT_EQ(FirstRow(), 30);
    // Next and previous visible stay on the page.
    EXPECT_EQ(list.Message(TLM_GETROWOFITEM, 0, static_cast<LPARAM>(Next(list, TVGN_NEXTVISIBLE, item))), 31);
    EXPECT_EQ(Next(list, TVGN_PREVIOUSVISIBLE, item), 0u);
    const HTREEITEM last = static_cast<HTREEITEM>(list.Message(TLM_GETITEMOFROW, 40, 0));
    EXPECT_EQ(Next(list, TVGN_NEXTVISIBLE, last), 0u);
}

TEST_F(TreeListScroll, ThumbPositionsPastSixteenBits) {
    const HTREEITEM folder = Insert(list, TVI_ROOT, L"many");
    for (int i = 0; i < 70000; ++i) Insert(list, folder, L"x");
    list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(folder));
    QImage image(300, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    list.Message(WM_PAINT, reinterpret_cast<WPARAM>(&painter), 0);  // a paint sets the scroll ranges
    // What a drag of the scroll bar's thumb delivers.
    list.verticalScrollBar()->setSliderPosition(69000);
    EXPECT_EQ(FirstRow(), 69000);
    list.Message(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(69000 & 0xFFFF)), 0);
    EXPECT_EQ(FirstRow(), 69000);
}

TEST_F(TreeListScroll, ScrollingIsIgnoredWhileEditing) {
    STYLESTRUCT change{kTaskWindowStyle, kTaskWindowStyle | TVS_EDITLABELS};
    list.Message(WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE), reinterpret_cast<LPARAM>(&change));
    list.Message(TVM_EDITLABELA, 0, static_cast<LPARAM>(top));
    ASSERT_NE(list.Message(TVM_GETEDITCONTROL, 0, 0), 0);
    list.Message(WM_VSCROLL, SB_LINEDOWN, 0);
    list.Message(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(FirstRow(), 0);
    list.Message(TVM_ENDEDITLABELNOW, 1, 0);
    list.Message(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(FirstRow(), 1);
}

}  // namespace
