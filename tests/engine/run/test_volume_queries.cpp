#include "engine/run/volume_queries.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "platform/core/text.h"
#include "support/temp_dir.h"

namespace {

using qbtest::TempDir;
using qbtest::WriteFileBytes;

TEST(GetFreeDiskSpace, AnswersForARealFolder) {
    TempDir dir;
    const std::wstring folder = plat::Utf8ToWide(dir.path());
    ULONGLONG total = 0;
    ULONGLONG free = 0;
    ASSERT_EQ(GetFreeDiskSpace(folder, &total, &free), 1);
    struct statvfs vfs {};
    ASSERT_EQ(statvfs(dir.path().c_str(), &vfs), 0);
    EXPECT_GT(total, 0u);
    EXPECT_EQ(total, static_cast<ULONGLONG>(vfs.f_blocks) * vfs.f_frsize);
    EXPECT_LE(free, total);

    // Either output may be left out; a folder not made yet is answered for its volume.
    ULONGLONG onlyTotal = 0;
    EXPECT_EQ(GetFreeDiskSpace(folder + L"/not/made/yet", &onlyTotal, nullptr), 1);
    EXPECT_EQ(onlyTotal, total);
    ULONGLONG onlyFree = 0;
    EXPECT_EQ(GetFreeDiskSpace(folder, nullptr, &onlyFree), 1);
    EXPECT_GT(onlyFree, 0u);
    EXPECT_EQ(GetFreeDiskSpace(folder, nullptr, nullptr), 1);

    // A name that is not UTF-8 reaches the same folder.
    const std::string oddName = dir.sub("caf\xe9");
    ASSERT_EQ(mkdir(oddName.c_str(), 0755), 0);
    EXPECT_EQ(GetFreeDiskSpace(plat::Utf8ToWide(oddName), &onlyTotal, nullptr), 1);
    EXPECT_EQ(onlyTotal, total);
}

TEST(GetFreeDiskSpace, FailuresLeaveTheOutputsAlone) {
    TempDir dir;
    WriteFileBytes(dir.sub("file"), "x");
    for (const std::wstring& path : {std::wstring(), std::wstring(L"relative/folder"), std::wstring(L"E:"),
                                     plat::Utf8ToWide(dir.sub("file/below"))}) {
        ULONGLONG total = 7;
        ULONGLONG free = 9;
        EXPECT_EQ(GetFreeDiskSpace(path, &total, &free), 0) << plat::WideToUtf8(path);
        EXPECT_EQ(total, 7u);
        EXPECT_EQ(free, 9u);
    }
}

// A prepared system: a mount table with local, removable and network mounts, and the
// block devices' folder that says which drives are removable.
class VolumeQueryFixture : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(dir.sub("mounts"),
                       "/dev/vda1 / ext4 rw 0 0\n"
                       "/dev/sdb1 /media/ann/My\\040Stick vfat rw 0 0\n"
                       "//nas/photos /mnt/photos cifs rw 0 0\n"
                       "nas:/export/caf\xe9 /mnt/caf\xe9 nfs4 rw 0 0\n"
                       "ann@host:/srv /mnt/ssh fuse.sshfs rw 0 0\n"
                       "tmpfs /mnt/photos/cache tmpfs rw 0 0\n");
        WriteFileBytes(dir.sub("sys/block/vda/removable"), "0\n");
        WriteFileBytes(dir.sub("sys/block/vda/vda1/partition"), "1\n");
        WriteFileBytes(dir.sub("sys/block/sdb/removable"), "1\n");
        WriteFileBytes(dir.sub("sys/block/sdb/sdb1/partition"), "1\n");
        sources.mountTable = dir.sub("mounts");
        sources.labelFolder = dir.sub("by-label");
        sources.sysFolder = dir.sub("sys");
    }

    TempDir dir;
    plat::VolumeSources sources;
};

TEST_F(VolumeQueryFixture, NetworkNamesOfShares) {
    EXPECT_EQ(ResolveNetworkPath(L"/mnt/photos/2020/a.jpg", sources), L"//nas/photos");
    EXPECT_EQ(ResolveNetworkPath(L"/mnt/photos", sources), L"//nas/photos");
    EXPECT_EQ(ResolveNetworkPath(L"/mnt/ssh/x", sources), L"ann@host:/srv");
    EXPECT_EQ(ResolveNetworkPath(L"/mnt/ssh/../photos", sources), L"//nas/photos");
    EXPECT_EQ(ResolveNetworkPath(plat::Utf8ToWide("/mnt/caf\xe9/docs"), sources),
              plat::Utf8ToWide("nas:/export/caf\xe9"));

    // Local paths, a local mount inside a share, and paths that name no volume.
    for (const wchar_t* path :
         {L"/home/ann", L"/", L"/mnt/photos/cache/x", L"/media/ann/My Stick", L"", L"mnt/photos", L"\\\\nas\\photos"}) {
        EXPECT_EQ(ResolveNetworkPath(path, sources), kNoNetworkName) << plat::WideToUtf8(path);
    }

    plat::VolumeSources unreadable = sources;
    unreadable.mountTable = dir.sub("no-such-table");
    EXPECT_EQ(ResolveNetworkPath(L"/mnt/photos", unreadable), kNoNetworkName);
}

TEST_F(VolumeQueryFixture, RemovableDrives) {
    EXPECT_TRUE(IsRemovableDrive(L"/media/ann/My Stick", sources));
    EXPECT_TRUE(IsRemovableDrive(L"/media/ann/My Stick/Photos/2024", sources));
    EXPECT_FALSE(IsRemovableDrive(L"/media/ann", sources));
    EXPECT_FALSE(IsRemovableDrive(L"/home/ann", sources));
    EXPECT_FALSE(IsRemovableDrive(L"/mnt/photos/x", sources));
    for (const wchar_t* path : {L"", L"E", L"E:", L"E:\\Photos", L"media/ann/My Stick"})
        EXPECT_FALSE(IsRemovableDrive(path, sources)) << plat::WideToUtf8(path);
}

TEST(CommonPrefixLength, LeadingCharactersInCommon) {
    EXPECT_EQ(CommonPrefixLength(L"/data/photos", L"/data/photos"), 12u);
    EXPECT_EQ(CommonPrefixLength(L"/data/photos", L"/data/music"), 6u);
    EXPECT_EQ(CommonPrefixLength(L"/data", L"/data/music"), 5u);
    EXPECT_EQ(CommonPrefixLength(L"/data/music", L"/data"), 5u);
    EXPECT_EQ(CommonPrefixLength(L"", L"x"), 0u);
    EXPECT_EQ(CommonPrefixLength(L"", L""), 0u);
    EXPECT_EQ(CommonPrefixLength(L"Abc", L"abc"), 0u);
}

}  // namespace
