#pragma once
// Flushing a finished archive, or the folder that names it, to the disk.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace plat::detail {

// Flushes `path` to the disk. False only when the flush failed: a path that cannot be
// opened (the archive is gone when its last member was deleted) or a file system that
// cannot flush at all has nothing to report.
inline bool SyncToDisk(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return true;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    ::close(fd);
    return synced;
}

}  // namespace plat::detail
