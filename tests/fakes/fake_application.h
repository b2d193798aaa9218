// A stand-in for what the system tells of the program itself: its folder, name and instance.
#pragma once

#include <cstdint>
#include <string>

#include "platform/application.h"

namespace tivora::fakes {

class FakeApplication : public platform::Application {
public:
    std::string folder = "C:\\Program Files\\Tivora";

    std::string programFolder() override { return folder; }
    std::string exeName() override { return "Tivora"; }
    std::uintptr_t instanceHandle() override { return 0x400000; }
    std::string productName() override { return "Tivora!!! v.1.1"; }
};

}  // namespace tivora::fakes
