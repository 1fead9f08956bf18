// Whole runs of stored tasks, started as the main frame starts them and answered by
// windows on the test's thread: every sync type on real folders, first and later runs,
// conflicts, Check and Sync apart, Stop in each stage, the guards (nothing included,
// folders held by another run, the change limit, a full disk, an empty or unmounted
// folder), what a run leaves in the history and the task store, two runs at once, and a
// tree as deep as paths allow.

#include <gtest/gtest.h>

#include <limits.h>
#include <pthread.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "engine/actions/file_copier.h"
#include "engine/catalog/catalog_reading.h"
#include "engine/run/message_pace.h"
#include "engine/run/run_guards.h"
#include "foundation/folder_locks.h"
#include "platform/core/file_faults.h"
#include "tests/engine/support/run_harness.h"

namespace {

namespace fs = std::filesystem;
using runtest::EngineHarness;
using runtest::kTime;
using runtest::TaskSetup;
using runtest::Tree;
using runtest::W;
using runtest::WriteFileAt;
using Names = std::vector<std::string>;

// What each side's catalog lists, as the next Check reads it; nothing for a side without one.
std::pair<Names, Names> CatalogNames(SyncTask& task) {
    SyncRunBlock reader;
    reader.task = &task;
    const HWND window = std::exchange(task.taskWindow, nullptr);
    ReadCatalogs(reader);
    task.taskWindow = window;
    const auto names = [](const RunCatalogSide& side) {
        Names list;
        if (side.rows) {
            for (std::size_t i = 0; i < side.rows->size(); ++i) list.emplace_back(side.rows->NameAt(i));
        }
        std::sort(list.begin(), list.end());
        return list;
    };
    std::pair<Names, Names> result{names(reader.sourceSide), names(reader.targetSide)};
    FreeCatalogs(reader);
    reader.task = nullptr;
    return result;
}

std::vector<HistoryRecord> History() {
    const auto list = ReadHistoryRecords(0);
    return list ? list->records : std::vector<HistoryRecord>{};
}

bool HasLineStartingWith(const runtest::TaskWindows& windows, const std::string& start) {
    const Names lines = windows.Lines();
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(start, 0) == 0; });
}

class RunEndToEnd : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(RunningTaskCount().load(), 0); }

    std::string L(const std::string& rel = "") const { return h.Folder("left") + (rel.empty() ? "" : "/" + rel); }
    std::string R(const std::string& rel = "") const { return h.Folder("right") + (rel.empty() ? "" : "/" + rel); }

    EngineHarness h;
};

TEST_F(RunEndToEnd, MirrorKeepsBothFoldersInStepOverTwoRuns) {
    for (const DWORD allowDelete : {1u, 0u}) {
        SCOPED_TRACE(allowDelete ? "Delete on" : "Delete off");
        EngineHarness harness;
        const std::string left = harness.Folder("left");
        const std::string right = harness.Folder("right");
        TaskSetup setup;
        setup.allowDelete = allowDelete;
        SyncTask& task = harness.AddTask("left", "right", setup);
        WriteFileAt(left + "/edited.txt", "one");
        WriteFileAt(left + "/docs/gone-left.txt", "x");
        WriteFileAt(right + "/gone-right.txt", "y");

        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        EXPECT_EQ(harness.WindowsOf(task).leftLabel.rfind("Left: Drive / Total: ", 0), 0u);
        EXPECT_EQ(harness.WindowsOf(task).rightLabel.rfind("Right: Drive / Total: ", 0), 0u);
        const Names all{"docs", "docs/gone-left.txt", "edited.txt", "gone-right.txt"};
        EXPECT_EQ(Tree(left), all);
        EXPECT_EQ(Tree(right), all);
        EXPECT_EQ(CatalogNames(task), std::make_pair(all, all));

        // Edits, additions and deletions on both sides.
        WriteFileAt(left + "/edited.txt", "two, longer", kTime + 600);
        WriteFileAt(right + "/added-right.txt", "z");
        WriteFileAt(left + "/docs/added-left.txt", "w");
        ASSERT_TRUE(plat::DeleteFile(left + "/docs/gone-left.txt"));
        ASSERT_TRUE(plat::DeleteFile(right + "/gone-right.txt"));

        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        EXPECT_EQ(qbtest::ReadFileBytes(right + "/edited.txt"), "two, longer");
        EXPECT_EQ(harness.WindowsOf(task).LastStatus(), "Sync has finished Successfully");
        Names inStep{"added-right.txt", "docs", "docs/added-left.txt", "edited.txt"};
        if (!allowDelete) {
            // What was deleted on one side is copied back from the other.
            inStep = {"added-right.txt",    "docs",       "docs/added-left.txt",
                      "docs/gone-left.txt", "edited.txt", "gone-right.txt"};
            EXPECT_TRUE(harness.WindowsOf(task).HasLine("Changes: 5 (Conflicts: 0) Warning: 2"));
        }
        EXPECT_EQ(Tree(left), inStep);
        EXPECT_EQ(Tree(right), inStep);
        EXPECT_EQ(CatalogNames(task), std::make_pair(inStep, inStep));
    }
}

