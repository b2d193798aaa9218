// The main window on the fake system before its start-up: helpers to lay out its files, to start
// it up as the program does, and to count what it asked of the notification area.
#pragma once

#include <map>
#include <string>

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
    // A whole settings file of the design values, with some keys given other values.
    void setFullSettings(const std::map<std::string, std::string>& values) {
        std::map<std::string, std::string> keys{
            {"Check_Message_Exit", "0"}, {"Check_FullScreen_Brake", "0"}, {"Check_Minimize", "0"},
            {"Check_AutoStart", "0"},    {"Combo_Percents", "50%"},       {"Option_Melody", "False"},
            {"Option_Volume", "False"},  {"Option_Message", "True"},      {"Check_MsgBox", "0"},
            {"Text_Message", "x"},       {"Text_Minute", "00"},           {"Text_Hour", "23"}};
        for (const auto& [key, value] : values) {
            keys[key] = value;
        }
        std::string text = "[Form_Main]\r\n";
        for (const auto& [key, value] : keys) {
            text += "Form_Main_" + key + "=" + value + "\r\n";
        }
        setSettings(text + "[Program_Settings]\r\nForm_Left=0\r\nForm_Top=0\r\n");
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
