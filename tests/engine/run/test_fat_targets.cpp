// Syncs and backups onto removable disks with FAT or exFAT: file systems that keep no Unix
// modes, refuse some names, fold case and keep times to 2 seconds. Through the file
// layer's faults on any machine, and on real FAT32 and exFAT volumes where the test set-up
// could mount them (fat_volumes.sh; the tests say why when they skip).

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/file_faults.h"
#include "tests/engine/support/run_harness.h"

namespace {

namespace fs = std::filesystem;
using runtest::EngineHarness;
using runtest::kTime;
using runtest::TaskSetup;
using runtest::Tree;
using runtest::WriteFileAt;
using Names = std::vector<std::string>;

constexpr int kTreeFiles = 50;

// 50 files of the modes 0644, 0600, 0444 and 0755 in five folders, written at odd seconds
// (FAT keeps even ones), and a name FAT refuses.
void MakeSource(const std::string& folder) {
    constexpr mode_t kModes[] = {0644, 0600, 0444, 0755};
    for (int i = 0; i < kTreeFiles; ++i) {
        const std::string path = folder + "/tree/d" + std::to_string(i % 5) + "/f" + std::to_string(i);
        WriteFileAt(path, std::to_string(i), kTime + 2 * i + 1);
        chmod(path.c_str(), kModes[i % 4]);
    }
    WriteFileAt(folder + "/a:b.txt", "colon");
}

bool IsReadOnly(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

std::string ChangesLine(const runtest::TaskWindows& windows) {
    for (const std::string& line : windows.Lines()) {
        if (line.rfind("Changes: ", 0) == 0) return line;
    }
    return {};
}

SyncTask& AddDetailedTask(EngineHarness& harness, const std::string& right, DWORD type) {
    TaskSetup setup;
    setup.type = type;
    SyncTask& task = harness.AddTask("left", right, setup);
    task.logOptions->logLevel = kLogDetailed;
    return task;
}

std::string RefusedNameLine(const std::string& left, const std::string& right) {
    return "red: Failed to Copy " + left + "/a:b.txt -> " + right +
           "/a:b.txt (Error: The target cannot hold this name)";
}

TEST(FatTargets, ModesTheTargetCannotKeepDoNotFailACopyAndARefusedNameFailsAlone) {
    for (const int modeErrno : {EPERM, ENOSYS, EOPNOTSUPP}) {
        SCOPED_TRACE(modeErrno);
        EngineHarness harness;
        const std::string left = harness.Folder("left");
        const std::string right = harness.Folder("right");
        SyncTask& task = AddDetailedTask(harness, right, kBackupLeftToRight);
        MakeSource(left);
        plat::FileFaults faults;
        faults.modeRefused = [right](const std::string& path) { return path.starts_with(right + "/"); };
        faults.modeErrno = modeErrno;
        faults.nameRefused = [](const std::string& path) {
            return plat::FileNamePart(path).find(':') != std::string::npos;
        };
        const plat::ScopedFileFaults fat(std::move(faults));

        for (int run = 0; run < 2; ++run) {
            SCOPED_TRACE(run);
            EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunCopiesFailed);
            EXPECT_TRUE(harness.WindowsOf(task).HasLine(RefusedNameLine(left, right)));
            EXPECT_EQ(Tree(right).size(), 1u + 5u + kTreeFiles);
            EXPECT_TRUE(IsReadOnly(right + "/tree/d2/f2"));  // 0444: the one attribute FAT has
            EXPECT_FALSE(IsReadOnly(right + "/tree/d1/f1"));
        }
        EXPECT_EQ(ChangesLine(harness.WindowsOf(task)), "Changes: 1 (Conflicts: 0) Warning: 0");
    }
}

// What a kill of the program leaves on the disk: the folders as they were at one moment
// of a run, taken then and put back once the run has ended.
class DiskMoment {
public:
    void Take(const std::vector<std::string>& roots) {
        roots_ = roots;
        for (const std::string& root : roots) {
            for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
                struct stat st {};
                lstat(entry.path().c_str(), &st);
                const bool folder = S_ISDIR(st.st_mode);
                entries_.push_back({entry.path(), folder, folder ? "" : qbtest::ReadFileBytes(entry.path()), st});
            }
        }
        taken_ = true;
    }
    void PutBack() const {
        for (const std::string& root : roots_) {
            fs::remove_all(root);
            fs::create_directories(root);
        }
        for (const Entry& entry : entries_) {
            if (entry.folder) fs::create_directories(entry.path);
        }
        for (const Entry& entry : entries_) {
            if (entry.folder) continue;
            qbtest::WriteFileBytes(entry.path, entry.bytes);
            chmod(entry.path.c_str(), entry.st.st_mode & 07777);
            const timespec times[2] = {entry.st.st_atim, entry.st.st_mtim};
            utimensat(AT_FDCWD, entry.path.c_str(), times, 0);
        }
    }
    bool Taken() const { return taken_; }

private:
    struct Entry {
        std::string path;
        bool folder;
        std::string bytes;
        struct stat st;
    };
    std::vector<std::string> roots_;
    std::vector<Entry> entries_;
    bool taken_ = false;
};

