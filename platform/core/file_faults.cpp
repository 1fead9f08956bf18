#include "platform/core/file_faults.h"

#include <mutex>

#include "platform/core/file_faults_detail.h"
#include "platform/core/paths.h"

namespace plat {

namespace fs_detail {

std::atomic<bool> g_faultsInstalled{false};

namespace {

std::mutex g_faultsMutex;
std::shared_ptr<ActiveFaults> g_faults;

std::shared_ptr<ActiveFaults> Exchange(std::shared_ptr<ActiveFaults> next) {
    const std::lock_guard lock(g_faultsMutex);
    std::swap(g_faults, next);
    g_faultsInstalled.store(g_faults != nullptr, std::memory_order_relaxed);
    return next;
}

}  // namespace

std::shared_ptr<ActiveFaults> LoadInstalledFaults() {
    const std::lock_guard lock(g_faultsMutex);
    return g_faults;
}

}  // namespace fs_detail

FileFaults::PathMatch FileFaults::SamePath(const std::string& path) {
    return [wanted = CanonicalPath(path)](const std::string& candidate) { return CanonicalPath(candidate) == wanted; };
}

ScopedFileFaults::ScopedFileFaults(FileFaults faults) {
    auto active = std::make_shared<fs_detail::ActiveFaults>();
    active->faults = std::move(faults);
    previous_ = fs_detail::Exchange(std::move(active));
}

ScopedFileFaults::~ScopedFileFaults() { fs_detail::Exchange(std::move(previous_)); }

}  // namespace plat
