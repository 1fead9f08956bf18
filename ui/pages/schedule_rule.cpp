#include "ui/pages/schedule_rule.h"

#include <tuple>

#include "platform/core/file_time.h"

namespace {

constexpr std::int64_t kDefaultEndAfterSeconds = 31'536'000;  // 365 days
constexpr DWORD kWeekMask = 0x7F;
constexpr DWORD kYearMask = 0xFFF;
constexpr DWORD kLastOrdinal = kMonthlyLastWeekday;
constexpr DWORD kLastWeekday = 6;

bool InRange(int value, int low, int high) { return value >= low && value <= high; }
int OrOne(DWORD value, DWORD high) { return value >= 1 && value <= high ? static_cast<int>(value) : 1; }

// A clock outside the years a DOS date holds is shown at the nearest end of them.
SYSTEMTIME WithinScheduleYears(SYSTEMTIME time) {
    if (time.wYear < kFirstScheduleYear) {
        time = SYSTEMTIME{};
        time.wYear = kFirstScheduleYear;
        time.wMonth = 1;
        time.wDay = 1;
    } else if (time.wYear > kLastScheduleYear) {
        time = SYSTEMTIME{};
        time.wYear = kLastScheduleYear;
        time.wMonth = 12;
        time.wDay = 31;
        time.wHour = 23;
        time.wMinute = 59;
        time.wSecond = 58;
    }
    return time;
}

SYSTEMTIME DaysLater(const SYSTEMTIME& time, std::int64_t seconds) {
    FILETIME ft{};
    if (!SystemTimeToFileTime(&time, &ft)) return time;
    FILETIME later = U64ToFileTime(FileTimeToU64(ft) + static_cast<ULONGLONG>(seconds) * plat::kTicksPerSecond);
    SYSTEMTIME result = time;
    if (!FileTimeToSystemTime(&later, &result)) return time;
    return WithinScheduleYears(result);
}

auto DateOf(const SYSTEMTIME& t) { return std::tuple(t.wYear, t.wMonth, t.wDay); }

// The date of `date` with the time of day of `time`.
SYSTEMTIME Combined(const SYSTEMTIME& date, const SYSTEMTIME& time) {
    SYSTEMTIME both = date;
    both.wHour = time.wHour;
    both.wMinute = time.wMinute;
    both.wSecond = time.wSecond;
    both.wMilliseconds = 0;
    return both;
}

bool ToDosDate(const SYSTEMTIME& date, WORD* dosDate) {
    return plat::SystemTimeToDosDateTime(Combined(date, SYSTEMTIME{}), dosDate, nullptr);
}

ScheduleSave Refused(std::string text) { return ScheduleSave{std::move(text), false}; }

}  // namespace

const char* ScheduleKindName(DWORD kind) {
    switch (kind) {
    case kScheduleDaily: return "Daily";
    case kScheduleWeekly: return "Weekly";
    case kScheduleMonthly: return "Monthly";
    case kScheduleHourly: return "Hourly";
    default: return "";
    }
}

ScheduleControls ControlsOfSchedule(const ScheduleRecord& record, const SYSTEMTIME& now) {
    ScheduleControls controls;
    const SYSTEMTIME shownNow = WithinScheduleYears(now);
    controls.startDate = shownNow;
    controls.startTime = shownNow;
    controls.endDate = DaysLater(shownNow, kDefaultEndAfterSeconds);

    SYSTEMTIME stored;
    if (record.startDate != 0 && plat::DosDateTimeToSystemTime(record.startDate, 0, &stored)) {
        controls.startDate = stored;
        // A garbled time of day keeps the current one rather than show none.
        if (plat::DosDateTimeToSystemTime(record.startDate, record.startTime, &stored)) controls.startTime = stored;
    }
    if (record.hasEnd == 1 && plat::DosDateTimeToSystemTime(static_cast<WORD>(record.endDate), 0, &stored)) {
        controls.hasEnd = true;
        controls.endDate = stored;
    }

    if (record.kind > kScheduleHourly) return controls;
    controls.kind = record.kind;
    const RepetitionBlock block = RepetitionBlock::FromBytes(record.block);
    const auto word = [&block](std::size_t i) { return block.words[i]; };
    switch (record.kind) {
    case kScheduleDaily:
        controls.everyDays = OrOne(word(kDailyEveryDays), 99);
        controls.dailyEvery = word(kDailyWeekdaysOnly) == 0;
        break;
    case kScheduleWeekly:
        controls.everyWeeks = OrOne(word(kWeeklyEveryWeeks), 52);
        controls.weekDays = word(kWeeklyDayMask) & kWeekMask;
        break;
    case kScheduleMonthly:
        controls.monthlyOnWeekday = word(kMonthlyOnWeekday) != 0;
        if (controls.monthlyOnWeekday) {
            if (word(kMonthlyOrdinal) <= kLastOrdinal) controls.ordinal = word(kMonthlyOrdinal);
            if (word(kMonthlyWeekday) <= kLastWeekday) controls.weekday = word(kMonthlyWeekday);
        }
        controls.monthDay = OrOne(word(kMonthlyDay), 31);
        controls.months = word(kMonthlyMonthMask) & kYearMask;
        break;
    case kScheduleHourly:
        controls.everyHours = OrOne(word(kHourlyEveryHours), 24);
        controls.weekdaysOnly = word(kHourlyWeekdaysOnly) != 0;
        break;
    }
    return controls;
}

