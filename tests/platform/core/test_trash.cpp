#include "platform/core/trash.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/errors.h"
#include "platform/core/file_info.h"
#include "platform/core/file_ops.h"
#include "platform/core/paths.h"
#include "support/scoped_env.h"
#include "support/scoped_time_zone.h"
#include "support/temp_dir.h"

namespace {

using qbtest::ReadFileBytes;
using qbtest::TempDir;
using qbtest::WriteFileBytes;

// "YYYY-MM-DDThh:mm:ss"
bool IsDeletionDate(std::string_view text) {
    const std::string_view shape = "dddd-dd-ddTdd:dd:dd";
    if (text.size() != shape.size()) return false;
    for (size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == 'd' ? !(text[i] >= '0' && text[i] <= '9') : text[i] != shape[i]) return false;
    }
    return true;
}

// Points the home trash into a temporary folder for the test's lifetime.
class HomeTrash : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(plat::CreateFolderWithParents(work)); }

    std::string Info(const std::string& name) { return ReadFileBytes(trash + "/info/" + name + ".trashinfo"); }

    TempDir dir;
    const std::string root = plat::CanonicalPath(dir.path(), true);
    const qbtest::ScopedEnv dataHome{"XDG_DATA_HOME", root + "/data"};
    const std::string trash = root + "/data/Trash";
    const std::string work = root + "/work";
};

TEST(TrashInfo, TextLayout) {
    {
        const qbtest::ScopedTimeZone utc("UTC");
        EXPECT_EQ(plat::TrashInfoText("/home/ann/a b/r\xC3\xA9sum\xC3\xA9 100%.txt", 1700000000),
                  "[Trash Info]\n"
                  "Path=/home/ann/a%20b/r%C3%A9sum%C3%A9%20100%25.txt\n"
                  "DeletionDate=2023-11-14T22:13:20\n");
    }

    EXPECT_EQ(plat::EncodeTrashPath("Az09-_.~/"), "Az09-_.~/");
    EXPECT_EQ(plat::EncodeTrashPath("#?&=+\n\xff"), "%23%3F%26%3D%2B%0A%FF");
    EXPECT_EQ(plat::EncodeTrashPath("rel/x"), "rel/x");
}

TEST_F(HomeTrash, FolderComesFromXdgDataHome) {
    EXPECT_EQ(plat::HomeTrashFolder(), trash);
    setenv("XDG_DATA_HOME", "relative/data", 1);
    const char* home = std::getenv("HOME");
    if (home && *home == '/') {
        EXPECT_EQ(plat::HomeTrashFolder(), plat::JoinPath(home, ".local/share/Trash"));
    }
}

