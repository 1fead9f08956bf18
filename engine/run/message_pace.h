#pragma once
// Pacing of the periodic messages a run's worker sends the task window while it walks
// items: stop questions, progress texts and positions. Each is a round trip to the GUI
// thread, and nobody can tell a hundred thousand progress updates a second from a few
// dozen, so such a message is sent only when it is due: the first time, then once at
// least the program-wide interval has passed since the last one sent. Messages that mark
// a stage (its status line, its progress range, its final position) are never paced.

#include "platform/core/win_types.h"

inline constexpr DWORD kDefaultMessagePaceMs = 25;

// The program-wide interval in milliseconds. 0 makes every message due, which is exactly
// one message per item.
DWORD MessagePaceInterval();
void SetMessagePaceInterval(DWORD milliseconds);

// Sets the interval for the object's lifetime and puts the previous one back after.
class ScopedMessagePaceInterval {
public:
    explicit ScopedMessagePaceInterval(DWORD milliseconds);
    ~ScopedMessagePaceInterval();
    ScopedMessagePaceInterval(const ScopedMessagePaceInterval&) = delete;
    ScopedMessagePaceInterval& operator=(const ScopedMessagePaceInterval&) = delete;

private:
    DWORD saved_;
};

// The pace of one kind of message within one stage, by the program-wide interval.
class MessagePace {
public:
    // True the first time after construction or Restart, then only once the interval has
    // passed since it last said true.
    bool Due();
    // The next Due() is true: a new stage begins.
    void Restart() { started_ = false; }

private:
    ULONGLONG last_ = 0;
    bool started_ = false;
};