TEST_F(RunEndToEnd, EachRunLeavesItsHistoryRecordAndTheTaskStoresLastRunFields) {
    TaskSetup setup;
    setup.name = "Recorded";
    setup.type = kSyncLeftToRight;
    SyncTask& task = h.AddTask("left", "right", setup);
    WriteFileAt(L("a.txt"), "a");

    ASSERT_EQ(h.Run(task, kRunModeCheck), kRunSucceeded);
    ASSERT_EQ(h.Run(task, kRunModeSync), kRunSucceeded);

    const std::vector<HistoryRecord> history = History();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].type, static_cast<DWORD>(kHistoryCheck));
    EXPECT_EQ(history[1].type, static_cast<DWORD>(kHistorySync));
    for (const HistoryRecord& record : history) {
        EXPECT_EQ(record.taskName, "Recorded");
        EXPECT_EQ(record.status, kRunSucceeded);
        EXPECT_EQ(record.syncType, static_cast<DWORD>(kSyncLeftToRight));
        EXPECT_NE(record.start.dwHighDateTime, 0u);
        EXPECT_GE(record.end.dwHighDateTime, record.start.dwHighDateTime);
    }
    EXPECT_EQ(h.Main().historyChanges, 2);
    EXPECT_EQ(h.Main().tasksChanged, 2);
    EXPECT_EQ(h.Main().tasksDone, (std::vector<const SyncTask*>{&task, &task}));

    const std::unique_ptr<SyncTask> stored = LoadTaskRecord("Recorded");
    ASSERT_TRUE(stored);
    const TaskRunFacts storedFacts = stored->runFacts.Get();
    const TaskRunFacts facts = task.runFacts.Get();
    EXPECT_EQ(storedFacts.lastRunMode, 0u);
    EXPECT_EQ(storedFacts.lastRunSyncType, static_cast<DWORD>(kSyncLeftToRight));
    EXPECT_EQ(storedFacts.lastRunStart.dwLowDateTime, facts.lastRunStart.dwLowDateTime);
    EXPECT_EQ(storedFacts.lastRunEnd.dwLowDateTime, facts.lastRunEnd.dwLowDateTime);
    EXPECT_NE(facts.lastRunDosDate, 0);
}

TEST_F(RunEndToEnd, AnItemEditedOnBothSidesStaysAConflict) {
    SyncTask& task = h.AddTask("left", "right");
    WriteFileAt(L("both.txt"), "same");
    WriteFileAt(L("other.txt"), "o");
    ASSERT_EQ(h.Run(task, kRunModeCheckAndSync), kRunSucceeded);

    WriteFileAt(L("both.txt"), "left edit", kTime + 100);
    WriteFileAt(R("both.txt"), "right edit!", kTime + 200);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        EXPECT_EQ(h.Run(task, kRunModeCheckAndSync), kRunConflictsLeft);
        EXPECT_EQ(qbtest::ReadFileBytes(L("both.txt")), "left edit");
        EXPECT_EQ(qbtest::ReadFileBytes(R("both.txt")), "right edit!");
        EXPECT_EQ(h.WindowsOf(task).LastStatus(), "Sync has finished (Warning: Unresolved conflicts)");
        EXPECT_TRUE(h.WindowsOf(task).HasLine("Changes: 1 (Conflicts: 1) Warning: 0"));
        EXPECT_EQ(task.runFacts.Get().needsAttention, 1u);
    }
}

