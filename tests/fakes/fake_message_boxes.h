// A stand-in for the system's message boxes: it records each box shown and lets a test act while
// one is "open".
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_transcript.h"
#include "platform/message_boxes.h"

namespace tivora::fakes {

struct ShownMessage {
    std::string text;
    std::string title;
    bool onTop = false;  // above every other window
};

class FakeMessageBoxes : public platform::MessageBoxes {
public:
    explicit FakeMessageBoxes(Transcript& transcript) : transcript_(transcript) {}

    std::vector<ShownMessage> messages;
    // Runs while a message box is "open", as the user's time in front of it.
    std::function<void(const ShownMessage&)> onMessage;

    void show(const std::string& text, const std::string& title) override {
        transcript_.push_back("MessageBox " + title + ": " + text);
        messages.push_back({text, title, std::exchange(nextBoxOnTop_, false)});
        if (onMessage) {
            onMessage(messages.back());
        }
    }
    void showOnTop(const std::string& text, const std::string& title) override {
        nextBoxOnTop_ = true;
        show(text, title);
    }
    bool nextBoxOnTop_ = false;

private:
    Transcript& transcript_;
};

}  // namespace tivora::fakes
