// The shell's "open this file with its program" (shell32's ShellExecuteW).
#pragma once

#include "platform/shell.h"

namespace tivora::win32 {

class Win32Shell : public platform::Shell {
public:
    std::intptr_t ShellExecuteW(std::uintptr_t owner, const std::string& verb, const std::string& file,
                                const std::string& parameters, const std::string& directory,
                                int showCommand) override;
};

}  // namespace tivora::win32
