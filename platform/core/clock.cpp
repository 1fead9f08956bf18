#include "platform/core/clock.h"

#include <chrono>

#include "platform/core/file_time.h"

namespace plat {

namespace {

class RealTimeClock final : public Clock {
public:
    FILETIME Now() const override {
        const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
        const auto ticks =
            std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>>(sinceEpoch)
                .count();
        return U64ToFileTime(kUnixEpochTicks + static_cast<std::uint64_t>(ticks));
    }
};

std::atomic<const Clock*> g_currentClock{nullptr};  // null: the system clock

std::uint64_t TicksFromUnixSeconds(std::int64_t seconds) { return FileTimeToU64(FileTimeFromUnixSeconds(seconds)); }

}  // namespace

const Clock& SystemClock() {
    static const RealTimeClock clock;
    return clock;
}

const Clock& CurrentClock() {
    const Clock* clock = g_currentClock.load(std::memory_order_acquire);
    return clock ? *clock : SystemClock();
}

FixedClock::FixedClock(std::int64_t unixSeconds) : ticks_(TicksFromUnixSeconds(unixSeconds)) {}
FixedClock::FixedClock(FILETIME now) : ticks_(FileTimeToU64(now)) {}

FILETIME FixedClock::Now() const { return U64ToFileTime(ticks_.load()); }
void FixedClock::Set(std::int64_t unixSeconds) { ticks_.store(TicksFromUnixSeconds(unixSeconds)); }
void FixedClock::Set(FILETIME now) { ticks_.store(FileTimeToU64(now)); }
void FixedClock::Advance(std::int64_t seconds) {
    ticks_.fetch_add(static_cast<std::uint64_t>(seconds) * kTicksPerSecond);  // wraps as two's complement
}

ClockOverride::ClockOverride(const Clock& clock) : previous_(g_currentClock.exchange(&clock)) {}
ClockOverride::~ClockOverride() { g_currentClock.store(previous_); }

std::int64_t NowUnixSeconds() { return FileTimeToUnixSeconds(NowFileTime()); }
FILETIME NowFileTime() { return CurrentClock().Now(); }

FILETIME NowLocalFileTime() {
    const FILETIME utc = NowFileTime();
    FILETIME local = utc;
    FileTimeToLocalFileTime(&utc, &local);
    return local;
}

}  // namespace plat

void GetLocalTime(SYSTEMTIME* st) {
    const FILETIME now = plat::NowLocalFileTime();
    FileTimeToSystemTime(&now, st);
}