std::int64_t WriteTime(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mtime;
}

// A FAT driver in user space gives a file the time of its rename, so a copy holds all its
// data under its name a moment before its times are set again. A kill in that moment left
// a copy that looked changed on both sides: every later run called it a conflict. The next
// run now gives it its times, for an overwrite and for a new file.
TEST(FatTargets, AKillJustAfterACopyTookItsNameLeavesACopyTheNextRunFinishes) {
    for (const std::string killed : {"a.txt", "b.txt"}) {
        SCOPED_TRACE(killed);
        EngineHarness harness;
        const std::string left = harness.Folder("left");
        const std::string right = harness.Folder("right");
        TaskSetup setup;
        setup.type = kSyncLeftToRight;
        SyncTask& task = harness.AddTask("left", "right", setup);
        WriteFileAt(left + "/a.txt", "old", kTime + 1);
        ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        WriteFileAt(left + "/a.txt", "edited", kTime + 601);
        WriteFileAt(left + "/b.txt", "new", kTime + 3);

        DiskMoment moment;
        plat::FileFaults faults;
        const auto onStick = [right](const std::string& path) {
            return path == right || path.starts_with(right + "/");
        };
        faults.fatDriverFolder = onStick;
        faults.unnamedFilesRefused = onStick;
        faults.afterRename = [&](const std::string& path) {
            if (plat::FileNamePart(path) == killed && !moment.Taken()) {
                moment.Take({left, right, harness.Folder("Data")});
            }
        };
        {
            const plat::ScopedFileFaults stick(std::move(faults));
            ASSERT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        }
        ASSERT_TRUE(moment.Taken());
        moment.PutBack();
        EXPECT_NE(WriteTime(right + "/" + killed), WriteTime(left + "/" + killed));
        // A note cut short by the kill itself is only removed.
        const std::string notes = plat::ParentPath(plat::WideToUtf8(task.targetCatalog));
        WriteFileAt(notes + "/~qbnote-00000000000000ff", std::string("QBNOTE1") + '\0' + right + "/a.txt");

        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunSucceeded);
        for (const char* name : {"a.txt", "b.txt"}) {
            EXPECT_EQ(qbtest::ReadFileBytes(right + "/" + name), qbtest::ReadFileBytes(left + "/" + name)) << name;
            EXPECT_EQ(WriteTime(right + "/" + name), WriteTime(left + "/" + name)) << name;
        }
        EXPECT_EQ(harness.Run(task, kRunModeCheck), kRunSucceeded);
        EXPECT_EQ(ChangesLine(harness.WindowsOf(task)), "Changes: 0 (Conflicts: 0) Warning: 0");
        for (const std::string& name : Tree(notes)) EXPECT_FALSE(name.starts_with("~qbnote-")) << name;
    }
}

