#include "engine/actions/delete_actions.h"

#include <gtest/gtest.h>

#include "platform/core/file_faults.h"
#include "tests/engine/support/sync_pass_fixture.h"

namespace {

using passtest::Exists;
using passtest::kTime;
using passtest::NamesIn;
using passtest::SyncPass;
using qbtest::ReadFileBytes;

int RunPass(SyncPass& p, const CatalogRowQueues& rows = {}) {
    return WalkDeleteActions(p.run, p.run.sourceTree.get(), p.run.targetTree.get(), p.counter, rows);
}

TEST(DeleteActions, FilesGoToTheTrashBeforeTheirFolderIsRemoved) {
    SyncPass p;
    p.DstFile("old/a.txt", "a");
    p.DstFile("old/b.txt", "b");
    p.SrcFile("gone.txt", "g");
    p.SrcFile("pair.txt");
    p.DstFile("pair.txt");
    p.Scan();
    for (const char* rel : {"old", "old/a.txt", "old/b.txt"}) p.SetAction(rel, ItemState::kDeleteRight, true);
    p.SetAction("gone.txt", ItemState::kDeleteLeft);
    p.SetAction("pair.txt", ItemState::kDeleteRight);

    ASSERT_EQ(RunPass(p), 1);

    EXPECT_FALSE(Exists(p.Dst("old")));
    EXPECT_FALSE(Exists(p.Src("gone.txt")));
    EXPECT_FALSE(Exists(p.Dst("pair.txt")));
    EXPECT_TRUE(Exists(p.Src("pair.txt")));
    EXPECT_EQ(NamesIn(p.trash + "/files"), (std::vector<std::string>{"a.txt", "b.txt", "gone.txt", "pair.txt"}));
    EXPECT_FALSE(Exists(p.Dst("_qb_sync")));
    const std::vector<std::string> lines = {
        "Delete " + p.Dst("old/a.txt"), "Delete " + p.Dst("old/b.txt"), "Delete " + p.Dst("old"),
        "Delete " + p.Src("gone.txt"),  "Delete " + p.Dst("pair.txt"),
    };
    EXPECT_EQ(p.Lines(), lines);

    // Deleted, done, and no longer on the side it was deleted from.
    EXPECT_EQ(p.Record("old/a.txt", true).state.Word(), 0xA4000010u);
    EXPECT_EQ(p.Record("old", true).state.Word(), 0xA4000090u);
    EXPECT_EQ(p.Record("gone.txt").state.Word(), 0xA8000020u);
    EXPECT_EQ(p.Record("pair.txt").state.Word(), 0xA4000401u);
    EXPECT_EQ(p.run.counters.done.load(), 5u);
    EXPECT_EQ(p.counter, 5u);
    EXPECT_EQ(p.window.lastProgress, 5u);
}

TEST(DeleteActions, PermanentDeleteOnlyAfterTheBackupWasMade) {
    SyncPass p;
    p.task.syncOptions->saveDelete = 1;
    p.DstFile("d/x.txt", "x");
    p.SrcFile("y.txt", "y");
    p.Scan();
    p.SetAction("d/x.txt", ItemState::kDeleteRight, true);
    p.SetAction("y.txt", ItemState::kDeleteLeft);

    ASSERT_EQ(RunPass(p), 1);
    EXPECT_FALSE(Exists(p.Dst("d/x.txt")));
    EXPECT_FALSE(Exists(p.Src("y.txt")));
    EXPECT_EQ(ReadFileBytes(p.Dst("_qb_sync/_backup/d/x.txt")), "x");
    EXPECT_EQ(ReadFileBytes(p.Src("_qb_sync/_backup/y.txt")), "y");
    EXPECT_TRUE(NamesIn(p.trash + "/files").empty());
    const std::vector<std::string> lines = {"Backup " + p.Dst("d/x.txt"), "Delete " + p.Dst("d/x.txt"),
                                            "Backup " + p.Src("y.txt"), "Delete " + p.Src("y.txt")};
    EXPECT_EQ(p.Lines(), lines);

    // A backup that cannot be made keeps the file, and the run counts the failure.
    SyncPass failing;
    failing.task.syncOptions->saveDelete = 1;
    failing.DstFile("z.txt", "z");
    failing.DstFile("_qb_sync/_backup", "a file where the backup folder belongs");
    failing.Scan();
    failing.SetAction("z.txt", ItemState::kDeleteRight, true);
    ASSERT_EQ(RunPass(failing), 1);
    EXPECT_EQ(ReadFileBytes(failing.Dst("z.txt")), "z");
    EXPECT_EQ(failing.Record("z.txt", true).state.Word() & 0xF0000000u, ItemState::kBackupError);
    EXPECT_EQ(failing.run.counters.errors.load(), 1u);
    ASSERT_EQ(failing.Lines().size(), 1u);
    EXPECT_TRUE(failing.Lines()[0].starts_with("red: Failed to Back up " + failing.Dst("z.txt") + " ("));
}

TEST(DeleteActions, FileThatCannotBeTrashedIsNotDeleted) {
    SyncPass p;
    passtest::WriteFileAt(p.dir.sub("blocker"), "not a folder", kTime);
    const passtest::ScopedDataHome noTrash(p.dir.sub("blocker/data"));
    p.DstFile("t.txt", "keep me");
    p.Scan();
    p.SetAction("t.txt", ItemState::kDeleteRight, true);

    EXPECT_EQ(RunPass(p), 1);
    EXPECT_EQ(ReadFileBytes(p.Dst("t.txt")), "keep me");
    EXPECT_TRUE(p.Record("t.txt", true).state.IsError());
    EXPECT_EQ(p.Lines(), std::vector<std::string>{"red: Failed to Delete " + p.Dst("t.txt") + " (Error: Not Found)"});
}

TEST(DeleteActions, FileChangedSinceTheCheckIsNotDeletedNorBackedUp) {
    SyncPass p;
    p.task.syncOptions->saveDelete = 1;
    p.DstFile("t.txt", "abc");
    p.Scan();
    p.SetAction("t.txt", ItemState::kDeleteRight, true);
    p.DstFile("t.txt", "abcd");

    EXPECT_EQ(RunPass(p), 1);
    EXPECT_EQ(ReadFileBytes(p.Dst("t.txt")), "abcd");
    EXPECT_FALSE(Exists(p.Dst("_qb_sync")));
    EXPECT_TRUE(p.Record("t.txt", true).state.IsError());
    EXPECT_EQ(p.Lines(), std::vector<std::string>{"red: Failed to Delete " + p.Dst("t.txt") +
                                                  " (Error: Changed since the Check)"});
}

TEST(DeleteActions, FolderThatStillHoldsAFileIsNotRemoved) {
    SyncPass p;
    p.DstFile("f/keep.txt");
    p.Scan();
    p.SetAction("f", ItemState::kDeleteRight, true);

    EXPECT_EQ(RunPass(p), 1);
    EXPECT_TRUE(Exists(p.Dst("f/keep.txt")));
    EXPECT_TRUE(p.Record("f", true).state.IsError());
    EXPECT_EQ(p.Record("f", true).failure(), ERROR_DIR_NOT_EMPTY);
    EXPECT_EQ(p.Lines(),
              std::vector<std::string>{"red: Failed to Delete " + p.Dst("f") + " (Error: Folder not empty)"});
}

// Every record's rows are handed over after its action, whatever it was: a folder's after
// everything below it; a target-only record's with its own values on both sides.
TEST(DeleteActions, CatalogRowsOfEveryRecordFollowItsAction) {
    SyncPass p;
    p.SrcFile("a.txt");
    p.DstFile("a.txt");
    p.SrcFile("s/b.txt");
    p.DstFile("t/c.txt");
    p.DstFile("u.txt");
    p.Scan();
    p.SetAction("u.txt", ItemState::kDeleteRight, true);

    std::vector<std::string> calls;
    bool deletedBeforeItsRows = false;
    const auto recorder = [&](const char* side) {
        return [&, side](const CFileInfo& record, DWORD ownFields) {
            calls.push_back(std::string(side) + " " + record.relativePath + " " + std::to_string(ownFields));
            if (record.relativePath == "u.txt") deletedBeforeItsRows = record.state.IsDeleted();
        };
    };
    ASSERT_EQ(RunPass(p, CatalogRowQueues{recorder("S"), recorder("T")}), 1);
    const std::vector<std::string> expected = {
        "S s/b.txt 1", "T s/b.txt 0", "S s 1",     "T s 0",     "S t/c.txt 1", "T t/c.txt 1",
        "S t 1",       "T t 1",       "S a.txt 1", "T a.txt 0", "S u.txt 1",   "T u.txt 1",
    };
    EXPECT_EQ(calls, expected);
    EXPECT_TRUE(deletedBeforeItsRows);
}

TEST(DeleteActions, FullDiskDuringABackupKeepsTheFileAndEndsThePass) {
    SyncPass p;
    p.task.syncOptions->saveDelete = 1;
    p.DstFile("a.bin", std::string(2 * 1048576, 'a'));
    p.DstFile("b.txt");
    p.Scan();
    p.SetAction("a.bin", ItemState::kDeleteRight, true);
    p.SetAction("b.txt", ItemState::kDeleteRight, true);
    plat::FileFaults faults;
    const std::string backup = p.Dst("_qb_sync");
    faults.diskFullPath = [backup](const std::string& path) { return path.starts_with(backup + "/"); };
    faults.diskFullAfterBytes = 1048576;
    const plat::ScopedFileFaults scoped(faults);

    EXPECT_EQ(RunPass(p), -1);
    EXPECT_EQ(p.run.Result(), kRunDiskFull);
    EXPECT_TRUE(Exists(p.Dst("a.bin")));
    EXPECT_TRUE(Exists(p.Dst("b.txt")));
    EXPECT_TRUE(p.Record("a.bin", true).state.IsBackupError());
    EXPECT_EQ(p.Lines(), std::vector<std::string>{"red: Failed to Back up " + p.Dst("a.bin") + " (Error: Disk Full)"});
}

TEST(DeleteActions, StopEndsThePassAfterTheItemUnderWay) {
    SyncPass p;
    p.DstFile("a.txt");
    p.DstFile("b.txt");
    p.Scan();
    p.SetAction("a.txt", ItemState::kDeleteRight, true);
    p.SetAction("b.txt", ItemState::kDeleteRight, true);
    p.window.stopWhen = [](int) { return true; };

    EXPECT_EQ(RunPass(p), -1);
    EXPECT_EQ(p.run.Result(), kRunSucceeded);
    EXPECT_FALSE(Exists(p.Dst("a.txt")));
    EXPECT_TRUE(Exists(p.Dst("b.txt")));
    EXPECT_EQ(p.window.stopQuestions, 1);
}

}  // namespace
