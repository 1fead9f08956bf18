// TreeList items by message: inserting in every position, sorted inserts, setting and
// reading items and cells, deleting, handles and the application area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "tests/controls/treelist_test_support.h"

using namespace tltest;

namespace {

class TreeListItems : public ::testing::Test {
protected:
    NotifyParent parent;
    TreeListWindow list{kTaskWindowStyle, &parent, 47945};
};

TEST_F(TreeListItems, InsertsInEveryPosition) {
    const HTREEITEM root = Insert(list, TVI_ROOT, L"root");
    const HTREEITEM b = Insert(list, root, L"b");
    Insert(list, root, L"d", TVI_LAST);
    Insert(list, root, L"a", TVI_FIRST);
    Insert(list, root, L"c", b);         // after a sibling
    Insert(list, root, L"e", 0x7FFFFF);  // nonsense: last
    Insert(list, root, L"pos0", TVI_POSITION + 0);
    Insert(list, root, L"pos2", TVI_POSITION + 2);
    Insert(list, root, L"pos99", TVI_POSITION + 99);  // past the end: last
    EXPECT_EQ(Children(list, root),
              (std::vector<std::wstring>{L"pos0", L"a", L"pos2", L"b", L"c", L"d", L"e", L"pos99"}));

    // Beside the parent, on the parent's level.
    Insert(list, b, L"after b", TVI_AFTERPARENT);
    Insert(list, b, L"before b", TVI_BEFOREPARENT);
    EXPECT_EQ(Children(list, root), (std::vector<std::wstring>{L"pos0", L"a", L"pos2", L"before b", L"b", L"after b",
                                                               L"c", L"d", L"e", L"pos99"}));
    // TVI_ROOT as insert-after makes a root item whatever the parent.
    Insert(list, b, L"second root", TVI_ROOT);
    EXPECT_EQ(Children(list, TVI_ROOT), (std::vector<std::wstring>{L"root", L"second root"}));
    // A sign-extended special value works like the 32-bit one.
    Insert(list, root, L"first again",
           static_cast<HTREEITEM>(static_cast<std::int64_t>(static_cast<std::int32_t>(TVI_FIRST))));
    EXPECT_EQ(Children(list, root).front(), L"first again");
}

TEST_F(TreeListItems, SortedInsertsPutEqualTextsBeforeTheirEqual) {
    const HTREEITEM root = Insert(list, TVI_ROOT, L"root");
    for (const wchar_t* t : {L"delta", L"Alpha", L"charlie", L"Bravo", L"echo"}) Insert(list, root, t, TVI_SORT);
    EXPECT_EQ(Children(list, root), (std::vector<std::wstring>{L"Alpha", L"Bravo", L"charlie", L"delta", L"echo"}));

    const HTREEITEM first = Insert(list, root, L"same", TVI_SORT, 1);
    const HTREEITEM second = Insert(list, root, L"SAME", TVI_SORT, 2);
    EXPECT_EQ(Next(list, TVGN_NEXT, second), first);
}

int CompareByParam(HWND, HTREEITEM, const WCHAR*, const WCHAR*, LPARAM siblingParam, LPARAM newParam) {
    return siblingParam < newParam ? -1 : siblingParam > newParam ? 1 : 0;
}

TEST_F(TreeListItems, SortedInsertWithACompareFunction) {
    const HTREEITEM root = Insert(list, TVI_ROOT, L"root");
    for (LPARAM p : {5, 1, 4, 2, 3}) {
        TVINSERTSTRUCTW insert;
        insert.hParent = root;
        insert.hInsertAfter = TVI_SORTEX;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.hItem = reinterpret_cast<HTREEITEM>(&CompareByParam);
        const std::wstring text = std::to_wstring(p);
        insert.item.pszText = const_cast<wchar_t*>(text.c_str());
        insert.item.lParam = p;
        ASSERT_NE(list.Message(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)), 0);
    }
    EXPECT_EQ(Children(list, root), (std::vector<std::wstring>{L"1", L"2", L"3", L"4", L"5"}));
}

