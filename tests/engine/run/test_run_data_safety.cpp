// Whole runs in the situations where a sync tool loses a user's files if it takes what it
// sees at face value: a folder that looks emptied because its disk is not mounted, a
// folder that holds only what the filters leave out, a link where a folder should be, one
// side's folder inside the other's, a Sync of a Check made for other folders; and where it
// never converges: folders it cannot read, leftovers of killed copies, deletions not
// carried out, a file against a folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/run/run_guards.h"
#include "foundation/task_paths.h"
#include "platform/core/file_faults.h"
#include "platform/core/mount_table.h"
#include "tests/engine/support/run_harness.h"

namespace {

namespace fs = std::filesystem;
using runtest::CheckedItem;
using runtest::EngineHarness;
using runtest::kTime;
using runtest::TaskSetup;
using runtest::Tree;
using runtest::W;
using runtest::WriteFileAt;
using Names = std::vector<std::string>;

void ExpectRefused(EngineHarness& harness, SyncTask& task, const std::string& line) {
    EXPECT_EQ(task.runFacts.Get().lastRunStatus, kRunFolderEmptyOrUnmounted);
    EXPECT_TRUE(harness.WindowsOf(task).HasLine("red: " + line)) << line;
}

// The line of changes of a Check only, run now: what a next run would do.
std::string NextCheckChanges(EngineHarness& harness, SyncTask& task) {
    harness.Run(task, kRunModeCheck);
    for (const std::string& line : harness.WindowsOf(task).Lines()) {
        if (line.rfind("Changes: ", 0) == 0) return line;
    }
    return {};
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
    for (const Case& c :
         {Case{kSyncLeftToRight, 1, "left", "right", false}, Case{kSyncLeftToRight, 1, "left", "right", true},
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
        ExpectRefused(
            harness, task,
            "The folder '" + left + "' holds 0 of the 3 " + measure + ". It may not be mounted. Nothing is synced.");
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
            EXPECT_EQ(task.runFacts.Get().lastRunStatus, kRunSucceeded);
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

// A disk listed in /etc/fstab that is not mounted leaves its mount point as an ordinary
// folder of the disk above it.
TEST(RunDataSafety, AFolderOnAnFstabMountThatIsNotMountedIsFound) {
    const auto fstab = plat::ParseMountTable(
        "# /etc/fstab\nUUID=1 / ext4 defaults 0 1\n/dev/sdb1 /mnt/backup ext4 noauto 0 2\n"
        "/dev/sdc1 /media/photos/ vfat noauto 0 0\nUUID=2 none swap sw 0 0\n/dev/sdd1 /mnt/backup/old ext4 noauto 0 2\n"
        "/dev/sde1 /media ext4 noauto 0 2\n");
    const auto mounted = plat::ParseMountTable(
        "/dev/vda / ext4 rw 0 0\n/dev/sdc1 /media/photos vfat rw 0 0\n"
        "/dev/sdd1 /mnt/backup/old ext4 rw 0 0\n");
    EXPECT_EQ(UnmountedFstabPointOf("/mnt/backup", fstab, mounted), "/mnt/backup");
    EXPECT_EQ(UnmountedFstabPointOf("/mnt/backup/2024/docs", fstab, mounted), "/mnt/backup");
    EXPECT_EQ(UnmountedFstabPointOf("/media/music", fstab, mounted), "/media");
    // A disk mounted inside an unmounted one's folder holds its own folders.
    for (const char* path : {"/mnt/backups", "/media/photos/2024", "/home/u", "/mnt/backup/old/2019"}) {
        EXPECT_EQ(UnmountedFstabPointOf(path, fstab, mounted), "") << path;
    }
}

// The side where the link stands is the one whose items a literal run deletes: the other
// side's real folder and file look deleted there since the last run.
TEST(RunDataSafety, AFolderOrFileReplacedByALinkKeepsWhatTheOtherSideHolds) {
    for (const DWORD type : {kSyncMirror, kSyncRightToLeft, kBackupRightToLeft}) {
        SCOPED_TRACE(kSyncTypeTexts[type]);
        EngineHarness harness;
        TaskSetup setup;
        setup.type = type;
        SyncTask& task = harness.AddTask("left", "right", setup);
        const std::string left = harness.Folder("left");
        const std::string right = harness.Folder("right");
        const std::string outside = harness.Folder("outside");
        const Names all{"f.txt", "keep.txt", "sub", "sub/a", "sub/b", "sub/c"};
        for (const std::string& side : {left, right}) {
            for (const std::string& name : all) {
                if (name != "sub") WriteFileAt(side + "/" + name, name);
            }
        }
        ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        fs::create_directories(outside);
        fs::remove_all(right + "/sub");
        fs::remove(right + "/f.txt");
        fs::create_directory_symlink(outside, right + "/sub");
        fs::create_symlink(left + "/keep.txt", right + "/f.txt");

        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunItemsSkipped);
        EXPECT_EQ(Tree(left), all);
        EXPECT_EQ(Tree(outside), Names{});
        EXPECT_TRUE(harness.WindowsOf(task).HasLine("red: Skipped the link '" + right +
                                                    "/sub': links are not synced, and what the other side holds at "
                                                    "its place is left alone."));
        EXPECT_EQ(harness.WindowsOf(task).LastStatus(), "Sync has finished (Warning: Some items were skipped)");
        EXPECT_EQ(NextCheckChanges(harness, task), "Changes: 0 (Conflicts: 0) Warning: 0");
        EXPECT_EQ(task.runFacts.Get().lastRunStatus, kRunItemsSkipped);
    }
}

TEST(RunDataSafety, AChangeBelowAnUnreadableFolderIsReportedAndCopiedOnceReadable) {
    EngineHarness harness;
    SyncTask& task = harness.AddTask("left", "right");
    const std::string left = harness.Folder("left");
    const std::string right = harness.Folder("right");
    WriteFileAt(left + "/sub/a", "a");
    ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
    WriteFileAt(left + "/sub/new", "n");
    {
        plat::FileFaults faults;
        faults.unlistableFolder = plat::FileFaults::SamePath(right + "/sub");
        const plat::ScopedFileFaults unreadable(std::move(faults));

        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunItemsSkipped);
        EXPECT_TRUE(harness.WindowsOf(task).HasLine("red: Cannot read the folder '" + right +
                                                    "/sub' (Access Denied): it is skipped, and what the other side "
                                                    "holds at its place is left alone."));
        EXPECT_FALSE(plat::PathExists(right + "/sub/new"));
        EXPECT_EQ(NextCheckChanges(harness, task), "Changes: 0 (Conflicts: 0) Warning: 0");
    }
    EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
    EXPECT_EQ(qbtest::ReadFileBytes(right + "/sub/new"), "n");
}

// A temporary file of a copy that was killed, and the new catalog archive of a run that was
// killed, are the program's own: the next run removes them, so a folder holding one can
// be deleted. A copy under way (its file locked) and names that are not exactly the
// program's are left alone.
TEST(RunDataSafety, LeftoversOfKilledCopiesAndCatalogsAreRemoved) {
    EngineHarness harness;
    SyncTask& task = harness.AddTask("left", "right");
    const std::string left = harness.Folder("left");
    const std::string right = harness.Folder("right");
    WriteFileAt(left + "/sub/a", "a");
    WriteFileAt(left + "/b", "b");
    ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
    const std::string leftover = right + "/sub/.~qbcopy-0123456789abcdef.tmp";
    WriteFileAt(leftover, "");
    fs::resize_file(leftover, 197u << 20);  // sparse: the size of a big copy cut short
    const std::string lookAlike = ".~qbcopy-0123456789ABCDEF.tmp";
    WriteFileAt(right + "/" + lookAlike, "the user's");
    const std::string underWay = right + "/.~qbcopy-00000000000000aa.tmp";
    plat::FileHandle writer;
    ASSERT_TRUE(writer.Open(underWay, plat::FileOpenMode::CreateNew));
    ASSERT_TRUE(writer.LockExclusive());
    const std::string catalogs = plat::ParentPath(plat::WideToUtf8(task.targetCatalog));
    for (const char* name : {"~syAb12Cd", "~syAb12Cd.x9Y8z7", "~syAb12Cd.log"}) WriteFileAt(catalogs + "/" + name, "z");
    fs::remove_all(left + "/sub");

    EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
    EXPECT_FALSE(fs::exists(right + "/sub"));
    EXPECT_TRUE(fs::exists(underWay));
    EXPECT_EQ(qbtest::ReadFileBytes(right + "/" + lookAlike), "the user's");
    EXPECT_FALSE(fs::exists(catalogs + "/~syAb12Cd"));
    EXPECT_FALSE(fs::exists(catalogs + "/~syAb12Cd.x9Y8z7"));
    EXPECT_TRUE(fs::exists(catalogs + "/~syAb12Cd.log"));
    EXPECT_EQ(NextCheckChanges(harness, task), "Changes: 0 (Conflicts: 0) Warning: 0");
}

// Leftovers of copies killed while backing a file up lie in the program's "_backup" folder,
// which no scan reads; they are removed too. A side no copy goes to (the source of a
// one-way or Back up task) is never written, so a file there named as the copier names its
// temporary files is the user's.
TEST(RunDataSafety, LeftoversGoFromBackupsButNeverFromASideNoCopyGoesTo) {
    for (const DWORD type : {kSyncLeftToRight, kBackupLeftToRight}) {
        SCOPED_TRACE(kSyncTypeTexts[type]);
        EngineHarness harness;
        TaskSetup setup;
        setup.type = type;
        setup.saveDelete = 1;
        SyncTask& task = harness.AddTask("left", "right", setup);
        const std::string left = harness.Folder("left");
        WriteFileAt(left + "/sub/a", "a");
        ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        const std::string lookAlike = left + "/sub/.~qbcopy-0123456789abcdef.tmp";
        WriteFileAt(lookAlike, "the user's");
        const std::string backupLeftover = plat::WideToUtf8(task.targetBackup) + "/sub/.~qbcopy-00000000000000aa.tmp";
        WriteFileAt(backupLeftover, "");
        fs::resize_file(backupLeftover, 97u << 20);  // sparse: a big backup cut short
        WriteFileAt(left + "/sub/a", "edited", kTime + 600);

        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        EXPECT_EQ(qbtest::ReadFileBytes(lookAlike), "the user's");
        EXPECT_FALSE(fs::exists(backupLeftover));
        EXPECT_EQ(qbtest::ReadFileBytes(plat::WideToUtf8(task.targetBackup) + "/sub/a"), "a");
        EXPECT_EQ(NextCheckChanges(harness, task), "Changes: 0 (Conflicts: 0) Warning: 0");
    }
}

// A side that is the top of its disk (a USB stick) gets what its deletions send to the
// trash in ".Trash-<uid>" (or ".Trash/<uid>") in its own root. Taken for items, the trash
// went to the other side, deleted files and all, and one-way runs met it as a conflict.
// Only the root's own are passed over: a folder of that name deeper down is an item.
TEST(RunDataSafety, ASidesOwnTrashFoldersAreNotItems) {
    for (const DWORD type : {kSyncMirror, kSyncRightToLeft}) {
        SCOPED_TRACE(kSyncTypeTexts[type]);
        EngineHarness harness;
        TaskSetup setup;
        setup.type = type;
        SyncTask& task = harness.AddTask("left", "right", setup);
        task.filterOptions->hidden = false;
        const std::string source = harness.Folder(type == kSyncMirror ? "left" : "right");
        const std::string target = harness.Folder(type == kSyncMirror ? "right" : "left");
        WriteFileAt(source + "/a.txt", "a");
        WriteFileAt(source + "/docs/.Trash-1000/kept.txt", "k");
        for (const std::string& side : {source, target}) {
            WriteFileAt(side + "/.Trash-1000/files/gone.txt", "g");
            WriteFileAt(side + "/.Trash-1000/info/gone.txt.trashinfo", "[Trash Info]");
            WriteFileAt(side + "/.Trash/1000/files/old.txt", "o");
        }
        WriteFileAt(target + "/.Trash-0/files/mine.txt", "m");

        for (int run = 0; run < 2; ++run) {
            SCOPED_TRACE(run);
            EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
            const Names items{"a.txt", "docs", "docs/.Trash-1000", "docs/.Trash-1000/kept.txt"};
            for (const std::string& side : {source, target}) {
                Names kept;
                for (const std::string& name : Tree(side)) {
                    if (!name.starts_with(".Trash")) kept.push_back(name);
                }
                EXPECT_EQ(kept, items) << side;
            }
            EXPECT_FALSE(fs::exists(source + "/.Trash-0"));
        }
        EXPECT_EQ(NextCheckChanges(harness, task), "Changes: 0 (Conflicts: 0) Warning: 0");
    }
}

// The source may change between the Check and its copy: the copy carries what the source
// holds then, and the catalogs must record that, not what the Check saw. Recording the
// Check's values, one more edit made every later run a conflict. For overwrites and new
// files (copied ahead when small, by the pass when large), both ways.
TEST(RunDataSafety, AFileChangedBetweenTheCheckAndItsCopySettles) {
    EngineHarness harness;
    SyncTask& task = harness.AddTask("left", "right");
    const std::string left = harness.Folder("left");
    const std::string right = harness.Folder("right");
    const std::string large(3u << 20, 'L');
    WriteFileAt(left + "/over.txt", "v1");
    WriteFileAt(right + "/back.txt", "v1");
    ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
    WriteFileAt(left + "/over.txt", "v2", kTime + 100);
    WriteFileAt(right + "/back.txt", "v2", kTime + 100);
    WriteFileAt(left + "/small.txt", "v2", kTime + 100);
    WriteFileAt(left + "/large.bin", large, kTime + 100);
    ASSERT_EQ(harness.Run(task, kRunModeCheck), kRunSucceeded);
    const std::vector<std::pair<std::string, std::string>> edited{
        {left, "over.txt"}, {right, "back.txt"}, {left, "small.txt"}, {left, "large.bin"}};
    for (const auto& [side, name] : edited) WriteFileAt(side + "/" + name, "version 3", kTime + 200);

    EXPECT_EQ(harness.Run(task, kRunModeSync), kRunSucceeded);
    for (const auto& [side, name] : edited) WriteFileAt(side + "/" + name, "version four", kTime + 300);
    EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);

    for (const auto& [side, name] : edited) {
        EXPECT_EQ(qbtest::ReadFileBytes(left + "/" + name), "version four") << name;
        EXPECT_EQ(qbtest::ReadFileBytes(right + "/" + name), "version four") << name;
    }
    EXPECT_EQ(NextCheckChanges(harness, task), "Changes: 0 (Conflicts: 0) Warning: 0");
}

// What a run did not carry out, because "Delete" is off or the user chose No Action, is
// decided again by the next Check as if that run had not happened.
TEST(RunDataSafety, ADeletionOrOverwriteNotCarriedOutIsDecidedAgain) {
    {
        EngineHarness harness;
        TaskSetup setup;
        setup.type = kSyncLeftToRight;
        setup.allowDelete = 0;
        SyncTask& task = harness.AddTask("left", "right", setup);
        WriteFileAt(harness.Folder("left") + "/x", "x");
        WriteFileAt(harness.Folder("left") + "/y", "y");
        ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        fs::remove(harness.Folder("left") + "/x");
        for (int run = 0; run < 2; ++run) {
            SCOPED_TRACE(run);
            EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
            EXPECT_TRUE(fs::exists(harness.Folder("right") + "/x"));
            ASSERT_TRUE(CheckedItem(task, "x"));
            const DWORD decided = ItemState::kActionMask | ItemState::kConflict | ItemState::kDeleteRefused;
            EXPECT_EQ(CheckedItem(task, "x")->state.Word() & decided, ItemState::kNoAction | ItemState::kDeleteRefused);
        }
    }
    EngineHarness harness;
    SyncTask& task = harness.AddTask("left", "right");
    const std::string left = harness.Folder("left");
    const std::string right = harness.Folder("right");
    WriteFileAt(left + "/gone", "g");
    WriteFileAt(left + "/edited", "e");
    ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
    fs::remove(left + "/gone");
    WriteFileAt(left + "/edited", "edited", kTime + 600);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_EQ(harness.Run(task, kRunModeCheck), kRunSucceeded);
        ASSERT_TRUE(CheckedItem(task, "gone") && CheckedItem(task, "edited"));
        EXPECT_TRUE(CheckedItem(task, "gone")->state.IsAction(ItemState::kDeleteRight));
        EXPECT_TRUE(CheckedItem(task, "edited")->state.IsAction(ItemState::kCopyToRight));
        for (const char* name : {"gone", "edited"}) CheckedItem(task, name)->ChangeActionByUser(ItemState::kNoAction);
        EXPECT_EQ(harness.Run(task, kRunModeSync), kRunSucceeded);
        EXPECT_EQ(qbtest::ReadFileBytes(right + "/gone"), "g");
        EXPECT_EQ(qbtest::ReadFileBytes(right + "/edited"), "e");
        EXPECT_FALSE(fs::exists(left + "/gone"));
    }
}

