#pragma once
// A task's schedule: the 64-byte schedule record that the task, the task store and the
// schedule dialog keep, the repetition block inside it, and the two halves of a scheduler
// entry: CSvScript (the calendar) and SCHED_SCRIPT (its live state).
//
// Schedule record, little-endian, zero-filled:
//   0   2  start time, DOS time          2  2  start date, DOS date
//   4   4  1 when an end date is set     8  4  end date, DOS date in the low 16 bits
//   12  4  kind: 0 Daily, 1 Weekly, 2 Monthly, 3 Hourly
//   16 48  repetition block: twelve 32-bit words, by kind
//
//   word  Daily              Weekly               Monthly                        Hourly
//   0     every N days       every N weeks        0 on a day number, 1 weekday   every N hours
//   1     1: weekdays only   day mask, bit 0 Sun  ordinal: 0 first .. 3, 4 last
//   2                                             weekday, 0 Sunday .. 6
//   3                                             day of the month, 1 to 31      1: weekdays only
//   4                                             month mask, bit 0 January; 0 every month

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/core/win_types.h"

struct SyncTask;

inline constexpr std::size_t kScheduleRecordSize = 64;
inline constexpr std::size_t kRepetitionBlockSize = 48;
inline constexpr std::size_t kRepetitionWordCount = kRepetitionBlockSize / 4;

enum ScheduleKind : DWORD {
    kScheduleDaily = 0,
    kScheduleWeekly = 1,
    kScheduleMonthly = 2,
    kScheduleHourly = 3,
};

// Word indices of the repetition block.
inline constexpr std::size_t kDailyEveryDays = 0;
inline constexpr std::size_t kDailyWeekdaysOnly = 1;
inline constexpr std::size_t kWeeklyEveryWeeks = 0;
inline constexpr std::size_t kWeeklyDayMask = 1;
inline constexpr std::size_t kMonthlyOnWeekday = 0;
inline constexpr std::size_t kMonthlyOrdinal = 1;
inline constexpr std::size_t kMonthlyWeekday = 2;
inline constexpr std::size_t kMonthlyDay = 3;
inline constexpr std::size_t kMonthlyMonthMask = 4;
inline constexpr std::size_t kHourlyEveryHours = 0;
inline constexpr std::size_t kHourlyWeekdaysOnly = 3;

// Monthly ordinal of the last such weekday of the month.
inline constexpr DWORD kMonthlyLastWeekday = 4;

using RepetitionBytes = std::array<BYTE, kRepetitionBlockSize>;

// The repetition block as its twelve words.
struct RepetitionBlock {
    std::array<DWORD, kRepetitionWordCount> words{};

    static RepetitionBlock FromBytes(const RepetitionBytes& bytes);
    RepetitionBytes ToBytes() const;
};

struct ScheduleRecord {
    WORD startTime = 0;  // DOS time
    WORD startDate = 0;  // DOS date
    DWORD hasEnd = 0;
    DWORD endDate = 0;  // DOS date in the low 16 bits
    DWORD kind = kScheduleDaily;
    RepetitionBytes block{};

    bool operator==(const ScheduleRecord&) const = default;

    static ScheduleRecord FromBytes(std::span<const BYTE, kScheduleRecordSize> bytes);
    std::array<BYTE, kScheduleRecordSize> ToBytes() const;
};

// The schedule fields of a task as a record, and back. The task keeps the end date as a
// 16-bit DOS date, so the high half of the record's end-date word does not survive.
ScheduleRecord ScheduleRecordOfTask(const SyncTask& task);
void SetTaskSchedule(SyncTask& task, const ScheduleRecord& record);

// Local wall-clock time in seconds since 1970 (the local time read as if it were UTC),
// so a day is always 86,400 seconds.
using LocalSeconds = std::int64_t;
inline constexpr LocalSeconds kSecondsPerDay = 86'400;
// 1980-01-01 00:00, the time of a schedule or a run that never was.
inline constexpr LocalSeconds kScheduleEpoch = 315'532'800;

// The calendar of one scheduled task.
struct CSvScript {
    std::string text;                         // the schedule's description
    LocalSeconds startTime = kScheduleEpoch;  // start date with the time of day a run is due
    LocalSeconds startDay = kScheduleEpoch;   // start date at 00:00
    int hasEnd = 0;
    LocalSeconds endDay = kScheduleEpoch;  // end date at 00:00
    int type = kScheduleDaily;
    RepetitionBytes block{};
    // False until a record with a real start date (and a real end date, when it has one)
    // and a known kind is set: such an entry never falls due.
    bool hasSchedule = false;

    // Takes the schedule from a record; the text stays.
    void SetSchedule(const ScheduleRecord& record);
    static CSvScript FromTask(const SyncTask& task);

    DWORD Word(std::size_t index) const;
};

// The live state of one scheduler entry.
struct SCHED_SCRIPT {
    int due = 0;                            // 1 from the moment the entry fell due until its run ends or is refused
    int cancelled = 0;                      // the task's schedule was switched off
    LocalSeconds lastRun = kScheduleEpoch;  // date of the last scheduled run, 00:00
    LocalSeconds lastRunStart = kScheduleEpoch;  // when that run started; hourly counts from it
    SyncTask* task = nullptr;                    // the owner; not owned, null once it is gone
};

// A DOS date (and time) as local seconds; false when the fields name no real date.
bool DosDateToLocalSeconds(WORD dosDate, WORD dosTime, LocalSeconds* out);
