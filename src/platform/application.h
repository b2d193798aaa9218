// What the running program knows about itself: where it lives and what it is called.
#pragma once

#include <cstdint>
#include <string>

namespace tivora::platform {

class Application {
public:
    virtual ~Application() = default;
    // The folder that holds the program's executable, without a trailing backslash.
    virtual std::string programFolder() = 0;
    // The executable's file name without extension ("Tivora").
    virtual std::string exeName() = 0;
    virtual std::uintptr_t instanceHandle() = 0;
    // The product name of the executable's own version record ("Tivora!!! v.1.1").
    virtual std::string productName() = 0;
};

}  // namespace tivora::platform
