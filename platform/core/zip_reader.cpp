#include "platform/core/zip_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <utility>
#include <vector>

namespace plat {

namespace {

long long Nanoseconds(const timespec& t) { return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec; }

FileStamp StampFromStat(const struct stat& st) {
    return FileStamp{st.st_dev, st.st_ino, st.st_size, Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim)};
}

}  // namespace

std::optional<FileStamp> StampOfFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return StampFromStat(st);
}

std::unique_ptr<ZipReader> ZipReader::Open(const std::string& path, ZipResult* error) {
    *error = kZipCannotOpen;
    // Non-blocking, so a FIFO put where an archive should be cannot hang the caller.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    // The stream keeps the descriptor's close-on-exec flag, so a kept reader's file never
    // leaks into a program the process starts.
    FILE* stream = ::fdopen(fd, "rb");
    if (stream == nullptr) {
        ::close(fd);
        return nullptr;
    }
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_filep_create(stream, 0, -1, &zipError);
    if (source == nullptr) {
        zip_error_fini(&zipError);
        std::fclose(stream);
        return nullptr;
    }
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &zipError);  // owns the source on success
    zip_error_fini(&zipError);
    if (archive == nullptr) {
        zip_source_free(source);  // closes the stream
        return nullptr;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0) {
        zip_discard(archive);
        return nullptr;
    }
    std::unique_ptr<ZipReader> reader(new ZipReader(archive, StampFromStat(st)));
    reader->count_ = static_cast<std::size_t>(count);
    reader->indexByName_.reserve(reader->count_);
    for (std::size_t i = 0; i < reader->count_; ++i) {
        const char* name = zip_get_name(archive, i, ZIP_FL_ENC_RAW);
        if (name != nullptr) reader->indexByName_.try_emplace(name, i);
    }
    *error = kZipOk;
    return reader;
}

ZipReader::ZipReader(zip* archive, const FileStamp& stamp) : archive_(archive), stamp_(stamp) {}

ZipReader::~ZipReader() { zip_discard(archive_); }

std::optional<std::size_t> ZipReader::Find(std::string_view name) const {
    const auto it = indexByName_.find(std::string(name));
    if (it == indexByName_.end()) return std::nullopt;
    return it->second;
}

ZipResult ZipReader::Info(std::size_t index, UnzipMemberInfo& info) const {
    if (index >= count_) return kZipNoSuchMember;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, index, 0, &st) != 0) return kZipDamagedMember;
    constexpr zip_uint64_t kNeeded = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE;
    if ((st.valid & kNeeded) != kNeeded) return kZipDamagedMember;
    if (st.size > kMaxArchiveMemberSize || st.comp_size > 0xFFFFFFFFu) return kZipDamagedMember;
    info.index = static_cast<DWORD>(index);
    info.compressedSize = static_cast<DWORD>(st.comp_size);
    info.uncompressedSize = static_cast<DWORD>(st.size);
    return kZipOk;
}

ZipResult ZipReader::Extract(std::size_t index, const char* password, std::span<std::uint8_t> out) const {
    UnzipMemberInfo info;
    if (const ZipResult result = Info(index, info); result != kZipOk) return result;
    const std::size_t size = info.uncompressedSize;
    if (size > out.size()) return kZipBufferTooSmall;

    zip_file_t* file = zip_fopen_index_encrypted(archive_, index, 0, password);
    if (file == nullptr) return kZipDamagedMember;
    std::size_t done = 0;
    bool sound = true;
    while (done < size) {
        const zip_int64_t got = zip_fread(file, out.data() + done, size - done);
        if (got <= 0) {
            sound = false;
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    // Reading on to the end makes the library compare checksum and length, and tells a
    // member that holds more than its recorded size.
    if (sound) {
        std::uint8_t extra = 0;
        sound = zip_fread(file, &extra, 1) == 0;
    }
    if (zip_fclose(file) != 0) sound = false;
    return sound ? kZipOk : kZipDamagedMember;
}

ZipResult ZipReader::ReadDeflated(std::size_t index, const char* password, DeflatedMember& out) const {
    if (index >= count_) return kZipNoSuchMember;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, index, 0, &st) != 0) return kZipDamagedMember;
    constexpr zip_uint64_t kNeeded = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
    if ((st.valid & kNeeded) != kNeeded || st.comp_method != ZIP_CM_DEFLATE) return kZipDamagedMember;
    if (st.size > kMaxArchiveMemberSize || st.comp_size > kMaxArchiveMemberSize) return kZipDamagedMember;

    zip_file_t* file = zip_fopen_index_encrypted(archive_, index, ZIP_FL_COMPRESSED, password);
    if (file == nullptr) return kZipDamagedMember;
    // The stored length bounds the stream (the encryption header makes it a little shorter).
    std::vector<std::uint8_t> data(static_cast<std::size_t>(st.comp_size) + 1);
    std::size_t done = 0;
    bool sound = true;
    for (;;) {
        const zip_int64_t got = zip_fread(file, data.data() + done, data.size() - done);
        if (got < 0) sound = false;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
        if (done == data.size()) {
            sound = false;  // more than the archive says it stores
            break;
        }
    }
    if (zip_fclose(file) != 0) sound = false;
    if (!sound) return kZipDamagedMember;
    data.resize(done);
    out.data = std::move(data);
    out.crc = static_cast<std::uint32_t>(st.crc);
    out.size = st.size;
    return kZipOk;
}

}  // namespace plat
