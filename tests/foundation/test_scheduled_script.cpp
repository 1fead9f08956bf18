#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "foundation/schedule_due.h"
#include "foundation/scheduled_script.h"
#include "foundation/script_table.h"
#include "foundation/sync_task.h"
#include "platform/core/clock.h"
#include "platform/core/file_time.h"
#include "support/object_folders.h"
#include "support/temp_dir.h"

namespace {

LocalSeconds Local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    SYSTEMTIME st;
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    FILETIME ft{};
    EXPECT_TRUE(SystemTimeToFileTime(&st, &ft));
    return plat::FileTimeToUnixSeconds(ft);
}

WORD DosDate(int year, int month, int day) { return static_cast<WORD>(((year - 1980) << 9) | (month << 5) | day); }
WORD DosTime(int hour, int minute) { return static_cast<WORD>((hour << 11) | (minute << 5)); }

using Words = std::vector<std::pair<std::size_t, DWORD>>;

std::unique_ptr<SyncTask> MakeTask(DWORD kind, const Words& words, WORD startDate, WORD startTime, WORD endDate = 0) {
    auto task = std::make_unique<SyncTask>();
    task->SetDefaults();
    task->scheduleOn = 1;
    task->scheduleText = "the schedule";
    task->scheduleType = kind;
    task->scheduleStartDate = startDate;
    task->scheduleStartTime = startTime;
    task->scheduleHasEnd = endDate != 0 ? 1 : 0;
    task->scheduleEndDate = endDate;
    RepetitionBlock block;
    for (const auto& [index, value] : words) block.words[index] = value;
    task->scheduleBlock = block.ToBytes();
    return task;
}

// Every test gets lock folders of its own and a clock that stands still.
class ScheduleTest : public ::testing::Test {
protected:
    void SetNow(LocalSeconds when) { clock_.Set(plat::LocalToUtcSeconds(when)); }

    int Schedule(DWORD kind, const Words& words, WORD startDate, WORD startTime, WORD endDate = 0) {
        if (task_) table_.Cancel(*task_);  // its entry stays, switched off
        task_ = MakeTask(kind, words, startDate, startTime, endDate);
        table_.Add(*task_);
        return task_->scriptIndex;
    }

    // Whether the entry falls due at `when`. A due entry is then put back as a refused start
    // puts it, which leaves its last run alone, so probes do not disturb each other.
    bool DueAt(LocalSeconds when) {
        SetNow(when);
        table_.CheckDue(task_->scriptIndex);
        const bool due = table_.State(task_->scriptIndex)->due != 0;
        EXPECT_EQ(task_->scheduleDue != 0, due);
        if (due) {
            table_.EndRun(*task_, kScriptRunRefused);
            task_->scheduleDue = 0;
        }
        return due;
    }

    // A scheduled run that starts at `when`.
    void RunAt(LocalSeconds when) {
        ASSERT_TRUE(DueAt(when));
        task_->runFacts.Update([&](TaskRunFacts& facts) { facts.lastRunStart = plat::FileTimeFromUnixSeconds(when); });
        table_.EndRun(*task_, kScriptRunDone);
    }

    qbtest::TempDir dir_;
    const qbtest::ScopedObjectFolders folders_{dir_};
    plat::FixedClock clock_{0};
    plat::ClockOverride clockOverride_{clock_};
    ScriptTable table_;
    std::unique_ptr<SyncTask> task_;
};

