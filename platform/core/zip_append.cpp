#include "platform/core/zip_append.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <list>
#include <mutex>
#include <new>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/core/detail/zip_member_storage.h"
#include "platform/core/errors.h"
#include "platform/core/owned_fd.h"
#include "platform/core/zip_layout.h"
#include "platform/core/zip_reader.h"

namespace plat {

namespace {

constexpr std::uint64_t kLeastFreeSpace = 64 * 1024;
constexpr std::uint64_t kPageSize = 4096;
constexpr std::uint64_t kLargest32 = 0xFFFFFFFF;
constexpr std::size_t kKeptLayouts = 2;

// --- Test interruption ----------------------------------------------------------------------

struct Interruption {
    std::mutex mutex;
    std::function<bool(int)> callback;
    std::atomic<bool> installed{false};
};

Interruption& TestInterruption() {
    static Interruption interruption;
    return interruption;
}

// False when a test ends the append after `writesDone` writes.
bool GoOn(int writesDone) {
    Interruption& slot = TestInterruption();
    if (!slot.installed.load(std::memory_order_relaxed)) return true;
    const std::lock_guard guard(slot.mutex);
    return !slot.callback || slot.callback(writesDone);
}

// --- The new member --------------------------------------------------------------------------

struct MadeMember {
    std::vector<std::uint8_t> local;  // local header, stored data and data descriptor
    std::vector<std::uint8_t> entry;  // its central directory entry, local offset 0
};

std::optional<std::vector<std::uint8_t>> SourceBytes(zip_source_t* source) {
    if (zip_source_open(source) != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[16384];
    zip_int64_t got = 0;
    while ((got = zip_source_read(source, chunk, sizeof chunk)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    zip_source_close(source);
    if (got < 0) return std::nullopt;
    return bytes;
}

// The member as a rewrite through libzip would store it: made by libzip as the only member
// of an archive in memory, then taken apart into its stored bytes and its entry.
std::optional<MadeMember> MakeMember(const ZipCommand& cmd) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = memory ? zip_open_from_source(memory, ZIP_TRUNCATE, &error) : nullptr;
    zip_error_fini(&error);
    if (archive == nullptr) {
        if (memory) zip_source_free(memory);
        return std::nullopt;
    }
    zip_source_keep(memory);  // kept past zip_close to read what was written into it
    zip_source_t* block = zip_source_buffer(archive, cmd.block, cmd.blockSize, 0);
    const zip_int64_t index = block ? zip_file_add(archive, cmd.memberName, block, ZIP_FL_ENC_GUESS) : -1;
    if (block && index < 0) zip_source_free(block);
    const bool written = index >= 0 && detail::SetMemberStorage(archive, static_cast<zip_uint64_t>(index), cmd) &&
                         zip_close(archive) == 0;
    if (!written) zip_discard(archive);
    std::optional<std::vector<std::uint8_t>> bytes = written ? SourceBytes(memory) : std::nullopt;
    zip_source_free(memory);
    if (!bytes || bytes->size() < kZipEndRecordSize) return std::nullopt;

    const std::span<const std::uint8_t> end = std::span<const std::uint8_t>(*bytes).last(kZipEndRecordSize);
    const std::uint64_t directorySize = end[12] | (end[13] << 8) | (end[14] << 16) | (std::uint64_t{end[15]} << 24);
    const std::uint64_t directoryOffset = end[16] | (end[17] << 8) | (end[18] << 16) | (std::uint64_t{end[19]} << 24);
    if (directoryOffset + directorySize + kZipEndRecordSize != bytes->size()) return std::nullopt;
    MadeMember made;
    made.local.assign(bytes->begin(), bytes->begin() + static_cast<std::ptrdiff_t>(directoryOffset));
    made.entry.assign(bytes->begin() + static_cast<std::ptrdiff_t>(directoryOffset), bytes->end() - kZipEndRecordSize);
    if (!ParseZipDirectory(made.entry, 1)) return std::nullopt;
    return made;
}

// --- The archive's layout --------------------------------------------------------------------

struct Layout {
    FileStamp stamp;
    ZipTail tail;
    std::uint64_t freeStart = 0;  // just past the last member's stored bytes
    std::unordered_set<std::string> names;
};

// Layouts of archives appended to lately, each trusted while its file is as it was left.
struct LayoutCache {
    std::mutex mutex;
    std::list<std::pair<std::string, Layout>> layouts;  // most recent first
};

LayoutCache& Layouts() {
    static LayoutCache cache;
    return cache;
}

std::optional<Layout> TakeCachedLayout(const std::string& key) {
    LayoutCache& cache = Layouts();
    const std::lock_guard guard(cache.mutex);
    for (auto it = cache.layouts.begin(); it != cache.layouts.end(); ++it) {
        if (it->first != key) continue;
        Layout layout = std::move(it->second);
        cache.layouts.erase(it);
        if (StampOfFile(key) == layout.stamp) return layout;
        return std::nullopt;
    }
    return std::nullopt;
}

void KeepLayout(const std::string& key, Layout layout) {
    const std::optional<FileStamp> stamp = StampOfFile(key);
    if (!stamp) return;
    layout.stamp = *stamp;
    LayoutCache& cache = Layouts();
    const std::lock_guard guard(cache.mutex);
    cache.layouts.emplace_front(key, std::move(layout));
    if (cache.layouts.size() > kKeptLayouts) cache.layouts.pop_back();
}

std::optional<std::vector<std::uint8_t>> ReadDirectory(int fd, const ZipTail& tail) {
    std::vector<std::uint8_t> directory;
    try {
        directory.resize(static_cast<std::size_t>(tail.directorySize));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!ReadFileAt(fd, directory, tail.directoryOffset)) return std::nullopt;
    return directory;
}

// The layout of the archive open as `fd`, or nothing when it is not in the plain form.
std::optional<Layout> ReadLayout(int fd, std::uint64_t fileSize) {
    Layout layout;
    const std::optional<ZipTail> tail = ReadZipTail(fd, fileSize);
    if (!tail) return std::nullopt;
    layout.tail = *tail;
    const std::optional<std::vector<std::uint8_t>> directory = ReadDirectory(fd, *tail);
    if (!directory) return std::nullopt;
    const auto entries = ParseZipDirectory(*directory, tail->memberCount);
    if (!entries) return std::nullopt;
    const ZipDirectoryEntry* last = nullptr;
    for (const ZipDirectoryEntry& entry : *entries) {
        if (entry.localOffset >= tail->directoryOffset) return std::nullopt;
        if (!last || entry.localOffset > last->localOffset) last = &entry;
        layout.names.emplace(entry.name);
    }
    if (last) {
        const std::optional<std::uint64_t> end = ZipMemberEnd(fd, *last);
        if (!end || *end > tail->directoryOffset) return std::nullopt;
        layout.freeStart = *end;
    }
    return layout;
}

// --- Writing ---------------------------------------------------------------------------------

int Failed(int error) {
    SetLastErrorFromErrno(error);
    return kZipWriteFailed;
}

bool EndRecordsInOnePage(const ZipTail& tail) {
    return tail.EndRecordsOffset() % kPageSize + tail.EndRecordsSize() <= kPageSize;
}

bool NeedsZip64(std::uint64_t memberCount) { return memberCount >= kZipClassicMemberLimit; }

// The new member into the free space, its entry before the directory, then the end records.
int AppendInPlace(int fd, const std::string& key, Layout layout, MadeMember made, const std::string& name) {
    SetZipEntryLocalOffset(made.entry, static_cast<std::uint32_t>(layout.freeStart));
    ZipTail tail = layout.tail;
    tail.memberCount += 1;
    tail.directoryOffset -= made.entry.size();
    tail.directorySize += made.entry.size();
    if (!WriteFileAt(fd, made.local, layout.freeStart)) return Failed(errno);
    if (!GoOn(1)) return kZipWriteFailed;
    if (!WriteFileAt(fd, made.entry, tail.directoryOffset)) return Failed(errno);
    if (!GoOn(2)) return kZipWriteFailed;
    // What the end records will point at is on the disk before they do.
    if (::fdatasync(fd) != 0 && errno != EINVAL) return Failed(errno);
    if (!WriteFileAt(fd, MakeZipEndRecords(tail), tail.EndRecordsOffset())) return Failed(errno);
    if (!GoOn(3)) return kZipWriteFailed;
    if (::fdatasync(fd) != 0 && errno != EINVAL) return Failed(errno);
    layout.tail = tail;
    layout.freeStart += made.local.size();
    layout.names.insert(name);
    KeepLayout(key, std::move(layout));
    return kZipOk;
}

// A file of a new name beside `key`, made with the usual modes (the process's umask applies).
std::pair<OwnedFd, std::string> CreateTemporaryBeside(const std::string& key) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = key + ".qbtmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        OwnedFd fd(::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd) return {std::move(fd), name};
        if (errno != EEXIST) break;
    }
    return {OwnedFd(), std::string()};
}

bool CopyRange(int from, int to, std::uint64_t length) {
    loff_t in = 0;
    loff_t out = 0;
    while (length > 0) {
        const ssize_t copied = ::copy_file_range(from, &in, to, &out, static_cast<std::size_t>(length), 0);
        if (copied < 0 && errno == EINTR) continue;
        if (copied > 0) {
            length -= static_cast<std::uint64_t>(copied);
            continue;
        }
        if (copied == 0 || (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)) {
            if (copied == 0) errno = EIO;
            return false;
        }
        // No copy inside the kernel between these two: through a buffer.
        std::vector<std::uint8_t> buffer(1 << 20);
        while (length > 0) {
            const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.size()));
            const std::span<std::uint8_t> piece(buffer.data(), part);
            if (!ReadFileAt(from, piece, static_cast<std::uint64_t>(in)) ||
                !WriteFileAt(to, piece, static_cast<std::uint64_t>(out))) {
                return false;
            }
            in += static_cast<loff_t>(part);
            out += static_cast<loff_t>(part);
            length -= part;
        }
    }
    return true;
}

void SyncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const OwnedFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) ::fsync(fd.Get());
}

// The archive written anew: the members as they are stored, the new one after them, free
// space, then the directory (newest first) and the end records within one page.
std::optional<int> Rewrite(const OwnedFd& old, const std::string& key, Layout layout, MadeMember made,
                           const std::string& name) {
    const std::uint64_t membersEnd = layout.freeStart + made.local.size();
    if (membersEnd > kLargest32) return std::nullopt;  // offsets past 32 bits: the general way
    std::vector<std::uint8_t> directory;
    if (old && layout.tail.directorySize > 0) {
        std::optional<std::vector<std::uint8_t>> oldDirectory = ReadDirectory(old.Get(), layout.tail);
        if (!oldDirectory) return Failed(errno);
        directory = std::move(*oldDirectory);
    }
    SetZipEntryLocalOffset(made.entry, static_cast<std::uint32_t>(layout.freeStart));
    directory.insert(directory.begin(), made.entry.begin(), made.entry.end());

    ZipTail tail;
    tail.memberCount = layout.tail.memberCount + 1;
    tail.zip64 = NeedsZip64(tail.memberCount);
    tail.directorySize = directory.size();
    tail.directoryOffset = membersEnd + std::max(kLeastFreeSpace, (membersEnd + directory.size()) / 4);
    if (!EndRecordsInOnePage(tail)) tail.directoryOffset += kPageSize - tail.EndRecordsOffset() % kPageSize;
    if (tail.EndRecordsOffset() > kLargest32) tail.zip64 = true;
    if (!EndRecordsInOnePage(tail)) tail.directoryOffset += kPageSize - tail.EndRecordsOffset() % kPageSize;

    auto [temporary, temporaryName] = CreateTemporaryBeside(key);
    if (!temporary) return Failed(errno);
    struct stat st {};
    const bool written = (!old || (::fstat(old.Get(), &st) == 0 && ::fchmod(temporary.Get(), st.st_mode & 07777) == 0 &&
                                   CopyRange(old.Get(), temporary.Get(), layout.freeStart))) &&
                         WriteFileAt(temporary.Get(), made.local, layout.freeStart) &&
                         WriteFileAt(temporary.Get(), directory, tail.directoryOffset) &&
                         WriteFileAt(temporary.Get(), MakeZipEndRecords(tail), tail.EndRecordsOffset()) &&
                         ::fsync(temporary.Get()) == 0;
    if (!written) {
        const int error = errno;
        ::unlink(temporaryName.c_str());
        return Failed(error);
    }
    if (!GoOn(1)) return kZipWriteFailed;
    if (::rename(temporaryName.c_str(), key.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporaryName.c_str());
        return Failed(error);
    }
    SyncFolderOf(key);
    layout.tail = tail;
    layout.freeStart = membersEnd;
    layout.names.insert(name);
    KeepLayout(key, std::move(layout));
    return kZipOk;
}

}  // namespace

