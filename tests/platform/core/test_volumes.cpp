#include "platform/core/volumes.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace {

using qbtest::TempDir;
using qbtest::WriteFileBytes;

const char* const kTable =
    "sysfs /sys sysfs rw,nosuid 0 0\n"
    "/dev/vda1 / ext4 rw,relatime 0 0\n"
    "/dev/sdb1 /media/ann/My\\040Stick vfat rw,nosuid 0 0\n"
    "//nas/photos\\040archive /mnt/photos cifs rw,vers=3.0 0 0\n"
    "nas:/export/home /mnt/home nfs4 rw 0 0\n"
    "ann@host:/srv /mnt/ssh fuse.sshfs rw 0 0\n"
    "tmpfs /mnt/photos/cache tmpfs rw 0 0\n"
    "\n"
    "broken-line-with-two fields\n"
    "/dev/sdc1 /mnt/stacked ext4 rw 0 0\n"
    "/dev/sdd1 /mnt/stacked xfs rw 0 0\n"
    "/dev/mapper/secret /mnt/secret ext4 rw 0 0\n"
    "odd\\134name /mnt/odd\\011tab\\012nl ext4 rw 0 0\n";

TEST(MountTable, ParsesFieldsAndEscapes) {
    const auto mounts = plat::ParseMountTable(kTable);
    ASSERT_EQ(mounts.size(), 11u);
    EXPECT_EQ(mounts[2].source, "/dev/sdb1");
    EXPECT_EQ(mounts[2].mountPoint, "/media/ann/My Stick");
    EXPECT_EQ(mounts[2].type, "vfat");
    EXPECT_EQ(mounts[2].options, "rw,nosuid");
    EXPECT_EQ(mounts[3].source, "//nas/photos archive");
    EXPECT_EQ(mounts[10].source, "odd\\name");
    EXPECT_EQ(mounts[10].mountPoint, "/mnt/odd\ttab\nnl");

    EXPECT_EQ(plat::UnescapeMountField("a\\040b"), "a b");
    EXPECT_EQ(plat::UnescapeMountField("\\"), "\\");
    EXPECT_EQ(plat::UnescapeMountField("x\\04"), "x\\04");      // too short to be an escape
    EXPECT_EQ(plat::UnescapeMountField("x\\089"), "x\\089");    // not octal
    EXPECT_EQ(plat::UnescapeMountField("x\\777y"), "x\\777y");  // not a byte
    EXPECT_EQ(plat::UnescapeMountField("\\101\\102"), "AB");

    EXPECT_TRUE(plat::ParseMountTable("").empty());
    EXPECT_TRUE(plat::ParseMountTable("a b\nc\n\n   \n").empty());
    EXPECT_TRUE(plat::ParseMountTable("dev relative ext4 rw 0 0\n").empty());
    const auto noNewline = plat::ParseMountTable("a /b c");
    ASSERT_EQ(noNewline.size(), 1u);
    EXPECT_EQ(noNewline[0].options, "");
}

TEST(MountTable, TheLongestMountPointHoldsAPath) {
    const auto mounts = plat::ParseMountTable(kTable);
    const auto pointOf = [&](const char* path) {
        const plat::MountEntry* m = plat::FindMountOf(mounts, path);
        return m ? m->mountPoint + " " + m->type : std::string("none");
    };
    EXPECT_EQ(pointOf("/home/ann"), "/ ext4");
    EXPECT_EQ(pointOf("/"), "/ ext4");
    EXPECT_EQ(pointOf("/media/ann/My Stick"), "/media/ann/My Stick vfat");
    EXPECT_EQ(pointOf("/media/ann/My Stick/DCIM/x.jpg"), "/media/ann/My Stick vfat");
    EXPECT_EQ(pointOf("/media/ann/My Sticks"), "/ ext4");
    EXPECT_EQ(pointOf("/mnt/photos/2020"), "/mnt/photos cifs");
    EXPECT_EQ(pointOf("/mnt/photos/cache/x"), "/mnt/photos/cache tmpfs");
    // The later of two mounts on one point is the one on top.
    EXPECT_EQ(pointOf("/mnt/stacked/a"), "/mnt/stacked xfs");
    EXPECT_EQ(pointOf("relative/path"), "none");
    EXPECT_EQ(plat::FindMountOf({}, "/x"), nullptr);
}

TEST(MountTable, NetworkFileSystems) {
    for (const char* type :
         {"nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs", "fuse.sshfs", "9p", "afs", "ceph", "glusterfs", "davfs"})
        EXPECT_TRUE(plat::IsNetworkFileSystem(type)) << type;
    for (const char* type : {"ext4", "vfat", "tmpfs", "fuse", "btrfs", "NFS", ""})
        EXPECT_FALSE(plat::IsNetworkFileSystem(type)) << type;
}

