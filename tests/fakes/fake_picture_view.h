// A stand-in for the picture box's drawing surface in unit tests: its device context and image
// are the fake system's, and clearing it forgets what was drawn.
#pragma once

#include "fakes/fake_platform.h"
#include "forms/controls.h"

namespace tivora::fakes {

class FakePictureView : public forms::ControlView {
public:
    explicit FakePictureView(FakePlatform& fake) : fake_(fake) {}
    void controlChanged(forms::Control&, forms::Change what) override {
        if (what == forms::Change::Clear) {
            fake_.pictureLines.clear();
        }
    }
    std::uintptr_t surfaceDeviceContext(forms::Control&) override {
        return FakePlatform::pictureDeviceContext;
    }
    std::uintptr_t surfaceImage(forms::Control&) override { return FakePlatform::pictureImage; }
    int surfaceLineHeight(forms::Control&) override { return fake_.pictureLineHeight; }

private:
    FakePlatform& fake_;
};

}  // namespace tivora::fakes
