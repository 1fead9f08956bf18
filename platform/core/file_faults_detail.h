#pragma once
// The file layer's view of the installed test faults.

#include <atomic>
#include <memory>

#include "platform/core/file_faults.h"

namespace plat::fs_detail {

struct ActiveFaults {
    FileFaults faults;
    std::atomic<ULONGLONG> bytesWritten{0};
};

extern std::atomic<bool> g_faultsInstalled;
std::shared_ptr<ActiveFaults> LoadInstalledFaults();

// The installed faults, or null. The common case is one relaxed load.
inline std::shared_ptr<ActiveFaults> InstalledFaults() {
    if (!g_faultsInstalled.load(std::memory_order_relaxed)) return nullptr;
    return LoadInstalledFaults();
}

// The errno a test makes an operation on `path` fail with (the fault's match and errno
// fields), or 0.
inline int InjectedErrno(FileFaults::PathMatch FileFaults::*match, int FileFaults::*error, const std::string& path) {
    const std::shared_ptr<ActiveFaults> active = InstalledFaults();
    if (!active || !(active->faults.*match) || !(active->faults.*match)(path)) return 0;
    return active->faults.*error;
}

// True when a test puts the folder `path` on a FAT driver in user space.
bool OnFatDriver(const std::string& path);

// After the entry `name` of the folder `dirFd` (full path `path`) was renamed onto: on a
// test's FAT driver in user space, gives it the time of the rename and tells the test.
void AfterRename(int dirFd, const std::string& path, const std::string& name);

inline int RefusedName(const std::string& path) {
    return InjectedErrno(&FileFaults::nameRefused, &FileFaults::nameErrno, path);
}

}  // namespace plat::fs_detail
