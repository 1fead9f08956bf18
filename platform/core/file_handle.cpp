#include "platform/core/file_handle.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/core/errors.h"
#include "platform/core/file_faults_detail.h"
#include "platform/core/file_system_detail.h"
#include "platform/core/folder_handle.h"
#include "platform/core/paths.h"

namespace plat {

using fs_detail::Fail;

namespace {

bool FailErrno() { return Fail(ErrorFromErrno(errno)); }

// Smaller files are read in one go, before read-ahead would matter.
constexpr ULONGLONG kSequentialHintFrom = 256 * 1024;

int OpenFlagsFor(FileOpenMode mode) {
    switch (mode) {
    case FileOpenMode::Read: return O_RDONLY;
    case FileOpenMode::CreateNew: return O_WRONLY | O_CREAT | O_EXCL;
    case FileOpenMode::CreateOrTruncate: return O_WRONLY | O_CREAT;
    case FileOpenMode::OpenExistingForWrite: return O_WRONLY;
    }
    return O_RDONLY;
}

}  // namespace

FileHandle::~FileHandle() {
    if (fd_ >= 0) close(fd_);
}

FileHandle::FileHandle(FileHandle&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)), diskFull_(std::move(other.diskFull_)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        diskFull_ = std::move(other.diskFull_);
    }
    return *this;
}

bool FileHandle::Open(const std::string& path, FileOpenMode mode, unsigned flags) {
    return OpenAt(AT_FDCWD, path, path, mode, flags, nullptr);
}

