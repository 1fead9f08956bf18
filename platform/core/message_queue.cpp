// Thread message queues: sending, posting, taking and dispatching messages.
#include <optional>
#include <thread>

#include "platform/core/detail/message_state.h"
#include "platform/core/errors.h"
#include "platform/core/window.h"

using plat::detail::Clock;
using plat::detail::SentCall;
using plat::detail::State;
using plat::detail::ThreadContext;

namespace {

using Lock = std::unique_lock<std::mutex>;

// A sent call is often answered within microseconds (a window that only stores what it is
// told), and a thread put to sleep costs two wake-ups of tens of microseconds each on a
// busy machine: so a sender looks for the answer for this long before it sleeps, and a
// thread that has just served a call looks for the next one as long before it goes back
// to its loop.
constexpr auto kLookBeforeSleep = std::chrono::microseconds(50);

inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

// Looks at `ready` until it is true or `span` has passed; true when it became true.
template <typename Ready>
bool LookFor(Ready ready, std::chrono::microseconds span) {
    const Clock::time_point end = Clock::now() + span;
    for (;;) {
        for (int i = 0; i < 64; ++i) {
            if (ready()) return true;
            CpuRelax();
        }
        if (Clock::now() >= end) return ready();
    }
}

bool InFilter(UINT message, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0) return true;
    return message >= filterMin && message <= filterMax;
}

bool MatchesWindow(HWND msgWindow, HWND filter) {
    if (!filter) return true;
    if (filter == HWND_THREAD_MESSAGES) return msgWindow == nullptr;
    return msgWindow == filter;
}

// Runs one sent call on this thread and answers it, also when the procedure throws.
void Serve(const std::shared_ptr<SentCall>& call) {
    struct Reply {
        const std::shared_ptr<SentCall>& call;
        LRESULT result = 0;
        bool answered = false;
        ~Reply() {
            {
                std::lock_guard lock(State().mutex);
                if (call->done) return;  // the sender gave up waiting
                call->result = result;
                call->answered = answered;
                call->done = true;
                call->sender->wake.notify_all();
            }
            // Told once the lock is free, so a sender looking for it goes on without
            // waiting for the lock.
            call->finished.store(true, std::memory_order_release);
        }
    } reply{call};

    if (call->function) {
        reply.result = call->function();
        reply.answered = true;
        return;
    }
    plat::WindowProcedure* procedure = nullptr;
    {
        std::lock_guard lock(State().mutex);
        const auto it = State().windows.find(IdFromHwnd(call->hwnd));
        if (it != State().windows.end() && it->second.owner == GetCurrentThreadId()) procedure = it->second.procedure;
    }
    if (!procedure) return;
    reply.result = procedure->WindowProc(call->hwnd, call->message, call->wParam, call->lParam);
    reply.answered = true;
}

// Serves every call sent to this thread; the lock is released around each call.
void ServeSentCallsLocked(ThreadContext& self, Lock& lock) {
    while (self.hasQueue && !self.sent.empty()) {
        std::shared_ptr<SentCall> call = std::move(self.sent.front());
        self.sent.pop_front();
        call->taken = true;
        lock.unlock();
        Serve(call);
        lock.lock();
    }
}

// Queues `call` to `target` and waits for its answer, serving calls sent to this thread
// meanwhile. Returns whether the call ran; false when it was abandoned or timed out.
bool SendAndWait(ThreadContext& target, const std::shared_ptr<SentCall>& call,
                 std::optional<Clock::time_point> deadline, Lock& lock) {
    ThreadContext& self = *call->sender;
    target.sent.push_back(call);
    const plat::detail::WakeHook hook = plat::detail::NotifyLocked(target);
    lock.unlock();
    // Counted once the lock is free, so a target looking out for it takes it at once.
    target.sentCount.fetch_add(1, std::memory_order_release);
    plat::detail::CallHook(hook);
    // Everything the answer holds was written before `finished`.
    if (LookFor([&call] { return call->finished.load(std::memory_order_acquire); }, kLookBeforeSleep)) {
        return call->answered;
    }
    lock.lock();
    while (!call->done) {
        if (self.hasQueue && !self.sent.empty()) {
            ServeSentCallsLocked(self, lock);
            continue;
        }
        if (deadline && Clock::now() >= *deadline) {
            if (!call->taken) std::erase(target.sent, call);
            call->done = true;
            call->finished.store(true, std::memory_order_release);
            SetLastError(ERROR_TIMEOUT);
            return false;
        }
        if (deadline) {
            self.wake.wait_until(lock, *deadline);
        } else {
            self.wake.wait(lock);
        }
    }
    return call->answered;
}

