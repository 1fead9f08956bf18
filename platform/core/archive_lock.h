#pragma once
// One lock per archive file inside the process. Every read and write of an archive holds
// it, so a reader never meets a half-replaced file and two writers never lose each
// other's members. A store holds it across a read-modify-write of a member; the calls
// made inside take it again, which the owning thread may do.

#include <string>
#include <string_view>

namespace plat {

namespace detail {
struct ArchiveLockSlot;
}

class ArchiveLock {
public:
    explicit ArchiveLock(std::string_view archivePath);
    ~ArchiveLock();
    ArchiveLock(const ArchiveLock&) = delete;
    ArchiveLock& operator=(const ArchiveLock&) = delete;

    // The normalised path the lock is keyed by: two spellings of one file share a lock.
    const std::string& key() const { return key_; }

private:
    std::string key_;
    detail::ArchiveLockSlot* slot_;  // owned by the process-wide table
};

// Absolute, with "." and ".." removed and the existing part of the path resolved through
// symbolic links; the file itself need not exist.
std::string NormalizeArchivePath(std::string_view archivePath);

}  // namespace plat
