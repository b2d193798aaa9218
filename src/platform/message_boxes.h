// Modal message boxes: the program's messages and error reports.
#pragma once

#include <string>

#include "base/report.h"
#include "version.h"

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

// The error report's box: a message box titled with the program title.
inline ReportBox reportBox(MessageBoxes& boxes) {
    return [&boxes](const std::string& text) { boxes.show(text, TIVORA_TITLE); };
}

}  // namespace tivora::platform
