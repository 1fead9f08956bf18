#include "platform/core/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <functional>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/errors.h"
#include "platform/core/text.h"
#include "support/temp_dir.h"

namespace {

using qbtest::TempDir;
using qbtest::WriteFileBytes;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

void MakeLink(const std::string& target, const std::string& link) {
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0) << link;
}

std::map<std::string, plat::DirEntry> ListByName(const std::string& folder) {
    std::vector<plat::DirEntry> entries;
    EXPECT_TRUE(plat::ListFolder(folder, entries)) << GetLastError();
    std::map<std::string, plat::DirEntry> byName;
    for (const auto& e : entries) byName[e.name] = e;
    return byName;
}

// Running as root, permission bits do not deny access; such tests use the fault hook.
bool PermissionsDenyAccess() { return geteuid() != 0; }

TEST(FileAttributes, DerivedFromModeAndName) {
    EXPECT_EQ(plat::AttributesFromMode(S_IFREG | 0644, "a.txt"), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(plat::AttributesFromMode(S_IFREG | 0444, "a.txt"), FILE_ATTRIBUTE_READONLY);
    // Only the owner's write bit counts.
    EXPECT_EQ(plat::AttributesFromMode(S_IFREG | 0466, "a.txt"), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(plat::AttributesFromMode(S_IFREG | 0600, ".profile"), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(plat::AttributesFromMode(S_IFREG | 0400, ".key"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(plat::AttributesFromMode(S_IFDIR | 0755, "docs"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(plat::AttributesFromMode(S_IFDIR | 0755, ".git"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(plat::AttributesFromMode(S_IFLNK | 0777, "link"), FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(plat::AttributesFromMode(S_IFIFO | 0644, "pipe"), FILE_ATTRIBUTE_SYSTEM);
}

TEST(FileAttributes, OfRealEntriesWithoutFollowingLinks) {
    TempDir dir;
    WriteFileBytes(dir.sub("plain"), "abc");
    WriteFileBytes(dir.sub("locked"), "abc");
    chmod(dir.sub("locked").c_str(), 0444);
    MakeLink(dir.path(), dir.sub("up"));

    EXPECT_EQ(plat::GetFileAttributes(dir.sub("plain")), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(plat::GetFileAttributes(dir.sub("locked")), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(plat::GetFileAttributes(dir.path()), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(plat::GetFileAttributes(dir.sub("up")), FILE_ATTRIBUTE_REPARSE_POINT);

    EXPECT_EQ(plat::GetFileAttributes(dir.sub("missing")), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(plat::GetFileAttributes(dir.sub("no/such/file")), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(plat::GetFileAttributes(dir.sub("plain/below")), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(FileAttributes, SettingReadOnlyTouchesFilesOnly) {
    TempDir dir;
    WriteFileBytes(dir.sub("f"), "x");
    chmod(dir.sub("f").c_str(), 0664);

    ASSERT_TRUE(plat::SetFileAttributes(dir.sub("f"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(ModeOf(dir.sub("f")), 0444u);
    ASSERT_TRUE(plat::SetFileAttributes(dir.sub("f"), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(ModeOf(dir.sub("f")), 0644u);
    // Clearing read-only on a writable file changes nothing.
    chmod(dir.sub("f").c_str(), 0660);
    ASSERT_TRUE(plat::SetFileAttributes(dir.sub("f"), 0));
    EXPECT_EQ(ModeOf(dir.sub("f")), 0660u);

    // A read-only folder still takes new files.
    ASSERT_TRUE(plat::CreateFolder(dir.sub("folder")));
    const mode_t before = ModeOf(dir.sub("folder"));
    ASSERT_TRUE(plat::SetFileAttributes(dir.sub("folder"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(ModeOf(dir.sub("folder")), before);
    plat::FileHandle inside;
    EXPECT_TRUE(inside.Open(dir.sub("folder/new"), plat::FileOpenMode::CreateNew));

    // A link's target is never changed.
    WriteFileBytes(dir.sub("target"), "t");
    chmod(dir.sub("target").c_str(), 0644);
    MakeLink(dir.sub("target"), dir.sub("link"));
    ASSERT_TRUE(plat::SetFileAttributes(dir.sub("link"), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ModeOf(dir.sub("target")), 0644u);

    EXPECT_FALSE(plat::SetFileAttributes(dir.sub("missing"), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(FolderListing, ReportsEveryKindOfEntryAndFollowsNoLink) {
    TempDir outside;
    WriteFileBytes(outside.sub("secret.txt"), "outside");
    TempDir dir;
    WriteFileBytes(dir.sub("file.bin"), std::string(1234, 'x'));
    WriteFileBytes(dir.sub(".hidden"), "");
    ASSERT_TRUE(plat::CreateFolder(dir.sub("sub")));
    MakeLink(outside.path(), dir.sub("to-folder"));
    MakeLink(dir.sub("gone"), dir.sub("dangling"));
    ASSERT_EQ(mkfifo(dir.sub("pipe").c_str(), 0644), 0);
    const std::string oddName = std::string("bad-\xff\xfe-name");
    WriteFileBytes(dir.sub(oddName), "odd");

    const auto byName = ListByName(dir.path());
    ASSERT_EQ(byName.size(), 7u);
    EXPECT_FALSE(byName.count("."));
    EXPECT_FALSE(byName.count(".."));

    const auto& file = byName.at("file.bin");
    EXPECT_EQ(file.kind, plat::EntryKind::File);
    EXPECT_EQ(file.size, 1234u);
    EXPECT_EQ(byName.at(".hidden").attributes & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(byName.at("sub").attributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(byName.at("sub").size, 0u);

    for (const char* link : {"to-folder", "dangling"}) {
        const auto& e = byName.at(link);
        EXPECT_TRUE(e.IsSymbolicLink()) << link;
        EXPECT_EQ(e.attributes, FILE_ATTRIBUTE_REPARSE_POINT) << link;
        EXPECT_EQ(e.size, 0u) << link;
    }
    EXPECT_EQ(byName.at("pipe").kind, plat::EntryKind::Special);

    // The name's bytes survive as they are.
    ASSERT_TRUE(byName.count(oddName));
    EXPECT_EQ(byName.at(oddName).size, 3u);
}

TEST(FolderListing, ReportsTheTimesThatWereSet) {
    TempDir dir;
    WriteFileBytes(dir.sub("f"), "x");
    // 2021-06-01 12:00:00.1234567 UTC
    const FILETIME write = U64ToFileTime(132669168001234567ULL);
    const FILETIME access = U64ToFileTime(132669168009999999ULL);
    ASSERT_TRUE(plat::SetFileTimes(dir.sub("f"), nullptr, &access, &write));

    const auto entry = ListByName(dir.path()).at("f");
    EXPECT_EQ(FileTimeToU64(entry.lastWriteTime), FileTimeToU64(write));
    EXPECT_EQ(FileTimeToU64(entry.lastAccessTime), FileTimeToU64(access));
    EXPECT_NE(FileTimeToU64(entry.creationTime), 0u);

    plat::FileInfo info;
    ASSERT_TRUE(plat::GetFileInfo(dir.sub("f"), info));
    EXPECT_EQ(FileTimeToU64(info.lastWriteTime), FileTimeToU64(write));

    // Only the given time changes.
    const FILETIME later = U64ToFileTime(FileTimeToU64(write) + 10'000'000);
    ASSERT_TRUE(plat::SetFileTimes(dir.sub("f"), nullptr, nullptr, &later));
    ASSERT_TRUE(plat::GetFileInfo(dir.sub("f"), info));
    EXPECT_EQ(FileTimeToU64(info.lastWriteTime), FileTimeToU64(later));
    EXPECT_EQ(FileTimeToU64(info.lastAccessTime), FileTimeToU64(access));
}

// Walks a tree the way a scan does: into folders only, never through links.
void Walk(const std::string& folder, int depth, std::vector<std::string>& seen) {
    ASSERT_LT(depth, 10) << "walked into a loop at " << folder;
    std::vector<plat::DirEntry> entries;
    ASSERT_TRUE(plat::ListFolder(folder, entries));
    for (const auto& e : entries) {
        seen.push_back(folder + "/" + e.name);
        if (e.IsFolder()) Walk(folder + "/" + e.name, depth + 1, seen);
    }
}

TEST(FolderListing, LinkLoopsEndTheWalk) {
    TempDir dir;
    ASSERT_TRUE(plat::CreateFolderWithParents(dir.sub("a/b")));
    MakeLink("..", dir.sub("a/b/up"));
    MakeLink(".", dir.sub("a/here"));
    MakeLink("self", dir.sub("self"));

    std::vector<std::string> seen;
    Walk(dir.path(), 0, seen);
    EXPECT_EQ(seen.size(), 5u);

    plat::FileInfo info;
    ASSERT_TRUE(plat::GetFileInfo(dir.sub("self"), info));
    EXPECT_TRUE(info.IsSymbolicLink());
    plat::FileHandle handle;
    EXPECT_FALSE(handle.Open(dir.sub("self"), plat::FileOpenMode::Read));
    EXPECT_EQ(GetLastError(), ERROR_CANT_RESOLVE_FILENAME);
}

TEST(FolderListing, FailuresAreNeverAnEmptyFolder) {
    TempDir dir;
    WriteFileBytes(dir.sub("file"), "x");
    plat::DirectoryReader reader;

    EXPECT_FALSE(reader.Open(dir.sub("missing")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(reader.Open(dir.sub("missing/deeper")));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(reader.Open(dir.sub("file")));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(reader.Failed());

    plat::DirEntry entry;
    EXPECT_FALSE(reader.Next(entry));

    ASSERT_TRUE(plat::CreateFolder(dir.sub("locked")));
    WriteFileBytes(dir.sub("locked/inside"), "x");
    if (PermissionsDenyAccess()) {
        chmod(dir.sub("locked").c_str(), 0);
        std::vector<plat::DirEntry> entries;
        EXPECT_FALSE(plat::ListFolder(dir.sub("locked"), entries));
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
        chmod(dir.sub("locked").c_str(), 0755);
    }
}

TEST(FolderListing, FaultHookFailsAtTheStartOrHalfWay) {
    TempDir dir;
    for (const char* name : {"f0", "f1", "f2", "f3", "f4"}) WriteFileBytes(dir.sub(name), "x");
    std::vector<plat::DirEntry> entries;
    {
        plat::FileFaults faults;
        faults.unlistableFolder = plat::FileFaults::SamePath(dir.path() + "/");
        const plat::ScopedFileFaults guard(faults);
        EXPECT_FALSE(plat::ListFolder(dir.path(), entries));
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
        EXPECT_TRUE(entries.empty());
    }
    {
        plat::FileFaults faults;
        faults.unlistableFolder = plat::FileFaults::SamePath(dir.path());
        faults.listFailsAfter = 3;
        faults.listError = ERROR_NOT_READY;
        const plat::ScopedFileFaults guard(faults);
        plat::DirectoryReader reader;
        ASSERT_TRUE(reader.Open(dir.path()));
        plat::DirEntry entry;
        int read = 0;
        while (reader.Next(entry)) ++read;
        EXPECT_EQ(read, 3);
        EXPECT_TRUE(reader.Failed());
        EXPECT_EQ(reader.error(), ERROR_NOT_READY);
        EXPECT_EQ(GetLastError(), ERROR_NOT_READY);
    }
    // Gone with the guard.
    entries.clear();
    EXPECT_TRUE(plat::ListFolder(dir.path(), entries));
    EXPECT_EQ(entries.size(), 5u);
}

TEST(FolderListing, AccessDeniedReachesTheCaller) {
    TempDir dir;
    ASSERT_TRUE(plat::CreateFolder(dir.sub("private")));
    std::optional<plat::ScopedFileFaults> fault;
    if (PermissionsDenyAccess()) {
        chmod(dir.sub("private").c_str(), 0);
    } else {
        plat::FileFaults faults;
        faults.unlistableFolder = plat::FileFaults::SamePath(dir.sub("private"));
        fault.emplace(faults);
    }
    std::vector<plat::DirEntry> entries;
    EXPECT_FALSE(plat::ListFolder(dir.sub("private"), entries));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    chmod(dir.sub("private").c_str(), 0755);
}

TEST(Folders, CreateOneOrAWholePath) {
    TempDir dir;
    ASSERT_TRUE(plat::CreateFolder(dir.sub("one")));
    EXPECT_FALSE(plat::CreateFolder(dir.sub("one")));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(plat::CreateFolder(dir.sub("x/y")));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    EXPECT_TRUE(plat::CreateFolderWithParents(dir.sub("a/b/c")));
    EXPECT_TRUE(plat::IsFolderPath(dir.sub("a/b/c")));
    EXPECT_TRUE(plat::CreateFolderWithParents(dir.sub("a/b/c/")));
    EXPECT_TRUE(plat::CreateFolderWithParents(dir.sub("a//b/./d")));
    EXPECT_TRUE(plat::IsFolderPath(dir.sub("a/b/d")));

    WriteFileBytes(dir.sub("file"), "x");
    EXPECT_FALSE(plat::CreateFolderWithParents(dir.sub("file")));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(plat::CreateFolderWithParents(dir.sub("file/below/deeper")));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(plat::PathExists(dir.sub("file/below")));

    // A link to a folder on the way is a folder on the way.
    MakeLink(dir.sub("a"), dir.sub("link"));
    EXPECT_TRUE(plat::CreateFolderWithParents(dir.sub("link/e")));
    EXPECT_TRUE(plat::IsFolderPath(dir.sub("a/e")));

    EXPECT_FALSE(plat::CreateFolder(dir.sub(std::string(300, 'n'))));
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
}

TEST(Folders, RemoveOnlyWhenEmpty) {
    TempDir dir;
    WriteFileBytes(dir.sub("full/file"), "x");
    EXPECT_FALSE(plat::RemoveFolder(dir.sub("full")));
    EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
    EXPECT_FALSE(plat::DeleteFile(dir.sub("full")));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    ASSERT_TRUE(plat::DeleteFile(dir.sub("full/file")));
    EXPECT_TRUE(plat::RemoveFolder(dir.sub("full")));
    EXPECT_FALSE(plat::PathExists(dir.sub("full")));
    EXPECT_FALSE(plat::DeleteFile(dir.sub("full")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(DeleteTree, RemovesLinksButNeverWhatTheyPointAt) {
    TempDir outside;
    WriteFileBytes(outside.sub("keep/precious.txt"), "precious");
    WriteFileBytes(outside.sub("alone.txt"), "alone");

    TempDir dir;
    const std::string tree = dir.sub("tree");
    WriteFileBytes(tree + "/a/b/deep.txt", "deep");
    WriteFileBytes(tree + "/readonly.txt", "ro");
    chmod((tree + "/readonly.txt").c_str(), 0444);
    MakeLink(outside.sub("keep"), tree + "/a/to-outside-folder");
    MakeLink(outside.sub("alone.txt"), tree + "/a/b/to-outside-file");
    MakeLink("..", tree + "/a/b/loop");

    ASSERT_TRUE(plat::DeleteTree(tree)) << GetLastError();
    EXPECT_FALSE(plat::PathExists(tree));
    EXPECT_EQ(qbtest::ReadFileBytes(outside.sub("keep/precious.txt")), "precious");
    EXPECT_EQ(qbtest::ReadFileBytes(outside.sub("alone.txt")), "alone");

    // Given a link to a folder, only the link goes.
    MakeLink(outside.sub("keep"), dir.sub("link-root"));
    ASSERT_TRUE(plat::DeleteTree(dir.sub("link-root")));
    EXPECT_FALSE(plat::PathExists(dir.sub("link-root")));
    EXPECT_EQ(qbtest::ReadFileBytes(outside.sub("keep/precious.txt")), "precious");

    EXPECT_FALSE(plat::DeleteTree(dir.sub("missing")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(DeleteTree, GoesOnPastWhatItCannotDeleteAndReportsIt) {
    if (!PermissionsDenyAccess()) GTEST_SKIP() << "permission bits deny nothing to root";
    TempDir dir;
    WriteFileBytes(dir.sub("tree/stuck/file"), "x");
    WriteFileBytes(dir.sub("tree/free/file"), "x");
    chmod(dir.sub("tree/stuck").c_str(), 0555);
    EXPECT_FALSE(plat::DeleteTree(dir.sub("tree")));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(plat::PathExists(dir.sub("tree/free")));
    EXPECT_TRUE(plat::PathExists(dir.sub("tree/stuck/file")));
    chmod(dir.sub("tree/stuck").c_str(), 0755);
}

TEST(MoveFile, ReplacesOnlyWhenAskedAndNeverAReadOnlyFile) {
    TempDir dir;
    WriteFileBytes(dir.sub("from"), "new");
    WriteFileBytes(dir.sub("to"), "old");

    EXPECT_FALSE(plat::MoveFile(dir.sub("from"), dir.sub("to"), plat::MoveMode::NoReplace));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("from")), "new");
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("to")), "old");

    // A dangling link is something there too.
    MakeLink(dir.sub("nowhere"), dir.sub("dangling"));
    EXPECT_FALSE(plat::MoveFile(dir.sub("from"), dir.sub("dangling"), plat::MoveMode::NoReplace));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    chmod(dir.sub("to").c_str(), 0444);
    EXPECT_FALSE(plat::MoveFile(dir.sub("from"), dir.sub("to"), plat::MoveMode::ReplaceExisting));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("to")), "old");

    chmod(dir.sub("to").c_str(), 0644);
    ASSERT_TRUE(plat::MoveFile(dir.sub("from"), dir.sub("to"), plat::MoveMode::ReplaceExisting));
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("to")), "new");
    EXPECT_FALSE(plat::PathExists(dir.sub("from")));

    ASSERT_TRUE(plat::MoveFile(dir.sub("to"), dir.sub("moved"), plat::MoveMode::NoReplace));
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("moved")), "new");

    ASSERT_TRUE(plat::CreateFolder(dir.sub("folder")));
    EXPECT_FALSE(plat::MoveFile(dir.sub("moved"), dir.sub("folder"), plat::MoveMode::ReplaceExisting));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    EXPECT_FALSE(plat::MoveFile(dir.sub("missing"), dir.sub("x"), plat::MoveMode::NoReplace));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(plat::MoveFile(dir.sub("moved"), dir.sub("no/such/x"), plat::MoveMode::NoReplace));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

}  // namespace
