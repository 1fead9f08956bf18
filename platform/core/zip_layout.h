#pragma once
// The parts of a ZIP archive that appending to it and reading it whole need, read from
// and written to the file directly: the end records (with their ZIP64 form once the
// members outgrow the classic fields), the central directory's entries and where a
// member's stored bytes end.
//
// Only the plain form is taken: one disk, no archive comment, the end records directly
// after the central directory, 32-bit sizes and offsets in every entry. Archives this
// library writes have that form; for any other the functions say so and the caller goes
// the general way through libzip.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace plat {

inline constexpr std::size_t kZipEndRecordSize = 22;
inline constexpr std::size_t kZip64EndRecordsSize = 56 + 20 + 22;  // record, locator, classic end record
inline constexpr std::size_t kZipCentralEntrySize = 46;            // before name, extra field and comment
inline constexpr std::size_t kZipLocalHeaderSize = 30;             // before name and extra field
// The classic end record counts members in 16 bits; from this many on the ZIP64 records are needed.
inline constexpr std::uint64_t kZipClassicMemberLimit = 0xFFFF;

struct ZipTail {
    std::uint64_t memberCount = 0;
    std::uint64_t directoryOffset = 0;
    std::uint64_t directorySize = 0;
    bool zip64 = false;
    // Where the end records begin (directly after the central directory) and their length.
    std::uint64_t EndRecordsOffset() const { return directoryOffset + directorySize; }
    std::size_t EndRecordsSize() const { return zip64 ? kZip64EndRecordsSize : kZipEndRecordSize; }
};

// The end records of the archive open as `fd`, whose length is `fileSize`; nothing when
// they are not in the plain form (or the file is no archive).
std::optional<ZipTail> ReadZipTail(int fd, std::uint64_t fileSize);

// The end records of `tail`, to be written at tail.EndRecordsOffset().
std::vector<std::uint8_t> MakeZipEndRecords(const ZipTail& tail);

// One entry of the central directory, its name pointing into the directory's bytes.
struct ZipDirectoryEntry {
    std::string_view name;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t modifiedTime = 0;  // DOS time
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t size = 0;
    std::uint32_t localOffset = 0;
    std::size_t entryOffset = 0;  // where the entry begins in the directory's bytes
};

// The entries of a central directory of `count` entries. Nothing when the bytes do not
// hold exactly that many well-formed entries, or an entry needs the ZIP64 fields.
std::optional<std::vector<ZipDirectoryEntry>> ParseZipDirectory(std::span<const std::uint8_t> directory,
                                                                std::uint64_t count);

// Sets the local header offset of a central directory entry held in `entry`.
void SetZipEntryLocalOffset(std::span<std::uint8_t> entry, std::uint32_t offset);

// The offset just past the stored bytes of the member whose local header stands at
// `entry.localOffset` in `fd` (header, name, extra field, data and data descriptor), or
// nothing when the header is not there or not in the plain form.
std::optional<std::uint64_t> ZipMemberEnd(int fd, const ZipDirectoryEntry& entry);

// pread/pwrite of the whole span, going on after short transfers and interruptions. False
// (errno set) on failure; a read that meets the end of the file fails with EIO.
bool ReadFileAt(int fd, std::span<std::uint8_t> bytes, std::uint64_t offset);
bool WriteFileAt(int fd, std::span<const std::uint8_t> bytes, std::uint64_t offset);

}  // namespace plat
