// MessageBoxW, modal to the program's active window or to the whole program, and a hook that
// raises the box above every window when asked.
#include "platform/win32/message_boxes.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace tivora::win32 {

namespace {

// The box of the message that must stand above every window: the first one the thread activates
// while it is asked for. (MB_TOPMOST is not honoured by every implementation of the box.)
HWND boxToRaise = nullptr;
LRESULT CALLBACK raiseTheBox(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = {};
    if (code == HCBT_ACTIVATE && !boxToRaise && GetClassNameW(window, className, 16) &&
        lstrcmpW(className, L"#32770") == 0) {
        boxToRaise = window;
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void messageBox(const std::string& text, const std::string& title, bool onTop) {
    // Owned by the program's active window, so that it is modal to it; with none (the window
    // hidden in the tray, or another program in front) it is modal to the whole program.
    HWND owner = GetActiveWindow();
    UINT flags = MB_OK | MB_SETFOREGROUND | (owner ? 0 : MB_TASKMODAL) | (onTop ? MB_TOPMOST : 0);
    HHOOK hook = nullptr;
    if (onTop) {
        boxToRaise = nullptr;
        hook = SetWindowsHookExW(WH_CBT, raiseTheBox, nullptr, GetCurrentThreadId());
    }
    MessageBoxW(owner, widen(text).c_str(), widen(title).c_str(), flags);
    if (hook) {
        UnhookWindowsHookEx(hook);
    }
}

}  // namespace

void Win32MessageBoxes::show(const std::string& text, const std::string& title) {
    messageBox(text, title, false);
}

void Win32MessageBoxes::showOnTop(const std::string& text, const std::string& title) {
    messageBox(text, title, true);
}

}  // namespace tivora::win32
