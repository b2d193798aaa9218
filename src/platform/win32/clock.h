// The local clock as Windows keeps it, and the time the machine has spent asleep.
#pragma once

#include "platform/clock.h"

namespace tivora::win32 {

class Win32Clock : public platform::Clock {
public:
    DateTime now() override;
    std::int64_t sleptMilliseconds() override;
};

}  // namespace tivora::win32
