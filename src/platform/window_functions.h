// The user32 functions the program calls by name on windows of its own and of others.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tivora::platform {

class WindowFunctions {
public:
    virtual ~WindowFunctions() = default;
    virtual std::uintptr_t GetDesktopWindow() = 0;
    // A top-level window with exactly this title (and class, when one is given); 0 for none.
    virtual std::uintptr_t FindWindowA(const std::optional<std::string>& className,
                                       const std::string& title) = 0;
    virtual bool SetForegroundWindow(std::uintptr_t window) = 0;
    // Joins our thread's input to the foreground window's thread (true), or parts it (false), so
    // that a foreground request is granted while the user works elsewhere. False when there is
    // nothing to join (no foreground window, or it is ours) or the system refused.
    virtual bool AttachThreadInput(bool attach) = 0;
    // Flashes the window's taskbar button until the window comes to the foreground.
    virtual void FlashWindowEx(std::uintptr_t window) = 0;
    virtual bool PostMessageA(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) = 0;
    // Draws text into the rectangle (left, top, right, bottom) of a device context, through the
    // wide function: every character reaches the page, whatever the system's code page.
    virtual int DrawTextW(std::uintptr_t deviceContext, const std::string& text, int left, int top, int right,
                          int bottom, std::uint32_t format) = 0;
};

}  // namespace tivora::platform
