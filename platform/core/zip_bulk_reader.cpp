#include "platform/core/zip_bulk_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <thread>

#include "platform/core/errors.h"
#include "platform/core/owned_fd.h"
#include "platform/core/zip_command.h"
#include "platform/core/zip_layout.h"
#include "platform/core/zip_pkware.h"

namespace plat {

namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::uint16_t kEncryptedFlag = 0x0001;
constexpr std::uint16_t kDataDescriptorFlag = 0x0008;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
// A local header's name and extra field may each be this long, and a data descriptor follows.
constexpr std::uint64_t kLongestLocalOverhead = kZipLocalHeaderSize + 2 * 0xFFFF + 16;
constexpr std::size_t kMembersPerThread = 2048;
constexpr unsigned kMostThreads = 8;

std::uint16_t U16(const std::uint8_t* b) { return static_cast<std::uint16_t>(b[0] | (b[1] << 8)); }

struct Chosen {
    const ZipDirectoryEntry* entry;
    std::size_t slot;
};

// One thread's decoder: its inflater and buffers, reused from member to member.
class MemberDecoder {
public:
    MemberDecoder(std::size_t maxSize, const char* password) : out_(maxSize), password_(password) {
        ready_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK;
    }
    ~MemberDecoder() {
        if (ready_) inflateEnd(&stream_);
    }
    MemberDecoder(const MemberDecoder&) = delete;
    MemberDecoder& operator=(const MemberDecoder&) = delete;

    // The member's bytes, or nothing when it is not sound. `stored` holds the file from `base` on.
    std::optional<std::span<const std::uint8_t>> Decode(const ZipDirectoryEntry& entry,
                                                        std::span<const std::uint8_t> stored, std::uint64_t base) {
        if (!ready_ || entry.size > out_.size() || entry.localOffset < base) return std::nullopt;
        const std::uint64_t header = entry.localOffset - base;
        if (header + kZipLocalHeaderSize > stored.size()) return std::nullopt;
        const std::uint8_t* local = stored.data() + header;
        if ((local[0] | (local[1] << 8) | (local[2] << 16) | (std::uint32_t{local[3]} << 24)) !=
            kLocalHeaderSignature) {
            return std::nullopt;
        }
        const std::uint64_t data = header + kZipLocalHeaderSize + U16(local + 26) + U16(local + 28);
        if (data + entry.compressedSize > stored.size()) return std::nullopt;
        std::span<const std::uint8_t> input = stored.subspan(static_cast<std::size_t>(data), entry.compressedSize);
        if (entry.flags & kEncryptedFlag) {
            if (!Decrypt(entry, input)) return std::nullopt;
            input = plain_;
        }
        const std::span<std::uint8_t> out(out_.data(), entry.size);
        if (entry.method == kStored) {
            if (input.size() != entry.size) return std::nullopt;
            std::copy(input.begin(), input.end(), out.begin());
        } else if (entry.method != kDeflated || !Inflate(input, out)) {
            return std::nullopt;
        }
        const auto crc = static_cast<std::uint32_t>(crc32_z(0, out.data(), out.size()));
        if (crc != entry.crc) return std::nullopt;
        return out;
    }

private:
    bool Decrypt(const ZipDirectoryEntry& entry, std::span<const std::uint8_t> cipher) {
        if (password_ == nullptr || cipher.size() < kPkwareHeaderSize) return false;
        PkwareCipher keys(password_);
        std::uint8_t check = 0;
        for (std::size_t i = 0; i < kPkwareHeaderSize; ++i) check = keys.Decrypt(cipher[i]);
        // The header's last byte tells a wrong password: the checksum's top byte, or the
        // time's when the sizes follow the data.
        const bool timeChecked = (entry.flags & kDataDescriptorFlag) != 0 && check == (entry.modifiedTime >> 8);
        if (check != (entry.crc >> 24) && !timeChecked) return false;
        plain_.resize(cipher.size() - kPkwareHeaderSize);
        keys.Decrypt(cipher.subspan(kPkwareHeaderSize), plain_);
        return true;
    }

    // The stream must inflate to exactly `out` and end exactly at the end of `input`.
    bool Inflate(std::span<const std::uint8_t> input, std::span<std::uint8_t> out) {
        if (inflateReset(&stream_) != Z_OK) return false;
        std::uint8_t extra = 0;
        stream_.next_in = const_cast<Bytef*>(input.data());
        stream_.avail_in = static_cast<uInt>(input.size());
        stream_.next_out = out.empty() ? &extra : out.data();
        stream_.avail_out = out.empty() ? 1 : static_cast<uInt>(out.size());
        const int status = inflate(&stream_, Z_FINISH);
        return status == Z_STREAM_END && stream_.total_out == out.size() && stream_.avail_in == 0;
    }