TEST(ScheduleRecordTest, BytesFieldByField) {
    ScheduleRecord record;
    record.startTime = 0x4D2E;
    record.startDate = 0x5881;
    record.hasEnd = 1;
    record.endDate = 0xABCD5901;
    record.kind = kScheduleMonthly;
    RepetitionBlock block;
    for (std::size_t i = 0; i < kRepetitionWordCount; ++i) block.words[i] = 0x01020304u * static_cast<DWORD>(i + 1);
    record.block = block.ToBytes();

    const auto bytes = record.ToBytes();
    const std::array<BYTE, 16> head = {0x2E, 0x4D, 0x81, 0x58, 1, 0, 0, 0, 0x01, 0x59, 0xCD, 0xAB, 2, 0, 0, 0};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    // Word 2 of the block at +24, little-endian.
    EXPECT_EQ(bytes[24], 0x0C);
    EXPECT_EQ(bytes[25], 0x09);
    EXPECT_EQ(bytes[26], 0x06);
    EXPECT_EQ(bytes[27], 0x03);
    EXPECT_EQ(bytes[63], 0x0C);  // high byte of word 11

    EXPECT_EQ(ScheduleRecord::FromBytes(bytes), record);
    EXPECT_EQ(RepetitionBlock::FromBytes(record.block).words, block.words);
}

TEST(ScheduleRecordTest, TaskFieldsAndScriptFromTask) {
    const auto task = MakeTask(kScheduleWeekly, {{kWeeklyEveryWeeks, 2}, {kWeeklyDayMask, 65}}, DosDate(2024, 4, 1),
                               DosTime(9, 30), DosDate(2024, 12, 31));
    ScheduleRecord record = ScheduleRecordOfTask(*task);
    EXPECT_EQ(record.kind, kScheduleWeekly);
    EXPECT_EQ(record.endDate, DosDate(2024, 12, 31));

    SyncTask copy;
    record.endDate |= 0x12340000;  // the task keeps only the DOS date
    SetTaskSchedule(copy, record);
    EXPECT_EQ(copy.scheduleEndDate, DosDate(2024, 12, 31));
    EXPECT_EQ(copy.scheduleBlock, task->scheduleBlock);

    const CSvScript script = CSvScript::FromTask(*task);
    EXPECT_TRUE(script.hasSchedule);
    EXPECT_EQ(script.text, "the schedule");
    EXPECT_EQ(script.startTime, Local(2024, 4, 1, 9, 30));
    EXPECT_EQ(script.startDay, Local(2024, 4, 1));
    EXPECT_EQ(script.endDay, Local(2024, 12, 31));
    EXPECT_EQ(script.Word(kWeeklyDayMask), 65u);

    const CSvScript fresh;
    EXPECT_FALSE(fresh.hasSchedule);
    EXPECT_EQ(fresh.startTime, Local(1980, 1, 1));
    EXPECT_EQ(fresh.endDay, Local(1980, 1, 1));
}

TEST(ScheduleRecordTest, GarbledDatesOrKindNeverFallDue) {
    const LocalSeconds now = Local(2024, 6, 3, 12);
    struct Case {
        WORD startDate;
        WORD endDate;
        DWORD kind;
    } cases[] = {
        {0, 0, kScheduleDaily},                                       // no start date
        {DosDate(2024, 2, 30), 0, kScheduleDaily},                    // no such day
        {DosDate(2024, 1, 1), DosDate(2024, 13, 1), kScheduleDaily},  // no such end month
        {DosDate(2024, 1, 1), 0, 7},                                  // no such kind
    };
    for (const Case& c : cases) {
        const auto task = MakeTask(c.kind, {{0, 1}}, c.startDate, 0, c.endDate);
        const CSvScript script = CSvScript::FromTask(*task);
        EXPECT_FALSE(script.hasSchedule);
        EXPECT_EQ(CheckSchedule(script, kScheduleEpoch, kScheduleEpoch, now), ScheduleCheck::kNotDue);
    }
}

TEST_F(ScheduleTest, DailyAtItsTimeOncePerDay) {
    Schedule(kScheduleDaily, {{kDailyEveryDays, 1}}, DosDate(2024, 6, 3), DosTime(9, 30));
    EXPECT_FALSE(DueAt(Local(2024, 6, 2, 12)));  // before the start date
    EXPECT_FALSE(DueAt(Local(2024, 6, 3, 9, 29, 59)));
    RunAt(Local(2024, 6, 3, 9, 30));
    EXPECT_FALSE(DueAt(Local(2024, 6, 3, 18)));
    EXPECT_FALSE(DueAt(Local(2024, 6, 4, 9, 29)));
    EXPECT_TRUE(DueAt(Local(2024, 6, 4, 9, 30)));
    EXPECT_TRUE(DueAt(Local(2024, 6, 4, 23, 59)));  // a late start still runs that day
}

