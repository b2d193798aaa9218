// The local clock, read each time the time matters (never count ticks as time), and the time the
// machine has spent asleep.
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
};

}  // namespace tivora::platform
