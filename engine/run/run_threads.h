#pragma once
// The threads of a run. Each started task gets its own user-interface thread, a
// CAddWizardThread, which takes two thread messages: WM_SYNC_START_RUN starts the run
// (start gate, run block, folder locks, history record, worker thread) and
// WM_SYNC_RUN_ENDED finishes it (history record, last-run fields of the task store,
// summary line, schedule, locks released, trees handed to the task) and ends the thread.
// The worker thread runs CheckSyncThreadProc (run_driver.h).
//
// The program-wide running-task count goes up when a run thread is started and down once
// when it ends, on every path, so closing the program can wait for running tasks.

#include <functional>
#include <memory>

#include "engine/run/win_timer_thread.h"
#include "engine/run/work_queue.h"
#include "platform/core/sync.h"
#include "platform/core/thread.h"
#include "platform/core/win_types.h"

struct SyncRunBlock;
struct SyncTask;

// The start gate: one program-wide auto-reset event, open from the start. A run's start
// waits for it and opens it again once its worker has started or the start was refused,
// so starts never overlap.
const plat::Event& RunStartGate();

// The program's running-task count (kept while the start-up state says runs count
// themselves).
void IncrementRunningCount();
void DecrementRunningCount();

// Called on a run's own thread when a refused automatic start (program start, device)
// needs the task list's automatic-start timer armed again. The user interface sets it
// and carries the arming to the task list's thread; none: nothing is armed.
void SetAutoStartTimerHandler(std::function<void()> handler);

// Starts a run thread for `task` (counted in the running tasks) and posts it
// WM_SYNC_START_RUN with `mode`. Returns the thread's handle, signalled when the thread
// has ended; empty, with nothing counted, when no thread could be made.
plat::ThreadHandle StartRunThread(SyncTask& task, LPARAM mode, CWorkQueue::ThreadStarter startWorker = {});

class CAddWizardThread final : public CWinTimerThread {
public:
    // Waits for a worker that is still running before the run block goes.
    ~CAddWizardThread() override;

    // WM_SYNC_START_RUN: w the task, l the mode (0 Sync, 1 Check, any other value both).
    void OnStartRun(WPARAM task, LPARAM mode);
    // WM_SYNC_RUN_ENDED: w 1 when the folder lock refused the run, else 0.
    void OnRunFinished(WPARAM refused, LPARAM);

private:
    // Made only by StartRunThread, which counts it in the running tasks. `startWorker`
    // starts the worker thread; empty: the system's threads.
    friend plat::ThreadHandle StartRunThread(SyncTask& task, LPARAM mode, CWorkQueue::ThreadStarter startWorker);
    explicit CAddWizardThread(CWorkQueue::ThreadStarter startWorker);

    int ExitInstance() override;
    // Gives back this thread's share of the running-task count, once.
    void LeaveRunningCount();

    // Declared before the worker, so the worker has been joined when the block goes.
    std::unique_ptr<SyncRunBlock> run_;
    plat::WorkerThread worker_;
    CWorkQueue::ThreadStarter startWorker_;
    bool counted_ = true;  // the starter counted this thread in
};
