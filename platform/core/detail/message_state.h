#pragma once
// Shared state of the message layer and the sync objects. One lock guards the window
// table, every thread's queue, the timers and every wait, so a thread that waits for
// objects and messages together cannot miss a wake-up. Window procedures, wake hooks and
// carried calls always run with the lock released.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/core/window.h"

namespace plat::detail {

using Clock = std::chrono::steady_clock;
using WakeHook = std::shared_ptr<const std::function<void()>>;

struct ThreadContext;

// A call queued to another thread by SendMessage (a window message) or CallOnThread
// (a function). The sender waits until `done`.
struct SentCall {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::function<LRESULT()> function;      // set for a call carried to a thread
    std::shared_ptr<ThreadContext> sender;  // kept alive so a late reply can still wake it
    LRESULT result = 0;
    bool taken = false;     // the target has begun to serve it
    bool done = false;      // answered, abandoned or given up by the sender
    bool answered = false;  // the procedure or function ran
    // `done`, readable without the lock by a sender that looks before it sleeps.
    std::atomic<bool> finished{false};
};

// What the layer knows about one thread. Only the thread itself waits on `wake`.
struct ThreadContext : std::enable_shared_from_this<ThreadContext> {
    explicit ThreadContext(DWORD threadId) : id(threadId) {}

    const DWORD id;
    std::condition_variable wake;
    bool hasQueue = false;
    bool ended = false;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentCall>> sent;
    bool quitPending = false;
    int quitCode = 0;
    WakeHook wakeHook;
    bool wakePending = false;  // the hook was called and the queue not looked at since
    // Counts the calls ever sent to the thread; read without the lock by the thread itself
    // while it looks out for the next one.
    std::atomic<std::uint64_t> sentCount{0};
};

struct WindowEntry {
    WindowProcedure* procedure = nullptr;
    DWORD owner = 0;
    std::uintptr_t parent = 0;
    std::vector<std::uintptr_t> children;  // in creation (or adoption) order
    bool destroying = false;
};

struct Timer {
    DWORD owner = 0;
    std::uintptr_t window = 0;  // 0 for a thread timer
    UINT_PTR id = 0;
    std::chrono::milliseconds interval{0};
    TIMERPROC proc = nullptr;
    Clock::time_point due;
};

struct MessageState {
    std::mutex mutex;
    std::unordered_map<DWORD, std::shared_ptr<ThreadContext>> queues;  // threads with a queue
    std::unordered_map<std::uintptr_t, WindowEntry> windows;
    std::uintptr_t nextWindowId = 0x10010;  // never reused
    std::vector<Timer> timers;
    UINT_PTR nextThreadTimerId = 0x7F00;  // program-wide, never reused
};

// The one instance; it is never destroyed, so threads ending at exit can still use it.
MessageState& State();

// The calling thread's context, made on first use (without a queue).
const std::shared_ptr<ThreadContext>& CurrentThread();

// Thread creation: the creator takes an id and makes the queue before the thread runs,
// so a message posted right after creation is never lost; the new thread adopts both.
DWORD NewThreadId();
std::shared_ptr<ThreadContext> MakeQueueFor(DWORD threadId);
void AdoptThread(DWORD threadId, std::shared_ptr<ThreadContext> context);
// Drops the calling thread's queue, windows and timers; calls waiting on it return 0.
// Safe to call more than once.
void EndCurrentThread();
// Drops a queue made by MakeQueueFor whose thread never started.
void DiscardQueue(const std::shared_ptr<ThreadContext>& context);

// ---- Everything below requires the lock to be held. ----

void EnsureQueueLocked(ThreadContext& thread);
// Finds the live queue of a thread, or null.
ThreadContext* FindQueueLocked(DWORD threadId);
// Wakes a thread after something was queued for it; returns the hook to call once the
// lock is released (null when none is due).
WakeHook NotifyLocked(ThreadContext& thread);
// After the thread looked at its queue: returns the hook to call when input is still
// waiting, so the GUI loop comes back for it.
WakeHook RearmLocked(ThreadContext& thread);
// Ends a sent call without running it; the sender's wait returns 0.
void AbandonLocked(SentCall& call);
// Sent calls, posts or a quit waiting (timers not counted).
bool HasQueuedInputLocked(const ThreadContext& thread);

// Timers.
// When the thread's next timer that matches the filter is due, if it has one.
std::optional<Clock::time_point> NextTimerDueLocked(DWORD threadId, HWND filter = nullptr, UINT filterMin = 0,
                                                    UINT filterMax = 0);
// Takes the earliest due timer of the thread that matches the filter as a WM_TIMER
// message; with `remove` the timer starts its next interval.
bool TakeDueTimerLocked(DWORD threadId, HWND filter, UINT filterMin, UINT filterMax, bool remove, Clock::time_point now,
                        MSG* msg);
void RemoveTimersLocked(std::uintptr_t window);
void RemoveThreadTimersLocked(DWORD threadId);

// Message windows.
void RemoveThreadWindowsLocked(DWORD threadId);

// Calls a wake hook (returned by NotifyLocked/RearmLocked) with the lock released.
inline void CallHook(const WakeHook& hook) {
    if (hook && *hook) (*hook)();
}
}  // namespace plat::detail
