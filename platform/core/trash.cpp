#include "platform/core/trash.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/core/errors.h"
#include "platform/core/file_handle.h"
#include "platform/core/file_info.h"
#include "platform/core/file_ops.h"
#include "platform/core/mount_table.h"
#include "platform/core/paths.h"

namespace plat {

namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr size_t kNameMax = NAME_MAX;
constexpr int kMaxNameTries = 10000;

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home == '/') return home;
    std::vector<char> buf(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir) return found->pw_dir;
    return {};
}

// The longest prefix of `text` within `maxBytes` that does not end inside a UTF-8 sequence.
std::string_view CutOnCharacter(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}

// The name an item takes in the trash on the n-th try: "report.txt", "report.2.txt",
// "report.3.txt"...; shortened so that its info file's name still fits.
std::string TrashName(const std::string& original, int attempt) {
    const size_t dot = original.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0 && dot + 1 < original.size();
    std::string_view stem = hasExtension ? std::string_view(original).substr(0, dot) : std::string_view(original);
    std::string suffix;
    if (attempt > 1) {
        suffix += '.';
        suffix += std::to_string(attempt);
    }
    if (hasExtension) suffix += original.substr(dot);
    const size_t room = kNameMax - kInfoSuffix.size();
    if (suffix.size() >= room) suffix.clear();  // an absurdly long extension is dropped
    if (stem.size() + suffix.size() > room) stem = CutOnCharacter(stem, room - suffix.size());
    return std::string(stem) + suffix;
}

bool MakePrivateFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0) return true;
    const int err = errno;
    if (err == EEXIST && IsFolderPath(path)) return true;
    SetLastErrorFromErrno(err);
    return false;
}

bool DeviceOf(const std::string& path, dev_t& device) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return false;
    device = st.st_dev;
    return true;
}

// The device of `path`, or of the nearest folder above it that exists.
bool DeviceOfNearest(std::string path, dev_t& device) {
    while (!path.empty()) {
        if (DeviceOf(path, device)) return true;
        path = ParentPath(path);
    }
    return false;
}

// Moves `item` into the trash folder `trash`; the info file records `recordedPath`.
// The info file is made first (O_EXCL), so two deletions never claim one name.
bool MoveInto(const std::string& trash, const std::string& item, const std::string& recordedPath,
              std::string* trashedAs) {
    const std::string filesFolder = JoinPath(trash, "files");
    const std::string infoFolder = JoinPath(trash, "info");
    if (!MakePrivateFolder(trash) || !MakePrivateFolder(filesFolder) || !MakePrivateFolder(infoFolder)) return false;

    const std::string original = FileNamePart(item);
    const std::string infoText = TrashInfoText(recordedPath, std::time(nullptr));
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        const std::string name = TrashName(original, attempt);
        const std::string infoPath = JoinPath(infoFolder, name + std::string(kInfoSuffix));
        const std::string target = JoinPath(filesFolder, name);

        FileHandle info;
        if (!info.Open(infoPath, FileOpenMode::CreateNew)) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return false;
        }
        if (PathExists(target)) {  // left behind without its info file
            info.Close();
            unlink(infoPath.c_str());
            continue;
        }
        if (!info.Write(infoText.data(), infoText.size()) || !info.Close()) {
            const DWORD error = GetLastError();
            unlink(infoPath.c_str());
            SetLastError(error);
            return false;
        }
        if (!MoveFile(item, target, MoveMode::NoReplace)) {
            const DWORD error = GetLastError();
            unlink(infoPath.c_str());
            SetLastError(error);
            if (error == ERROR_ALREADY_EXISTS) continue;
            return false;
        }
        if (trashedAs) *trashedAs = target;
        return true;
    }
    SetLastError(ERROR_ALREADY_EXISTS);
    return false;
}

