#include "platform/core/sync.h"

#include <algorithm>
#include <optional>

#include "platform/core/detail/message_state.h"
#include "platform/core/errors.h"

namespace plat {

namespace {

using detail::Clock;

class EventObject final : public KernelObject {
public:
    EventObject(bool manualReset, bool set) : manualReset_(manualReset), set_(set) {}

    bool IsSignalledFor(DWORD) const override { return set_; }
    bool AcquireFor(DWORD) override {
        if (!manualReset_) set_ = false;
        return false;
    }
    void Set() {
        set_ = true;
        WakeWaiters();
    }
    void Reset() { set_ = false; }

private:
    const bool manualReset_;
    bool set_;
};

class SemaphoreObject final : public KernelObject {
public:
    SemaphoreObject(LONG count, LONG maximum) : count_(count), maximum_(maximum) {}

    bool IsSignalledFor(DWORD) const override { return count_ > 0; }
    bool AcquireFor(DWORD) override {
        --count_;
        return false;
    }
    bool Release(LONG count, LONG* previous) {
        if (count <= 0 || count > maximum_ - count_) return false;
        if (previous) *previous = count_;
        count_ += count;
        WakeWaiters();
        return true;
    }

private:
    LONG count_;
    const LONG maximum_;
};

// Input of the kinds in `mask` waiting for the thread.
bool HasInputLocked(const detail::ThreadContext& thread, DWORD mask, Clock::time_point now) {
    if ((mask & QS_SENDMESSAGE) && !thread.sent.empty()) return true;
    if ((mask & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE)) && (!thread.posted.empty() || thread.quitPending)) return true;
    if (mask & QS_TIMER) {
        const auto due = detail::NextTimerDueLocked(thread.id);
        if (due && *due <= now) return true;
    }
    return false;
}

DWORD Fail(DWORD error) {
    SetLastError(error);
    return WAIT_FAILED;
}

}  // namespace

// Puts the waiting thread on the lists of its objects for the length of one wait.
class WaitRegistration {
public:
    WaitRegistration(const std::vector<KernelObject*>& objects, detail::ThreadContext* thread)
        : objects_(objects), thread_(thread) {
        for (KernelObject* object : objects_) object->waiters_.push_back(thread_);
    }
    ~WaitRegistration() {
        for (KernelObject* object : objects_) {
            auto& waiters = object->waiters_;
            const auto it = std::find(waiters.begin(), waiters.end(), thread_);
            if (it != waiters.end()) waiters.erase(it);
        }
    }
    WaitRegistration(const WaitRegistration&) = delete;
    WaitRegistration& operator=(const WaitRegistration&) = delete;

private:
    const std::vector<KernelObject*>& objects_;
    detail::ThreadContext* const thread_;
};

std::unique_lock<std::mutex> KernelObject::LockWaits() { return std::unique_lock(detail::State().mutex); }

void KernelObject::WakeWaiters() {
    for (detail::ThreadContext* waiter : waiters_) waiter->wake.notify_all();
}

Event::Event(bool manualReset, bool initiallySet)
    : WaitHandle(std::make_shared<EventObject>(manualReset, initiallySet)) {}

BOOL Event::Set() const {
    if (!object_) return FALSE;
    const auto lock = KernelObject::LockWaits();
    static_cast<EventObject&>(*object_).Set();
    return TRUE;
}

BOOL Event::Reset() const {
    if (!object_) return FALSE;
    const auto lock = KernelObject::LockWaits();
    static_cast<EventObject&>(*object_).Reset();
    return TRUE;
}

Semaphore::Semaphore(LONG initialCount, LONG maximumCount) {
    if (maximumCount < 1 || initialCount < 0 || initialCount > maximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return;
    }
    object_ = std::make_shared<SemaphoreObject>(initialCount, maximumCount);
}

BOOL Semaphore::Release(LONG count, LONG* previousCount) const {
    if (!object_) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const auto lock = KernelObject::LockWaits();
    if (!static_cast<SemaphoreObject&>(*object_).Release(count, previousCount)) {
        SetLastError(ERROR_TOO_MANY_POSTS);
        return FALSE;
    }
    return TRUE;
}

