#include "engine/run/win_timer_thread.h"

#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

struct TimerTable {
    std::mutex lock;
    std::unordered_map<UINT_PTR, const CWinTimerThread*> owners;
};

TimerTable& Timers() {
    static TimerTable table;
    return table;
}

}  // namespace

CWinTimerThread::~CWinTimerThread() {
    if (!killTimers) return;
    std::vector<UINT_PTR> owned;
    {
        const std::lock_guard<std::mutex> guard(Timers().lock);
        for (const auto& [id, owner] : Timers().owners) {
            if (owner == this) owned.push_back(id);
        }
    }
    for (const UINT_PTR id : owned) KillThreadTimer(id);
}

BOOL CWinTimerThread::KillThreadTimer(UINT_PTR id) {
    {
        const std::lock_guard<std::mutex> guard(Timers().lock);
        Timers().owners.erase(id);
    }
    return KillTimer(nullptr, id);
}
