// The screen's resolution as the window layer counts it.
#pragma once

namespace tivora::platform {

class Screen {
public:
    virtual ~Screen() = default;
    // 1440 divided by the screen's dots per inch: 15 at 96 DPI, 12 at 120 DPI.
    virtual double twipsPerPixelX() = 0;
    virtual double twipsPerPixelY() = 0;
};

}  // namespace tivora::platform
