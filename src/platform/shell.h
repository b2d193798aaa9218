// The shell's "open this file with its program" (shell32's ShellExecuteW).
#pragma once

#include <cstdint>
#include <string>

namespace tivora::platform {

class Shell {
public:
    virtual ~Shell() = default;
    // The texts are the program's own (UTF-8) and reach the shell as UTF-16, so that a file in
    // a folder whose name the system's 8-bit code page lacks opens too. Returns the shell's
    // answer: above 32 when it started something.
    virtual std::intptr_t ShellExecuteW(std::uintptr_t ownerWindow, const std::string& verb,
                                        const std::string& file, const std::string& parameters,
                                        const std::string& directory, int showCommand) = 0;
};

}  // namespace tivora::platform
