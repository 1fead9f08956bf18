#include "foundation/schedule_due.h"

#include <algorithm>

#include "platform/core/file_time.h"

namespace {

constexpr LocalSeconds kSecondsPerWeek = 7 * kSecondsPerDay;
constexpr LocalSeconds kSecondsPerHour = 3'600;
constexpr int kThursday = 4;  // 1970-01-01

LocalSeconds FloorDiv(LocalSeconds a, LocalSeconds b) {
    LocalSeconds q = a / b;
    if (a % b != 0 && (a < 0) != (b < 0)) --q;
    return q;
}

// 0 Sunday .. 6 Saturday.
int WeekdayOf(LocalSeconds t) {
    const LocalSeconds days = FloorDiv(t, kSecondsPerDay) + kThursday;
    return static_cast<int>(days - FloorDiv(days, 7) * 7);
}

// The Sunday at 00:00 that begins the week of `t`.
LocalSeconds WeekOf(LocalSeconds t) { return StartOfDay(t) - WeekdayOf(t) * kSecondsPerDay; }

bool IsWeekend(int weekday) { return weekday == 0 || weekday == 6; }

bool HasBit(DWORD mask, int bit) { return (mask >> bit) & 1u; }

// A run counts only when it lies between the epoch and now: a clock that was set back
// must not hold the schedule back until that date comes round again.
bool IsKnownRun(LocalSeconds run, LocalSeconds now) { return run > kScheduleEpoch && run <= now; }

struct CalendarDay {
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int daysInMonth = 0;
};

CalendarDay CalendarDayOf(LocalSeconds day) {
    const FILETIME ft = plat::FileTimeFromUnixSeconds(day);
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(&ft, &st)) return {};
    return {st.wMonth, st.wDay, plat::DaysInMonth(st.wYear, st.wMonth)};
}

bool DailyDue(const CSvScript& script, LocalSeconds lastRunDay, LocalSeconds today) {
    if (script.Word(kDailyWeekdaysOnly) != 0 && IsWeekend(WeekdayOf(today))) return false;
    if (!IsKnownRun(lastRunDay, today)) return true;
    return (today - lastRunDay) / kSecondsPerDay >= script.Word(kDailyEveryDays);
}

bool WeeklyDue(const CSvScript& script, LocalSeconds lastRunDay, LocalSeconds today) {
    const LocalSeconds everyWeeks = std::max<DWORD>(script.Word(kWeeklyEveryWeeks), 1);
    const LocalSeconds week = WeekOf(today);
    if (((week - WeekOf(script.startDay)) / kSecondsPerWeek) % everyWeeks != 0) return false;
    const DWORD dayMask = script.Word(kWeeklyDayMask) & 0x7F;
    if (dayMask != 0) return HasBit(dayMask, WeekdayOf(today));
    return !IsKnownRun(lastRunDay, today) || WeekOf(lastRunDay) != week;
}

bool MonthlyDue(const CSvScript& script, LocalSeconds today) {
    const CalendarDay date = CalendarDayOf(today);
    if (date.month == 0) return false;
    const DWORD monthMask = script.Word(kMonthlyMonthMask) & 0xFFF;
    if (monthMask != 0 && !HasBit(monthMask, date.month - 1)) return false;

    if (script.Word(kMonthlyOnWeekday) == 0) {
        const DWORD wanted = script.Word(kMonthlyDay);
        if (wanted == 0) return false;
        // A day the month does not have falls on its last day.
        return static_cast<DWORD>(date.day) == std::min<DWORD>(wanted, static_cast<DWORD>(date.daysInMonth));
    }
    if (static_cast<DWORD>(WeekdayOf(today)) != script.Word(kMonthlyWeekday)) return false;
    const DWORD ordinal = script.Word(kMonthlyOrdinal);
    if (ordinal == kMonthlyLastWeekday) return date.day + 7 > date.daysInMonth;
    // Only the n-th such weekday of the month, not the ones before it.
    return ordinal < kMonthlyLastWeekday && static_cast<DWORD>((date.day - 1) / 7) == ordinal;
}

bool HourlyDue(const CSvScript& script, LocalSeconds lastRunStart, LocalSeconds now) {
    if (script.Word(kHourlyWeekdaysOnly) != 0 && IsWeekend(WeekdayOf(now))) return false;
    const LocalSeconds everyHours = std::max<DWORD>(script.Word(kHourlyEveryHours), 1);
    // When daylight saving ends the clock repeats an hour, so a run that has just taken
    // place may stand up to an hour ahead of it; only a run further ahead means the clock
    // was set back.
    return !IsKnownRun(lastRunStart, now + kSecondsPerHour) || lastRunStart + everyHours * kSecondsPerHour <= now;
}

}  // namespace

LocalSeconds StartOfDay(LocalSeconds t) { return FloorDiv(t, kSecondsPerDay) * kSecondsPerDay; }

ScheduleCheck CheckSchedule(const CSvScript& script, LocalSeconds lastRunDay, LocalSeconds lastRunStart,
                            LocalSeconds now) {
    if (!script.hasSchedule) return ScheduleCheck::kNotDue;
    const LocalSeconds today = StartOfDay(now);
    if (script.hasEnd && today > script.endDay) return ScheduleCheck::kEnded;
    if (today < script.startDay) return ScheduleCheck::kNotDue;
    const LocalSeconds startClock = (script.startTime - script.startDay) / 60 * 60;  // hour and minute
    if (now - today < startClock) return ScheduleCheck::kNotDue;

    bool due = false;
    if (script.type == kScheduleHourly) {
        due = HourlyDue(script, lastRunStart, now);
    } else if (lastRunDay != today) {
        switch (script.type) {
        case kScheduleDaily: due = DailyDue(script, lastRunDay, today); break;
        case kScheduleWeekly: due = WeeklyDue(script, lastRunDay, today); break;
        case kScheduleMonthly: due = MonthlyDue(script, today); break;
        default: break;
        }
    }
    return due ? ScheduleCheck::kDue : ScheduleCheck::kNotDue;
}