// SendMessage and SendMessageTimeout. Returns whether the procedure ran.
bool Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, std::optional<Clock::time_point> deadline,
          LRESULT* result) {
    const std::shared_ptr<ThreadContext>& self = plat::detail::CurrentThread();
    Lock lock(State().mutex);
    const auto it = State().windows.find(IdFromHwnd(hwnd));
    if (it == State().windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (it->second.owner == self->id) {
        plat::WindowProcedure* const procedure = it->second.procedure;
        lock.unlock();
        *result = procedure->WindowProc(hwnd, message, wParam, lParam);
        return true;
    }
    ThreadContext* target = plat::detail::FindQueueLocked(it->second.owner);
    if (!target) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    auto call = std::make_shared<SentCall>();
    call->hwnd = hwnd;
    call->message = message;
    call->wParam = wParam;
    call->lParam = lParam;
    call->sender = self;
    // Keep the target's context alive across the wait even if its thread ends.
    const std::shared_ptr<ThreadContext> keep = target->shared_from_this();
    if (!SendAndWait(*target, call, deadline, lock)) return false;
    *result = call->result;
    return true;
}

BOOL PostTo(ThreadContext* target, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Lock& lock) {
    if (!target) return FALSE;
    target->posted.push_back(MSG{hwnd, message, wParam, lParam, GetTickCount()});
    const plat::detail::WakeHook hook = plat::detail::NotifyLocked(*target);
    lock.unlock();
    plat::detail::CallHook(hook);
    return TRUE;
}

// Takes the next message that matches the filter: a post, then WM_QUIT, then a timer.
bool TakeMessageLocked(ThreadContext& self, HWND hwnd, UINT filterMin, UINT filterMax, bool remove, MSG* msg) {
    for (auto it = self.posted.begin(); it != self.posted.end(); ++it) {
        const bool isQuit = it->message == WM_QUIT;
        if (!isQuit && (!MatchesWindow(it->hwnd, hwnd) || !InFilter(it->message, filterMin, filterMax))) continue;
        *msg = *it;
        if (remove) self.posted.erase(it);
        return true;
    }
    if (self.quitPending) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(self.quitCode), 0, GetTickCount()};
        if (remove) self.quitPending = false;
        return true;
    }
    return plat::detail::TakeDueTimerLocked(self.id, hwnd, filterMin, filterMax, remove, Clock::now(), msg);
}

bool IsBadFilterLocked(HWND hwnd) {
    if (!hwnd || hwnd == HWND_THREAD_MESSAGES) return false;
    const auto it = State().windows.find(IdFromHwnd(hwnd));
    return it == State().windows.end() || it->second.owner != GetCurrentThreadId();
}

void FinishLook(ThreadContext& self, Lock& lock) {
    const plat::detail::WakeHook hook = plat::detail::RearmLocked(self);
    lock.unlock();
    plat::detail::CallHook(hook);
}

}  // namespace

namespace plat {

void EnsureMessageQueue() {
    const auto& self = detail::CurrentThread();
    std::lock_guard lock(State().mutex);
    detail::EnsureQueueLocked(*self);
}

void SetQueueWakeHook(DWORD threadId, std::function<void()> hook) {
    Lock lock(State().mutex);
    ThreadContext* thread = detail::FindQueueLocked(threadId);
    if (!thread) return;
    if (hook) {
        thread->wakeHook = std::make_shared<const std::function<void()>>(std::move(hook));
    } else {
        thread->wakeHook.reset();
    }
    // A new hook hears at once of what is already waiting.
    FinishLook(*thread, lock);
}

bool ProcessPendingMessages(int* quitCode) {
    const std::shared_ptr<ThreadContext>& self = detail::CurrentThread();
    Lock lock(State().mutex);
    detail::EnsureQueueLocked(*self);
    self->wakePending = false;
    // Only the posts waiting now: a handler that posts to its own window again must not
    // keep the caller (the GUI loop) here for ever.
    std::size_t budget = self->posted.size();
    for (;;) {
        ServeSentCallsLocked(*self, lock);
        if (budget == 0 || self->posted.empty()) break;
        const MSG msg = self->posted.front();
        self->posted.pop_front();
        --budget;
        if (msg.message == WM_QUIT) {
            if (quitCode) *quitCode = static_cast<int>(msg.wParam);
            FinishLook(*self, lock);
            return false;
        }
        lock.unlock();
        DispatchMessage(&msg);
        lock.lock();
    }
    if (self->quitPending && self->posted.empty()) {
        self->quitPending = false;
        if (quitCode) *quitCode = self->quitCode;
        FinishLook(*self, lock);
        return false;
    }
    // Each timer due now fires once. They are taken one at a time, so a timer that an
    // earlier handler killed (or set anew) is not fired from a stale list.
    const Clock::time_point now = Clock::now();
    MSG timer;
    while (detail::TakeDueTimerLocked(self->id, nullptr, 0, 0, true, now, &timer)) {
        lock.unlock();
        DispatchMessage(&timer);
        lock.lock();
    }
    FinishLook(*self, lock);
    return true;
}

bool ServeSentCallsAsTheyCome(std::chrono::microseconds limit) {
    const std::shared_ptr<ThreadContext>& self = detail::CurrentThread();
    Lock lock(State().mutex);
    if (!self->hasQueue) return false;
    // Senders need not wake the loop while this thread looks out for them itself.
    self->wakePending = true;
    const Clock::time_point end = Clock::now() + limit;
    bool served = false;
    for (;;) {
        if (!self->sent.empty()) {
            served = true;
            ServeSentCallsLocked(*self, lock);
        }
        if (Clock::now() >= end) break;
        const std::uint64_t seen = self->sentCount.load(std::memory_order_acquire);
        lock.unlock();
        const bool more =
            LookFor([&] { return self->sentCount.load(std::memory_order_acquire) != seen; }, kLookBeforeSleep);
        lock.lock();
        if (!more) break;
    }
    FinishLook(*self, lock);
    return served;
}

std::uint64_t SentCallCount() { return detail::CurrentThread()->sentCount.load(std::memory_order_acquire); }

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessage(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got < 0) return -1;
        DispatchMessage(&msg);
    }
}

