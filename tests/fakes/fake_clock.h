// A stand-in for the system's clock: the local time a test sets, and the machine's sleeps.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace tivora::fakes {

class FakeClock : public platform::Clock {
public:
    DateTime time{2026, 12, 7, 22, 59, 30};
    std::int64_t slept = 0;  // a test adds each sleep of the machine

    DateTime now() override { return time; }
    std::int64_t sleptMilliseconds() override { return slept; }
};

}  // namespace tivora::fakes
