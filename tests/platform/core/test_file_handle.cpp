#include "platform/core/file_handle.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/errors.h"
#include "platform/core/file_faults.h"
#include "platform/core/file_info.h"
#include "platform/core/file_ops.h"
#include "platform/core/folder_handle.h"
#include "support/temp_dir.h"

namespace {

using plat::FileHandle;
using plat::FileOpenMode;
using qbtest::ReadFileBytes;
using qbtest::TempDir;
using qbtest::WriteFileBytes;

TEST(FileHandle, WritesReadsSeeksAndSizes) {
    TempDir dir;
    const std::string path = dir.sub("data");
    {
        FileHandle out;
        ASSERT_TRUE(out.Open(path, FileOpenMode::CreateNew));
        std::size_t written = 0;
        ASSERT_TRUE(out.Write("hello, world", 12, &written));
        EXPECT_EQ(written, 12u);
        ULONGLONG size = 0;
        ASSERT_TRUE(out.GetSize(size));
        EXPECT_EQ(size, 12u);
        ASSERT_TRUE(out.Flush());
        EXPECT_TRUE(out.Close());
        EXPECT_FALSE(out.IsOpen());
    }
    FileHandle in;
    ASSERT_TRUE(in.Open(path, FileOpenMode::Read));
    char buf[32] = {};
    std::size_t got = 0;
    ULONGLONG pos = 0;
    ASSERT_TRUE(in.Seek(7, plat::SeekOrigin::Begin, &pos));
    EXPECT_EQ(pos, 7u);
    ASSERT_TRUE(in.Read(buf, sizeof buf, got));
    EXPECT_EQ(std::string(buf, got), "world");
    ASSERT_TRUE(in.Read(buf, sizeof buf, got));
    EXPECT_EQ(got, 0u);  // end of file is success with nothing read
    ASSERT_TRUE(in.Seek(-5, plat::SeekOrigin::End, &pos));
    EXPECT_EQ(pos, 7u);

    EXPECT_FALSE(in.Write("x", 1));  // opened for reading
    in.Close();
    EXPECT_FALSE(in.Read(buf, 1, got));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(FileHandle, OpenModesAndTheirRefusals) {
    TempDir dir;
    const std::string path = dir.sub("f");
    WriteFileBytes(path, "original");

    FileHandle h;
    EXPECT_FALSE(h.Open(path, FileOpenMode::CreateNew));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(ReadFileBytes(path), "original");

    ASSERT_TRUE(h.Open(path, FileOpenMode::OpenExistingForWrite));
    ASSERT_TRUE(h.Write("O", 1));
    h.Close();
    EXPECT_EQ(ReadFileBytes(path), "Original");

    ASSERT_TRUE(h.Open(path, FileOpenMode::CreateOrTruncate));
    ASSERT_TRUE(h.Write("new", 3));
    ASSERT_TRUE(h.Close());
    EXPECT_EQ(ReadFileBytes(path), "new");

    EXPECT_FALSE(h.Open(dir.sub("missing"), FileOpenMode::OpenExistingForWrite));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(h.Open(dir.sub("missing/f"), FileOpenMode::CreateOrTruncate));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(h.Open(dir.sub(std::string(300, 'x')), FileOpenMode::CreateNew));
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);

    // A read-only file is never written or emptied, whoever runs the test.
    chmod(path.c_str(), 0444);
    EXPECT_FALSE(h.Open(path, FileOpenMode::CreateOrTruncate));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(h.Open(path, FileOpenMode::OpenExistingForWrite));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReadFileBytes(path), "new");
    EXPECT_TRUE(h.Open(path, FileOpenMode::Read));

    // Folders and pipes are not files; a pipe with no writer must not block the open.
    EXPECT_FALSE(h.Open(dir.path(), FileOpenMode::Read));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    ASSERT_EQ(mkfifo(dir.sub("pipe").c_str(), 0644), 0);
    EXPECT_FALSE(h.Open(dir.sub("pipe"), FileOpenMode::Read));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    ASSERT_EQ(symlink(path.c_str(), dir.sub("link").c_str()), 0);
    EXPECT_TRUE(h.Open(dir.sub("link"), FileOpenMode::Read));
    EXPECT_FALSE(h.Open(dir.sub("link"), FileOpenMode::Read, FileHandle::kNoFollow));
    EXPECT_FALSE(h.IsOpen());
}

TEST(FileHandle, SetsTimesSizeAndPermissions) {
    TempDir dir;
    const std::string path = dir.sub("f");
    FileHandle h;
    ASSERT_TRUE(h.Open(path, FileOpenMode::CreateNew));
    ASSERT_TRUE(h.Write("0123456789", 10));
    ASSERT_TRUE(h.SetSize(4));
    const FILETIME write = U64ToFileTime(130000000000000001ULL);
    ASSERT_TRUE(h.SetTimes(nullptr, nullptr, &write));
    ASSERT_TRUE(h.SetPermissionBits(0640));
    ASSERT_TRUE(h.Close());

    plat::FileInfo info;
    ASSERT_TRUE(plat::GetFileInfo(path, info));
    EXPECT_EQ(info.size, 4u);
    EXPECT_EQ(FileTimeToU64(info.lastWriteTime), 130000000000000001ULL);
    EXPECT_EQ(info.mode, 0640u);
}

