#pragma once
// Helpers for the message-layer tests: a window made of a lambda, a thread that owns one
// window and runs a message loop, and a guard that turns a hang into a loud failure.

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>

#include "platform/core/sync.h"
#include "platform/core/thread.h"
#include "platform/core/window.h"

namespace msgtest {

// Generous: only a hang should ever reach it.
inline constexpr DWORD kGuardMs = 30000;

class LambdaWindow : public plat::WindowProcedure {
public:
    using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
    explicit LambdaWindow(Handler handler) : handler_(std::move(handler)) {}
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        return handler_ ? handler_(hwnd, message, wParam, lParam) : 0;
    }

private:
    Handler handler_;
};

// A deadlock must fail the test program, not hang it until the harness kills it.
inline void MustEnd(const plat::WaitHandle& handle, const char* what) {
    if (WaitForSingleObject(handle, kGuardMs) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "did not end in time (hang?): %s\n", what);
        std::abort();
    }
}

// A thread that owns one window and runs a message loop until destroyed.
class WindowThread {
public:
    explicit WindowThread(LambdaWindow::Handler handler) : window_(std::move(handler)) {
        thread_.Start([this] {
            hwnd_ = plat::CreateMessageWindow(&window_);
            ready_.Set();
            plat::RunMessageLoop();
        });
        MustEnd(ready_, "window thread start");
    }
    ~WindowThread() {
        ::PostThreadMessage(thread_.ThreadId(), WM_QUIT, 0, 0);
        MustEnd(thread_.Handle(), "window thread end");
        thread_.Join();
    }
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    HWND Hwnd() const { return hwnd_; }
    DWORD ThreadId() const { return thread_.ThreadId(); }

private:
    LambdaWindow window_;
    plat::Event ready_{true, false};
    HWND hwnd_ = nullptr;
    plat::WorkerThread thread_;
};

}  // namespace msgtest
