// A recording stand-in for the system, for unit tests: it keeps a transcript of what was asked
// of it, shows no windows, and lets a test set the clock and the regional settings.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/platform.h"

namespace tivora::fakes {

struct ShownMessage {
    std::string text;
    std::string title;
};

class FakePlatform : public platform::Application,
                     public platform::Clock,
                     public platform::MessageBoxes,
                     public platform::Regional,
                     public platform::Screen {
public:
    // Everything asked of the system, one line per request, in order.
    std::vector<std::string> transcript;
    std::vector<ShownMessage> messages;

    DateTime time{2026, 12, 7, 22, 59, 30};
    NumberFormat format = NumberFormat::russian();
    std::string folder = "C:\\Program Files\\Tivora";
    double twipsPerPixel = 15;

    platform::Platform platform() { return {*this, *this, *this, *this, *this}; }

    // Application
    std::string programFolder() override { return folder; }
    std::string exeName() override { return "Tivora"; }
    std::uintptr_t instanceHandle() override { return 0x400000; }
    std::string productName() override { return "Tivora!!! v.1.1"; }

    // Clock
    DateTime now() override { return time; }

    // MessageBoxes
    void show(const std::string& text, const std::string& title) override {
        transcript.push_back("MessageBox " + title + ": " + text);
        messages.push_back({text, title});
        if (onMessage) {
            onMessage(messages.back());
        }
    }
    // Runs while a message box is "open", as the user's time in front of it.
    std::function<void(const ShownMessage&)> onMessage;

    // Regional
    NumberFormat numberFormat() override { return format; }
    std::string toAnsi(std::string_view text) override { return utf8ToCp1251(text); }
    std::string fromAnsi(std::string_view bytes) override { return cp1251ToUtf8(bytes); }

    // Screen
    double twipsPerPixelX() override { return twipsPerPixel; }
    double twipsPerPixelY() override { return twipsPerPixel; }
};

}  // namespace tivora::fakes
