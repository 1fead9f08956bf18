#pragma once
// What the file layer reports about one file-system entry: its attribute bits
// (FILE_ATTRIBUTE_*, derived from the POSIX mode), its size and its three times.

#include <string>
#include <sys/types.h>

#include "platform/core/win_types.h"

namespace plat {

enum class EntryKind {
    File,
    Folder,
    SymbolicLink,  // never followed; FILE_ATTRIBUTE_REPARSE_POINT is set
    Special,       // device, pipe or socket: never opened by the file layer
};

struct FileInfo {
    EntryKind kind = EntryKind::File;
    DWORD attributes = 0;
    ULONGLONG size = 0;     // 0 for folders, links and special entries
    FILETIME creationTime;  // birth time where the file system keeps one, else last write
    FILETIME lastAccessTime;
    FILETIME lastWriteTime;
    mode_t mode = 0;  // the POSIX permission bits (07777)

    bool IsFolder() const { return kind == EntryKind::Folder; }
    bool IsFile() const { return kind == EntryKind::File; }
    bool IsSymbolicLink() const { return kind == EntryKind::SymbolicLink; }
};

// Attribute bits for an entry of the given POSIX type and mode and the given name:
// directory; read-only when the owner may not write; hidden when the name starts with a
// dot; reparse point for a symbolic link; system for devices, pipes and sockets;
// normal when no other bit applies.
DWORD AttributesFromMode(mode_t mode, const std::string& name);

// Facts about one path, without following a symbolic link in its last component.
// Sets the last error and returns false when it cannot be looked at.
bool GetFileInfo(const std::string& path, FileInfo& info);

// As GetFileInfo, for a probe that is often answered "nothing there": a missing entry is
// ERROR_FILE_NOT_FOUND whether or not its folder exists (one system call fewer).
bool LookUpFileInfo(const std::string& path, FileInfo& info);
// INVALID_FILE_ATTRIBUTES (and the last error) when the path cannot be looked at.
DWORD GetFileAttributes(const std::string& path);

bool PathExists(const std::string& path);    // anything, links included (not followed)
bool IsFolderPath(const std::string& path);  // a folder, following links on the way
bool IsFilePath(const std::string& path);    // a regular file, not a link
// True when both paths, links followed, lead to one file-system object (same device and
// inode): a folder and a link to it, or two mounts of one folder.
bool IsSameFileObject(const std::string& a, const std::string& b);

}  // namespace plat
