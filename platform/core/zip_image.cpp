#include "platform/core/zip_image.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <new>

#include "platform/core/errors.h"
#include "platform/core/owned_fd.h"
#include "platform/core/zip_pkware.h"

namespace plat {

namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
constexpr std::uint16_t kDataDescriptorFlag = 0x0008;
constexpr std::uint16_t kStoredMethod = 0;
constexpr std::uint16_t kDeflatedMethod = 8;

std::uint16_t U16(const std::uint8_t* b) { return static_cast<std::uint16_t>(b[0] | (b[1] << 8)); }
std::uint32_t U32(const std::uint8_t* b) { return U16(b) | (static_cast<std::uint32_t>(U16(b + 2)) << 16); }

long long Nanoseconds(const timespec& t) { return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec; }

}  // namespace

ZipImage::Outcome ZipImage::Read(const std::string& path, std::unique_ptr<ZipImage>& image) {
    const OwnedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!fd) {
        SetLastErrorFromErrno(errno);
        return Outcome::kCannotRead;
    }
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        SetLastErrorFromErrno(EACCES);
        return Outcome::kCannotRead;
    }
    std::unique_ptr<ZipImage> made(new ZipImage());
    made->stamp_ = FileStamp{st.st_dev, st.st_ino, st.st_size, Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim)};
    try {
        made->bytes_.resize(static_cast<std::size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
        SetLastErrorFromErrno(ENOMEM);
        return Outcome::kCannotRead;
    }
    if (!ReadFileAt(fd.Get(), made->bytes_, 0)) {
        SetLastErrorFromErrno(errno);
        return Outcome::kCannotRead;
    }

    // The tail is read from the file as zip_layout reads it; the rest from the image.
    const std::optional<ZipTail> tail = ReadZipTail(fd.Get(), made->bytes_.size());
    if (!tail) return Outcome::kNotPlain;
    const std::span<const std::uint8_t> all(made->bytes_);
    const std::span<const std::uint8_t> directory =
        all.subspan(static_cast<std::size_t>(tail->directoryOffset), static_cast<std::size_t>(tail->directorySize));
    const auto entries = ParseZipDirectory(directory, tail->memberCount);
    if (!entries) return Outcome::kNotPlain;

    made->members_.reserve(entries->size());
    for (std::size_t i = 0; i < entries->size(); ++i) {
        const ZipDirectoryEntry& entry = (*entries)[i];
        const std::size_t entryEnd = i + 1 < entries->size() ? (*entries)[i + 1].entryOffset : directory.size();
        const std::uint64_t local = entry.localOffset;
        if (local + kZipLocalHeaderSize > tail->directoryOffset) return Outcome::kNotPlain;
        const std::uint8_t* header = all.data() + local;
        if (U32(header) != kLocalHeaderSignature) return Outcome::kNotPlain;
        const std::uint64_t data = local + kZipLocalHeaderSize + U16(header + 26) + U16(header + 28);
        std::uint64_t end = data + entry.compressedSize;
        if (end > tail->directoryOffset) return Outcome::kNotPlain;
        if (entry.flags & kDataDescriptorFlag) {
            if (end + 12 > tail->directoryOffset) return Outcome::kNotPlain;
            end += U32(all.data() + end) == kDescriptorSignature ? 16 : 12;
            if (end > tail->directoryOffset) return Outcome::kNotPlain;
        }
        Member member;
        member.entry = entry;
        member.stored = all.subspan(static_cast<std::size_t>(local), static_cast<std::size_t>(end - local));
        member.data = all.subspan(static_cast<std::size_t>(data), entry.compressedSize);
        member.directory = directory.subspan(entry.entryOffset, entryEnd - entry.entryOffset);
        made->members_.push_back(member);
        made->indexByName_.try_emplace(entry.name, i);
    }
    image = std::move(made);
    return Outcome::kRead;
}

std::optional<std::size_t> ZipImage::Find(std::string_view name) const {
    const auto it = indexByName_.find(name);
    if (it == indexByName_.end()) return std::nullopt;
    return it->second;
}

bool ZipImage::Decrypt(const Member& member, const char* password, std::vector<std::uint8_t>& out) const {
    if (!member.Encrypted()) {
        out.assign(member.data.begin(), member.data.end());
        return true;
    }
    if (password == nullptr || member.data.size() < kPkwareHeaderSize) return false;
    PkwareCipher cipher(password);
    std::uint8_t check = 0;
    for (std::size_t i = 0; i < kPkwareHeaderSize; ++i) check = cipher.Decrypt(member.data[i]);
    // The header's last byte is the checksum's top byte, or the time's when the sizes
    // follow the data.
    const bool timeChecked =
        (member.entry.flags & kDataDescriptorFlag) != 0 && check == (member.entry.modifiedTime >> 8);
    if (check != (member.entry.crc >> 24) && !timeChecked) return false;
    out.resize(member.data.size() - kPkwareHeaderSize);
    cipher.Decrypt(member.data.subspan(kPkwareHeaderSize), out);
    return true;
}

bool ZipImage::Deflated(std::size_t index, const char* password, DeflatedMember& out) const {
    const Member& member = members_[index];
    if (member.entry.method != kDeflatedMethod || !Decrypt(member, password, out.data)) return false;
    out.crc = member.entry.crc;
    out.size = member.entry.size;
    return true;
}

bool ZipImage::Stored(std::size_t index, const char* password, std::vector<std::uint8_t>& out) const {
    const Member& member = members_[index];
    return member.entry.method == kStoredMethod && Decrypt(member, password, out) && out.size() == member.entry.size;
}

}  // namespace plat
