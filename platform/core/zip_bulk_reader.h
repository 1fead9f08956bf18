#pragma once
// Reading many members of an archive in one pass: the central directory once, the stored
// members in one read, and the members decrypted (traditional PKWARE), inflated and
// checked on a few threads at once. Reading member by member through libzip opens each
// one as a chain of sources and reads its header through the file (about 14 us a member),
// so a history of 100,000 records would take seconds.
//
// Takes archives in the plain form of zip_layout.h; for others it says so, and the caller
// reads them member by member.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

struct BulkExtraction {
    // Which members are wanted: the slot (below `slotCount`) a member's name goes to, or
    // nothing. Of two members of one name the first in the directory is taken.
    std::function<std::optional<std::size_t>(std::string_view name)> slotOf;
    std::size_t slotCount = 0;
    // Members larger than this are damaged here.
    std::size_t maxSize = 0;
    const char* password = nullptr;
    // Called with each sound member, from several threads at once, each slot once.
    std::function<void(std::size_t slot, std::span<const std::uint8_t> bytes)> take;
};

struct BulkExtractionResult {
    int result = 0;                    // a ZipResult: kZipOk, or kZipCannotOpen (last error set)
    std::vector<std::size_t> damaged;  // slots of members that were not sound, ascending
};

// Extracts the chosen members of the archive at `path` (its lock held by the caller).
// Nothing when the file is there but not in the plain form.
std::optional<BulkExtractionResult> ExtractMembers(const std::string& path, const BulkExtraction& what);

// The member count from the end records of the archive at `path`, without reading its
// directory; nothing when they are missing or not in the plain form.
std::optional<std::uint64_t> CountMembersFromEnd(const std::string& path);

}  // namespace plat
