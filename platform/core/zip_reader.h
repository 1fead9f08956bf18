#pragma once
// A ZIP archive opened for reading: member count, exact lookups by name, member
// information and bounded extraction. Used by dunzip under the archive's lock; one reader
// is never used by two threads at once.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/core/deflated_member.h"
#include "platform/core/zip_command.h"

struct zip;

namespace plat {

// What tells one state of a file from another: a file replaced by rename has another
// inode, one rewritten in place another change time.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at `path`, or nothing when it does not exist or is not a file.
std::optional<FileStamp> StampOfFile(const std::string& path);

class ZipReader {
public:
    // Opens the archive at `path`. Fails with kZipCannotOpen when it is missing, not a
    // regular file or not a readable ZIP archive.
    static std::unique_ptr<ZipReader> Open(const std::string& path, ZipResult* error);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // The state of the file when it was opened.
    const FileStamp& stamp() const { return stamp_; }

    std::size_t count() const { return count_; }
    // The first member whose stored name is exactly these bytes.
    std::optional<std::size_t> Find(std::string_view name) const;
    // Sizes of a member; kZipDamagedMember when they are missing or over the size limit.
    ZipResult Info(std::size_t index, UnzipMemberInfo& info) const;
    // Extracts a member whole into the front of `out`. Reads never go past the member's
    // recorded size plus one byte, so data longer than recorded, a wrong password and a
    // bad checksum are all failures. On failure `out` holds unspecified bytes.
    ZipResult Extract(std::size_t index, const char* password, std::span<std::uint8_t> out) const;
    // A deflated member as it is stored, decrypted but not inflated, with the length and
    // checksum the archive records for it; nothing is checked against them until it is
    // inflated (MemberInflater). kZipDamagedMember also for a member not stored deflated.
    ZipResult ReadDeflated(std::size_t index, const char* password, DeflatedMember& out) const;

private:
    ZipReader(zip* archive, const FileStamp& stamp);

    zip* archive_;
    FileStamp stamp_;
    std::size_t count_ = 0;
    std::unordered_map<std::string, std::size_t> indexByName_;
};

}  // namespace plat
