// Writing archives: storing a memory block as a member, deleting a member.
//
// libzip rewrites an archive on close into a temporary file beside it and renames that
// into place; when the rewrite fails the temporary file is removed and the archive is
// untouched. A file that is not a ZIP archive is never replaced, unless it is empty.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "platform/core/archive_lock.h"
#include "platform/core/zip_command.h"
#include "platform/core/zip_reader_cache.h"

namespace {

constexpr std::size_t kMaxMemberNameBytes = 0xFFFF;  // the ZIP format's limit

// Something other than a regular file stands at the path (a folder, a FIFO...).
bool IsOccupiedByNonFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

// An empty file holds nothing to lose; it is taken as an empty archive (a temporary
// name reserved by the system is such a file).
bool IsEmptyFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
}

struct DiscardArchive {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
// An archive opened for changes; dropped unwritten unless committed.
using ArchiveForChanges = std::unique_ptr<zip_t, DiscardArchive>;

ArchiveForChanges OpenForChanges(const std::string& path, int flags) {
    int openError = 0;
    return ArchiveForChanges(zip_open(path.c_str(), flags, &openError));
}

// The member whose stored name is exactly these bytes, matched as the reader matches.
std::optional<zip_uint64_t> FindMember(zip_t* archive, const char* name) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* stored = zip_get_name(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (stored != nullptr && std::strcmp(stored, name) == 0) return static_cast<zip_uint64_t>(i);
    }
    return std::nullopt;
}

// Flushes `path` to the disk. False only when the flush failed: a path that cannot be
// opened (the archive is gone when its last member was deleted) or a file system that
// cannot flush at all has nothing to report.
bool SyncToDisk(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return true;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    ::close(fd);
    return synced;
}

// The library renames its rewrite into place without flushing it; a crash soon after
// could leave an empty or partial archive under the name. A failed flush is a failed write.
bool MakeDurable(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    return SyncToDisk(path, O_RDONLY) && SyncToDisk(folder, O_RDONLY | O_DIRECTORY);
}

// Writes the archive's changes and flushes them. When the rewrite fails nothing of them
// reaches the disk; when only the flush fails they are in place but may not survive a crash.
int Commit(ArchiveForChanges archive, const std::string& path) {
    if (zip_close(archive.get()) != 0) return kZipWriteFailed;  // still open: discarded
    archive.release();
    return MakeDurable(path) ? kZipOk : kZipWriteFailed;
}

// Puts the block in as a member: in the place of the member of that name, else at the end.
std::optional<zip_uint64_t> PutMember(zip_t* archive, const ZipCommand& cmd) {
    zip_source_t* source = zip_source_buffer(archive, cmd.block, cmd.blockSize, 0);
    if (source == nullptr) return std::nullopt;
    std::optional<zip_uint64_t> index = FindMember(archive, cmd.memberName);
    if (index) {
        if (zip_file_replace(archive, *index, source, 0) != 0) index.reset();
    } else {
        const zip_int64_t added = zip_file_add(archive, cmd.memberName, source, ZIP_FL_ENC_GUESS);
        if (added >= 0) index = static_cast<zip_uint64_t>(added);
    }
    if (!index) zip_source_free(source);  // taken by the archive only on success
    return index;
}

int AddMemory(const ZipCommand& cmd, const std::string& path) {
    if (IsOccupiedByNonFile(path)) return kZipCannotOpen;
    ArchiveForChanges archive = OpenForChanges(path, IsEmptyFile(path) ? ZIP_CREATE | ZIP_TRUNCATE : ZIP_CREATE);
    if (archive == nullptr) return kZipCannotOpen;
    const std::optional<zip_uint64_t> index = PutMember(archive.get(), cmd);
    if (!index) return kZipWriteFailed;

    const bool stored = cmd.compressionLevel == 0;
    const zip_uint32_t level = cmd.compressionLevel > 9 ? 9 : cmd.compressionLevel;
    if (zip_set_file_compression(archive.get(), *index, stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, level) != 0) {
        return kZipWriteFailed;
    }
    if (cmd.passwordOn != 0 &&
        zip_file_set_encryption(archive.get(), *index, ZIP_EM_TRAD_PKWARE, cmd.password) != 0) {
        return kZipWriteFailed;
    }
    return Commit(std::move(archive), path);
}

int DeleteMember(const ZipCommand& cmd, const std::string& path) {
    if (IsOccupiedByNonFile(path)) return kZipCannotOpen;
    ArchiveForChanges archive = OpenForChanges(path, 0);
    if (archive == nullptr) return kZipCannotOpen;
    const std::optional<zip_uint64_t> index = FindMember(archive.get(), cmd.memberName);
    if (!index) return kZipNoSuchMember;
    if (zip_delete(archive.get(), *index) != 0) return kZipWriteFailed;
    // Deleting the last member removes the archive file: a missing archive is an empty one.
    return Commit(std::move(archive), path);
}

bool IsWellFormed(const ZipCommand& cmd) {
    if (cmd.structSize != sizeof(ZipCommand) || cmd.archivePath == nullptr || cmd.archivePath[0] == '\0' ||
        cmd.memberName == nullptr || cmd.memberName[0] == '\0' ||
        std::strlen(cmd.memberName) > kMaxMemberNameBytes) {
        return false;
    }
    switch (cmd.function) {
    case kZipAddMemory:
        return (cmd.block != nullptr || cmd.blockSize == 0) && cmd.blockSize <= kMaxArchiveMemberSize &&
               (cmd.passwordOn == 0 || cmd.password != nullptr);
    case kZipDeleteMember:
        return true;
    default:
        return false;
    }
}

}  // namespace

int dzip(ZipCommand* cmd) {
    if (cmd == nullptr || !IsWellFormed(*cmd)) return kZipBadCommand;
    const plat::ArchiveLock lock(cmd->archivePath);
    // Readers kept open on the old file are dropped whatever the outcome.
    plat::ForgetCachedZipReader(lock.key());
    return cmd->function == kZipAddMemory ? AddMemory(*cmd, lock.key()) : DeleteMember(*cmd, lock.key());
}
