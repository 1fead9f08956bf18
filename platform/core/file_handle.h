#pragma once
// An open regular file. Closing happens when the object goes; Close() reports what
// closing found (a delayed write error, for example). Every call that fails returns
// false with the last error set to the code the program tests.

#include <cstddef>
#include <memory>
#include <string>
#include <sys/types.h>

#include "platform/core/file_info.h"
#include "platform/core/win_types.h"

namespace plat {

namespace fs_detail {
struct ActiveFaults;
}
class FolderHandle;

enum class FileOpenMode {
    Read,                  // an existing file, for reading
    CreateNew,             // a new file for writing; ERROR_FILE_EXISTS when the path exists
    CreateOrTruncate,      // a new or emptied file for writing
    OpenExistingForWrite,  // an existing file for writing, kept as it is
};

enum class SeekOrigin { Begin, Current, End };

class FileHandle {
public:
    // Refuse to open a symbolic link in the last part of the path.
    static constexpr unsigned kNoFollow = 0x1;

    FileHandle() = default;
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Only regular files open; a folder, device or pipe gives ERROR_ACCESS_DENIED. A
    // read-only file (no owner write bit) is never opened for writing, whoever runs us:
    // ERROR_ACCESS_DENIED. New files get the permission bits 0666 less the umask.
    bool Open(const std::string& path, FileOpenMode mode, unsigned flags = 0);
    // As Open, for the entry `name` of an open folder (one name: no '/'), so the kernel
    // walks no path. `opened`, when given, receives the open file's facts, saving a stat.
    bool OpenIn(const FolderHandle& folder, const std::string& name, FileOpenMode mode, unsigned flags = 0,
                FileInfo* opened = nullptr);
    // A new file in `folder` that has no name yet (O_TMPFILE): it vanishes with its handle
    // unless LinkAs gives it one, so nothing is left behind when the program is killed.
    // `name` is the name it is meant to get (for the test faults and error codes). A file
    // system that makes no such files (FAT, FUSE drivers, NFS) gives ERROR_NOT_SUPPORTED.
    bool CreateUnnamedIn(const FolderHandle& folder, const std::string& name);
    // Gives the unnamed file made by CreateUnnamedIn the name `name` in `folder`; never
    // replaces an entry of that name: ERROR_ALREADY_EXISTS. ERROR_NOT_SUPPORTED where the
    // kernel lets no one but a privileged process link a descriptor and /proc is missing.
    bool LinkAs(const FolderHandle& folder, const std::string& name);

    // Up to `want` bytes; `got` is less than `want` only at the end of the file.
    bool Read(void* buffer, std::size_t want, std::size_t& got);
    // All `count` bytes, or false; `written` (when given) tells how many got through.
    bool Write(const void* data, std::size_t count, std::size_t* written = nullptr);
    // Copies up to `count` bytes from `source`'s position to this file's position, inside
    // the kernel where it can (copy_file_range), else through memory. `copied` is less than
    // `count` only at the end of the source. Failures as for Read and Write.
    bool CopyDataFrom(FileHandle& source, std::size_t count, std::size_t& copied);
    bool Seek(LONGLONG offset, SeekOrigin origin, ULONGLONG* newPosition = nullptr);
    bool GetSize(ULONGLONG& size) const;
    // The open file's own facts (kind, attributes, size, times), whatever its path names now.
    bool GetInfo(FileInfo& info) const;
    bool SetSize(ULONGLONG size);
    // Data and metadata on the disk (fsync).
    bool Flush();
    // As plat::SetFileTimes: null leaves a time alone; the creation time is ignored.
    bool SetTimes(const FILETIME* creationTime, const FILETIME* lastAccessTime, const FILETIME* lastWriteTime);
    bool SetPermissionBits(mode_t mode);
    // The permission bits as far as the file system keeps them. One that keeps no Unix
    // modes (FAT, exFAT) refuses them with EPERM, ENOSYS or EOPNOTSUPP: then only a mode
    // without the owner's write bit is carried, as the read-only attribute, where the file
    // system has one. False only when the file system failed otherwise.
    bool SetPermissionBitsWhereKept(mode_t mode);
    // An advisory lock on the whole file until it is closed (flock), without waiting; it
    // tells DeleteUnlockedFile that the file is being written. False when another process
    // holds one, or the file system cannot lock.
    bool LockExclusive();
    // Closes now; false when closing reported an error.
    bool Close();

    bool IsOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

private:
    bool OpenAt(int dirFd, const std::string& name, const std::string& path, FileOpenMode mode, unsigned flags,
                FileInfo* opened);

    int fd_ = -1;
    std::string path_;
    std::shared_ptr<fs_detail::ActiveFaults> diskFull_;  // set only when a test fills the disk
};

}  // namespace plat
