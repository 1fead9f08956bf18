#pragma once
// The stored form of a task: one member of the task store, exactly 18,820 bytes,
// little-endian, zero-filled before it is built.
//
//   0      8  FILETIME, start of the last run (local wall-clock time)
//   8      8  FILETIME, end of the last run
//   16     4  start source of the last run      20  4  sync type of the last run
//   24     4  mode of the last run              28  4  Sync Container membership
//   32     4  reserved word
//   36  2048  task name, 8-bit, NUL-terminated
//   2084 2048 Left folder as entered            4132 2048 Right folder as entered
//   6180   4  Filter Mode
//   6184 2048 Exclude text                      8232 2048 Include text
//   10280  4  attribute mask
//   10284  4  Type        10288 4 Delete      10292 4 Save Delete   10296 4 Lock
//   10300  4  Read Only   10304 4 Read Only Target
//   10308  4  Log Level   10312 4 Log         10316 4 Clear Log
//   10320  4  schedule on
//   10324 256 schedule text, 8-bit, NUL-terminated          } written and read only
//   10580  2  DOS time of the start   10582 2 DOS date      } while the schedule is on;
//   10584  4  has an end date         10588 2 DOS end date  } the end date only while it
//   10590  2  DOS date of the last run start                } has one. 10590 is also
//   10592  4  schedule type           10596 48 schedule block } written by every run end.
//   10644  4  run at program start    10648 4 start delay, seconds
//   10652  4  run when a device is connected
//   10656  4  repeat on               10660 2 repeat minutes  10662 2 repeat hours
//                                     (both written only while repeat is on)
//   10664  4  skip percentage         10668 4 auto-resolve    10672 4 automatic run mode
//   10676  4  Case Sensitive          10680 4 Empty
//   10684  4  1: the four folder and pattern fields hold UTF-16 (1024 units each);
//             0: older records, where they hold 8-bit text
//   10688  4  Speed                   10692 .. 18819 zero

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "foundation/options/filter_options.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"
#include "platform/core/win_types.h"

struct SyncTask;

inline constexpr std::size_t kTaskRecordSize = 18820;

// The persistent part of a task and its three option records.
struct TaskArchiveRecord {
    FILETIME lastRunStart{};
    FILETIME lastRunEnd{};
    DWORD startSource = 0;
    DWORD lastRunSyncType = 0;
    DWORD lastRunMode = 0;
    DWORD containerMode = 0;
    DWORD reservedWord = 0;
    std::string name;
    std::wstring leftFolder;
    std::wstring rightFolder;
    FilterOptionValues filter;
    SyncOptionValues sync;
    LogOptionValues log;
    DWORD scheduleOn = 0;
    std::string scheduleText;
    WORD scheduleStartTime = 0;
    WORD scheduleStartDate = 0;
    DWORD scheduleHasEnd = 0;
    WORD scheduleEndDate = 0;
    WORD lastRunDosDate = 0;
    DWORD scheduleType = 0;
    std::array<BYTE, 48> scheduleBlock{};
    DWORD runAtStart = 0;
    DWORD startDelaySeconds = 0;
    DWORD runOnDevice = 0;
    DWORD repeatOn = 0;
    WORD repeatMinutes = 0;
    WORD repeatHours = 0;
    DWORD skipPercent = 0;
    DWORD autoResolve = 0;
    DWORD autoRunMode = 0;
};

// The task's persistent values. An option record the task lacks gives the values a fresh
// record would start from before reading the settings.
TaskArchiveRecord TaskArchiveRecordOf(const SyncTask& task);

// Copies the record into the task and its option records, creating each option record the
// task lacks as a task's own record (its other values from the settings store's defaults;
// the filter record with no starting folder).
void ApplyTaskArchiveRecord(const TaskArchiveRecord& record, SyncTask& task);

struct BuiltTaskRecord {
    std::vector<std::uint8_t> bytes;  // kTaskRecordSize bytes; empty when it could not be built
    std::string failure;              // why it could not be built
    std::vector<std::string> cuts;    // one line for each filter text that lost entries to fit

    bool Built() const { return !bytes.empty(); }
};

// The stored record. A name or folder that does not fit its field is refused (a shortened
// one would be another task or another folder); a filter text that does not fit loses
// whole entries from its end; the schedule text is cut on a character boundary.
BuiltTaskRecord SerializeTaskRecord(const TaskArchiveRecord& record);

// The record held by `bytes`: nothing, with the reason in `fault`, when they are not
// exactly one record or a text field the reader uses has no NUL inside its field. Older
// records (offset 10684 = 0) have their folder and pattern texts read as 8-bit text.
std::optional<TaskArchiveRecord> ParseTaskRecord(std::span<const std::uint8_t> bytes, std::string* fault = nullptr);

// What the end of a run writes into the stored record, in place.
struct TaskRunFields {
    FILETIME start{};
    FILETIME end{};
    DWORD startSource = 0;
    DWORD syncType = 0;
    DWORD mode = 0;
    WORD dosDate = 0;  // DOS date of `start`
};

// These act on a buffer of exactly kTaskRecordSize bytes.
void PutTaskRunFields(std::span<std::uint8_t> record, const TaskRunFields& fields);
TaskRunFields GetTaskRunFields(std::span<const std::uint8_t> record);
DWORD GetTaskContainerMode(std::span<const std::uint8_t> record);
void PutTaskContainerMode(std::span<std::uint8_t> record, DWORD containerMode);
