// Window and thread timers. A timer is not a queued message: a thread's loop makes a
// WM_TIMER from it when it is due and nothing else is waiting, so timers never pile up.
#include <algorithm>

#include "platform/core/detail/message_state.h"
#include "platform/core/errors.h"
#include "platform/core/window.h"

using plat::detail::Clock;
using plat::detail::State;
using plat::detail::Timer;

namespace {

constexpr UINT kMinimumInterval = 10;
constexpr UINT kMaximumInterval = 0x7FFFFFFF;

bool Matches(const Timer& timer, HWND filter, UINT filterMin, UINT filterMax) {
    if (!(filterMin == 0 && filterMax == 0) && (WM_TIMER < filterMin || WM_TIMER > filterMax)) return false;
    if (!filter) return true;
    if (filter == HWND_THREAD_MESSAGES) return timer.window == 0;
    return timer.window == IdFromHwnd(filter);
}

}  // namespace

namespace plat::detail {

std::optional<Clock::time_point> NextTimerDueLocked(DWORD threadId, HWND filter, UINT filterMin, UINT filterMax) {
    std::optional<Clock::time_point> next;
    for (const Timer& timer : State().timers) {
        if (timer.owner != threadId || !Matches(timer, filter, filterMin, filterMax)) continue;
        if (!next || timer.due < *next) next = timer.due;
    }
    return next;
}

bool TakeDueTimerLocked(DWORD threadId, HWND filter, UINT filterMin, UINT filterMax, bool remove, Clock::time_point now,
                        MSG* msg) {
    Timer* earliest = nullptr;
    for (Timer& timer : State().timers) {
        if (timer.owner != threadId || timer.due > now || !Matches(timer, filter, filterMin, filterMax)) continue;
        if (!earliest || timer.due < earliest->due) earliest = &timer;
    }
    if (!earliest) return false;
    *msg = MSG{HwndFromId(earliest->window), WM_TIMER, earliest->id, reinterpret_cast<LPARAM>(earliest->proc),
               GetTickCount()};
    if (remove) earliest->due = now + earliest->interval;
    return true;
}

void RemoveTimersLocked(std::uintptr_t window) {
    std::erase_if(State().timers, [window](const Timer& t) { return t.window == window; });
}

void RemoveThreadTimersLocked(DWORD threadId) {
    std::erase_if(State().timers, [threadId](const Timer& t) { return t.owner == threadId; });
}

}  // namespace plat::detail

namespace plat {

DWORD TimeToNextTimer() {
    const DWORD self = GetCurrentThreadId();
    std::lock_guard lock(State().mutex);
    const auto due = detail::NextTimerDueLocked(self);
    if (!due) return INFINITE;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*due - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<DWORD>(std::min<long long>(left, kMaximumInterval));
}

}  // namespace plat

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    const auto& self = plat::detail::CurrentThread();
    std::unique_lock lock(State().mutex);
    plat::detail::EnsureQueueLocked(*self);
    auto& timers = State().timers;
    std::uintptr_t window = 0;
    if (hwnd) {
        const auto it = State().windows.find(IdFromHwnd(hwnd));
        if (it == State().windows.end() || it->second.owner != self->id) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        window = IdFromHwnd(hwnd);
    }
    auto existing = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) {
        return t.id == id && t.window == window && (window != 0 || t.owner == self->id);
    });
    if (existing == timers.end()) {
        Timer timer;
        timer.owner = self->id;
        timer.window = window;
        timer.id = window != 0 ? id : State().nextThreadTimerId++;
        timers.push_back(timer);
        existing = timers.end() - 1;
    }
    existing->interval = std::chrono::milliseconds(std::clamp(elapseMs, kMinimumInterval, kMaximumInterval));
    existing->proc = proc;
    existing->due = Clock::now() + existing->interval;
    const UINT_PTR result = existing->id != 0 ? existing->id : 1;
    // A GUI loop must re-arm its own timer for the new due time.
    const plat::detail::WakeHook hook = plat::detail::NotifyLocked(*self);
    lock.unlock();
    plat::detail::CallHook(hook);
    return result;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    std::lock_guard lock(State().mutex);
    const std::uintptr_t window = IdFromHwnd(hwnd);
    // Thread timer ids are unique in the program, so any thread may kill one by its id.
    const auto removed =
        std::erase_if(State().timers, [&](const Timer& t) { return t.id == id && t.window == window; });
    return removed > 0 ? TRUE : FALSE;
}
