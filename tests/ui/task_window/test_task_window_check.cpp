// A real Check of two folders, its trees shown by a task window: one row per item, each
// with the action the Check decided.
#include <gtest/gtest.h>

#include <map>

#include "engine/support/run_harness.h"
#include "platform/qt/qt_gui_services.h"
#include "tests/ui/task_window/task_window_test_support.h"

namespace {

TEST(TaskWindowAfterCheck, OneRowPerItemWithItsAction) {
    runtest::EngineHarness harness;
    SyncTask& task = harness.AddTask("L", "R");
    runtest::WriteFileAt(harness.Folder("L/new.txt"), "new");
    runtest::WriteFileAt(harness.Folder("L/same.txt"), "same");
    runtest::WriteFileAt(harness.Folder("R/same.txt"), "same");
    runtest::WriteFileAt(harness.Folder("L/changed.txt"), "changed on the left", runtest::kTime + 600);
    runtest::WriteFileAt(harness.Folder("R/changed.txt"), "old");
    runtest::WriteFileAt(harness.Folder("L/sub/inside.txt"), "in a new folder");
    runtest::WriteFileAt(harness.Folder("R/right.txt"), "right only");
    ASSERT_EQ(harness.Run(task, 1), 1u);
    ASSERT_NE(task.sourceItems, nullptr);

    plat::QtGuiServices gui;
    twtest::StandIn taskList(harness.Main().Hwnd());
    CSyncDlg window(nullptr, harness.Main().Hwnd(), taskList.Hwnd());
    window.Message(WM_SYNC_TASK_CHANGED, 0, reinterpret_cast<LPARAM>(&task));
    window.RebuildTaskItems();

    CTreeListCtrl& tree = window.ItemTree();
    std::vector<std::wstring> names;
    std::map<std::wstring, std::wstring> actions;
    std::vector<HTREEITEM> pending{tree.GetRootItem()};
    while (!pending.empty()) {
        const HTREEITEM row = pending.back();
        pending.pop_back();
        if (!row) continue;
        wchar_t name[300] = {}, action[300] = {};
        TVITEMW record;
        record.mask = TVIF_TEXT | TVIF_HANDLE;
        record.hItem = row;
        record.pszText = name;
        record.cchTextMax = 300;
        tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record));
        record.mask |= TVIF_SUBITEM;
        record.cChildren = 3;
        record.pszText = action;
        tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record));
        names.push_back(name);
        actions[name] = action;
        pending.push_back(tree.GetNextSiblingItem(row));
        pending.push_back(tree.GetChildItem(row));
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Task", L"sub", L"inside.txt", L"changed.txt", L"new.txt",
                                                 L"same.txt", L"right.txt"}));
    EXPECT_EQ(actions[L"sub"], L"Create right");
    EXPECT_EQ(actions[L"inside.txt"], L"Copy to right");
    EXPECT_EQ(actions[L"changed.txt"], L"Copy to right");
    EXPECT_EQ(actions[L"new.txt"], L"Copy to right");
    EXPECT_EQ(actions[L"same.txt"], L"");
    EXPECT_EQ(actions[L"right.txt"], L"Copy to left");
}

}  // namespace