std::optional<int> AppendZipMember(const ZipCommand& cmd, const std::string& key) {
    OwnedFd fd(::open(key.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    if (!fd && errno != ENOENT) {
        SetLastErrorFromErrno();
        return kZipCannotOpen;
    }
    std::optional<Layout> layout;
    if (fd) {
        struct stat st {};
        if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return kZipCannotOpen;
        }
        if (st.st_size == 0) {
            fd.Reset();  // an empty file holds nothing to keep: a new archive
        } else {
            layout = TakeCachedLayout(key);
            if (!layout) layout = ReadLayout(fd.Get(), static_cast<std::uint64_t>(st.st_size));
            if (!layout) return std::nullopt;
        }
    }
    if (!layout) layout.emplace();

    const std::string name(cmd.memberName);
    if (layout->names.contains(name)) {
        KeepLayout(key, std::move(*layout));
        return kZipMemberExists;
    }
    std::optional<MadeMember> made = MakeMember(cmd);
    if (!made) return kZipWriteFailed;

    const ZipTail& tail = layout->tail;
    const bool fits = fd && tail.zip64 == NeedsZip64(tail.memberCount + 1) && EndRecordsInOnePage(tail) &&
                      layout->freeStart + made->local.size() + made->entry.size() <= tail.directoryOffset &&
                      layout->freeStart + made->local.size() <= kLargest32;
    if (fits) return AppendInPlace(fd.Get(), key, std::move(*layout), std::move(*made), name);
    return Rewrite(fd, key, std::move(*layout), std::move(*made), name);
}

namespace zip_detail {

void SetAppendInterruption(std::function<bool(int writesDone)> interruption) {
    Interruption& slot = TestInterruption();
    const std::lock_guard guard(slot.mutex);
    slot.installed.store(static_cast<bool>(interruption), std::memory_order_relaxed);
    slot.callback = std::move(interruption);
}

}  // namespace zip_detail

}  // namespace plat
