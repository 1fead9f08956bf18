#pragma once
// What the engine and the windows ask about the volume that holds a folder: its space,
// the network name of a share, whether it lies on a removable drive.
//
// On this platform the volume of a path is the mount that holds it: the root "/" stands
// where a drive letter would, and a network path is one whose mount is a network file
// system (NFS, SMB, SSHFS...), whatever its text. Only absolute paths name a volume.
// The mount table and device folders are read through `sources`, so tests can give
// prepared copies.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/core/volumes.h"
#include "platform/core/win_types.h"

// What ResolveNetworkPath answers for a local path, or when the system cannot tell: the
// root, which is what a local path shows as its drive.
inline constexpr std::wstring_view kNoNetworkName = L"/";

// Total bytes of the volume and bytes free for this user (either may be null). A folder
// not made yet is answered for the nearest folder above it. Returns 1, or 0 with both
// outputs untouched when the path is not absolute or the system cannot answer.
int GetFreeDiskSpace(std::wstring_view path, ULONGLONG* total, ULONGLONG* free);

// The share that holds `path` ("//server/share", "host:/export"), or kNoNetworkName.
std::wstring ResolveNetworkPath(std::wstring_view path, const plat::VolumeSources& sources = {});

// True when the drive of the volume holding `path` is removable (a USB stick, a card);
// false for fixed disks, network shares and paths that are not absolute.
bool IsRemovableDrive(std::wstring_view path, const plat::VolumeSources& sources = {});

// How many leading characters the two share: the length of `a` when they are equal.
std::size_t CommonPrefixLength(std::wstring_view a, std::wstring_view b);
