// A real Check of two folders shown by a task window: one row per item, each with the
// action the Check decided.
#include <gtest/gtest.h>

#include <map>

#include "engine/support/run_harness.h"
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

    plat::QtGuiServices gui;
    twtest::StandIn taskList(harness.Main().Hwnd());
    CSyncDlg window(nullptr, harness.Main().Hwnd(), taskList.Hwnd());
    window.Message(WM_SYNC_TASK_CHANGED, 0, reinterpret_cast<LPARAM>(&task));
    window.RebuildTaskItems();

    CTreeListCtrl& tree = window.ItemTree();
    EXPECT_EQ(twtest::RowNames(tree), (std::vector<std::wstring>{L"Task", L"sub", L"inside.txt", L"changed.txt",
                                                                 L"new.txt", L"right.txt", L"same.txt"}));
    const std::map<std::wstring, std::wstring> expected{
        {L"sub", L"Create right"}, {L"inside.txt", L"Copy to right"}, {L"changed.txt", L"Copy to right"},
        {L"new.txt", L"Copy to right"}, {L"same.txt", L""}, {L"right.txt", L"Copy to left"}};
    for (const auto& [name, action] : expected) {
        EXPECT_EQ(twtest::Cell(tree, twtest::Row(tree, name), 3).text, action) << plat::WideToUtf8(name);
    }
}

}  // namespace
