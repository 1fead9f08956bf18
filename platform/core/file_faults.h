#pragma once
// Failures that the file layer can be told to simulate, so that tests reach failure
// paths no real file system here produces on demand: a full disk, a file that another
// program holds open, a folder that stops listing half-way, a file system that keeps no
// modes or refuses a name (FAT). Only tests install them,
// through ScopedFileFaults; when none are installed the layer pays one relaxed load.

#include <cerrno>
#include <functional>
#include <memory>
#include <string>

#include "platform/core/win_types.h"

namespace plat {

namespace fs_detail {
struct ActiveFaults;
}

struct FileFaults {
    using PathMatch = std::function<bool(const std::string& path)>;

    // Writes through FileHandle to files whose path matches fail with ERROR_DISK_FULL
    // once this many bytes have been written to matching files in total.
    PathMatch diskFullPath;
    ULONGLONG diskFullAfterBytes = 0;

    // Opening a matching file for reading fails with this error
    // (ERROR_SHARING_VIOLATION or ERROR_LOCK_VIOLATION).
    PathMatch lockedFile;
    DWORD lockedError = ERROR_SHARING_VIOLATION;

    // Listing a matching folder fails with this error after this many entries
    // (0: the listing fails at the start).
    PathMatch unlistableFolder;
    ULONGLONG listFailsAfter = 0;
    DWORD listError = ERROR_ACCESS_DENIED;

    // Giving a matching open file its permission bits fails with this errno, as on a file
    // system that keeps no Unix modes (FAT and exFAT: EPERM from their kernel drivers,
    // ENOSYS from a driver in user space, EOPNOTSUPP). Only removing the write bits, FAT's
    // read-only attribute, still works.
    PathMatch modeRefused;
    int modeErrno = EPERM;

    // Creating a matching file or folder, or renaming onto one, fails with this errno, as
    // a file system does for a name it cannot hold (EINVAL).
    PathMatch nameRefused;
    int nameErrno = EINVAL;

    // Making a file with no name yet in a folder, for a name that matches, fails as on a
    // file system that cannot (EOPNOTSUPP).
    PathMatch unnamedFilesRefused;

    // Folders whose path matches lie on a FAT driver in user space: their file system
    // reads as FUSE's, and a rename onto a path in one gives the file the time of the
    // rename, as those drivers do.
    PathMatch fatDriverFolder;
    // Called with the new path after each rename onto a path in such a folder, before the
    // caller learns of it: a test takes there what a kill of the program at that moment
    // would leave on the disk.
    std::function<void(const std::string& path)> afterRename;

    // A match for one path, ignoring trailing separators, "." parts and doubled '/'.
    static PathMatch SamePath(const std::string& path);
};

// Installs `faults` for the whole process for its lifetime and puts back what was
// installed before. Operations already under way keep the faults they started with.
class ScopedFileFaults {
public:
    explicit ScopedFileFaults(FileFaults faults);
    ~ScopedFileFaults();
    ScopedFileFaults(const ScopedFileFaults&) = delete;
    ScopedFileFaults& operator=(const ScopedFileFaults&) = delete;

private:
    std::shared_ptr<fs_detail::ActiveFaults> previous_;
};

}  // namespace plat
