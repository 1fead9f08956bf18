// The TreeList wrapper: creating the window, columns, items and cells through its members,
// and the inherited tree helpers as they reach a TreeList.
#include <gtest/gtest.h>

#include "controls/tree_list_ctrl.h"
#include "tests/controls/treelist_test_support.h"

using namespace tltest;

namespace {

class TreeListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ctrl.Create(kTaskWindowStyle, RECT{10, 20, 410, 320}, &parent, 47945));
        ctrl.SetExtendedStyle(0, 0x91000);
    }
    NotifyParent parent;
    CTreeListCtrl ctrl;
};

TEST_F(TreeListCtrlTest, CreatesAChildTreeListWindow) {
    auto* window = qobject_cast<TreeListWindow*>(ctrl.GetWidget());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parentWidget(), &parent);
    EXPECT_EQ(window->geometry(), QRect(10, 20, 400, 300));
    EXPECT_EQ(GetParent(ctrl.GetSafeHwnd()), parent.GetSafeHwnd());
    EXPECT_EQ(window->ControlId(), 47945u);
    EXPECT_EQ(ctrl.GetExtendedStyle(), 0x91000u);
    EXPECT_STREQ(ctrl.GetRuntimeClassName(), "CTreeListCtrl");
    EXPECT_FALSE(ctrl.Create(kTaskWindowStyle, RECT{}, &parent, 1));  // one window per wrapper
    EXPECT_TRUE(RegisterTreeListClass());
}

