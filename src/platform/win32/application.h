// The running program as Windows knows it: its module file's folder and name, its instance
// handle, and the product name of its version record.
#pragma once

#include <windows.h>

#include <string>

#include "platform/application.h"

namespace tivora::win32 {

class Win32Application : public platform::Application {
public:
    explicit Win32Application(HINSTANCE instance) : instance_(instance) {}

    std::string programFolder() override;
    std::string exeName() override;
    std::uintptr_t instanceHandle() override { return reinterpret_cast<std::uintptr_t>(instance_); }
    std::string productName() override;

private:
    HINSTANCE instance_;
};

// The full path of a module's file (the program's executable for nullptr), however long.
std::wstring modulePath(HMODULE module);

}  // namespace tivora::win32
