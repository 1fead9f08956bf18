#include "platform/core/thread.h"

#include <system_error>

#include "platform/core/detail/message_state.h"
#include "platform/core/errors.h"
#include "platform/core/named_mutex.h"

namespace plat {

namespace {

class ThreadEnd final : public KernelObject {
public:
    explicit ThreadEnd(DWORD threadId) : threadId_(threadId) {}

    bool IsSignalledFor(DWORD) const override { return ended_; }
    bool AcquireFor(DWORD) override { return false; }

    DWORD ThreadId() const { return threadId_; }
    bool Ended() const { return ended_; }
    DWORD ExitCode() const { return exitCode_; }
    void End(DWORD exitCode) {
        ended_ = true;
        exitCode_ = exitCode;
        WakeWaiters();
    }

private:
    const DWORD threadId_;
    bool ended_ = false;
    DWORD exitCode_ = STILL_ACTIVE;
};

ThreadEnd* EndOf(const WaitHandle& handle) { return static_cast<ThreadEnd*>(handle.Object()); }

}  // namespace

ThreadHandle ThreadHandle::ForNewThread(DWORD threadId) {
    ThreadHandle handle;
    handle.object_ = std::make_shared<ThreadEnd>(threadId);
    return handle;
}

DWORD ThreadHandle::ThreadId() const { return object_ ? EndOf(*this)->ThreadId() : 0; }

bool ThreadHandle::HasEnded() const {
    if (!object_) return false;
    const auto lock = KernelObject::LockWaits();
    return EndOf(*this)->Ended();
}

DWORD ThreadHandle::ExitCode() const {
    if (!object_) return 0;
    const auto lock = KernelObject::LockWaits();
    return EndOf(*this)->ExitCode();
}

void ThreadHandle::MarkEnded(DWORD exitCode) const {
    if (!object_) return;
    const auto lock = KernelObject::LockWaits();
    EndOf(*this)->End(exitCode);
}

namespace detail {

// The body of every thread made here: takes the id and queue made for it, runs `body`,
// drops its queue, windows and timers, then signals its handle with the exit code.
void RunThreadBody(const ThreadHandle& handle, const std::shared_ptr<ThreadContext>& context,
                   const std::function<DWORD()>& body) {
    AdoptThread(handle.ThreadId(), context);
    const DWORD exitCode = body();
    AbandonNamedMutexesOfEndingThread();
    EndCurrentThread();
    handle.MarkEnded(exitCode);
}

}  // namespace detail

WorkerThread::~WorkerThread() { JoinOrDetach(); }

void WorkerThread::JoinOrDetach() {
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

WorkerThread& WorkerThread::operator=(WorkerThread&& other) noexcept {
    if (this != &other) {
        JoinOrDetach();
        thread_ = std::move(other.thread_);
        handle_ = std::move(other.handle_);
    }
    return *this;
}

bool WorkerThread::Start(std::function<void()> body) {
    if (thread_.joinable()) return false;
    const DWORD id = detail::NewThreadId();
    ThreadHandle handle = ThreadHandle::ForNewThread(id);
    auto context = std::make_shared<detail::ThreadContext>(id);
    try {
        thread_ = std::thread([handle, context, body = std::move(body)] {
            detail::RunThreadBody(handle, context, [&body]() -> DWORD {
                body();
                return 0;
            });
        });
    } catch (const std::system_error&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    handle_ = std::move(handle);
    return true;
}

void WorkerThread::Join() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace plat