// A volume the test set-up mounted: its mount point, or "" with the reason to skip.
std::string MountedVolume(const std::string& kind, std::string& why) {
    const char* folder = std::getenv("QB_FAT_VOLUMES");
    if (!folder) {
        why = "QB_FAT_VOLUMES is not set (run the test through ctest)";
        return {};
    }
    const std::string base = std::string(folder) + "/" + kind;
    if (fs::exists(base + ".mounted")) return base;
    why = fs::exists(base + ".skipped") ? qbtest::ReadFileBytes(base + ".skipped") : "the set-up did not run";
    return {};
}

class RealVolume : public ::testing::TestWithParam<const char*> {};

// A Mirror and a Back up task onto the volume copy everything it can hold, report each
// item it cannot (a name it refuses, a name it already holds in other case, with what that
// folder holds), and a second run finds nothing else to do.
TEST_P(RealVolume, CopiesWhatItCanHoldReportsTheRestAndConverges) {
    std::string why;
    const std::string volume = MountedVolume(GetParam(), why);
    if (volume.empty()) GTEST_SKIP() << "no " << GetParam() << " volume: " << why;

    for (const DWORD type : {kSyncMirror, kBackupLeftToRight}) {
        SCOPED_TRACE(kSyncTypeTexts[type]);
        EngineHarness harness;
        const std::string left = harness.Folder("left");
        const std::string right = volume + "/" + (type == kSyncMirror ? "mirror" : "backup");
        SyncTask& task = AddDetailedTask(harness, right, type);
        MakeSource(left);
        WriteFileAt(left + "/README.txt", "upper");
        WriteFileAt(left + "/Readme.txt", "mixed");
        WriteFileAt(left + "/Docs/x", "x");
        WriteFileAt(left + "/docs/y", "y");

        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunCopiesFailed);
        runtest::TaskWindows& windows = harness.WindowsOf(task);
        EXPECT_TRUE(windows.HasLine(RefusedNameLine(left, right)));
        // "README.txt" sorts first and is copied; the other is refused, not written over it.
        EXPECT_EQ(qbtest::ReadFileBytes(right + "/README.txt"), "upper");
        EXPECT_TRUE(windows.HasLine("red: Failed to Copy " + left + "/Readme.txt -> " + right +
                                    "/Readme.txt (Error: The target holds this name in other case)"));
        const Names after = Tree(right);
        EXPECT_EQ(after.size(), 1u + 5u + kTreeFiles + 1u + 2u);  // the tree, README.txt, one folder with its file
        for (int i = 0; i < kTreeFiles; ++i) {
            const std::string name = "/tree/d" + std::to_string(i % 5) + "/f" + std::to_string(i);
            EXPECT_EQ(qbtest::ReadFileBytes(right + name), std::to_string(i)) << name;
        }

        // The refused name, the other README and the other folder with its file: nothing else.
        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunCopiesFailed);
        EXPECT_EQ(ChangesLine(windows), "Changes: 4 (Conflicts: 0) Warning: 0");
        EXPECT_EQ(Tree(right), after);
        EXPECT_EQ(qbtest::ReadFileBytes(right + "/README.txt"), "upper");

        // A deletion reaches the volume too (into its own trash).
        fs::remove(left + "/tree/d0/f0");
        EXPECT_EQ(harness.Run(task, kRunModeCheckAndSync), kRunCopiesFailed);
        EXPECT_FALSE(fs::exists(right + "/tree/d0/f0")) << ::testing::PrintToString(windows.Lines());
        fs::remove_all(right);
    }
}

INSTANTIATE_TEST_SUITE_P(FatTargets, RealVolume, ::testing::Values("fat", "exfat"));

}  // namespace
