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

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/model/file_info.h"
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

// Builds one side's catalog archive: gathers rows in a block buffer and writes each
// block as the next member, a full block when the next row arrives and the rest at
// Finish. One thread appends; RowsWritten may be read from any thread.
class CatalogWriter {
public:
    enum class AppendResult {
        kAdded,
        kRowRefused,   // the name does not fit a row; nothing was added
        kOutOfMemory,  // the block buffer could not be allocated
        kWriteFailed,  // the full block could not be written; the writer has failed
    };

    CatalogWriter(std::string archivePath, std::wstring rootFolder);
    CatalogWriter(const CatalogWriter&) = delete;
    CatalogWriter& operator=(const CatalogWriter&) = delete;

    AppendResult Append(const CFileInfo2& row);
    // Writes the rows still gathered as the last member and frees the buffer. True when
    // there was nothing to write or the member was written.
    bool Finish();
    // Frees the block buffer without writing it.
    void Discard();

    bool Failed() const { return failed_; }
    // Rows in members already written.
    std::uint32_t RowsWritten() const { return rowsWritten_.load(); }
    std::uint32_t MembersWritten() const { return memberIndex_; }

private:
    bool WriteBlock();

    std::string archivePath_;
    std::wstring rootFolder_;
    std::unique_ptr<std::uint8_t[]> buffer_;  // kCatalogBlockBufferSize bytes, or null
    std::uint32_t rowsInBlock_ = 0;
    std::uint32_t memberIndex_ = 0;
    std::atomic<std::uint32_t> rowsWritten_{0};
    bool failed_ = false;
};

// A zero-filled block buffer of kCatalogBlockBufferSize bytes, or null when memory is short.
std::unique_ptr<std::uint8_t[]> AllocateCatalogBlockBuffer();
