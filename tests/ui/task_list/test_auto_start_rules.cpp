// The automatic-start rules over tasks in memory: which starts one tick asks for, with
// which mode and run-from code, which flags it changes and whether the timer goes on.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "foundation/options/sync_options.h"
#include "foundation/sync_task.h"
#include "platform/core/text.h"
#include "resources/string_ids.h"
#include "support/scoped_program_state.h"
#include "support/temp_dir.h"
#include "ui/task_list/auto_start_rules.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kT0 = 1'700'000'000;
const HWND kWindow = HwndFromId(7);

struct Started {
    std::string name;
    WPARAM mode;
    LPARAM source;
    bool operator==(const Started&) const = default;
};

std::unique_ptr<SyncTask> MakeTask(const std::string& name) {
    auto task = std::make_unique<SyncTask>();
    task->SetDefaults();
    task->name = name;
    task->taskWindow = kWindow;
    return task;
}

class Rules {
public:
    // One tick at kT0 + `at`; every folder counts as there unless told otherwise.
    AutoStartTick Tick(std::vector<SyncTask*> tasks, std::int64_t at, const DeviceTest& device = {}) {
        const DeviceTest always = [](SyncTask&) { return true; };
        return RunAutoStartRules(tasks, kT0 + at, programStartDue_, device ? device : always);
    }
    static std::vector<Started> Starts(const AutoStartTick& tick) {
        std::vector<Started> starts;
        for (const auto& a : tick.actions)
            if (a.kind == AutoStartAction::Kind::Start) starts.push_back({a.task->name, a.mode, a.source});
        return starts;
    }
    static std::vector<UINT> Messages(const AutoStartTick& tick) {
        std::vector<UINT> ids;
        for (const auto& a : tick.actions)
            if (a.kind == AutoStartAction::Kind::BusyMessage) ids.push_back(a.textId);
        return ids;
    }

    std::int64_t programStartDue_ = 0;
};

TEST(AutoStartRules, NothingToDoLeavesTheTimerOff) {
    auto task = MakeTask("Idle");
    Rules rules;
    const AutoStartTick tick = rules.Tick({task.get()}, 0);
    EXPECT_TRUE(tick.actions.empty());
    EXPECT_FALSE(tick.pending);
    EXPECT_TRUE(rules.Tick({}, 0).actions.empty());
}

TEST(AutoStartRules, ARepeatStartsOnceItsIntervalHasPassedAndMovesItsBase) {
    auto task = MakeTask("Hourly");
    task->repeatOn = 1;
    task->repeatHours = 1;
    task->repeatBase = kT0;
    task->autoRunMode = 1;
    task->startSource = kStartedByUser;
    Rules rules;
    EXPECT_TRUE(Rules::Starts(rules.Tick({task.get()}, 3600)).empty()) << "due only after the interval";
    const AutoStartTick tick = rules.Tick({task.get()}, 3601);
    EXPECT_EQ(Rules::Starts(tick), (std::vector<Started>{{"Hourly", kRunModeCheckAndSync, kStartedByRepeat}}));
    EXPECT_TRUE(tick.pending);
    EXPECT_EQ(task->repeatBase, kT0 + 3601);
    EXPECT_EQ(task->startSource, kStartedByUser) << "the window writes it when it takes the start";
    EXPECT_TRUE(Rules::Starts(rules.Tick({task.get()}, 3605)).empty());

    // Busy: told at every tick, never started, the base kept.
    task->busyCode = TaskBusy::Syncing;
    for (int at : {7300, 7305}) {
        const AutoStartTick busy = rules.Tick({task.get()}, at);
        EXPECT_EQ(Rules::Messages(busy), (std::vector<UINT>{IDS_BUSY_WILL_RERUN}));
        EXPECT_TRUE(Rules::Starts(busy).empty());
        EXPECT_TRUE(busy.pending);
    }
    EXPECT_EQ(task->repeatBase, kT0 + 3601);

    // No interval: due at every tick while idle.
    task->busyCode = TaskBusy::Idle;
    task->repeatHours = 0;
    task->autoRunMode = 0;
    for (int at : {8000, 8005, 8010}) {
        EXPECT_EQ(Rules::Starts(rules.Tick({task.get()}, at)),
                  (std::vector<Started>{{"Hourly", kRunModeCheck, kStartedByRepeat}}));
    }
    // Without a window nothing starts, but the timer goes on.
    task->taskWindow = nullptr;
    const AutoStartTick windowless = rules.Tick({task.get()}, 9000);
    EXPECT_TRUE(windowless.actions.empty());
    EXPECT_TRUE(windowless.pending);
}

