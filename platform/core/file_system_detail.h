#pragma once
// Helpers shared by the file layer's sources; not for the program's code.

#include <cerrno>
#include <ctime>
#include <string>

#include "platform/core/file_info.h"

namespace plat::fs_detail {

FILETIME FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds);
timespec TimespecFromFileTime(const FILETIME& time);

// Looks at `name` relative to the open folder `dirFd` (AT_FDCWD for a plain path)
// without following a final symbolic link. Returns 0 or the errno value.
int StatAt(int dirFd, const char* name, const std::string& displayName, FileInfo& info);

// The error code for an errno value met on `path`. A missing entry whose folder is
// missing too is "path not found", as the program expects.
DWORD ErrorForPath(int err, const std::string& path);
// Sets the last error from ErrorForPath and returns false, for `return Fail(...)`.
bool FailForPath(int err, const std::string& path);
bool Fail(DWORD code);

// A mode change refused by a file system that keeps no Unix modes (FAT, exFAT, many file
// systems in user space), not by a fault of the file.
inline bool KeepsNoModes(int err) { return err == EPERM || err == ENOSYS || err == EOPNOTSUPP; }

}  // namespace plat::fs_detail
