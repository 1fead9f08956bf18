#pragma once
// Calendar and time conversions between the forms stored in records and files:
// FILETIME (100 ns ticks since 1601-01-01), seconds since 1970, SYSTEMTIME and DOS date/time.
//
// A FILETIME or SYSTEMTIME is UTC unless a record says it holds local wall-clock time;
// the local conversions use the system time zone (the TZ environment variable when set)
// with the rules in force at that instant, so a time keeps its hour across
// daylight-saving changes.

#include <cstdint>

#include "platform/core/win_types.h"

namespace plat {

inline constexpr std::uint64_t kTicksPerSecond = 10'000'000;
inline constexpr std::uint64_t kTicksPerMillisecond = 10'000;
// 1970-01-01 00:00:00 as a FILETIME.
inline constexpr std::uint64_t kUnixEpochTicks = 116'444'736'000'000'000;

// Seconds since 1970 -> FILETIME, exactly. False when the time lies before 1601 or past
// the end of the FILETIME range; `out` is then untouched.
bool UnixSecondsToFileTime(std::int64_t seconds, FILETIME* out);
// The same, clamped to the FILETIME range.
FILETIME FileTimeFromUnixSeconds(std::int64_t seconds);
// FILETIME -> seconds since 1970, the part below a second dropped (rounded toward the past).
std::int64_t FileTimeToUnixSeconds(const FILETIME& ft);

// Calendar helpers (proleptic Gregorian).
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12
bool IsValidDate(int year, int month, int day);
// 0 = Sunday ... 6 = Saturday, as SYSTEMTIME::wDayOfWeek counts.
int DayOfWeek(int year, int month, int day);

// UTC seconds <-> local wall-clock seconds (the local time read as if it were UTC).
// A local time that occurs twice (the hour repeated when daylight saving ends) gives its
// first occurrence; one that never occurs (skipped when it starts) is read with the offset
// in force before the change, so it lands after the gap.
std::int64_t UtcToLocalSeconds(std::int64_t utcSeconds);
std::int64_t LocalToUtcSeconds(std::int64_t localSeconds);

// DOS dates hold 1980-01-01 to 2107-12-31, DOS times even seconds. Packing a value out
// of range, or unpacking fields that name no real date or time, fails.
bool SystemTimeToDosDateTime(const SYSTEMTIME& st, WORD* dosDate, WORD* dosTime);
bool DosDateTimeToSystemTime(WORD dosDate, WORD dosTime, SYSTEMTIME* st);

}  // namespace plat

// The platform's own names. All return FALSE (and leave the output alone) for values
// outside their range; none produces a time from garbage.
BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st);  // fills wDayOfWeek
BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft);  // ignores wDayOfWeek
BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);
// No zone change: the FILETIME is taken as the wall-clock time it names.
BOOL FileTimeToDosDateTime(const FILETIME* ft, WORD* dosDate, WORD* dosTime);
BOOL DosDateTimeToFileTime(WORD dosDate, WORD dosTime, FILETIME* ft);
LONG CompareFileTime(const FILETIME* a, const FILETIME* b);  // -1, 0, 1