TEST_F(ScheduleTest, DailyEveryThreeDaysAndWeekdays) {
    Schedule(kScheduleDaily, {{kDailyEveryDays, 3}}, DosDate(2024, 6, 3), DosTime(8, 0));
    RunAt(Local(2024, 6, 3, 8));
    EXPECT_FALSE(DueAt(Local(2024, 6, 4, 8)));
    EXPECT_FALSE(DueAt(Local(2024, 6, 5, 8)));
    EXPECT_TRUE(DueAt(Local(2024, 6, 6, 8)));

    Schedule(kScheduleDaily, {{kDailyEveryDays, 0}, {kDailyWeekdaysOnly, 1}}, DosDate(2024, 6, 3), DosTime(8, 0));
    EXPECT_TRUE(DueAt(Local(2024, 6, 7, 8)));   // Friday
    EXPECT_FALSE(DueAt(Local(2024, 6, 8, 8)));  // Saturday
    EXPECT_FALSE(DueAt(Local(2024, 6, 9, 8)));  // Sunday
    EXPECT_TRUE(DueAt(Local(2024, 6, 10, 8)));  // Monday
}

TEST_F(ScheduleTest, WeeklyRunsOnEachTickedDayOfADueWeek) {
    // Monday, Wednesday and Friday of every second week, counted from the start date's week.
    Schedule(kScheduleWeekly, {{kWeeklyEveryWeeks, 2}, {kWeeklyDayMask, 0x2A}}, DosDate(2024, 4, 1), DosTime(7, 0));
    RunAt(Local(2024, 4, 1, 7));                                                             // Monday
    EXPECT_FALSE(DueAt(Local(2024, 4, 2, 7)));                                               // Tuesday
    RunAt(Local(2024, 4, 3, 7));                                                             // Wednesday
    RunAt(Local(2024, 4, 5, 7));                                                             // Friday
    EXPECT_FALSE(DueAt(Local(2024, 4, 6, 7)));                                               // Saturday
    for (int day = 7; day <= 13; ++day) EXPECT_FALSE(DueAt(Local(2024, 4, day, 7))) << day;  // the week between
    EXPECT_TRUE(DueAt(Local(2024, 4, 15, 7)));                                               // Monday two weeks on
    EXPECT_TRUE(DueAt(Local(2024, 4, 17, 7)));
}

TEST_F(ScheduleTest, WeeklyMondayToFridayNeverAtTheWeekend) {
    Schedule(kScheduleWeekly, {{kWeeklyEveryWeeks, 1}, {kWeeklyDayMask, 0x3E}}, DosDate(2024, 4, 1), DosTime(0, 0));
    int due = 0;
    for (int day = 1; day <= 14; ++day) {
        const LocalSeconds when = Local(2024, 4, day, 12);
        const bool weekend = plat::DayOfWeek(2024, 4, day) % 6 == 0;
        const bool isDue = DueAt(when);
        EXPECT_NE(isDue, weekend) << day;
        due += isDue ? 1 : 0;
    }
    EXPECT_EQ(due, 10);
}

TEST_F(ScheduleTest, WeeklyWithoutDaysRunsOncePerDueWeek) {
    Schedule(kScheduleWeekly, {{kWeeklyEveryWeeks, 1}}, DosDate(2024, 4, 1), DosTime(0, 0));
    RunAt(Local(2024, 4, 2, 12));
    EXPECT_FALSE(DueAt(Local(2024, 4, 6, 12)));  // Saturday, same week
    EXPECT_TRUE(DueAt(Local(2024, 4, 7, 12)));   // Sunday begins the next one
}