// A prepared system: a mount table, a label folder and a /sys tree.
class VolumeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(dir.sub("mounts"), kTable);
        sources.mountTable = dir.sub("mounts");
        sources.labelFolder = dir.sub("by-label");
        sources.sysFolder = dir.sub("sys");
        mkdir(sources.labelFolder.c_str(), 0755);
        Link("../../sdb1", "My\\x20Stick");
        Link("../../sdc1", "BACKUP");
        Link("../../sde1", "Not\\x2fMounted");
        Link("../../dm-0", "Secret");

        Removable("sda", "0");
        Part("sda", "sda1");
        Removable("sdb", "1");
        Part("sdb", "sdb1");
        Removable("sdc", "0");
        Part("sdc", "sdc1");
        Removable("dm-0", "0");
        Part("sdb", "sdb2");
        mkdir(dir.sub("sys/block/dm-0/slaves").c_str(), 0755);
        mkdir(dir.sub("sys/block/dm-0/slaves/sdb2").c_str(), 0755);
    }

    void Link(const std::string& target, const std::string& name) {
        ASSERT_EQ(symlink(target.c_str(), (sources.labelFolder + "/" + name).c_str()), 0);
    }
    void Removable(const std::string& disk, const std::string& value) {
        WriteFileBytes(dir.sub("sys/block/" + disk + "/removable"), value + "\n");
    }
    void Part(const std::string& disk, const std::string& part) {
        WriteFileBytes(dir.sub("sys/block/" + disk + "/" + part + "/partition"), "1\n");
    }

    TempDir dir;
    plat::VolumeSources sources;
};

TEST_F(VolumeFixture, LabelsAndWhereTheirVolumesAreMounted) {
    EXPECT_EQ(plat::DecodeLabelName("My\\x20Stick"), "My Stick");
    EXPECT_EQ(plat::DecodeLabelName("a\\x2Fb\\x5c"), "a/b\\");
    EXPECT_EQ(plat::DecodeLabelName("bad\\xZZ\\x2"), "bad\\xZZ\\x2");

    const auto volumes = plat::ListLabeledVolumes(sources);
    ASSERT_EQ(volumes.size(), 4u);
    EXPECT_EQ(volumes[0].label, "BACKUP");
    EXPECT_EQ(volumes[0].device, "sdc1");
    EXPECT_EQ(volumes[0].mountPoint, "/mnt/stacked");
    EXPECT_EQ(volumes[1].label, "My Stick");
    EXPECT_EQ(volumes[1].mountPoint, "/media/ann/My Stick");
    EXPECT_EQ(volumes[2].label, "Not/Mounted");
    EXPECT_EQ(volumes[2].mountPoint, "");

    EXPECT_EQ(plat::LabelOfPath("/media/ann/My Stick/DCIM", sources), "My Stick");
    EXPECT_EQ(plat::LabelOfPath("/home/ann", sources), "");

    plat::VolumeSources none = sources;
    none.labelFolder = dir.sub("no-such-folder");
    EXPECT_TRUE(plat::ListLabeledVolumes(none).empty());
}

TEST_F(VolumeFixture, RemovableDrivesThroughPartitionsAndMappings) {
    EXPECT_TRUE(plat::IsRemovableDevice("sdb", sources.sysFolder));
    EXPECT_TRUE(plat::IsRemovableDevice("sdb1", sources.sysFolder));
    EXPECT_FALSE(plat::IsRemovableDevice("sda1", sources.sysFolder));
    EXPECT_FALSE(plat::IsRemovableDevice("sdc1", sources.sysFolder));
    EXPECT_TRUE(plat::IsRemovableDevice("dm-0", sources.sysFolder));  // encrypted, on the stick
    EXPECT_FALSE(plat::IsRemovableDevice("nosuch", sources.sysFolder));
    EXPECT_FALSE(plat::IsRemovableDevice("", sources.sysFolder));
    EXPECT_FALSE(plat::IsRemovableDevice("../sdb", sources.sysFolder));
}

TEST(VolumeSpace, MatchesTheSystemAndAnswersForPathsNotYetMade) {
    TempDir dir;
    ULONGLONG total = 0, free = 0;
    ASSERT_TRUE(plat::GetVolumeSpace(dir.path(), &total, &free));
    struct statvfs vfs {};
    ASSERT_EQ(statvfs(dir.path().c_str(), &vfs), 0);
    EXPECT_EQ(total, static_cast<ULONGLONG>(vfs.f_blocks) * vfs.f_frsize);
    EXPECT_GT(total, 0u);
    EXPECT_LE(free, total);

    ULONGLONG total2 = 0;
    ASSERT_TRUE(plat::GetVolumeSpace(dir.sub("not/yet/made"), &total2, nullptr));
    EXPECT_EQ(total2, total);

    WriteFileBytes(dir.sub("file"), "x");
    EXPECT_FALSE(plat::GetVolumeSpace(dir.sub("file/below"), &total, &free));
}

}  // namespace
