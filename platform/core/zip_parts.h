#pragma once
// Writing a whole archive from parts ready to be stored: members taken byte for byte as
// another archive (read whole, zip_image.h) stores them, and new members deflated and
// encrypted beforehand (on any thread). Nothing is inflated, deflated, decrypted or
// encrypted while the archive is written, so the write is one pass over its bytes.
//
// The archive is written in the plain form of zip_layout.h.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/core/deflated_member.h"
#include "platform/core/zip_image.h"

namespace plat {

struct ZipPart {
    std::string name;
    // A member as another archive stores it; that archive's image outlives the write.
    const ZipImage::Member* stored = nullptr;
    // Otherwise a new member: its deflated stream as stored (encrypted: with its
    // encryption header first), and the checksum and length of what it inflates to.
    std::vector<std::uint8_t> data;
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
    bool encrypted = false;
};

// A new member of `member`'s stream, encrypted with `password` (traditional PKWARE) when
// one is given. Throws std::bad_alloc when memory runs out.
ZipPart MakeDeflatedPart(std::string name, const DeflatedMember& member, const char* password);

// Writes an archive at `path` that holds exactly `parts`, in their order, stored as they
// are. It is made under a temporary name beside `path` ("<path>.XXXXXX"), flushed and
// renamed over it, so `path` holds either what it held or the whole new archive. Refuses a
// path where something other than a regular file stands, and parts beyond the plain
// form's sizes. Returns a ZipResult (0 on success).
int WriteZipParts(const std::string& path, std::span<const ZipPart> parts);

}  // namespace plat
