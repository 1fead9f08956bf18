#pragma once
// One entry of the history file: a run, or an event of a task (created, changed, deleted,
// renamed, copied, imported). Stored as a fixed record of 4,672 bytes, little-endian:
//
//   0     260  task name, 8-bit, NUL-terminated
//   260  2048  Left folder as entered, UTF-16, NUL-terminated
//   2308 2048  Right folder as entered, UTF-16, NUL-terminated
//   4356  256  text, 8-bit, NUL-terminated
//   4612    4  1 when the task's "Case Sensitive" option is off
//   4616    4  code          4620  4  sync type      4624  4  "Delete"
//   4628    4  "Save Delete" 4632  4  "Lock"         4636  4  "Read Only"
//   4640    4  "Read Only Target"
//   4644    4  start source (runs only)              4648  4  type
//   4652    8  start, FILETIME of local wall-clock time
//   4660    8  end, the same
//   4668    4  status; bit 31 set when the folder fields hold UTF-16. Records of older
//              versions have it clear and hold their folders as 8-bit text.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/core/win_types.h"

inline constexpr std::size_t kHistoryRecordSize = 4672;

// The status word's mark for folder fields in UTF-16; every record written here has it.
inline constexpr DWORD kHistoryWideFolders = 0x80000000;

// What a record tells of.
enum HistoryType : DWORD {
    kHistorySync = 0,          // a run in mode Sync
    kHistoryCheck = 1,         // a run in mode Check
    kHistoryCheckAndSync = 2,  // a run in mode Check and Sync
    kHistoryTaskDeleted = 3,
    kHistoryTaskChanged = 4,  // a change made in the task window; `code` says which
    kHistoryTaskCreated = 5,
    kHistoryTaskRenamed = 6,   // text: the name before the change
    kHistoryTaskCopied = 7,    // text: the name of the task copied from (empty when it failed)
    kHistoryTaskImported = 8,  // text: the name in the imported task-list file
};

// The change mask (`code`) of a kHistoryTaskChanged record. The low byte tells what was
// changed, the bits 0xF00 what the task-files commands deleted.
inline constexpr DWORD kHistoryChangeFolders = 0x1;  // also switching the two folders
inline constexpr DWORD kHistoryChangeOptions = 0x2;
inline constexpr DWORD kHistoryChangeAuto = 0x4;  // automatic-run settings
inline constexpr DWORD kHistoryChangeFilters = 0x8;
inline constexpr DWORD kHistoryChangeLog = 0x10;
inline constexpr DWORD kHistoryDeleteBackups = 0x100;
inline constexpr DWORD kHistoryDeleteCatalogs = 0x200;
inline constexpr DWORD kHistoryDeleteCatalogFolders = 0x400;
inline constexpr DWORD kHistoryDeleteLog = 0x800;  // either side's log

// Status of event records: done, or refused by the task store.
inline constexpr DWORD kHistoryEventDone = 1;
inline constexpr DWORD kHistoryEventFailed = 10;

struct HistoryRecord {
    std::string taskName;     // stored up to 259 bytes
    std::wstring leftFolder;  // stored up to 1023 UTF-16 units
    std::wstring rightFolder;
    std::string text;      // stored up to 255 bytes
    DWORD ignoreCase = 0;  // 1 when the task's "Case Sensitive" option is off
    DWORD code = 0;
    DWORD syncType = 0;
    DWORD allowDelete = 0;     // "Delete"
    DWORD saveDelete = 0;      // "Save Delete"
    DWORD lock = 0;            // "Lock"
    DWORD readOnly = 0;        // "Read Only"
    DWORD readOnlyTarget = 0;  // "Read Only Target"
    DWORD startSource = 0;     // who started the run; 0 for other records
    DWORD type = 0;            // HistoryType
    FILETIME start{};          // local wall-clock time
    FILETIME end{};
    DWORD status = 0;  // the result, without kHistoryWideFolders (bit 31 is never kept)
};

using HistoryRecordBytes = std::array<std::uint8_t, kHistoryRecordSize>;

// The stored form: zero-filled, every text cut on a character boundary so that its NUL
// stays inside its field, the folders in UTF-16 and the status word marked so.
HistoryRecordBytes SerializeHistoryRecord(const HistoryRecord& record);

// The record held by `bytes`, or nothing when they are not exactly one record or a text
// field has no NUL inside it. Folder fields of older records (mark clear) are read as
// 8-bit text.
std::optional<HistoryRecord> ParseHistoryRecord(std::span<const std::uint8_t> bytes);
