#include "engine/run/volume_queries.h"

#include "platform/core/text.h"

namespace {

bool IsAbsolute(std::wstring_view path) { return !path.empty() && path.front() == L'/'; }

}  // namespace

int GetFreeDiskSpace(std::wstring_view path, ULONGLONG* total, ULONGLONG* free) {
    if (!IsAbsolute(path)) return 0;
    ULONGLONG totalBytes = 0;
    ULONGLONG freeBytes = 0;
    if (!plat::GetVolumeSpace(plat::WideToUtf8(path), &totalBytes, &freeBytes)) return 0;
    if (total) *total = totalBytes;
    if (free) *free = freeBytes;
    return 1;
}

std::wstring ResolveNetworkPath(std::wstring_view path, const plat::VolumeSources& sources) {
    plat::MountEntry mount;
    if (!IsAbsolute(path) || !plat::GetMountOfPath(plat::WideToUtf8(path), mount, sources) ||
        !plat::IsNetworkFileSystem(mount.type)) {
        return std::wstring(kNoNetworkName);
    }
    return plat::Utf8ToWide(mount.source);
}

bool IsRemovableDrive(std::wstring_view path, const plat::VolumeSources& sources) {
    plat::MountEntry mount;
    if (!IsAbsolute(path) || !plat::GetMountOfPath(plat::WideToUtf8(path), mount, sources)) return false;
    return plat::IsRemovableDevice(plat::DeviceNameOfSource(mount.source), sources.sysFolder);
}

std::size_t CommonPrefixLength(std::wstring_view a, std::wstring_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}
