// The main window on the fake system before its start-up: helpers to lay out its files, to start
// it up as the program does, and to count what it asked of the notification area.
#pragma once

#include <map>
#include <string>

#include "fakes/form_facts.h"
#include "fakes/main_window_fixture.h"

namespace tivora::fakes {

struct StartUpFixture : MainWindowFixture {
    static inline const std::string folder = "C:\\Program Files\\Tivora";

    StartUpFixture() { form.hide(); }  // start-up runs on the hidden, loaded window

    void setHelpFile(const std::string& bytes) { fake.files.disk.files[folder + "\\Справка.txt"] = bytes; }
    void setSettings(const std::string& text) {
        fake.files.disk.files[folder + "\\Settings.ini"] = utf8ToCp1251(text);
    }
    std::string settings() { return cp1251ToUtf8(fake.files.file(folder + "\\Settings.ini")); }
    // A whole settings file: every key the window saves with its design value (the message "x"),
    // some keys given other values.
    void setFullSettings(std::map<std::string, std::string> values) {
        values.emplace("Text_Message", "x");
        setSettings(mainWindowFacts().settingsFile(values, 0, 0));
    }
    void startUp() {
        form.load();
        form.show();
        form.activated();
    }
    int notifyCalls(std::uint32_t message) {
        int n = 0;
        for (const auto& call : fake.notifyArea.notifyCalls) {
            n += call.first == message ? 1 : 0;
        }
        return n;
    }
};

}  // namespace tivora::fakes
