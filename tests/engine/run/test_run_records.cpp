// What a run leaves behind in the program's own stores when they cannot take it: a
// history file that cannot be written or is damaged, a task store removed during the run.
// The run's work stands, the run says in red what was not stored and why, and it does not
// end "Successfully"; the next Check finds the folders in step.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/history_store.h"
#include "foundation/task_store.h"
#include "tests/engine/support/run_harness.h"

namespace {

namespace fs = std::filesystem;
using runtest::CheckedItem;
using runtest::EngineHarness;
using runtest::Tree;
using runtest::WriteFileAt;
using Names = std::vector<std::string>;

std::string NextCheckChanges(EngineHarness& harness, SyncTask& task) {
    EXPECT_EQ(harness.Run(task, kRunModeCheck), kRunSucceeded);
    for (const std::string& line : harness.WindowsOf(task).Lines()) {
        if (line.rfind("Changes: ", 0) == 0) return line;
    }
    return {};
}

TEST(RunRecords, AHistoryFileThatCannotBeWrittenIsToldAndTheRunDoesNotSucceed) {
    EngineHarness harness;
    SyncTask& task = harness.AddTask("left", "right");
    WriteFileAt(harness.Folder("left") + "/a.txt", "a");
    ASSERT_TRUE(fs::create_directory(GetHistoryFilePath()));

    EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunRecordNotWritten);
    EXPECT_EQ(Tree(harness.Folder("right")), Names{"a.txt"}) << "the run's work stands";
    runtest::TaskWindows& windows = harness.WindowsOf(task);
    EXPECT_TRUE(
        windows.HasLine("red: Failed to write the history record to '" + GetHistoryFilePath() + "': access denied."));
    EXPECT_EQ(windows.LastStatus(), "Sync has finished");

    fs::remove(GetHistoryFilePath());
    EXPECT_EQ(NextCheckChanges(harness, task), "Changes: 0 (Conflicts: 0) Warning: 0");
    EXPECT_EQ(ReadHistoryRecords(0)->records.back().status, kRunSucceeded);
}

TEST(RunRecords, ADamagedHistoryFileIsKeptAsideAndTheRunsRecordBeginsANewOne) {
    EngineHarness harness;
    SyncTask& task = harness.AddTask("left", "right");
    WriteFileAt(harness.Folder("left") + "/a.txt", "a");
    qbtest::WriteFileBytes(GetHistoryFilePath(), "PK damaged beyond reading");

    EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded) << "its record was written";
    EXPECT_EQ(Tree(harness.Folder("right")), Names{"a.txt"});
    std::string aside;
    for (const auto& entry : fs::directory_iterator(fs::path(GetHistoryFilePath()).parent_path())) {
        if (entry.path().filename().string().rfind("qbsync-damaged-", 0) == 0) aside = entry.path().string();
    }
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(qbtest::ReadFileBytes(aside), "PK damaged beyond reading");
    EXPECT_TRUE(harness.WindowsOf(task).HasLine("red: The history file '" + GetHistoryFilePath() +
                                                "' is damaged: it is kept as '" + aside +
                                                "' and a new one was begun."));
    ASSERT_EQ(ReadHistoryRecords(0)->records.size(), 1u);

    EXPECT_EQ(NextCheckChanges(harness, task), "Changes: 0 (Conflicts: 0) Warning: 0");
    EXPECT_EQ(ReadHistoryRecords(0)->records.size(), 2u) << "the next run goes on in the new file";
}

TEST(RunRecords, ATaskStoreRemovedDuringTheRunIsToldAndTheHistorySaysSo) {
    EngineHarness harness;
    SyncTask& task = harness.AddTask("left", "right");
    WriteFileAt(harness.Folder("left") + "/a.txt", "a");
    runtest::TaskWindows& windows = harness.WindowsOf(task);
    windows.onCopyBegin = [] { fs::remove(GetTaskListFilePath()); };

    EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunRecordNotWritten);
    EXPECT_EQ(Tree(harness.Folder("right")), Names{"a.txt"});
    EXPECT_TRUE(
        windows.HasLine("red: Failed to write to task file '" + GetTaskListFilePath() + "': the file is missing."));
    EXPECT_EQ(windows.LastStatus(), "Sync has finished");
    EXPECT_EQ(ReadHistoryRecords(0)->records.back().status, kRunRecordNotWritten);

    windows.onCopyBegin = {};
    ASSERT_TRUE(WriteTaskRecord(task).written);  // the task list stores its tasks again
    EXPECT_EQ(NextCheckChanges(harness, task), "Changes: 0 (Conflicts: 0) Warning: 0");
}

}  // namespace
