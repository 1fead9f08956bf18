#include "engine/catalog/catalog_member_decoding.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/core/file_time.h"
#include "platform/core/text.h"

namespace {

constexpr std::size_t kRowCountOffset = 0;
constexpr std::size_t kLayoutOffset = 2048;
constexpr std::size_t kSizeLowOffset = 0;
constexpr std::size_t kSizeHighOffset = 4;
constexpr std::size_t kAttributesOffset = 8;
constexpr std::size_t kTimeOffset = 12;
constexpr std::size_t kNameOffset = 20;
constexpr std::size_t kOldNameOffset = 2068;
constexpr std::size_t kNameSize = 2052;
constexpr std::uint32_t kRowsPerPiece = 32;

std::uint32_t GetU32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) | (std::uint32_t{bytes[2]} << 16) |
           (std::uint32_t{bytes[3]} << 24);
}

std::uint64_t GetU64(const std::uint8_t* bytes) { return GetU32(bytes) | (std::uint64_t{GetU32(bytes + 4)} << 32); }

// The first moment of 1900 as a FILETIME: rows dated before it read as time 0.
std::uint64_t TicksOf1900() {
    SYSTEMTIME start{};
    start.wYear = 1900;
    start.wMonth = 1;
    start.wDay = 1;
    FILETIME ft{};
    SystemTimeToFileTime(&start, &ft);
    return (std::uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
}

struct Shape {
    std::uint32_t rowCount = 0;
    std::uint32_t layout = 0;
    std::size_t rowSize = 0;
    std::size_t nameOffset = 0;
};

std::optional<Shape> ShapeOf(const std::uint8_t* header, std::uint64_t memberSize) {
    Shape shape;
    shape.rowCount = GetU32(header + kRowCountOffset);
    if (shape.rowCount > kCatalogRowsPerBlock) return std::nullopt;
    shape.layout = GetU32(header + kLayoutOffset);
    const bool olderRows = shape.layout < kCatalogFirstShortRowLayout;
    shape.rowSize = olderRows ? kCatalogOldRecordSize : kCatalogRecordSize;
    shape.nameOffset = olderRows ? kOldNameOffset : kNameOffset;
    if (memberSize != kCatalogHeaderSize + std::uint64_t{shape.rowCount} * shape.rowSize) return std::nullopt;
    return shape;
}

// Reads the member's bytes into the front of a buffer; false when they cannot be had.
using ReadBytes = std::function<bool(std::span<std::uint8_t>)>;

class Decoder {
public:
    Decoder(std::wstring_view rootFolder, bool checksum) : rootFolder_(rootFolder), checksum_(checksum) {}

    std::optional<DecodedCatalogMember> Decode(std::uint64_t memberSize, const ReadBytes& read) {
        if (memberSize < kCatalogHeaderSize) return std::nullopt;
        std::array<std::uint8_t, kCatalogHeaderSize> header;
        if (!read(header)) return std::nullopt;
        const auto shape = ShapeOf(header.data(), memberSize);
        if (!shape) return std::nullopt;
        crc_ = checksum_ ? plat::Crc32(0, header) : 0;

        DecodedCatalogMember member;
        member.layout = shape->layout;
        member.canonical =
            shape->layout == kCatalogLayout && header == CanonicalCatalogHeader(shape->rowCount, rootFolder_);
        member.rows.Reserve(shape->rowCount, std::size_t{shape->rowCount} * 32);
        std::vector<std::uint8_t> piece(std::size_t{kRowsPerPiece} * shape->rowSize);
        for (std::uint32_t done = 0; done < shape->rowCount;) {
            const std::uint32_t count = std::min(kRowsPerPiece, shape->rowCount - done);
            const auto bytes = std::span(piece).first(std::size_t{count} * shape->rowSize);
            if (!read(bytes)) return std::nullopt;
            for (std::uint32_t i = 0; i < count; ++i) {
                if (!AddRow(bytes.data() + i * shape->rowSize, *shape, member)) return std::nullopt;
            }
            done += count;
        }
        return member;
    }

    std::uint32_t crc() const { return crc_; }

private:
    bool AddRow(const std::uint8_t* row, const Shape& shape, DecodedCatalogMember& member) {
        const std::uint8_t* const name = row + shape.nameOffset;
        std::size_t units = 0;
        bool ascii = true;
        for (; units < kNameSize / 2; ++units) {
            const unsigned unit = name[2 * units] | (name[2 * units + 1] << 8);
            if (unit == 0) break;
            ascii = ascii && unit < 0x80;
        }
        if (units == kNameSize / 2) return false;  // no NUL inside the field
        const std::size_t nameEnd = shape.nameOffset + 2 * units + 2;

        const std::uint64_t ticks = GetU64(row + kTimeOffset);
        // A time the calendar cannot hold: the row cannot be trusted.
        if (ticks > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return false;
        static const std::uint64_t kTicksOf1900 = TicksOf1900();
        FILETIME ft;
        ft.dwLowDateTime = static_cast<DWORD>(ticks);
        ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        const LONGLONG time = ticks < kTicksOf1900 ? 0 : plat::FileTimeToUnixSeconds(ft);
        const bool wholeSecond = ticks >= kTicksOf1900 && ticks % plat::kTicksPerSecond == 0;

        bool canonical = member.canonical && wholeSecond;
        if (ascii) {
            utf8_.resize(units);
            for (std::size_t i = 0; i < units; ++i) utf8_[i] = static_cast<char>(name[2 * i]);
        } else {
            const std::wstring wide = plat::ReadUtf16Field(std::span<const std::uint8_t>(name, kNameSize));
            utf8_ = plat::WideToUtf8(wide);
            if (canonical) {
                // Spelled as the writer would spell the name it reads as.
                const std::u16string again = plat::WideToUtf16(plat::Utf8ToWide(utf8_));
                canonical = again.size() == units;
                for (std::size_t i = 0; canonical && i < units; ++i) {
                    canonical = again[i] == static_cast<char16_t>(name[2 * i] | (name[2 * i + 1] << 8));
                }
            }
        }
        const bool zeroTail =
            shape.layout >= kCatalogFirstShortRowLayout && AllZeroBytes(row + nameEnd, shape.rowSize - nameEnd);
        canonical = canonical && zeroTail;
        if (checksum_) {
            if (zeroTail) {
                crc_ = plat::Crc32Zeros(plat::Crc32(crc_, std::span(row, nameEnd)), shape.rowSize - nameEnd);
            } else {
                crc_ = plat::Crc32(crc_, std::span(row, shape.rowSize));
            }
        }
        member.canonical = canonical;

        const ULONGLONG size = (ULONGLONG{GetU32(row + kSizeHighOffset)} << 32) | GetU32(row + kSizeLowOffset);
        member.rows.Add(utf8_, size, GetU32(row + kAttributesOffset), time);
        return true;
    }

    std::wstring_view rootFolder_;
    bool checksum_;
    std::uint32_t crc_ = 0;
    std::string utf8_;
};

}  // namespace

std::array<std::uint8_t, kCatalogHeaderSize> CanonicalCatalogHeader(std::uint32_t rowCount,
                                                                    std::wstring_view rootFolder) {
    std::array<std::uint8_t, kCatalogHeaderSize> header{};
    FillCatalogHeader(header, rowCount, rootFolder);
    return header;
}

std::optional<DecodedCatalogMember> DecodeCatalogMember(const plat::DeflatedMember& member,
                                                        std::wstring_view rootFolder) {
    plat::MemberInflater inflater(member, plat::MemberInflater::Checksum::kCallers);
    Decoder decoder(rootFolder, true);
    auto decoded = decoder.Decode(member.size, [&inflater](std::span<std::uint8_t> bytes) {
        const std::optional<std::size_t> got = inflater.Read(bytes);
        return got && *got == bytes.size();
    });
    if (!decoded) return std::nullopt;
    // Only at the stream's end are its length and checksum known to be right.
    std::uint8_t beyond = 0;
    if (inflater.Read(std::span(&beyond, 1)) != std::size_t{0} || !inflater.AtSoundEnd()) return std::nullopt;
    if (decoder.crc() != member.crc) return std::nullopt;
    return decoded;
}

std::optional<DecodedCatalogMember> DecodeCatalogBytes(std::span<const std::uint8_t> member,
                                                       std::wstring_view rootFolder) {
    std::size_t at = 0;
    Decoder decoder(rootFolder, false);
    return decoder.Decode(member.size(), [&](std::span<std::uint8_t> bytes) {
        if (member.size() - at < bytes.size()) return false;
        std::memcpy(bytes.data(), member.data() + at, bytes.size());
        at += bytes.size();
        return true;
    });
}
