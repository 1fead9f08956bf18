#include "foundation/script_table.h"

#include <string>

#include "foundation/folder_locks.h"
#include "foundation/schedule_due.h"
#include "foundation/sync_task.h"
#include "platform/core/clock.h"
#include "platform/core/file_time.h"
#include "platform/core/text.h"

struct ScriptTable::Entry {
    CSvScript script;
    SCHED_SCRIPT state;
    std::mutex lock;
};

// Holds one entry: its lock in this process and its named mutex across processes. The
// named mutex is shared with other programs; when it cannot be made, this process is
// still guarded by the entry's own lock.
class ScriptTable::EntryLock {
public:
    EntryLock(Entry& entry, int index)
        : name_(plat::Utf8ToWide(plat::Format("schedule%u", static_cast<unsigned>(index)))),
          named_(LockTaskMutex(name_, false, true) == 1),
          guard_(entry.lock) {}
    ~EntryLock() {
        if (named_) UnlockTaskMutex(name_, false);
    }
    EntryLock(const EntryLock&) = delete;
    EntryLock& operator=(const EntryLock&) = delete;

private:
    std::wstring name_;
    bool named_;
    std::lock_guard<std::mutex> guard_;
};

namespace {

LocalSeconds NowLocalSeconds() { return plat::UtcToLocalSeconds(plat::NowUnixSeconds()); }

// When the task's last run started. The run's start time is set at every start, while its
// DOS date reaches the task only when the task store could be written; a run with neither
// counts from now, so a schedule never runs again at once because a write failed.
LocalSeconds RunStartOf(const SyncTask& task) {
    const TaskRunFacts facts = task.runFacts.Get();
    const LocalSeconds start = plat::FileTimeToUnixSeconds(facts.lastRunStart);
    if (start > kScheduleEpoch) return start;
    LocalSeconds day = 0;
    if (DosDateToLocalSeconds(facts.lastRunDosDate, 0, &day)) return day;
    return NowLocalSeconds();
}

// A new entry learns of the schedule's last run from the task's stored last run, when the
// scheduler started that one: a program started again the same day must not run it twice.
void TakeStoredLastRun(SCHED_SCRIPT& state, const SyncTask& task) {
    if (task.startSource != kStartedByScheduler) return;
    const LocalSeconds start = plat::FileTimeToUnixSeconds(task.runFacts.Get().lastRunStart);
    if (start <= kScheduleEpoch) return;
    state.lastRunStart = start;
    state.lastRun = StartOfDay(start);
}

}  // namespace

ScriptTable::ScriptTable() = default;
ScriptTable::~ScriptTable() = default;

void ScriptTable::SetDueHandler(std::function<void()> handler) {
    const std::lock_guard lock(handlerLock_);
    dueHandler_ = std::move(handler);
}

ScriptTable::Entry* ScriptTable::EntryAt(int index) const {
    const std::shared_lock lock(tableLock_);
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return nullptr;
    return entries_[static_cast<std::size_t>(index)].get();
}

int ScriptTable::Add(SyncTask& task) {
    const int current = task.scriptIndex;
    if (Entry* entry = EntryAt(current)) {
        const EntryLock lock(*entry, current);
        if (entry->state.task == &task) {
            entry->script = CSvScript::FromTask(task);
            entry->state.cancelled = 0;
            return 1;
        }
    }
    auto entry = std::make_unique<Entry>();
    entry->script = CSvScript::FromTask(task);
    entry->state.task = &task;
    TakeStoredLastRun(entry->state, task);
    const std::unique_lock lock(tableLock_);
    entries_.push_back(std::move(entry));
    task.scriptIndex = static_cast<int>(entries_.size() - 1);
    return 1;
}

int ScriptTable::Replace(const ScheduleRecord& schedule, int index) {
    Entry* entry = EntryAt(index);
    if (!entry) return 0;
    const EntryLock lock(*entry, index);
    if (entry->state.due) return 0;
    entry->script.SetSchedule(schedule);
    entry->state.cancelled = 0;
    return 1;
}

void ScriptTable::Cancel(const SyncTask& task) {
    const int index = task.scriptIndex;
    Entry* entry = EntryAt(index);
    if (!entry) return;
    const EntryLock lock(*entry, index);
    if (entry->state.task == &task) entry->state.cancelled = 1;
}

void ScriptTable::EndRun(const SyncTask& task, int how) {
    const int index = task.scriptIndex;
    Entry* entry = EntryAt(index);
    if (!entry) return;
    const EntryLock lock(*entry, index);
    SCHED_SCRIPT& state = entry->state;
    if (state.task != &task) return;
    state.due = 0;
    if (how == kScriptRunRefused) return;  // the entry falls due again at the next check
    state.lastRunStart = RunStartOf(task);
    state.lastRun = StartOfDay(state.lastRunStart);
}

bool ScriptTable::CheckEntry(int index) {
    Entry* entry = EntryAt(index);
    if (!entry) return false;
    bool fellDue = false;
    bool active = false;
    {
        const EntryLock lock(*entry, index);
        SCHED_SCRIPT& state = entry->state;
        active = state.cancelled == 0;
        if (!active || !state.task) return active;
        switch (CheckSchedule(entry->script, state.lastRun, state.lastRunStart, NowLocalSeconds())) {
        case ScheduleCheck::kEnded:
            // A start still waiting from before the end date does not happen either.
            state.due = 0;
            state.task->scheduleDue = 0;
            break;
        case ScheduleCheck::kDue:
            if (!state.due) {
                state.task->scheduleDue = 1;
                state.due = 1;
                fellDue = true;
            }
            break;
        case ScheduleCheck::kNotDue: break;
        }
    }
    if (fellDue) NotifyDue();
    return active;
}

void ScriptTable::CheckDue(int index) { CheckEntry(index); }

int ScriptTable::CheckAll() {
    bool anyActive = false;
    const int count = Count();
    for (int i = 0; i < count; ++i) anyActive = CheckEntry(i) || anyActive;
    return anyActive ? 1 : 0;
}

int ScriptTable::Count() const {
    const std::shared_lock lock(tableLock_);
    return static_cast<int>(entries_.size());
}

std::optional<CSvScript> ScriptTable::Script(int index) const {
    Entry* entry = EntryAt(index);
    if (!entry) return std::nullopt;
    const EntryLock lock(*entry, index);
    return entry->script;
}

std::optional<SCHED_SCRIPT> ScriptTable::State(int index) const {
    Entry* entry = EntryAt(index);
    if (!entry) return std::nullopt;
    const EntryLock lock(*entry, index);
    return entry->state;
}

void ScriptTable::NotifyDue() {
    std::function<void()> handler;
    {
        const std::lock_guard lock(handlerLock_);
        handler = dueHandler_;
    }
    if (handler) handler();
}

ScriptTable& ProgramScripts() {
    static ScriptTable table;
    return table;
}

int AddTaskScript(SyncTask& task) { return ProgramScripts().Add(task); }
int ReplaceTaskScript(const ScheduleRecord& schedule, int index) { return ProgramScripts().Replace(schedule, index); }
void CancelTaskScript(const SyncTask& task) { ProgramScripts().Cancel(task); }
void EndTaskScriptRun(const SyncTask& task, int how) { ProgramScripts().EndRun(task, how); }
void CheckScriptDue(int index) { ProgramScripts().CheckDue(index); }
int CheckAllScripts() { return ProgramScripts().CheckAll(); }
int ScheduledScriptCount() { return ProgramScripts().Count(); }
