#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "foundation/app_folders.h"
#include "foundation/file_utils.h"
#include "foundation/folder_tokens.h"
#include "foundation/program_state.h"
#include "foundation/registry_utils.h"
#include "foundation/resource_strings.h"
#include "foundation/shell_utils.h"
#include "foundation/volume_labels.h"
#include "platform/core/sync.h"
#include "platform/core/text.h"
#include "support/scoped_env.h"
#include "support/scoped_program_state.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::wstring W(const std::string& s) { return plat::Utf8ToWide(s); }

using qbtest::ScopedEnv;

TEST(PathKind, MissingFileFolderRootAndLinks) {
    qbtest::TempDir dir;
    qbtest::WriteFileBytes(dir.sub("f.txt"), "x");
    fs::create_directory(dir.sub("d"));
    fs::create_directory_symlink(dir.sub("d"), dir.sub("link-to-d"));
    EXPECT_EQ(GetPathKind(dir.sub("none")), kPathMissing);
    EXPECT_EQ(GetPathKind(""), kPathMissing);
    EXPECT_EQ(GetPathKind(dir.sub("f.txt")), kPathFile);
    EXPECT_EQ(GetPathKind(dir.sub("d")), kPathFolder);
    EXPECT_EQ(GetPathKind(dir.sub("link-to-d")), kPathFolder);
    EXPECT_EQ(GetPathKindW(L"/"), kPathFolder);
}

TEST(CreateFolders, WholePathOrFailure) {
    qbtest::TempDir dir;
    EXPECT_EQ(CreateFolderPath(dir.sub("a/b/c")), 1);
    EXPECT_TRUE(fs::is_directory(dir.sub("a/b/c")));
    EXPECT_EQ(CreateFolderPath(dir.sub("a/b/c")), 1);  // existing folders count
    EXPECT_EQ(CreateFolderPath(dir.sub("a//b/./d/")), 1);
    EXPECT_TRUE(fs::is_directory(dir.sub("a/b/d")));
    EXPECT_EQ(CreateFolderPath(""), 0);
    qbtest::WriteFileBytes(dir.sub("file"), "x");
    EXPECT_EQ(CreateFolderPath(dir.sub("file/sub")), 0);  // a file in the way
    EXPECT_TRUE(CreateFolderTree(W(dir.sub("x/y/z"))));
    EXPECT_FALSE(CreateFolderTree(W(dir.sub("file/sub"))));
}

TEST(DeleteFolderTree, NeverFollowsALinkOutOfTheTree) {
    qbtest::TempDir dir;
    qbtest::WriteFileBytes(dir.sub("outside/keep.txt"), "precious");
    qbtest::WriteFileBytes(dir.sub("tree/a/file.txt"), "x");
    fs::create_directory_symlink(dir.sub("outside"), dir.sub("tree/a/link"));
    fs::create_symlink(dir.sub("outside/keep.txt"), dir.sub("tree/filelink"));
    EXPECT_TRUE(DeleteFolderTree(W(dir.sub("tree")), 0));
    EXPECT_FALSE(fs::exists(dir.sub("tree")));
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("outside/keep.txt")), "precious");
}

TEST(DeleteFolderTree, ALinkGivenAsTheFolderIsRemovedItself) {
    qbtest::TempDir dir;
    qbtest::WriteFileBytes(dir.sub("outside/keep.txt"), "precious");
    fs::create_directory_symlink(dir.sub("outside"), dir.sub("link"));
    EXPECT_TRUE(DeleteFolderTree(W(dir.sub("link")), 0));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.sub("link"))));
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("outside/keep.txt")), "precious");
    EXPECT_FALSE(DeleteFolderTree(L"/", 0));
    EXPECT_FALSE(DeleteFolderTree(L"", 0));
}

