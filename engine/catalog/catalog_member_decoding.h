#pragma once
// Decoding one catalog member into the compact rows the Check keeps, in one pass over
// its bytes as they inflate, a few rows at a time.
//
// A member whose bytes are exactly what this program writes for its rows under the side's
// root folder is marked canonical: layout 3, the header as the writer makes it, every
// byte after a name's NUL zero, every time a whole second, every name spelled as the
// writer spells it. Such a member is known byte for byte from its rows alone, so a Sync
// can tell that a new block comes out the same as it without reading it again; and its
// checksum is found from the rows' beginnings alone, the zeros being counted rather than
// gone over.

#include <cstdint>
#include <optional>
#include <span>

#include "engine/catalog/catalog_format.h"
#include "engine/catalog/catalog_row_table.h"
#include "platform/core/deflated_member.h"

struct DecodedCatalogMember {
    std::uint32_t layout = 0;
    bool canonical = false;
    CatalogRowTable::Chunk rows;  // in the member's order; a time before 1900 is 0
};

// The header the writer makes for a block of `rowCount` rows under `rootFolder`.
std::array<std::uint8_t, kCatalogHeaderSize> CanonicalCatalogHeader(std::uint32_t rowCount,
                                                                    std::wstring_view rootFolder);

// Decodes a member as the archive stores it: nothing when it cannot be trusted (as for
// ParseCatalogBlock), when its stream is damaged, or when it does not inflate to exactly
// its stated length and checksum. `rootFolder` is the folder a canonical member names.
// Throws std::bad_alloc when memory runs out.
std::optional<DecodedCatalogMember> DecodeCatalogMember(const plat::DeflatedMember& member,
                                                        std::wstring_view rootFolder);
// The same for a member's bytes as they are, whose checksum the caller has checked.
std::optional<DecodedCatalogMember> DecodeCatalogBytes(std::span<const std::uint8_t> member,
                                                       std::wstring_view rootFolder);
