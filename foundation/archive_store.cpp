#include "foundation/archive_store.h"

#include <new>

#include "platform/core/errors.h"
#include "platform/core/text.h"
#include "platform/core/zip_deflated_archive.h"
#include "platform/core/zip_reader.h"

namespace {

// Find, size, allocate, extract: all under the archive's lock, so the member cannot
// change between the size being read and the bytes.
std::optional<ArchiveBlock> ReadMember(const std::string& archivePath, const std::string& member) {
    const plat::ArchiveLock lock(archivePath);

    UnzipCommand cmd;
    InitUnzipCommand(cmd);
    UseArchivePassword(cmd);
    cmd.archivePath = archivePath.c_str();
    cmd.memberName = member.c_str();
    cmd.function = kUnzipFind;
    if (dunzip(&cmd) != 0) return std::nullopt;

    UnzipMemberInfo info;
    cmd.nameInfo = &info;
    cmd.function = kUnzipInfoByName;
    if (dunzip(&cmd) != 0 || info.uncompressedSize < 1) return std::nullopt;

    ArchiveBlock block;
    try {
        block.resize(info.uncompressedSize);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    cmd.outputBuffer = block.data();
    cmd.outputSize = static_cast<DWORD>(block.size());
    cmd.function = kUnzipExtract;
    if (dunzip(&cmd) != 0) return std::nullopt;
    return block;
}

// Catalog blocks are large, mostly zero-padded rows written on every Sync: the fastest
// deflate level shrinks them almost as well and at twice the speed.
constexpr DWORD kCatalogCompressionLevel = 1;

BOOL WriteMember(const std::string& archivePath, const std::string& member, std::span<const std::uint8_t> block,
                 DWORD compressionLevel = 0) {
    if (block.size() > kMaxArchiveMemberSize) return FALSE;
    ZipCommand cmd;
    InitZipCommand(cmd);
    if (compressionLevel != 0) cmd.compressionLevel = compressionLevel;
    UseArchivePassword(cmd);
    cmd.function = kZipAddMemory;
    cmd.archivePath = archivePath.c_str();
    cmd.memberName = member.c_str();
    cmd.block = block.data();
    cmd.blockSize = static_cast<DWORD>(block.size());
    return dzip(&cmd) == 0 ? TRUE : FALSE;
}

}  // namespace

void InitZipCommand(ZipCommand& cmd) {
    cmd = ZipCommand{};
    cmd.structSize = sizeof(ZipCommand);
    cmd.function = kZipNoFunction;
    cmd.compressionLevel = 5;
    cmd.optionFlags = 1;
}

void InitUnzipCommand(UnzipCommand& cmd) {
    cmd = UnzipCommand{};
    cmd.structSize = sizeof(UnzipCommand);
    cmd.function = kUnzipExtract;
    cmd.memberIndex = -1;
    cmd.optionFlags1 = 1;
    cmd.optionFlags2 = 1;
    cmd.optionFlags3 = 1;
    cmd.optionByte1 = 0;
    cmd.optionByte2 = 2;
}

// The password is a constant the library only reads, so commands point at it directly.
void UseArchivePassword(ZipCommand& cmd) {
    cmd.passwordOn = 1;
    cmd.password = kArchivePassword;
}

void UseArchivePassword(UnzipCommand& cmd) {
    cmd.passwordOn = 1;
    cmd.password = kArchivePassword;
}

std::string QuotedMemberName(std::string_view name) {
    std::string quoted;
    quoted.reserve(name.size() + 2);
    quoted += '"';
    quoted += name;
    quoted += '"';
    return quoted;
}

std::string HistoryMemberName(unsigned number) { return plat::Format("\"%u\"", number); }

std::string CatalogMemberName(unsigned index) {
    return index == 0 ? std::string("Qbinf") : plat::Format("Qbinf%u", index);
}

std::optional<ArchiveBlock> ReadArchiveEntry(const std::string& archivePath, std::string_view name) {
    return ReadMember(archivePath, QuotedMemberName(name));
}

BOOL WriteArchiveEntry(const std::string& archivePath, std::string_view name, std::span<const std::uint8_t> block) {
    return WriteMember(archivePath, QuotedMemberName(name), block);
}

std::optional<ArchiveBlock> ReadCatalogEntry(const std::string& archivePath, unsigned index) {
    return ReadMember(archivePath, CatalogMemberName(index));
}

BOOL WriteCatalogEntry(const std::string& archivePath, std::span<const std::uint8_t> block, unsigned index) {
    return WriteMember(archivePath, CatalogMemberName(index), block, kCatalogCompressionLevel);
}

BOOL WriteCatalogArchive(const std::string& archivePath, std::span<const plat::DeflatedMember> parts) {
    std::vector<plat::NamedDeflatedMember> members;
    members.reserve(parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        members.push_back({CatalogMemberName(static_cast<unsigned>(i)), &parts[i]});
    }
    return plat::WriteDeflatedArchive(archivePath, members, kArchivePassword) == 0 ? TRUE : FALSE;
}

std::optional<plat::DeflatedMember> ReadDeflatedCatalogEntry(const plat::ZipReader& catalog, unsigned index) {
    const std::optional<std::size_t> member = catalog.Find(CatalogMemberName(index));
    plat::DeflatedMember part;
    if (!member || catalog.ReadDeflated(*member, kArchivePassword, part) != kZipOk) return std::nullopt;
    return part;
}

int AppendArchiveMember(const std::string& archivePath, const std::string& member,
                        std::span<const std::uint8_t> block) {
    if (block.size() > kMaxArchiveMemberSize) return kZipBadCommand;
    ZipCommand cmd;
    InitZipCommand(cmd);
    UseArchivePassword(cmd);
    cmd.function = kZipAppendMemory;
    cmd.archivePath = archivePath.c_str();
    cmd.memberName = member.c_str();
    cmd.block = block.data();
    cmd.blockSize = static_cast<DWORD>(block.size());
    SetLastError(ERROR_SUCCESS);
    return dzip(&cmd);
}

std::optional<plat::BulkExtractionResult> ExtractArchiveMembers(const std::string& archivePath,
                                                                plat::BulkExtraction what) {
    const plat::ArchiveLock lock(archivePath);
    what.password = kArchivePassword;
    return plat::ExtractMembers(lock.key(), what);
}

std::string ArchiveFailureReason(int zipResult) {
    if (zipResult == kZipNotAnArchive) return "the file is damaged";
    if (zipResult == kZipDamagedMember) return "a record in it is damaged";
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED: return "access denied";
    case ERROR_DISK_FULL: return "the disk is full";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "the file or its folder is missing";
    case ERROR_NOT_ENOUGH_MEMORY: return "out of memory";
    case ERROR_SUCCESS: return "it could not be written";
    default: return plat::Format("error %u", static_cast<unsigned>(GetLastError()));
    }
}
