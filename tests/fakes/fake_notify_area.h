// A stand-in for the notification area: it records every call, the shell refuses as many calls
// as a test asks, and a test can have the area created anew.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_transcript.h"
#include "platform/notify_area.h"

namespace tivora::fakes {

class FakeNotifyArea : public platform::NotifyArea {
public:
    explicit FakeNotifyArea(Transcript& transcript) : transcript_(transcript) {}

    std::vector<std::pair<std::uint32_t, platform::NotifyIconRecord>> notifyCalls;
    int refuseNotifyCalls = 0;
    std::vector<std::function<void()>> notifyAreaCreatedActions;
    std::uint32_t firstVersionRecordSize() override { return 88; }
    bool Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconRecord& record) override {
        transcript_.push_back("Shell_NotifyIconA " + std::to_string(message));
        notifyCalls.emplace_back(message, record);
        if (refuseNotifyCalls > 0) {
            --refuseNotifyCalls;
            return false;
        }
        return true;
    }
    void onNotifyAreaCreated(std::function<void()> action) override {
        notifyAreaCreatedActions.push_back(std::move(action));
    }
    void recreateNotifyArea() {
        for (auto& action : notifyAreaCreatedActions) {
            action();
        }
    }

private:
    Transcript& transcript_;
};

}  // namespace tivora::fakes
