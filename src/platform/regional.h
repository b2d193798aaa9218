// The user's regional settings and the system's 8-bit code page.
#pragma once

#include <string>
#include <string_view>

#include "base/numbers.h"

namespace tivora::platform {

class Regional {
public:
    virtual ~Regional() = default;
    virtual NumberFormat numberFormat() = 0;
    // Conversions between the program's UTF-8 and the system's ANSI code page (1251 in Russia);
    // characters the code page lacks become its substitute character.
    virtual std::string toAnsi(std::string_view text) = 0;
    virtual std::string fromAnsi(std::string_view bytes) = 0;
};

}  // namespace tivora::platform