TEST_F(TreeListItems, InsertRefusesAMissingParent) {
    EXPECT_EQ(Insert(list, 12345, L"orphan"), 0u);
    EXPECT_EQ(list.Message(TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(list.Message(TVM_INSERTITEMW, 0, 0), 0);
}

TEST_F(TreeListItems, HandlesAreReusedOnlyAfterTheWholeTable) {
    const HTREEITEM first = Insert(list, TVI_ROOT, L"1");
    const HTREEITEM second = Insert(list, TVI_ROOT, L"2");
    list.Message(TVM_DELETEITEM, 0, static_cast<LPARAM>(first));
    const HTREEITEM third = Insert(list, TVI_ROOT, L"3");
    EXPECT_NE(third, first);
    EXPECT_GT(third, second);
    // Many more inserts wrap round and only then take the freed handle again.
    std::vector<HTREEITEM> handles;
    for (int i = 0; i < 200; ++i) handles.push_back(Insert(list, TVI_ROOT, L"x"));
    EXPECT_NE(std::find(handles.begin(), handles.end(), first), handles.end());
    EXPECT_EQ(std::set<HTREEITEM>(handles.begin(), handles.end()).size(), handles.size());
}

TEST_F(TreeListItems, SetAndGetItemsAndCells) {
    InsertColumn(list, "Name", 200);
    InsertColumn(list, "Size", 100);
    const HTREEITEM item = Insert(list, TVI_ROOT, L"file.txt");

    SetCell(list, item, 1, L"12 KB");
    EXPECT_EQ(Text(list, item, 1), L"12 KB");
    EXPECT_EQ(Text(list, item), L"file.txt");

    // Application values are pointer-sized.
    const LPARAM big = static_cast<LPARAM>(0x1234567890ABCDEFLL);
    TVITEMW set;
    set.mask = TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    set.hItem = item;
    set.lParam = big;
    set.iImage = 3;
    set.iSelectedImage = 4;
    set.state = TVIS_BOLD | TVIS_CUT;
    set.stateMask = TVIS_BOLD | TVIS_CUT;
    EXPECT_EQ(list.Message(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&set)), 0);
    TVITEMW get;
    get.mask = TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_CHILDREN;
    get.hItem = item;
    get.stateMask = TVIS_BOLD;
    ASSERT_EQ(list.Message(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get)), 1);
    EXPECT_EQ(get.lParam, big);
    EXPECT_EQ(get.iImage, 3);
    EXPECT_EQ(get.iSelectedImage, 4);
    EXPECT_EQ(get.state, TVIS_BOLD);  // masked by the request
    EXPECT_EQ(get.cChildren, 0);
    // TVM_GETITEMSTATE returns bits outside the mask.
    EXPECT_EQ(list.Message(TVM_GETITEMSTATE, item, TVIS_BOLD) & (TVIS_CUT | TVIS_EXPANDEDONCE),
              static_cast<LRESULT>(TVIS_CUT | TVIS_EXPANDEDONCE));

    // A cell keeps no selected or expanded bits.
    TVITEMW cell;
    cell.mask = TVIF_STATE | TVIF_SUBITEM;
    cell.hItem = item;
    cell.cChildren = 1;
    cell.state = TVIS_BOLD | TVIS_EXPANDEDONCE;
    cell.stateMask = TVIS_BOLD | TVIS_EXPANDEDONCE;
    list.Message(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&cell));
    cell.mask = TVIF_STATE | TVIF_SUBITEM;
    cell.stateMask = 0xFFFFFFFF;
    cell.state = 0;
    list.Message(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&cell));
    EXPECT_EQ(cell.state & 0xE2, 0u);
    EXPECT_EQ(cell.state & TVIS_BOLD, TVIS_BOLD);

    // Columns past the count and unknown items are refused.
    cell.cChildren = 2;
    EXPECT_EQ(list.Message(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&cell)), -1);
    set.hItem = 9999;
    EXPECT_EQ(list.Message(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&set)), -1);
    get.hItem = 9999;
    EXPECT_EQ(list.Message(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get)), 0);
}