TEST_F(RunEndToEnd, OneWayAndBackUpTypesOnlyWriteTowardTheirTarget) {
    struct Case {
        DWORD type;
        Names left;
        Names right;
    };
    const std::vector<Case> cases{
        {kSyncLeftToRight, {"both.txt", "left.txt"}, {"both.txt", "left.txt", "right.txt"}},
        {kSyncRightToLeft, {"both.txt", "left.txt", "right.txt"}, {"both.txt", "right.txt"}},
        {kBackupLeftToRight, {"both.txt", "left.txt"}, {"both.txt", "left.txt"}},
        {kBackupRightToLeft, {"both.txt", "right.txt"}, {"both.txt", "right.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(kSyncTypeTexts[c.type]);
        EngineHarness harness;
        TaskSetup setup;
        setup.type = c.type;
        SyncTask& task = harness.AddTask("left", "right", setup);
        const std::string left = harness.Folder("left");
        const std::string right = harness.Folder("right");
        WriteFileAt(left + "/left.txt", "l");
        WriteFileAt(right + "/right.txt", "r");
        const bool leftIsSource = c.type == kSyncLeftToRight || c.type == kBackupLeftToRight;
        WriteFileAt(left + "/both.txt", "left version", leftIsSource ? kTime + 200 : kTime);
        WriteFileAt(right + "/both.txt", "right version", leftIsSource ? kTime : kTime + 200);
        const std::string sourceVersion = leftIsSource ? "left version" : "right version";

        harness.Run(task, kRunModeCheckAndSync);

        EXPECT_EQ(Tree(left), c.left);
        EXPECT_EQ(Tree(right), c.right);
        EXPECT_EQ(qbtest::ReadFileBytes((leftIsSource ? right : left) + "/both.txt"), sourceVersion);
        EXPECT_EQ(qbtest::ReadFileBytes((leftIsSource ? left : right) + "/both.txt"), sourceVersion);
        const bool backUp = c.type == kBackupLeftToRight || c.type == kBackupRightToLeft;
        if (backUp) {
            EXPECT_EQ(CatalogNames(task), std::make_pair(Names{}, Names{}));
        }
    }
}

TEST_F(RunEndToEnd, ASyncOnItsOwnCarriesOutTheLastCheck) {
    SyncTask& task = h.AddTask("left", "right");
    WriteFileAt(L("a.txt"), "a");

    EXPECT_EQ(h.Run(task, kRunModeCheck), kRunSucceeded);
    EXPECT_EQ(h.WindowsOf(task).LastStatus(), "Check has finished Successfully");
    EXPECT_FALSE(plat::PathExists(R("a.txt")));
    EXPECT_TRUE(task.sourceItems);
    EXPECT_EQ(task.runFacts.Get().needsAttention, 1u);

    EXPECT_EQ(h.Run(task, kRunModeSync), kRunSucceeded);
    EXPECT_EQ(h.WindowsOf(task).LastStatus(), "Sync has finished Successfully");
    EXPECT_EQ(qbtest::ReadFileBytes(R("a.txt")), "a");
    EXPECT_EQ(CatalogNames(task), std::make_pair(Names{"a.txt"}, Names{"a.txt"}));
}

TEST_F(RunEndToEnd, StopDuringTheCheckEndsTheRunWithNoTrees) {
    for (const char* stage : {"Scanning source folder...", "Read Source Catalog...", "Checking..."}) {
        SCOPED_TRACE(stage);
        EngineHarness harness;
        SyncTask& task = harness.AddTask("left", "right");
        WriteFileAt(harness.Folder("left") + "/a.txt", "a");
        ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        WriteFileAt(harness.Folder("left") + "/b.txt", "b");
        runtest::TaskWindows& windows = harness.WindowsOf(task);
        windows.stopWhen = [stage](const runtest::TaskWindows& w) { return w.LastStatus() == stage; };

        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunStopped);

        EXPECT_TRUE(windows.HasLine("red: User cancels operation."));
        EXPECT_TRUE(HasLineStartingWith(windows, "--- CHECK+SYNC Completed - "));
        EXPECT_EQ(windows.LastStatus(), "Check has finished (User stops operation)") << "no Sync ran";
        EXPECT_FALSE(task.sourceItems);
        EXPECT_FALSE(task.targetItems);
        EXPECT_EQ(task.runFacts.Get().needsAttention, 0u);
        EXPECT_FALSE(plat::PathExists(harness.Folder("right") + "/b.txt"));
        EXPECT_EQ(History().back().status, kRunStopped);
    }
}

TEST_F(RunEndToEnd, AStoppedSyncKeepsItsTreesAndASyncOnItsOwnFinishesIt) {
    const ScopedMessagePaceInterval everyItem(0);  // Stop is asked after every item
    SyncTask& task = h.AddTask("left", "right");
    for (int i = 0; i < 6; ++i) WriteFileAt(L("file" + std::to_string(i) + ".txt"), std::to_string(i));
    runtest::TaskWindows& windows = h.WindowsOf(task);
    // Stop once two items of the Sync are done.
    windows.stopWhen = [](const runtest::TaskWindows& w) { return w.LastStatus().empty() && w.progress >= 2; };

    EXPECT_EQ(h.Run(task, kRunModeCheckAndSync), kRunStopped);
    EXPECT_TRUE(windows.HasLine("red: User stops operation"));
    EXPECT_TRUE(task.sourceItems);
    EXPECT_EQ(task.runFacts.Get().needsAttention, 1u);
    const std::size_t copied = Tree(R()).size();
    EXPECT_GT(copied, 0u);
    EXPECT_LT(copied, 6u);
    // A Sync stopped part-way replaces no catalog.
    EXPECT_EQ(CatalogNames(task), std::make_pair(Names{}, Names{}));

    windows.stopWhen = nullptr;
    EXPECT_EQ(h.Run(task, kRunModeSync), kRunSucceeded);
    EXPECT_EQ(Tree(R()), Tree(L()));
    EXPECT_EQ(Tree(R()).size(), 6u);
    EXPECT_EQ(CatalogNames(task), std::make_pair(Tree(L()), Tree(R())));
}

TEST_F(RunEndToEnd, TwoEmptyFoldersHaveNothingToDo) {
    SyncTask& task = h.AddTask("left", "right");
    EXPECT_EQ(h.Run(task, kRunModeCheckAndSync), kRunNothingToDo);
    EXPECT_TRUE(h.WindowsOf(task).HasLine("red: No files are included."));
    EXPECT_EQ(h.WindowsOf(task).LastStatus(), "Check has finished (Nothing to do)");
}

TEST_F(RunEndToEnd, FoldersHeldByAnotherRunRefuseTheStart) {
    TaskSetup setup;
    setup.name = "Busy";
    setup.startSource = 4;  // at program start
    SyncTask& task = h.AddTask("left", "right", setup);
    task.runFacts.Update([](TaskRunFacts& facts) { facts.startRunState = 1; });
    int timerArmed = 0;
    SetAutoStartTimerHandler([&timerArmed] { ++timerArmed; });
    WriteFileAt(L("a.txt"), "a");
    // Another run holds the Right folder; locks belong to the thread that took them.
    plat::Event taken;
    plat::Event release;
    plat::WorkerThread holder;
    holder.Start([&] {
        LockTaskFolders(task.targetFolder, task.targetFolder, true, false);
        taken.Set();
        WaitForSingleObject(release, INFINITE);
        UnlockTaskFolders(task.targetFolder, task.targetFolder, true);
    });
    WaitForSingleObject(taken, INFINITE);

    h.Run(task, kRunModeCheckAndSync);
    release.Set();
    holder.Join();

    EXPECT_EQ(h.WindowsOf(task).statusLines,
              Names{"Task 'Busy' is busy due to source or target folder lock.  Please try later."});
    EXPECT_TRUE(History().empty());
    EXPECT_EQ(h.Main().tasksDone, std::vector<const SyncTask*>{&task});
    EXPECT_FALSE(plat::PathExists(R("a.txt")));
    // The start may come again: the task waits for its program-start run once more.
    EXPECT_EQ(task.runFacts.Get().startRunState, 0u);
    EXPECT_EQ(timerArmed, 1);

    EXPECT_EQ(h.Run(task, kRunModeCheckAndSync), kRunSucceeded);
    EXPECT_EQ(task.runFacts.Get().startRunState, 2u);
    SetAutoStartTimerHandler({});
}

TEST_F(RunEndToEnd, AnUnattendedRunOverTheChangeLimitIsNotSynced) {
    struct Case {
        DWORD startSource;
        DWORD result;
    };
    for (const Case& c : {Case{2, kRunOverChangeLimit}, Case{0, kRunSucceeded}}) {
        SCOPED_TRACE(c.startSource);
        EngineHarness harness;
        TaskSetup setup;
        setup.startSource = c.startSource;
        setup.skipPercent = 50;
        SyncTask& task = harness.AddTask("left", "right", setup);
        for (int i = 0; i < 40; ++i) {
            const std::string name = "/f" + std::to_string(i);
            WriteFileAt(harness.Folder("left") + name, "x");
            if (i < 10) WriteFileAt(harness.Folder("right") + name, "x");
        }

        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), c.result);

        const bool refused = c.result == kRunOverChangeLimit;
        EXPECT_EQ(harness.WindowsOf(task).HasLine(
                      "red: 75 (30 /40) percent of files have been changed.  It is over the limit setup by the user. "
                      "This task will not be run automatically"),
                  refused);
        EXPECT_EQ(Tree(harness.Folder("right")).size(), refused ? 10u : 40u);
        if (refused) {
            EXPECT_EQ(harness.WindowsOf(task).LastStatus(), "Check has finished (Error: Over limit)");
            // The Check's list waits for the user, who may Sync it.
            EXPECT_TRUE(task.sourceItems);
            EXPECT_EQ(task.runFacts.Get().needsAttention, 1u);
        }
    }
}