// Copied into as if it were a folder, the file failed every run with access denied.
TEST(RunDataSafety, AFileAgainstAFolderOfTheSameNameIsOneConflictEachRun) {
    EngineHarness harness;
    SyncTask& task = harness.AddTask("left", "right");
    const std::string left = harness.Folder("left");
    const std::string right = harness.Folder("right");
    WriteFileAt(left + "/x", "file");
    WriteFileAt(right + "/x/in.txt", "i");
    WriteFileAt(left + "/y/in.txt", "j");
    WriteFileAt(right + "/y", "file");
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunConflictsLeft);
        EXPECT_TRUE(harness.WindowsOf(task).HasLine("Changes: 2 (Conflicts: 2) Warning: 0"));
        EXPECT_EQ(Tree(left), (Names{"x", "y", "y/in.txt"}));
        EXPECT_EQ(Tree(right), (Names{"x", "x/in.txt", "y"}));
    }
}

// Hidden files are left out by the default filter: the folder cannot be removed once the
// rest of it is gone, and it failed to delete on every run.
TEST(RunDataSafety, AFolderHoldingOnlyExcludedItemsIsLeftInPlace) {
    EngineHarness harness;
    SyncTask& task = harness.AddTask("left", "right");
    const std::string left = harness.Folder("left");
    const std::string right = harness.Folder("right");
    WriteFileAt(left + "/d/a.txt", "a");
    WriteFileAt(left + "/keep.txt", "k");
    WriteFileAt(right + "/d/.hidden", "h");
    ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
    fs::remove_all(left + "/d");
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        EXPECT_TRUE(harness.WindowsOf(task).HasLine("The folder '" + right +
                                                    "/d' is not deleted: it holds items this task leaves out."));
        EXPECT_EQ(Tree(right), (Names{"d", "d/.hidden", "keep.txt"}));
        EXPECT_EQ(Tree(left), Names{"keep.txt"});
    }
}

}  // namespace
