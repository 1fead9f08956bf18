#include "platform/core/file_ops.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#include "platform/core/errors.h"
#include "platform/core/file_faults_detail.h"
#include "platform/core/file_system_detail.h"
#include "platform/core/owned_fd.h"
#include "platform/core/paths.h"

namespace plat {

using fs_detail::Fail;
using fs_detail::FailForPath;

namespace {

bool IsReadOnlyFile(const struct stat& st) { return S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR); }

class DirCloser {
public:
    explicit DirCloser(DIR* dir) : dir_(dir) {}
    ~DirCloser() {
        if (dir_) closedir(dir_);
    }
    DirCloser(const DirCloser&) = delete;
    DirCloser& operator=(const DirCloser&) = delete;

private:
    DIR* dir_;
};

void Remember(DWORD& firstError, int err) {
    if (firstError == ERROR_SUCCESS && err != 0 && err != ENOENT) firstError = ErrorFromErrno(err);
}

// Deletes everything inside the open folder `fd` (which it takes over), recording the
// first failure. Names are read first so the folder is not changed under readdir.
void DeleteContents(int fd, dev_t device, DWORD& firstError) {
    DIR* dir = fdopendir(fd);
    if (!dir) {
        Remember(firstError, errno);
        close(fd);
        return;
    }
    const DirCloser closer(dir);
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* found = readdir(dir);
        if (!found) {
            Remember(firstError, errno);
            break;
        }
        const std::string name = found->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }

    for (const std::string& name : names) {
        struct stat st {};
        if (fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            Remember(firstError, errno);
            continue;
        }
        if (!S_ISDIR(st.st_mode)) {
            if (unlinkat(fd, name.c_str(), 0) != 0) Remember(firstError, errno);
            continue;
        }
        if (st.st_dev != device) {
            Remember(firstError, EBUSY);  // a mounted file system: not ours to empty
            continue;
        }
        const int child = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0) {
            Remember(firstError, errno);
            continue;
        }
        DeleteContents(child, device, firstError);
        if (unlinkat(fd, name.c_str(), AT_REMOVEDIR) != 0) Remember(firstError, errno);
    }
}

}  // namespace

