#pragma once
// The scheduler: one entry per scheduled task, a CSvScript (when) and a SCHED_SCRIPT (its
// live state). Entry i belongs to the task whose scriptIndex is i. Entries are only
// appended: a switched-off schedule is cancelled and stays, so indices never move.
//
// The user-interface thread adds, replaces, cancels and checks entries while a run's own
// thread ends the run of its entry. The list of entries is guarded by the table's lock;
// each entry's fields by a lock of its own together with the named mutex "schedule%u"
// (the entry's index), which any other process that keeps these schedules shares.

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <vector>

#include "foundation/scheduled_script.h"

struct SyncTask;

// How a scheduled run ended, for EndTaskScriptRun.
inline constexpr int kScriptRunRefused = 1;  // the start was refused: the entry falls due again
inline constexpr int kScriptRunDone = 3;     // the run took place

class ScriptTable {
public:
    ScriptTable();
    ~ScriptTable();
    ScriptTable(const ScriptTable&) = delete;
    ScriptTable& operator=(const ScriptTable&) = delete;

    // Called whenever an entry falls due, outside every lock of the table; the task list
    // arms its automatic-start timer here.
    void SetDueHandler(std::function<void()> handler);

    // Builds the task's entry from its schedule fields and sets its scriptIndex. A task that
    // already owns an entry gets that entry back, rebuilt and no longer cancelled, so one
    // task never has two entries. A new entry's last run is the task's last run when the
    // scheduler started that one. Returns 1.
    int Add(SyncTask& task);
    // New start, end, kind and block for entry `index` (its text stays); the entry is no
    // longer cancelled. 0 when there is no such entry or it is due.
    int Replace(const ScheduleRecord& schedule, int index);
    // Switches the task's entry off.
    void Cancel(const SyncTask& task);
    // The end of a scheduled run of `task` (how: kScriptRunDone or kScriptRunRefused): the
    // entry is no longer due; a run that took place becomes its last run.
    void EndRun(const SyncTask& task, int how);
    // Marks the entry's task due (scheduleDue) when its time has come.
    void CheckDue(int index);
    // Checks every entry; 1 while at least one is not cancelled, else 0.
    int CheckAll();
    int Count() const;

    // Copies of entry `index`; none outside the table.
    std::optional<CSvScript> Script(int index) const;
    std::optional<SCHED_SCRIPT> State(int index) const;

private:
    struct Entry;
    class EntryLock;

    Entry* EntryAt(int index) const;
    // Checks one entry; true when it is not cancelled.
    bool CheckEntry(int index);
    void NotifyDue();

    mutable std::shared_mutex tableLock_;
    std::vector<std::unique_ptr<Entry>> entries_;  // addresses stay put while the list grows
    std::mutex handlerLock_;
    std::function<void()> dueHandler_;
};

// The program's table.
ScriptTable& ProgramScripts();

// The program's table by the names the rest of the program uses.
int AddTaskScript(SyncTask& task);
int ReplaceTaskScript(const ScheduleRecord& schedule, int index);
void CancelTaskScript(const SyncTask& task);
void EndTaskScriptRun(const SyncTask& task, int how);
void CheckScriptDue(int index);
int CheckAllScripts();
int ScheduledScriptCount();
