// Milliseconds since the system started, and sleeping.
#include <chrono>
#include <thread>

#include "platform/core/window.h"

ULONGLONG GetTickCount64() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<ULONGLONG>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

// Wraps after 49.7 days, as callers of the 32-bit count expect.
DWORD GetTickCount() { return static_cast<DWORD>(GetTickCount64()); }

void Sleep(DWORD ms) {
    if (ms == 0) {
        std::this_thread::yield();
        return;
    }
    if (ms == INFINITE) {
        for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// No asynchronous procedure calls exist here, so an alertable sleep is a plain sleep.
DWORD SleepEx(DWORD ms, BOOL /*alertable*/) {
    Sleep(ms);
    return 0;
}
