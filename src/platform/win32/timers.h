// One-shot timers on the user-interface thread: thread timers (SetTimer without a window).
#pragma once

#include "platform/timers.h"

namespace tivora::win32 {

class Win32Timers : public platform::Timers {
public:
    int startOnce(int milliseconds, std::function<void()> action) override;
    void cancel(int id) override;
};

}  // namespace tivora::win32