TEST_F(RunEndToEnd, AFullDiskEndsTheSyncWithResult9) {
    SyncTask& task = h.AddTask("left", "right");
    WriteFileAt(L("big.txt"), std::string(4096, 'b'));
    plat::FileFaults faults;
    const std::string right = R();
    faults.diskFullPath = [right](const std::string& path) { return path.rfind(right, 0) == 0; };
    faults.diskFullAfterBytes = 100;
    const plat::ScopedFileFaults full(std::move(faults));

    EXPECT_EQ(h.Run(task, kRunModeCheckAndSync), kRunDiskFull);

    runtest::TaskWindows& windows = h.WindowsOf(task);
    EXPECT_EQ(windows.LastStatus(), "Sync has finished (Error: Disk Full)");
    EXPECT_FALSE(windows.HasLine("red: User stops operation"));
    EXPECT_EQ(History().back().status, kRunDiskFull);
    EXPECT_EQ(Tree(R()), Names{});
}

// A disk that is not mounted leaves its mount point behind, empty or with a stray file or
// an empty "lost+found" on it. An unattended run is refused; the user's run stops after its
// Check with the deletions listed, and the user's Sync carries them out. A small folder is
// weighed as a large one: holding none of what it held is enough.
TEST_F(RunEndToEnd, ASideThatLostMostOfItsItemsIsNotADeletedTree) {
    struct Case {
        DWORD type;
        int files;
        const char* emptied;
        const char* leftOnIt;  // a file, or a folder when it ends with '/'
        const char* measure;   // what the line counts against
    };
    for (const Case& c : {Case{kSyncMirror, 3, "right", "stray.txt", "items the last run found"},
                          Case{kSyncMirror, 11, "left", "stray.txt", "items the last run found"},
                          Case{kSyncLeftToRight, 11, "left", "lost+found/", "items the last run found"},
                          Case{kBackupLeftToRight, 5, "left", "stray.txt", "items of 'RIGHT'"}}) {
        SCOPED_TRACE(std::string(kSyncTypeTexts[c.type]) + ", " + std::to_string(c.files) + " files");
        EngineHarness harness;
        TaskSetup setup;
        setup.type = c.type;
        setup.startSource = kStartedByRepeat;
        SyncTask& task = harness.AddTask("left", "right", setup);
        for (int i = 0; i < c.files; ++i) WriteFileAt(harness.Folder("left") + "/docs/f" + std::to_string(i), "x");
        ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        const std::string emptied = harness.Folder(c.emptied);
        const std::string other = harness.Folder(c.emptied == std::string("left") ? "right" : "left");
        fs::remove_all(emptied);
        fs::create_directories(emptied + "/" + c.leftOnIt);
        if (!std::string(c.leftOnIt).ends_with('/')) {
            fs::remove(emptied + "/" + c.leftOnIt);
            WriteFileAt(emptied + "/" + c.leftOnIt, "s");
        }
        std::string measure = c.measure;
        if (const std::size_t at = measure.find("RIGHT"); at != std::string::npos) {
            measure.replace(at, 5, harness.Folder("right"));
        }
        const std::string items = std::to_string(c.files + 1);
        const std::string line = "red: The folder '" + emptied + "' holds 0 of the " + items + " " + measure +
                                 ". It may not be mounted. Nothing is synced.";
        runtest::TaskWindows& windows = harness.WindowsOf(task);

        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunFolderEmptyOrUnmounted);
        EXPECT_TRUE(windows.HasLine(line)) << line;
        EXPECT_EQ(windows.LastStatus(), "Check has finished (Error: Folder is empty or not mounted)");
        EXPECT_EQ(Tree(other).size(), c.files + 1u);
        EXPECT_FALSE(task.sourceItems);
        EXPECT_EQ(History().back().status, kRunFolderEmptyOrUnmounted);

        task.startSource = kStartedByUser;
        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunFolderEmptyOrUnmounted);
        EXPECT_TRUE(windows.HasLine(line));
        EXPECT_EQ(windows.LastStatus(), "Check has finished (Error: Folder is empty or not mounted)");
        EXPECT_EQ(task.runFacts.Get().needsAttention, 1u);
        EXPECT_EQ(Tree(other).size(), c.files + 1u);
        EXPECT_EQ(runtest::CountCheckedWith(task, ItemState::kDeleteLeft) +
                      runtest::CountCheckedWith(task, ItemState::kDeleteRight),
                  c.files + 1);

        EXPECT_EQ(harness.Run(task, kRunModeSync), kRunSucceeded);
        EXPECT_EQ(Tree(other), Tree(emptied));
        EXPECT_EQ(harness.Run(task, kRunModeCheck), kRunSucceeded);
        EXPECT_TRUE(windows.HasLine("Changes: 0 (Conflicts: 0) Warning: 0"));
    }
}

