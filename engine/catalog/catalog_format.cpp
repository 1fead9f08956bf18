#include "engine/catalog/catalog_format.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "engine/catalog/catalog_member_decoding.h"
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

// The name as the row stores it: UTF-16 code units; nothing when it holds a NUL or
// needs more than kCatalogNameMaxUnits of them.
bool NameUnits(std::string_view name, std::u16string& units) {
    if (name.find('\0') != std::string_view::npos) return false;
    if (std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        if (name.size() > kCatalogNameMaxUnits) return false;
        units.assign(name.begin(), name.end());
        return true;
    }
    units = plat::WideToUtf16(plat::Utf8ToWide(name));
    return units.size() <= kCatalogNameMaxUnits;
}

// NameUnits would take the name: without making its code units where they are its bytes.
bool FitsARow(std::string_view name) {
    bool ascii = true;
    for (const char c : name) {
        if (c == '\0') return false;
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (ascii) return name.size() <= kCatalogNameMaxUnits;
    return plat::WideToUtf16(plat::Utf8ToWide(name)).size() <= kCatalogNameMaxUnits;
}

// Writes a row's fields and its name with the NUL into `row`, leaving the bytes after the
// NUL as they are. Returns how many bytes it wrote, 0 when the row cannot be stored: a
// name holding a NUL or needing more than kCatalogNameMaxUnits code units.
std::size_t EncodeRowStart(std::string_view rowName, ULONGLONG size, DWORD attributes, LONGLONG time,
                           std::span<std::uint8_t, kCatalogRecordSize> row) {
    std::size_t at = kNameOffset;
    const bool ascii = std::all_of(rowName.begin(), rowName.end(),
                                   [](char c) { return c != '\0' && static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        // A byte is a code unit.
        if (rowName.size() > kCatalogNameMaxUnits) return 0;
        for (const char c : rowName) {
            row[at++] = static_cast<std::uint8_t>(c);
            row[at++] = 0;
        }
    } else {
        thread_local std::u16string name;
        if (!NameUnits(rowName, name)) return 0;
        for (const char16_t unit : name) {
            row[at++] = static_cast<std::uint8_t>(unit & 0xFF);
            row[at++] = static_cast<std::uint8_t>(unit >> 8);
        }
    }
    row[at++] = 0;
    row[at++] = 0;
    const FILETIME lastWrite = plat::FileTimeFromUnixSeconds(time);
    PutU32(row, kSizeLowOffset, static_cast<std::uint32_t>(size));
    PutU32(row, kSizeHighOffset, static_cast<std::uint32_t>(size >> 32));
    PutU32(row, kAttributesOffset, attributes);
    PutU32(row, kTimeLowOffset, lastWrite.dwLowDateTime);
    PutU32(row, kTimeHighOffset, lastWrite.dwHighDateTime);
    return at;
}

std::size_t EncodeRowStart(const CFileInfo2& src, std::span<std::uint8_t, kCatalogRecordSize> row) {
    return EncodeRowStart(src.name, src.size, src.attributes, src.time, row);
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
    const bool whole =
        plat::WriteUtf16Field(std::span<std::uint8_t>(header).subspan(kFolderOffset, kFolderSize), rootFolder);
    PutU32(header, kLayoutOffset, kCatalogLayout);
    return whole;
}

namespace {

CatalogBlockRows RowsOf(const DecodedCatalogMember& decoded) {
    CatalogBlockRows block;
    block.layout = decoded.layout;
    block.rows.reserve(decoded.rows.size());
    for (std::size_t i = 0; i < decoded.rows.size(); ++i) {
        const CatalogRowTable::Row& row = decoded.rows.RowAt(i);
        CFileInfo2& made = block.rows.emplace_back();
        made.Set(decoded.rows.NameAt(i), row.size, row.attributes, 0, 0);
        made.time = row.time;
    }
    return block;
}

}  // namespace

std::optional<CatalogBlockRows> ParseCatalogBlock(std::span<const std::uint8_t> member) {
    const auto decoded = DecodeCatalogBytes(member, {});
    if (!decoded) return std::nullopt;
    return RowsOf(*decoded);
}

std::optional<CatalogBlockRows> InflateCatalogBlock(const plat::DeflatedMember& member) {
    const auto decoded = DecodeCatalogMember(member, {});
    if (!decoded) return std::nullopt;
    return RowsOf(*decoded);
}

bool CatalogBlock::Add(const CFileInfo2& row) { return Add(row.name, row.size, row.attributes, row.time); }

bool CatalogBlock::Add(std::string_view name, ULONGLONG size, DWORD attributes, LONGLONG time) {
    if (!FitsARow(name)) return false;
    if (rows_.size() == 0) rows_.Reserve(kCatalogRowsPerBlock, std::size_t{kCatalogRowsPerBlock} * 32);
    rows_.Add(name, size, attributes, time);
    return true;
}

std::size_t CatalogBlock::EncodeRowStart(std::size_t index, std::span<std::uint8_t, kCatalogRecordSize> row) const {
    const CatalogRowTable::Row& values = rows_.RowAt(index);
    return ::EncodeRowStart(rows_.NameOf(values), values.size, values.attributes, values.time, row);
}

std::uint32_t CatalogBlock::Checksum(std::span<const std::uint8_t, kCatalogHeaderSize> header) const {
    std::array<std::uint8_t, kCatalogHeaderSize> counted;
    std::copy(header.begin(), header.end(), counted.begin());
    PutU32(counted, kRowCountOffset, RowCount());
    std::uint32_t crc = plat::Crc32(0, counted);
    std::array<std::uint8_t, kCatalogRecordSize> row;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const std::size_t length = EncodeRowStart(i, row);
        crc = plat::Crc32Zeros(plat::Crc32(crc, std::span(row).first(length)), kCatalogRecordSize - length);
    }
    return crc;
}

bool CatalogBlock::Render(std::span<const std::uint8_t, kCatalogHeaderSize> header, std::span<std::uint8_t> chunk,
                          const std::function<bool(std::span<const std::uint8_t>)>& sink) const {
    std::copy(header.begin(), header.end(), chunk.begin());
    PutU32(chunk, kRowCountOffset, RowCount());
    std::size_t filled = kCatalogHeaderSize;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (filled + kCatalogRecordSize > chunk.size()) {
            if (!sink(chunk.first(filled))) return false;
            filled = 0;
        }
        const std::span<std::uint8_t, kCatalogRecordSize> row(chunk.data() + filled, kCatalogRecordSize);
        const std::size_t length = EncodeRowStart(i, row);
        std::fill(row.begin() + static_cast<std::ptrdiff_t>(length), row.end(), std::uint8_t{0});
        filled += kCatalogRecordSize;
    }
    return sink(chunk.first(filled));
}

bool AllZeroBytes(const std::uint8_t* bytes, std::size_t count) {
    std::uint64_t any = 0;
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        any |= word;
    }
    for (; i < count; ++i) any |= bytes[i];
    return any == 0;
}
