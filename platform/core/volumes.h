#pragma once
// What the system says about volumes: the space of the one that holds a path, the mount
// that holds it, whether a block device's drive is removable, and volume labels. Each
// answer is read from the system's own files; the places to read are given by
// VolumeSources so that tests can point them at prepared copies. The questions the rest
// of the program asks of a folder (its free space, its share's name, whether it lies on
// a removable drive) are the engine's volume queries (engine/run/volume_queries.h), built
// on these.

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/mount_table.h"
#include "platform/core/win_types.h"

namespace plat {

struct VolumeSources {
    std::string mountTable = kMountTableFile;
    std::string labelFolder = "/dev/disk/by-label";  // one link per label, to the device
    std::string sysFolder = "/sys";                  // block devices under <sysFolder>/block
    std::string fstabFile = kFstabFile;              // the file systems meant to be mounted
};

// Total bytes and bytes free for this user on the volume holding `path` (either may be
// null). A path that does not exist yet is answered for the nearest folder above it.
bool GetVolumeSpace(const std::string& path, ULONGLONG* totalBytes, ULONGLONG* freeBytes);

// The mount holding `path`, after resolving links in the part of the path that exists.
bool GetMountOfPath(const std::string& path, MountEntry& mount, const VolumeSources& sources = {});

// The kernel's name of a mount's block device ("sdb1"), following links such as
// /dev/disk/by-uuid/...; "" for a source that is no device.
std::string DeviceNameOfSource(std::string_view source);

// True when the block device (a disk, one of its partitions, or a mapped device over
// one) belongs to a drive the kernel marks removable.
bool IsRemovableDevice(std::string_view device, const std::string& sysFolder = "/sys");

// A label as stored in the label folder's link names, where unsafe characters are
// written "\xHH" ("My\x20Stick").
std::string DecodeLabelName(std::string_view name);

struct LabeledVolume {
    std::string label;
    std::string device;      // kernel name, "sdb1"
    std::string mountPoint;  // "" when it is not mounted
};

// Every volume that has a label, in the label folder's order of names.
std::vector<LabeledVolume> ListLabeledVolumes(const std::vector<MountEntry>& mounts, const std::string& labelFolder);
std::vector<LabeledVolume> ListLabeledVolumes(const VolumeSources& sources = {});

// The label of the volume holding `path`; "" when it has none.
std::string LabelOfPath(const std::string& path, const VolumeSources& sources = {});

}  // namespace plat
