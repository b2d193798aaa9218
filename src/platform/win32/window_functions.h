// The user32 functions the program calls by name on windows: finding one, bringing one to the
// foreground (with the input of an answering foreground thread joined to ours) or flashing its
// taskbar button, sending (with a time-out) and posting to one, drawing text.
#pragma once

#include <windows.h>

#include "platform/window_functions.h"

namespace tivora::win32 {

class Win32WindowFunctions : public platform::WindowFunctions {
public:
    std::uintptr_t GetDesktopWindow() override;
    std::uintptr_t FindWindowA(const std::optional<std::string>& className,
                               const std::string& title) override;
    bool ofThisProcess(std::uintptr_t window) override;
    bool SetForegroundWindow(std::uintptr_t window) override;
    std::uintptr_t GetForegroundWindow() override;
    bool SendMessageTimeoutW(std::uintptr_t window, std::uint32_t message, unsigned milliseconds) override;
    bool AttachThreadInput(std::uintptr_t window, bool attach) override;
    void FlashWindowEx(std::uintptr_t window) override;
    bool PostMessageA(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) override;
    int DrawTextW(std::uintptr_t deviceContext, const std::string& text, int left, int top, int right,
                  int bottom, std::uint32_t format) override;

private:
    DWORD joinedThread_ = 0;  // the thread whose input ours is joined to
};

}  // namespace tivora::win32
