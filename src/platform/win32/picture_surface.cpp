// A picture box's drawing surface: a memory bitmap that keeps what is drawn on it, in the picture
// box's font and colours, handed out as a device context; made when it is first asked for.
#include "platform/win32/form_host.h"

#include <algorithm>
#include <cmath>

#include "platform/win32/form_host_internal.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace tivora::win32 {

using namespace detail;

void FormHost::makeSurface(Child& child) {
    auto& picture = static_cast<forms::PictureBox&>(*child.control);
    if (!child.surface) {
        HDC screen = GetDC(nullptr);
        child.surface = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        const forms::Font& font = picture.font;
        if (!font.isDefault()) {
            child.surfaceFont = CreateFontW(
                -static_cast<int>(std::lround(font.points * systemDpi() / 72.0)), 0, 0, 0, font.weight, FALSE,
                FALSE, FALSE, static_cast<BYTE>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                DEFAULT_QUALITY, DEFAULT_PITCH, widen(font.name).c_str());
            SelectObject(child.surface, child.surfaceFont);
        }
        SetBkMode(child.surface, TRANSPARENT);
    }
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max(1, picture.widthPixels()),
                                            std::max(1, picture.heightPixels()));
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(child.surface, bitmap);
    if (child.bitmap) {
        DeleteObject(child.bitmap);
    } else {
        child.firstBitmap = previous;
    }
    child.bitmap = bitmap;
    SetTextColor(child.surface, toColorref(picture.foreColor));
    clearSurface(child);
}

void FormHost::clearSurface(Child& child) {
    auto& picture = static_cast<forms::PictureBox&>(*child.control);
    RECT all{0, 0, std::max(1, picture.widthPixels()), std::max(1, picture.heightPixels())};
    HBRUSH brush = CreateSolidBrush(toColorref(picture.backColor));
    FillRect(child.surface, &all, brush);
    DeleteObject(brush);
}

void FormHost::freeSurface(Child& child) {
    if (child.surface) {
        SelectObject(child.surface, child.firstBitmap);
        DeleteObject(child.bitmap);
        DeleteDC(child.surface);
        if (child.surfaceFont) {
            DeleteObject(child.surfaceFont);
        }
        child.surface = nullptr;
        child.bitmap = nullptr;
        child.surfaceFont = nullptr;
    }
}

std::uintptr_t FormHost::surfaceDeviceContext(forms::Control& control) {
    // Made at the first use (printing), not at start-up: nothing else draws on it, and its font
    // would have the system find and load a font file before the window first shows.
    Child* child = find(control);
    if (child && !child->surface && control.kindName() == "PictureBox") {
        makeSurface(*child);
    }
    return child ? reinterpret_cast<std::uintptr_t>(child->surface) : 0;
}

std::uintptr_t FormHost::surfaceImage(forms::Control& control) {
    // The image is handed over as the device context that holds it: the printer copies from it.
    return surfaceDeviceContext(control);
}

}  // namespace tivora::win32
