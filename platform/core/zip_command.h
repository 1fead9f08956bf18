#pragma once
// The two archive entry points, `dzip` (write) and `dunzip` (read), each driven by one
// command record. The records are in-memory interfaces: they hand pointers to the
// library and are never stored, so their fields have native widths.
//
// Both return 0 on success and a non-zero ZipResult on failure.
//
// Archives are standard ZIP files; members carrying a password are encrypted with the
// traditional PKWARE scheme, so any ZIP tool given the password opens them. Every call
// on one archive path is serialised inside the process (see archive_lock.h); a rewrite
// goes to a temporary file in the archive's folder and is renamed into place, so a failed
// write leaves the old archive as it was. Member names are only ever compared as bytes;
// they never become paths on disk.
//
// Member order: index access follows the archive's central directory. Replacing a member
// keeps its place; a new member is appended; deleting a member moves the later ones up.
// kZipAppendMemory adds a member without rewriting the archive (see zip_append.h); its
// archives list the newest member first.
//
// On failure the calling thread's last error tells why where the system said so (access
// denied, disk full...).

#include <cstddef>

#include "platform/core/win_types.h"

// dzip functions.
inline constexpr DWORD kZipDeleteMember = 2;  // delete the member named memberName
inline constexpr DWORD kZipAddMemory = 5;     // store block/blockSize as memberName, replacing it
inline constexpr DWORD kZipNoFunction = 6;    // what the initialiser leaves; dzip refuses it
inline constexpr DWORD kZipAppendMemory = 7;  // store block/blockSize as a new member memberName

// dunzip functions.
inline constexpr DWORD kUnzipCount = 1;         // memberCount = number of members
inline constexpr DWORD kUnzipInfoByIndex = 2;   // fill *indexInfo for memberIndex
inline constexpr DWORD kUnzipFind = 3;          // 0 when memberName exists
inline constexpr DWORD kUnzipInfoByName = 4;    // fill *nameInfo for memberName
inline constexpr DWORD kUnzipInfoByIndex2 = 7;  // as kUnzipInfoByIndex
inline constexpr DWORD kUnzipExtract = 9;       // member (by name, else by index) into outputBuffer

// Largest member the library writes or reads. Every stored record is far smaller; a size
// above this in an archive is treated as damage, so a hostile size never becomes an
// allocation.
inline constexpr std::size_t kMaxArchiveMemberSize = 64u * 1024u * 1024u;

enum ZipResult : int {
    kZipOk = 0,
    kZipBadCommand = 1,      // a field of the record is missing or out of range
    kZipCannotOpen = 2,      // archive missing, unreadable or not a ZIP archive
    kZipNoSuchMember = 3,    // name or index not in the archive
    kZipDamagedMember = 4,   // over the size limit, wrong password, bad data, size mismatch
    kZipBufferTooSmall = 5,  // extraction: the member does not fit outputBuffer
    kZipWriteFailed = 6,     // the rewritten archive could not be completed
    kZipMemberExists = 7,    // kZipAppendMemory: a member of that name is there already
    kZipNotAnArchive = 8,    // a write found a file that is not an archive it can read (damaged)
};

// What the information functions report of one member. Callers read the uncompressed
// size from `uncompressedSize`, for every information function.
struct UnzipMemberInfo {
    DWORD index = 0;             // position in the archive, counted from 0
    DWORD compressedSize = 0;    // bytes stored, encryption header included
    DWORD uncompressedSize = 0;  // bytes the member extracts to
};
static_assert(offsetof(UnzipMemberInfo, uncompressedSize) == 8);

struct ZipCommand {
    DWORD structSize = 0;               // sizeof(ZipCommand)
    DWORD function = 0;                 // kZipAddMemory or kZipDeleteMember
    const char* archivePath = nullptr;  // NUL-terminated
    const char* memberName = nullptr;   // NUL-terminated
    DWORD compressionLevel = 0;         // deflate level 1..9; 0 stores uncompressed
    DWORD optionFlags = 0;              // fixed by the initialiser; not read
    DWORD passwordOn = 0;               // 1: encrypt the stored member with `password`
    const char* password = nullptr;
    const void* block = nullptr;  // kZipAddMemory: the bytes to store
    DWORD blockSize = 0;
};

struct UnzipCommand {
    DWORD structSize = 0;  // sizeof(UnzipCommand)
    DWORD function = 0;
    const char* archivePath = nullptr;
    UnzipMemberInfo* nameInfo = nullptr;  // filled by kUnzipInfoByName
    const char* memberName = nullptr;     // null: the member is chosen by memberIndex
    LONG memberIndex = 0;                 // counted from 0
    // Option words the initialiser fixes and the index functions' callers clear; kept so
    // a command carries every field its callers set. The library reads none of them.
    DWORD optionFlags1 = 0;
    DWORD indexOptions = 0;
    DWORD optionFlags2 = 0;
    DWORD optionFlags3 = 0;
    DWORD memberCount = 0;  // result of kUnzipCount
    DWORD passwordOn = 0;   // 1: decrypt with `password`
    const char* password = nullptr;
    BYTE optionByte1 = 0;
    BYTE optionByte2 = 0;
    void* outputBuffer = nullptr;  // kUnzipExtract
    DWORD outputSize = 0;
    UnzipMemberInfo* indexInfo = nullptr;  // filled by kUnzipInfoByIndex and kUnzipInfoByIndex2
};

int dzip(ZipCommand* cmd);
int dunzip(UnzipCommand* cmd);