TEST(DeleteFileEx, ForGoodOrToTheTrash) {
    qbtest::TempDir dir;
    ScopedEnv data("XDG_DATA_HOME", dir.sub("xdg-data"));
    qbtest::WriteFileBytes(dir.sub("gone.txt"), "1");
    qbtest::WriteFileBytes(dir.sub("trashed.txt"), "2");
    chmod(dir.sub("gone.txt").c_str(), 0444);
    EXPECT_TRUE(DeleteFileEx(W(dir.sub("gone.txt")), 0));
    EXPECT_FALSE(fs::exists(dir.sub("gone.txt")));
    EXPECT_TRUE(DeleteFileEx(W(dir.sub("trashed.txt")), kDeleteToTrash));
    EXPECT_FALSE(fs::exists(dir.sub("trashed.txt")));
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("xdg-data/Trash/files/trashed.txt")), "2");
    EXPECT_FALSE(DeleteFileEx(W(dir.sub("never-there")), kDeleteToTrash));
    EXPECT_EQ(GetRecycleBinPath(), dir.sub("xdg-data/Trash/files"));
}

TEST(FolderTokens, ExpandKnownTokensLeaveOthersAlone) {
    qbtest::TempDir dir;
    ScopedEnv home("HOME", dir.path());
    ScopedEnv config("XDG_CONFIG_HOME", dir.sub(".config"));
    qbtest::WriteFileBytes(dir.sub(".config/user-dirs.dirs"),
                           "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\n");
    fs::create_directories(dir.sub("Dokumente"));
    fs::create_directories(dir.sub("Desk"));

    EXPECT_EQ(ExpandFolderTokens("<mydocuments>\\Letters"), dir.sub("Dokumente/Letters"));
    EXPECT_EQ(ExpandFolderTokens("<MyDocuments>/Letters/2024"), dir.sub("Dokumente/Letters/2024"));
    EXPECT_EQ(ExpandFolderTokens("<MyDocuments>"), dir.sub("Dokumente"));
    EXPECT_EQ(ExpandFolderTokens("<Desktop>\\a\\b"), dir.sub("Desk/a/b"));
    EXPECT_EQ(ExpandFolderTokens(""), "");
    EXPECT_EQ(ExpandFolderTokens("/plain/path"), "/plain/path");
    // Tokens with no folder here leave the path as it is, never a relative path.
    EXPECT_EQ(ExpandFolderTokens("<Sys32>\\drivers"), "<Sys32>\\drivers");
    EXPECT_EQ(ExpandFolderTokens("<ProgramFiles>\\App"), "<ProgramFiles>\\App");
    // A result longer than any path is refused.
    const std::string longPath = "<MyDocuments>/" + std::string(5000, 'x');
    EXPECT_EQ(ExpandFolderTokens(longPath), longPath);
}

TEST(VolumeLabels, ExactLabelWinsOverFirstWord) {
    qbtest::TempDir dir;
    qbtest::WriteFileBytes(dir.sub("mounts"),
                           "/dev/sdc1 /media/u/CARD\\0402 vfat rw 0 0\n"
                           "/dev/sdb1 /media/u/CARD vfat rw 0 0\n"
                           "/dev/sdd1 /media/u/PHOTOS\\040OLD vfat rw 0 0\n");
    fs::create_directories(dir.sub("by-label"));
    fs::create_symlink("../../sdc1", dir.sub("by-label/CARD\\x202"));
    fs::create_symlink("../../sdb1", dir.sub("by-label/Card"));
    fs::create_symlink("../../sdd1", dir.sub("by-label/PHOTOS\\x20OLD"));
    plat::VolumeSources sources;
    sources.mountTable = dir.sub("mounts");
    sources.labelFolder = dir.sub("by-label");
    sources.sysFolder = dir.sub("sys");

    EXPECT_EQ(FindDriveByVolumeLabel(L"CARD", sources), L"/media/u/CARD");
    EXPECT_EQ(FindDriveByVolumeLabel(L"card 2", sources), L"/media/u/CARD 2");
    EXPECT_EQ(FindDriveByVolumeLabel(L"photos", sources), L"/media/u/PHOTOS OLD");
    EXPECT_EQ(FindDriveByVolumeLabel(L"NONE", sources), L"");
    EXPECT_EQ(FindDriveByVolumeLabel(L"", sources), L"");
}

