#include "platform/core/file_time.h"

#include <ctime>
#include <limits>

namespace plat {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::int64_t kEpochSecondsSince1601 = 11'644'473'600;
constexpr std::int64_t kDaysFrom1601To1970 = 134'774;
constexpr std::int64_t kMinUnixSeconds = -kEpochSecondsSince1601;
constexpr std::int64_t kMaxUnixSeconds =
    static_cast<std::int64_t>(std::numeric_limits<std::uint64_t>::max() / kTicksPerSecond) - kEpochSecondsSince1601;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Days since 1970-01-01 of a civil date, by eras of 400 years.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;                                    // [0, 399]
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;  // [0, 365]
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;            // [0, 146096]
    return era * 146'097 + doe - 719'468;
}

struct CivilDate {
    std::int64_t year;
    int month;
    int day;
};

CivilDate CivilFromDays(std::int64_t z) {
    z += 719'468;
    const std::int64_t era = FloorDiv(z, 146'097);
    const std::int64_t doe = z - era * 146'097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146'096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

// The zone's offset from UTC (seconds east) at an instant; 0 when the zone cannot say.
std::int64_t OffsetAt(std::int64_t utcSeconds) {
    const std::time_t t = static_cast<std::time_t>(utcSeconds);
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return 0;
    return tm.tm_gmtoff;
}

// ticks + deltaSeconds, when the result stays inside the FILETIME range.
bool AddSeconds(std::uint64_t ticks, std::int64_t deltaSeconds, std::uint64_t* out) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    if (deltaSeconds >= 0) {
        const auto delta = static_cast<std::uint64_t>(deltaSeconds) * kTicksPerSecond;
        if (ticks > kMax - delta) return false;
        *out = ticks + delta;
    } else {
        const auto delta = static_cast<std::uint64_t>(-deltaSeconds) * kTicksPerSecond;
        if (ticks < delta) return false;
        *out = ticks - delta;
    }
    return true;
}

bool IsValidTimeOfDay(const SYSTEMTIME& st) {
    return st.wHour < 24 && st.wMinute < 60 && st.wSecond < 60 && st.wMilliseconds < 1000;
}

}  // namespace

bool UnixSecondsToFileTime(std::int64_t seconds, FILETIME* out) {
    if (seconds < kMinUnixSeconds || seconds > kMaxUnixSeconds) return false;
    *out = U64ToFileTime(static_cast<std::uint64_t>(seconds + kEpochSecondsSince1601) * kTicksPerSecond);
    return true;
}

FILETIME FileTimeFromUnixSeconds(std::int64_t seconds) {
    if (seconds < kMinUnixSeconds) seconds = kMinUnixSeconds;
    if (seconds > kMaxUnixSeconds) seconds = kMaxUnixSeconds;
    FILETIME ft;
    UnixSecondsToFileTime(seconds, &ft);
    return ft;
}

std::int64_t FileTimeToUnixSeconds(const FILETIME& ft) {
    return static_cast<std::int64_t>(FileTimeToU64(ft) / kTicksPerSecond) - kEpochSecondsSince1601;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) { return day >= 1 && day <= DaysInMonth(year, month); }

int DayOfWeek(int year, int month, int day) {
    // 1970-01-01 was a Thursday.
    const std::int64_t days = DaysFromCivil(year, month, day);
    return static_cast<int>(days - FloorDiv(days + 4, 7) * 7 + 4);
}

std::int64_t UtcToLocalSeconds(std::int64_t utcSeconds) { return utcSeconds + OffsetAt(utcSeconds); }

std::int64_t LocalToUtcSeconds(std::int64_t localSeconds) {
    // The offsets in force a day either side cover any one change near this time.
    const std::int64_t before = OffsetAt(localSeconds - kSecondsPerDay);
    const std::int64_t after = OffsetAt(localSeconds + kSecondsPerDay);
    const std::int64_t first = localSeconds - before;
    const std::int64_t second = localSeconds - after;
    const bool firstFits = OffsetAt(first) == before;
    const bool secondFits = OffsetAt(second) == after;
    if (firstFits && secondFits) return first < second ? first : second;
    if (secondFits) return second;
    return first;  // fits, or the local time fell into a gap
}

