// A program that hangs in front, for the end-to-end tests: it shows a window titled "Занят", takes
// the foreground, and then stops reading its messages for a minute (its window procedure sleeps),
// having first made the file hanging.txt beside itself so that a test knows when.
#include <windows.h>

#include <string>

namespace {

constexpr UINT hangNow = WM_APP;

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == hangNow) {
        wchar_t path[MAX_PATH];
        std::wstring marker(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
        marker = marker.substr(0, marker.find_last_of(L'\\')) + L"\\hanging.txt";
        CloseHandle(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        Sleep(60000);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"HungWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Занят", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                  0, 1024, 740, nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(window);
    PostMessageW(window, hangNow, 0, 0);  // once it has shown and taken the foreground
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
