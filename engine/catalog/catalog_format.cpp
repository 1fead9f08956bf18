#include "engine/catalog/catalog_format.h"

#include <algorithm>
#include <new>
#include <utility>

#include "foundation/archive_store.h"
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
    result.Set(name, size, GetU32(row, kAttributesOffset), time, 0);
    return result;
}

}  // namespace

bool FillCatalogRecord(const CFileInfo2& src, std::span<std::uint8_t, kCatalogRecordSize> row) {
    std::fill(row.begin(), row.end(), std::uint8_t{0});
    if (src.name.find(L'\0') != std::wstring::npos) return false;
    if (!plat::WriteUtf16Field(std::span<std::uint8_t>(row).subspan(kNameOffset, kNameSize), src.name)) {
        std::fill(row.begin(), row.end(), std::uint8_t{0});
        return false;
    }
    const FILETIME lastWrite = plat::FileTimeFromUnixSeconds(src.time);
    PutU32(row, kSizeLowOffset, static_cast<std::uint32_t>(src.size));
    PutU32(row, kSizeHighOffset, static_cast<std::uint32_t>(src.size >> 32));
    PutU32(row, kAttributesOffset, src.attributes);
    PutU32(row, kTimeLowOffset, lastWrite.dwLowDateTime);
    PutU32(row, kTimeHighOffset, lastWrite.dwHighDateTime);
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
    const std::uint32_t rowCount = GetU32(member, kRowCountOffset);
    if (rowCount > kCatalogRowsPerBlock) return std::nullopt;

    CatalogBlockRows block;
    block.layout = GetU32(member, kLayoutOffset);
    const bool olderRows = block.layout < kCatalogFirstShortRowLayout;
    const std::size_t rowSize = olderRows ? kCatalogOldRecordSize : kCatalogRecordSize;
    const std::size_t nameOffset = olderRows ? kOldNameOffset : kNameOffset;
    if (member.size() != kCatalogHeaderSize + std::size_t{rowCount} * rowSize) return std::nullopt;

    block.rows.reserve(rowCount);
    for (std::uint32_t i = 0; i < rowCount; ++i) {
        auto row = ParseRow(member.subspan(kCatalogHeaderSize + i * rowSize, rowSize), nameOffset);
        if (!row) return std::nullopt;
        block.rows.push_back(std::move(*row));
    }
    return block;
}

std::unique_ptr<std::uint8_t[]> AllocateCatalogBlockBuffer() {
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[kCatalogBlockBufferSize]());
}

CatalogWriter::CatalogWriter(std::string archivePath, std::wstring rootFolder)
    : archivePath_(std::move(archivePath)), rootFolder_(std::move(rootFolder)) {}

CatalogWriter::AppendResult CatalogWriter::Append(const CFileInfo2& row) {
    if (failed_) return AppendResult::kWriteFailed;
    if (rowsInBlock_ == kCatalogRowsPerBlock && !WriteBlock()) return AppendResult::kWriteFailed;
    if (!buffer_) {
        buffer_ = AllocateCatalogBlockBuffer();
        if (!buffer_) return AppendResult::kOutOfMemory;
        rowsInBlock_ = 0;
    }
    const std::span<std::uint8_t, kCatalogRecordSize> slot(
        buffer_.get() + kCatalogHeaderSize + std::size_t{rowsInBlock_} * kCatalogRecordSize, kCatalogRecordSize);
    if (!FillCatalogRecord(row, slot)) return AppendResult::kRowRefused;
    ++rowsInBlock_;
    return AppendResult::kAdded;
}

bool CatalogWriter::Finish() {
    const bool written = failed_ ? false : rowsInBlock_ == 0 || WriteBlock();
    Discard();
    return written;
}

void CatalogWriter::Discard() {
    buffer_.reset();
    rowsInBlock_ = 0;
}

bool CatalogWriter::WriteBlock() {
    // The folder is only informative, so a cut one still makes a sound block.
    FillCatalogHeader(std::span<std::uint8_t, kCatalogHeaderSize>(buffer_.get(), kCatalogHeaderSize), rowsInBlock_,
                      rootFolder_);
    const std::span<const std::uint8_t> block(buffer_.get(), CatalogBlockSize(rowsInBlock_));
    if (!WriteCatalogEntry(archivePath_, block, memberIndex_)) {
        failed_ = true;
        Discard();
        return false;
    }
    ++memberIndex_;
    rowsWritten_ += rowsInBlock_;
    rowsInBlock_ = 0;
    return true;
}
