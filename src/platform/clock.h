// The local clock, read each time the time matters (never count ticks as time), the time the
// machine has spent asleep, and the tick count and pause that a wait for another program runs on.
#pragma once

#include <cstdint>

#include "base/datetime.h"

namespace tivora::platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() = 0;
    // The time the machine has spent asleep or hibernating since it started, in milliseconds. It
    // grows across a sleep and at no other time, whatever the clock is set to, so that two
    // readings tell whether the machine has slept between them.
    virtual std::int64_t sleptMilliseconds() = 0;
    // The thread waits before a refused request is tried again.
    virtual void pause(int milliseconds) = 0;
    // The milliseconds since the system started, counting on across a wrap: only differences tell.
    virtual std::uint32_t tickCount() = 0;
};

}  // namespace tivora::platform
