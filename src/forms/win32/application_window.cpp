// The program's hidden top-level window titled with the program title: the window the action
// brings to the foreground, the one that hears the shell's broadcasts, and the one by which
// another start of the program from the same folder finds this copy.
#include "forms/win32/form_host.h"

#include "forms/win32/form_host_internal.h"
#include "platform/win32/late_binding.h"
#include "platform/win32/program_copies.h"

namespace tivora::win32 {

using namespace detail;

namespace {

LRESULT CALLBACK applicationProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    auto* events = reinterpret_cast<ApplicationEvents*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    try {
        if (message == taskbarCreated && taskbarCreated != 0) {
            if (events && events->taskbarCreated) {
                events->taskbarCreated();
            }
            return 0;
        }
        if (message == showRequestMessage() && message != 0) {
            if (!events || !events->takesShowRequest || !events->takesShowRequest()) {
                return 0;
            }
            ReplyMessage(showRequestTaken);
            if (events->showRequested) {
                events->showRequested();
            }
            return showRequestTaken;
        }
    } catch (...) {
        return 0;
    }
    if (message == WM_NCDESTROY) {
        delete events;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

HWND createApplicationWindow(HINSTANCE instance, const std::wstring& title, ApplicationEvents events) {
    registerClasses(instance);
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, applicationClass, title.c_str(), WS_OVERLAPPED, 0, 0, 0, 0,
                                nullptr, nullptr, instance, nullptr);
    if (hwnd) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(new ApplicationEvents(std::move(events))));
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&applicationProc));
        // Run as administrator, the program would not hear a restarted Explorer's broadcast, nor
        // a second start's show request: the system filters messages from a lower integrity
        // level. These two are let through (to this window only). (Windows 7 and later.)
        using FilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
        if (auto allow = lateBound<FilterFn>(L"user32.dll", "ChangeWindowMessageFilterEx")) {
            for (UINT message : {RegisterWindowMessageW(L"TaskbarCreated"), showRequestMessage()}) {
                if (message != 0) {
                    allow(hwnd, message, 1 /* MSGFLT_ALLOW */, nullptr);
                }
            }
        }
    }
    return hwnd;
}

}  // namespace tivora::win32
