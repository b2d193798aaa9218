// A recording stand-in for the system, for unit tests: one fake per concern, all writing to one
// transcript of what was asked of the system; it shows no windows.
#pragma once

#include "fakes/fake_application.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_common_dialog_functions.h"
#include "fakes/fake_files.h"
#include "fakes/fake_global_memory.h"
#include "fakes/fake_instances.h"
#include "fakes/fake_message_boxes.h"
#include "fakes/fake_notify_area.h"
#include "fakes/fake_printer.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_regional.h"
#include "fakes/fake_run_key.h"
#include "fakes/fake_screen.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_timers.h"
#include "fakes/fake_transcript.h"
#include "fakes/fake_window_functions.h"
#include "platform/platform.h"

namespace tivora::fakes {

class FakePlatform {
public:
    FakePlatform() = default;
    FakePlatform(const FakePlatform&) = delete;  // its fakes hold references into it
    FakePlatform& operator=(const FakePlatform&) = delete;

    // Everything asked of the system, one line per request, in order.
    Transcript transcript;
    FakeApplication application;
    FakeClock clock;
    FakeMessageBoxes boxes{transcript};
    FakeRegional regional;
    FakeScreen screen;
    FakeProcesses processes{transcript};
    FakeShell shell{transcript};
    FakeWindowFunctions windows{transcript};
    FakeTimers timers;
    FakeFiles files;
    FakeNotifyArea notifyArea{transcript};
    FakeGlobalMemory memory{transcript};
    FakePrinter printer{transcript, windows};
    FakeCommonDialogFunctions dialogs{memory, printer};
    FakeInstances instances{transcript};
    FakeRunKey runKey;

    platform::Platform platform() {
        return {application,   clock, boxes,      regional, screen,  processes, shell,     windows, timers,
                files.profile, files, notifyArea, memory,   dialogs, printer,   instances, runKey};
    }
};

}  // namespace tivora::fakes
