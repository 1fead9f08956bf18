// Whole runs in the situations where a sync tool loses a user's files if it takes what it
// sees at face value: a folder that looks emptied because its disk is not mounted, a
// folder that holds only what the filters leave out, a link where a folder should be, one
// side's folder inside the other's, a Sync of a Check made for other folders.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/run/run_guards.h"
#include "foundation/task_paths.h"
#include "tests/engine/support/run_harness.h"

namespace {

namespace fs = std::filesystem;
using runtest::EngineHarness;
using runtest::TaskSetup;
using runtest::Tree;
using runtest::W;
using runtest::WriteFileAt;
using Names = std::vector<std::string>;

void ExpectRefused(EngineHarness& harness, SyncTask& task, const std::string& line) {
    EXPECT_EQ(task.lastRunStatus, kRunFolderEmptyOrUnmounted);
    EXPECT_TRUE(harness.WindowsOf(task).HasLine("red: " + line)) << line;
}

// An unattended one-way run settles a target item it has never seen by its autoResolve
// entry; when that copies toward the target, the item is deleted. With the source disk
// not mounted (or its folder gone) and no catalog to tell, that would empty the target.
TEST(RunDataSafety, AnUnattendedOneWayRunDoesNotEmptyTheTargetFromAnEmptySource) {
    struct Case {
        DWORD type;
        DWORD autoResolve;
        const char* source;
        const char* target;
        bool sourceMissing;
    };
    for (const Case& c : {Case{kSyncLeftToRight, 1, "left", "right", false},
                          Case{kSyncLeftToRight, 1, "left", "right", true},
                          Case{kSyncRightToLeft, 2, "right", "left", false}}) {
        SCOPED_TRACE(std::string(kSyncTypeTexts[c.type]) + (c.sourceMissing ? ", source missing" : ""));
        EngineHarness harness;
        TaskSetup setup;
        setup.type = c.type;
        setup.startSource = kStartedByRepeat;
        SyncTask& task = harness.AddTask("left", "right", setup);
        task.autoResolve = c.autoResolve;
        const std::string target = harness.Folder(c.target);
        WriteFileAt(target + "/docs/a.txt", "a");
        WriteFileAt(target + "/b.txt", "b");
        if (c.sourceMissing) fs::remove_all(harness.Folder(c.source));

        harness.Run(task, kRunModeCheckAndSync);

        // A first run: the line names the target's items, not a last run.
        ExpectRefused(harness, task,
                      "The folder '" + harness.Folder(c.source) + "' holds 0 of the 3 items of '" + target +
                          "'. It may not be mounted. Nothing is synced.");
        EXPECT_EQ(Tree(target), (Names{"b.txt", "docs", "docs/a.txt"}));
    }
}

// Hidden files are left out by the default filter; a mount point that holds only a hidden
// marker is as empty as one that holds nothing.
TEST(RunDataSafety, ARootHoldingOnlyExcludedItemsIsNotADeletedTree) {
    for (const DWORD type : {kSyncMirror, kBackupLeftToRight}) {
        SCOPED_TRACE(kSyncTypeTexts[type]);
        EngineHarness harness;
        TaskSetup setup;
        setup.type = type;
        SyncTask& task = harness.AddTask("left", "right", setup);
        const std::string left = harness.Folder("left");
        WriteFileAt(left + "/.mounted-marker", "m");
        WriteFileAt(left + "/docs/a.txt", "a");
        WriteFileAt(left + "/b.txt", "b");
        ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        fs::remove_all(left + "/docs");
        fs::remove(left + "/b.txt");

        harness.Run(task, kRunModeCheckAndSync);

        const std::string measure =
            type == kSyncMirror ? "items the last run found" : "items of '" + harness.Folder("right") + "'";
        ExpectRefused(harness, task, "The folder '" + left + "' holds 0 of the 3 " + measure +
                                         ". It may not be mounted. Nothing is synced.");
        EXPECT_EQ(Tree(harness.Folder("right")), (Names{"b.txt", "docs", "docs/a.txt"}));
    }
}

// The scan passes over links, with what the other side holds at their place; a copy must
// not go through one either. Had the new files gone into the folder the link points to,
// the catalog would list them as on the target, and the next run would take their absence
// there for a deletion and delete the source.
TEST(RunDataSafety, ALinkWhereTheTargetHasAFolderTakesNoCopyOutsideTheTarget) {
    EngineHarness harness;
    SyncTask& task = harness.AddTask("left", "right");
    const std::string left = harness.Folder("left");
    const std::string outside = harness.Folder("outside");
    fs::create_directories(outside);
    WriteFileAt(left + "/keep.txt", "k");
    WriteFileAt(left + "/d/x.txt", "x");
    WriteFileAt(left + "/d/sub/y.txt", "y");
    fs::create_directory_symlink(outside, harness.Folder("right") + "/d");

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunItemsSkipped);
        EXPECT_EQ(Tree(outside), Names{});
        EXPECT_EQ(Tree(left), (Names{"d", "d/sub", "d/sub/y.txt", "d/x.txt", "keep.txt"}));
    }
}

