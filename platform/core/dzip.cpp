// Writing archives: storing a memory block as a member, deleting a member.
//
// libzip rewrites an archive on close into a temporary file beside it and renames that
// into place; when the rewrite fails the temporary file is removed and the archive is
// untouched. A file that is not a ZIP archive is never replaced, unless it is empty.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/core/archive_lock.h"
#include "platform/core/detail/disk_flush.h"
#include "platform/core/detail/zip_member_storage.h"
#include "platform/core/errors.h"
#include "platform/core/zip_append.h"
#include "platform/core/zip_command.h"
#include "platform/core/zip_deflated_archive.h"
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

// The archive opened for changes; when it cannot be, *result says whether the file is no
// archive (damaged) or could not be opened (the last error then says why).
ArchiveForChanges OpenForChanges(const std::string& path, int flags, int* result) {
    int openError = 0;
    ArchiveForChanges archive(zip_open(path.c_str(), flags, &openError));
    if (archive == nullptr) {
        const int error = errno;
        const bool damaged = openError == ZIP_ER_NOZIP || openError == ZIP_ER_INCONS || openError == ZIP_ER_CRC;
        *result = damaged ? kZipNotAnArchive : kZipCannotOpen;
        if (!damaged) plat::SetLastErrorFromErrno(error);
    }
    return archive;
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

// The library renames its rewrite into place without flushing it; a crash soon after
// could leave an empty or partial archive under the name. A failed flush is a failed write.
bool MakeDurable(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    return plat::detail::SyncToDisk(path, O_RDONLY) && plat::detail::SyncToDisk(folder, O_RDONLY | O_DIRECTORY);
}

// Writes the archive's changes and flushes them. When the rewrite fails nothing of them
// reaches the disk; when only the flush fails they are in place but may not survive a crash.
int Commit(ArchiveForChanges archive, const std::string& path) {
    if (zip_close(archive.get()) != 0) {  // still open: discarded
        const zip_error_t* error = zip_get_error(archive.get());
        if (zip_error_system_type(error) == ZIP_ET_SYS) plat::SetLastErrorFromErrno(zip_error_code_system(error));
        return kZipWriteFailed;
    }
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

// `onlyNew`: a member of that name is refused rather than replaced.
int AddMemory(const ZipCommand& cmd, const std::string& path, bool onlyNew = false) {
    if (IsOccupiedByNonFile(path)) return kZipCannotOpen;
    int opened = kZipOk;
    ArchiveForChanges archive =
        OpenForChanges(path, IsEmptyFile(path) ? ZIP_CREATE | ZIP_TRUNCATE : ZIP_CREATE, &opened);
    if (archive == nullptr) return opened;
    if (onlyNew && FindMember(archive.get(), cmd.memberName)) return kZipMemberExists;
    const std::optional<zip_uint64_t> index = PutMember(archive.get(), cmd);
    if (!index || !plat::detail::SetMemberStorage(archive.get(), *index, cmd)) return kZipWriteFailed;
    return Commit(std::move(archive), path);
}

int AppendMemory(const ZipCommand& cmd, const std::string& path) {
    if (const std::optional<int> appended = plat::AppendZipMember(cmd, path)) return *appended;
    // Not in the form an append reads directly: through libzip, which lays the archive
    // out anew; the next append then finds it in that form.
    return AddMemory(cmd, path, true);
}

int DeleteMember(const ZipCommand& cmd, const std::string& path) {
    if (IsOccupiedByNonFile(path)) return kZipCannotOpen;
    int opened = kZipOk;
    ArchiveForChanges archive = OpenForChanges(path, 0, &opened);
    if (archive == nullptr) return opened;
    const std::optional<zip_uint64_t> index = FindMember(archive.get(), cmd.memberName);
    if (!index) return kZipNoSuchMember;
    if (zip_delete(archive.get(), *index) != 0) return kZipWriteFailed;
    // Deleting the last member removes the archive file: a missing archive is an empty one.
    return Commit(std::move(archive), path);
}

// Serves a member deflated beforehand. Its stat names the deflate method with both sizes
// and the checksum, so the library stores the bytes as they are and only encrypts them.
struct DeflatedSource {
    const plat::DeflatedMember* member = nullptr;
    std::time_t modified = 0;
    std::size_t position = 0;
    zip_error_t error;
};

zip_int64_t ServeDeflated(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* source = static_cast<DeflatedSource*>(userdata);
    const std::vector<std::uint8_t>& bytes = source->member->data;
    switch (command) {
    case ZIP_SOURCE_OPEN: source->position = 0; return 0;
    case ZIP_SOURCE_READ: {
        const std::size_t count = std::min<std::size_t>(length, bytes.size() - source->position);
        std::memcpy(data, bytes.data() + source->position, count);
        source->position += count;
        return static_cast<zip_int64_t>(count);
    }
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE: return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &source->error);
        if (st == nullptr) return -1;
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC | ZIP_STAT_MTIME |
                    ZIP_STAT_ENCRYPTION_METHOD;
        st->size = source->member->size;
        st->comp_size = bytes.size();
        st->comp_method = ZIP_CM_DEFLATE;
        st->encryption_method = ZIP_EM_NONE;
        st->crc = source->member->crc;
        st->mtime = source->modified;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR: return zip_error_to_data(&source->error, data, length);
    case ZIP_SOURCE_SUPPORTS: return ZIP_SOURCE_SUPPORTS_READABLE;
    default: zip_error_set(&source->error, ZIP_ER_OPNOTSUPP, 0); return -1;
    }
}

int WriteDeflated(const std::string& path, std::span<const plat::NamedDeflatedMember> members, const char* password) {
    if (IsOccupiedByNonFile(path)) return kZipCannotOpen;
    int opened = kZipOk;
    ArchiveForChanges archive = OpenForChanges(path, ZIP_CREATE | ZIP_TRUNCATE, &opened);
    if (archive == nullptr) return opened;
    // Read by the library only in zip_close, so they live until the archive is written.
    std::vector<DeflatedSource> sources(members.size());
    const std::time_t now = std::time(nullptr);
    for (std::size_t i = 0; i < members.size(); ++i) {
        DeflatedSource& served = sources[i];
        served.member = members[i].member;
        served.modified = now;
        zip_error_init(&served.error);
        zip_source_t* source = zip_source_function(archive.get(), ServeDeflated, &served);
        if (source == nullptr) return kZipWriteFailed;
        const zip_int64_t index = zip_file_add(archive.get(), members[i].name.c_str(), source, ZIP_FL_ENC_GUESS);
        if (index < 0) {
            zip_source_free(source);
            return kZipWriteFailed;
        }
        if (password != nullptr && zip_file_set_encryption(archive.get(), static_cast<zip_uint64_t>(index),
                                                           ZIP_EM_TRAD_PKWARE, password) != 0) {
            return kZipWriteFailed;
        }
    }
    const int result = Commit(std::move(archive), path);
    for (DeflatedSource& served : sources) zip_error_fini(&served.error);
    return result;
}

bool IsWellFormed(const ZipCommand& cmd) {
    if (cmd.structSize != sizeof(ZipCommand) || cmd.archivePath == nullptr || cmd.archivePath[0] == '\0' ||
        cmd.memberName == nullptr || cmd.memberName[0] == '\0' || std::strlen(cmd.memberName) > kMaxMemberNameBytes) {
        return false;
    }
    switch (cmd.function) {
    case kZipAddMemory:
    case kZipAppendMemory:
        return (cmd.block != nullptr || cmd.blockSize == 0) && cmd.blockSize <= kMaxArchiveMemberSize &&
               (cmd.passwordOn == 0 || cmd.password != nullptr);
    case kZipDeleteMember: return true;
    default: return false;
    }
}

}  // namespace

int dzip(ZipCommand* cmd) {
    if (cmd == nullptr || !IsWellFormed(*cmd)) return kZipBadCommand;
    const plat::ArchiveLock lock(cmd->archivePath);
    // Readers kept open on the old file are dropped whatever the outcome.
    plat::ForgetCachedZipReader(lock.key());
    switch (cmd->function) {
    case kZipAddMemory: return AddMemory(*cmd, lock.key());
    case kZipAppendMemory: return AppendMemory(*cmd, lock.key());
    default: return DeleteMember(*cmd, lock.key());
    }
}

namespace plat {

int WriteDeflatedArchive(const std::string& path, std::span<const NamedDeflatedMember> members, const char* password) {
    if (path.empty() || members.empty()) return kZipBadCommand;
    for (const NamedDeflatedMember& named : members) {
        if (named.member == nullptr || named.name.empty() || named.name.size() > kMaxMemberNameBytes ||
            named.member->size > kMaxArchiveMemberSize || named.member->data.size() > kMaxArchiveMemberSize) {
            return kZipBadCommand;
        }
    }
    const ArchiveLock lock(path);
    ForgetCachedZipReader(lock.key());
    return WriteDeflated(lock.key(), members, password);
}

}  // namespace plat
