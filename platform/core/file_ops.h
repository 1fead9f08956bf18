#pragma once
// Creating, deleting, moving files and folders and setting their times and attributes.
// Every function returns false on failure with the last error set to the code the
// program tests: ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND (a folder on the way is
// missing), ERROR_ACCESS_DENIED, ERROR_ALREADY_EXISTS, ERROR_DIR_NOT_EMPTY,
// ERROR_DISK_FULL, ERROR_FILENAME_EXCED_RANGE...

#include <string>
#include <sys/types.h>

#include "platform/core/win_types.h"

namespace plat {

// One folder. ERROR_ALREADY_EXISTS when anything is there already.
bool CreateFolder(const std::string& path);

// The folder and every missing folder above it. True only when the whole path is a
// folder afterwards; a folder that already exists counts as success.
bool CreateFolderWithParents(const std::string& path);

// True when every folder on the way down from `root` through `relativeFolders` (parts
// separated by '/') that exists is a real folder, neither a symbolic link nor a file. The
// first part that does not exist ends the check with true: what is missing would be made
// as a real folder. False sets the last error: ERROR_ACCESS_DENIED for a link on the way,
// ERROR_PATH_NOT_FOUND for a file. `root` itself may be reached through links. One call into the file
// system where it can check the whole way at once, so a deep path costs no more calls
// than a shallow one.
bool FoldersBelowAreReal(const std::string& root, const std::string& relativeFolders);

// A file or a symbolic link (the link itself). A folder is refused with access denied.
bool DeleteFile(const std::string& path);

// A regular file that no process holds an exclusive lock on (FileHandle::LockExclusive):
// ERROR_SHARING_VIOLATION while one does. For files a crashed writer may have left behind,
// which a live writer keeps locked; a process that dies releases its locks.
bool DeleteUnlockedFile(const std::string& path);

// An empty folder. ERROR_DIR_NOT_EMPTY when something is left in it.
bool RemoveFolder(const std::string& path);

// A folder and everything below it, for good. Symbolic links are removed themselves
// and never followed, so nothing outside the tree is touched; other file systems
// mounted inside the tree are not entered. Goes on past entries it cannot delete and
// reports the first failure. A file or link given directly is deleted alone.
bool DeleteTree(const std::string& path);

enum class MoveMode {
    NoReplace,        // fails with ERROR_ALREADY_EXISTS when `to` exists
    ReplaceExisting,  // replaces a writable file; a read-only file or a folder is refused
};

// Renames within one file system; never copies.
bool MoveFile(const std::string& from, const std::string& to, MoveMode mode);

// Sets the times that are given (null leaves a time as it is). A symbolic link's own
// times are set, its target's never. The creation time cannot be set on this platform
// and is ignored.
bool SetFileTimes(const std::string& path, const FILETIME* creationTime, const FILETIME* lastAccessTime,
                  const FILETIME* lastWriteTime);

// Read-only on a file removes every write bit; clearing it gives the owner write
// access again. Read-only on a folder must not stop files being written inside it,
// so it is not applied to folders; hidden follows from the name and cannot be set.
// Symbolic links are left alone.
bool SetFileAttributes(const std::string& path, DWORD attributes);

// The POSIX permission bits (0777 part) of a file or folder; links are left alone.
bool SetPermissionBits(const std::string& path, mode_t mode);

}  // namespace plat