TEST(AutoStartRules, ProgramStartRunsComeAtTheMomentTheFirstTaskSet) {
    auto first = MakeTask("Ten");
    auto second = MakeTask("Sixty");
    first->runAtStart = second->runAtStart = 1;
    first->startDelaySeconds = 10;
    second->startDelaySeconds = 60;
    second->autoRunMode = 1;
    Rules rules;
    for (int at : {0, 5, 10}) {
        const AutoStartTick tick = rules.Tick({first.get(), second.get()}, at);
        EXPECT_TRUE(tick.actions.empty()) << at;
        EXPECT_TRUE(tick.pending);
    }
    EXPECT_EQ(rules.programStartDue_, kT0 + 10);
    const AutoStartTick due = rules.Tick({first.get(), second.get()}, 11);
    EXPECT_EQ(Rules::Starts(due), (std::vector<Started>{{"Ten", kRunModeCheck, kStartedAtProgramStart},
                                                        {"Sixty", kRunModeCheckAndSync, kStartedAtProgramStart}}));
    EXPECT_FALSE(due.pending);
    EXPECT_EQ(first->runFacts.Get().startRunState, 1u);
    EXPECT_TRUE(rules.Tick({first.get(), second.get()}, 100).actions.empty()) << "once per program run";

    // A busy task is told and waits; the moment, once computed, stays.
    auto late = MakeTask("Late");
    late->runAtStart = 1;
    late->startDelaySeconds = 1000;
    late->busyCode = TaskBusy::Checking;
    const AutoStartTick busy = rules.Tick({late.get()}, 200);
    EXPECT_EQ(Rules::Messages(busy), (std::vector<UINT>{IDS_BUSY_WILL_RERUN}));
    EXPECT_TRUE(busy.pending);
    late->busyCode = TaskBusy::Idle;
    EXPECT_EQ(Rules::Starts(rules.Tick({late.get()}, 205)).size(), 1u);
}

TEST(AutoStartRules, ScheduledAndContainerStartsFireOncePerRequest) {
    auto task = MakeTask("Nightly");
    task->scheduleDue = 1;
    task->busyCode = TaskBusy::Syncing;
    Rules rules;
    const AutoStartTick busy = rules.Tick({task.get()}, 0);
    EXPECT_EQ(Rules::Messages(busy), (std::vector<UINT>{IDS_BUSY_WILL_RERUN}));
    EXPECT_TRUE(busy.pending);
    EXPECT_EQ(task->scheduleDue, 1u);
    task->busyCode = TaskBusy::Idle;
    const AutoStartTick idle = rules.Tick({task.get()}, 5);
    EXPECT_EQ(Rules::Starts(idle), (std::vector<Started>{{"Nightly", kRunModeCheck, kStartedByScheduler}}));
    EXPECT_FALSE(idle.pending);
    EXPECT_EQ(task->scheduleDue, 0u);

    // A container member starts with the container's own mode, and a repeat due in the
    // same tick asks for its own start.
    task->containerMode = kContainerCheckAndSync;
    task->containerPending = 1;
    task->repeatOn = 1;
    task->repeatBase = kT0 - 1;
    EXPECT_EQ(Rules::Starts(rules.Tick({task.get()}, 10)),
              (std::vector<Started>{{"Nightly", kRunModeCheckAndSync, kStartedByContainer},
                                    {"Nightly", kRunModeCheck, kStartedByRepeat}}));
    EXPECT_EQ(task->containerPending, 0u);
    task->repeatOn = 0;

    // Busy: told once that it is cancelled, then dropped.
    task->containerPending = 1;
    task->busyCode = TaskBusy::Syncing;
    const AutoStartTick cancelled = rules.Tick({task.get()}, 15);
    EXPECT_EQ(Rules::Messages(cancelled), (std::vector<UINT>{IDS_BUSY_WILL_CANCEL}));
    EXPECT_FALSE(cancelled.pending);
    EXPECT_EQ(task->containerPending, 0u);
    EXPECT_TRUE(rules.Tick({task.get()}, 20).actions.empty());

    // Taken out of the container while its start waited: no start at all (mode 0 would be
    // a Sync of whatever list the window holds).
    task->busyCode = TaskBusy::Idle;
    task->containerMode = kNotInContainer;
    task->containerPending = 1;
    EXPECT_TRUE(rules.Tick({task.get()}, 25).actions.empty());
    EXPECT_EQ(task->containerPending, 0u);

    // Without a window the request waits for one.
    task->containerMode = kContainerCheck;
    task->containerPending = 1;
    task->taskWindow = nullptr;
    EXPECT_TRUE(rules.Tick({task.get()}, 30).actions.empty());
    EXPECT_EQ(task->containerPending, 1u);
}

