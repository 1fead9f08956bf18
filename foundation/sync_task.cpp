#include "foundation/sync_task.h"

#include "platform/core/clock.h"

SyncKind SyncKindOfType(DWORD syncType) {
    if (syncType >= kBackupLeftToRight) return kSyncKindBackup;
    if (syncType == kSyncMirror) return kSyncKindMirror;
    return kSyncKindOneWay;
}

bool IsSwappedType(DWORD syncType) { return syncType == kSyncRightToLeft || syncType == kBackupRightToLeft; }

bool IsRunBusy(TaskBusy code) { return code == TaskBusy::Syncing || code == TaskBusy::Checking; }

TaskBusy BusyCodeOfRun(DWORD mode) { return mode == kRunModeCheck ? TaskBusy::Checking : TaskBusy::Syncing; }

SyncTask::~SyncTask() {
    sourceItems.reset();
    targetItems.reset();
    syncOptions.reset();
    logOptions.reset();
    filterOptions.reset();
}

void SyncTask::SetDefaults() {
    sourceItems.reset();
    targetItems.reset();
    syncOptions.reset();
    logOptions.reset();
    filterOptions.reset();

    runFacts.Update([](TaskRunFacts& facts) { facts = TaskRunFacts{}; });
    scheduleOn = 0;
    scheduleStartTime = 0;
    scheduleStartDate = 0;
    scheduleHasEnd = 0;
    scheduleEndDate = 0;
    scheduleType = 0;
    scheduleBlock.fill(0);
    runAtStart = 0;
    startDelaySeconds = 0;
    runOnDevice = 0;
    repeatOn = 0;
    repeatMinutes = 0;
    repeatHours = 0;
    repeatBase = plat::NowUnixSeconds();
    skipPercent = 0;
    autoResolve = 0;
    autoRunMode = 0;
    reservedWord = 0;
    syncKind = 0;
    startSource = 0;
    containerMode = 0;
    containerPending = 0;
    busyCode = TaskBusy::Idle;
    taskWindow = nullptr;
    logControl = nullptr;
    startThread = nullptr;
    rowIndex = -1;
    swapped = 0;
    scriptIndex = -1;
    scheduleDue = 0;
}

void SyncTask::UpdateSyncKind() {
    const DWORD type = syncOptions ? syncOptions->type : static_cast<DWORD>(kSyncLeftToRight);
    syncKind = SyncKindOfType(type);
    swapped = IsSwappedType(type) ? 1 : 0;
}

std::int64_t SyncTask::RepeatIntervalSeconds() const {
    return static_cast<std::int64_t>(repeatHours) * 3600 + static_cast<std::int64_t>(repeatMinutes) * 60;
}

bool SyncTask::IsRepeatDue(std::int64_t nowSeconds) const {
    std::int64_t due = 0;
    // A base so far ahead that the sum overflows is never due.
    if (__builtin_add_overflow(repeatBase, RepeatIntervalSeconds(), &due)) return false;
    return due < nowSeconds;
}

void DeleteSyncTask(std::unique_ptr<SyncTask> task) { task.reset(); }
