// Where a window stands and how big it is drawn: the DPI it is shown at, its icons and fonts at
// that DPI, its controls laid out from their twips, its position to and from the model in twips,
// and the window kept within reach on the monitors' work areas.
#include "forms/win32/form_host.h"

#include "forms/placement.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "forms/win32/form_host_internal.h"
#include "platform/win32/late_binding.h"
#include "platform/win32/screen.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

using namespace detail;

namespace {

UINT windowDpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    UINT dpi = getDpiForWindow && hwnd ? getDpiForWindow(hwnd) : 0;
    return dpi ? dpi : static_cast<UINT>(systemDpi());
}

// A system metric (an icon's size) as a window at that DPI has it (Windows 10 1607 and later;
// before, the start-up scale's, scaled).
int metricForDpi(int metric, int dpi) {
    static auto forDpi = lateBound<int(WINAPI*)(int, UINT)>(L"user32.dll", "GetSystemMetricsForDpi");
    int size = forDpi ? forDpi(metric, static_cast<UINT>(dpi)) : 0;
    return size > 0 ? size : MulDiv(GetSystemMetrics(metric), dpi, systemDpi());
}

// The window's frame around a client area at a DPI: AdjustWindowRectEx knows only the start-up
// DPI (its DPI-aware form came with Windows 10 1607; before, a window has no other).
void adjustFrame(RECT& frame, DWORD style, int dpi) {
    using ForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static auto forDpi = lateBound<ForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
    if (!forDpi || !forDpi(&frame, style, FALSE, 0, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&frame, style, FALSE, 0);
    }
}

// Whether a control of the form follows that edge of the window (is moved or stretched with it).
bool controlsFollow(const forms::Form& form, forms::Control::Follow forms::Control::*edge) {
    const auto& all = form.controls();
    return std::any_of(all.begin(), all.end(),
                       [&](const forms::Control* c) { return c->*edge != forms::Control::Follow::None; });
}

// The notification area's icons are small icons at the DPI of the primary monitor, where its
// taskbar stands (GetDpiForMonitor, Windows 8.1 and later; before, the start-up DPI is the only one).
int notifyAreaIconSize() {
    using ForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static auto forMonitor = lateBound<ForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    HMONITOR primary = MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    bool told = forMonitor && forMonitor(primary, 0 /* MDT_EFFECTIVE_DPI */, &x, &y) == S_OK && x > 0;
    return metricForDpi(SM_CXSMICON, told ? static_cast<int>(x) : systemDpi());
}

// The frame of icon resource id that an icon of size pixels is made from, and its resource id.
struct IconFrame {
    int size = 0;
    int id = 0;
};

IconFrame pickIconFrame(HINSTANCE instance, int id, int size) {
    // The group lists its frames: 6 bytes of header, then 14 a frame (width first, id last).
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    auto* group = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    DWORD bytes = found ? SizeofResource(instance, found) : 0;
    IconFrame best;
    for (DWORD at = 6; group && at + 14 <= bytes; at += 14) {
        int width = group[at] ? group[at] : 256;
        // A frame large enough beats one too small and a larger one; one too small, a smaller one.
        if (width >= size ? best.size < size || width < best.size : best.size < width) {
            WORD frameId;
            std::memcpy(&frameId, group + at + 12, sizeof frameId);
            best = {width, frameId};
        }
    }
    return best;
}

}  // namespace

namespace detail {

int iconFrame(HINSTANCE instance, int id, int size) { return pickIconFrame(instance, id, size).size; }

HICON loadIcon(HINSTANCE instance, int id, int size) {
    // LoadImage would stretch the frame nearest in size, a smaller one as readily as a larger.
    IconFrame frame = pickIconFrame(instance, id, size);
    HRSRC found = frame.id ? FindResourceW(instance, MAKEINTRESOURCEW(frame.id), RT_ICON) : nullptr;
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    auto* bits = static_cast<BYTE*>(loaded ? LockResource(loaded) : nullptr);
    return bits ? CreateIconFromResourceEx(bits, SizeofResource(instance, found), TRUE, 0x00030000, size,
                                           size, LR_DEFAULTCOLOR)
                : nullptr;
}

}  // namespace detail

DWORD FormHost::windowStyle() const {
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (style_.minimizeBox) {
        style |= WS_MINIMIZEBOX;
    }
    return style;
}

