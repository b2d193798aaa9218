// The screen's resolution from its device context: the twips per pixel the platform layer gives,
// and the dots per inch the window layer scales by.
#pragma once

#include "platform/screen.h"

namespace tivora::win32 {

class Win32Screen : public platform::Screen {
public:
    double twipsPerPixelX() override;
    double twipsPerPixelY() override;
};

// The screen's dots per inch as the program sees them (96 unless scaled).
int systemDpi();

}  // namespace tivora::win32
