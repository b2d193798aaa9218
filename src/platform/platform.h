// All that the program's subsystems ask of the system, one interface per concern.
// The real one lives in platform/win32/; unit tests use the recording fake in tests/fakes/.
#pragma once

#include "platform/application.h"
#include "platform/clock.h"
#include "platform/message_boxes.h"
#include "platform/regional.h"
#include "platform/screen.h"

namespace tivora::platform {

struct Platform {
    Application& application;
    Clock& clock;
    MessageBoxes& messageBoxes;
    Regional& regional;
    Screen& screen;
};

}  // namespace tivora::platform