TEST_F(TreeListItems, TextGettersCopyInTheirOwnUnitsAndNeverPastTheBuffer) {
    const HTREEITEM item = Insert(list, TVI_ROOT, L"abcdefgh");
    wchar_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    TVITEMW get;
    get.mask = TVIF_TEXT;
    get.hItem = item;
    get.pszText = buffer;
    get.cchTextMax = 4;
    list.Message(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get));
    EXPECT_EQ(std::wstring(buffer), L"abc");
    EXPECT_EQ(buffer[4], L'#');

    // A size of 0 or less copies nothing.
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    for (int size : {0, -5}) {
        get.cchTextMax = size;
        list.Message(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get));
        EXPECT_EQ(buffer[0], L'#');
    }
    // The stored text itself, with its length + 1.
    get.mask = TVIF_TEXT | TVIF_TEXTPTR;
    get.pszText = nullptr;
    list.Message(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get));
    ASSERT_NE(get.pszText, nullptr);
    EXPECT_EQ(std::wstring(get.pszText), L"abcdefgh");
    EXPECT_EQ(get.cchTextMax, 9);

    // A cut never separates a surrogate pair.
    const wchar_t pair[] = {L'a', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), L'b', 0};
    const HTREEITEM second = Insert(list, TVI_ROOT, pair);
    get.mask = TVIF_TEXT;
    get.hItem = second;
    get.pszText = buffer;
    get.cchTextMax = 3;
    list.Message(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get));
    EXPECT_EQ(std::wstring(buffer), L"a");
}

TEST_F(TreeListItems, LongTextsKeepTheirFullLength) {
    const std::wstring longText(70000, L'x');
    const HTREEITEM item = Insert(list, TVI_ROOT, longText.c_str());
    TVITEMW get;
    get.mask = TVIF_TEXT | TVIF_TEXTPTR;
    get.hItem = item;
    list.Message(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get));
    EXPECT_EQ(get.cchTextMax, 70001);
}