    z_stream stream_{};
    bool ready_ = false;
    std::vector<std::uint8_t> out_;
    std::vector<std::uint8_t> plain_;
    const char* password_;
};

std::optional<std::vector<std::uint8_t>> ReadRange(int fd, std::uint64_t from, std::uint64_t to) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(to - from));
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        return std::nullopt;
    }
    if (!ReadFileAt(fd, bytes, from)) return std::nullopt;
    return bytes;
}

BulkExtractionResult CannotRead(int error) {
    SetLastErrorFromErrno(error);
    return BulkExtractionResult{kZipCannotOpen, {}};
}

}  // namespace

std::optional<BulkExtractionResult> ExtractMembers(const std::string& path, const BulkExtraction& what) {
    const OwnedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!fd) return CannotRead(errno);
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return CannotRead(EACCES);
    const std::optional<ZipTail> tail = ReadZipTail(fd.Get(), static_cast<std::uint64_t>(st.st_size));
    if (!tail) return std::nullopt;
    const std::optional<std::vector<std::uint8_t>> directory =
        ReadRange(fd.Get(), tail->directoryOffset, tail->EndRecordsOffset());
    if (!directory) return CannotRead(errno);
    const auto entries = ParseZipDirectory(*directory, tail->memberCount);
    if (!entries) return std::nullopt;

    std::vector<Chosen> chosen;
    std::vector<bool> taken(what.slotCount, false);
    std::uint64_t from = tail->directoryOffset;
    std::uint64_t to = 0;
    for (const ZipDirectoryEntry& entry : *entries) {
        const std::optional<std::size_t> slot = what.slotOf(entry.name);
        if (!slot || *slot >= what.slotCount || taken[*slot]) continue;
        taken[*slot] = true;
        chosen.push_back(Chosen{&entry, *slot});
        from = std::min<std::uint64_t>(from, entry.localOffset);
        to = std::max<std::uint64_t>(to, entry.localOffset + entry.compressedSize + kLongestLocalOverhead);
    }
    BulkExtractionResult outcome;
    if (chosen.empty()) return outcome;
    to = std::min(to, tail->directoryOffset);
    const std::optional<std::vector<std::uint8_t>> stored =
        from < to ? ReadRange(fd.Get(), from, to) : std::vector<std::uint8_t>();
    if (!stored) return CannotRead(errno);

    // Members in the order they lie in the file; each thread takes a run of them.
    std::sort(chosen.begin(), chosen.end(),
              [](const Chosen& a, const Chosen& b) { return a.entry->localOffset < b.entry->localOffset; });
    const unsigned threads = static_cast<unsigned>(
        std::clamp<std::size_t>(chosen.size() / kMembersPerThread + 1, 1,
                                std::min(kMostThreads, std::max(1u, std::thread::hardware_concurrency()))));
    std::vector<std::vector<std::size_t>> damaged(threads);
    auto decodeRun = [&](unsigned part) {
        const std::size_t first = chosen.size() * part / threads;
        const std::size_t last = chosen.size() * (part + 1) / threads;
        MemberDecoder decoder(what.maxSize, what.password);
        for (std::size_t i = first; i < last; ++i) {
            const std::optional<std::span<const std::uint8_t>> bytes = decoder.Decode(*chosen[i].entry, *stored, from);
            if (bytes) {
                what.take(chosen[i].slot, *bytes);
            } else {
                damaged[part].push_back(chosen[i].slot);
            }
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned part = 1; part < threads; ++part) {
        try {
            helpers.emplace_back(decodeRun, part);
        } catch (const std::system_error&) {
            decodeRun(part);  // no thread to be had: this one does the run too
        }
    }
    decodeRun(0);
    for (std::thread& helper : helpers) helper.join();
    for (const std::vector<std::size_t>& part : damaged)
        outcome.damaged.insert(outcome.damaged.end(), part.begin(), part.end());
    std::sort(outcome.damaged.begin(), outcome.damaged.end());
    return outcome;
}

std::optional<std::uint64_t> CountMembersFromEnd(const std::string& path) {
    const OwnedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!fd || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    const std::optional<ZipTail> tail = ReadZipTail(fd.Get(), static_cast<std::uint64_t>(st.st_size));
    if (!tail) return std::nullopt;
    return tail->memberCount;
}

}  // namespace plat