TEST_F(RunEndToEnd, ASideEmptiedByTheSyncLosesItsCatalog) {
    SyncTask& task = h.AddTask("left", "right");
    WriteFileAt(L("x.txt"), "x");
    WriteFileAt(L("y.txt"), "y");
    ASSERT_EQ(h.Run(task, kRunModeCheckAndSync), kRunSucceeded);
    ASSERT_TRUE(plat::DeleteFile(L("x.txt")));
    ASSERT_TRUE(plat::DeleteFile(R("y.txt")));

    EXPECT_EQ(h.Run(task, kRunModeCheckAndSync), kRunSucceeded);

    EXPECT_EQ(Tree(L()), Names{});
    EXPECT_EQ(Tree(R()), Names{});
    EXPECT_FALSE(plat::PathExists(plat::WideToUtf8(task.sourceCatalog)));
    EXPECT_FALSE(plat::PathExists(plat::WideToUtf8(task.targetCatalog)));
}

TEST_F(RunEndToEnd, TwoTasksOnDifferentFoldersRunAtOnce) {
    TaskSetup first;
    first.name = "First";
    TaskSetup second;
    second.name = "Second";
    SyncTask& one = h.AddTask("a-left", "a-right", first);
    SyncTask& two = h.AddTask("b-left", "b-right", second);
    for (int i = 0; i < 20; ++i) {
        WriteFileAt(h.Folder("a-left") + "/f" + std::to_string(i), "1");
        WriteFileAt(h.Folder("b-right") + "/g" + std::to_string(i), "2");
    }

    const plat::ThreadHandle runOne = h.Start(one, kRunModeCheckAndSync);
    const plat::ThreadHandle runTwo = h.Start(two, kRunModeCheckAndSync);
    // Neither can end before this thread answers its first message.
    EXPECT_EQ(RunningTaskCount().load(), 2);
    ASSERT_TRUE(h.WaitFor({runOne, runTwo}));

    EXPECT_EQ(one.runFacts.Get().lastRunStatus, kRunSucceeded);
    EXPECT_EQ(two.runFacts.Get().lastRunStatus, kRunSucceeded);
    EXPECT_EQ(Tree(h.Folder("a-right")).size(), 20u);
    EXPECT_EQ(Tree(h.Folder("b-left")).size(), 20u);
    EXPECT_EQ(History().size(), 2u);
}