TEST(FileHandle, DiskFullHookStopsWritesAfterTheGivenBytes) {
    TempDir dir;
    plat::FileFaults faults;
    faults.diskFullPath = [](const std::string& p) { return p.find("/target") != std::string::npos; };
    faults.diskFullAfterBytes = 10;
    const plat::ScopedFileFaults guard(faults);

    FileHandle other;
    ASSERT_TRUE(other.Open(dir.sub("other"), FileOpenMode::CreateNew));
    EXPECT_TRUE(other.Write(std::string(100, 'o').data(), 100));

    FileHandle h;
    ASSERT_TRUE(h.Open(dir.sub("target"), FileOpenMode::CreateNew));
    std::size_t written = 0;
    ASSERT_TRUE(h.Write("123456", 6, &written));
    EXPECT_FALSE(h.Write("789abc", 6, &written));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(written, 4u);
    EXPECT_FALSE(h.Write("x", 1, &written));
    EXPECT_EQ(written, 0u);
    h.Close();
    EXPECT_EQ(ReadFileBytes(dir.sub("target")), "123456789a");

    // The disk stays full for every matching file.
    FileHandle second;
    ASSERT_TRUE(second.Open(dir.sub("target2"), FileOpenMode::CreateNew));
    EXPECT_FALSE(second.Write("y", 1));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
}

TEST(FileHandle, LockedFileHookRefusesReadingOnly) {
    TempDir dir;
    WriteFileBytes(dir.sub("held"), "x");
    {
        plat::FileFaults faults;
        faults.lockedFile = plat::FileFaults::SamePath(dir.sub("held"));
        const plat::ScopedFileFaults guard(faults);
        FileHandle h;
        EXPECT_FALSE(h.Open(dir.sub("./held"), FileOpenMode::Read));
        EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    }
    {
        plat::FileFaults faults;
        faults.lockedFile = plat::FileFaults::SamePath(dir.sub("held"));
        faults.lockedError = ERROR_LOCK_VIOLATION;
        const plat::ScopedFileFaults guard(faults);
        FileHandle h;
        EXPECT_FALSE(h.Open(dir.sub("held"), FileOpenMode::Read));
        EXPECT_EQ(GetLastError(), ERROR_LOCK_VIOLATION);
    }
    FileHandle h;
    EXPECT_TRUE(h.Open(dir.sub("held"), FileOpenMode::Read));
}

TEST(FileHandle, MovesKeepOneOwner) {
    TempDir dir;
    FileHandle a;
    ASSERT_TRUE(a.Open(dir.sub("f"), FileOpenMode::CreateNew));
    FileHandle b = std::move(a);
    EXPECT_FALSE(a.IsOpen());
    EXPECT_TRUE(b.IsOpen());
    EXPECT_EQ(b.path(), dir.sub("f"));
    ASSERT_TRUE(b.Write("z", 1));
    a = std::move(b);
    EXPECT_TRUE(a.IsOpen());
    EXPECT_TRUE(a.Close());
    EXPECT_EQ(ReadFileBytes(dir.sub("f")), "z");
}

}  // namespace

namespace {

TEST(FileHandleCopy, CopiesInTheKernelOrThroughMemoryAndStopsAtTheEnd) {
    qbtest::TempDir dir;
    std::string data(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 + 7);
    qbtest::WriteFileBytes(dir.sub("src"), data);

    plat::FileHandle in, out;
    ASSERT_TRUE(in.Open(dir.sub("src"), plat::FileOpenMode::Read));
    ASSERT_TRUE(out.Open(dir.sub("dst"), plat::FileOpenMode::CreateNew));
    std::size_t copied = 0;
    ASSERT_TRUE(out.CopyDataFrom(in, 1024 * 1024, copied));
    EXPECT_EQ(copied, 1024u * 1024u);
    ASSERT_TRUE(out.CopyDataFrom(in, 8 * 1024 * 1024, copied));
    EXPECT_EQ(copied, data.size() - 1024 * 1024);  // the source ended
    ASSERT_TRUE(out.CopyDataFrom(in, 10, copied));
    EXPECT_EQ(copied, 0u);
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("dst")), data);
}