SIZE FormHost::frameSize(int dpi) const {
    RECT frame{0, 0, MulDiv(form_.clientWidth(), dpi, 1440), MulDiv(form_.clientHeight(), dpi, 1440)};
    adjustFrame(frame, windowStyle(), dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

RECT FormHost::initialFrame() const {
    const auto [width, height] = frameSize(dpi_);
    if (!form_.centreWhenFirstShown) {
        int x = screenPixels(form_.left(), form_.twipsPerPixelX);
        int y = screenPixels(form_.top(), form_.twipsPerPixelY);
        return {x, y, x + width, y + height};
    }
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // A window larger than the work area (a large scale on a small screen) is made to fit it only
    // where its controls follow its edges: elsewhere shrinking would cut the last ones off.
    forms::PixelRect place = forms::centredPlace(
        width, height, controlsFollow(form_, &forms::Control::followRight),
        controlsFollow(form_, &forms::Control::followBottom), {work.left, work.top, work.right, work.bottom});
    return {place.left, place.top, place.right, place.bottom};
}

void FormHost::adoptWindowDpi() {
    // A per-monitor aware window on another monitor than the main one has that monitor's DPI.
    UINT dpi = windowDpi(hwnd_);
    if (static_cast<int>(dpi) != dpi_) {
        dpi_ = static_cast<int>(dpi);
        RECT frame = initialFrame();  // placed and fitted again at the window's own DPI
        SetWindowPos(hwnd_, nullptr, frame.left, frame.top, frame.right - frame.left,
                     frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    makeFonts();
    makeIcons();
    makeNotifyAreaIcon();
}

void FormHost::makeIcons() {
    if (style_.icon == 0) {
        return;
    }
    HICON big = loadIcon(instance_, style_.icon, metricForDpi(SM_CXICON, dpi_));
    HICON small = loadIcon(instance_, style_.icon, metricForDpi(SM_CXSMICON, dpi_));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    for (HICON old : {std::exchange(bigIcon_, big), std::exchange(smallIcon_, small)}) {
        if (old) {
            DestroyIcon(old);
        }
    }
}

void FormHost::makeNotifyAreaIcon() {
    int size = notifyAreaIconSize();
    if (style_.icon == 0 || (notifyAreaIcon_ && size == notifyAreaIconSize_)) {
        return;
    }
    notifyAreaIconSize_ = size;
    HICON old = std::exchange(notifyAreaIcon_, loadIcon(instance_, style_.icon, size));
    if (old) {
        form_.iconChanged();  // the tray takes the new one before the old one goes
        DestroyIcon(old);
    }
}

void FormHost::makeFonts() {
    freeFonts();
    // Controls without a font of their own use the system's dialog font.
    defaultFont_ =
        CreateFontW(-MulDiv(8, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Shell Dlg");
}

void FormHost::freeFonts() {
    for (HFONT font : fonts_) {
        DeleteObject(font);
    }
    fonts_.clear();
    if (defaultFont_) {
        DeleteObject(defaultFont_);
        defaultFont_ = nullptr;
    }
}

void FormHost::layout(bool move) {
    // One font object per font: the two buttons share theirs.
    std::vector<std::pair<const forms::Font*, HFONT>> made;
    for (auto& child : children_) {
        if (!child.hwnd) {
            continue;
        }
        const forms::Font* font = nullptr;
        if (auto* button = child.control->as<forms::CommandButton>()) {
            font = &button->font;
        } else if (auto* box = child.control->as<forms::TextBox>()) {
            font = &box->font;
        }
        // (A picture box's font is its drawing surface's; the box itself shows no text.)
        HFONT hfont = defaultFont_;
        if (font && !font->isDefault()) {
            auto same =
                std::find_if(made.begin(), made.end(), [&](const auto& m) { return *m.first == *font; });
            if (same != made.end()) {
                hfont = same->second;
            } else {
                hfont = createFont(*font, dpi_);
                fonts_.push_back(hfont);
                made.emplace_back(font, hfont);
            }
        }
        SendMessageW(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(hfont), FALSE);
        if (move) {
            RECT place = childPlace(*child.control);
            int extraHeight = child.control->kind() == forms::Control::Kind::ComboBox ? 160 : 0;
            SetWindowPos(child.hwnd, nullptr, place.left, place.top, place.right - place.left,
                         place.bottom - place.top + extraHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    clipNamingLabels();
}

RECT FormHost::childPlace(const forms::Control& control) const {
    const forms::Rect& r = control.rect();
    RECT place{toPixels(r.left), toPixels(r.top), toPixels(r.left) + toPixels(r.width),
               toPixels(r.top) + toPixels(r.height)};
    RECT client{};
    if (!hwnd_ || !GetClientRect(hwnd_, &client)) {
        return place;
    }
    auto follow = [](forms::Control::Follow how, LONG& low, LONG& high, int by) {
        low += how == forms::Control::Follow::Move ? by : 0;
        high += how == forms::Control::Follow::None ? 0 : by;
    };
    follow(control.followRight, place.left, place.right, client.right - toPixels(form_.clientWidth()));
    follow(control.followBottom, place.top, place.bottom, client.bottom - toPixels(form_.clientHeight()));
    return place;
}

void FormHost::clipNamingLabels() {
    const auto& tabOrder = form_.tabOrder();
    for (auto& label : children_) {
        if (!label.namingLabel || !label.hwnd) {
            continue;
        }
        RECT own{};
        GetWindowRect(label.hwnd, &own);
        HRGN region = CreateRectRgn(0, 0, own.right - own.left, own.bottom - own.top);
        bool cut = false;
        for (auto& other : children_) {
            RECT r{};
            RECT overlap{};
            if (&other == &label || !other.hwnd ||
                std::find(tabOrder.begin(), tabOrder.end(), other.control) == tabOrder.end() ||
                !GetWindowRect(other.hwnd, &r) || !IntersectRect(&overlap, &own, &r)) {
                continue;
            }
            OffsetRect(&overlap, -own.left, -own.top);
            HRGN covered = CreateRectRgnIndirect(&overlap);
            CombineRgn(region, region, covered, RGN_DIFF);
            DeleteObject(covered);
            cut = true;
        }
        if (cut) {
            SetWindowRgn(label.hwnd, region, TRUE);  // the window keeps the region from now on
        } else {
            DeleteObject(region);
            SetWindowRgn(label.hwnd, nullptr, TRUE);
        }
    }
}

int FormHost::screenPixels(double twips, double twipsPerPixel) {
    // A position from a file may be anything that single precision holds; Windows keeps window
    // positions within 16 bits, and the reachability check brings a far one back.
    constexpr double farthest = 30000;
    double pixels = twipsPerPixel > 0 ? twips / twipsPerPixel : 0;
    if (!(pixels > -farthest)) {
        pixels = -farthest;  // NaN too
    } else if (pixels > farthest) {
        pixels = farthest;
    }
    return static_cast<int>(std::lround(pixels));
}

void FormHost::reportPosition() {
    // The position the model keeps (and the settings file gets) is where the window stands when
    // it is neither minimised nor maximised: a minimised window is parked at -32000, -32000.
    RECT r{};
    if (hwnd_ && !IsIconic(hwnd_) && !IsZoomed(hwnd_) && GetWindowRect(hwnd_, &r)) {
        form_.moved(r.left * form_.twipsPerPixelX, r.top * form_.twipsPerPixelY);
    }
}

void FormHost::applyPosition() {
    SetWindowPos(hwnd_, nullptr, screenPixels(form_.left(), form_.twipsPerPixelX),
                 screenPixels(form_.top(), form_.twipsPerPixelY), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (IsWindowVisible(hwnd_)) {
        keepReachable();
    }
}

namespace {

BOOL CALLBACK addWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& w = info.rcWork;
        reinterpret_cast<std::vector<forms::PixelRect>*>(areas)->push_back(
            {w.left, w.top, w.right, w.bottom});
    }
    return TRUE;
}

}  // namespace

void FormHost::keepReachable() {
    RECT r{};
    if (!hwnd_ || IsIconic(hwnd_) || IsZoomed(hwnd_) || !GetWindowRect(hwnd_, &r)) {
        return;
    }
    std::vector<forms::PixelRect> workAreas;
    EnumDisplayMonitors(nullptr, nullptr, &addWorkArea, reinterpret_cast<LPARAM>(&workAreas));
    POINT client{0, 0};
    ClientToScreen(hwnd_, &client);
    forms::PixelRect window{r.left, r.top, r.right, r.bottom};
    forms::PixelRect place = forms::reachablePlace(window, client.y - r.top, workAreas);
    if (!(place == window)) {
        SetWindowPos(hwnd_, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void FormHost::dpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    // The size given for WM_GETDPISCALEDSIZE; where that was not asked (before Windows 10 1703),
    // Windows' is the old frame scaled, a few pixels off. Larger than the work area, fitted as at first.
    const SIZE size = frameSize(dpi);
    forms::PixelRect place{suggested.left, suggested.top, suggested.left + size.cx, suggested.top + size.cy};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), &info)) {
        const RECT& w = info.rcWork;
        place = forms::fittedPlace(place, controlsFollow(form_, &forms::Control::followRight),
                                   controlsFollow(form_, &forms::Control::followBottom),
                                   {w.left, w.top, w.right, w.bottom});
    }
    SetWindowPos(hwnd_, nullptr, place.left, place.top, place.width(), place.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    makeFonts();
    makeIcons();
    makeNotifyAreaIcon();
    layout();
}

}  // namespace tivora::win32
