#include "platform/core/dir_listing.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include "platform/core/errors.h"
#include "platform/core/file_faults_detail.h"
#include "platform/core/file_system_detail.h"
#include "platform/core/text.h"

namespace plat {

DirectoryReader::~DirectoryReader() { Close(); }

DirectoryReader::DirectoryReader(DirectoryReader&& other) noexcept
    : dir_(std::exchange(other.dir_, nullptr)),
      folder_(std::move(other.folder_)),
      error_(other.error_),
      delivered_(other.delivered_),
      faults_(std::move(other.faults_)) {}

DirectoryReader& DirectoryReader::operator=(DirectoryReader&& other) noexcept {
    if (this != &other) {
        Close();
        dir_ = std::exchange(other.dir_, nullptr);
        folder_ = std::move(other.folder_);
        error_ = other.error_;
        delivered_ = other.delivered_;
        faults_ = std::move(other.faults_);
    }
    return *this;
}

void DirectoryReader::Close() {
    if (dir_) closedir(dir_);
    dir_ = nullptr;
    faults_.reset();
}

bool DirectoryReader::FailWith(DWORD code) {
    Close();
    error_ = code;
    SetLastError(code);
    return false;
}

bool DirectoryReader::Open(const std::string& folder) {
    Close();
    folder_ = folder;
    error_ = ERROR_SUCCESS;
    delivered_ = 0;
    if (folder.empty()) return FailWith(ERROR_PATH_NOT_FOUND);

    if (auto active = fs_detail::InstalledFaults();
        active && active->faults.unlistableFolder && active->faults.unlistableFolder(folder)) {
        if (active->faults.listFailsAfter == 0) return FailWith(active->faults.listError);
        faults_ = std::move(active);
    }

    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        return FailWith(fs_detail::ErrorForPath(err, folder));
    }
    dir_ = fdopendir(fd);
    if (!dir_) {
        const int err = errno;
        close(fd);
        return FailWith(ErrorFromErrno(err));
    }
    return true;
}

bool DirectoryReader::Next(DirEntry& entry) {
    if (!dir_) {
        if (error_ == ERROR_SUCCESS) error_ = ERROR_INVALID_HANDLE;
        SetLastError(error_);
        return false;
    }
    if (faults_ && delivered_ >= faults_->faults.listFailsAfter) return FailWith(faults_->faults.listError);

    for (;;) {
        errno = 0;
        const dirent* found = readdir(dir_);
        if (!found) {
            if (errno != 0) {
                const int err = errno;
                return FailWith(ErrorFromErrno(err));
            }
            Close();
            error_ = ERROR_NO_MORE_FILES;
            SetLastError(error_);
            return false;
        }
        if (std::strcmp(found->d_name, ".") == 0 || std::strcmp(found->d_name, "..") == 0) continue;

        entry.name = found->d_name;
        const int err = fs_detail::StatAt(dirfd(dir_), found->d_name, entry.name, entry);
        // An entry deleted since the folder was read is simply no longer there.
        if (err == ENOENT) continue;
        if (err != 0) return FailWith(ErrorFromErrno(err));
        ++delivered_;
        return true;
    }
}

bool ListFolder(const std::string& folder, std::vector<DirEntry>& entries) {
    DirectoryReader reader;
    if (!reader.Open(folder)) return false;
    DirEntry entry;
    while (reader.Next(entry)) entries.push_back(entry);
    if (reader.Failed()) {
        SetLastError(reader.error());
        return false;
    }
    return true;
}

}  // namespace plat
