// A real Check of two folders shown by a task window: one row per item, each with the
// action the Check decided.
#include <gtest/gtest.h>

#include <map>

#include "engine/support/run_harness.h"
#include "foundation/size_text.h"
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
    const std::map<std::wstring, std::wstring> expected{{L"sub", L"Create right"},
                                                        {L"inside.txt", L"Copy to right"},
                                                        {L"changed.txt", L"Copy to right"},
                                                        {L"new.txt", L"Copy to right"},
                                                        {L"same.txt", L""},
                                                        {L"right.txt", L"Copy to left"}};
    for (const auto& [name, action] : expected) {
        EXPECT_EQ(twtest::Cell(tree, twtest::Row(tree, name), 3).text, action) << plat::WideToUtf8(name);
    }
}

// The task window of a task after a run of `mode`, its rows made from the task's trees.
struct WindowAfterRun {
    WindowAfterRun(runtest::EngineHarness& harness, SyncTask& task)
        : taskList(harness.Main().Hwnd()), window(nullptr, harness.Main().Hwnd(), taskList.Hwnd()) {
        window.Message(WM_SYNC_TASK_CHANGED, 0, reinterpret_cast<LPARAM>(&task));
        window.RebuildTaskItems();
    }
    std::wstring Text(const std::wstring& row, int column) {
        return twtest::Cell(window.ItemTree(), twtest::Row(window.ItemTree(), row), column).text;
    }

    plat::QtGuiServices gui;
    twtest::StandIn taskList;
    CSyncDlg window;
};

std::wstring SizeText(std::uint64_t bytes) { return plat::Utf8ToWide(FormatSizeText(bytes)); }

TEST(TaskWindowAfterCheck, FoldersASyncMadeSayFolderOnBothSides) {
    runtest::EngineHarness harness;
    SyncTask& task = harness.AddTask("L", "R");
    runtest::WriteFileAt(harness.Folder("L/made/in.txt"), "in");
    runtest::WriteFileAt(harness.Folder("R/back/out.txt"), "out");
    ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), 1u);

    WindowAfterRun shown(harness, task);
    for (const wchar_t* folder : {L"made", L"back"}) {
        EXPECT_EQ(shown.Text(folder, 3), L"Done");
        for (const int column : {1, 2, 4, 5}) EXPECT_EQ(shown.Text(folder, column), L"folder") << column;
    }
    EXPECT_EQ(shown.Text(L"in.txt", 4), SizeText(2));
}

TEST(TaskWindowAfterCheck, ExcludedItemsShowTheSidesTheyAreOn) {
    runtest::EngineHarness harness;
    SyncTask& task = harness.AddTask("L", "R");
    task.filterOptions->filterMode = kFilterModeExclusion;
    task.filterOptions->excludeText = L"*.tmp";
    runtest::WriteFileAt(harness.Folder("L/junk.tmp"), "junk");
    runtest::WriteFileAt(harness.Folder("L/both.tmp"), "left");
    runtest::WriteFileAt(harness.Folder("R/both.tmp"), "right!");
    runtest::WriteFileAt(harness.Folder("R/theirs.tmp"), "theirs");
    ASSERT_EQ(harness.Run(task, kRunModeCheck), 1u);

    WindowAfterRun shown(harness, task);
    EXPECT_EQ(shown.Text(L"junk.tmp", 3), L"Excluded");
    EXPECT_EQ(shown.Text(L"junk.tmp", 1), SizeText(4));
    EXPECT_EQ(shown.Text(L"junk.tmp", 4), L"not exists");
    EXPECT_EQ(shown.Text(L"both.tmp", 1), SizeText(4));
    EXPECT_EQ(shown.Text(L"both.tmp", 4), SizeText(6));
    EXPECT_EQ(shown.Text(L"theirs.tmp", 1), L"not exists");
    EXPECT_EQ(shown.Text(L"theirs.tmp", 4), SizeText(6));
    EXPECT_NE(shown.Text(L"theirs.tmp", 5), L"not exists");
}

}  // namespace
