// The local clock. Read it each time the time matters; never count ticks as time.
#pragma once

#include "base/datetime.h"

namespace tivora::platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() = 0;
};

}  // namespace tivora::platform
