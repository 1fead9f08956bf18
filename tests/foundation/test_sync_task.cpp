#include <gtest/gtest.h>

#include <limits>

#include "foundation/sync_task.h"
#include "platform/core/clock.h"
#include "support/settings_fixture.h"

namespace {

using SyncTaskTest = qbtest::SettingsFileTest;

void ExpectAllNumbersZero(const SyncTask& t) {
    const TaskRunFacts facts = t.runFacts.Get();
    EXPECT_EQ(FileTimeToU64(facts.lastRunStart), 0u);
    EXPECT_EQ(FileTimeToU64(facts.lastRunEnd), 0u);
    for (DWORD v : {facts.lastRunStatus, facts.lastRunSyncType, facts.lastRunMode,   facts.needsAttention,
                    t.scheduleOn,        t.scheduleHasEnd,      t.scheduleType,      t.runAtStart,
                    t.startDelaySeconds, t.runOnDevice,         t.repeatOn,          t.skipPercent,
                    t.autoResolve,       t.autoRunMode,         t.reservedWord,      t.syncKind,
                    t.startSource,       t.containerMode,       t.containerPending,  static_cast<DWORD>(t.busyCode),
                    t.swapped,           t.scheduleDue,         facts.startRunState, facts.deviceRunState}) {
        EXPECT_EQ(v, 0u);
    }
    for (WORD v : {t.scheduleStartTime, t.scheduleStartDate, t.scheduleEndDate, facts.lastRunDosDate, t.repeatMinutes,
                   t.repeatHours}) {
        EXPECT_EQ(v, 0u);
    }
    for (BYTE b : t.scheduleBlock) EXPECT_EQ(b, 0u);
    EXPECT_EQ(t.taskWindow, nullptr);
    EXPECT_EQ(t.logControl, nullptr);
    EXPECT_EQ(t.startThread, nullptr);
    EXPECT_EQ(t.sourceItems, nullptr);
    EXPECT_EQ(t.targetItems, nullptr);
    EXPECT_EQ(t.syncOptions, nullptr);
    EXPECT_EQ(t.logOptions, nullptr);
    EXPECT_EQ(t.filterOptions, nullptr);
}

TEST_F(SyncTaskTest, ConstructedTaskIsEmptyWithItsBaseAtZero) {
    const SyncTask task;
    EXPECT_TRUE(task.name.empty());
    EXPECT_TRUE(task.leftFolder.empty());
    EXPECT_EQ(task.repeatBase, 0);
    EXPECT_EQ(task.rowIndex, -1);
    EXPECT_EQ(task.scriptIndex, -1);
    ExpectAllNumbersZero(task);
}

TEST_F(SyncTaskTest, SetDefaultsClearsEveryNumberButKeepsTheStrings) {
    const plat::FixedClock clock(1'700'000'000);
    const plat::ClockOverride useClock(clock);

    SyncTask task;
    task.name = "Photos";
    task.leftFolder = L"/home/me/Pictures";
    task.scheduleText = "Daily";
    task.syncOptions = std::make_unique<CConfigSyncPage>(false);
    task.logOptions = std::make_unique<CConfigLogPage>(false);
    task.filterOptions = std::make_unique<CConfigCompressFilterPage>(false, L"");
    task.runFacts.Update([](TaskRunFacts& facts) {
        facts.lastRunStart = U64ToFileTime(123);
        facts.lastRunStatus = 7;
    });
    task.scheduleBlock[47] = 9;
    task.repeatHours = 2;
    task.busyCode = TaskBusy::Copying;
    task.syncKind = 2;
    task.swapped = 1;
    task.rowIndex = 4;
    task.scriptIndex = 3;
    task.taskWindow = HwndFromId(42);
    task.startThread = HwndFromId(43);

    task.SetDefaults();
    ExpectAllNumbersZero(task);
    EXPECT_EQ(task.rowIndex, -1);
    EXPECT_EQ(task.scriptIndex, -1);
    EXPECT_EQ(task.repeatBase, 1'700'000'000);
    EXPECT_EQ(task.name, "Photos");
    EXPECT_EQ(task.leftFolder, L"/home/me/Pictures");
    EXPECT_EQ(task.scheduleText, "Daily");
}

TEST_F(SyncTaskTest, SyncKindAndSwapFollowTheType) {
    SyncTask task;
    task.syncOptions = std::make_unique<CConfigSyncPage>(false);
    struct Case {
        DWORD type;
        DWORD kind;
        DWORD swapped;
    };
    for (const Case c : {Case{0, 2, 0}, Case{1, 0, 0}, Case{2, 0, 1}, Case{3, 1, 0}, Case{4, 1, 1}, Case{7, 1, 0}}) {
        task.syncOptions->type = c.type;
        task.UpdateSyncKind();
        EXPECT_EQ(task.syncKind, c.kind) << c.type;
        EXPECT_EQ(task.swapped, c.swapped) << c.type;
    }

    task.syncOptions.reset();  // the default type, Sync from Left to Right
    task.swapped = 1;
    task.UpdateSyncKind();
    EXPECT_EQ(task.syncKind, kSyncKindOneWay);
    EXPECT_EQ(task.swapped, 0u);
}

TEST_F(SyncTaskTest, RepeatIsDueOnlyAfterTheWholeInterval) {
    SyncTask task;
    task.repeatBase = 1'000'000;
    task.repeatHours = 2;
    task.repeatMinutes = 30;
    EXPECT_EQ(task.RepeatIntervalSeconds(), 9000);
    EXPECT_FALSE(task.IsRepeatDue(1'009'000));  // strictly later than base + interval
    EXPECT_TRUE(task.IsRepeatDue(1'009'001));

    task.repeatHours = 65535;
    task.repeatMinutes = 65535;
    EXPECT_EQ(task.RepeatIntervalSeconds(), 65535LL * 3600 + 65535LL * 60);

    task.repeatBase = std::numeric_limits<std::int64_t>::max() - 10;
    EXPECT_FALSE(task.IsRepeatDue(std::numeric_limits<std::int64_t>::max()));
}

TEST_F(SyncTaskTest, DeleteSyncTaskFreesTheOptionRecords) {
    auto task = std::make_unique<SyncTask>();
    task->SetDefaults();
    task->syncOptions = std::make_unique<CConfigSyncPage>(false);
    task->logOptions = std::make_unique<CConfigLogPage>(false);
    task->filterOptions = std::make_unique<CConfigCompressFilterPage>(false, L"/tmp");
    DeleteSyncTask(std::move(task));  // the sanitizer build checks nothing leaks
    EXPECT_EQ(task, nullptr);
}

}  // namespace