// A target inside its source (or a source inside its target) is not an item of the outer
// side: scanned as one, every run copied the whole tree into itself once more.
TEST(RunDataSafety, ASideInsideTheOtherIsNotCopiedIntoItself) {
    struct Case {
        DWORD type;
        const char* left;
        const char* right;
    };
    for (const Case& c : {Case{kSyncMirror, "outer", "outer/backup"}, Case{kBackupLeftToRight, "outer", "outer/backup"},
                          Case{kSyncRightToLeft, "outer", "outer/backup"}}) {
        SCOPED_TRACE(std::string(kSyncTypeTexts[c.type]) + " " + c.left + " " + c.right);
        EngineHarness harness;
        TaskSetup setup;
        setup.type = c.type;
        SyncTask& task = harness.AddTask(c.left, c.right, setup);
        const std::string outer = harness.Folder("outer");
        const bool outerIsSource = c.type != kSyncRightToLeft;
        WriteFileAt(outer + "/a.txt", "a");
        if (!outerIsSource) WriteFileAt(outer + "/backup/a.txt", "a");

        for (int run = 0; run < 2; ++run) {
            SCOPED_TRACE(run);
            harness.Run(task, kRunModeCheckAndSync);
            EXPECT_EQ(task.lastRunStatus, kRunSucceeded);
            EXPECT_EQ(Tree(outer), (Names{"a.txt", "backup", "backup/a.txt"}));
        }
    }
}

// The user checks, then points the task at another folder (or turns its direction round)
// and starts a Sync on its own. Carried out, the old Check copied new files into the new
// folder while the new folder's catalog listed every item of the old one, and the next
// Check and Sync took those items for deleted there and deleted them from the source.
TEST(RunDataSafety, ASyncOnItsOwnRefusesTheCheckOfOtherFolders) {
    for (const bool turnRound : {false, true}) {
        SCOPED_TRACE(turnRound ? "direction turned round" : "right folder changed");
        EngineHarness harness;
        SyncTask& task = harness.AddTask("left", "right");
        const std::string left = harness.Folder("left");
        WriteFileAt(left + "/a.txt", "a");
        ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        WriteFileAt(left + "/new.txt", "n");
        ASSERT_EQ(harness.Run(task, kRunModeCheck), kRunSucceeded);
        if (turnRound) {
            task.syncOptions->type = kSyncRightToLeft;
        } else {
            fs::create_directories(harness.Folder("other"));
            task.rightFolder = W(harness.Folder("other"));
        }
        BuildTaskDataPaths(task);

        EXPECT_EQ(harness.Run(task, kRunModeSync), kRunNothingToDo);
        EXPECT_TRUE(harness.WindowsOf(task).HasLine("red: " + LastCheckElsewhereText()));
        EXPECT_FALSE(task.sourceItems);
        EXPECT_EQ(Tree(left), (Names{"a.txt", "new.txt"}));
        EXPECT_EQ(Tree(harness.Folder("right")), Names{"a.txt"});
        EXPECT_EQ(Tree(harness.Folder("other")), Names{});

        if (!turnRound) {
            EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
            EXPECT_EQ(Tree(left), (Names{"a.txt", "new.txt"}));
            EXPECT_EQ(Tree(harness.Folder("other")), (Names{"a.txt", "new.txt"}));
        }
    }
}

}  // namespace
