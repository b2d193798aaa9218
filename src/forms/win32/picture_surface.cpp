// A picture box's drawing surface: an enhanced metafile recorded in the box's font and colours,
// which the printer plays again at any resolution. It is made when first asked for (printing),
// not with the window, whose making would otherwise wait for the font's file to be loaded.
#include "forms/win32/form_host.h"

#include <algorithm>
#include <cmath>

#include "forms/win32/form_host_internal.h"
#include "platform/win32/screen.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

using namespace detail;

namespace {

void deleteLayers(PictureImage& image) {
    for (HENHMETAFILE layer : image.layers) {
        DeleteEnhMetaFile(layer);
    }
    image.layers.clear();
}

}  // namespace

void FormHost::makeSurface(Child& child) {
    auto& picture = static_cast<forms::PictureBox&>(*child.control);
    if (!child.surface) {
        HDC screen = GetDC(nullptr);
        HDC surface = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        if (!surface) {
            return;  // nothing made: the next use asks again, and no font is left behind
        }
        child.surface = surface;
        const forms::Font& font = picture.font;
        if (!font.isDefault()) {
            child.surfaceFont = createFont(font, systemDpi());
            SelectObject(child.surface, child.surfaceFont);
        }
        child.image = std::make_shared<PictureImage>();
    }
    clearSurface(child);  // a new size: a new, blank image
}

void FormHost::clearSurface(Child& child) {
    closeRecording(child);
    deleteLayers(*child.image);
}

void FormHost::closeRecording(Child& child) {
    if (child.recording) {
        if (HENHMETAFILE layer = CloseEnhMetaFile(child.recording)) {
            child.image->layers.push_back(layer);
        }
        child.recording = nullptr;
    }
}

void FormHost::freeSurface(Child& child) {
    if (child.surface) {
        clearSurface(child);
        DeleteDC(child.surface);
        if (child.surfaceFont) {
            DeleteObject(child.surfaceFont);
        }
        child.surface = nullptr;
        child.surfaceFont = nullptr;
    }
}

FormHost::Child* FormHost::surfaceOf(const forms::Control& control) {
    Child* child = find(control);
    if (child && !child->surface && control.kind() == forms::Control::Kind::PictureBox) {
        makeSurface(*child);
    }
    return child && child->surface ? child : nullptr;
}

std::uintptr_t FormHost::surfaceDeviceContext(forms::Control& control) {
    Child* child = surfaceOf(control);
    if (!child) {
        return 0;
    }
    if (!child->recording) {
        // The frame is the whole picture, in the hundredths of a millimetre that the screen's pixels
        // measure, as the metafile counts them.
        auto& picture = static_cast<forms::PictureBox&>(control);
        const int width = std::max(1, picture.widthPixels());
        const int height = std::max(1, picture.heightPixels());
        RECT frame{0, 0,
                   MulDiv(width, 100 * GetDeviceCaps(child->surface, HORZSIZE),
                          std::max(1, GetDeviceCaps(child->surface, HORZRES))),
                   MulDiv(height, 100 * GetDeviceCaps(child->surface, VERTSIZE),
                          std::max(1, GetDeviceCaps(child->surface, VERTRES)))};
        HDC recording = CreateEnhMetaFileW(child->surface, nullptr, &frame, nullptr);
        if (!recording) {
            return 0;
        }
        if (child->surfaceFont) {
            SelectObject(recording, child->surfaceFont);
        }
        SetBkMode(recording, TRANSPARENT);
        SetTextColor(recording, toColorref(picture.foreColor));
        if (child->image->layers.empty()) {  // the first layer since the picture was cleared
            RECT all{0, 0, width, height};
            HBRUSH brush = CreateSolidBrush(toColorref(picture.backColor));
            FillRect(recording, &all, brush);
            DeleteObject(brush);
        }
        child->recording = recording;
    }
    return reinterpret_cast<std::uintptr_t>(child->recording);
}

std::uintptr_t FormHost::surfaceImage(forms::Control& control) {
    Child* child = surfaceOf(control);
    if (!child) {
        return 0;
    }
    // What was drawn so far (the background at least); drawing on goes into a layer of its own.
    if (!child->recording && child->image->layers.empty()) {
        surfaceDeviceContext(control);
    }
    closeRecording(*child);
    return reinterpret_cast<std::uintptr_t>(child->image.get());
}

int FormHost::surfaceLineHeight(forms::Control& control) {
    Child* child = surfaceOf(control);
    TEXTMETRICW metrics{};
    if (!child || !GetTextMetricsW(child->surface, &metrics)) {
        return 0;
    }
    return metrics.tmHeight;  // DrawText's step from line to line (no external leading asked)
}

}  // namespace tivora::win32
