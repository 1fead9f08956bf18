#include "platform/core/shadow_copy_library.h"

#include <mutex>
#include <utility>

namespace plat {

namespace {

std::mutex g_standInMutex;
VssCopyEntry g_standIn;

}  // namespace

VssCopyEntry FindVssCopy(std::string_view /*libraryName*/) {
    const std::lock_guard lock(g_standInMutex);
    return g_standIn;
}

ScopedVssCopyStandIn::ScopedVssCopyStandIn(VssCopyEntry entry) {
    const std::lock_guard lock(g_standInMutex);
    previous_ = std::exchange(g_standIn, std::move(entry));
}

ScopedVssCopyStandIn::~ScopedVssCopyStandIn() {
    const std::lock_guard lock(g_standInMutex);
    g_standIn = std::move(previous_);
}

}  // namespace plat
