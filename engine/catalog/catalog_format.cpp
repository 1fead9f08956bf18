#include "engine/catalog/catalog_format.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/core/file_time.h"
#include "platform/core/text.h"

namespace {

// Header fields.
constexpr std::size_t kRowCountOffset = 0;
constexpr std::size_t kFolderOffset = 4;
constexpr std::size_t kFolderSize = 2044;
constexpr std::size_t kLayoutOffset = 2048;
static_assert(kLayoutOffset + 4 == kCatalogHeaderSize);

// Row fields; the older rows differ only in where the name lies.
constexpr std::size_t kSizeLowOffset = 0;
constexpr std::size_t kSizeHighOffset = 4;
constexpr std::size_t kAttributesOffset = 8;
constexpr std::size_t kTimeLowOffset = 12;
constexpr std::size_t kTimeHighOffset = 16;
constexpr std::size_t kNameOffset = 20;
constexpr std::size_t kOldNameOffset = 2068;
constexpr std::size_t kNameSize = 2052;
static_assert(kNameOffset + kNameSize == kCatalogRecordSize);
static_assert(kOldNameOffset + kNameSize == kCatalogOldRecordSize);
static_assert(kFolderSize / 2 - 1 == kCatalogFolderMaxUnits);
static_assert(kNameSize / 2 - 1 == kCatalogNameMaxUnits);

void PutU32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t{bytes[offset + i]} << (8 * i);
    return value;
}

// Rows dated before 1900 read as time 0, which no real file time is within 2 s of.
// False when the FILETIME names no calendar date at all.
bool RowTimeFromFileTime(const FILETIME& fileTime, LONGLONG& seconds) {
    SYSTEMTIME calendar{};
    if (!FileTimeToSystemTime(&fileTime, &calendar)) return false;
    seconds = calendar.wYear < 1900 ? 0 : plat::FileTimeToUnixSeconds(fileTime);
    return true;
}

std::optional<CFileInfo2> ParseRow(std::span<const std::uint8_t> row, std::size_t nameOffset) {
    bool terminated = false;
    std::wstring name = plat::ReadUtf16Field(row.subspan(nameOffset, kNameSize), &terminated);
    if (!terminated) return std::nullopt;

    FILETIME lastWrite;
    lastWrite.dwLowDateTime = GetU32(row, kTimeLowOffset);
    lastWrite.dwHighDateTime = GetU32(row, kTimeHighOffset);
    LONGLONG time = 0;
    if (!RowTimeFromFileTime(lastWrite, time)) return std::nullopt;

    const ULONGLONG size = (ULONGLONG{GetU32(row, kSizeHighOffset)} << 32) | GetU32(row, kSizeLowOffset);
    CFileInfo2 result;
    result.Set(plat::WideToUtf8(name), size, GetU32(row, kAttributesOffset), time, 0);
    return result;
}

// Writes a row's fields and its name with the NUL into `row`, leaving the bytes after the
// NUL as they are. Returns how many bytes it wrote, 0 when the row cannot be stored: a
// name holding a NUL or needing more than kCatalogNameMaxUnits code units.
std::size_t EncodeRowStart(const CFileInfo2& src, std::span<std::uint8_t, kCatalogRecordSize> row) {
    if (src.name.find('\0') != std::string::npos) return 0;
    const std::u16string name = plat::WideToUtf16(plat::Utf8ToWide(src.name));
    if (name.size() > kCatalogNameMaxUnits) return 0;
    const FILETIME lastWrite = plat::FileTimeFromUnixSeconds(src.time);
    PutU32(row, kSizeLowOffset, static_cast<std::uint32_t>(src.size));
    PutU32(row, kSizeHighOffset, static_cast<std::uint32_t>(src.size >> 32));
    PutU32(row, kAttributesOffset, src.attributes);
    PutU32(row, kTimeLowOffset, lastWrite.dwLowDateTime);
    PutU32(row, kTimeHighOffset, lastWrite.dwHighDateTime);
    std::size_t at = kNameOffset;
    for (const char16_t unit : name) {
        row[at++] = static_cast<std::uint8_t>(unit & 0xFF);
        row[at++] = static_cast<std::uint8_t>(unit >> 8);
    }
    row[at++] = 0;
    row[at++] = 0;
    return at;
}

// What a block's header says of its rows, checked against the member's length.
struct BlockShape {
    std::uint32_t rowCount = 0;
    std::uint32_t layout = 0;
    std::size_t rowSize = 0;
    std::size_t nameOffset = 0;
};

std::optional<BlockShape> ShapeOf(std::span<const std::uint8_t> header, std::uint64_t memberSize) {
    BlockShape shape;
    shape.rowCount = GetU32(header, kRowCountOffset);
    if (shape.rowCount > kCatalogRowsPerBlock) return std::nullopt;
    shape.layout = GetU32(header, kLayoutOffset);
    const bool olderRows = shape.layout < kCatalogFirstShortRowLayout;
    shape.rowSize = olderRows ? kCatalogOldRecordSize : kCatalogRecordSize;
    shape.nameOffset = olderRows ? kOldNameOffset : kNameOffset;
    if (memberSize != kCatalogHeaderSize + std::uint64_t{shape.rowCount} * shape.rowSize) return std::nullopt;
    return shape;
}

}  // namespace

