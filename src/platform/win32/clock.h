// The local clock as Windows keeps it, the time the machine has spent asleep, and the tick count
// and pause that a wait runs on.
#pragma once

#include "platform/clock.h"

namespace tivora::win32 {

class Win32Clock : public platform::Clock {
public:
    DateTime now() override;
    std::int64_t sleptMilliseconds() override;
    void pause(int milliseconds) override;
    std::uint32_t tickCount() override;
};

}  // namespace tivora::win32
