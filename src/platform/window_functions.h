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
    // Whether the window was made by this process (GetWindowThreadProcessId); false for none.
    virtual bool ofThisProcess(std::uintptr_t window) = 0;
    // Joined input makes it wait until the window in front has let go of the activation.
    virtual bool SetForegroundWindow(std::uintptr_t window) = 0;
    // The window the user works in; 0 for none.
    virtual std::uintptr_t GetForegroundWindow() = 0;
    // Sends the message and waits at most the timeout for the answer, not at all where Windows
    // takes the window's program for hung (SMTO_ABORTIFHUNG | SMTO_BLOCK); true once answered.
    virtual bool SendMessageTimeoutW(std::uintptr_t window, std::uint32_t message, unsigned milliseconds) = 0;
    // Joins our thread's input to the thread that made window (true), which resets the key state
    // both threads see, or parts what it joined (false). False when there is nothing to join
    // (no window, or one of ours) or the system refused.
    virtual bool AttachThreadInput(std::uintptr_t window, bool attach) = 0;
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
