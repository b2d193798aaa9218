// A stand-in for the screen: its scale, in twips per pixel, as a test sets it.
#pragma once

#include "platform/screen.h"

namespace tivora::fakes {

class FakeScreen : public platform::Screen {
public:
    double twipsPerPixel = 15;

    double twipsPerPixelX() override { return twipsPerPixel; }
    double twipsPerPixelY() override { return twipsPerPixel; }
};

}  // namespace tivora::fakes
