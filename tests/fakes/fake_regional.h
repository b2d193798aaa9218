// A stand-in for the system's regional settings: the number format a test sets, and the ANSI
// code page taken as Windows-1251.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"
#include "platform/regional.h"

namespace tivora::fakes {

class FakeRegional : public platform::Regional {
public:
    NumberFormat format = NumberFormat::russian();

    NumberFormat numberFormat() override { return format; }
    std::string toAnsi(std::string_view text) override { return utf8ToCp1251(text); }
    std::string fromAnsi(std::string_view bytes) override { return cp1251ToUtf8(bytes); }
};

}  // namespace tivora::fakes