TEST_F(RunEndToEnd, ARunWhoseWorkerCannotStartEndsAsAnyRunDoes) {
    SyncTask& task = h.AddTask("left", "right");
    WriteFileAt(L("a.txt"), "a");
    const plat::ThreadHandle run =
        h.Start(task, kRunModeCheckAndSync, [](plat::WorkerThread&, std::function<void()>) { return false; });
    ASSERT_TRUE(h.WaitFor({run}));

    EXPECT_EQ(task.runFacts.Get().lastRunStatus, kRunLowMemory);
    EXPECT_EQ(History().back().status, kRunLowMemory);
    EXPECT_EQ(h.Main().tasksDone, std::vector<const SyncTask*>{&task});
    // The locks were released and the start gate opened: the next run goes ahead.
    EXPECT_EQ(h.Run(task, kRunModeCheckAndSync), kRunSucceeded);
    EXPECT_EQ(Tree(R()), Names{"a.txt"});
}

TEST_F(RunEndToEnd, FilterTextsTakeTheirQuotedFormBeforeTheScan) {
    SyncTask& task = h.AddTask("left", "right");
    task.filterOptions->filterMode = kFilterModeExclusion;
    task.filterOptions->excludeText = L"a.txt;b.txt";
    task.filterOptions->includeText = L"c.txt";
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) WriteFileAt(L(name), name);

    EXPECT_EQ(h.Run(task, kRunModeCheckAndSync), kRunSucceeded);

    EXPECT_EQ(task.filterOptions->excludeText, L"\"a.txt\" \"b.txt\"");
    EXPECT_EQ(task.filterOptions->includeText, L"c.txt");
    EXPECT_EQ(Tree(R()), (Names{"c.txt", "d.txt"}));
}