bool SystemTimeToDosDateTime(const SYSTEMTIME& st, WORD* dosDate, WORD* dosTime) {
    if (st.wYear < 1980 || st.wYear > 2107 || !IsValidDate(st.wYear, st.wMonth, st.wDay)) return false;
    if (!IsValidTimeOfDay(st)) return false;
    if (dosDate) *dosDate = static_cast<WORD>(((st.wYear - 1980) << 9) | (st.wMonth << 5) | st.wDay);
    if (dosTime) *dosTime = static_cast<WORD>((st.wHour << 11) | (st.wMinute << 5) | (st.wSecond / 2));
    return true;
}

bool DosDateTimeToSystemTime(WORD dosDate, WORD dosTime, SYSTEMTIME* st) {
    const int year = 1980 + (dosDate >> 9);
    const int month = (dosDate >> 5) & 0x0F;
    const int day = dosDate & 0x1F;
    const int hour = dosTime >> 11;
    const int minute = (dosTime >> 5) & 0x3F;
    const int second = (dosTime & 0x1F) * 2;
    if (!IsValidDate(year, month, day) || hour > 23 || minute > 59 || second > 59) return false;
    st->wYear = static_cast<WORD>(year);
    st->wMonth = static_cast<WORD>(month);
    st->wDay = static_cast<WORD>(day);
    st->wDayOfWeek = static_cast<WORD>(DayOfWeek(year, month, day));
    st->wHour = static_cast<WORD>(hour);
    st->wMinute = static_cast<WORD>(minute);
    st->wSecond = static_cast<WORD>(second);
    st->wMilliseconds = 0;
    return true;
}

}  // namespace plat

BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st) {
    const std::uint64_t ticks = FileTimeToU64(*ft);
    if (ticks > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return FALSE;
    const std::uint64_t totalSeconds = ticks / plat::kTicksPerSecond;
    const auto days = static_cast<std::int64_t>(totalSeconds / 86'400);
    const auto secondOfDay = static_cast<int>(totalSeconds % 86'400);
    const plat::CivilDate date = plat::CivilFromDays(days - plat::kDaysFrom1601To1970);
    st->wYear = static_cast<WORD>(date.year);
    st->wMonth = static_cast<WORD>(date.month);
    st->wDay = static_cast<WORD>(date.day);
    st->wDayOfWeek = static_cast<WORD>(plat::DayOfWeek(static_cast<int>(date.year), date.month, date.day));
    st->wHour = static_cast<WORD>(secondOfDay / 3600);
    st->wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    st->wSecond = static_cast<WORD>(secondOfDay % 60);
    st->wMilliseconds = static_cast<WORD>(ticks % plat::kTicksPerSecond / plat::kTicksPerMillisecond);
    return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft) {
    if (st->wYear < 1601 || st->wYear > 30827 || !plat::IsValidDate(st->wYear, st->wMonth, st->wDay) ||
        !plat::IsValidTimeOfDay(*st)) {
        return FALSE;
    }
    const std::int64_t days = plat::DaysFromCivil(st->wYear, st->wMonth, st->wDay) + plat::kDaysFrom1601To1970;
    const std::int64_t seconds = days * 86'400 + st->wHour * 3600 + st->wMinute * 60 + st->wSecond;
    const std::uint64_t ms = static_cast<std::uint64_t>(seconds) * 1000 + st->wMilliseconds;
    *ft = U64ToFileTime(ms * plat::kTicksPerMillisecond);
    return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local) {
    const std::int64_t seconds = plat::FileTimeToUnixSeconds(*utc);
    std::uint64_t ticks = 0;
    if (!plat::AddSeconds(FileTimeToU64(*utc), plat::UtcToLocalSeconds(seconds) - seconds, &ticks)) return FALSE;
    *local = U64ToFileTime(ticks);
    return TRUE;
}

BOOL FileTimeToDosDateTime(const FILETIME* ft, WORD* dosDate, WORD* dosTime) {
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(ft, &st)) return FALSE;
    return plat::SystemTimeToDosDateTime(st, dosDate, dosTime) ? TRUE : FALSE;
}

BOOL DosDateTimeToFileTime(WORD dosDate, WORD dosTime, FILETIME* ft) {
    SYSTEMTIME st;
    if (!plat::DosDateTimeToSystemTime(dosDate, dosTime, &st)) return FALSE;
    return SystemTimeToFileTime(&st, ft);
}

LONG CompareFileTime(const FILETIME* a, const FILETIME* b) {
    const std::uint64_t x = FileTimeToU64(*a);
    const std::uint64_t y = FileTimeToU64(*b);
    return x < y ? -1 : (x > y ? 1 : 0);
}
