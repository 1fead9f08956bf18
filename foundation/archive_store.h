#pragma once
// The archive store: the archive operations through which the task store, the history and
// the catalogs reach their archives, all under the one archive password.
//
// Member names: a task is stored as its name in double quotes, a history record as its
// number in double quotes, catalog part 0 as "Qbinf" and part n as "Qbinf" followed by n.
// A member of size 0 counts as missing.
//
// A store that reads a member, changes it and writes it back holds plat::ArchiveLock on
// the archive's path for the whole sequence, so two threads never lose each other's change.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/archive_lock.h"
#include "platform/core/deflated_member.h"
#include "platform/core/zip_bulk_reader.h"
#include "platform/core/zip_command.h"

namespace plat {
class ZipReader;
}

inline constexpr char kArchivePassword[] = "7306quab52";

// Fill a command with the initialiser's values; every other field is zero.
void InitZipCommand(ZipCommand& cmd);
void InitUnzipCommand(UnzipCommand& cmd);

// Set the archive password into a command (every function but deleting a member uses it).
void UseArchivePassword(ZipCommand& cmd);
void UseArchivePassword(UnzipCommand& cmd);

// "\"%s\"": task members; ReadArchiveEntry and WriteArchiveEntry quote their names so.
std::string QuotedMemberName(std::string_view name);
// "\"%u\"": history members.
std::string HistoryMemberName(unsigned number);
// "Qbinf" for part 0, "Qbinf%u" for part n >= 1.
std::string CatalogMemberName(unsigned index);

using ArchiveBlock = std::vector<std::uint8_t>;

// The member named by `name` in double quotes, whole, or nothing when the archive or the
// member is missing, empty, damaged or over the size limit.
std::optional<ArchiveBlock> ReadArchiveEntry(const std::string& archivePath, std::string_view name);
// Stores `block` as the member named by `name` in double quotes, replacing one of that
// name. 1 on success, 0 on failure (the archive is then as it was).
BOOL WriteArchiveEntry(const std::string& archivePath, std::string_view name, std::span<const std::uint8_t> block);

// Catalog part `index` ("Qbinf", "Qbinf1", ...), as ReadArchiveEntry.
std::optional<ArchiveBlock> ReadCatalogEntry(const std::string& archivePath, unsigned index);
// Stores catalog part `index`; 1 on success, 0 on failure.
BOOL WriteCatalogEntry(const std::string& archivePath, std::span<const std::uint8_t> block, unsigned index);

// A whole catalog written in one pass: parts[i] as catalog part i, already deflated. The
// archive at `archivePath` is replaced only when all of it was written. 1 on success.
BOOL WriteCatalogArchive(const std::string& archivePath, std::span<const plat::DeflatedMember> parts);
// Catalog part `index` of an open catalog as it is stored (deflated), or nothing when it is
// missing or cannot be read.
std::optional<plat::DeflatedMember> ReadDeflatedCatalogEntry(const plat::ZipReader& catalog, unsigned index);

// Stores `block` as a new member named `member` (as it stands, no quotes added) without
// rewriting the archive: a ZipResult, kZipMemberExists when that name is taken, and
// kZipNotAnArchive when the file there is damaged.
int AppendArchiveMember(const std::string& archivePath, const std::string& member, std::span<const std::uint8_t> block);

// The chosen members of an archive, many at once (see plat::ExtractMembers), under the
// archive's lock and password. Nothing when the archive is there but not in the form that
// is read so; then its members are read one by one.
std::optional<plat::BulkExtractionResult> ExtractArchiveMembers(const std::string& archivePath,
                                                                plat::BulkExtraction what);

// Why an archive operation that returned `zipResult` failed, from the result and the
// calling thread's last error, for a line that names the file: "access denied", "the file
// is damaged"...
std::string ArchiveFailureReason(int zipResult);
