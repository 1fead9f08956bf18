#include "platform/core/file_info.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/core/errors.h"
#include "platform/core/file_system_detail.h"
#include "platform/core/paths.h"

namespace plat {

namespace fs_detail {

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochDifference = 11644473600LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;

// Set once statx turns out to be missing (old kernel or a filter that refuses it).
std::atomic<bool> g_statxMissing{false};

EntryKind KindFromMode(mode_t mode) {
    if (S_ISREG(mode)) return EntryKind::File;
    if (S_ISDIR(mode)) return EntryKind::Folder;
    if (S_ISLNK(mode)) return EntryKind::SymbolicLink;
    return EntryKind::Special;
}

void FillCommon(mode_t mode, std::uint64_t size, const std::string& name, FileInfo& info) {
    info.kind = KindFromMode(mode);
    info.attributes = AttributesFromMode(mode, name);
    info.size = info.kind == EntryKind::File ? size : 0;
    info.mode = mode & 07777;
}

}  // namespace

FILETIME FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds) {
    if (seconds < -kEpochDifference) return FILETIME{};
    const ULONGLONG ticks = static_cast<ULONGLONG>(seconds + kEpochDifference) * kTicksPerSecond + nanoseconds / 100;
    return U64ToFileTime(ticks);
}

timespec TimespecFromFileTime(const FILETIME& time) {
    const ULONGLONG ticks = FileTimeToU64(time);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(ticks / kTicksPerSecond) - kEpochDifference);
    ts.tv_nsec = static_cast<long>((ticks % kTicksPerSecond) * 100);
    return ts;
}

int StatAt(int dirFd, const char* name, const std::string& displayName, FileInfo& info) {
    // An empty name looks at the open file `dirFd` itself.
    const int emptyPath = name[0] == '\0' ? AT_EMPTY_PATH : 0;
    if (!g_statxMissing.load(std::memory_order_relaxed)) {
        struct statx sx {};
        if (statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | emptyPath, STATX_BASIC_STATS | STATX_BTIME,
                  &sx) == 0) {
            FillCommon(sx.stx_mode, sx.stx_size, displayName, info);
            info.lastAccessTime = FileTimeFromUnix(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
            info.lastWriteTime = FileTimeFromUnix(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
            info.creationTime = (sx.stx_mask & STATX_BTIME)
                                    ? FileTimeFromUnix(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec)
                                    : info.lastWriteTime;
            return 0;
        }
        if (errno != ENOSYS) return errno;
        g_statxMissing.store(true, std::memory_order_relaxed);
    }
    struct stat st {};
    if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW | emptyPath) != 0) return errno;
    FillCommon(st.st_mode, static_cast<std::uint64_t>(st.st_size), displayName, info);
    info.lastAccessTime = FileTimeFromUnix(st.st_atim.tv_sec, static_cast<std::uint32_t>(st.st_atim.tv_nsec));
    info.lastWriteTime = FileTimeFromUnix(st.st_mtim.tv_sec, static_cast<std::uint32_t>(st.st_mtim.tv_nsec));
    info.creationTime = info.lastWriteTime;
    return 0;
}

DWORD ErrorForPath(int err, const std::string& path) {
    if (err == ENOENT) {
        const std::string parent = ParentPath(path);
        struct stat st {};
        if (!parent.empty() && (stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))) return ERROR_PATH_NOT_FOUND;
        return ERROR_FILE_NOT_FOUND;
    }
    return ErrorFromErrno(err);
}

bool FailForPath(int err, const std::string& path) { return Fail(ErrorForPath(err, path)); }

bool Fail(DWORD code) {
    SetLastError(code);
    return false;
}

}  // namespace fs_detail

DWORD AttributesFromMode(mode_t mode, const std::string& name) {
    DWORD attributes = 0;
    if (S_ISDIR(mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (S_ISLNK(mode)) attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    if (!S_ISREG(mode) && !S_ISDIR(mode) && !S_ISLNK(mode)) attributes |= FILE_ATTRIBUTE_SYSTEM;
    if (!(mode & S_IWUSR) && !S_ISLNK(mode)) attributes |= FILE_ATTRIBUTE_READONLY;
    if (!name.empty() && name.front() == '.') attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

bool GetFileInfo(const std::string& path, FileInfo& info) {
    if (path.empty()) return fs_detail::Fail(ERROR_INVALID_PARAMETER);
    const int err = fs_detail::StatAt(AT_FDCWD, path.c_str(), FileNamePart(path), info);
    return err == 0 || fs_detail::FailForPath(err, path);
}

DWORD GetFileAttributes(const std::string& path) {
    FileInfo info;
    return GetFileInfo(path, info) ? info.attributes : INVALID_FILE_ATTRIBUTES;
}

bool LookUpFileInfo(const std::string& path, FileInfo& info) {
    if (path.empty()) return fs_detail::Fail(ERROR_INVALID_PARAMETER);
    const int err = fs_detail::StatAt(AT_FDCWD, path.c_str(), FileNamePart(path), info);
    return err == 0 || fs_detail::Fail(ErrorFromErrno(err));
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && lstat(path.c_str(), &st) == 0;
}

bool IsFolderPath(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFilePath(const std::string& path) {
    struct stat st {};
    return !path.empty() && lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsSameFileObject(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return !a.empty() && !b.empty() && stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace plat