TEST_F(HomeTrash, MovesAFileAndRecordsWhereItCameFrom) {
    WriteFileBytes(work + "/my notes.txt", "keep me");
    std::string trashedAs;
    ASSERT_TRUE(plat::MoveToTrash(work + "/./my notes.txt", &trashedAs)) << GetLastError();
    EXPECT_EQ(trashedAs, trash + "/files/my notes.txt");
    EXPECT_FALSE(plat::PathExists(work + "/my notes.txt"));
    EXPECT_EQ(ReadFileBytes(trashedAs), "keep me");

    const std::string info = Info("my notes.txt");
    const std::string head = "[Trash Info]\nPath=" + plat::EncodeTrashPath(work) + "/my%20notes.txt\nDeletionDate=";
    ASSERT_EQ(info.substr(0, head.size()), head);
    ASSERT_EQ(info.back(), '\n');
    EXPECT_TRUE(IsDeletionDate(std::string_view(info).substr(head.size(), info.size() - head.size() - 1))) << info;

    struct stat st {};
    ASSERT_EQ(stat(trash.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(HomeTrash, SameNamesGetTheirOwnPlaces) {
    WriteFileBytes(work + "/a/report.txt", "first");
    WriteFileBytes(work + "/b/report.txt", "second");
    WriteFileBytes(work + "/c/report.txt", "third");
    WriteFileBytes(work + "/d/report.txt", "fourth");
    ASSERT_TRUE(plat::MoveToTrash(work + "/a/report.txt"));
    ASSERT_TRUE(plat::MoveToTrash(work + "/b/report.txt"));
    // A name taken only by a stray info file, or only by a stray item, is passed over.
    WriteFileBytes(trash + "/info/report.3.txt.trashinfo", "stray");
    WriteFileBytes(trash + "/files/report.4.txt", "stray item");
    ASSERT_TRUE(plat::MoveToTrash(work + "/c/report.txt"));
    std::string trashedAs;
    ASSERT_TRUE(plat::MoveToTrash(work + "/d/report.txt", &trashedAs));

    EXPECT_EQ(ReadFileBytes(trash + "/files/report.txt"), "first");
    EXPECT_EQ(ReadFileBytes(trash + "/files/report.2.txt"), "second");
    EXPECT_EQ(ReadFileBytes(trash + "/files/report.5.txt"), "third");
    EXPECT_EQ(ReadFileBytes(trash + "/files/report.6.txt"), "fourth");
    EXPECT_EQ(trashedAs, trash + "/files/report.6.txt");
    EXPECT_NE(Info("report.2.txt").find("Path=" + plat::EncodeTrashPath(work) + "/b/report.txt\n"), std::string::npos);
    EXPECT_EQ(Info("report.3.txt"), "stray");
    EXPECT_EQ(ReadFileBytes(trash + "/files/report.4.txt"), "stray item");
    EXPECT_FALSE(plat::PathExists(trash + "/info/report.4.txt.trashinfo"));
    EXPECT_NE(Info("report.6.txt").find("/d/report.txt\n"), std::string::npos);

    // Names without an extension, and hidden names, are numbered at the end.
    WriteFileBytes(work + "/e/.profile", "1");
    WriteFileBytes(work + "/f/.profile", "2");
    ASSERT_TRUE(plat::MoveToTrash(work + "/e/.profile"));
    ASSERT_TRUE(plat::MoveToTrash(work + "/f/.profile"));
    EXPECT_EQ(ReadFileBytes(trash + "/files/.profile.2"), "2");
}

TEST_F(HomeTrash, FoldersAndLinksMoveWhole) {
    TempDir outside;
    WriteFileBytes(outside.sub("target.txt"), "outside");
    WriteFileBytes(work + "/tree/sub/deep.txt", "deep");
    ASSERT_EQ(symlink(outside.sub("target.txt").c_str(), (work + "/link").c_str()), 0);

    ASSERT_TRUE(plat::MoveToTrash(work + "/tree/"));
    EXPECT_EQ(ReadFileBytes(trash + "/files/tree/sub/deep.txt"), "deep");
    ASSERT_TRUE(plat::MoveToTrash(work + "/link"));
    plat::FileInfo info;
    ASSERT_TRUE(plat::GetFileInfo(trash + "/files/link", info));
    EXPECT_TRUE(info.IsSymbolicLink());
    EXPECT_EQ(ReadFileBytes(outside.sub("target.txt")), "outside");
}

TEST_F(HomeTrash, LongNamesAreShortenedInTheTrashOnly) {
    const std::string name = std::string(240, 'n') + ".data";
    WriteFileBytes(work + "/" + name, "long");
    std::string trashedAs;
    ASSERT_TRUE(plat::MoveToTrash(work + "/" + name, &trashedAs)) << GetLastError();
    const std::string trashedName = plat::FileNamePart(trashedAs);
    EXPECT_LE(trashedName.size() + 10, 255u);
    EXPECT_EQ(trashedName.substr(trashedName.size() - 5), ".data");
    EXPECT_NE(Info(trashedName).find("/" + name + "\n"), std::string::npos);
}

TEST_F(HomeTrash, ImpossibleTrashLeavesTheItemInPlace) {
    WriteFileBytes(work + "/precious.txt", "precious");
    // The trash cannot be made: a file sits where its folder belongs.
    WriteFileBytes(trash, "not a folder");
    EXPECT_FALSE(plat::MoveToTrash(work + "/precious.txt"));
    EXPECT_EQ(ReadFileBytes(work + "/precious.txt"), "precious");

    EXPECT_FALSE(plat::MoveToTrash(work + "/missing.txt"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(plat::MoveToTrash(work + "/no/such/file"));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(plat::MoveToTrash("/"));
}

TEST_F(HomeTrash, AFolderCannotGoIntoTheTrashInsideIt) {
    ASSERT_TRUE(plat::CreateFolderWithParents(trash + "/files"));
    const std::string data = plat::ParentPath(trash);
    EXPECT_FALSE(plat::MoveToTrash(data));
    EXPECT_TRUE(plat::IsFolderPath(trash + "/files"));
    EXPECT_TRUE(plat::IsFolderPath(trash + "/info"));
    EXPECT_EQ(ReadFileBytes(trash + "/info/data.trashinfo"), "");
    EXPECT_FALSE(plat::PathExists(trash + "/info/data.trashinfo"));
}

TEST(TopDirTrash, SharedStickyFolderOrAPrivateOne) {
    TempDir top;
    const uid_t uid = getuid();
    const std::string id = std::to_string(uid);

    // No shared trash: a private one is made, readable by its owner only.
    EXPECT_EQ(plat::TopDirTrashFolder(top.path(), uid), top.sub(".Trash-" + id));
    struct stat st {};
    ASSERT_EQ(lstat(top.sub(".Trash-" + id).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A shared folder without the sticky bit is not trusted.
    ASSERT_EQ(mkdir(top.sub(".Trash").c_str(), 0777), 0);
    chmod(top.sub(".Trash").c_str(), 0777);
    EXPECT_EQ(plat::TopDirTrashFolder(top.path(), uid), top.sub(".Trash-" + id));
    chmod(top.sub(".Trash").c_str(), 01777);
    EXPECT_EQ(plat::TopDirTrashFolder(top.path(), uid), top.sub(".Trash/" + id));

    // Nor is a link that poses as the shared folder, or as the private one.
    TempDir other;
    chmod(other.path().c_str(), 01777);
    TempDir top2;
    ASSERT_EQ(symlink(other.path().c_str(), top2.sub(".Trash").c_str()), 0);
    EXPECT_EQ(plat::TopDirTrashFolder(top2.path(), uid), top2.sub(".Trash-" + id));
    EXPECT_FALSE(plat::PathExists(other.sub(id)));

    TempDir top3;
    ASSERT_EQ(symlink(other.path().c_str(), top3.sub(".Trash-" + id).c_str()), 0);
    EXPECT_EQ(plat::TopDirTrashFolder(top3.path(), uid), "");
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    // One that belongs to someone else is not ours.
    TempDir top4;
    const std::string otherId = std::to_string(uid + 1);
    ASSERT_EQ(mkdir(top4.sub(".Trash-" + otherId).c_str(), 0700), 0);
    EXPECT_EQ(plat::TopDirTrashFolder(top4.path(), uid + 1), "");
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

// A file on another file system than the home trash goes to that file system's own
// trash. /dev/shm is a separate file system on most machines; skipped elsewhere.
TEST_F(HomeTrash, OtherFileSystemUsesItsTopFolderTrash) {
    struct stat shm {};
    struct stat home {};
    if (stat("/dev/shm", &shm) != 0 || stat(work.c_str(), &home) != 0 || shm.st_dev == home.st_dev ||
        access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no separate writable file system at /dev/shm";

    char pattern[] = "/dev/shm/qbtest-trash-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    const std::string own = "/dev/shm/.Trash-" + std::to_string(getuid());
    const bool hadOwn = plat::PathExists(own);
    const std::string shared = "/dev/shm/.Trash/" + std::to_string(getuid());

    WriteFileBytes(folder + "/on shm.txt", "shm");
    std::string trashedAs;
    const bool moved = plat::MoveToTrash(folder + "/on shm.txt", &trashedAs);
    const std::string trashFolder = plat::ParentPath(plat::ParentPath(trashedAs));
    const std::string name = plat::FileNamePart(trashedAs);
    const std::string info = ReadFileBytes(trashFolder + "/info/" + name + ".trashinfo");

    unlink(trashedAs.c_str());
    unlink((trashFolder + "/info/" + name + ".trashinfo").c_str());
    if (!hadOwn && trashFolder == own) plat::DeleteTree(own);
    plat::DeleteTree(folder);

    ASSERT_TRUE(moved) << GetLastError();
    EXPECT_TRUE(trashFolder == own || trashFolder == shared) << trashFolder;
    EXPECT_NE(info.find("\nPath=" + folder.substr(std::string("/dev/shm/").size()) + "/on%20shm.txt\n"),
              std::string::npos)
        << info;
}

}  // namespace