namespace detail {

// The one wait behind every wait function. `wakeMask` 0: objects only.
DWORD WaitForObjects(std::span<const WaitHandle> handles, bool waitAll, DWORD timeoutMs, DWORD wakeMask) {
    if (handles.size() > MAXIMUM_WAIT_OBJECTS || (handles.empty() && wakeMask == 0)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    std::vector<KernelObject*> objects;
    objects.reserve(handles.size());
    for (const WaitHandle& handle : handles) {
        if (!handle) return Fail(ERROR_INVALID_HANDLE);
        if (waitAll && std::find(objects.begin(), objects.end(), handle.Object()) != objects.end()) {
            return Fail(ERROR_INVALID_PARAMETER);
        }
        objects.push_back(handle.Object());
    }
    const std::shared_ptr<ThreadContext>& self = CurrentThread();
    const DWORD me = self->id;
    std::optional<Clock::time_point> deadline;
    if (timeoutMs != INFINITE) deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);

    auto lock = KernelObject::LockWaits();
    if (wakeMask != 0) EnsureQueueLocked(*self);
    const WaitRegistration registration(objects, self.get());
    for (;;) {
        const Clock::time_point now = Clock::now();
        const bool input = wakeMask != 0 && HasInputLocked(*self, wakeMask, now);
        if (waitAll) {
            const bool all = std::all_of(objects.begin(), objects.end(),
                                         [me](const KernelObject* o) { return o->IsSignalledFor(me); });
            if (all && (wakeMask == 0 || input)) {
                std::optional<DWORD> abandoned;
                for (std::size_t i = 0; i < objects.size(); ++i) {
                    if (objects[i]->AcquireFor(me) && !abandoned) abandoned = static_cast<DWORD>(i);
                }
                return abandoned ? WAIT_ABANDONED_0 + *abandoned : WAIT_OBJECT_0;
            }
        } else {
            for (std::size_t i = 0; i < objects.size(); ++i) {
                if (!objects[i]->IsSignalledFor(me)) continue;
                const bool abandoned = objects[i]->AcquireFor(me);
                return (abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + static_cast<DWORD>(i);
            }
            if (input) return WAIT_OBJECT_0 + static_cast<DWORD>(objects.size());
        }
        if (deadline && now >= *deadline) return WAIT_TIMEOUT;

        std::optional<Clock::time_point> until = deadline;
        if (wakeMask & QS_TIMER) {
            const auto due = NextTimerDueLocked(me);
            if (due && (!until || *due < *until)) until = due;
        }
        if (until) {
            self->wake.wait_until(lock, *until);
        } else {
            self->wake.wait(lock);
        }
    }
}

}  // namespace detail

}  // namespace plat

DWORD WaitForSingleObject(const plat::WaitHandle& handle, DWORD timeoutMs) {
    return plat::detail::WaitForObjects(std::span(&handle, 1), false, timeoutMs, 0);
}

DWORD WaitForMultipleObjects(std::span<const plat::WaitHandle> handles, BOOL waitAll, DWORD timeoutMs) {
    return plat::detail::WaitForObjects(handles, waitAll != FALSE, timeoutMs, 0);
}

DWORD WaitForMultipleObjects(std::initializer_list<plat::WaitHandle> handles, BOOL waitAll, DWORD timeoutMs) {
    return plat::detail::WaitForObjects(std::span(handles.begin(), handles.size()), waitAll != FALSE, timeoutMs, 0);
}

DWORD MsgWaitForMultipleObjects(std::span<const plat::WaitHandle> handles, BOOL waitAll, DWORD timeoutMs,
                                DWORD wakeMask) {
    return plat::detail::WaitForObjects(handles, waitAll != FALSE, timeoutMs, wakeMask);
}

DWORD MsgWaitForMultipleObjects(std::initializer_list<plat::WaitHandle> handles, BOOL waitAll, DWORD timeoutMs,
                                DWORD wakeMask) {
    return plat::detail::WaitForObjects(std::span(handles.begin(), handles.size()), waitAll != FALSE, timeoutMs,
                                        wakeMask);
}
