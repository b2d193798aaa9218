// The system as Windows gives it: one backend per concern of platform/, owned together and
// handed to the program as one Platform record.
#pragma once

#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/application.h"
#include "platform/win32/clock.h"
#include "platform/win32/common_dialogs.h"
#include "platform/win32/files.h"
#include "platform/win32/global_memory.h"
#include "platform/win32/message_boxes.h"
#include "platform/win32/notify_area.h"
#include "platform/win32/processes.h"
#include "platform/win32/profile.h"
#include "platform/win32/program_copies.h"
#include "platform/win32/regional.h"
#include "platform/win32/run_key.h"
#include "platform/win32/screen.h"
#include "platform/win32/shell.h"
#include "platform/win32/timers.h"
#include "platform/win32/win32_printer.h"
#include "platform/win32/window_functions.h"

namespace tivora::win32 {

class Win32Platform {
public:
    explicit Win32Platform(HINSTANCE instance);

    platform::Platform platform();
    // The shell has broadcast "TaskbarCreated"; the application window passes it on.
    void notifyAreaCreated() { notifyArea_.notifyAreaCreated(); }

private:
    Win32Application application_;
    Win32Clock clock_;
    Win32MessageBoxes messageBoxes_;
    Win32Regional regional_;
    Win32Screen screen_;
    Win32Processes processes_;
    Win32Shell shell_;
    Win32WindowFunctions windows_;
    Win32Timers timers_;
    Win32Profile profile_;
    Win32Files files_;
    Win32NotifyArea notifyArea_;
    Win32GlobalMemory memory_;
    Win32CommonDialogs dialogs_;
    Win32Printer printer_;
    ProgramCopies copies_;
    Win32RunKey runKey_;
};

}  // namespace tivora::win32
