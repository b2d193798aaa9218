// The screen's dots per inch, read from its device context (GetDeviceCaps).
#include "platform/win32/screen.h"

#include <windows.h>

namespace tivora::win32 {

int systemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

double Win32Screen::twipsPerPixelX() { return 1440.0 / systemDpi(); }

double Win32Screen::twipsPerPixelY() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

}  // namespace tivora::win32
