// Where a window may stand so that the user can reach it: its title bar on a monitor's work
// area. A position saved on a larger desktop, on a monitor that has gone, or a file edited by
// hand must not put the window where nobody can see or move it.
#pragma once

#include <vector>

namespace tivora::forms {

// A rectangle in screen pixels; right and bottom are outside it.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// True when enough of the window's title bar (its top titleBarHeight pixels) lies on one of the
// work areas for the user to take hold of it.
bool titleBarReachable(const PixelRect& window, int titleBarHeight, const std::vector<PixelRect>& workAreas);

// The window's frame where it can be reached: unchanged when its title bar is reachable;
// otherwise moved, size kept, wholly onto the nearest work area (its top-left corner in the
// work area when it is larger). Without work areas the window stays where it is.
PixelRect reachablePlace(const PixelRect& window, int titleBarHeight,
                         const std::vector<PixelRect>& workAreas);

// A window of width x height centred on the work area. One larger than the work area is made to
// fit it only along an axis whose edge its controls follow (fitWidth, fitHeight); otherwise it
// keeps its size, with its top-left corner on the work area.
PixelRect centredPlace(int width, int height, bool fitWidth, bool fitHeight, const PixelRect& work);

// The frame Windows suggests at a new DPI: where it is larger than the work area along an axis it
// may be fitted in, made to fit as at the first show and brought wholly onto the work area;
// otherwise as suggested (a window dragged across monitors stays under the pointer).
PixelRect fittedPlace(const PixelRect& window, bool fitWidth, bool fitHeight, const PixelRect& work);

}  // namespace tivora::forms
