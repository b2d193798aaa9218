// The program's message boxes (MessageBoxW), owned by its active window, and the one that must
// stand above every other window.
#pragma once

#include "platform/message_boxes.h"

namespace tivora::win32 {

class Win32MessageBoxes : public platform::MessageBoxes {
public:
    void show(const std::string& text, const std::string& title) override;
    void showOnTop(const std::string& text, const std::string& title) override;
};

}  // namespace tivora::win32
