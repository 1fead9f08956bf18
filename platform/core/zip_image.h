#pragma once
// An archive read whole into memory at once: its directory parsed, each member's stored
// bytes at hand. For reading every member of an archive on several threads, and for
// taking members as they are stored into a new archive without decrypting them.
//
// Takes archives in the plain form of zip_layout.h; for others it says so, and the caller
// goes the general way through libzip.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/core/deflated_member.h"
#include "platform/core/zip_layout.h"
#include "platform/core/zip_reader.h"

namespace plat {

class ZipImage {
public:
    struct Member {
        ZipDirectoryEntry entry;                  // its name points into the image
        std::span<const std::uint8_t> stored;     // local header, name, extra field, data, descriptor
        std::span<const std::uint8_t> data;       // the data alone, with its encryption header when encrypted
        std::span<const std::uint8_t> directory;  // its central directory entry
        bool Encrypted() const { return (entry.flags & 0x0001) != 0; }
    };

    enum class Outcome {
        kRead,
        kCannotRead,  // missing, not a regular file, or a read failed (last error set)
        kNotPlain,    // readable, but not an archive in the plain form
    };

    // Reads the file at `path` whole, in one read.
    static Outcome Read(const std::string& path, std::unique_ptr<ZipImage>& image);

    // The file as it was when it was read.
    const FileStamp& stamp() const { return stamp_; }
    std::size_t count() const { return members_.size(); }
    const Member& member(std::size_t index) const { return members_[index]; }
    // The first member in the directory whose stored name is exactly these bytes.
    std::optional<std::size_t> Find(std::string_view name) const;

    // A deflated member's stream, decrypted with `password` when it is encrypted, with the
    // checksum and length the directory records; nothing is checked against them here.
    // False when the member is not deflated, or the password's check byte is wrong.
    bool Deflated(std::size_t index, const char* password, DeflatedMember& out) const;
    // A member stored without compression: its bytes, decrypted. False as above.
    bool Stored(std::size_t index, const char* password, std::vector<std::uint8_t>& out) const;

private:
    ZipImage() = default;
    bool Decrypt(const Member& member, const char* password, std::vector<std::uint8_t>& out) const;

    FileStamp stamp_;
    std::vector<std::uint8_t> bytes_;
    std::vector<Member> members_;
    std::unordered_map<std::string_view, std::size_t> indexByName_;
};

}  // namespace plat
