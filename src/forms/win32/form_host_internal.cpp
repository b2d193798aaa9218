// The helpers the window layer's files share (form_host_internal.h): the live windows, window
// text and colours, offsets between the model's characters and UTF-16, fonts, the window classes.
#include "forms/win32/form_host_internal.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "forms/win32/form_host.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

namespace detail {

std::vector<FormHost*>& liveHosts() {
    static std::vector<FormHost*> hosts;
    return hosts;
}

std::wstring windowText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(std::max(n, 0)));
    return text;
}

COLORREF toColorref(forms::Color color) {
    if (color & 0x80000000u) {
        return GetSysColor(static_cast<int>(color & 0xFF));
    }
    return static_cast<COLORREF>(color & 0xFFFFFF);
}

int utf16Offset(const std::string& text, int characters) {
    return static_cast<int>(utf8ToUtf16(tivora::characters(text, 0, static_cast<size_t>(characters))).size());
}

int characterOffset(const std::wstring& text, int utf16) {
    utf16 = std::clamp(utf16, 0, static_cast<int>(text.size()));
    return static_cast<int>(
        characterCount(narrow(std::wstring_view(text).substr(0, static_cast<size_t>(utf16)))));
}

HFONT createFont(const forms::Font& font, int dpi) {
    return CreateFontW(-static_cast<int>(std::lround(font.points * dpi / 72.0)), 0, 0, 0, font.weight, FALSE,
                       FALSE, FALSE, static_cast<BYTE>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH, widen(font.name).c_str());
}

void registerClasses(HINSTANCE instance) {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = formClass;
    RegisterClassExW(&wc);
    wc.lpszClassName = applicationClass;
    wc.hbrBackground = nullptr;
    RegisterClassExW(&wc);
    registered = true;
}

}  // namespace detail

}  // namespace tivora::win32