TEST_F(ScheduleTest, MonthlyForms) {
    struct Case {
        const char* what;
        Words words;
        LocalSeconds when;
        bool due;
    } cases[] = {
        {"day 31 falls on 30 April", {{kMonthlyDay, 31}}, Local(2024, 4, 30, 10), true},
        {"day 31 not on 29 April", {{kMonthlyDay, 31}}, Local(2024, 4, 29, 10), false},
        {"day 31 on 29 February of a leap year", {{kMonthlyDay, 31}}, Local(2024, 2, 29, 10), true},
        {"day 31 on 31 March", {{kMonthlyDay, 31}}, Local(2024, 3, 31, 10), true},
        {"day 31 not on 30 March", {{kMonthlyDay, 31}}, Local(2024, 3, 30, 10), false},
        {"day 15 in a masked month", {{kMonthlyDay, 15}, {kMonthlyMonthMask, 0x002}}, Local(2024, 2, 15, 10), true},
        {"day 15 outside the mask", {{kMonthlyDay, 15}, {kMonthlyMonthMask, 0x002}}, Local(2024, 3, 15, 10), false},
        {"day 0 never", {{kMonthlyDay, 0}}, Local(2024, 3, 1, 10), false},
        {"first Monday on the 1st",
         {{kMonthlyOnWeekday, 1}, {kMonthlyOrdinal, 0}, {kMonthlyWeekday, 1}},
         Local(2024, 4, 1, 10),
         true},
        {"first Monday not on the 8th",
         {{kMonthlyOnWeekday, 1}, {kMonthlyOrdinal, 0}, {kMonthlyWeekday, 1}},
         Local(2024, 4, 8, 10),
         false},
        {"first Monday not on a Tuesday",
         {{kMonthlyOnWeekday, 1}, {kMonthlyOrdinal, 0}, {kMonthlyWeekday, 1}},
         Local(2024, 4, 2, 10),
         false},
        {"second Tuesday on the 9th",
         {{kMonthlyOnWeekday, 1}, {kMonthlyOrdinal, 1}, {kMonthlyWeekday, 2}},
         Local(2024, 4, 9, 10),
         true},
        {"second Tuesday not on the first",
         {{kMonthlyOnWeekday, 1}, {kMonthlyOrdinal, 1}, {kMonthlyWeekday, 2}},
         Local(2024, 4, 2, 10),
         false},
        {"fourth Tuesday on the 23rd",
         {{kMonthlyOnWeekday, 1}, {kMonthlyOrdinal, 3}, {kMonthlyWeekday, 2}},
         Local(2024, 4, 23, 10),
         true},
        {"fourth Tuesday not on the fifth",
         {{kMonthlyOnWeekday, 1}, {kMonthlyOrdinal, 3}, {kMonthlyWeekday, 2}},
         Local(2024, 4, 30, 10),
         false},
        {"last Friday on the 26th",
         {{kMonthlyOnWeekday, 1}, {kMonthlyOrdinal, 4}, {kMonthlyWeekday, 5}},
         Local(2024, 4, 26, 10),
         true},
        {"last Friday not on the 19th",
         {{kMonthlyOnWeekday, 1}, {kMonthlyOrdinal, 4}, {kMonthlyWeekday, 5}},
         Local(2024, 4, 19, 10),
         false},
        {"last Tuesday on the 30th",
         {{kMonthlyOnWeekday, 1}, {kMonthlyOrdinal, 4}, {kMonthlyWeekday, 2}},
         Local(2024, 4, 30, 10),
         true},
        {"ordinal out of range never",
         {{kMonthlyOnWeekday, 1}, {kMonthlyOrdinal, 5}, {kMonthlyWeekday, 5}},
         Local(2024, 4, 26, 10),
         false},
    };
    for (const Case& c : cases) {
        Schedule(kScheduleMonthly, c.words, DosDate(2024, 1, 1), DosTime(9, 0));
        EXPECT_EQ(DueAt(c.when), c.due) << c.what;
    }
}

