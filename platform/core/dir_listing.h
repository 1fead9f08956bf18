#pragma once
// Listing a folder's entries with their attributes, sizes and times. Symbolic links
// inside the folder are reported as links and never followed. A listing that cannot
// start or fails half-way says so; it never looks like an empty folder.

#include <dirent.h>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/file_info.h"

namespace plat {

namespace fs_detail {
struct ActiveFaults;
}

struct DirEntry : FileInfo {
    std::string name;  // the name's bytes as stored; any bytes, not only UTF-8
};

class DirectoryReader {
public:
    DirectoryReader() = default;
    ~DirectoryReader();
    DirectoryReader(DirectoryReader&& other) noexcept;
    DirectoryReader& operator=(DirectoryReader&& other) noexcept;
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    // Starts listing `folder` (a link to a folder is followed here, as the folder asked
    // for). False, with the last error set, when it cannot be listed.
    bool Open(const std::string& folder);

    // The next entry, never "." or "..". False at the end (error() is
    // ERROR_NO_MORE_FILES) or when the listing failed (error() tells why, and the
    // last error is set).
    bool Next(DirEntry& entry);

    bool IsOpen() const { return dir_ != nullptr; }
    bool Failed() const { return error_ != ERROR_SUCCESS && error_ != ERROR_NO_MORE_FILES; }
    DWORD error() const { return error_; }
    void Close();

private:
    bool FailWith(DWORD code);

    DIR* dir_ = nullptr;
    std::string folder_;
    DWORD error_ = ERROR_SUCCESS;
    ULONGLONG delivered_ = 0;
    std::shared_ptr<fs_detail::ActiveFaults> faults_;  // set only when a test fails this folder
};

// Every entry of `folder`. False, with the last error set, when the folder could not be
// listed completely; `entries` then holds what was read before the failure.
bool ListFolder(const std::string& folder, std::vector<DirEntry>& entries);

}  // namespace plat
