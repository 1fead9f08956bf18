#include "engine/actions/copy_actions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

#include <cstdio>
#include <random>

#include "engine/actions/file_copier.h"
#include "platform/core/file_faults.h"
#include "tests/engine/support/sync_pass_fixture.h"

namespace {

using passtest::kTime;
using passtest::NamesIn;
using passtest::SyncPass;
using passtest::W;
using passtest::WriteTimeOf;
using qbtest::ReadFileBytes;

constexpr std::size_t kMiB = 1048576;

std::string RandomBytes(std::size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

int RunPass(SyncPass& p) { return WalkCopyActions(p.run, p.run.sourceTree.get(), p.run.targetTree.get(), p.counter); }

TEST(CopyActions, CreatesFoldersCopiesBothWaysAndCopiesTimes) {
    SyncPass p;
    p.SrcFile("new.txt", "new", kTime);
    p.SrcFile("d/e/deep.txt", "deep", kTime + 10);
    p.SrcFile("both.txt", "newer source", kTime + 100);
    p.DstFile("both.txt", "old", kTime);
    p.SrcFile("back.txt", "old", kTime);
    p.DstFile("back.txt", "newer target", kTime + 100);
    p.DstFile("t/only.txt", "target only", kTime + 5);
    p.SrcFile("time.txt", "same", kTime);
    p.DstFile("time.txt", "same", kTime + 50);
    p.SrcFile("time2.txt", "same", kTime + 60);
    p.DstFile("time2.txt", "same", kTime);
    p.SrcFile("equal.txt");
    p.DstFile("equal.txt");
    p.Scan();
    p.SetAction("back.txt", ItemState::kCopyToLeft);
    p.SetAction("t", ItemState::kCopyToLeft, true);
    p.SetAction("t/only.txt", ItemState::kCopyToLeft, true);
    p.SetAction("time.txt", ItemState::kCopyTimeToRight);
    p.SetAction("time2.txt", ItemState::kCopyTimeToLeft);

    ASSERT_EQ(RunPass(p), 1);

    EXPECT_EQ(ReadFileBytes(p.Dst("new.txt")), "new");
    EXPECT_EQ(WriteTimeOf(p.Dst("new.txt")), kTime);
    EXPECT_EQ(ReadFileBytes(p.Dst("d/e/deep.txt")), "deep");
    EXPECT_EQ(WriteTimeOf(p.Dst("d/e/deep.txt")), kTime + 10);
    EXPECT_EQ(ReadFileBytes(p.Dst("both.txt")), "newer source");
    EXPECT_EQ(ReadFileBytes(p.Src("back.txt")), "newer target");
    EXPECT_EQ(WriteTimeOf(p.Src("back.txt")), kTime + 100);
    EXPECT_EQ(ReadFileBytes(p.Src("t/only.txt")), "target only");
    EXPECT_EQ(WriteTimeOf(p.Dst("time.txt")), kTime);
    EXPECT_EQ(WriteTimeOf(p.Src("time2.txt")), kTime);

    // The records say what each side holds now, for the catalogs.
    const CFileInfo& created = p.Record("new.txt");
    EXPECT_EQ(created.state.Word(), 0x20000000u | 0x800u | 0x1000420u);
    EXPECT_EQ(created.counterpartPath(), W(p.Dst("new.txt")));
    EXPECT_EQ(created.counterpartSize, 3u);
    EXPECT_EQ(created.counterpartLastWrite, kTime);
    const CFileInfo& overwritten = p.Record("both.txt");
    EXPECT_TRUE(overwritten.state.IsDone());
    EXPECT_EQ(overwritten.counterpartSize, 12u);
    EXPECT_EQ(overwritten.counterpartLastWrite, kTime + 100);
    const CFileInfo& fetched = p.Record("back.txt");
    EXPECT_EQ(fetched.size, 12u);
    EXPECT_EQ(fetched.lastWrite, kTime + 100);
    EXPECT_EQ(p.Record("t", true).state.Word(), 0x20000000u | 0x400u | 0x890u | ItemState::kCopyToLeft);
    // A made folder is a folder on its new side too: in its row and in its catalog row.
    EXPECT_TRUE(p.Record("t", true).counterpartAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(p.Record("d/e").counterpartAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(p.Record("t/only.txt", true).counterpartPath(), W(p.Src("t/only.txt")));
    EXPECT_TRUE(p.Record("t/only.txt", true).state.IsOnSource());
    EXPECT_EQ(p.Record("time.txt").counterpartLastWrite, kTime);
    EXPECT_EQ(p.Record("time2.txt").lastWrite, kTime);
    EXPECT_FALSE(p.Record("equal.txt").state.HasResult());

    const std::vector<std::string> lines = {
        "Copy " + p.Dst("back.txt") + " -> " + p.Src("back.txt"),
        "Copy " + p.Src("both.txt") + " -> " + p.Dst("both.txt"),
        "Copy " + p.Src("new.txt") + " -> " + p.Dst("new.txt"),
        "Set File Time to " + p.Dst("time.txt"),
        "Set File Time to " + p.Src("time2.txt"),
        "Create New " + p.Dst("d"),
        "Create New " + p.Dst("d/e"),
        "Copy " + p.Src("d/e/deep.txt") + " -> " + p.Dst("d/e/deep.txt"),
        "Create New " + p.Src("t"),
        "Copy " + p.Dst("t/only.txt") + " -> " + p.Src("t/only.txt"),
    };
    EXPECT_EQ(p.Lines(), lines);
    EXPECT_EQ(p.run.counters.done.load(), 10u);
    EXPECT_EQ(p.run.counters.errors.load(), 0u);
    EXPECT_EQ(p.counter, 10u);
    EXPECT_EQ(p.window.lastProgress, 10u);
    EXPECT_EQ(p.window.rowsDone.size(), 10u);

    // A second pass over the same trees finds every action done.
    ASSERT_EQ(RunPass(p), 1);
    EXPECT_EQ(p.run.counters.done.load(), 10u);
    EXPECT_EQ(p.counter, 10u);
    EXPECT_EQ(p.Lines().size(), lines.size());
}

TEST(CopyActions, OverwrittenFilesAreBackedUpAtTheirRelativePath) {
    SyncPass p;
    p.task.syncOptions->saveDelete = 1;
    const std::string targetBackup = p.Dst("_qb_sync/_backup");
    const std::string sourceBackup = p.Src("_qb_sync/_backup");
    p.SrcFile("top.txt", "new top", kTime + 100);
    p.DstFile("top.txt", "old top", kTime);
    p.SrcFile("d/x.txt", "new x", kTime + 100);
    p.DstFile("d/x.txt", "old x", kTime);
    p.SrcFile("l.txt", "old l", kTime);
    p.DstFile("l.txt", "new l", kTime + 100);
    p.SrcFile("new.txt");
    // The backup already holds this version (same time and size): no second copy.
    p.SrcFile("same.txt", "new same", kTime + 100);
    p.DstFile("same.txt", "cur", kTime);
    passtest::WriteFileAt(targetBackup + "/same.txt", "xyz", kTime);
    // An older, read-only backup copy is replaced.
    p.SrcFile("ro.txt", "new ro", kTime + 100);
    p.DstFile("ro.txt", "old ro", kTime);
    passtest::WriteFileAt(targetBackup + "/ro.txt", "ancient", kTime - 1000);
    chmod((targetBackup + "/ro.txt").c_str(), 0444);
    p.Scan();
    p.SetAction("l.txt", ItemState::kCopyToLeft);

    ASSERT_EQ(RunPass(p), 1);

    EXPECT_EQ(ReadFileBytes(targetBackup + "/top.txt"), "old top");
    EXPECT_EQ(WriteTimeOf(targetBackup + "/top.txt"), kTime);
    EXPECT_EQ(ReadFileBytes(targetBackup + "/d/x.txt"), "old x");
    EXPECT_EQ(ReadFileBytes(sourceBackup + "/l.txt"), "old l");
    EXPECT_EQ(ReadFileBytes(targetBackup + "/same.txt"), "xyz");
    EXPECT_EQ(ReadFileBytes(targetBackup + "/ro.txt"), "old ro");
    EXPECT_EQ(NamesIn(targetBackup), (std::vector<std::string>{"d", "ro.txt", "same.txt", "top.txt"}));
    EXPECT_EQ(NamesIn(sourceBackup), (std::vector<std::string>{"l.txt"}));
    EXPECT_EQ(ReadFileBytes(p.Dst("top.txt")), "new top");
    EXPECT_EQ(ReadFileBytes(p.Src("l.txt")), "new l");
    EXPECT_EQ(p.run.counters.errors.load(), 0u);

    const auto lines = p.Lines();
    const auto backup = std::find(lines.begin(), lines.end(), "Backup " + p.Dst("top.txt"));
    ASSERT_NE(backup, lines.end());
    EXPECT_EQ(*(backup + 1), "Copy " + p.Src("top.txt") + " -> " + p.Dst("top.txt"));
}

// A full disk during a copy or a backup leaves the old file as it was and ends the pass
// with the disk-full result; nothing after it is copied.
TEST(CopyActions, DiskFullHalfWayKeepsTheOldFileAndEndsThePass) {
    struct Case {
        const char* name;
        DWORD saveDelete;
        bool backupFolder;  // where the disk fills up
        DWORD resultBit;
        const char* line;
    };
    for (const Case& c : {Case{"copy", 0, false, ItemState::kError, "Failed to Copy "},
                          Case{"backup", 1, true, ItemState::kBackupError, "Failed to Back up "}}) {
        SCOPED_TRACE(c.name);
        SyncPass p;
        p.task.syncOptions->saveDelete = c.saveDelete;
        const std::string big = RandomBytes(3 * kMiB);
        p.SrcFile("a-big.bin", big, kTime + 100);
        p.DstFile("a-big.bin", big.substr(0, 2 * kMiB), kTime);
        p.SrcFile("b.txt");
        p.Scan();

        plat::FileFaults faults;
        const std::string full = c.backupFolder ? p.Dst("_qb_sync") : p.target;
        faults.diskFullPath = [full](const std::string& path) { return path.starts_with(full + "/"); };
        faults.diskFullAfterBytes = kMiB;
        const plat::ScopedFileFaults scoped(faults);

        EXPECT_EQ(RunPass(p), -1);
        EXPECT_EQ(p.run.Result(), kRunDiskFull);
        EXPECT_EQ(ReadFileBytes(p.Dst("a-big.bin")), big.substr(0, 2 * kMiB));
        EXPECT_FALSE(passtest::Exists(p.Dst("b.txt")));
        EXPECT_EQ(p.Record("a-big.bin").state.Word() & 0xF0000000u, c.resultBit);
        EXPECT_EQ(p.run.counters.errors.load(), 1u);
        ASSERT_FALSE(p.Lines().empty());
        EXPECT_TRUE(p.Lines().back().starts_with(std::string("red: ") + c.line)) << p.Lines().back();
        // No temporary file is left behind.
        for (const std::string& name : NamesIn(p.target)) EXPECT_FALSE(IsCopyTempName(name)) << name;
        if (c.backupFolder) {
            for (const std::string& name : NamesIn(p.Dst("_qb_sync/_backup"))) EXPECT_FALSE(IsCopyTempName(name));
        }
    }
}

// The reason is the item's, and the log names the failure at either level.
TEST(CopyActions, ReadOnlyDestinationFailsWithAccessDeniedAndStaysAsItWas) {
    for (const DWORD level : {kLogDetailed, kLogSummary}) {
        SCOPED_TRACE(level);
        SyncPass p;
        p.task.logOptions->logLevel = level;
        p.SrcFile("ro.txt", "new", kTime + 100);
        p.DstFile("ro.txt", "old", kTime);
        chmod(p.Dst("ro.txt").c_str(), 0444);
        p.SrcFile("z.txt", "z");
        p.Scan();

        EXPECT_EQ(RunPass(p), 1);
        EXPECT_EQ(ReadFileBytes(p.Dst("ro.txt")), "old");
        EXPECT_EQ(ModeOf(p.Dst("ro.txt")), 0444u);
        EXPECT_TRUE(p.Record("ro.txt").state.IsError());
        EXPECT_EQ(p.Record("ro.txt").failure(), ERROR_ACCESS_DENIED);
        EXPECT_EQ(p.Record("z.txt").failure(), 0u);
        EXPECT_EQ(ReadFileBytes(p.Dst("z.txt")), "z");
        EXPECT_EQ(p.run.Result(), kRunSucceeded);
        EXPECT_EQ(p.run.counters.errors.load(), 1u);
        EXPECT_EQ(p.Lines().front(),
                  "red: Failed to Copy " + p.Src("ro.txt") + " -> " + p.Dst("ro.txt") + " (Error: Access Denied)");
        EXPECT_EQ(p.Lines().size(), level == kLogDetailed ? 2u : 1u);
    }
}

// The file about to be overwritten, or given another time, must be the one the Check saw.
TEST(CopyActions, FileChangedSinceTheCheckIsNotOverwritten) {
    struct Case {
        const char* name;
        std::string bytes;
        std::int64_t time;
        bool remove;
        bool copied;
    };
    for (const Case& c :
         {Case{"size changed", "abcd", kTime, false, false}, Case{"written 3 s later", "abc", kTime + 3, false, false},
          Case{"written 2 s later", "abc", kTime + 2, false, true}, Case{"removed", "", kTime, true, false}}) {
        SCOPED_TRACE(c.name);
        SyncPass p;
        p.SrcFile("f.txt", "new!", kTime + 100);
        p.DstFile("f.txt", "abc", kTime);
        p.Scan();
        if (c.remove) {
            ASSERT_TRUE(plat::DeleteFile(p.Dst("f.txt")));
        } else {
            p.DstFile("f.txt", c.bytes, c.time);
        }

        EXPECT_EQ(RunPass(p), 1);
        EXPECT_EQ(p.Record("f.txt").state.IsDone(), c.copied);
        EXPECT_EQ(p.Record("f.txt").state.IsError(), !c.copied);
        if (c.copied) continue;
        EXPECT_EQ(ReadFileBytes(p.Dst("f.txt")), c.bytes);
        EXPECT_EQ(p.Lines(), std::vector<std::string>{"red: Failed to Copy " + p.Src("f.txt") + " -> " +
                                                      p.Dst("f.txt") + " (Error: Changed since the Check)"});
    }

    SyncPass p;
    p.SrcFile("t.txt", "abc", kTime);
    p.DstFile("t.txt", "abc", kTime + 50);
    p.Scan();
    p.SetAction("t.txt", ItemState::kCopyTimeToRight);
    p.DstFile("t.txt", "abd", kTime + 60);
    EXPECT_EQ(RunPass(p), 1);
    EXPECT_EQ(WriteTimeOf(p.Dst("t.txt")), kTime + 60);
    EXPECT_TRUE(p.Record("t.txt").state.IsError());
    EXPECT_EQ(p.Lines(), std::vector<std::string>{"red: Failed to Set File Time to " + p.Dst("t.txt") +
                                                  " (Error: Changed since the Check)"});
}

TEST(CopyActions, NewFileNeverReplacesOneThatAppearedSinceTheCheck) {
    SyncPass p;
    p.SrcFile("n.txt", "mine");
    p.DstFile("m.txt", "target's");
    p.Scan();
    p.SetAction("m.txt", ItemState::kCopyToLeft, true);
    p.DstFile("n.txt", "theirs", kTime + 7);
    p.SrcFile("m.txt", "source's", kTime + 7);

    EXPECT_EQ(RunPass(p), 1);
    EXPECT_EQ(ReadFileBytes(p.Dst("n.txt")), "theirs");
    EXPECT_EQ(ReadFileBytes(p.Src("m.txt")), "source's");
    EXPECT_TRUE(p.Record("n.txt").state.IsError());
    EXPECT_TRUE(p.Record("m.txt", true).state.IsError());
    const std::vector<std::string> lines = {
        "red: Failed to Copy " + p.Src("n.txt") + " -> " + p.Dst("n.txt") + " (Error: Already Exists)",
        "red: Failed to Copy " + p.Dst("m.txt") + " -> " + p.Src("m.txt") + " (Error: Already Exists)",
    };
    EXPECT_EQ(p.Lines(), lines);
}

// New files are copied ahead of their turn: an item that appears at one's name meanwhile
// still fails that file alone, and is kept.
TEST(CopyActions, AnItemThatAppearsAtANameCopiedAheadIsKept) {
    SyncPass p;
    for (int i = 0; i < 60; ++i) p.SrcFile("d/f" + std::to_string(100 + i), "file " + std::to_string(i));
    p.Scan();
    // After the twentieth file, when the helpers have most likely copied f120 already.
    p.window.stopWhen = [&p](int questions) {
        if (questions == 2 * 20) passtest::WriteFileAt(p.Dst("d/f120"), "theirs", kTime + 7);
        return false;
    };

    EXPECT_EQ(RunPass(p), 1);
    EXPECT_EQ(ReadFileBytes(p.Dst("d/f120")), "theirs");
    EXPECT_EQ(ReadFileBytes(p.Dst("d/f121")), "file 21");
    EXPECT_EQ(NamesIn(p.Dst("d")).size(), 60u);
    EXPECT_TRUE(p.Record("d/f120").state.IsError());
    EXPECT_EQ(p.run.counters.errors.load(), 1u);
    EXPECT_EQ(p.Lines()[21],
              "red: Failed to Copy " + p.Src("d/f120") + " -> " + p.Dst("d/f120") + " (Error: Already Exists)");
}

// A copy made ahead takes its name before its messages; Stop pressed during them leaves
// that file out as it leaves out a file copied by the pass itself.
TEST(CopyActions, StopDuringTheCopyOfAFileMadeAheadLeavesItOut) {
    SyncPass p;
    for (int i = 0; i < 60; ++i) p.SrcFile("d/f" + std::to_string(100 + i), "file " + std::to_string(i));
    p.Scan();
    // Each new file asks once during its copy and once after it: this is f120's first.
    p.window.stopWhen = [](int questions) { return questions == 2 * 20 + 1; };

    EXPECT_EQ(RunPass(p), -1);
    EXPECT_EQ(ReadFileBytes(p.Dst("d/f119")), "file 19");
    const std::vector<std::string> names = NamesIn(p.Dst("d"));
    EXPECT_EQ(names.size(), 20u);
    EXPECT_EQ(std::count(names.begin(), names.end(), "f120"), 0);
    EXPECT_FALSE(p.Record("d/f120").state.IsDone());
    // The folder's line and the twenty copies before it.
    ASSERT_EQ(p.Lines().size(), 21u);
    EXPECT_EQ(p.Lines().back(), "Copy " + p.Src("d/f119") + " -> " + p.Dst("d/f119"));
}

TEST(CopyActions, LockedSourceWaitsForTheShadowCopyWhenLockIsOn) {
    for (const DWORD lock : {1u, 0u}) {
        SCOPED_TRACE(lock);
        SyncPass p;
        p.task.syncOptions->lock = lock;
        p.SrcFile("l.txt", "held");
        p.DstFile("m.txt", "held too");
        p.Scan();
        p.SetAction("m.txt", ItemState::kCopyToLeft, true);
        plat::FileFaults faults;
        faults.lockedFile = [&](const std::string& path) { return path == p.Src("l.txt") || path == p.Dst("m.txt"); };
        const plat::ScopedFileFaults scoped(faults);

        EXPECT_EQ(RunPass(p), 1);
        EXPECT_FALSE(passtest::Exists(p.Dst("l.txt")));
        const CFileInfo& held = p.Record("l.txt");
        if (lock) {
            EXPECT_EQ(held.state.Word(), 0x1000420u | ItemState::kShadowCopy);
            EXPECT_EQ(held.shadowIndex, 0);
            EXPECT_EQ(p.Record("m.txt", true).shadowIndex, 1);
            EXPECT_EQ(p.run.shadowSourcePaths, (std::vector<std::wstring>{W(p.Src("l.txt")), W(p.Dst("m.txt"))}));
            EXPECT_EQ(p.run.shadowTargetPaths, (std::vector<std::wstring>{W(p.Dst("l.txt")), W(p.Src("m.txt"))}));
            ASSERT_EQ(p.run.shadowWaiting.size(), 2u);
            EXPECT_EQ(p.run.shadowWaiting[0].shadowIndex, -1);
            EXPECT_EQ(p.run.shadowWaiting[0].state.Word(), held.state.Word());
            EXPECT_EQ(p.run.counters.errors.load(), 0u);
            const std::vector<std::string> lines = {"Shadow Copy " + p.Src("l.txt") + " -> " + p.Dst("l.txt"),
                                                    "Shadow Copy " + p.Dst("m.txt") + " -> " + p.Src("m.txt")};
            EXPECT_EQ(p.Lines(), lines);
        } else {
            EXPECT_TRUE(held.state.IsError());
            EXPECT_TRUE(p.run.shadowWaiting.empty());
            EXPECT_EQ(p.run.counters.errors.load(), 2u);
            const std::vector<std::string> lines = {
                "red: Failed to Copy " + p.Src("l.txt") + " -> " + p.Dst("l.txt") + " (File Locked)",
                "red: Failed Shadow Copy " + p.Dst("m.txt") + " -> " + p.Src("m.txt") + " (File Locked)"};
            EXPECT_EQ(p.Lines(), lines);
        }
    }
}

// Stop cuts the copy of a new file; an overwrite is not asked and runs to its end. Either
// way the pass ends without the disk-full result and the next item is not copied.
TEST(CopyActions, StopDuringThePass) {
    const std::string big = RandomBytes(kMiB);
    for (const bool overwrite : {false, true}) {
        SCOPED_TRACE(overwrite);
        SyncPass p;
        p.task.syncOptions->speed = 3;  // 10,240-byte chunks
        p.SrcFile("a-big.bin", big, kTime + 100);
        if (overwrite) p.DstFile("a-big.bin", "old", kTime);
        p.SrcFile("b.txt");
        p.Scan();
        // A new file is stopped at its copy's third question; an overwrite is never asked.
        p.window.stopWhen = [overwrite](int questions) { return overwrite || questions >= 3; };

        EXPECT_EQ(RunPass(p), -1);
        EXPECT_EQ(p.run.Result(), kRunSucceeded);
        EXPECT_FALSE(passtest::Exists(p.Dst("b.txt")));
        if (overwrite) {
            EXPECT_EQ(ReadFileBytes(p.Dst("a-big.bin")), big);
            EXPECT_TRUE(p.Record("a-big.bin").state.IsDone());
            EXPECT_EQ(p.window.stopQuestions, 1);
        } else {
            EXPECT_TRUE(NamesIn(p.target).empty());
            EXPECT_FALSE(p.Record("a-big.bin").state.HasResult());
            EXPECT_EQ(p.window.stopQuestions, 4);  // three in the copy, one after it
        }
    }
}

// A folder's new files are copied by name in its two open folders: the window, the log and
// the rows see each copy in the folder's order, and Stop leaves exactly the files reported
// as copied, with no temporary file.
TEST(CopyActions, NewFilesOfAFolderAreToldInOrderAndStopLeavesOnlyWhatWasReported) {
    SyncPass p;
    constexpr int kFiles = 300;
    const auto name = [](int i) {
        char text[16];
        std::snprintf(text, sizeof text, "f%03d.txt", i);
        return std::string(text);
    };
    for (int i = 0; i < kFiles; ++i) p.SrcFile("d/" + name(i), i == 7 ? "" : "file " + std::to_string(i), kTime + i);
    p.Scan();
    // Two questions for each file with data (before its chunk and after the item), one for the empty one.
    constexpr int kStoppedAt = 1 + (2 * 150 - 1) + 1;  // after the folder: the chunk question of f150
    p.window.stopWhen = [](int questions) { return questions >= kStoppedAt; };

    EXPECT_EQ(RunPass(p), -1);

    std::vector<std::string> lines{"Create New " + p.Dst("d")};
    std::vector<std::string> events{"stop?"};
    for (int i = 0; i < 150; ++i) {
        lines.push_back("Copy " + p.Src("d/" + name(i)) + " -> " + p.Dst("d/" + name(i)));
        events.push_back("name " + name(i));
        if (i != 7) events.insert(events.end(), {"begin", "stop?", "100%", "end"});
        events.push_back("stop?");
    }
    events.insert(events.end(), {"name " + name(150), "begin", "stop?", "end", "stop?"});
    EXPECT_EQ(p.Lines(), lines);
    EXPECT_EQ(p.window.copyEvents, events);
    std::vector<std::string> copied;
    for (int i = 0; i < 150; ++i) copied.push_back(name(i));
    EXPECT_EQ(NamesIn(p.Dst("d")), copied);  // no temporary file either
    EXPECT_EQ(p.window.rowsDone.size(), 151u);
    EXPECT_EQ(WriteTimeOf(p.Dst("d/" + name(149))), kTime + 149);
    EXPECT_FALSE(p.Record("d/" + name(150)).state.HasResult());

    // The next pass copies the rest.
    p.window.stopWhen = nullptr;
    ASSERT_EQ(RunPass(p), 1);
    EXPECT_EQ(NamesIn(p.Dst("d")).size(), static_cast<std::size_t>(kFiles));
    EXPECT_EQ(ReadFileBytes(p.Dst("d/" + name(299))), "file 299");
    EXPECT_EQ(p.run.counters.done.load(), static_cast<DWORD>(kFiles + 1));
}

}  // namespace
