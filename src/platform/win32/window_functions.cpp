// The window functions bound by their Windows names; texts to the "A" functions in the ANSI
// code page, to the "W" ones in UTF-16.
#include "platform/win32/window_functions.h"

#include <utility>

#include "platform/win32/regional.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

std::uintptr_t Win32WindowFunctions::GetDesktopWindow() {
    return reinterpret_cast<std::uintptr_t>(::GetDesktopWindow());
}

std::uintptr_t Win32WindowFunctions::FindWindowA(const std::optional<std::string>& className,
                                                 const std::string& title) {
    std::string ansiClass = className ? ansiFromUtf8(*className) : "";
    std::string ansiTitle = ansiFromUtf8(title);
    return reinterpret_cast<std::uintptr_t>(
        ::FindWindowA(className ? ansiClass.c_str() : nullptr, ansiTitle.c_str()));
}

bool Win32WindowFunctions::ofThisProcess(std::uintptr_t window) {
    DWORD process = 0;
    return GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &process) != 0 &&
           process == GetCurrentProcessId();
}

bool Win32WindowFunctions::SetForegroundWindow(std::uintptr_t window) {
    return ::SetForegroundWindow(reinterpret_cast<HWND>(window)) != FALSE;
}

std::uintptr_t Win32WindowFunctions::GetForegroundWindow() {
    return reinterpret_cast<std::uintptr_t>(::GetForegroundWindow());
}

bool Win32WindowFunctions::SendMessageTimeoutW(std::uintptr_t window, std::uint32_t message,
                                               unsigned milliseconds) {
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutW(reinterpret_cast<HWND>(window), message, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                 milliseconds, &answer) != 0;
}

bool Win32WindowFunctions::AttachThreadInput(std::uintptr_t window, bool attach) {
    DWORD ours = GetCurrentThreadId();
    if (!attach) {
        DWORD theirs = std::exchange(joinedThread_, 0);
        return theirs != 0 && ::AttachThreadInput(ours, theirs, FALSE);
    }
    DWORD theirs = GetWindowThreadProcessId(reinterpret_cast<HWND>(window), nullptr);  // 0: no window
    if (theirs == 0 || theirs == ours || !::AttachThreadInput(ours, theirs, TRUE)) {
        return false;
    }
    joinedThread_ = theirs;
    return true;
}

void Win32WindowFunctions::FlashWindowEx(std::uintptr_t window) {
    FLASHWINFO flash{sizeof flash, reinterpret_cast<HWND>(window), FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    ::FlashWindowEx(&flash);
}

bool Win32WindowFunctions::PostMessageA(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
    return ::PostMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam) != FALSE;
}

int Win32WindowFunctions::DrawTextW(std::uintptr_t deviceContext, const std::string& text, int left, int top,
                                    int right, int bottom, std::uint32_t format) {
    RECT rect{left, top, right, bottom};
    std::wstring wide = widen(text);
    return ::DrawTextW(reinterpret_cast<HDC>(deviceContext), wide.c_str(), -1, &rect, format);
}

}  // namespace tivora::win32
