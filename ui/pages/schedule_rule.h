#pragma once
// What the "Schedule Sync" dialog decides, apart from its window: the values its controls
// show for a schedule record, and the record that OK makes of them. Dates and times are
// local wall-clock time.

#include <string>

#include "foundation/scheduled_script.h"
#include "platform/core/win_types.h"

// The controls of the dialog, as values.
struct ScheduleControls {
    DWORD kind = kScheduleDaily;  // selection of the kind list
    SYSTEMTIME startDate{};       // its date counts
    SYSTEMTIME startTime{};       // its time of day counts
    bool hasEnd = false;          // the end date's check box
    SYSTEMTIME endDate{};         // its date counts

    bool dailyEvery = true;  // "&Every" rather than "Weekdays"
    int everyDays = 1;

    int everyWeeks = 1;
    DWORD weekDays = 0;  // bit 0 Sunday .. bit 6 Saturday

    bool monthlyOnWeekday = true;  // "On the" rather than "On day"
    DWORD ordinal = 0;             // 0 First .. 3 Fourth, 4 Last
    DWORD weekday = 1;             // 0 Sunday .. 6 Saturday
    int monthDay = 1;
    DWORD months = 0;  // bit 0 January .. bit 11 December

    int everyHours = 1;
    bool weekdaysOnly = false;
};

// The dates a DOS date can hold; the pickers offer no other.
inline constexpr int kFirstScheduleYear = 1980;
inline constexpr int kLastScheduleYear = 2107;

// What the dialog shows for `record` when it opens at `now`: its defaults ("&Every" with
// 1, "On the" first Monday, Daily, now, an end date a year on and unchecked), then the
// record's values. A record without a real start date starts now; a field out of its
// range shows as 1.
ScheduleControls ControlsOfSchedule(const ScheduleRecord& record, const SYSTEMTIME& now);

struct ScheduleSave {
    std::string refusal;   // the message that keeps the dialog open; empty when taken
    bool changed = false;  // a stored value differs from what the record held
};

// OK: checks the controls and, when they are taken, gives `record` their values (the
// repetition block is built afresh). A refusal leaves the record as it was. With no end
// date only the flag is cleared: the old end date stays in its field.
ScheduleSave SaveSchedule(const ScheduleControls& controls, ScheduleRecord& record);

// "Daily", "Weekly", "Monthly" or "Hourly"; empty for another kind.
const char* ScheduleKindName(DWORD kind);
