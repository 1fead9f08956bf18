#include "platform/core/file_faults.h"

#include <fcntl.h>
#include <sys/stat.h>

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

bool OnFatDriver(const std::string& path) {
    const std::shared_ptr<ActiveFaults> active = InstalledFaults();
    return active && active->faults.fatDriverFolder && active->faults.fatDriverFolder(path);
}

void AfterRename(int dirFd, const std::string& path, const std::string& name) {
    const std::shared_ptr<ActiveFaults> active = InstalledFaults();
    if (!active || !active->faults.fatDriverFolder || !active->faults.fatDriverFolder(ParentPath(path))) return;
    const timespec now[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
    utimensat(dirFd, name.c_str(), now, AT_SYMLINK_NOFOLLOW);
    if (active->faults.afterRename) active->faults.afterRename(path);
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
