// Modal message boxes: the program's messages and error reports.
#pragma once

#include <string>

namespace tivora::platform {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows text with only an OK button and no icon; returns when the user has closed it.
    virtual void show(const std::string& text, const std::string& title) = 0;
};

}  // namespace tivora::platform
