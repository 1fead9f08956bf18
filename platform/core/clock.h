#pragma once
// Where the program asks for the time. Every "now" goes through the process-wide current
// clock, so tests can put a fixed or stepped clock in its place with a ClockOverride.

#include <atomic>
#include <cstdint>

#include "platform/core/win_types.h"

namespace plat {

class Clock {
public:
    virtual ~Clock() = default;
    // The current time, UTC, as a FILETIME.
    virtual FILETIME Now() const = 0;
};

// The system's real-time clock.
const Clock& SystemClock();

// The clock the program uses: the system clock unless a ClockOverride is active.
const Clock& CurrentClock();

// A clock that stands still until it is set or advanced; safe to move from any thread.
class FixedClock final : public Clock {
public:
    explicit FixedClock(std::int64_t unixSeconds);
    explicit FixedClock(FILETIME now);

    FILETIME Now() const override;
    void Set(std::int64_t unixSeconds);
    void Set(FILETIME now);
    void Advance(std::int64_t seconds);  // negative steps go back

private:
    std::atomic<std::uint64_t> ticks_;
};

// Makes `clock` the current clock for its lifetime and restores the previous one after.
// The clock must outlive the guard. Guards nest; end them in reverse order.
class ClockOverride {
public:
    explicit ClockOverride(const Clock& clock);
    ~ClockOverride();
    ClockOverride(const ClockOverride&) = delete;
    ClockOverride& operator=(const ClockOverride&) = delete;

private:
    const Clock* previous_;
};

// Shorthands over the current clock.
std::int64_t NowUnixSeconds();  // seconds since 1970, UTC
FILETIME NowFileTime();         // UTC
// The local wall-clock time as a FILETIME with no zone (what records of local time hold).
FILETIME NowLocalFileTime();

}  // namespace plat

// The platform's own name, read from the current clock.
void GetLocalTime(SYSTEMTIME* st);
