#include "platform/core/zip_layout.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace plat {

namespace {

constexpr std::uint32_t kEndRecordSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndRecordSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kCentralEntrySignature = 0x02014b50;
constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
constexpr std::uint16_t kDataDescriptorFlag = 0x0008;
constexpr std::size_t kZip64RecordSize = 56;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::uint64_t kZip64RecordRest = kZip64RecordSize - 12;  // what its size field counts
constexpr std::uint16_t kZip64Version = 45;
constexpr std::uint32_t kNoValue32 = 0xFFFFFFFF;

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(U16(b, at)) | (static_cast<std::uint32_t>(U16(b, at + 2)) << 16);
}

std::uint64_t U64(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint64_t>(U32(b, at)) | (static_cast<std::uint64_t>(U32(b, at + 4)) << 32);
}

void Put16(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (int i = 0; i < 2; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Put32(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Put64(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// The ZIP64 end record and its locator, which ends where the classic end record begins.
std::optional<ZipTail> ReadZip64Tail(int fd, std::uint64_t fileSize, std::span<const std::uint8_t> locator) {
    if (U32(locator, 0) != kZip64LocatorSignature || U32(locator, 4) != 0 || U32(locator, 16) != 1) return std::nullopt;
    const std::uint64_t recordOffset = U64(locator, 8);
    if (recordOffset != fileSize - kZip64EndRecordsSize) return std::nullopt;
    std::uint8_t record[kZip64RecordSize];
    if (!ReadFileAt(fd, record, recordOffset)) return std::nullopt;
    if (U32(record, 0) != kZip64EndRecordSignature || U64(record, 4) != kZip64RecordRest || U32(record, 16) != 0 ||
        U32(record, 20) != 0 || U64(record, 24) != U64(record, 32)) {
        return std::nullopt;
    }
    ZipTail tail;
    tail.zip64 = true;
    tail.memberCount = U64(record, 32);
    tail.directorySize = U64(record, 40);
    tail.directoryOffset = U64(record, 48);
    return tail;
}

}  // namespace

bool ReadFileAt(int fd, std::span<std::uint8_t> bytes, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (got == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool WriteFileAt(int fd, std::span<const std::uint8_t> bytes, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            if (put == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

std::optional<ZipTail> ReadZipTail(int fd, std::uint64_t fileSize) {
    if (fileSize < kZipEndRecordSize) return std::nullopt;
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kZip64EndRecordsSize));
    std::vector<std::uint8_t> end(length);
    if (!ReadFileAt(fd, end, fileSize - length)) return std::nullopt;
    const std::span<const std::uint8_t> classic = std::span<const std::uint8_t>(end).last(kZipEndRecordSize);
    if (U32(classic, 0) != kEndRecordSignature || U16(classic, 4) != 0 || U16(classic, 6) != 0 ||
        U16(classic, 8) != U16(classic, 10) || U16(classic, 20) != 0) {
        return std::nullopt;
    }
    std::optional<ZipTail> tail;
    if (length == kZip64EndRecordsSize &&
        U32(std::span<const std::uint8_t>(end).subspan(kZip64RecordSize), 0) == kZip64LocatorSignature) {
        tail = ReadZip64Tail(fd, fileSize,
                             std::span<const std::uint8_t>(end).subspan(kZip64RecordSize, kZip64LocatorSize));
    } else if (U16(classic, 10) != kZipClassicMemberLimit && U32(classic, 12) != kNoValue32 &&
               U32(classic, 16) != kNoValue32) {
        tail = ZipTail{U16(classic, 10), U32(classic, 16), U32(classic, 12), false};
    }
    // The central directory ends where the end records begin: nothing lies between them.
    if (!tail || tail->directoryOffset > fileSize || tail->directorySize > fileSize ||
        tail->EndRecordsOffset() + tail->EndRecordsSize() != fileSize) {
        return std::nullopt;
    }
    return tail;
}

std::vector<std::uint8_t> MakeZipEndRecords(const ZipTail& tail) {
    std::vector<std::uint8_t> out;
    out.reserve(tail.EndRecordsSize());
    const std::uint64_t recordOffset = tail.EndRecordsOffset();
    if (tail.zip64) {
        Put32(out, kZip64EndRecordSignature);
        Put64(out, kZip64RecordRest);
        Put16(out, kZip64Version);  // made by
        Put16(out, kZip64Version);  // needed to extract
        Put32(out, 0);              // this disk
        Put32(out, 0);              // the directory's disk
        Put64(out, tail.memberCount);
        Put64(out, tail.memberCount);
        Put64(out, tail.directorySize);
        Put64(out, tail.directoryOffset);
        Put32(out, kZip64LocatorSignature);
        Put32(out, 0);
        Put64(out, recordOffset);
        Put32(out, 1);  // disks
    }
    // Fields the ZIP64 records carry hold their "see there" value here when they overflow.
    Put32(out, kEndRecordSignature);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, std::min<std::uint64_t>(tail.memberCount, kZipClassicMemberLimit));
    Put16(out, std::min<std::uint64_t>(tail.memberCount, kZipClassicMemberLimit));
    Put32(out, std::min<std::uint64_t>(tail.directorySize, kNoValue32));
    Put32(out, std::min<std::uint64_t>(tail.directoryOffset, kNoValue32));
    Put16(out, 0);  // no comment
    return out;
}

std::optional<std::vector<ZipDirectoryEntry>> ParseZipDirectory(std::span<const std::uint8_t> directory,
                                                                std::uint64_t count) {
    std::vector<ZipDirectoryEntry> entries;
    if (count > directory.size() / kZipCentralEntrySize) return std::nullopt;
    entries.reserve(static_cast<std::size_t>(count));
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (directory.size() - at < kZipCentralEntrySize || U32(directory, at) != kCentralEntrySignature) {
            return std::nullopt;
        }
        ZipDirectoryEntry entry;
        entry.entryOffset = at;
        entry.flags = U16(directory, at + 8);
        entry.method = U16(directory, at + 10);
        entry.modifiedTime = U16(directory, at + 12);
        entry.crc = U32(directory, at + 16);
        entry.compressedSize = U32(directory, at + 20);
        entry.size = U32(directory, at + 24);
        const std::size_t nameLength = U16(directory, at + 28);
        const std::size_t rest = nameLength + U16(directory, at + 30) + U16(directory, at + 32);
        entry.localOffset = U32(directory, at + 42);
        if (entry.compressedSize == kNoValue32 || entry.size == kNoValue32 || entry.localOffset == kNoValue32 ||
            U16(directory, at + 34) != 0 || directory.size() - at - kZipCentralEntrySize < rest) {
            return std::nullopt;
        }
        entry.name =
            std::string_view(reinterpret_cast<const char*>(directory.data() + at + kZipCentralEntrySize), nameLength);
        entries.push_back(entry);
        at += kZipCentralEntrySize + rest;
    }
    if (at != directory.size()) return std::nullopt;
    return entries;
}

void SetZipEntryLocalOffset(std::span<std::uint8_t> entry, std::uint32_t offset) {
    for (std::size_t i = 0; i < 4; ++i) entry[42 + i] = static_cast<std::uint8_t>(offset >> (8 * i));
}

std::optional<std::uint64_t> ZipMemberEnd(int fd, const ZipDirectoryEntry& entry) {
    std::uint8_t header[kZipLocalHeaderSize];
    if (!ReadFileAt(fd, header, entry.localOffset) || U32(header, 0) != kLocalHeaderSignature) return std::nullopt;
    std::uint64_t end =
        entry.localOffset + kZipLocalHeaderSize + U16(header, 26) + U16(header, 28) + entry.compressedSize;
    if (entry.flags & kDataDescriptorFlag) {
        std::uint8_t signature[4];
        if (!ReadFileAt(fd, signature, end)) return std::nullopt;
        end += U32(signature, 0) == kDescriptorSignature ? 16 : 12;
    }
    return end;
}

}  // namespace plat
