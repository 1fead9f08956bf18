#pragma once
// What the shadow-copy step hands its copy route: the waiting files cut into groups of
// consecutive files on one volume, and the two blocks of the helper library's `VSSCopy`.
//
// On this platform the volume of a file is the mount that holds it: its mount point
// ("/" for the root file system) stands where a drive letter and colon would, and the
// path below the volume is the rest of the path, from its first '/' on.
//
// Blocks (UTF-16LE text, little-endian u32 counts, sized from their contents):
//   drive list: each group's volume followed by a NUL, one after the other, then one more
//               NUL that ends the list;
//   file list:  for each group a u32 with its number of files, then for each of its files,
//               with no separator and no NUL: '"', the source path below its volume, '""',
//               the target path, '"'.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/volumes.h"

struct ShadowCopyFile {
    std::size_t index = 0;     // position in the run's shadow-copy lists
    std::wstring belowVolume;  // the source path below its volume, starting with '/'
};

struct ShadowCopyGroup {
    std::wstring volume;  // the mount point
    std::vector<ShadowCopyFile> files;
};

struct ShadowCopyGroups {
    std::vector<ShadowCopyGroup> groups;
    // False when grouping stopped at a file whose volume cannot be told (a path that is
    // not absolute, or one that no mount holds): that file and every later one are in no
    // group, and no copy route is given them.
    bool allGrouped = true;
};

// The waiting files in list order, cut into runs of consecutive files on the same volume.
// The mount table is read from `volumes`.
ShadowCopyGroups GroupShadowCopyFiles(std::span<const std::wstring> sources, const plat::VolumeSources& volumes = {});

struct ShadowCopyBlocks {
    std::vector<std::uint8_t> driveList;
    std::vector<std::uint8_t> fileList;
};

// The two blocks for the grouped files; `targets` is the run's list of target paths.
ShadowCopyBlocks BuildShadowCopyBlocks(const ShadowCopyGroups& grouped, std::span<const std::wstring> targets);