// A volume labelled CARD that comes and goes, and a disk of /etc/fstab at mnt/b, all in
// prepared copies of the system's files.
class DeviceRuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root_ + "/by-label");
        fs::create_directories(root_ + "/home/docs");
        fs::create_directories(root_ + "/mnt/b/photos");
        fs::create_symlink("../../sdb1", root_ + "/by-label/CARD");
        qbtest::WriteFileBytes(root_ + "/fstab",
                               "# static file system information\n"
                               "UUID=1 / ext4 defaults 0 1\n"
                               "UUID=2 none swap sw 0 0\n"
                               "/dev/sdc1 " +
                                   root_ + "/mnt/b ext4 noauto 0 2\n");
        Mount("");
        sources_.volumes.mountTable = root_ + "/mounts";
        sources_.volumes.labelFolder = root_ + "/by-label";
        sources_.volumes.sysFolder = root_ + "/sys";
        sources_.volumes.fstabFile = root_ + "/fstab";
        sources_.programFolder = root_ + "/prog/";
        sources_.dataFolder = root_ + "/data";
    }
    void Mount(const std::string& lines) {
        qbtest::WriteFileBytes(root_ + "/mounts", "/dev/sda1 / ext4 rw 0 0\n" + lines);
    }
    std::unique_ptr<SyncTask> DeviceTask(const std::wstring& right) {
        auto task = MakeTask("Card");
        task->syncOptions = std::make_unique<CConfigSyncPage>(false);
        task->runOnDevice = 1;
        task->autoRunMode = 1;
        task->leftFolder = plat::Utf8ToWide(root_ + "/home/docs");
        task->rightFolder = right;
        return task;
    }
    AutoStartTick Tick(SyncTask& task, std::int64_t at) {
        DeviceFolders devices(sources_);
        return rules_.Tick({&task}, at, [&devices](SyncTask& t) { return devices.BothThere(t); });
    }

    qbtest::TempDir dir_;
    const std::string root_ = fs::canonical(dir_.path()).string();
    const qbtest::ScopedProgramState savedState_;
    TaskPathSources sources_;
    Rules rules_;
};

TEST_F(DeviceRuleTest, AVolumeByLabelStartsTheTaskOnceWhenItsFolderIsThere) {
    auto task = DeviceTask(L"<CARD>:/x");
    const AutoStartTick absent = Tick(*task, 0);
    EXPECT_TRUE(absent.actions.empty()) << "no CARD: waits without a word";
    EXPECT_TRUE(absent.pending);

    Mount("/dev/sdb1 " + root_ + "/media/u/CARD vfat rw 0 0\n");
    EXPECT_TRUE(Tick(*task, 5).actions.empty()) << "CARD is there but not its folder x";
    fs::create_directories(root_ + "/media/u/CARD/x");
    const AutoStartTick there = Tick(*task, 10);
    EXPECT_EQ(Rules::Starts(there), (std::vector<Started>{{"Card", kRunModeCheckAndSync, kStartedForDevice}}));
    EXPECT_FALSE(there.pending);
    EXPECT_EQ(plat::WideToUtf8(task->targetFolder), root_ + "/media/u/CARD/x");
    EXPECT_EQ(task->runFacts.Get().deviceRunState, 1u);
    EXPECT_TRUE(Tick(*task, 15).actions.empty());
}

TEST_F(DeviceRuleTest, AFolderOnAnFstabDiskCountsOnlyWhileTheDiskIsMounted) {
    auto task = DeviceTask(plat::Utf8ToWide(root_ + "/mnt/b/photos"));
    const AutoStartTick unmounted = Tick(*task, 0);
    EXPECT_TRUE(unmounted.actions.empty()) << "an empty mount point is no disk";
    EXPECT_TRUE(unmounted.pending);

    fs::permissions(root_ + "/home/docs", fs::perms::none);
    Mount("/dev/sdc1 " + root_ + "/mnt/b ext4 rw 0 0\n");
    if (geteuid() != 0) {
        EXPECT_TRUE(Tick(*task, 5).actions.empty()) << "a folder that cannot be listed";
    }
    fs::permissions(root_ + "/home/docs", fs::perms::owner_all);

    const AutoStartTick mounted = Tick(*task, 10);
    EXPECT_EQ(Rules::Starts(mounted), (std::vector<Started>{{"Card", kRunModeCheckAndSync, kStartedForDevice}}));

    // Busy when the folders come: told, and it waits for the task.
    auto busy = DeviceTask(plat::Utf8ToWide(root_ + "/mnt/b/photos"));
    BuildTaskDataPaths(*busy, sources_);  // as its run left them
    busy->busyCode = TaskBusy::Syncing;
    const AutoStartTick told = Tick(*busy, 15);
    EXPECT_EQ(Rules::Messages(told), (std::vector<UINT>{IDS_BUSY_WILL_RERUN}));
    EXPECT_TRUE(told.pending);
    EXPECT_EQ(busy->runFacts.Get().deviceRunState, 0u);
}

}  // namespace
