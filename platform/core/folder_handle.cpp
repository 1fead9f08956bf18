#include "platform/core/folder_handle.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/core/errors.h"
#include "platform/core/file_faults_detail.h"
#include "platform/core/file_system_detail.h"
#include "platform/core/paths.h"

namespace plat {

using fs_detail::Fail;
using fs_detail::FailForPath;

namespace {

// O_PATH: the handle only names the folder for the calls below; it reads nothing.
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

DWORD OpenErrorOf(int err) {
    if (err == ENOENT || err == ENOTDIR) return ERROR_PATH_NOT_FOUND;
    if (err == ELOOP) return ERROR_ACCESS_DENIED;
    return ErrorFromErrno(err);
}

}  // namespace

bool FolderHandle::Opened(int fd) {
    const int err = errno;
    fd_.Reset(fd);
    fileSystemType_ = -1;
    openError_ = fd >= 0 ? ERROR_SUCCESS : OpenErrorOf(err);
    return fd >= 0 || Fail(openError_);
}

long FolderHandle::FileSystemType() const {
    constexpr long kFuse = 0x65735546;
    if (fs_detail::OnFatDriver(path_)) return kFuse;
    if (fileSystemType_ < 0) {
        struct statfs info {};
        fileSystemType_ = IsOpen() && fstatfs(fd_.Get(), &info) == 0 ? static_cast<long>(info.f_type) : 0;
    }
    return fileSystemType_;
}

bool FolderHandle::Open(const std::string& path) {
    path_ = path;
    if (path.empty()) {
        errno = ENOENT;
        return Opened(-1);
    }
    return Opened(open(path.c_str(), kFolderFlags));
}

bool FolderHandle::OpenBelow(const FolderHandle& root, const std::string& relative) {
    fd_.Reset();
    path_ = relative.empty() ? root.path_ : JoinPath(root.path_, relative);
    openError_ = ERROR_INVALID_HANDLE;
    if (!root.IsOpen()) return Fail(openError_);
    if (relative.empty()) return Opened(fcntl(root.fd_.Get(), F_DUPFD_CLOEXEC, 0));
    open_how how{};
    how.flags = kFolderFlags;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
    const int fd = static_cast<int>(syscall(SYS_openat2, root.fd_.Get(), relative.c_str(), &how, sizeof how));
    const int err = errno;
    if (fd >= 0 || (err != ENOSYS && err != EPERM && err != EINVAL && err != E2BIG)) return Opened(fd);
    // A kernel without the call (or a sandbox that refuses it): part by part, no link followed.
    OwnedFd folder(fcntl(root.fd_.Get(), F_DUPFD_CLOEXEC, 0));
    for (std::size_t start = 0; folder;) {
        const std::size_t slash = relative.find('/', start);
        const std::string part = relative.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (!part.empty()) {
            struct stat st {};
            if (part == ".." || fstatat(folder.Get(), part.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
                !S_ISDIR(st.st_mode)) {
                errno = part == ".." || S_ISLNK(st.st_mode) ? ELOOP : ENOENT;
                return Opened(-1);
            }
            folder.Reset(openat(folder.Get(), part.c_str(), kFolderFlags | O_NOFOLLOW));
            if (!folder) return Opened(-1);
        }
        if (slash == std::string::npos) return Opened(folder.Release());
        start = slash + 1;
    }
    return Opened(-1);
}

std::string FolderHandle::PathOf(std::string_view name) const { return JoinPath(path_, name); }

bool FolderHandle::LookUp(const std::string& name, FileInfo& info) const {
    if (!IsOpen()) return Fail(ERROR_INVALID_HANDLE);
    if (name.empty()) return Fail(ERROR_INVALID_PARAMETER);
    const int err = fs_detail::StatAt(fd_.Get(), name.c_str(), name, info);
    return err == 0 || Fail(ErrorFromErrno(err));
}

bool FolderHandle::Move(const std::string& from, const std::string& to, MoveMode mode) const {
    if (!IsOpen()) return Fail(ERROR_INVALID_HANDLE);
    if (from.empty() || to.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    const int dir = fd_.Get();
    if (const int refused = fs_detail::RefusedName(PathOf(to))) return FailForPath(refused, PathOf(to));
    const auto failRename = [&](int err) {
        struct stat source {};
        if (err == ENOENT && fstatat(dir, from.c_str(), &source, AT_SYMLINK_NOFOLLOW) != 0)
            return FailForPath(errno, PathOf(from));
        return FailForPath(err, PathOf(to));
    };

    if (mode == MoveMode::ReplaceExisting) {
        struct stat target {};
        if (fstatat(dir, to.c_str(), &target, AT_SYMLINK_NOFOLLOW) == 0 &&
            (S_ISDIR(target.st_mode) || (S_ISREG(target.st_mode) && !(target.st_mode & S_IWUSR))))
            return Fail(ERROR_ACCESS_DENIED);
        if (renameat(dir, from.c_str(), dir, to.c_str()) != 0) return failRename(errno);
        fs_detail::AfterRename(dir, PathOf(to), to);
        return true;
    }
    if (renameat2(dir, from.c_str(), dir, to.c_str(), RENAME_NOREPLACE) == 0) {
        fs_detail::AfterRename(dir, PathOf(to), to);
        return true;
    }
    const int err = errno;
    // File systems without the no-replace flag: look for the target first, then rename plainly.
    if (err != EINVAL && err != ENOSYS && err != ENOTSUP) return failRename(err);
    struct stat target {};
    if (fstatat(dir, to.c_str(), &target, AT_SYMLINK_NOFOLLOW) == 0) return Fail(ERROR_ALREADY_EXISTS);
    if (renameat(dir, from.c_str(), dir, to.c_str()) != 0) return failRename(errno);
    fs_detail::AfterRename(dir, PathOf(to), to);
    return true;
}

bool FolderHandle::Delete(const std::string& name) const {
    if (!IsOpen()) return Fail(ERROR_INVALID_HANDLE);
    if (name.empty()) return Fail(ERROR_FILE_NOT_FOUND);
    if (unlinkat(fd_.Get(), name.c_str(), 0) != 0) return FailForPath(errno, PathOf(name));
    return true;
}

bool FolderHandle::SetTimes(const std::string& name, const FILETIME* lastAccessTime,
                            const FILETIME* lastWriteTime) const {
    if (!IsOpen()) return Fail(ERROR_INVALID_HANDLE);
    if (name.empty()) return Fail(ERROR_FILE_NOT_FOUND);
    timespec times[2];
    times[0] = lastAccessTime ? fs_detail::TimespecFromFileTime(*lastAccessTime) : timespec{0, UTIME_OMIT};
    times[1] = lastWriteTime ? fs_detail::TimespecFromFileTime(*lastWriteTime) : timespec{0, UTIME_OMIT};
    if (utimensat(fd_.Get(), name.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) return FailForPath(errno, PathOf(name));
    return true;
}

}  // namespace plat
