#pragma once
// An open folder that calls work in by name: the kernel then looks up one name instead of
// walking the whole path again for every call on a file of that folder. The folder's path
// is kept for error codes and the test faults, which see the same full paths as the calls
// that take paths. Every call that fails returns false with the last error set.

#include <string>
#include <string_view>

#include "platform/core/file_info.h"
#include "platform/core/file_ops.h"
#include "platform/core/owned_fd.h"
#include "platform/core/win_types.h"

namespace plat {

class FolderHandle {
public:
    FolderHandle() = default;

    // The folder at `path`, links on the way followed as a path is. ERROR_PATH_NOT_FOUND
    // when it is missing or not a folder.
    bool Open(const std::string& path);
    // The folder `relative` (parts separated by '/') below the open folder `root`, every
    // part a real folder: ERROR_ACCESS_DENIED for a symbolic link on the way,
    // ERROR_PATH_NOT_FOUND for a file or a missing part. Empty: `root` itself again.
    bool OpenBelow(const FolderHandle& root, const std::string& relative);

    bool IsOpen() const { return fd_.IsValid(); }
    // Why the last Open or OpenBelow failed; ERROR_SUCCESS when the folder is open.
    DWORD OpenError() const { return openError_; }
    // The file system's type number (statfs's f_type), looked up once; 0 when unknown.
    long FileSystemType() const;
    int Descriptor() const { return fd_.Get(); }
    const std::string& path() const { return path_; }
    std::string PathOf(std::string_view name) const;

    // The entry `name` itself (a link is not followed), with errors as LookUpFileInfo's.
    bool LookUp(const std::string& name, FileInfo& info) const;
    // Renames the entry `from` to `to`, both in this folder, as MoveFile does.
    bool Move(const std::string& from, const std::string& to, MoveMode mode) const;
    // A file or link of this folder, as DeleteFile.
    bool Delete(const std::string& name) const;
    // As SetFileTimes for the entry `name` (a link's own times).
    bool SetTimes(const std::string& name, const FILETIME* lastAccessTime, const FILETIME* lastWriteTime) const;

private:
    bool Opened(int fd);

    OwnedFd fd_;
    std::string path_;
    DWORD openError_ = ERROR_PATH_NOT_FOUND;
    mutable long fileSystemType_ = -1;  // -1: not looked up yet
};

}  // namespace plat
