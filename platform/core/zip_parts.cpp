#include "platform/core/zip_parts.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "platform/core/archive_lock.h"
#include "platform/core/clock.h"
#include "platform/core/detail/disk_flush.h"
#include "platform/core/errors.h"
#include "platform/core/file_time.h"
#include "platform/core/owned_fd.h"
#include "platform/core/zip_command.h"
#include "platform/core/zip_layout.h"
#include "platform/core/zip_pkware.h"
#include "platform/core/zip_reader_cache.h"

namespace plat {

namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t kCentralEntrySignature = 0x02014b50;
constexpr std::uint16_t kEncryptedFlag = 0x0001;
constexpr std::uint16_t kDeflatedMethod = 8;
constexpr std::uint16_t kVersionNeeded = 20;
constexpr std::uint16_t kMadeByUnix = (3 << 8) | 20;
constexpr std::uint32_t kRegularFileMode = 0100644;
constexpr std::uint64_t kLargest32 = 0xFFFFFFFF;
constexpr std::size_t kWriteChunk = 1 << 20;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

struct DosStamp {
    WORD date = 0;
    WORD time = 0;
};

DosStamp Now() {
    DosStamp stamp;
    const FILETIME now = NowLocalFileTime();
    if (!FileTimeToDosDateTime(&now, &stamp.date, &stamp.time)) stamp = {0x21, 0};  // 1980-01-01
    return stamp;
}

// The fields a new part's local header and its directory entry share, from the version
// needed on.
void PutCommonFields(std::vector<std::uint8_t>& out, const ZipPart& part, const DosStamp& stamp) {
    Put16(out, kVersionNeeded);
    Put16(out, part.encrypted ? kEncryptedFlag : 0);
    Put16(out, kDeflatedMethod);
    Put16(out, stamp.time);
    Put16(out, stamp.date);
    Put32(out, part.crc);
    Put32(out, static_cast<std::uint32_t>(part.data.size()));
    Put32(out, static_cast<std::uint32_t>(part.size));
    Put16(out, static_cast<std::uint32_t>(part.name.size()));
    Put16(out, 0);  // no extra field
}

// Writes everything handed to it, in chunks; false (errno set) once a write failed.
class Output {
public:
    explicit Output(int fd) : fd_(fd) { buffer_.reserve(kWriteChunk); }
    bool Add(std::span<const std::uint8_t> bytes) {
        if (bytes.size() >= kWriteChunk) return Flush() && Write(bytes);
        if (buffer_.size() + bytes.size() > kWriteChunk && !Flush()) return false;
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
        return true;
    }
    bool Flush() {
        const bool written = Write(buffer_);
        buffer_.clear();
        return written;
    }
    std::uint64_t offset() const { return written_ + buffer_.size(); }

private:
    bool Write(std::span<const std::uint8_t> bytes) {
        if (!WriteFileAt(fd_, bytes, written_)) return false;
        written_ += bytes.size();
        return true;
    }

    int fd_;
    std::uint64_t written_ = 0;
    std::vector<std::uint8_t> buffer_;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

// The parts laid out in the file open as `fd`; false (errno set) when a write failed.
bool WriteParts(int fd, std::span<const ZipPart> parts) {
    Output out(fd);
    std::vector<std::uint8_t> directory;
    std::vector<std::uint8_t> header;
    const DosStamp stamp = Now();
    for (const ZipPart& part : parts) {
        const std::uint64_t offset = out.offset();
        if (offset > kLargest32) {
            errno = EFBIG;
            return false;
        }
        if (part.stored) {
            if (!out.Add(part.stored->stored)) return false;
            const std::size_t at = directory.size();
            directory.insert(directory.end(), part.stored->directory.begin(), part.stored->directory.end());
            SetZipEntryLocalOffset(std::span(directory).subspan(at), static_cast<std::uint32_t>(offset));
            continue;
        }
        header.clear();
        Put32(header, kLocalHeaderSignature);
        PutCommonFields(header, part, stamp);
        header.insert(header.end(), part.name.begin(), part.name.end());
        if (!out.Add(header) || !out.Add(part.data)) return false;

        Put32(directory, kCentralEntrySignature);
        Put16(directory, kMadeByUnix);
        PutCommonFields(directory, part, stamp);
        Put16(directory, 0);                       // no comment
        Put16(directory, 0);                       // disk 0
        Put16(directory, 0);                       // internal attributes
        Put32(directory, kRegularFileMode << 16);  // external attributes: a plain file
        Put32(directory, static_cast<std::uint32_t>(offset));
        directory.insert(directory.end(), part.name.begin(), part.name.end());
    }
    ZipTail tail;
    tail.memberCount = parts.size();
    tail.directoryOffset = out.offset();
    tail.directorySize = directory.size();
    tail.zip64 = parts.size() >= kZipClassicMemberLimit || tail.directoryOffset + directory.size() > kLargest32;
    const std::vector<std::uint8_t> end = MakeZipEndRecords(tail);
    return out.Add(directory) && out.Add(end) && out.Flush();
}

bool FitsThePlainForm(const ZipPart& part) {
    if (part.name.empty() || part.name.size() > 0xFFFF) return false;
    if (part.stored) return true;
    return part.data.size() < kLargest32 && part.size < kLargest32;
}

}  // namespace

ZipPart MakeDeflatedPart(std::string name, const DeflatedMember& member, const char* password) {
    ZipPart part;
    part.name = std::move(name);
    part.crc = member.crc;
    part.size = member.size;
    if (password == nullptr) {
        part.data = member.data;
        return part;
    }
    part.encrypted = true;
    part.data.resize(kPkwareHeaderSize + member.data.size());
    std::random_device entropy;
    std::uint8_t head[kPkwareHeaderSize];
    for (std::size_t i = 0; i + 1 < kPkwareHeaderSize; ++i) head[i] = static_cast<std::uint8_t>(entropy());
    // No sizes follow the data, so the last byte is the checksum's top byte.
    head[kPkwareHeaderSize - 1] = static_cast<std::uint8_t>(member.crc >> 24);
    PkwareCipher cipher(password);
    cipher.Encrypt(head, std::span(part.data).first(kPkwareHeaderSize));
    cipher.Encrypt(member.data, std::span(part.data).subspan(kPkwareHeaderSize));
    return part;
}

int WriteZipParts(const std::string& path, std::span<const ZipPart> parts) {
    if (path.empty() || parts.empty()) return kZipBadCommand;
    for (const ZipPart& part : parts) {
        if (!FitsThePlainForm(part)) return kZipBadCommand;
    }
    const ArchiveLock lock(path);
    ForgetCachedZipReader(lock.key());
    const std::string& target = lock.key();
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return kZipCannotOpen;

    std::string temporary = target + ".XXXXXX";
    OwnedFd fd(::mkstemp(temporary.data()));
    if (!fd) {
        SetLastErrorFromErrno(errno);
        return kZipCannotOpen;
    }
    const bool written = WriteParts(fd.Get(), parts) && ::fchmod(fd.Get(), 0644) == 0 &&
                         (::fsync(fd.Get()) == 0 || errno == EINVAL || errno == ENOTSUP);
    const int error = errno;
    if (!written || ::close(fd.Release()) != 0 || ::rename(temporary.c_str(), target.c_str()) != 0) {
        SetLastErrorFromErrno(written ? errno : error);
        ::unlink(temporary.c_str());
        return kZipWriteFailed;
    }
    return detail::SyncToDisk(FolderOf(target), O_RDONLY | O_DIRECTORY) ? kZipOk : kZipWriteFailed;
}

}  // namespace plat
