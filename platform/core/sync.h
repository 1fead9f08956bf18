#pragma once
// Events, semaphores, critical sections and the waits on them, with the platform's
// semantics: auto-reset events release one waiter per Set, semaphores count up to a
// maximum, critical sections are re-entrant for the thread that holds them, and a wait
// for several objects either takes the first one signalled (lowest index first) or, with
// waitAll, takes all of them at once or none.
//
// A handle (Event, Semaphore, ThreadHandle...) is a cheap shared reference to its object:
// copies refer to the same object, which lives while any copy does, so a handle given to
// another thread can never dangle.

#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/core/win_types.h"

inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_ABANDONED_0 = 0x80;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

// What wakes MsgWaitForMultipleObjects besides its objects.
inline constexpr DWORD QS_POSTMESSAGE = 0x0008;
inline constexpr DWORD QS_TIMER = 0x0010;
inline constexpr DWORD QS_SENDMESSAGE = 0x0040;
inline constexpr DWORD QS_ALLPOSTMESSAGE = 0x0100;
inline constexpr DWORD QS_ALLEVENTS = 0x04BF;
inline constexpr DWORD QS_ALLINPUT = 0x04FF;

inline constexpr DWORD ERROR_TOO_MANY_POSTS = 298;

namespace plat {

namespace detail {
struct ThreadContext;
}

// The state behind a handle. New kinds of waitable objects (named mutexes, for instance)
// derive from it; their state is read and changed only with the wait lock held.
class KernelObject {
public:
    KernelObject() = default;
    virtual ~KernelObject() = default;
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;

    // Whether a wait by `threadId` would be satisfied now. Called with the wait lock held.
    virtual bool IsSignalledFor(DWORD threadId) const = 0;
    // A wait by `threadId` was satisfied: take what it takes (an auto-reset event resets,
    // a semaphore counts down, a mutex becomes owned). Returns true when the object was
    // abandoned (the wait then reports WAIT_ABANDONED_0 + n). Called with the wait lock held.
    virtual bool AcquireFor(DWORD threadId) = 0;

    // The one lock that guards the state of every object and every wait.
    static std::unique_lock<std::mutex> LockWaits();

protected:
    // Wakes the threads waiting on this object so they look at it again. Call with the
    // wait lock held whenever the object may have become signalled.
    void WakeWaiters();

private:
    friend class WaitRegistration;
    std::vector<detail::ThreadContext*> waiters_;
};

// A shared reference to a waitable object; empty when default-made or when the object
// could not be made (a wait on it fails).
class WaitHandle {
public:
    WaitHandle() = default;
    explicit WaitHandle(std::shared_ptr<KernelObject> object) : object_(std::move(object)) {}

    explicit operator bool() const { return object_ != nullptr; }
    KernelObject* Object() const { return object_.get(); }
    bool operator==(const WaitHandle& other) const { return object_ == other.object_; }

protected:
    std::shared_ptr<KernelObject> object_;
};

class Event : public WaitHandle {
public:
    // Arguments in the platform's order: manual reset, then the initial state.
    explicit Event(bool manualReset = false, bool initiallySet = false);
    BOOL Set() const;
    BOOL Reset() const;
};

class Semaphore : public WaitHandle {
public:
    // An initial count above the maximum, a negative count or a maximum below 1 make an
    // empty handle, as the platform refuses to create such a semaphore.
    Semaphore(LONG initialCount, LONG maximumCount);
    // Fails (FALSE, ERROR_TOO_MANY_POSTS) when the count would pass the maximum.
    BOOL Release(LONG count = 1, LONG* previousCount = nullptr) const;
};

// Re-entrant for the thread that holds it. Not waitable (only the event, semaphore and
// mutex are). Also a
// standard lockable, so std::lock_guard<plat::CriticalSection> works.
class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() { mutex_.lock(); }
    bool TryEnter() { return mutex_.try_lock(); }
    void Leave() { mutex_.unlock(); }

    void lock() { Enter(); }
    bool try_lock() { return TryEnter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mutex_;
};

}  // namespace plat

DWORD WaitForSingleObject(const plat::WaitHandle& handle, DWORD timeoutMs);
// WAIT_OBJECT_0 + index of the object taken (the lowest signalled one), WAIT_OBJECT_0
// when waitAll took them all, WAIT_TIMEOUT, or WAIT_FAILED (empty handle, no handles, more
// than MAXIMUM_WAIT_OBJECTS, or one object twice with waitAll).
DWORD WaitForMultipleObjects(std::span<const plat::WaitHandle> handles, BOOL waitAll, DWORD timeoutMs);
DWORD WaitForMultipleObjects(std::initializer_list<plat::WaitHandle> handles, BOOL waitAll, DWORD timeoutMs);
// Also returns WAIT_OBJECT_0 + handles.size() when the calling thread has input of the
// kinds in `wakeMask` waiting (sent calls, posts or WM_QUIT, due timers). Waiting input
// counts, not only new input, so a loop that peeks everything and then waits never
// sleeps on a message it left. With waitAll, all objects and input are needed.
DWORD MsgWaitForMultipleObjects(std::span<const plat::WaitHandle> handles, BOOL waitAll, DWORD timeoutMs,
                                DWORD wakeMask);
DWORD MsgWaitForMultipleObjects(std::initializer_list<plat::WaitHandle> handles, BOOL waitAll, DWORD timeoutMs,
                                DWORD wakeMask);
