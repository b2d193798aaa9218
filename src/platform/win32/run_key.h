// The current user's Run key read from the registry, Task Manager's switch for each value, and a
// program file's path as one key however it is written.
#pragma once

#include "platform/run_key.h"

namespace tivora::win32 {

class Win32RunKey : public platform::RunKey {
public:
    std::vector<platform::RunKey::Value> runValues() override;
    bool startSwitchedOff(const std::string& name) override;
    std::string programFileKey(const std::string& path) override;
};

}  // namespace tivora::win32
