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

}  // namespace plat::fs_detail
