#pragma once
// Threads of the program: a waitable handle that is signalled when its thread ends, and a
// worker thread that runs one function. Every thread made here has a small stable id
// (GetCurrentThreadId) from the moment it is made, and its message queue, windows,
// timers and the named mutexes it still owns go before its handle is signalled.

#include <functional>
#include <memory>
#include <thread>

#include "platform/core/sync.h"

inline constexpr DWORD STILL_ACTIVE = 259;

namespace plat {

class ThreadHandle;
class UiThread;
class WorkerThread;
namespace detail {
struct ThreadContext;
void RunThreadBody(const ThreadHandle& handle, const std::shared_ptr<ThreadContext>& context,
                   const std::function<DWORD()>& body);
}  // namespace detail

// Signalled, for good, once its thread has ended.
class ThreadHandle : public WaitHandle {
public:
    ThreadHandle() = default;

    DWORD ThreadId() const;  // 0 for an empty handle
    bool HasEnded() const;
    // The thread's exit code, or STILL_ACTIVE while it runs.
    DWORD ExitCode() const;

private:
    friend class UiThread;
    friend class WorkerThread;
    friend void detail::RunThreadBody(const ThreadHandle&, const std::shared_ptr<detail::ThreadContext>&,
                                      const std::function<DWORD()>&);

    static ThreadHandle ForNewThread(DWORD threadId);
    void MarkEnded(DWORD exitCode) const;
};

// Runs one function on a thread of its own. The owner joins or detaches it; a WorkerThread
// that still holds a running thread when it is destroyed joins it (it never leaves a
// thread unowned), unless it is destroyed by that thread itself, which detaches.
class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(WorkerThread&& other) noexcept = default;
    WorkerThread& operator=(WorkerThread&& other) noexcept;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts `body`. False when this object already holds a thread or the system could
    // not make one (nothing runs then).
    bool Start(std::function<void()> body);
    void Join();
    bool Joinable() const { return thread_.joinable(); }

    DWORD ThreadId() const { return handle_.ThreadId(); }
    const ThreadHandle& Handle() const { return handle_; }

private:
    void JoinOrDetach();

    std::thread thread_;
    ThreadHandle handle_;
};

}  // namespace plat