TEST_F(ScheduleTest, MonthlyRunsOnceOnItsDay) {
    Schedule(kScheduleMonthly, {{kMonthlyOnWeekday, 1}, {kMonthlyOrdinal, 4}, {kMonthlyWeekday, 5}},
             DosDate(2024, 1, 1), DosTime(9, 0));
    EXPECT_FALSE(DueAt(Local(2024, 4, 26, 8, 59)));
    RunAt(Local(2024, 4, 26, 9));
    EXPECT_FALSE(DueAt(Local(2024, 4, 26, 15)));
    EXPECT_TRUE(DueAt(Local(2024, 5, 31, 9)));
}

TEST_F(ScheduleTest, HourlyCountsFromTheLastRunsStart) {
    Schedule(kScheduleHourly, {{kHourlyEveryHours, 6}}, DosDate(2024, 6, 3), DosTime(8, 0));
    EXPECT_FALSE(DueAt(Local(2024, 6, 2, 12)));  // the day before the start date
    EXPECT_FALSE(DueAt(Local(2024, 6, 3, 7, 59)));
    RunAt(Local(2024, 6, 3, 8, 0, 10));
    EXPECT_FALSE(DueAt(Local(2024, 6, 3, 9)));
    EXPECT_FALSE(DueAt(Local(2024, 6, 3, 14, 0, 9)));
    RunAt(Local(2024, 6, 3, 14, 0, 10));
    EXPECT_FALSE(DueAt(Local(2024, 6, 3, 20, 0, 0)));
    RunAt(Local(2024, 6, 3, 20, 0, 15));
    EXPECT_FALSE(DueAt(Local(2024, 6, 4, 2, 0, 15)));  // before the day's start time
    EXPECT_FALSE(DueAt(Local(2024, 6, 4, 7, 59)));
    EXPECT_TRUE(DueAt(Local(2024, 6, 4, 8, 0)));
}

TEST(ScheduleDueTest, HourlyRunInTheHourRepeatedAtTheEndOfDaylightSaving) {
    const auto task = MakeTask(kScheduleHourly, {{kHourlyEveryHours, 6}}, DosDate(2024, 10, 1), DosTime(0, 0));
    const CSvScript script = CSvScript::FromTask(*task);
    const LocalSeconds day = Local(2024, 10, 27);
    // A run at 02:30 before the clocks went back from 03:00 to 02:00: at the second 02:10
    // it lies ahead of the clock, but it did take place.
    const LocalSeconds run = day + 2 * 3600 + 30 * 60;
    EXPECT_EQ(CheckSchedule(script, day, run, day + 2 * 3600 + 10 * 60), ScheduleCheck::kNotDue);
    EXPECT_EQ(CheckSchedule(script, day, run, run + 6 * 3600), ScheduleCheck::kDue);
    // A run more than an hour ahead means the clock was set back: it holds nothing back.
    EXPECT_EQ(CheckSchedule(script, day, day + 5 * 3600, day + 2 * 3600), ScheduleCheck::kDue);
}

TEST_F(ScheduleTest, HourlyWeekdaysOnly) {
    Schedule(kScheduleHourly, {{kHourlyEveryHours, 1}, {kHourlyWeekdaysOnly, 1}}, DosDate(2024, 6, 3), DosTime(0, 0));
    EXPECT_TRUE(DueAt(Local(2024, 6, 7, 23)));   // Friday
    EXPECT_FALSE(DueAt(Local(2024, 6, 8, 12)));  // Saturday
}

