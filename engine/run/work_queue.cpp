#include "engine/run/work_queue.h"

#include <mutex>
#include <utility>

#include "engine/run/message_pumping.h"
#include "engine/run/run_block.h"
#include "platform/core/window.h"

namespace {

constexpr LONG kMaxQueuedJobs = 0x7FFFFFFF;

bool StartWorkerThread(plat::WorkerThread& thread, std::function<void()> body) { return thread.Start(std::move(body)); }

void DropJob(std::unique_ptr<WorkItemBase> job) {
    if (job) job->Abort();
}

}  // namespace

CWorkQueue::CWorkQueue() : CWorkQueue(StartWorkerThread) {}

LONG RoomFor(std::size_t maxWaiting) {
    return maxWaiting == 0 || maxWaiting > static_cast<std::size_t>(kMaxQueuedJobs) ? kMaxQueuedJobs
                                                                                    : static_cast<LONG>(maxWaiting);
}

CWorkQueue::CWorkQueue(ThreadStarter startThread, std::size_t maxWaiting)
    : startThread_(std::move(startThread)),
      maxWaiting_(maxWaiting),
      abort_(true, false),
      semaphore_(0, kMaxQueuedJobs),
      room_(RoomFor(maxWaiting), RoomFor(maxWaiting)) {}

CWorkQueue::~CWorkQueue() { Destroy(); }

bool CWorkQueue::Create(DWORD count, std::span<void* const> contexts) {
    if (created_ || (!contexts.empty() && contexts.size() != count)) return false;
    // Fresh objects, so a queue destroyed once starts clean.
    semaphore_ = plat::Semaphore(0, kMaxQueuedJobs);
    abort_ = plat::Event(true, false);
    room_ = plat::Semaphore(RoomFor(maxWaiting_), RoomFor(maxWaiting_));
    if (!semaphore_ || !abort_ || !room_) return false;

    created_ = true;
    threads_.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        void* const context = contexts.empty() ? nullptr : contexts[i];
        plat::WorkerThread& thread = threads_.emplace_back();
        if (!startThread_(thread, [this, context] { WorkerLoop(context); })) {
            threads_.pop_back();
            Destroy();
            return false;
        }
    }
    return true;
}

bool CWorkQueue::WaitForRoom() const {
    if (maxWaiting_ == 0) return true;
    for (;;) {
        const DWORD wait = MsgWaitForMultipleObjects({abort_, room_}, FALSE, INFINITE, QS_SENDMESSAGE);
        if (wait == WAIT_OBJECT_0 + 1) return true;
        if (wait != WAIT_OBJECT_0 + 2) return false;  // destroyed, or the wait failed
        MSG msg;
        PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);  // serves the sent calls, leaves the posts
    }
}

bool CWorkQueue::InsertWorkItem(std::unique_ptr<WorkItemBase> job) {
    if (!job) return false;
    if (created_ && !WaitForRoom()) {
        DropJob(std::move(job));
        return false;
    }
    {
        std::lock_guard guard(lock_);
        if (!created_) {
            DropJob(std::move(job));
            return false;
        }
        queue_.push_back(std::move(job));
    }
    return semaphore_.Release(1) != FALSE;
}

std::unique_ptr<WorkItemBase> CWorkQueue::RemoveWorkItem() {
    std::lock_guard guard(lock_);
    if (queue_.empty()) return nullptr;
    std::unique_ptr<WorkItemBase> job = std::move(queue_.front());
    queue_.pop_front();
    return job;
}

void CWorkQueue::Destroy() {
    {
        std::lock_guard guard(lock_);
        if (!created_) return;
        created_ = false;  // no job is taken from now on
    }
    abort_.Set();
    for (plat::WorkerThread& thread : threads_) thread.Join();
    threads_.clear();
    while (std::unique_ptr<WorkItemBase> job = RemoveWorkItem()) DropJob(std::move(job));
}

void CWorkQueue::WorkerLoop(void* context) {
    // The abort event comes first, so once it is set no further job is taken, even with
    // jobs still queued.
    const plat::Event abort = abort_;
    const plat::Semaphore semaphore = semaphore_;
    const plat::Semaphore room = room_;
    for (;;) {
        const DWORD wait = WaitForMultipleObjects({abort, semaphore}, FALSE, INFINITE);
        if (wait != WAIT_OBJECT_0 + 1) return;
        std::unique_ptr<WorkItemBase> job = RemoveWorkItem();
        if (maxWaiting_ != 0) room.Release(1);
        if (job) job->DoWork(context);
    }
}

void DestroyWorkQueuePumping(SyncRunBlock& run) {
    RunPumpingMessages([&run] {
        for (CWorkQueue** queue : {&run.sourceSide.catalogQueue, &run.targetSide.catalogQueue}) {
            if (*queue == nullptr) continue;
            std::unique_ptr<CWorkQueue> owned(*queue);
            owned->Destroy();
            owned.reset();
            *queue = nullptr;
        }
    });
}