TEST(Registry, ValuesRoundTripAndDefaults) {
    qbtest::TempDir dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.path());
    const std::string key = "SOFTWARE\\Quarrybend\\Sync\\2.00\\Sync";
    EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, key, "Type", 7), 7);
    EXPECT_TRUE(RegWriteDwordFlush(HKEY_CURRENT_USER, key, "Type", 3));
    EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, key, "Type", 7), 3);
    EXPECT_TRUE(RegWriteStringW(HKEY_CURRENT_USER, key, "Name", L"Fotos \u00e9t\u00e9"));
    EXPECT_EQ(RegReadStringW(HKEY_CURRENT_USER, key, "Name", L""), L"Fotos \u00e9t\u00e9");
    EXPECT_TRUE(RegDeleteNamedValue(HKEY_CURRENT_USER, key, "Name"));
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, key, "Name", "none"), "none");
    EXPECT_FALSE(RegDeleteNamedValue(HKEY_CURRENT_USER, "", "Name"));
    EXPECT_FALSE(RegDeleteNamedValue(HKEY_CURRENT_USER, key, ""));
}

TEST(MessageTexts, CopiesAreSafeAcrossThreads) {
    const std::string a = LoadResString(IDS_TASK_FOLDER_LOCKED);
    const std::string b = LoadResString(IDS_APP_TITLE);
    ASSERT_EQ(a, "Task '%s' is busy due to source or target folder lock.  Please try later.");
    ASSERT_EQ(b, "Quarrybend Sync VEXO");
    EXPECT_EQ(LoadResString(1), "");
    EXPECT_EQ(LoadResStringW(IDS_APP_TITLE), L"Quarrybend Sync VEXO");
    std::atomic<int> mismatches{0};
    auto load = [&](UINT id, const std::string& expected) {
        for (int i = 0; i < 100000; ++i) {
            if (LoadResString(id) != expected) ++mismatches;
        }
    };
    std::thread t1(load, IDS_TASK_FOLDER_LOCKED, a);
    std::thread t2(load, IDS_APP_TITLE, b);
    t1.join();
    t2.join();
    EXPECT_EQ(mismatches.load(), 0);
}

TEST(RunProcessWait, WaitsStopsAndReportsMissingPrograms) {
    qbtest::TempDir dir;
    EXPECT_EQ(RunProcessWait({"/bin/sh", "-c", "echo done > out.txt"}, dir.path(), true, nullptr), 0u);
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("out.txt")), "done\n");
    EXPECT_NE(RunProcessWait({dir.sub("no-such-program")}, "", true, nullptr), 0u);
    EXPECT_NE(RunProcessWait({}, "", true, nullptr), 0u);

    plat::Event stop(true, true);  // manual reset, already set: the program is stopped at once
    EXPECT_EQ(RunProcessWait({"/bin/sleep", "30"}, "", false, &stop), 0u);
}

TEST(ProgramState, InitFillsFoldersAndSettingsFile) {
    qbtest::TempDir dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.sub("config"));
    const qbtest::ScopedProgramState savedState;
    ASSERT_TRUE(InitProgramState());
    EXPECT_EQ(ProgramState().settingsFile, ProgramState().dataFolder + "/qboptions.ini");
    EXPECT_TRUE(fs::is_directory(ProgramState().dataFolder));
    EXPECT_EQ(ProgramState().profileFile, dir.sub("config/quarrybend-sync/profile.ini"));
    EXPECT_EQ(ProgramState().windowsVersionClass, 7);
    EXPECT_EQ(ProgramState().isAdmin, geteuid() == 0);

    // A program started with neither USER nor LOGNAME names its user from the account.
    const ScopedEnv noUser("USER", std::nullopt);
    const ScopedEnv noLogname("LOGNAME", std::nullopt);
    ASSERT_TRUE(InitProgramState());
    const passwd* account = getpwuid(geteuid());
    ASSERT_TRUE(account);
    EXPECT_EQ(ProgramState().userName, account->pw_name);
}

}  // namespace
