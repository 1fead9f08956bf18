#include "platform/core/mount_table.h"

#include <array>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "platform/core/errors.h"

namespace plat {

namespace {

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && IsBlank(line[pos])) ++pos;
        const size_t start = pos;
        while (pos < line.size() && !IsBlank(line[pos])) ++pos;
        if (pos > start) fields.push_back(line.substr(start, pos - start));
    }
    return fields;
}

}  // namespace

std::string UnescapeMountField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) && IsOctalDigit(field[i + 2]) &&
            IsOctalDigit(field[i + 3])) {
            const int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            if (value <= 0xFF) {
                out += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

std::vector<MountEntry> ParseMountTable(std::string_view text) {
    std::vector<MountEntry> mounts;
    while (!text.empty()) {
        const size_t newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        const std::vector<std::string_view> fields = SplitFields(line);
        if (fields.size() < 3 || fields[0].front() == '#') continue;  // a comment of /etc/fstab
        MountEntry entry;
        entry.source = UnescapeMountField(fields[0]);
        entry.mountPoint = UnescapeMountField(fields[1]);
        entry.type = UnescapeMountField(fields[2]);
        if (fields.size() > 3) entry.options = UnescapeMountField(fields[3]);
        if (entry.mountPoint.empty() || entry.mountPoint.front() != '/') continue;
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

bool ReadMountTable(std::vector<MountEntry>& mounts, const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        SetLastErrorFromErrno(errno ? errno : ENOENT);
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        SetLastError(ERROR_READ_FAULT);
        return false;
    }
    mounts = ParseMountTable(text.str());
    return true;
}

const MountEntry* FindMountOf(const std::vector<MountEntry>& mounts, std::string_view path) {
    const MountEntry* best = nullptr;
    size_t bestLength = 0;
    for (const MountEntry& mount : mounts) {
        std::string_view point = mount.mountPoint;
        while (point.size() > 1 && point.back() == '/') point.remove_suffix(1);
        const bool holds = point == "/" ? (!path.empty() && path.front() == '/')
                                        : (path.substr(0, point.size()) == point &&
                                           (path.size() == point.size() || path[point.size()] == '/'));
        // ">=" so that a later mount on the same point wins: it hides the earlier one.
        if (holds && (!best || point.size() >= bestLength)) {
            best = &mount;
            bestLength = point.size();
        }
    }
    return best;
}

bool IsNetworkFileSystem(std::string_view type) {
    static constexpr std::array<std::string_view, 22> kNetworkTypes = {
        "nfs",   "nfs4",        "cifs",    "smb3",      "smbfs",       "ncpfs",          "sshfs",     "fuse.sshfs",
        "9p",    "afs",         "openafs", "ceph",      "fuse.ceph",   "fuse.cephfs",    "glusterfs", "fuse.glusterfs",
        "davfs", "fuse.davfs2", "lustre",  "fuse.s3fs", "fuse.rclone", "fuse.curlftpfs",
    };
    for (const std::string_view known : kNetworkTypes)
        if (type == known) return true;
    return false;
}

}  // namespace plat
