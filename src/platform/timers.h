// One-shot timers: run something once, a while later, on the user-interface thread.
#pragma once

#include <functional>

namespace tivora::platform {

class Timers {
public:
    virtual ~Timers() = default;
    // Runs action once after the given milliseconds; returns an id for cancel (never 0).
    virtual int startOnce(int milliseconds, std::function<void()> action) = 0;
    // A cancelled or already run id is ignored.
    virtual void cancel(int id) = 0;
};

}  // namespace tivora::platform
