#pragma once
// The rules by which the task list starts tasks on its own, one pass over its rows at each
// tick of its automatic-start timer. Each task meets five rules in this order, each on its
// own, so one task may be started by more than one in a tick:
//   1. a Sync Container start waits (containerPending);
//   2. its repeat interval has passed (repeatOn);
//   3. its scheduled script fell due (scheduleDue);
//   4. both its folders are there, for "Run when device is connected" (runOnDevice);
//   5. the program has run for its start delay (runAtStart).
// A start asks the task's window for a run and names who asks (the run-from code); the
// window writes startSource itself once it takes the start. A busy task is told so in its
// log and keeps waiting, except for a container start, which is dropped.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "foundation/task_paths.h"
#include "platform/core/mount_table.h"
#include "platform/core/win_types.h"

struct SyncTask;

struct AutoStartAction {
    enum class Kind { Start, BusyMessage };
    Kind kind = Kind::Start;
    SyncTask* task = nullptr;
    WPARAM mode = 0;    // Start: 1 Check, 2 Check and Sync
    LPARAM source = 0;  // Start: the run-from code (StartSource)
    UINT textId = 0;    // BusyMessage: IDS_BUSY_WILL_RERUN or IDS_BUSY_WILL_CANCEL
};

struct AutoStartTick {
    std::vector<AutoStartAction> actions;  // in the order the rules met them
    bool pending = false;                  // some rule still waits: the timer goes on
};

// Whether both folders of a task whose device run waits are there now.
using DeviceTest = std::function<bool(SyncTask&)>;

// One tick over `tasks` (the rows in order) at `now` (seconds since 1970). The flags of
// each task change as its rules say: the repeat base moves to now, the once-flags of the
// program-start and device runs go to 1, the container and scheduled requests are cleared.
// `programStartDue` is the program-wide moment of the program-start runs: 0 until the
// first task that reaches rule 5 sets it to now plus its own delay.
AutoStartTick RunAutoStartRules(std::span<SyncTask* const> tasks, std::int64_t now, std::int64_t& programStartDue,
                                const DeviceTest& deviceReady);

// The program-start runs' moment for the life of the program (0 until first computed).
std::int64_t& ProgramStartDueTime();

// The device test of one tick. An idle task gets its paths resolved again, so a volume
// that appeared under its label is found; a busy task's paths belong to its run and are
// left alone. A folder is there when it exists, can be listed, and no mount point of
// /etc/fstab at or above it is unmounted: an unmounted disk leaves an empty mount point
// behind, and a run on it would fill it from the other side. The mount tables are read
// once, when a task first needs them.
class DeviceFolders {
public:
    explicit DeviceFolders(TaskPathSources sources = {});

    bool BothThere(SyncTask& task);
    bool IsThere(const std::wstring& folder);

private:
    void ReadTables();

    TaskPathSources sources_;
    bool tablesRead_ = false;
    bool haveTables_ = false;
    std::vector<plat::MountEntry> fstab_;
    std::vector<plat::MountEntry> mounted_;
};