bool FileHandle::OpenIn(const FolderHandle& folder, const std::string& name, FileOpenMode mode, unsigned flags,
                        FileInfo* opened) {
    if (!folder.IsOpen()) {
        if (fd_ >= 0) Close();
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (name.empty() || name.find('/') != std::string::npos) {
        if (fd_ >= 0) Close();
        return Fail(ERROR_INVALID_NAME);
    }
    return OpenAt(folder.Descriptor(), name, folder.PathOf(name), mode, flags, opened);
}

bool FileHandle::OpenAt(int dirFd, const std::string& name, const std::string& path, FileOpenMode mode, unsigned flags,
                        FileInfo* opened) {
    if (fd_ >= 0) Close();
    path_ = path;
    diskFull_.reset();
    if (name.empty()) return Fail(ERROR_FILE_NOT_FOUND);

    const bool forWrite = mode != FileOpenMode::Read;
    if (auto active = fs_detail::InstalledFaults()) {
        const FileFaults& faults = active->faults;
        if (!forWrite && faults.lockedFile && faults.lockedFile(path)) return Fail(faults.lockedError);
        if (forWrite && faults.diskFullPath && faults.diskFullPath(path)) diskFull_ = std::move(active);
    }

    if (forWrite && mode != FileOpenMode::OpenExistingForWrite) {
        if (const int refused = fs_detail::RefusedName(path)) return fs_detail::FailForPath(refused, path);
    }
    // O_NONBLOCK keeps a pipe or device from blocking the open; such files are refused below.
    int openFlags = OpenFlagsFor(mode) | O_CLOEXEC | O_NONBLOCK;
    if (flags & kNoFollow) openFlags |= O_NOFOLLOW;
    int fd;
    do {
        fd = openat(dirFd, name.c_str(), openFlags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        if (err == EEXIST && mode == FileOpenMode::CreateNew) return Fail(ERROR_FILE_EXISTS);
        return fs_detail::FailForPath(err, path);
    }
    // A file this call has just made is a regular, empty, writable file: nothing to check.
    if (mode == FileOpenMode::CreateNew && !opened) {
        fd_ = fd;
        return true;
    }

    FileInfo info;
    if (const int err = fs_detail::StatAt(fd, "", FileNamePart(path), info); err != 0) {
        close(fd);
        return Fail(ErrorFromErrno(err));
    }
    if (!info.IsFile() || (forWrite && (info.mode & S_IWUSR) == 0 && mode != FileOpenMode::CreateNew)) {
        close(fd);
        return Fail(ERROR_ACCESS_DENIED);
    }
    // O_NONBLOCK is left on: it changes nothing for a regular file, and clearing it would
    // cost two system calls on every open.
    if (mode == FileOpenMode::CreateOrTruncate && info.size != 0 && ftruncate(fd, 0) != 0) {
        const int err = errno;
        close(fd);
        return Fail(ErrorFromErrno(err));
    }
    // Read-ahead matters only past the first pages.
    if (!forWrite && info.size > kSequentialHintFrom) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    if (opened) *opened = info;
    fd_ = fd;
    return true;
}

bool FileHandle::CreateUnnamedIn(const FolderHandle& folder, const std::string& name) {
    if (fd_ >= 0) Close();
    path_ = folder.PathOf(name);
    diskFull_.reset();
    if (!folder.IsOpen()) return Fail(ERROR_INVALID_HANDLE);
    if (auto active = fs_detail::InstalledFaults()) {
        const FileFaults& faults = active->faults;
        if (faults.unnamedFilesRefused && faults.unnamedFilesRefused(path_)) return Fail(ERROR_NOT_SUPPORTED);
        if (faults.diskFullPath && faults.diskFullPath(path_)) diskFull_ = std::move(active);
    }
    int fd;
    do {
        fd = openat(folder.Descriptor(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        // How file systems and kernels without such files refuse them.
        if (err == EOPNOTSUPP || err == EISDIR || err == EINVAL || err == ENOSYS) return Fail(ERROR_NOT_SUPPORTED);
        return fs_detail::FailForPath(err, path_);
    }
    fd_ = fd;
    return true;
}

bool FileHandle::LinkAs(const FolderHandle& folder, const std::string& name) {
    if (fd_ < 0 || !folder.IsOpen()) return Fail(ERROR_INVALID_HANDLE);
    if (name.empty() || name.find('/') != std::string::npos) return Fail(ERROR_INVALID_NAME);
    const std::string path = folder.PathOf(name);
    if (const int refused = fs_detail::RefusedName(path)) return fs_detail::FailForPath(refused, path);
    if (linkat(fd_, "", folder.Descriptor(), name.c_str(), AT_EMPTY_PATH) == 0) {
        path_ = path;
        return true;
    }
    // Linking a descriptor directly needs a capability; its /proc name needs none.
    if (errno != ENOENT && errno != EPERM) return fs_detail::FailForPath(errno, path);
    char procName[40];
    std::snprintf(procName, sizeof procName, "/proc/self/fd/%d", fd_);
    if (linkat(AT_FDCWD, procName, folder.Descriptor(), name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        path_ = path;
        return true;
    }
    const int err = errno;
    // A folder deleted meanwhile is missing; otherwise there is no /proc to link through.
    struct stat folderInfo {};
    if (err == ENOENT && fstat(folder.Descriptor(), &folderInfo) == 0 && folderInfo.st_nlink != 0)
        return Fail(ERROR_NOT_SUPPORTED);
    return fs_detail::FailForPath(err, path);
}

bool FileHandle::Read(void* buffer, std::size_t want, std::size_t& got) {
    got = 0;
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
    auto* out = static_cast<char*>(buffer);
    while (got < want) {
        const ssize_t n = read(fd_, out + got, want - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return FailErrno();
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool FileHandle::Write(const void* data, std::size_t count, std::size_t* written) {
    if (written) *written = 0;
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);

    std::size_t allowed = count;
    if (diskFull_) {
        const ULONGLONG before = diskFull_->bytesWritten.fetch_add(count);
        const ULONGLONG limit = diskFull_->faults.diskFullAfterBytes;
        allowed = before >= limit ? 0 : static_cast<std::size_t>(std::min<ULONGLONG>(count, limit - before));
    }

    const auto* in = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < allowed) {
        const ssize_t n = write(fd_, in + done, allowed - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (written) *written = done;
            return FailErrno();
        }
        if (n == 0) {
            if (written) *written = done;
            return Fail(ERROR_WRITE_FAULT);
        }
        done += static_cast<std::size_t>(n);
    }
    if (written) *written = done;
    return done == count || Fail(ERROR_DISK_FULL);
}

bool FileHandle::CopyDataFrom(FileHandle& source, std::size_t count, std::size_t& copied) {
    copied = 0;
    if (fd_ < 0 || source.fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
    // A test's full disk is counted by Write, so that case goes through memory.
    bool inKernel = !diskFull_;
    while (inKernel && copied < count) {
        const ssize_t n = copy_file_range(source.fd_, nullptr, fd_, nullptr, count - copied, 0);
        if (n > 0) {
            copied += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0) return true;  // end of the source
        if (errno == EINTR) continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EPERM) {
            inKernel = false;  // this pair of files cannot be copied in the kernel: go through memory
            break;
        }
        return FailErrno();
    }
    constexpr std::size_t kBufferSize = 256 * 1024;
    std::vector<char> buffer;
    while (copied < count) {
        if (buffer.empty()) buffer.resize(std::min(kBufferSize, count - copied));
        const std::size_t want = std::min(buffer.size(), count - copied);
        std::size_t got = 0;
        if (!source.Read(buffer.data(), want, got)) return false;
        std::size_t written = 0;
        const bool ok = got == 0 || Write(buffer.data(), got, &written);
        copied += written;
        if (!ok) return false;
        if (got < want) return true;  // the source ended
    }
    return true;
}

bool FileHandle::Seek(LONGLONG offset, SeekOrigin origin, ULONGLONG* newPosition) {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
    const int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    const off_t pos = lseek(fd_, static_cast<off_t>(offset), whence);
    if (pos < 0) return FailErrno();
    if (newPosition) *newPosition = static_cast<ULONGLONG>(pos);
    return true;
}

bool FileHandle::GetInfo(FileInfo& info) const {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
    const int err = fs_detail::StatAt(fd_, "", FileNamePart(path_), info);
    return err == 0 || Fail(ErrorFromErrno(err));
}

bool FileHandle::GetSize(ULONGLONG& size) const {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
    struct stat st {};
    if (fstat(fd_, &st) != 0) return FailErrno();
    size = static_cast<ULONGLONG>(st.st_size);
    return true;
}

bool FileHandle::SetSize(ULONGLONG size) {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
    int rc;
    do {
        rc = ftruncate(fd_, static_cast<off_t>(size));
    } while (rc != 0 && errno == EINTR);
    return rc == 0 || FailErrno();
}

bool FileHandle::Flush() {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
    return fsync(fd_) == 0 || FailErrno();
}

bool FileHandle::SetTimes(const FILETIME* creationTime, const FILETIME* lastAccessTime, const FILETIME* lastWriteTime) {
    (void)creationTime;
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
    timespec times[2];
    times[0] = lastAccessTime ? fs_detail::TimespecFromFileTime(*lastAccessTime) : timespec{0, UTIME_OMIT};
    times[1] = lastWriteTime ? fs_detail::TimespecFromFileTime(*lastWriteTime) : timespec{0, UTIME_OMIT};
    return futimens(fd_, times) == 0 || FailErrno();
}

bool FileHandle::SetPermissionBits(mode_t mode) {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
    return fchmod(fd_, mode & 0777) == 0 || FailErrno();
}

bool FileHandle::SetPermissionBitsWhereKept(mode_t mode) {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
    int err = fs_detail::InjectedErrno(&FileFaults::modeRefused, &FileFaults::modeErrno, path_);
    if (err == 0) {
        if (fchmod(fd_, mode & 0777) == 0) return true;
        err = errno;
    }
    if (!fs_detail::KeepsNoModes(err)) return Fail(ErrorFromErrno(err));
    struct stat st {};
    if (!(mode & S_IWUSR) && fstat(fd_, &st) == 0) fchmod(fd_, st.st_mode & 07555);
    return true;
}

bool FileHandle::LockExclusive() {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
    return flock(fd_, LOCK_EX | LOCK_NB) == 0 || FailErrno();
}

bool FileHandle::Close() {
    diskFull_.reset();
    if (fd_ < 0) return true;
    const int fd = std::exchange(fd_, -1);
    // Linux closes the descriptor even when close() reports EINTR, so it is never retried.
    if (close(fd) != 0 && errno != EINTR) return FailErrno();
    return true;
}

}  // namespace plat
