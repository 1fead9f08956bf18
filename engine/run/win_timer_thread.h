#pragma once
// A user-interface thread that kills the thread timers it set when it goes. Thread timers
// are entered in one program-wide table (timer id -> the thread object that set it), so a
// thread's timers can be found and killed by the thread object itself.

#include "platform/core/ui_thread.h"
#include "platform/core/window.h"

class CWinTimerThread : public plat::UiThread {
public:
    // Kills every thread timer this object set, when killTimers is set.
    ~CWinTimerThread() override;

    // Kills a thread timer and removes it from the table.
    static BOOL KillThreadTimer(UINT_PTR id);

protected:
    CWinTimerThread() = default;

    bool killTimers = true;
};
