#include "platform/core/detail/message_state.h"

#include <atomic>

namespace plat::detail {

namespace {

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_threadId = 0;

// Holds the thread's context; a thread that ends without saying so (a plain std::thread)
// still drops its queue here.
struct ThreadSlot {
    std::shared_ptr<ThreadContext> context;
    ~ThreadSlot() { EndCurrentThread(); }
};
thread_local ThreadSlot t_slot;

void EndThreadLocked(ThreadContext& thread) {
    MessageState& state = State();
    thread.ended = true;
    const auto it = state.queues.find(thread.id);
    if (it != state.queues.end() && it->second.get() == &thread) state.queues.erase(it);
    for (const auto& call : thread.sent) AbandonLocked(*call);
    thread.sent.clear();
    thread.posted.clear();
    thread.quitPending = false;
    thread.wakeHook.reset();
    RemoveThreadTimersLocked(thread.id);
    RemoveThreadWindowsLocked(thread.id);
}

}  // namespace

MessageState& State() {
    static MessageState* const state = new MessageState;
    return *state;
}

DWORD NewThreadId() { return g_nextThreadId.fetch_add(1); }

const std::shared_ptr<ThreadContext>& CurrentThread() {
    if (!t_slot.context) t_slot.context = std::make_shared<ThreadContext>(GetCurrentThreadId());
    return t_slot.context;
}

std::shared_ptr<ThreadContext> MakeQueueFor(DWORD threadId) {
    auto context = std::make_shared<ThreadContext>(threadId);
    std::lock_guard lock(State().mutex);
    EnsureQueueLocked(*context);
    return context;
}

void AdoptThread(DWORD threadId, std::shared_ptr<ThreadContext> context) {
    t_threadId = threadId;
    t_slot.context = std::move(context);
}

void EndCurrentThread() {
    const std::shared_ptr<ThreadContext> context = t_slot.context;
    if (!context) return;
    std::lock_guard lock(State().mutex);
    if (!context->ended) EndThreadLocked(*context);
}

void DiscardQueue(const std::shared_ptr<ThreadContext>& context) {
    std::lock_guard lock(State().mutex);
    if (!context->ended) EndThreadLocked(*context);
}

void EnsureQueueLocked(ThreadContext& thread) {
    if (thread.hasQueue || thread.ended) return;
    thread.hasQueue = true;
    State().queues[thread.id] = thread.shared_from_this();
}

ThreadContext* FindQueueLocked(DWORD threadId) {
    MessageState& state = State();
    const auto it = state.queues.find(threadId);
    if (it == state.queues.end() || it->second->ended) return nullptr;
    return it->second.get();
}

WakeHook NotifyLocked(ThreadContext& thread) {
    thread.wake.notify_all();
    if (!thread.wakeHook || thread.wakePending) return nullptr;
    thread.wakePending = true;
    return thread.wakeHook;
}

WakeHook RearmLocked(ThreadContext& thread) {
    thread.wakePending = false;
    if (!HasQueuedInputLocked(thread)) return nullptr;
    return NotifyLocked(thread);
}

void AbandonLocked(SentCall& call) {
    if (call.done) return;
    call.done = true;
    call.finished.store(true, std::memory_order_release);
    call.answered = false;
    call.result = 0;
    if (call.sender) call.sender->wake.notify_all();
}

bool HasQueuedInputLocked(const ThreadContext& thread) {
    return !thread.sent.empty() || !thread.posted.empty() || thread.quitPending;
}

}  // namespace plat::detail

DWORD GetCurrentThreadId() {
    if (plat::detail::t_threadId == 0) plat::detail::t_threadId = plat::detail::NewThreadId();
    return plat::detail::t_threadId;
}
