// A stand-in for the system's one-shot timers: they wait until a test says their time has come,
// and the system refuses as many as a test asks.
#pragma once

#include <functional>
#include <map>
#include <utility>

#include "base/error.h"
#include "platform/timers.h"

namespace tivora::fakes {

class FakeTimers : public platform::Timers {
public:
    std::map<int, std::function<void()>> pendingTimers;
    int nextTimer = 1;
    int refuseOneShots = 0;                // the system refuses this many one-shots (no timer left)
    std::map<int, int> timerMilliseconds;  // each one-shot's delay, by id
    int startOnce(int milliseconds, std::function<void()> action) override {
        if (refuseOneShots > 0 && refuseOneShots-- > 0) {
            throw RuntimeError(err::OutOfMemory);
        }
        pendingTimers[nextTimer] = std::move(action);
        timerMilliseconds[nextTimer] = milliseconds;
        return nextTimer++;
    }
    void cancel(int id) override { pendingTimers.erase(id); }
    // Runs the one-shots pending now (not those they start themselves).
    void runTimers() {
        auto due = std::move(pendingTimers);
        pendingTimers.clear();
        for (auto& [id, action] : due) {
            action();
        }
    }
};

}  // namespace tivora::fakes