TEST_F(TreeListItems, CallbackTextsComeFromTheParent) {
    parent.answer = [](NMHDR* header) -> LRESULT {
        if (header->code == TVN_GETDISPINFOA) {
            auto* info = reinterpret_cast<NMTVDISPINFO*>(header);
            std::wcsncpy(info->item.pszText, L"from parent", static_cast<std::size_t>(info->item.cchTextMax));
        }
        return 0;
    };
    TVINSERTSTRUCTW insert;
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = LPSTR_TEXTCALLBACKW;
    const auto item = static_cast<HTREEITEM>(list.Message(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    EXPECT_EQ(Text(list, item), L"from parent");
    EXPECT_EQ(parent.Count(TVN_GETDISPINFOA), 1);
}

TEST_F(TreeListItems, DeleteSendsChildrenFirstAndZeroDeletesAll) {
    const HTREEITEM root = Insert(list, TVI_ROOT, L"root");
    const HTREEITEM a = Insert(list, root, L"a");
    const HTREEITEM b = Insert(list, root, L"b");
    const HTREEITEM a1 = Insert(list, a, L"a1");
    parent.Clear();
    EXPECT_EQ(list.Message(TVM_DELETEITEM, 0, static_cast<LPARAM>(root)), 1);
    std::vector<HTREEITEM> order;
    for (const auto& n : parent.notes)
        if (n.code == TVN_DELETEITEMA) order.push_back(n.oldItem);
    EXPECT_EQ(order, (std::vector<HTREEITEM>{b, a1, a, root}));
    EXPECT_EQ(list.Message(TVM_GETCOUNT, 0, 0), 0);

    Insert(list, TVI_ROOT, L"x");
    const HTREEITEM y = Insert(list, TVI_ROOT, L"y");
    Insert(list, y, L"y1");
    EXPECT_EQ(list.Message(TVM_DELETEITEM, 0, 0), 1);
    EXPECT_EQ(list.Message(TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(list.Message(TLM_GETROWCOUNT, 0, 0), 0);
    EXPECT_EQ(list.Message(TVM_DELETEITEM, 0, 4242), 0);
}

TEST_F(TreeListItems, DeletingTheCaretReportsTheChangeAndAParentLosesItsButton) {
    const HTREEITEM root = Insert(list, TVI_ROOT, L"root");
    const HTREEITEM child = Insert(list, root, L"child");
    list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(child));
    parent.Clear();
    list.Message(TVM_DELETEITEM, 0, static_cast<LPARAM>(child));
    EXPECT_EQ(parent.Codes(), (std::vector<UINT>{TVN_SELCHANGEDA, TVN_DELETEITEMA}));
    EXPECT_EQ(Next(list, TVGN_CARET), 0u);
    TVITEMW get;
    get.mask = TVIF_CHILDREN;
    get.hItem = root;
    list.Message(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get));
    EXPECT_EQ(get.cChildren, 0);
}

TEST_F(TreeListItems, AParentMayDeleteItemsFromItsHandler) {
    const HTREEITEM root = Insert(list, TVI_ROOT, L"root");
    const HTREEITEM a = Insert(list, root, L"a");
    const HTREEITEM b = Insert(list, root, L"b");
    // While `a` is deleted, the parent deletes `b` as well: the control looks items up
    // again after every call out and does not touch what is gone.
    parent.answer = [&](NMHDR* header) -> LRESULT {
        const auto* nm = reinterpret_cast<NMTREEVIEW*>(header);
        if (header->code == TVN_DELETEITEMA && nm->itemOld.hItem == a)
            list.Message(TVM_DELETEITEM, 0, static_cast<LPARAM>(b));
        return 0;
    };
    list.Message(TVM_DELETEITEM, 0, static_cast<LPARAM>(a));
    EXPECT_EQ(list.Message(TVM_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(Children(list, root).size(), 0u);
    parent.answer = nullptr;
    list.Message(TVM_DELETEITEM, 0, static_cast<LPARAM>(TVI_ROOT));
    EXPECT_EQ(list.Message(TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(TreeListItems, UserDataSizeIsTakenOnlyWhileTheTreeIsEmpty) {
    EXPECT_EQ(list.Message(TLM_SETUSERDATASIZE, 0, 0x1000001), -1);
    EXPECT_NE(list.Message(TLM_SETUSERDATASIZE, 0, 24), 0);
    const HTREEITEM item = Insert(list, TVI_ROOT, L"x");
    auto* area = reinterpret_cast<unsigned char*>(list.Message(TLM_GETUSERDATA, 0, static_cast<LPARAM>(item)));
    ASSERT_NE(area, nullptr);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(area[i], 0);
    std::memset(area, 0xAB, 24);

    EXPECT_NE(list.Message(TLM_SETUSERDATASIZE, 0, 100), 0);  // refused, still non-zero
    EXPECT_EQ(list.Message(TLM_GETUSERDATASIZE, 0, 0), 24);
    EXPECT_EQ(list.Message(TLM_GETUSERDATA, 0, 777), 0);
}

TEST_F(TreeListItems, NextItemCodes) {
    const HTREEITEM r1 = Insert(list, TVI_ROOT, L"r1");
    const HTREEITEM r2 = Insert(list, TVI_ROOT, L"r2");
    const HTREEITEM c1 = Insert(list, r1, L"c1");
    const HTREEITEM c2 = Insert(list, r1, L"c2");
    EXPECT_EQ(Next(list, TVGN_ROOT), r1);
    EXPECT_EQ(Next(list, TVGN_NEXT, r1), r2);
    EXPECT_EQ(Next(list, TVGN_PREVIOUS, r2), r1);
    EXPECT_EQ(Next(list, TVGN_PARENT, c2), r1);
    EXPECT_EQ(Next(list, TVGN_CHILD, r1), c1);
    EXPECT_EQ(Next(list, TVGN_CHILD, TVI_ROOT), r1);
    EXPECT_EQ(Next(list, TVGN_LASTCHILD, r1), c2);
    EXPECT_EQ(Next(list, TVGN_LASTCHILD, TVI_ROOT), r2);
    EXPECT_EQ(Next(list, 11, r1), 0u);
    EXPECT_EQ(Next(list, 19, r1), 0u);
    EXPECT_EQ(Next(list, TVGN_NEXT, 555), 0u);
    // The last row of the whole row list: c2 is hidden while r1 is collapsed.
    EXPECT_EQ(Next(list, TVGN_LASTVISIBLE), r2);
    list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(r1));
    list.Message(TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(r1));
    list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(r1));
    EXPECT_EQ(Next(list, TVGN_LASTVISIBLE), r2);
    EXPECT_EQ(list.Message(TLM_GETROWOFITEM, 0, static_cast<LPARAM>(c2)), 2);
}

TEST_F(TreeListItems, PerItemColours) {
    InsertColumn(list, "Name", 100);
    InsertColumn(list, "Size", 100);
    const HTREEITEM item = Insert(list, TVI_ROOT, L"x");
    EXPECT_EQ(list.Message(TLM_GETITEMTEXTCOLOR, item, 0), -1);
    EXPECT_EQ(list.Message(TLM_SETITEMTEXTCOLOR, TLM_ITEMCOLUMN(item, 0), 0x0000FF), -1);
    EXPECT_EQ(list.Message(TLM_SETITEMTEXTCOLOR, TLM_ITEMCOLUMN(item, 0), 0x00FF00), 0x0000FF);
    EXPECT_EQ(list.Message(TLM_GETITEMTEXTCOLOR, item, 0), 0x00FF00);
    EXPECT_EQ(list.Message(TLM_SETITEMBKCOLOR, TLM_ITEMCOLUMN(item, 1), 0x123456), -1);
    EXPECT_EQ(list.Message(TLM_GETITEMBKCOLOR, item, 1), 0x123456);
    EXPECT_EQ(list.Message(TLM_SETITEMBKCOLOR, TLM_ITEMCOLUMN(item, 1), -1), 0x123456);
    EXPECT_EQ(list.Message(TLM_GETITEMBKCOLOR, item, 1), -1);
    EXPECT_EQ(list.Message(TLM_SETITEMBKCOLOR, TLM_ITEMCOLUMN(item, 5), 0x123456), -1);
}

TEST_F(TreeListItems, InsertMarkIsAnItemWithTheMarkColour) {
    InsertColumn(list, "Name", 100);
    InsertColumn(list, "Size", 100);
    const HTREEITEM a = Insert(list, TVI_ROOT, L"a");
    const HTREEITEM b = Insert(list, TVI_ROOT, L"b");
    const auto mark = static_cast<HTREEITEM>(list.Message(TVM_SETINSERTMARK, 1, static_cast<LPARAM>(a)));
    ASSERT_NE(mark, 0u);
    EXPECT_EQ(Next(list, TVGN_NEXT, a), mark);
    EXPECT_EQ(Next(list, TVGN_NEXT, mark), b);
    const LRESULT markColor = list.Message(TVM_GETINSERTMARKCOLOR, 0, 0);
    EXPECT_EQ(list.Message(TLM_GETITEMBKCOLOR, mark, 0), markColor);
    EXPECT_EQ(list.Message(TLM_GETITEMBKCOLOR, mark, 1), markColor);
    // A new mark replaces the old one; item 0 only removes it.
    const auto before = static_cast<HTREEITEM>(list.Message(TVM_SETINSERTMARK, 0, static_cast<LPARAM>(a)));
    EXPECT_EQ(Next(list, TVGN_ROOT), before);
    EXPECT_EQ(list.Message(TVM_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(list.Message(TVM_SETINSERTMARK, 0, 0), 0);
    EXPECT_EQ(list.Message(TVM_GETCOUNT, 0, 0), 2);
}

TEST_F(TreeListItems, ColourSlots) {
    EXPECT_EQ(list.Message(TVM_GETBKCOLOR, 16, 0), -1);
    EXPECT_EQ(list.Message(TVM_SETBKCOLOR, 16, 0x123456), -1);
    const LRESULT old = list.Message(TVM_GETBKCOLOR, 3, 0);
    EXPECT_EQ(list.Message(TVM_SETBKCOLOR, 3, 0x123456), old);
    EXPECT_EQ(list.Message(TVM_GETBKCOLOR, 3, 0), 0x123456);
    EXPECT_EQ(list.Message(TVM_SETBKCOLOR, 3, -1), 0x123456);
    EXPECT_EQ(list.Message(TVM_GETBKCOLOR, 3, 0), old);
    list.Message(TVM_SETTEXTCOLOR, 0, 0x0000AA);
    EXPECT_EQ(list.Message(TVM_GETBKCOLOR, 4, 0), 0x0000AA);
    EXPECT_EQ(list.Message(TVM_GETTEXTCOLOR, 0, 0), 0x0000AA);
    list.Message(TVM_SETLINECOLOR, 0, 0x00BB00);
    EXPECT_EQ(list.Message(TVM_GETBKCOLOR, 5, 0), 0x00BB00);
}

TEST_F(TreeListItems, Unanswered8BitFormsChangeNothing) {
    TVINSERTSTRUCTW insert;
    insert.hParent = TVI_ROOT;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(L"x");
    EXPECT_EQ(list.Message(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)), 0);
    EXPECT_EQ(list.Message(TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(list.Message(CCM_GETUNICODEFORMAT, 0, 0), 1);
}

}  // namespace
