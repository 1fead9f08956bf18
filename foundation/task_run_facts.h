#pragma once
// What a run leaves in its task for the windows to show: when the last run started and
// ended, how it ended, its sync type and mode, whether the item list waits for a Sync, and
// how the task's automatic starts stand. A run's own thread sets them while the window
// thread reads them (and sets some of them), so they have one guarded home: they are read
// as one copy and changed in one locked step.

#include <mutex>

#include "platform/core/win_types.h"

struct TaskRunFacts {
    FILETIME lastRunStart{};  // local wall-clock time, no zone
    FILETIME lastRunEnd{};
    DWORD lastRunStatus = 0;  // RunResult: kRunSucceeded while a run goes on, then its result
    DWORD lastRunSyncType = 0;
    DWORD lastRunMode = 0;     // RunMode
    WORD lastRunDosDate = 0;   // DOS date of lastRunStart
    DWORD needsAttention = 0;  // the item list waits for a Sync
    DWORD startRunState = 0;   // program-start run: 0 not started, 1 started, 2 done
    DWORD deviceRunState = 0;  // device run: the same
};

class GuardedRunFacts {
public:
    // The facts as they stand, as one copy.
    TaskRunFacts Get() const {
        const std::lock_guard guard(lock_);
        return facts_;
    }
    // Changes the facts in one step. `change` is called with the lock held: it sets fields
    // and never waits for another thread.
    template <class Change>
    void Update(Change&& change) {
        const std::lock_guard guard(lock_);
        change(facts_);
    }

private:
    mutable std::mutex lock_;
    TaskRunFacts facts_;
};
