// Modal message boxes: the program's messages and error reports.
#pragma once

#include <string>
#include <utility>

#include "base/report.h"

namespace tivora::platform {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows text with only an OK button and no icon; returns when the user has closed it.
    virtual void show(const std::string& text, const std::string& title) = 0;
    // The same box standing above every other window, also while the user works in another
    // program that Windows will not let us take the foreground from: the evening's message.
    virtual void showOnTop(const std::string& text, const std::string& title) = 0;
};

// The error report's box: a message box with the title its composer gives (the program's).
inline ReportBox reportBox(MessageBoxes& boxes, std::string title) {
    return [&boxes, title = std::move(title)](const std::string& text) { boxes.show(text, title); };
}

}  // namespace tivora::platform