TEST(FileHandleCopy, AFullDiskStopsTheCopyWithDiskFull) {
    qbtest::TempDir dir;
    qbtest::WriteFileBytes(dir.sub("src"), std::string(600 * 1024, 'x'));
    plat::FileFaults faults;
    faults.diskFullPath = plat::FileFaults::SamePath(dir.sub("dst"));
    faults.diskFullAfterBytes = 300 * 1024;
    plat::ScopedFileFaults guard(faults);

    plat::FileHandle in, out;
    ASSERT_TRUE(in.Open(dir.sub("src"), plat::FileOpenMode::Read));
    ASSERT_TRUE(out.Open(dir.sub("dst"), plat::FileOpenMode::CreateNew));
    std::size_t copied = 0;
    EXPECT_FALSE(out.CopyDataFrom(in, 600 * 1024, copied));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(copied, 300u * 1024u);
}

}  // namespace

namespace {

TEST(FileHandleInfo, TheOpenFilesOwnFactsAndQuickProbes) {
    qbtest::TempDir dir;
    qbtest::WriteFileBytes(dir.sub("f"), "12345");
    plat::FileHandle in;
    ASSERT_TRUE(in.Open(dir.sub("f"), plat::FileOpenMode::Read));
    // The handle keeps telling about the file it opened, even after its name is reused.
    ASSERT_EQ(std::rename(dir.sub("f").c_str(), dir.sub("g").c_str()), 0);
    qbtest::WriteFileBytes(dir.sub("f"), "1");
    plat::FileInfo info;
    ASSERT_TRUE(in.GetInfo(info));
    EXPECT_TRUE(info.IsFile());
    EXPECT_EQ(info.size, 5u);

    EXPECT_TRUE(plat::LookUpFileInfo(dir.sub("f"), info));
    EXPECT_EQ(info.size, 1u);
    EXPECT_FALSE(plat::LookUpFileInfo(dir.sub("none/at/all"), info));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(MoveFileErrors, AMissingSourceIsNamedAsSuch) {
    qbtest::TempDir dir;
    EXPECT_FALSE(plat::MoveFile(dir.sub("missing"), dir.sub("to"), plat::MoveMode::NoReplace));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(plat::MoveFile(dir.sub("missing"), dir.sub("to"), plat::MoveMode::ReplaceExisting));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    qbtest::WriteFileBytes(dir.sub("from"), "x");
    EXPECT_FALSE(plat::MoveFile(dir.sub("from"), dir.sub("no/folder/to"), plat::MoveMode::NoReplace));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

// A folder opened below a root refuses a link or a file on the way, as a copy into it
// must; calls by name in it act on its entries and report as the calls by path do.
TEST(FolderHandle, OpensOnlyRealFoldersBelowItsRootAndWorksByName) {
    TempDir dir;
    ASSERT_TRUE(plat::CreateFolderWithParents(dir.sub("root/a/b")));
    WriteFileBytes(dir.sub("root/file"), "x");
    ASSERT_EQ(symlink(dir.sub("root/a").c_str(), dir.sub("root/link").c_str()), 0);
    plat::FolderHandle root;
    ASSERT_TRUE(root.Open(dir.sub("root")));

    plat::FolderHandle folder;
    ASSERT_TRUE(folder.OpenBelow(root, "a/b"));
    EXPECT_EQ(folder.path(), dir.sub("root/a/b"));
    EXPECT_FALSE(folder.OpenBelow(root, "link/b"));
    EXPECT_EQ(folder.OpenError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(folder.OpenBelow(root, "file/b"));
    EXPECT_EQ(folder.OpenError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(folder.OpenBelow(root, "a/missing"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(folder.IsOpen());

    ASSERT_TRUE(folder.OpenBelow(root, "a"));
    FileHandle file;
    plat::FileInfo opened;
    ASSERT_TRUE(file.OpenIn(folder, "new", FileOpenMode::CreateNew, FileHandle::kNoFollow));
    ASSERT_TRUE(file.Write("data", 4));
    ASSERT_TRUE(file.Close());
    ASSERT_TRUE(file.OpenIn(folder, "new", FileOpenMode::Read, FileHandle::kNoFollow, &opened));
    EXPECT_EQ(opened.size, 4u);
    EXPECT_FALSE(file.OpenIn(folder, "b/x", FileOpenMode::Read));  // one name, never a path
    EXPECT_FALSE(file.OpenIn(root, "link", FileOpenMode::Read, FileHandle::kNoFollow));

    WriteFileBytes(dir.sub("root/a/other"), "other");
    EXPECT_FALSE(folder.Move("new", "other", plat::MoveMode::NoReplace));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_EQ(chmod(dir.sub("root/a/other").c_str(), 0444), 0);
    EXPECT_FALSE(folder.Move("new", "other", plat::MoveMode::ReplaceExisting));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(folder.Move("gone", "there", plat::MoveMode::NoReplace));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(folder.Move("new", "moved", plat::MoveMode::NoReplace));
    EXPECT_EQ(ReadFileBytes(dir.sub("root/a/moved")), "data");
    plat::FileInfo info;
    EXPECT_TRUE(folder.LookUp("moved", info));
    ASSERT_TRUE(folder.Delete("moved"));
    EXPECT_FALSE(folder.LookUp("moved", info));
}

}  // namespace