ScheduleSave SaveSchedule(const ScheduleControls& controls, ScheduleRecord& record) {
    ScheduleRecord saved = record;
    constexpr const char* kDateRange = "Please enter a date from 1980-01-01 to 2107-12-31.";
    if (!plat::SystemTimeToDosDateTime(Combined(controls.startDate, controls.startTime), &saved.startDate,
                                       &saved.startTime)) {
        return Refused(kDateRange);
    }
    if (controls.hasEnd) {
        if (DateOf(controls.endDate) < DateOf(controls.startDate)) {
            return Refused("Please enter an ending date that is equal or later than the starting date.");
        }
        WORD endDate = 0;
        if (!ToDosDate(controls.endDate, &endDate)) return Refused(kDateRange);
        saved.hasEnd = 1;
        saved.endDate = endDate;
    } else {
        saved.hasEnd = 0;
    }

    constexpr const char* kNoListEntry = "Please choose an entry in each list.";
    if (controls.kind > kScheduleHourly) return Refused(kNoListEntry);
    saved.kind = controls.kind;

    RepetitionBlock block;
    auto& words = block.words;
    switch (controls.kind) {
    case kScheduleDaily:
        if (controls.dailyEvery) {
            if (!InRange(controls.everyDays, 1, 99)) return Refused("Please enter between 1 and 99 days");
            words[kDailyEveryDays] = static_cast<DWORD>(controls.everyDays);
        } else {
            words[kDailyWeekdaysOnly] = 1;
        }
        break;
    case kScheduleWeekly:
        if (!InRange(controls.everyWeeks, 1, 52)) return Refused("Please enter between 1 and 52 weeks");
        if ((controls.weekDays & kWeekMask) == 0) {
            return Refused("Please select at least one day of the week to run the script");
        }
        words[kWeeklyEveryWeeks] = static_cast<DWORD>(controls.everyWeeks);
        words[kWeeklyDayMask] = controls.weekDays & kWeekMask;
        break;
    case kScheduleMonthly:
        if (controls.monthlyOnWeekday) {
            if (controls.ordinal > kLastOrdinal || controls.weekday > kLastWeekday) return Refused(kNoListEntry);
            words[kMonthlyOnWeekday] = 1;
            words[kMonthlyOrdinal] = controls.ordinal;
            words[kMonthlyWeekday] = controls.weekday;
        } else {
            if (!InRange(controls.monthDay, 1, 31)) return Refused("Please enter an integer between 1 and 31.");
            words[kMonthlyDay] = static_cast<DWORD>(controls.monthDay);
        }
        if ((controls.months & kYearMask) == 0) {
            return Refused("Please select month and enter at least one month to run the script");
        }
        words[kMonthlyMonthMask] = controls.months & kYearMask;
        break;
    case kScheduleHourly:
        if (!InRange(controls.everyHours, 1, 24)) return Refused("Please enter between 1 and 24 hours");
        words[kHourlyEveryHours] = static_cast<DWORD>(controls.everyHours);
        words[kHourlyWeekdaysOnly] = controls.weekdaysOnly ? 1 : 0;
        break;
    }
    saved.block = block.ToBytes();

    ScheduleSave result;
    result.changed = !(saved == record);
    record = saved;
    return result;
}
