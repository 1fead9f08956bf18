#pragma once
// The catalog archive "_qb_sync._if" of one side: what that side held when the last Sync
// ended. Its members "Qbinf", "Qbinf1", "Qbinf2"... are blocks of at most 4,096 rows,
// written in order; every member but the last is full.
//
// Block: a 2,052-byte header (u32 row count, the side's root folder as NUL-terminated
// UTF-16LE in 2,044 bytes, u32 layout number) and the rows. Rows of layout 2 and above
// are 2,072 bytes: u32 size low, u32 size high, u32 attributes, last-write FILETIME (UTC)
// as two u32 halves, the relative path as NUL-terminated UTF-16LE in 2,052 bytes. Blocks
// of layout 0 and 1 hold 4,120-byte rows with the path at 2,068. All little-endian; only
// layout 3 is written.
//
// In memory a row is a CFileInfo2 whose time is UTC seconds since 1970, so a row written
// and read back keeps its time exactly, whatever the time zone did in between.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/catalog/catalog_row_table.h"
#include "engine/model/file_info.h"
#include "platform/core/deflated_member.h"
#include "platform/core/win_types.h"

inline constexpr std::size_t kCatalogHeaderSize = 2052;
inline constexpr std::size_t kCatalogRecordSize = 2072;
inline constexpr std::size_t kCatalogOldRecordSize = 4120;
inline constexpr std::uint32_t kCatalogRowsPerBlock = 4096;
inline constexpr std::uint32_t kCatalogLayout = 3;
// Below this layout number a block holds the older, longer rows.
inline constexpr std::uint32_t kCatalogFirstShortRowLayout = 2;

// UTF-16 code units that fit before the NUL of the folder and name fields.
inline constexpr std::size_t kCatalogFolderMaxUnits = 1021;
inline constexpr std::size_t kCatalogNameMaxUnits = 1025;

// Bytes of a layout-3 block of `rowCount` rows.
constexpr std::size_t CatalogBlockSize(std::uint32_t rowCount) {
    return kCatalogHeaderSize + std::size_t{rowCount} * kCatalogRecordSize;
}
// A full block: 8,488,964 bytes.
inline constexpr std::size_t kCatalogBlockBufferSize = CatalogBlockSize(kCatalogRowsPerBlock);

// Fills one layout-3 row in place. False, and the row all zero, when the name holds a NUL
// or needs more than kCatalogNameMaxUnits code units: a row is never cut, since a cut
// name would name another item.
bool FillCatalogRecord(const CFileInfo2& src, std::span<std::uint8_t, kCatalogRecordSize> row);

// Fills the header of a block of `rowCount` rows. The root folder is informative only
// (no reader uses it): a longer one is cut to its field and the function returns false.
bool FillCatalogHeader(std::span<std::uint8_t, kCatalogHeaderSize> header, std::uint32_t rowCount,
                       std::wstring_view rootFolder);

// The rows of one member.
struct CatalogBlockRows {
    std::uint32_t layout = 0;
    std::vector<CFileInfo2> rows;  // in the member's order; flag 0; a time before 1900 is 0
};

// Decodes one member. Nothing when it cannot be trusted: shorter than the header, more
// than 4,096 rows, a size that is not exactly the header and its rows, a name without a
// NUL inside its field, or a time that names no calendar date. Never reads outside
// `member`.
std::optional<CatalogBlockRows> ParseCatalogBlock(std::span<const std::uint8_t> member);
// The same for a member as the archive stores it, inflated a few rows at a time so that
// the member's 8.5 MB are never held at once. Also nothing when its stream is damaged or
// does not inflate to exactly its stated length and checksum.
std::optional<CatalogBlockRows> InflateCatalogBlock(const plat::DeflatedMember& member);

// One block's rows as a Sync gathers them: each name once as UTF-8 and the values, as the
// Check keeps the rows it reads, so that a block can be told the same as a stored one row
// by row. A row is put in its stored form only when the block is made into a member or
// compared with one's bytes. 4,096 rows of short names take about 200 KB instead of the
// block's 8.5 MB.
class CatalogBlock {
public:
    // Adds a row; false, and the block as it was, when FillCatalogRecord refuses the row.
    // Throws std::bad_alloc when memory runs out.
    bool Add(const CFileInfo2& row);
    bool Add(std::string_view name, ULONGLONG size, DWORD attributes, LONGLONG time);
    std::uint32_t RowCount() const { return static_cast<std::uint32_t>(rows_.size()); }
    const CatalogRowTable::Chunk& Rows() const { return rows_; }

    // Row `index` in its stored form as far as its name's NUL (the rest is zeros); returns
    // how many bytes that is.
    std::size_t EncodeRowStart(std::size_t index, std::span<std::uint8_t, kCatalogRecordSize> row) const;
    // The checksum of the member's bytes (`header` with this block's row count, then every
    // row at its full size), found without making them.
    std::uint32_t Checksum(std::span<const std::uint8_t, kCatalogHeaderSize> header) const;
    // Hands the member's bytes to `sink` in order and in pieces no longer than `chunk`
    // (made in it; at least one row long): `header` with this block's row count, then every
    // row at its full size. Stops when the sink returns false, and returns false then.
    bool Render(std::span<const std::uint8_t, kCatalogHeaderSize> header, std::span<std::uint8_t> chunk,
                const std::function<bool(std::span<const std::uint8_t>)>& sink) const;

private:
    CatalogRowTable::Chunk rows_;
};

// True when none of the `count` bytes from `bytes` is set: a row's tail after its name.
bool AllZeroBytes(const std::uint8_t* bytes, std::size_t count);