TEST_F(TreeListCtrlTest, ColumnsItemsAndCells) {
    EXPECT_EQ(ctrl.InsertColumn(0, "Name", -1, 200, 0x8000), 0);
    EXPECT_EQ(ctrl.InsertColumn(1, "L Size", TVCFMT_RIGHT | TVCFMT_MARK, 100, 30), 1);
    EXPECT_EQ(ctrl.InsertColumn(2, "Status", -1, -1, 0x8000), 2);  // variable
    TV_COLUMN column;
    column.mask = TVCF_FMT | TVCF_WIDTH;
    ctrl.SendMessage(TLM_GETCOLUMN, 1, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(column.fmt, TVCFMT_RIGHT | TVCFMT_MARK);
    EXPECT_EQ(column.cx, 100);

    const HTREEITEM task = ctrl.InsertItemW(TVIF_TEXT | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE, L"My task", 3, 3,
                                            TVIS_BOLD, TVIS_BOLD, 0, TVI_ROOT, TVI_LAST);
    ASSERT_NE(task, 0u);
    int rowData = 42;
    const HTREEITEM row = ctrl.InsertItemW(TVIF_TEXT | TVIF_PARAM, L"file.txt", 0, 0, 0, 0,
                                           reinterpret_cast<LPARAM>(&rowData), task, TVI_LAST);
    EXPECT_EQ(ctrl.SetItemW(row, 1, TVIF_TEXT, L"12 KB", 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(ctrl.SetItemW(row, 3, TVIF_TEXT, L"no such column", 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(ctrl.SetItemW(row, 6, TVIF_TEXT | TVIF_IMAGE, L"x", 13, 13, 0, 0, 0), -1);
    auto* window = qobject_cast<TreeListWindow*>(ctrl.GetWidget());
    EXPECT_EQ(Text(*window, row, 1), L"12 KB");
    EXPECT_EQ(reinterpret_cast<int*>(ctrl.GetItemData(row)), &rowData);
    EXPECT_EQ(ctrl.GetItemState(task, TVIS_BOLD), TVIS_BOLD);
    EXPECT_EQ(ctrl.GetCount(), 2u);
    EXPECT_EQ(ctrl.GetChildItem(task), row);
    EXPECT_EQ(ctrl.GetParentItem(row), task);
    EXPECT_EQ(ctrl.GetRootItem(), task);

    // Column 0 through SetItemW is the item itself.
    ctrl.SetItemW(row, 0, TVIF_TEXT, L"renamed.txt", 0, 0, 0, 0, 0);
    EXPECT_EQ(Text(*window, row), L"renamed.txt");
    EXPECT_EQ(ctrl.SetItemStateW(row, 1, TVIS_BOLD, TVIS_BOLD), 0);
}

TEST_F(TreeListCtrlTest, EightBitSetsHaveNoEffectOnATreeList) {
    const HTREEITEM item = ctrl.InsertItemW(TVIF_TEXT | TVIF_PARAM, L"x", 0, 0, 0, 0, 5, TVI_ROOT, TVI_LAST);
    EXPECT_FALSE(ctrl.SetItemData(item, 99));
    EXPECT_EQ(ctrl.GetItemData(item), 5u);
    EXPECT_FALSE(ctrl.SetItemState(item, TVIS_BOLD, TVIS_BOLD));
    EXPECT_EQ(ctrl.GetItemState(item, TVIS_BOLD), 0u);
}

TEST_F(TreeListCtrlTest, SelectAllAndTheSelectedItems) {
    const HTREEITEM task = ctrl.InsertItemW(TVIF_TEXT, L"task", 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST);
    std::vector<HTREEITEM> rows;
    for (int i = 0; i < 4; ++i) rows.push_back(ctrl.InsertItemW(TVIF_TEXT, L"row", 0, 0, 0, 0, 0, task, TVI_LAST));
    ctrl.Expand(task, TVE_EXPAND);
    // What the task window's Select All does: every row but the first joins the selection.
    for (HTREEITEM row : rows) ctrl.SetItemStateW(row, 0, TVIS_SELECTED, TVIS_SELECTED);
    std::vector<HTREEITEM> selected;
    for (HTREEITEM h = ctrl.GetNextSelectedItem(TVI_ROOT); h; h = ctrl.GetNextSelectedItem(h)) selected.push_back(h);
    EXPECT_EQ(selected, rows);
    // From TVI_ROOT the first root item itself comes first when it is selected.
    ctrl.SelectItem(task);
    EXPECT_EQ(ctrl.GetNextSelectedItem(TVI_ROOT), task);
    EXPECT_EQ(ctrl.GetSelectedItem(), task);
}

TEST_F(TreeListCtrlTest, ImageListsAndHitTests) {
    ImageList icons(16, 16);
    QPixmap red(16, 16);
    red.fill(Qt::red);
    icons.Add(red);
    EXPECT_EQ(ctrl.SetImageList(&icons, TVSIL_NORMAL), nullptr);  // no previous list is returned
    EXPECT_EQ(ctrl.GetImageList(TVSIL_NORMAL), &icons);
    const HTREEITEM item = ctrl.InsertItemW(TVIF_TEXT | TVIF_IMAGE, L"x", 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST);
    RECT rect;
    ASSERT_TRUE(ctrl.GetItemRect(item, &rect, TRUE));
    UINT flags = 0;
    EXPECT_EQ(ctrl.HitTest(POINT{rect.left + 3, rect.top + 2}, &flags), item);
    EXPECT_EQ(flags, TVHT_ONITEMLABEL);
    EXPECT_TRUE(ctrl.EnsureVisible(item));
}

TEST_F(TreeListCtrlTest, DestroyingTheWindowDeletesItsItemsWithNotifications) {
    ctrl.InsertItemW(TVIF_TEXT, L"a", 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST);
    ctrl.InsertItemW(TVIF_TEXT, L"b", 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST);
    const HWND hwnd = ctrl.GetSafeHwnd();
    parent.Clear();
    EXPECT_TRUE(ctrl.DestroyWindow());
    EXPECT_EQ(parent.Count(TVN_DELETEITEMA), 2);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(ctrl.GetSafeHwnd(), nullptr);
    EXPECT_EQ(ctrl.GetCount(), 0u);
    EXPECT_FALSE(ctrl.DestroyWindow());
}

TEST(TreeListCtrlLifetime, AWrapperOutlivedByNothing) {
    CTreeListCtrl ctrl;
    {
        NotifyParent parent;
        ASSERT_TRUE(ctrl.Create(kTaskWindowStyle, RECT{0, 0, 100, 100}, &parent, 1));
        ctrl.InsertItemW(TVIF_TEXT, L"a", 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST);
    }
    // The parent took its child along; the wrapper only holds a stale handle.
    EXPECT_EQ(ctrl.GetWidget(), nullptr);
    EXPECT_EQ(ctrl.GetCount(), 0u);

    CMyComboBoxEdit edit;
    EXPECT_FALSE(edit.SubclassWindow(nullptr));
    NotifyParent window;
    EXPECT_TRUE(edit.SubclassWindow(window.GetSafeHwnd()));
    EXPECT_EQ(edit.UnsubclassWindow(), window.GetSafeHwnd());
}

}  // namespace
