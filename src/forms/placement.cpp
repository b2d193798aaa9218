// Where a window may stand: the reachability rule for its position, and where it first shows.
#include "forms/placement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tivora::forms {

namespace {

PixelRect intersection(const PixelRect& a, const PixelRect& b) {
    PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    if (r.right < r.left) {
        r.right = r.left;
    }
    if (r.bottom < r.top) {
        r.bottom = r.top;
    }
    return r;
}

// How far apart two rectangles are (squared, 0 when they touch or overlap); 64-bit, since a
// window may have been put tens of thousands of pixels away.
std::int64_t distanceSquared(const PixelRect& a, const PixelRect& b) {
    std::int64_t dx =
        std::max<std::int64_t>({0, std::int64_t{b.left} - a.right, std::int64_t{a.left} - b.right});
    std::int64_t dy =
        std::max<std::int64_t>({0, std::int64_t{b.top} - a.bottom, std::int64_t{a.top} - b.bottom});
    return dx * dx + dy * dy;
}

// A frame of that size at (left, top), moved wholly onto the area (its top-left corner on it
// when it is larger).
PixelRect wholeOn(const PixelRect& area, int left, int top, int width, int height) {
    left = std::max(area.left, std::min(left, area.right - width));
    top = std::max(area.top, std::min(top, area.bottom - height));
    return {left, top, left + width, top + height};
}

}  // namespace

bool titleBarReachable(const PixelRect& window, int titleBarHeight, const std::vector<PixelRect>& workAreas) {
    PixelRect titleBar{window.left, window.top, window.right, window.top + std::max(1, titleBarHeight)};
    // A sliver is not enough to take hold of: at least three title bar heights of its width (all
    // of a narrower window) and half its height.
    int wide = std::min(titleBar.width(), 3 * std::max(1, titleBarHeight));
    int high = std::max(1, titleBar.height() / 2);
    for (const PixelRect& area : workAreas) {
        PixelRect part = intersection(titleBar, area);
        if (part.width() >= wide && part.height() >= high) {
            return true;
        }
    }
    return false;
}

PixelRect reachablePlace(const PixelRect& window, int titleBarHeight,
                         const std::vector<PixelRect>& workAreas) {
    if (workAreas.empty() || titleBarReachable(window, titleBarHeight, workAreas)) {
        return window;
    }
    // The nearest work area; of several that the window overlaps, the one it overlaps most.
    const PixelRect* nearest = nullptr;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    std::int64_t bestOverlap = -1;
    for (const PixelRect& area : workAreas) {
        std::int64_t distance = distanceSquared(window, area);
        PixelRect part = intersection(window, area);
        std::int64_t overlap = std::int64_t{part.width()} * part.height();
        if (distance < bestDistance || (distance == bestDistance && overlap > bestOverlap)) {
            nearest = &area;
            bestDistance = distance;
            bestOverlap = overlap;
        }
    }
    return wholeOn(*nearest, window.left, window.top, window.width(), window.height());
}

PixelRect centredPlace(int width, int height, bool fitWidth, bool fitHeight, const PixelRect& work) {
    width = fitWidth ? std::min(width, work.width()) : width;
    height = fitHeight ? std::min(height, work.height()) : height;
    int left = std::max(work.left, work.left + (work.width() - width) / 2);
    int top = std::max(work.top, work.top + (work.height() - height) / 2);
    return {left, top, left + width, top + height};
}

PixelRect fittedPlace(const PixelRect& window, bool fitWidth, bool fitHeight, const PixelRect& work) {
    const bool wider = fitWidth && window.width() > work.width();
    const bool taller = fitHeight && window.height() > work.height();
    return !wider && !taller ? window
                             : wholeOn(work, window.left, window.top, wider ? work.width() : window.width(),
                                       taller ? work.height() : window.height());
}

}  // namespace tivora::forms
