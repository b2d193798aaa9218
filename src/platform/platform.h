// All that the program's subsystems ask of the system, one interface per concern.
// The real one lives in platform/win32/; unit tests use the recording fake in tests/fakes/.
#pragma once

#include "platform/application.h"
#include "platform/clock.h"
#include "platform/common_dialog_functions.h"
#include "platform/files.h"
#include "platform/global_memory.h"
#include "platform/instances.h"
#include "platform/message_boxes.h"
#include "platform/notify_area.h"
#include "platform/printer.h"
#include "platform/processes.h"
#include "platform/profile.h"
#include "platform/regional.h"
#include "platform/run_key.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/timers.h"
#include "platform/window_functions.h"

namespace tivora::platform {

struct Platform {
    Application& application;
    Clock& clock;
    MessageBoxes& messageBoxes;
    Regional& regional;
    Screen& screen;
    Processes& processes;
    Shell& shell;
    WindowFunctions& windows;
    Timers& timers;
    Profile& profile;
    Files& files;
    NotifyArea& notifyArea;
    GlobalMemory& memory;
    CommonDialogFunctions& dialogs;
    Printer& printer;
    Instances& instances;
    RunKey& runKey;
};

}  // namespace tivora::platform
