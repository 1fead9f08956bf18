#pragma once
// When a schedule falls due. Every time here is local wall-clock time (LocalSeconds).

#include "foundation/scheduled_script.h"

enum class ScheduleCheck {
    kNotDue,
    kDue,
    kEnded,  // the end date has passed: the schedule never falls due again
};

// 00:00 of the day of `t`.
LocalSeconds StartOfDay(LocalSeconds t);

// Whether `script` is due at `now`, given its entry's last scheduled run: the day of that
// run at 00:00 and the moment it started (kScheduleEpoch when there was none).
//
// No run before the start date, nor before the start's hour and minute on any day. Daily,
// weekly and monthly schedules run once a day at most:
//  - daily: every N days counted from the last run, or Monday to Friday;
//  - weekly: on each ticked weekday of every N-th week (weeks begin on Sunday and count from
//    the week of the start date); with no day ticked, once in such a week;
//  - monthly: on a day number (the month's last day when the month is shorter), or on the
//    first to fourth or the last given weekday, in the months of the mask.
// Hourly schedules run again once N hours have passed since the last run started.
ScheduleCheck CheckSchedule(const CSvScript& script, LocalSeconds lastRunDay, LocalSeconds lastRunStart,
                            LocalSeconds now);
