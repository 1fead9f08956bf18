#pragma once
// The lock of one TreeList window. Every message that reads or changes the window's state
// holds it. It is re-entrant for the thread that holds it (the control's own calls send it
// messages back, for instance when the editor takes the focus), and it is let go entirely
// around every call out to the parent or to a compare function, so their code may send
// messages to the control, and taken again afterwards.

#include <condition_variable>
#include <mutex>
#include <thread>

class WindowLock {
public:
    void Lock();
    void Unlock();
    // Lets go of every level the calling thread holds; returns how many to take back.
    int ReleaseAll();
    void Reacquire(int depth);
    bool HeldByCurrentThread() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable free_;
    std::thread::id owner_;
    int depth_ = 0;
};

// Holds the lock for a scope.
class WindowLockGuard {
public:
    explicit WindowLockGuard(WindowLock& lock) : lock_(lock) { lock_.Lock(); }
    ~WindowLockGuard() { lock_.Unlock(); }
    WindowLockGuard(const WindowLockGuard&) = delete;
    WindowLockGuard& operator=(const WindowLockGuard&) = delete;

private:
    WindowLock& lock_;
};

// Lets go of the lock for a scope (a call out of the control) and takes it back after.
class WindowLockRelease {
public:
    explicit WindowLockRelease(WindowLock& lock) : lock_(lock), depth_(lock.ReleaseAll()) {}
    ~WindowLockRelease() { lock_.Reacquire(depth_); }
    WindowLockRelease(const WindowLockRelease&) = delete;
    WindowLockRelease& operator=(const WindowLockRelease&) = delete;

private:
    WindowLock& lock_;
    int depth_;
};