TEST_F(RunEndToEnd, AMirrorCheckOfUnrelatedFoldersWarnsEvenWithoutALog) {
    SyncTask& task = h.AddTask("left", "right");
    task.sourceLog.clear();  // "Log" on, but no log to write
    WriteFileAt(L("mine.txt"), "m");
    WriteFileAt(R("yours.txt"), "y");

    EXPECT_EQ(h.Run(task, kRunModeCheck), kRunSucceeded);

    EXPECT_EQ(h.WindowsOf(task).Lines(),
              Names{"red: The two folders have nothing in common.  You are mirroring two irreverent folders."});
    EXPECT_EQ(h.WindowsOf(task).LastStatus(), "Check has finished Successfully");
}

TEST_F(RunEndToEnd, ACatalogFolderThatCannotBeMadeEndsTheRunAtOnce) {
    SyncTask& task = h.AddTask("left", "right");
    WriteFileAt(L("a.txt"), "a");
    task.sourceCatalog = W(L("a.txt") + "/_qb_sync/_qb_sync._if");  // below a file

    EXPECT_EQ(h.Run(task, kRunModeCheckAndSync), kRunCatalogFolderFailed);

    EXPECT_EQ(h.Main().captionLines,
              (std::vector<std::pair<std::string, LPARAM>>{{"Failed to create Catalog Folder on Left", 255}}));
    EXPECT_FALSE(HasLineStartingWith(h.WindowsOf(task), "--- CHECK+SYNC Completed"));
    EXPECT_EQ(History().back().status, kRunCatalogFolderFailed);
    EXPECT_FALSE(plat::PathExists(R("a.txt")));
}

// A log file the run cannot write loses the run's lines there; the run says so once, in
// red, in the other log and the log control, and syncs as it would have.
TEST_F(RunEndToEnd, ALogFileThatCannotBeWrittenIsReportedOncePerRun) {
    SyncTask& task = h.AddTask("left", "right");
    WriteFileAt(L("a.txt"), "a");
    const std::string blocked = plat::WideToUtf8(task.targetLog);
    fs::create_directories(blocked);  // a folder where the file should be
    const std::string line =
        "Cannot write the log file '" + blocked + "' (Access Denied): this run's lines are not kept there.";

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        EXPECT_EQ(h.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        const Names lines = h.WindowsOf(task).Lines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "red: " + line), 1);
        EXPECT_TRUE(HasLineStartingWith(h.WindowsOf(task), "--- CHECK+SYNC Completed"));
    }
    const std::string sourceLog = qbtest::ReadFileBytes(plat::WideToUtf8(task.sourceLog));
    EXPECT_NE(sourceLog.find(line + "\r\n"), std::string::npos);
    EXPECT_EQ(qbtest::ReadFileBytes(R("a.txt")), "a");
}

