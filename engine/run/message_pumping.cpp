#include "engine/run/message_pumping.h"

#include "platform/core/sync.h"
#include "platform/core/thread.h"
#include "platform/core/window.h"

void RunPumpingMessages(const std::function<void()>& job) {
    plat::WorkerThread helper;
    if (!helper.Start(job)) {
        job();
        return;
    }
    bool quitTaken = false;
    int quitCode = 0;
    for (;;) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quitTaken = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            DispatchMessage(&msg);
        }
        if (helper.Handle().HasEnded()) break;
        const DWORD wait = MsgWaitForMultipleObjects({helper.Handle()}, FALSE, INFINITE, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_FAILED) break;
    }
    helper.Join();
    if (quitTaken) PostQuitMessage(quitCode);
}
