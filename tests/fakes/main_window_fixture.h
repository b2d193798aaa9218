// The main window on the recording fake, with helpers to drive its clock and timers.
#pragma once

#include <gtest/gtest.h>

#include "fakes/fake_form_view.h"
#include "fakes/fake_platform.h"
#include "main_window/form_main.h"
#include "settings/ini_functions.h"
#include "version.h"

namespace tivora::fakes {

// Display scales whose pixel is 15, 12, 10, 8.571..., 7.5, 6.666... and 4.285... twips: whole,
// halves, and thirds and sevenths that no float or double holds exactly.
inline constexpr int everyDpi[] = {96, 120, 144, 168, 192, 216, 336};

struct MainWindowFixture : ::testing::Test {
    FakePlatform fake;
    platform::Platform system = fake.platform();
    ErrorReporter reporter{platform::reportBox(fake.boxes, TIVORA_TITLE)};
    INI_Functions ini{system, reporter};
    Form_Main form{system, reporter, ini};
    FakeFormView view;

    MainWindowFixture() {
        form.setView(&view);
        form.show();
    }

    // The screen's scale, and the window's copy of it as the program makes at start.
    void setDpi(int dpi) {
        fake.screen.twipsPerPixel = 1440.0 / dpi;
        form.twipsPerPixelX = form.twipsPerPixelY = fake.screen.twipsPerPixel;
    }

    // One tick of the one-second timer at the given time, and its read half a second later.
    void tickAt(const DateTime& time) {
        fake.clock.time = time;
        form.Timer_Run.tick();
        fake.timers.runTimers();
    }

    void clickStart() {
        form.Command_ON_OFF.click();
        fake.timers.runTimers();
    }

    // Messages the program has shown with the given text.
    int shown(const std::string& text) const {
        int n = 0;
        for (const auto& m : fake.boxes.messages) {
            n += m.text == text ? 1 : 0;
        }
        return n;
    }
};

}  // namespace tivora::fakes
