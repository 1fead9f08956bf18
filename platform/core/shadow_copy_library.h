#pragma once
// The system's shadow-copy helper library and its one entry, `VSSCopy`: given a block
// that lists volumes and a block that lists files with their targets, it copies each file
// from a shadow copy of its volume. This platform has no shadow-copy service, so no such
// library is ever found here; tests install a stand-in to reach the route's other ends.

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "platform/core/win_types.h"

namespace plat {

// Non-zero when the copies were made.
using VssCopyEntry =
    std::function<BOOL(std::span<const std::uint8_t> driveList, std::span<const std::uint8_t> fileList)>;

// The `VSSCopy` entry of the named library, or an empty function when the library or the
// entry cannot be had (always, on this platform, unless a stand-in is installed).
VssCopyEntry FindVssCopy(std::string_view libraryName);

// Installs `entry` as every library's `VSSCopy` for the object's lifetime (tests only).
class ScopedVssCopyStandIn {
public:
    explicit ScopedVssCopyStandIn(VssCopyEntry entry);
    ~ScopedVssCopyStandIn();
    ScopedVssCopyStandIn(const ScopedVssCopyStandIn&) = delete;
    ScopedVssCopyStandIn& operator=(const ScopedVssCopyStandIn&) = delete;

private:
    VssCopyEntry previous_;
};

}  // namespace plat