TEST_F(ScheduleTest, EndDateStopsTheScheduleAndClearsAWaitingStart) {
    const int index =
        Schedule(kScheduleDaily, {{kDailyEveryDays, 1}}, DosDate(2024, 6, 1), DosTime(9, 0), DosDate(2024, 6, 10));
    EXPECT_TRUE(DueAt(Local(2024, 6, 10, 9)));  // the end date itself still runs
    SetNow(Local(2024, 6, 10, 9));
    table_.CheckDue(index);
    ASSERT_EQ(table_.State(index)->due, 1);
    SetNow(Local(2024, 6, 11, 9));
    table_.CheckDue(index);
    EXPECT_EQ(table_.State(index)->due, 0);
    EXPECT_EQ(task_->scheduleDue, 0u);
    EXPECT_FALSE(DueAt(Local(2024, 7, 1, 9)));
}

TEST_F(ScheduleTest, RefusedStartClearsDueAndKeepsTheLastRun) {
    const int index = Schedule(kScheduleDaily, {{kDailyEveryDays, 1}}, DosDate(2024, 6, 1), DosTime(9, 0));
    RunAt(Local(2024, 6, 2, 9));
    const SCHED_SCRIPT before = *table_.State(index);
    EXPECT_EQ(before.lastRun, Local(2024, 6, 2));
    EXPECT_EQ(before.lastRunStart, Local(2024, 6, 2, 9));

    SetNow(Local(2024, 6, 3, 9));
    table_.CheckDue(index);
    ASSERT_EQ(table_.State(index)->due, 1);
    table_.CheckDue(index);  // already due: nothing changes

    SyncTask other;
    other.scriptIndex = index;
    table_.EndRun(other, kScriptRunDone);  // not its entry
    EXPECT_EQ(table_.State(index)->due, 1);

    table_.EndRun(*task_, kScriptRunRefused);
    EXPECT_EQ(table_.State(index)->due, 0);
    EXPECT_EQ(table_.State(index)->lastRun, before.lastRun);
    table_.CheckDue(index);
    EXPECT_EQ(table_.State(index)->due, 1);
}

TEST_F(ScheduleTest, RunWithoutItsStartTimeCountsFromItsDateOrNow) {
    const int index = Schedule(kScheduleDaily, {{kDailyEveryDays, 1}}, DosDate(2024, 6, 1), DosTime(9, 0));
    SetNow(Local(2024, 6, 3, 9, 5));
    task_->runFacts.Update([](TaskRunFacts& facts) { facts.lastRunDosDate = DosDate(2024, 6, 3); });
    table_.EndRun(*task_, kScriptRunDone);
    EXPECT_EQ(table_.State(index)->lastRun, Local(2024, 6, 3));
    task_->runFacts.Update([](TaskRunFacts& facts) { facts.lastRunDosDate = 0; });
    table_.EndRun(*task_, kScriptRunDone);
    EXPECT_EQ(table_.State(index)->lastRunStart, Local(2024, 6, 3, 9, 5));
    EXPECT_FALSE(DueAt(Local(2024, 6, 3, 12)));
}

TEST_F(ScheduleTest, AfterARestartTheStoredScheduledRunIsTheLastRun) {
    // The program starts again, the task's stored last run standing in its fields.
    const auto restartWith = [this](DWORD kind, const Words& words, DWORD startSource) {
        if (task_) table_.Cancel(*task_);
        task_ = MakeTask(kind, words, DosDate(2024, 6, 1), DosTime(9, 30));
        task_->startSource = startSource;
        const FILETIME start = plat::FileTimeFromUnixSeconds(Local(2024, 6, 3, 9, 30, 5));
        task_->runFacts.Update([&start](TaskRunFacts& facts) { facts.lastRunStart = start; });
        table_.Add(*task_);
    };
    restartWith(kScheduleDaily, {{kDailyEveryDays, 1}}, 3);
    EXPECT_FALSE(DueAt(Local(2024, 6, 3, 12)));
    EXPECT_TRUE(DueAt(Local(2024, 6, 4, 9, 30)));

    restartWith(kScheduleHourly, {{kHourlyEveryHours, 6}}, 3);
    EXPECT_FALSE(DueAt(Local(2024, 6, 3, 15, 30)));
    EXPECT_TRUE(DueAt(Local(2024, 6, 3, 15, 30, 5)));

    // A last run that the user started is not the schedule's.
    restartWith(kScheduleDaily, {{kDailyEveryDays, 1}}, 0);
    EXPECT_TRUE(DueAt(Local(2024, 6, 3, 12)));
}

