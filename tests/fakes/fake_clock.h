// A stand-in for the system's clock: the local time a test sets, the machine's sleeps, and the
// tick count that the program's pauses move on.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace tivora::fakes {

class FakeClock : public platform::Clock {
public:
    DateTime time{2026, 12, 7, 22, 59, 30};
    std::int64_t slept = 0;  // a test adds each sleep of the machine
    int pausedMilliseconds = 0;
    // The time since the system started, in microseconds: a pause ends at a whole tick of 15.625 ms,
    // as Sleep does with the default timer.
    std::uint64_t uptime = 0;

    DateTime now() override { return time; }
    std::int64_t sleptMilliseconds() override { return slept; }
    void pause(int milliseconds) override {
        pausedMilliseconds += milliseconds;
        uptime += (milliseconds * 1000ull + 15624) / 15625 * 15625;
    }
    std::uint32_t tickCount() override { return static_cast<std::uint32_t>(uptime / 1000); }
};

}  // namespace tivora::fakes