bool CreateFolder(const std::string& path) {
    if (path.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    if (const int refused = fs_detail::RefusedName(path)) return FailForPath(refused, path);
    if (mkdir(path.c_str(), 0777) != 0) return FailForPath(errno, path);
    return true;
}

bool CreateFolderWithParents(const std::string& path) {
    if (path.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    if (IsFolderPath(path)) return true;
    if (const int refused = fs_detail::RefusedName(path)) return FailForPath(refused, path);
    // Most often only the last part is missing: one call, not one per part of a long path.
    if (mkdir(path.c_str(), 0777) == 0) return true;

    // Create from the top down; parts that exist are passed over, and the walk stops at
    // the first part that can be neither found nor made.
    size_t pos = path.find_first_not_of('/');
    while (pos != std::string::npos) {
        const size_t end = path.find('/', pos);
        const std::string prefix = path.substr(0, end);
        if (mkdir(prefix.c_str(), 0777) != 0) {
            const int err = errno;
            if (err != EEXIST && !IsFolderPath(prefix)) return FailForPath(err, prefix);
        }
        pos = end == std::string::npos ? end : path.find_first_not_of('/', end);
    }
    if (IsFolderPath(path)) return true;
    return Fail(PathExists(path) ? ERROR_ALREADY_EXISTS : ERROR_PATH_NOT_FOUND);
}

bool FoldersBelowAreReal(const std::string& root, const std::string& relativeFolders) {
    if (relativeFolders.empty()) return true;
    if (const OwnedFd rootFd(open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)); rootFd) {
        open_how how{};
        how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
        how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
        const OwnedFd folder(
            static_cast<int>(syscall(SYS_openat2, rootFd.Get(), relativeFolders.c_str(), &how, sizeof how)));
        if (folder) return true;
        const int err = errno;
        if (err == ELOOP) return Fail(ERROR_ACCESS_DENIED);     // a link on the way
        if (err == ENOTDIR) return Fail(ERROR_PATH_NOT_FOUND);  // a file on the way
        // ENOENT: every part before the missing one was a real folder. A kernel without
        // the call (or a sandbox that refuses it) is checked part by part below.
        if (err != ENOSYS && err != EPERM && err != EINVAL && err != E2BIG) return true;
    }
    std::string path = root;
    if (path.empty() || path.back() != '/') path += '/';
    for (std::size_t slash = relativeFolders.find('/');; slash = relativeFolders.find('/', slash + 1)) {
        struct stat st;
        if (lstat((path + relativeFolders.substr(0, slash)).c_str(), &st) != 0) return true;  // made as a real folder
        if (!S_ISDIR(st.st_mode)) return Fail(S_ISLNK(st.st_mode) ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
        if (slash == std::string::npos) return true;
    }
}

bool DeleteFile(const std::string& path) {
    if (path.empty()) return Fail(ERROR_FILE_NOT_FOUND);
    if (unlink(path.c_str()) != 0) return FailForPath(errno, path);
    return true;
}

bool DeleteUnlockedFile(const std::string& path) {
    const OwnedFd fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd) return FailForPath(errno, path);
    struct stat opened {};
    if (fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    // A file system that cannot lock at all cannot tell; only a lock held says "in use".
    if (flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) return Fail(ERROR_SHARING_VIOLATION);
    // The name must still be the file that was found free, not one made in its place since.
    struct stat named {};
    if (lstat(path.c_str(), &named) != 0) return FailForPath(errno, path);
    if (named.st_dev != opened.st_dev || named.st_ino != opened.st_ino) return Fail(ERROR_SHARING_VIOLATION);
    if (unlink(path.c_str()) != 0) return FailForPath(errno, path);
    return true;
}

bool RemoveFolder(const std::string& path) {
    if (path.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    if (rmdir(path.c_str()) != 0) {
        const int err = errno;
        return FailForPath(err == EEXIST ? ENOTEMPTY : err, path);
    }
    return true;
}

bool DeleteTree(const std::string& path) {
    if (path.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return FailForPath(errno, path);
    if (!S_ISDIR(st.st_mode)) return DeleteFile(path);

    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return FailForPath(errno, path);
    DWORD firstError = ERROR_SUCCESS;
    DeleteContents(fd, st.st_dev, firstError);
    if (rmdir(path.c_str()) != 0) Remember(firstError, errno);
    return firstError == ERROR_SUCCESS || Fail(firstError);
}

namespace {

// The error of a rename that failed with `err`: a missing source names the source.
bool FailRename(int err, const std::string& from, const std::string& to) {
    struct stat source {};
    if (err == ENOENT && lstat(from.c_str(), &source) != 0) return FailForPath(errno, from);
    return FailForPath(err, to);
}

}  // namespace

bool MoveFile(const std::string& from, const std::string& to, MoveMode mode) {
    if (from.empty() || to.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    if (const int refused = fs_detail::RefusedName(to)) return FailForPath(refused, to);

    if (mode == MoveMode::ReplaceExisting) {
        struct stat target {};
        if (lstat(to.c_str(), &target) == 0 && (S_ISDIR(target.st_mode) || IsReadOnlyFile(target)))
            return Fail(ERROR_ACCESS_DENIED);
        if (rename(from.c_str(), to.c_str()) != 0) return FailRename(errno, from, to);
        return true;
    }

    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    const int err = errno;
    // File systems without the no-replace flag answer EINVAL (which also means a folder
    // moved into itself); check for the target first and rename plainly.
    if (err != EINVAL && err != ENOSYS && err != ENOTSUP) return FailRename(err, from, to);
    struct stat target {};
    if (lstat(to.c_str(), &target) == 0) return Fail(ERROR_ALREADY_EXISTS);
    if (rename(from.c_str(), to.c_str()) != 0) return FailRename(errno, from, to);
    return true;
}

bool SetFileTimes(const std::string& path, const FILETIME* creationTime, const FILETIME* lastAccessTime,
                  const FILETIME* lastWriteTime) {
    (void)creationTime;
    if (path.empty()) return Fail(ERROR_FILE_NOT_FOUND);
    timespec times[2];
    times[0] = lastAccessTime ? fs_detail::TimespecFromFileTime(*lastAccessTime) : timespec{0, UTIME_OMIT};
    times[1] = lastWriteTime ? fs_detail::TimespecFromFileTime(*lastWriteTime) : timespec{0, UTIME_OMIT};
    if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) return FailForPath(errno, path);
    return true;
}

bool SetFileAttributes(const std::string& path, DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES) return Fail(ERROR_INVALID_PARAMETER);
    struct stat st {};
    if (path.empty() || lstat(path.c_str(), &st) != 0) return FailForPath(path.empty() ? ENOENT : errno, path);
    if (!S_ISREG(st.st_mode)) return true;

    const mode_t current = st.st_mode & 07777;
    const mode_t wanted = (attributes & FILE_ATTRIBUTE_READONLY) ? (current & ~static_cast<mode_t>(0222))
                          : (current & S_IWUSR)                  ? current
                                                                 : (current | S_IWUSR);
    if (wanted == current) return true;
    if (chmod(path.c_str(), wanted) != 0) return FailForPath(errno, path);
    return true;
}

bool SetPermissionBits(const std::string& path, mode_t mode) {
    struct stat st {};
    if (path.empty() || lstat(path.c_str(), &st) != 0) return FailForPath(path.empty() ? ENOENT : errno, path);
    if (S_ISLNK(st.st_mode)) return true;
    if (chmod(path.c_str(), mode & 0777) != 0) return FailForPath(errno, path);
    return true;
}

}  // namespace plat
