// The TreeList's building blocks on their own: the item table and its row list, column
// widths, the colour defaults, the incremental-search buffer, value lists and the lock.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "controls/treelist/column_layout.h"
#include "controls/treelist/incremental_search.h"
#include "controls/treelist/tree_colors.h"
#include "controls/treelist/tree_item_table.h"
#include "controls/treelist/treelist_defs.h"
#include "controls/treelist/value_list.h"
#include "controls/treelist/window_lock.h"

namespace {

ItemIndex AddItem(TreeItemTable& table, ItemIndex parent) {
    EXPECT_TRUE(table.ReserveOne());
    const ItemIndex handle = table.Add(std::make_unique<TreeItem>());
    table.LinkLast(parent, handle);
    return handle;
}

TEST(TreeItemTable, GrowsByHalfPlus64AndHandsOutHandlesRoundRobin) {
    TreeItemTable table;
    EXPECT_EQ(table.Capacity(), 1u);
    const ItemIndex first = AddItem(table, 0);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(table.Capacity(), 65u);
    for (int i = 0; i < 63; ++i) AddItem(table, 0);
    EXPECT_EQ(table.Capacity(), 65u);
    AddItem(table, 0);  // the 65th item would reach the capacity
    EXPECT_EQ(table.Capacity(), 65u + 32 + 64);

    // A freed handle is taken again only after the others have been given out.
    table.Unlink(first);
    table.Remove(first);
    std::vector<ItemIndex> next;
    for (int i = 0; i < 5; ++i) next.push_back(AddItem(table, 0));
    EXPECT_EQ(next.front(), 66u);
    EXPECT_EQ(std::count(next.begin(), next.end(), first), 0);
}

TEST(TreeItemTable, RowsFollowExpansionAndAreRebuiltOnlyWhenAsked) {
    TreeItemTable table;
    const ItemIndex a = AddItem(table, 0);
    const ItemIndex a1 = AddItem(table, a);
    const ItemIndex a2 = AddItem(table, a);
    const ItemIndex b = AddItem(table, 0);
    EXPECT_TRUE(table.RowsStale());
    EXPECT_EQ(table.Rows(), (std::vector<ItemIndex>{a, b}));
    EXPECT_FALSE(table.RowsStale());
    EXPECT_EQ(table.RowOf(a1), -1);
    EXPECT_FALSE(table.IsShown(a1));

    table.Get(a)->state |= TVIS_EXPANDED;
    table.InvalidateRows();
    EXPECT_EQ(table.Rows(), (std::vector<ItemIndex>{a, a1, a2, b}));
    EXPECT_EQ(table.RowOf(a2), 2);
    EXPECT_EQ(table.ItemOfRow(3), b);
    EXPECT_EQ(table.ItemOfRow(4), 0u);
    EXPECT_TRUE(table.IsShown(a2));

    // Collapsing hides the rows without touching the hidden items one by one.
    table.Get(a)->state &= ~TVIS_EXPANDED;
    table.InvalidateRows();
    EXPECT_EQ(table.RowOf(a2), -1);
    EXPECT_EQ(table.RowOf(b), 1);

    // Depth-first walks, whole tree or one sub-tree.
    EXPECT_EQ(table.NextDepthFirst(a), a1);
    EXPECT_EQ(table.NextDepthFirst(a2), b);
    EXPECT_EQ(table.NextDepthFirst(a2, a), 0u);
    EXPECT_TRUE(table.IsAncestor(a, a2));
    EXPECT_FALSE(table.IsAncestor(b, a2));
}

TEST(TreeItemTable, LinkingKeepsBothEndsRight) {
    TreeItemTable table;
    const ItemIndex parent = AddItem(table, 0);
    const ItemIndex x = AddItem(table, parent);
    ASSERT_TRUE(table.ReserveOne());
    const ItemIndex y = table.Add(std::make_unique<TreeItem>());
    table.LinkBefore(x, y);
    ASSERT_TRUE(table.ReserveOne());
    const ItemIndex z = table.Add(std::make_unique<TreeItem>());
    table.LinkAfter(x, z);
    EXPECT_EQ(table.FirstChildOf(parent), y);
    EXPECT_EQ(table.LastChildOf(parent), z);
    table.SetChildOrder(parent, {z, y, x});
    EXPECT_EQ(table.FirstChildOf(parent), z);
    EXPECT_EQ(table.Get(y)->prevSibling, z);
    EXPECT_EQ(table.LastChildOf(parent), x);
    table.Unlink(x);
    EXPECT_EQ(table.LastChildOf(parent), y);
    EXPECT_EQ(table.Get(y)->nextSibling, 0u);
}

TEST(ColumnLayout, ChangesAreSpreadByShareAndAddUpExactly) {
    ColumnLayout layout;
    layout.SetClientWidth(997);
    TreeColumn fixed;
    fixed.requested = 120;
    for (int share : {3, 1, 7}) {
        TreeColumn variable;
        variable.share = share;
        layout.Insert(layout.Count(), variable);
    }
    layout.Insert(1, fixed);
    auto sum = [&] {
        int total = 0;
        for (const auto& c : layout.Columns()) total += c.requested;
        return total;
    };
    EXPECT_EQ(sum(), 997);
    EXPECT_EQ(layout.At(1)->requested, 120);
    for (int width = 997; width < 1400; width += 37) {
        layout.SetClientWidth(width);
        ASSERT_EQ(sum(), width);
        ASSERT_EQ(layout.TotalWidth(), width);
    }
    EXPECT_EQ(layout.FixedSum(), 120);
    EXPECT_EQ(layout.ShareSum(), 11);
    EXPECT_EQ(layout.Left(2), layout.At(0)->shown + 120);
    EXPECT_EQ(layout.ColumnAt(layout.Left(2)), 2);
    EXPECT_EQ(layout.ColumnAt(layout.TotalWidth()), -1);
}

TEST(ColumnLayout, TheOnlyVariableColumnTakesTheWholeChange) {
    ColumnLayout layout;
    layout.SetClientWidth(300);
    TreeColumn variable;
    variable.share = 1;
    layout.Insert(0, variable);
    TreeColumn fixed;
    fixed.requested = 100;
    layout.Insert(1, fixed);
    EXPECT_EQ(layout.At(0)->requested, 200);
    layout.SetClientWidth(301);
    EXPECT_EQ(layout.At(0)->requested, 201);
    layout.SetClientWidth(50);
    EXPECT_EQ(layout.At(0)->shown, 16);  // the default minimum
    layout.Remove(1);
    EXPECT_EQ(layout.At(0)->requested, 50);
}

TEST(TreeColors, DefaultsFollowTheSystemColoursAndClampAtZero) {
    TreeColors colors;
    SystemColors system;
    system.window = RGB(4, 200, 3);
    system.infoBk = RGB(5, 202, 5);  // too close to the even rows
    system.highlight = RGB(0, 0, 255);
    system.scrollBar = RGB(100, 100, 100);
    colors.SetSystemColors(system);
    // Odd rows: the even colour with its blue lowered by 8, but never below 0.
    EXPECT_EQ(colors.Get(TVC_ODD), RGB(4, 200, 0));
    EXPECT_EQ(colors.Get(TVC_COLBK), RGB(4, 184, 3));      // channels of 16 or more lose 16
    EXPECT_EQ(colors.Get(TVC_GRAYED), RGB(52, 150, 51));   // halves added
    EXPECT_EQ(colors.Get(TVC_MARKEVEN), RGB(0, 175, 31));  // 7/8 window + 1/8 highlight

    // A set colour stays until cleared; dependent defaults follow it.
    EXPECT_EQ(colors.Set(TVC_EVEN, RGB(255, 255, 255)), RGB(4, 200, 3));
    EXPECT_TRUE(colors.IsSet(TVC_EVEN));
    EXPECT_EQ(colors.Get(TVC_ODD), RGB(5, 202, 5));  // far enough now
    colors.Set(TVC_EVEN, CLR_NONE);
    EXPECT_FALSE(colors.IsSet(TVC_EVEN));
    EXPECT_EQ(colors.Get(TVC_EVEN), RGB(4, 200, 3));
    EXPECT_EQ(LowerChannels(RGB(15, 16, 255), 16), RGB(15, 0, 239));
    EXPECT_EQ(ColorDistanceSquared(RGB(1, 2, 3), RGB(4, 6, 3)), 25);
}

TEST(IncrementalSearch, RestartsByTimeLengthAndRepeatedLetter) {
    IncrementalSearch search;
    EXPECT_FALSE(search.Type(L'b', 1000));
    EXPECT_TRUE(search.Type(L'a', 1700));  // 700 ms after one character: still growing
    EXPECT_EQ(search.Text(), L"BA");
    EXPECT_TRUE(search.Type(L'n', 2400));
    EXPECT_TRUE(search.Type(L'a', 3350));  // three or more characters wait up to 1000 ms
    EXPECT_FALSE(search.Type(L'x', 4400));
    EXPECT_EQ(search.Text(), L"X");
    EXPECT_FALSE(search.Type(L'x', 4500));  // the same single letter: cycles
    EXPECT_EQ(search.Text(), L"X");
    EXPECT_EQ(search.Current(4500 + 749), L"X");
    EXPECT_EQ(search.Current(4500 + 750), L"");

    IncrementalSearch full;
    for (int i = 0; i < 16; ++i) full.Type(static_cast<wchar_t>(L'a' + i), 100 + i);
    EXPECT_EQ(full.Text().size(), 16u);
    EXPECT_FALSE(full.Type(L'z', 200));
    EXPECT_EQ(full.Text(), L"Z");
    full.Type(L'y', 210);
    full.KeepLastOnly();
    EXPECT_EQ(full.Text(), L"Y");

    EXPECT_EQ(IncrementalSearch::Fold(L'q'), L'Q');
    EXPECT_EQ(IncrementalSearch::Fold(static_cast<wchar_t>(0xE9)), static_cast<wchar_t>(0xC9));
    EXPECT_EQ(IncrementalSearch::Fold(static_cast<wchar_t>(0xFF)), static_cast<wchar_t>(0xFF));
    EXPECT_TRUE(IncrementalSearch::MatchesPrefix(L"banana", L"BAN"));
    EXPECT_FALSE(IncrementalSearch::MatchesPrefix(L"ba", L"BAN"));
}

TEST(ValueList, CopiedEntriesWithLimits) {
    EXPECT_EQ(CopyValueList(reinterpret_cast<LPARAM>(L"a|b||c"), false, L'|', 0),
              (std::vector<std::wstring>{L"a", L"b", L"", L"c"}));
    EXPECT_EQ(CopyValueList(reinterpret_cast<LPARAM>(L"a|b|c"), false, L'|', 2),
              (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(CopyValueList(reinterpret_cast<LPARAM>(L"one"), false, 0, 0), (std::vector<std::wstring>{L"one"}));
    const wchar_t* pointers[] = {L"x", L"y", nullptr, L"z"};
    EXPECT_EQ(CopyValueList(reinterpret_cast<LPARAM>(pointers), true, 0, 0), (std::vector<std::wstring>{L"x", L"y"}));
    EXPECT_EQ(CopyValueList(reinterpret_cast<LPARAM>(pointers), true, 0, 1), (std::vector<std::wstring>{L"x"}));
    EXPECT_TRUE(CopyValueList(0, true, 0, 0).empty());
    const std::vector<std::wstring> values{L"low", L"mid"};
    EXPECT_EQ(FindValue(values, L"mid"), 1);
    EXPECT_EQ(FindValue(values, L"MID"), -1);
}

TEST(WindowLock, ReenteredByItsOwnerAndLetGoAroundCallsOut) {
    WindowLock lock;
    lock.Lock();
    lock.Lock();  // the owning thread again: no deadlock
    EXPECT_TRUE(lock.HeldByCurrentThread());

    std::atomic<bool> entered{false};
    std::thread other([&] {
        WindowLockGuard guard(lock);
        entered = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(entered);
    {
        // A call out lets the other thread in, and the owner gets both levels back after.
        WindowLockRelease release(lock);
        EXPECT_FALSE(lock.HeldByCurrentThread());
        while (!entered) std::this_thread::yield();
    }
    other.join();
    EXPECT_TRUE(lock.HeldByCurrentThread());
    lock.Unlock();
    EXPECT_TRUE(lock.HeldByCurrentThread());
    lock.Unlock();
    EXPECT_FALSE(lock.HeldByCurrentThread());
    lock.Unlock();  // one too many is harmless
}

}  // namespace
