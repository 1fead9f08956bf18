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

bool IsNetworkPath(std::wstring_view path, const plat::VolumeSources& sources) {
    return IsAbsolute(path) && !plat::NetworkNameOfPath(plat::WideToUtf8(path), sources).empty();
}

std::wstring ResolveNetworkPath(std::wstring_view path, const plat::VolumeSources& sources) {
    if (!IsAbsolute(path)) return std::wstring(kNoNetworkName);
    const std::string name = plat::NetworkNameOfPath(plat::WideToUtf8(path), sources);
    return name.empty() ? std::wstring(kNoNetworkName) : plat::Utf8ToWide(name);
}

bool IsRemovableDrive(std::wstring_view path, const plat::VolumeSources& sources) {
    return IsAbsolute(path) && plat::IsOnRemovableDrive(plat::WideToUtf8(path), sources);
}

std::size_t CommonPrefixLength(std::wstring_view a, std::wstring_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}