bool FillCatalogRecord(const CFileInfo2& src, std::span<std::uint8_t, kCatalogRecordSize> row) {
    std::fill(row.begin(), row.end(), std::uint8_t{0});
    if (EncodeRowStart(src, row) == 0) {
        std::fill(row.begin(), row.end(), std::uint8_t{0});
        return false;
    }
    return true;
}

bool FillCatalogHeader(std::span<std::uint8_t, kCatalogHeaderSize> header, std::uint32_t rowCount,
                       std::wstring_view rootFolder) {
    PutU32(header, kRowCountOffset, rowCount);
    const bool whole = plat::WriteUtf16Field(std::span<std::uint8_t>(header).subspan(kFolderOffset, kFolderSize),
                                             rootFolder);
    PutU32(header, kLayoutOffset, kCatalogLayout);
    return whole;
}

std::optional<CatalogBlockRows> ParseCatalogBlock(std::span<const std::uint8_t> member) {
    if (member.size() < kCatalogHeaderSize) return std::nullopt;
    const auto shape = ShapeOf(member.first(kCatalogHeaderSize), member.size());
    if (!shape) return std::nullopt;

    CatalogBlockRows block;
    block.layout = shape->layout;
    block.rows.reserve(shape->rowCount);
    for (std::uint32_t i = 0; i < shape->rowCount; ++i) {
        auto row = ParseRow(member.subspan(kCatalogHeaderSize + i * shape->rowSize, shape->rowSize),
                            shape->nameOffset);
        if (!row) return std::nullopt;
        block.rows.push_back(std::move(*row));
    }
    return block;
}

std::optional<CatalogBlockRows> InflateCatalogBlock(const plat::DeflatedMember& member) {
    if (member.size < kCatalogHeaderSize) return std::nullopt;
    plat::MemberInflater inflater(member);
    std::array<std::uint8_t, kCatalogHeaderSize> header;
    if (inflater.Read(header) != header.size()) return std::nullopt;
    const auto shape = ShapeOf(header, member.size);
    if (!shape) return std::nullopt;

    CatalogBlockRows block;
    block.layout = shape->layout;
    block.rows.reserve(shape->rowCount);
    constexpr std::uint32_t kRowsPerPiece = 32;
    std::vector<std::uint8_t> piece(std::size_t{kRowsPerPiece} * shape->rowSize);
    for (std::uint32_t done = 0; done < shape->rowCount;) {
        const std::uint32_t count = std::min(kRowsPerPiece, shape->rowCount - done);
        const auto bytes = std::span(piece).first(std::size_t{count} * shape->rowSize);
        if (inflater.Read(bytes) != bytes.size()) return std::nullopt;
        for (std::uint32_t i = 0; i < count; ++i) {
            auto row = ParseRow(bytes.subspan(i * shape->rowSize, shape->rowSize), shape->nameOffset);
            if (!row) return std::nullopt;
            block.rows.push_back(std::move(*row));
        }
        done += count;
    }
    // Only at the stream's end are its length and checksum known to be right.
    std::uint8_t beyond = 0;
    if (inflater.Read(std::span(&beyond, 1)) != std::size_t{0} || !inflater.AtSoundEnd()) return std::nullopt;
    return block;
}

bool CatalogBlock::Add(const CFileInfo2& row) {
    std::array<std::uint8_t, kCatalogRecordSize> stored;
    const std::size_t length = EncodeRowStart(row, stored);
    if (length == 0) return false;
    // Room for the row's end first, so a failed allocation leaves both as they were; a
    // block has at most this many rows, so its ends are allocated once.
    if (ends_.size() == ends_.capacity()) ends_.reserve(std::max<std::size_t>(2 * ends_.size(), kCatalogRowsPerBlock));
    bytes_.insert(bytes_.end(), stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(length));
    ends_.push_back(static_cast<std::uint32_t>(bytes_.size()));
    return true;
}

bool CatalogBlock::Render(std::span<const std::uint8_t, kCatalogHeaderSize> header, std::span<std::uint8_t> chunk,
                          const std::function<bool(std::span<const std::uint8_t>)>& sink) const {
    std::copy(header.begin(), header.end(), chunk.begin());
    PutU32(chunk, kRowCountOffset, RowCount());
    std::size_t filled = kCatalogHeaderSize;
    std::uint32_t begin = 0;
    for (const std::uint32_t end : ends_) {
        if (filled + kCatalogRecordSize > chunk.size()) {
            if (!sink(chunk.first(filled))) return false;
            filled = 0;
        }
        std::uint8_t* const row = chunk.data() + filled;
        std::copy(bytes_.begin() + begin, bytes_.begin() + end, row);
        std::fill(row + (end - begin), row + kCatalogRecordSize, std::uint8_t{0});
        filled += kCatalogRecordSize;
        begin = end;
    }
    return sink(chunk.first(filled));
}
