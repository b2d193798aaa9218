// A stand-in for the picture box's drawing surface in unit tests: its device context and image
// are the fake window functions', and clearing it forgets what was drawn.
#pragma once

#include "fakes/fake_window_functions.h"
#include "forms/controls.h"

namespace tivora::fakes {

class FakePictureView : public forms::ControlView {
public:
    explicit FakePictureView(FakeWindowFunctions& windows) : windows_(windows) {}
    void controlChanged(forms::Control&, forms::Change what) override {
        if (what == forms::Change::Clear) {
            windows_.pictureLines.clear();
        }
    }
    bool surfaceMade = true;  // false: the system could not make the surface to draw on
    std::uintptr_t surfaceDeviceContext(forms::Control&) override {
        return surfaceMade ? FakeWindowFunctions::pictureDeviceContext : 0;
    }
    std::uintptr_t surfaceImage(forms::Control&) override { return FakeWindowFunctions::pictureImage; }
    int surfaceLineHeight(forms::Control&) override { return windows_.pictureLineHeight; }

private:
    FakeWindowFunctions& windows_;
};

}  // namespace tivora::fakes
