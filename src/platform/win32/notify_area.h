// The notification area through shell32's Shell_NotifyIconA, and the actions to run when the
// shell makes it anew ("TaskbarCreated", passed on by the application window).
#pragma once

#include <functional>
#include <vector>

#include "platform/notify_area.h"

namespace tivora::win32 {

class Win32NotifyArea : public platform::NotifyArea {
public:
    std::uint32_t firstVersionRecordSize() override;
    bool Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconRecord& record) override;
    void onNotifyAreaCreated(std::function<void()> action) override;
    // The shell has broadcast "TaskbarCreated"; the application window passes it on.
    void notifyAreaCreated();

private:
    std::vector<std::function<void()>> notifyAreaCreated_;
};

}  // namespace tivora::win32
