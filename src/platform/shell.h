// The shell's "open this file with its program" (shell32's ShellExecuteA).
#pragma once

#include <cstdint>
#include <string>

namespace tivora::platform {

class Shell {
public:
    virtual ~Shell() = default;
    // Returns the shell's answer: above 32 when it started something.
    virtual std::intptr_t ShellExecuteA(std::uintptr_t ownerWindow, const std::string& verb, const std::string& file,
                                        const std::string& parameters, const std::string& directory,
                                        int showCommand) = 0;
};

}  // namespace tivora::platform