TEST_F(ScheduleTest, CancelReplaceAndAddAgain) {
    int dueCalls = 0;
    table_.SetDueHandler([&] { ++dueCalls; });
    const int index = Schedule(kScheduleDaily, {{kDailyEveryDays, 1}}, DosDate(2024, 6, 1), DosTime(9, 0));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(table_.Count(), 1);

    SetNow(Local(2024, 6, 3, 9));
    EXPECT_EQ(table_.CheckAll(), 1);
    EXPECT_EQ(dueCalls, 1);
    ScheduleRecord weekly;
    weekly.startDate = DosDate(2024, 6, 1);
    weekly.kind = kScheduleWeekly;
    EXPECT_EQ(table_.Replace(weekly, index), 0);  // due
    EXPECT_EQ(table_.Replace(weekly, 5), 0);
    EXPECT_EQ(table_.Replace(weekly, -1), 0);
    table_.EndRun(*task_, kScriptRunRefused);
    task_->scheduleDue = 0;

    table_.Cancel(*task_);
    EXPECT_EQ(table_.CheckAll(), 0);
    EXPECT_FALSE(DueAt(Local(2024, 6, 4, 9)));

    EXPECT_EQ(table_.Replace(weekly, index), 1);
    EXPECT_EQ(table_.State(index)->cancelled, 0);
    EXPECT_EQ(table_.Script(index)->type, kScheduleWeekly);
    EXPECT_EQ(table_.Script(index)->text, "the schedule");

    // Switched off and on again: the task keeps its one entry.
    table_.Cancel(*task_);
    task_->scheduleType = kScheduleMonthly;
    EXPECT_EQ(table_.Add(*task_), 1);
    EXPECT_EQ(task_->scriptIndex, index);
    EXPECT_EQ(table_.Count(), 1);
    EXPECT_EQ(table_.Script(index)->type, kScheduleMonthly);
    EXPECT_EQ(table_.CheckAll(), 1);
    EXPECT_FALSE(table_.State(1).has_value());
}

TEST_F(ScheduleTest, RunThreadEndsItsEntryWhileTasksAreAdded) {
    SetNow(Local(2024, 6, 3, 12));
    constexpr int kTasks = 48;
    std::vector<std::unique_ptr<SyncTask>> tasks;
    for (int i = 0; i < kTasks; ++i) {
        tasks.push_back(MakeTask(kScheduleHourly, {{kHourlyEveryHours, 1}}, DosDate(2024, 6, 1), DosTime(0, 0)));
    }
    table_.Add(*tasks[0]);
    std::atomic<bool> adding{true};
    std::thread runThread([&] {
        int reads = 0;
        while (adding.load() || reads < 50) {
            table_.EndRun(*tasks[0], kScriptRunRefused);
            const int count = table_.Count();
            ASSERT_TRUE(table_.State(count - 1).has_value());
            ++reads;
        }
    });
    std::thread checker([&] {
        while (adding.load()) table_.CheckAll();
    });
    for (int i = 1; i < kTasks; ++i) table_.Add(*tasks[i]);
    adding = false;
    runThread.join();
    checker.join();

    ASSERT_EQ(table_.Count(), kTasks);
    table_.CheckAll();
    for (int i = 0; i < kTasks; ++i) {
        EXPECT_EQ(tasks[i]->scriptIndex, i);
        EXPECT_EQ(table_.State(i)->task, tasks[i].get());
        EXPECT_EQ(tasks[i]->scheduleDue, 1u);
    }
}

}  // namespace
