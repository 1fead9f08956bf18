#pragma once
// A small pool of worker threads fed from one first-in, first-out queue of jobs. The Sync
// half makes one queue of one thread per side to build that side's catalog while the
// run's worker carries on copying and deleting; with one thread the jobs of a queue run
// strictly in the order they were inserted.
//
// The queue owns its jobs: a job is deleted after its DoWork has run, or after its Abort
// when the queue is destroyed with the job still waiting.

#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "platform/core/sync.h"
#include "platform/core/thread.h"
#include "platform/core/win_types.h"

struct SyncRunBlock;

// One job of a work queue.
class WorkItemBase {
public:
    virtual ~WorkItemBase() = default;
    // Runs the job on a worker thread; `context` is that thread's context value.
    virtual void DoWork(void* context) = 0;
    // The job is dropped unrun: its queue was destroyed (or could not take it).
    virtual void Abort() {}
};

class CWorkQueue final {
public:
    // Starts `body` on `thread`; false when no thread could be made. Tests give one that
    // fails to reach the clean-up of a queue that cannot start.
    using ThreadStarter = std::function<bool(plat::WorkerThread& thread, std::function<void()> body)>;

    CWorkQueue();
    // `maxWaiting` bounds the jobs waiting to be taken: InsertWorkItem then waits for room
    // (0: no bound).
    explicit CWorkQueue(ThreadStarter startThread, std::size_t maxWaiting = 0);
    // Destroys the queue when that has not been done: the workers are joined first.
    ~CWorkQueue();
    CWorkQueue(const CWorkQueue&) = delete;
    CWorkQueue& operator=(const CWorkQueue&) = delete;

    // Starts `count` worker threads; thread i hands contexts[i] to every DoWork it runs
    // (null when `contexts` is empty, which it must be or hold `count` values). Count 0
    // starts none: jobs inserted then are only ever aborted. When anything cannot be made,
    // what was made is undone once (threads joined) and false returned: the queue then
    // takes no job, and Destroy has nothing left to do.
    bool Create(DWORD count, std::span<void* const> contexts = {});
    bool IsCreated() const { return created_; }

    // Appends a job. False when the queue is not running (not created, failed, or
    // destroyed): the job is then aborted and deleted at once, so nothing is ever queued
    // on a queue that does not exist. On a bounded queue that is full it first waits for
    // a worker to take a job, answering the calls sent to the calling thread's windows
    // meanwhile (a job may be sending to one); Destroy ends the wait.
    bool InsertWorkItem(std::unique_ptr<WorkItemBase> job);
    // The oldest job, taken off the queue; null when there is none.
    std::unique_ptr<WorkItemBase> RemoveWorkItem();

    // Stops the workers (a worker finishes the job it is running and takes no other),
    // waits for all of them, then aborts every job still queued, oldest first. Safe to
    // call again. Never call it from one of the queue's own jobs: it waits for them.
    void Destroy();

private:
    void WorkerLoop(void* context);

    bool WaitForRoom() const;

    ThreadStarter startThread_;
    std::size_t maxWaiting_;
    std::vector<plat::WorkerThread> threads_;
    plat::Event abort_;
    plat::Semaphore semaphore_;
    plat::Semaphore room_;        // one count per free place on a bounded queue
    plat::CriticalSection lock_;  // guards queue_
    std::deque<std::unique_ptr<WorkItemBase>> queue_;
    std::atomic<bool> created_{false};
};

// Destroys and deletes the run's two catalog queues (source, then target) on a helper
// thread, while the calling thread keeps serving its messages, so that windows of this
// thread still answer the catalog threads and the progress ticker meanwhile. Both queue
// pointers are null afterwards, and every queue thread has ended before this returns.
void DestroyWorkQueuePumping(SyncRunBlock& run);
