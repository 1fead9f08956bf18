// Writing archives: storing a memory block as a member, deleting a member.
//
// libzip rewrites an archive on close into a temporary file beside it and renames that
// into place; when the rewrite fails the temporary file is removed and the archive is
// untouched. A file that is not a ZIP archive is never replaced, unless it is empty.

#include <sys/stat.h>
#include <zip.h>

#include <cstring>
#include <optional>

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

// Member indexes by exact stored bytes, as the reader matches them.
std::optional<zip_uint64_t> FindMember(zip_t* archive, const char* name) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* stored = zip_get_name(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (stored != nullptr && std::strcmp(stored, name) == 0) return static_cast<zip_uint64_t>(i);
    }
    return std::nullopt;
}

// Writes the archive's changes; on failure nothing of them reaches the disk.
int Commit(zip_t* archive) {
    if (zip_close(archive) == 0) return kZipOk;
    zip_discard(archive);
    return kZipWriteFailed;
}

int AddMemory(const ZipCommand& cmd, const std::string& path) {
    if (IsOccupiedByNonFile(path)) return kZipCannotOpen;
    int openError = 0;
    const int flags = IsEmptyFile(path) ? ZIP_CREATE | ZIP_TRUNCATE : ZIP_CREATE;
    zip_t* archive = zip_open(path.c_str(), flags, &openError);
    if (archive == nullptr) return kZipCannotOpen;

    zip_source_t* source = zip_source_buffer(archive, cmd.block, cmd.blockSize, 0);
    if (source == nullptr) {
        zip_discard(archive);
        return kZipWriteFailed;
    }
    // A replaced member keeps its place; a new one is appended.
    std::optional<zip_uint64_t> index = FindMember(archive, cmd.memberName);
    if (index) {
        if (zip_file_replace(archive, *index, source, 0) != 0) index.reset();
    } else {
        const zip_int64_t added = zip_file_add(archive, cmd.memberName, source, ZIP_FL_ENC_GUESS);
        if (added >= 0) index = static_cast<zip_uint64_t>(added);
    }
    if (!index) {
        zip_source_free(source);
        zip_discard(archive);
        return kZipWriteFailed;
    }

    const bool stored = cmd.compressionLevel == 0;
    const zip_uint32_t level = cmd.compressionLevel > 9 ? 9 : cmd.compressionLevel;
    bool configured = zip_set_file_compression(archive, *index, stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, level) == 0;
    if (configured && cmd.passwordOn != 0) {
        configured = zip_file_set_encryption(archive, *index, ZIP_EM_TRAD_PKWARE, cmd.password) == 0;
    }
    if (!configured) {
        zip_discard(archive);
        return kZipWriteFailed;
    }
    return Commit(archive);
}

int DeleteMember(const ZipCommand& cmd, const std::string& path) {
    if (IsOccupiedByNonFile(path)) return kZipCannotOpen;
    int openError = 0;
    zip_t* archive = zip_open(path.c_str(), 0, &openError);
    if (archive == nullptr) return kZipCannotOpen;
    const std::optional<zip_uint64_t> index = FindMember(archive, cmd.memberName);
    if (!index) {
        zip_discard(archive);
        return kZipNoSuchMember;
    }
    if (zip_delete(archive, *index) != 0) {
        zip_discard(archive);
        return kZipWriteFailed;
    }
    // Deleting the last member removes the archive file: a missing archive is an empty one.
    return Commit(archive);
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
