#include "platform/core/volumes.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <sys/statvfs.h>
#include <unistd.h>

#include "platform/core/errors.h"
#include "platform/core/file_info.h"
#include "platform/core/paths.h"

namespace plat {

namespace {

std::string RealPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

// The canonical path with links resolved in the part that exists; the rest stays as text.
std::string ResolveExistingPart(const std::string& path) {
    const std::string canonical = CanonicalPath(path);
    if (canonical.empty()) return {};
    std::string existing = canonical;
    while (!IsRootPath(existing)) {
        const std::string resolved = RealPath(existing);
        if (!resolved.empty()) return JoinPath(resolved, std::string_view(canonical).substr(existing.size()));
        existing = ParentPath(existing);
    }
    return canonical;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    struct CloseDir {
        void operator()(DIR* d) const { closedir(d); }
    };
    const std::unique_ptr<DIR, CloseDir> dir(opendir(folder.c_str()));
    if (!dir) return names;
    while (const dirent* found = readdir(dir.get())) {
        const std::string name = found->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadLink(const std::string& path) {
    std::string buf(PATH_MAX, '\0');
    const ssize_t n = readlink(path.c_str(), buf.data(), buf.size());
    if (n <= 0) return {};
    buf.resize(static_cast<size_t>(n));
    return buf;
}

bool FileHoldsOne(const std::string& path) {
    std::ifstream in(path);
    std::string value;
    return in >> value && value == "1";
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Mapped devices stack only a few levels deep; the depth bound guards against a
// malformed tree.
bool RemovableAtDepth(std::string_view device, const std::string& sysFolder, int depth) {
    if (depth > 8 || device.empty() || device.find('/') != std::string_view::npos || device == "." || device == "..")
        return false;
    const std::string block = JoinPath(sysFolder, "block");
    const std::string name(device);

    // A whole disk, or a mapped device (encryption, LVM) whose underlying devices decide.
    if (IsFolderPath(JoinPath(block, name))) {
        if (FileHoldsOne(JoinPath(block, name + "/removable"))) return true;
        for (const std::string& slave : FolderNames(JoinPath(block, name + "/slaves")))
            if (RemovableAtDepth(slave, sysFolder, depth + 1)) return true;
        return false;
    }
    // A partition appears as a folder inside its disk's folder.
    for (const std::string& disk : FolderNames(block))
        if (IsFolderPath(JoinPath(block, disk + "/" + name))) return FileHoldsOne(JoinPath(block, disk + "/removable"));
    return false;
}

bool ReadMounts(const VolumeSources& sources, std::vector<MountEntry>& mounts) {
    return ReadMountTable(mounts, sources.mountTable);
}

}  // namespace

bool GetVolumeSpace(const std::string& path, ULONGLONG* totalBytes, ULONGLONG* freeBytes) {
    std::string folder = CanonicalPath(path);
    if (folder.empty()) return false;
    struct statvfs vfs {};
    while (statvfs(folder.c_str(), &vfs) != 0) {
        const int err = errno;
        if (err != ENOENT || IsRootPath(folder)) {
            SetLastErrorFromErrno(err);
            return false;
        }
        folder = ParentPath(folder);
    }
    const ULONGLONG unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    if (totalBytes) *totalBytes = static_cast<ULONGLONG>(vfs.f_blocks) * unit;
    if (freeBytes) *freeBytes = static_cast<ULONGLONG>(vfs.f_bavail) * unit;
    return true;
}

bool GetMountOfPath(const std::string& path, MountEntry& mount, const VolumeSources& sources) {
    const std::string resolved = ResolveExistingPart(path);
    std::vector<MountEntry> mounts;
    if (resolved.empty() || !ReadMounts(sources, mounts)) return false;
    const MountEntry* found = FindMountOf(mounts, resolved);
    if (!found) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    mount = *found;
    return true;
}

std::string DeviceNameOfSource(std::string_view source) {
    if (source.substr(0, 5) != "/dev/") return {};
    const std::string resolved = RealPath(std::string(source));
    return FileNamePart(resolved.empty() ? source : std::string_view(resolved));
}

bool IsRemovableDevice(std::string_view device, const std::string& sysFolder) {
    return RemovableAtDepth(device, sysFolder, 0);
}

std::string DecodeLabelName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            const int high = HexValue(name[i + 2]);
            const int low = HexValue(name[i + 3]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        out += name[i];
    }
    return out;
}

std::vector<LabeledVolume> ListLabeledVolumes(const std::vector<MountEntry>& mounts, const std::string& labelFolder) {
    std::vector<LabeledVolume> volumes;
    for (const std::string& name : FolderNames(labelFolder)) {
        const std::string target = ReadLink(JoinPath(labelFolder, name));
        if (target.empty()) continue;
        LabeledVolume volume;
        volume.label = DecodeLabelName(name);
        volume.device = FileNamePart(target);
        for (const MountEntry& mount : mounts) {
            if (DeviceNameOfSource(mount.source) == volume.device) {
                volume.mountPoint = mount.mountPoint;
                break;
            }
        }
        volumes.push_back(std::move(volume));
    }
    return volumes;
}

std::vector<LabeledVolume> ListLabeledVolumes(const VolumeSources& sources) {
    std::vector<MountEntry> mounts;
    ReadMounts(sources, mounts);
    return ListLabeledVolumes(mounts, sources.labelFolder);
}

std::string LabelOfPath(const std::string& path, const VolumeSources& sources) {
    MountEntry mount;
    if (!GetMountOfPath(path, mount, sources)) return {};
    const std::string device = DeviceNameOfSource(mount.source);
    if (device.empty()) return {};
    for (const LabeledVolume& volume : ListLabeledVolumes(std::vector<MountEntry>{}, sources.labelFolder))
        if (volume.device == device) return volume.label;
    return {};
}

}  // namespace plat
