#include "engine/run/message_pace.h"

#include <atomic>

#include "platform/core/window.h"

namespace {

std::atomic<DWORD> g_messagePaceMs{kDefaultMessagePaceMs};

}  // namespace

DWORD MessagePaceInterval() { return g_messagePaceMs.load(std::memory_order_relaxed); }

void SetMessagePaceInterval(DWORD milliseconds) { g_messagePaceMs.store(milliseconds, std::memory_order_relaxed); }

ScopedMessagePaceInterval::ScopedMessagePaceInterval(DWORD milliseconds) : saved_(MessagePaceInterval()) {
    SetMessagePaceInterval(milliseconds);
}

ScopedMessagePaceInterval::~ScopedMessagePaceInterval() { SetMessagePaceInterval(saved_); }

bool MessagePace::Due() {
    const DWORD interval = MessagePaceInterval();
    if (interval == 0) return true;
    const ULONGLONG now = GetTickCount64();
    if (started_ && now - last_ < interval) return false;
    started_ = true;
    last_ = now;
    return true;
}
