// The program's hidden top-level window titled with the program title: the window the action
// brings to the foreground, and the one that hears the shell's broadcasts.
#include "platform/win32/form_host.h"

#include "platform/win32/form_host_internal.h"

namespace tivora::win32 {

using namespace detail;

namespace {

LRESULT CALLBACK applicationProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    if (message == taskbarCreated && taskbarCreated != 0) {
        auto* action = reinterpret_cast<std::function<void()>*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (action && *action) {
            try {
                (*action)();
            } catch (...) {
            }
        }
        return 0;
    }
    if (message == WM_NCDESTROY) {
        delete reinterpret_cast<std::function<void()>*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

HWND createApplicationWindow(HINSTANCE instance, const std::wstring& title,
                             std::function<void()> onTaskbarCreated) {
    registerClasses(instance);
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, applicationClass, title.c_str(), WS_OVERLAPPED, 0, 0, 0, 0,
                                nullptr, nullptr, instance, nullptr);
    if (hwnd) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(new std::function<void()>(std::move(onTaskbarCreated))));
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&applicationProc));
    }
    return hwnd;
}

}  // namespace tivora::win32