LRESULT CallOnThread(DWORD threadId, std::function<LRESULT()> call, bool* ran) {
    if (ran) *ran = false;
    const std::shared_ptr<ThreadContext>& self = detail::CurrentThread();
    if (threadId == self->id) {
        if (ran) *ran = true;
        return call();
    }
    Lock lock(State().mutex);
    ThreadContext* target = detail::FindQueueLocked(threadId);
    if (!target) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return 0;
    }
    auto sent = std::make_shared<SentCall>();
    sent->function = std::move(call);
    sent->sender = self;
    const std::shared_ptr<ThreadContext> keep = target->shared_from_this();
    const bool answered = SendAndWait(*target, sent, std::nullopt, lock);
    if (ran) *ran = answered;
    return answered ? sent->result : 0;
}

}  // namespace plat

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    return Send(hwnd, message, wParam, lParam, std::nullopt, &result) ? result : 0;
}

BOOL SendMessageTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs, LRESULT* result) {
    LRESULT value = 0;
    if (!Send(hwnd, message, wParam, lParam, Clock::now() + std::chrono::milliseconds(timeoutMs), &value)) {
        return FALSE;
    }
    if (result) *result = value;
    return TRUE;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!hwnd) return PostThreadMessage(GetCurrentThreadId(), message, wParam, lParam);
    Lock lock(State().mutex);
    const auto it = State().windows.find(IdFromHwnd(hwnd));
    if (it == State().windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return PostTo(plat::detail::FindQueueLocked(it->second.owner), hwnd, message, wParam, lParam, lock);
}

BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    Lock lock(State().mutex);
    ThreadContext* target = plat::detail::FindQueueLocked(threadId);
    if (!target) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return PostTo(target, nullptr, message, wParam, lParam, lock);
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    const std::shared_ptr<ThreadContext>& self = plat::detail::CurrentThread();
    Lock lock(State().mutex);
    plat::detail::EnsureQueueLocked(*self);
    if (IsBadFilterLocked(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    self->wakePending = false;
    for (;;) {
        ServeSentCallsLocked(*self, lock);
        if (TakeMessageLocked(*self, hwnd, filterMin, filterMax, true, msg)) break;
        const auto due = plat::detail::NextTimerDueLocked(self->id, hwnd, filterMin, filterMax);
        if (due) {
            self->wake.wait_until(lock, *due);
        } else {
            self->wake.wait(lock);
        }
    }
    FinishLook(*self, lock);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    const std::shared_ptr<ThreadContext>& self = plat::detail::CurrentThread();
    Lock lock(State().mutex);
    plat::detail::EnsureQueueLocked(*self);
    if (IsBadFilterLocked(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    self->wakePending = false;
    ServeSentCallsLocked(*self, lock);
    const bool got = TakeMessageLocked(*self, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0, msg);
    FinishLook(*self, lock);
    return got ? TRUE : FALSE;
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        const auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    plat::WindowProcedure* procedure = nullptr;
    {
        std::lock_guard lock(State().mutex);
        const auto it = State().windows.find(IdFromHwnd(msg->hwnd));
        if (it == State().windows.end() || it->second.owner != GetCurrentThreadId()) return 0;
        procedure = it->second.procedure;
    }
    return procedure->WindowProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) {
    const std::shared_ptr<ThreadContext>& self = plat::detail::CurrentThread();
    Lock lock(State().mutex);
    plat::detail::EnsureQueueLocked(*self);
    self->quitPending = true;
    self->quitCode = exitCode;
    const plat::detail::WakeHook hook = plat::detail::NotifyLocked(*self);
    lock.unlock();
    plat::detail::CallHook(hook);
}
