#include "platform/core/ui_thread.h"

#include <system_error>
#include <thread>

#include "platform/core/detail/message_state.h"
#include "platform/core/errors.h"

namespace plat {

ThreadHandle UiThread::Begin(std::unique_ptr<UiThread> thread) {
    if (!thread) return {};
    const DWORD id = detail::NewThreadId();
    const ThreadHandle handle = ThreadHandle::ForNewThread(id);
    const std::shared_ptr<detail::ThreadContext> context = detail::MakeQueueFor(id);
    thread->threadId_ = id;
    try {
        std::thread([handle, context, owned = std::move(thread)]() mutable {
            detail::RunThreadBody(handle, context, [&owned]() -> DWORD {
                const DWORD exitCode = owned->Main();
                owned.reset();
                return exitCode;
            });
        }).detach();
    } catch (const std::system_error&) {
        detail::DiscardQueue(context);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return {};
    }
    return handle;
}

BOOL UiThread::PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostThreadMessage(threadId_, message, wParam, lParam);
}

DWORD UiThread::Main() {
    const int exitCode = InitInstance() ? Run() : ExitInstance();
    return static_cast<DWORD>(exitCode);
}

int UiThread::Run() {
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessage(&msg, nullptr, 0, 0);
        if (got == 0) {
            quitCode_ = static_cast<int>(msg.wParam);
            return ExitInstance();
        }
        if (got < 0) continue;
        if (!msg.hwnd && DispatchThreadMessage(msg)) continue;
        ::DispatchMessage(&msg);
    }
}

bool UiThread::DispatchThreadMessage(const MSG& msg) {
    const auto it = messageMap_.find(msg.message);
    if (it == messageMap_.end()) return false;
    const auto handler = it->second;
    handler(msg.wParam, msg.lParam);
    return true;
}

}  // namespace plat
