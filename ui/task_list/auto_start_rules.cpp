#include "ui/task_list/auto_start_rules.h"

#include "engine/run/run_guards.h"
#include "foundation/file_utils.h"
#include "foundation/sync_task.h"
#include "platform/core/dir_listing.h"
#include "platform/core/text.h"
#include "resources/string_ids.h"

namespace {

// A value the store or the settings file holds outside 0 and 1 counts as Check and Sync,
// as any mode above Check does for a run.
WPARAM AutoRunModeOf(const SyncTask& task) { return task.autoRunMode == 0 ? kRunModeCheck : kRunModeCheckAndSync; }
WPARAM ContainerRunModeOf(const SyncTask& task) {
    return task.containerMode == kContainerCheck ? kRunModeCheck : kRunModeCheckAndSync;
}

class TickBuilder {
public:
    explicit TickBuilder(AutoStartTick& tick) : tick_(tick) {}

    void Start(SyncTask& task, WPARAM mode, StartSource source) {
        tick_.actions.push_back({AutoStartAction::Kind::Start, &task, mode, source, 0});
    }
    void Busy(SyncTask& task, UINT textId) {
        tick_.actions.push_back({AutoStartAction::Kind::BusyMessage, &task, 0, 0, textId});
    }
    void Pending() { tick_.pending = true; }

private:
    AutoStartTick& tick_;
};

bool IsBusy(const SyncTask& task) { return task.busyCode != TaskBusy::Idle; }

// A due start of a task that is running says so and is tried again at the next tick.
bool WaitsWhileBusy(SyncTask& task, TickBuilder& out) {
    if (!IsBusy(task)) return false;
    out.Busy(task, IDS_BUSY_WILL_RERUN);
    out.Pending();
    return true;
}

void ContainerRule(SyncTask& task, TickBuilder& out) {
    if (task.containerPending == 0) return;
    if (IsBusy(task)) {
        out.Busy(task, IDS_BUSY_WILL_CANCEL);
        task.containerPending = 0;
    } else if (task.containerMode == kNotInContainer) {
        // Taken out of the container since: a start now would be a plain Sync.
        task.containerPending = 0;
    } else if (task.taskWindow) {
        task.containerPending = 0;
        out.Start(task, ContainerRunModeOf(task), kStartedByContainer);
    }
}

void RepeatRule(SyncTask& task, std::int64_t now, TickBuilder& out) {
    if (task.repeatOn == 0) return;
    out.Pending();
    if (!task.IsRepeatDue(now) || !task.taskWindow) return;
    if (WaitsWhileBusy(task, out)) return;
    task.repeatBase = now;
    out.Start(task, AutoRunModeOf(task), kStartedByRepeat);
}

void ScheduleRule(SyncTask& task, TickBuilder& out) {
    if (task.scheduleDue == 0 || !task.taskWindow) return;
    if (WaitsWhileBusy(task, out)) return;
    task.scheduleDue = 0;
    out.Start(task, AutoRunModeOf(task), kStartedByScheduler);
}

void DeviceRule(SyncTask& task, const DeviceTest& deviceReady, TickBuilder& out) {
    if (task.runOnDevice == 0 || task.runFacts.Get().deviceRunState != 0) return;
    if (!deviceReady || !deviceReady(task)) {
        out.Pending();
        return;
    }
    if (!task.taskWindow) return;
    if (WaitsWhileBusy(task, out)) return;
    task.runFacts.Update([](TaskRunFacts& facts) { facts.deviceRunState = 1; });
    out.Start(task, AutoRunModeOf(task), kStartedForDevice);
}

void ProgramStartRule(SyncTask& task, std::int64_t now, std::int64_t& due, TickBuilder& out) {
    if (task.runAtStart == 0 || task.runFacts.Get().startRunState != 0) return;
    if (due == 0) due = now + static_cast<std::int64_t>(task.startDelaySeconds);
    if (now <= due) {
        out.Pending();
        return;
    }
    if (!task.taskWindow) return;
    if (WaitsWhileBusy(task, out)) return;
    task.runFacts.Update([](TaskRunFacts& facts) { facts.startRunState = 1; });
    out.Start(task, AutoRunModeOf(task), kStartedAtProgramStart);
}

}  // namespace

AutoStartTick RunAutoStartRules(std::span<SyncTask* const> tasks, std::int64_t now, std::int64_t& programStartDue,
                                const DeviceTest& deviceReady) {
    AutoStartTick tick;
    TickBuilder out(tick);
    for (SyncTask* task : tasks) {
        if (!task) continue;
        ContainerRule(*task, out);
        RepeatRule(*task, now, out);
        ScheduleRule(*task, out);
        DeviceRule(*task, deviceReady, out);
        ProgramStartRule(*task, now, programStartDue, out);
    }
    return tick;
}

std::int64_t& ProgramStartDueTime() {
    static std::int64_t due = 0;
    return due;
}

// --- The device test ----------------------------------------------------------------------

DeviceFolders::DeviceFolders(TaskPathSources sources) : sources_(std::move(sources)) {}

bool DeviceFolders::BothThere(SyncTask& task) {
    if (task.busyCode == TaskBusy::Idle) BuildTaskDataPaths(task, sources_);
    // A folder that does not resolve (a label no mounted volume carries) leaves every
    // path empty.
    return IsThere(task.targetFolder) && IsThere(task.sourceFolder);
}

bool DeviceFolders::IsThere(const std::wstring& folder) {
    if (folder.empty() || GetPathKindW(folder) != kPathFolder) return false;
    plat::DirectoryReader listing;
    if (!listing.Open(plat::WideToUtf8(folder))) return false;
    ReadTables();
    return !haveTables_ || UnmountedFstabPointOfFolder(folder, fstab_, mounted_).empty();
}

void DeviceFolders::ReadTables() {
    if (tablesRead_) return;
    tablesRead_ = true;
    // Without both tables nothing can be said about mounts; the folder's presence decides.
    haveTables_ = plat::ReadMountTable(fstab_, sources_.volumes.fstabFile) &&
                  plat::ReadMountTable(mounted_, sources_.volumes.mountTable);
}
