#pragma once
// The system's table of mounted file systems (/proc/self/mounts) and the questions
// asked of it: which mount holds a path, and whether that mount is a network share.

#include <string>
#include <string_view>
#include <vector>

namespace plat {

struct MountEntry {
    std::string source;      // device ("/dev/sdb1") or remote name ("//server/share", "host:/export")
    std::string mountPoint;  // where it is mounted
    std::string type;        // file-system type ("ext4", "cifs", "fuse.sshfs"...)
    std::string options;
};

inline constexpr const char* kMountTableFile = "/proc/self/mounts";
inline constexpr const char* kFstabFile = "/etc/fstab";

// A field of the table with its octal escapes ("\040" for a blank, "\011", "\012",
// "\134") turned back into bytes. A backslash that starts no escape stays as it is.
std::string UnescapeMountField(std::string_view field);

// The entries of a table in its text form, in order: the mounted table, or /etc/fstab,
// which has the same fields. Lines with fewer than three fields, comments and entries
// that are not mounted on a folder (swap) are skipped.
std::vector<MountEntry> ParseMountTable(std::string_view text);

// Reads and parses a table file. False, with the last error set, when it cannot be read.
bool ReadMountTable(std::vector<MountEntry>& mounts, const std::string& file = kMountTableFile);

// The mount holding the absolute, canonical `path`: the one whose mount point is the
// longest that is the path itself or a folder above it; of equal mount points the one
// mounted last (it hides the others). Null when no entry holds the path.
const MountEntry* FindMountOf(const std::vector<MountEntry>& mounts, std::string_view path);

// True for file systems that reach another machine: NFS, SMB/CIFS, SSHFS, 9P, AFS,
// Ceph, GlusterFS, WebDAV and the like.
bool IsNetworkFileSystem(std::string_view type);

}  // namespace plat