// The "Speed" option belongs to each run: a run that starts and ends while another is
// copying leaves the other's chunk size alone.
TEST_F(RunEndToEnd, RunsSideBySideCopyAtTheirOwnSpeeds) {
    TaskSetup fast;
    fast.name = "Fast";  // "No limit": 1 MiB chunks
    TaskSetup slow;
    slow.name = "Slow";
    slow.speed = 3;  // 10,240-byte chunks, no pause
    SyncTask& one = h.AddTask("fast-left", "fast-right", fast);
    SyncTask& two = h.AddTask("slow-left", "slow-right", slow);
    const std::string bytes(200000, 'x');
    WriteFileAt(h.Folder("fast-left") + "/a1", bytes);
    WriteFileAt(h.Folder("fast-left") + "/a2", bytes);
    WriteFileAt(h.Folder("slow-left") + "/b1", bytes);

    bool slowRan = false;
    h.WindowsOf(one).onCopyBegin = [&] {
        if (std::exchange(slowRan, true)) return;
        const plat::ThreadHandle slowRun = h.Start(two, kRunModeCheckAndSync);
        EXPECT_TRUE(h.WaitFor({slowRun}));
    };
    EXPECT_EQ(h.Run(one, kRunModeCheckAndSync), kRunSucceeded);

    ASSERT_TRUE(slowRan);
    EXPECT_EQ(two.runFacts.Get().lastRunStatus, kRunSucceeded);
    // A progress step per chunk: one for each file in 1 MiB chunks, 20 in 10,240-byte ones.
    EXPECT_EQ(h.WindowsOf(one).copySteps, (std::vector<int>{1, 1}));
    EXPECT_EQ(h.WindowsOf(two).copySteps, std::vector<int>{20});
    EXPECT_EQ(Tree(h.Folder("fast-right")), (Names{"a1", "a2"}));
    EXPECT_EQ(Tree(h.Folder("slow-right")), Names{"b1"});
}

// A walk that recursed per folder level overflows this with such a tree; the run's own
// work needs less than half of it.
constexpr std::size_t kDeepTreeStack = 128 * 1024;

// Threads made while the object lives get a stack of `bytes`.
class ScopedThreadStack {
public:
    explicit ScopedThreadStack(std::size_t bytes) {
        pthread_getattr_default_np(&saved_);
        pthread_attr_t small;
        pthread_attr_init(&small);
        pthread_attr_setstacksize(&small, bytes);
        pthread_setattr_default_np(&small);
        pthread_attr_destroy(&small);
    }
    ~ScopedThreadStack() {
        pthread_setattr_default_np(&saved_);
        pthread_attr_destroy(&saved_);
    }
    ScopedThreadStack(const ScopedThreadStack&) = delete;
    ScopedThreadStack& operator=(const ScopedThreadStack&) = delete;

private:
    pthread_attr_t saved_;
};

// No walk over the trees recurses per folder level: a tree as deep as the path limit
// lets the run make it (about 2,000 folders of one letter) is checked and synced on run
// threads with a small stack.
TEST_F(RunEndToEnd, ATreeAsDeepAsPathsAllowIsCheckedAndSynced) {
    SyncTask& task = h.AddTask("left", "right");
    // The longest path the run makes: a copy's temporary file in the deepest folder.
    const std::size_t tempName = kCopyTempPrefix.size() + 16 + kCopyTempSuffix.size();
    const std::size_t depth = (PATH_MAX - 1 - R().size() - 1 - tempName) / 2;
    ASSERT_GT(depth, 1900u);
    std::string deepest = "d";
    ASSERT_EQ(mkdir(L(deepest).c_str(), 0755), 0);
    for (std::size_t level = 1; level < depth; ++level) {
        deepest += "/d";
        ASSERT_EQ(mkdir(L(deepest).c_str(), 0755), 0) << level;
    }
    WriteFileAt(L(deepest + "/f"), "deep");

    const ScopedThreadStack smallStacks(kDeepTreeStack);
    // Paths longer than a catalog row holds are synced but left out of the catalogs.
    EXPECT_EQ(h.Run(task, kRunModeCheckAndSync), kRunItemsSkipped);

    EXPECT_EQ(qbtest::ReadFileBytes(R(deepest + "/f")), "deep");
    EXPECT_EQ(Tree(R()).size(), depth + 1);
    EXPECT_TRUE(HasLineStartingWith(h.WindowsOf(task),
                                    "red: Name too long for the catalog, left out: " + deepest.substr(0, 1100)));
    EXPECT_EQ(h.WindowsOf(task).LastStatus(), "Sync has finished (Warning: Some items were skipped)");
}

}  // namespace