// The folder at the top of the file system holding `item`: its mount point from the
// mount table, else the highest folder above it on the same device.
std::string TopDirOf(const std::string& item, dev_t device) {
    std::vector<MountEntry> mounts;
    if (ReadMountTable(mounts)) {
        if (const MountEntry* mount = FindMountOf(mounts, item)) return mount->mountPoint;
    }
    std::string top = ParentPath(item);
    for (std::string up = ParentPath(top); !up.empty(); up = ParentPath(up)) {
        dev_t upDevice = 0;
        if (!DeviceOf(up, upDevice) || upDevice != device) break;
        top = up;
    }
    return top;
}

}  // namespace

std::string HomeTrashFolder() {
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome && *dataHome == '/')
        return JoinPath(dataHome, "Trash");
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : JoinPath(home, ".local/share/Trash");
}

bool IsTopDirTrashName(std::string_view name) {
    constexpr std::string_view kShared = ".Trash";
    if (name == kShared) return true;
    if (name.size() <= kShared.size() + 1 || !name.starts_with(kShared) || name[kShared.size()] != '-') return false;
    return std::all_of(name.begin() + kShared.size() + 1, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string TopDirTrashFolder(const std::string& topDir, uid_t uid) {
    const std::string id = std::to_string(uid);

    const std::string shared = JoinPath(topDir, ".Trash");
    struct stat st {};
    if (lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const std::string own = JoinPath(shared, id);
        if (mkdir(own.c_str(), 0700) == 0 || errno == EEXIST) {
            struct stat ownSt {};
            if (lstat(own.c_str(), &ownSt) == 0 && S_ISDIR(ownSt.st_mode) && ownSt.st_uid == uid) return own;
        }
    }

    const std::string own = JoinPath(topDir, ".Trash-" + id);
    if (mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) {
        SetLastErrorFromErrno();
        return {};
    }
    if (lstat(own.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid) {
        SetLastError(ERROR_ACCESS_DENIED);
        return {};
    }
    return own;
}

bool MoveToTrash(const std::string& path, std::string* trashedAs) {
    const std::string canonical = CanonicalPath(path);
    if (canonical.empty()) return false;
    if (IsRootPath(canonical)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // The folder part is resolved so that the item's file system and top folder are
    // found correctly; the item itself (perhaps a link) is not.
    const std::string folder = CanonicalPath(ParentPath(canonical), true);
    if (folder.empty()) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    const std::string item = JoinPath(folder, FileNamePart(canonical));
    struct stat itemSt {};
    if (lstat(item.c_str(), &itemSt) != 0) {
        SetLastErrorFromErrno();
        return false;
    }

    const std::string home = HomeTrashFolder();
    dev_t homeDevice = 0;
    if (!home.empty() && DeviceOfNearest(home, homeDevice) && homeDevice == itemSt.st_dev) {
        if (!CreateFolderWithParents(ParentPath(home))) return false;
        if (MoveInto(home, item, item, trashedAs)) return true;
        // The same file system seen through another mount cannot be renamed across
        // (EXDEV, which has no code of its own); only then is the item's own top
        // folder tried.
        if (GetLastError() != ErrorFromErrno(EXDEV)) return false;
    }

    const std::string top = TopDirOf(item, itemSt.st_dev);
    const std::string trash = TopDirTrashFolder(top, getuid());
    if (trash.empty()) return false;
    dev_t trashDevice = 0;
    if (!DeviceOf(trash, trashDevice) || trashDevice != itemSt.st_dev) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // Recorded relative to the top folder, so the record still holds when the disk is
    // mounted elsewhere.
    const std::string prefix = IsRootPath(top) ? std::string("/") : top + "/";
    const std::string recorded = item.compare(0, prefix.size(), prefix) == 0 ? item.substr(prefix.size()) : item;
    return MoveInto(trash, item, recorded, trashedAs);
}

std::string TrashInfoText(std::string_view originalPath, std::time_t deletionTime) {
    std::tm local{};
    localtime_r(&deletionTime, &local);
    char date[64];
    std::snprintf(date, sizeof date, "%04d-%02d-%02dT%02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return "[Trash Info]\nPath=" + EncodeTrashPath(originalPath) + "\nDeletionDate=" + date + "\n";
}

std::string EncodeTrashPath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '.' || byte == '~' ||
                           byte == '/';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

}  // namespace plat
