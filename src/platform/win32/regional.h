// The user's number format (GetLocaleInfoW) and the conversions between the program's UTF-8 and
// the system's ANSI code page.
#pragma once

#include "platform/regional.h"

namespace tivora::win32 {

class Win32Regional : public platform::Regional {
public:
    NumberFormat numberFormat() override;
    std::string toAnsi(std::string_view text) override;
    std::string fromAnsi(std::string_view bytes) override;
};

// UTF-8 text in the system's ANSI code page, for the functions that take it ("A" functions).
std::string ansiFromUtf8(std::string_view text);

}  // namespace tivora::win32
