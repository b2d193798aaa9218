// Starting other programs by command line, without waiting for them.
#pragma once

#include <cstdint>
#include <string>

namespace tivora::platform {

// How the started program's window comes up.
enum class WindowStyle {
    Hidden = 0,
    NormalFocus = 1,
    MinimizedFocus = 2,
    MaximizedFocus = 3,
    NormalNoFocus = 4,
    MinimizedNoFocus = 6,
};

class Processes {
public:
    virtual ~Processes() = default;
    // Starts the command line and returns the process number at once. A program that cannot
    // be found is a file-not-found failure (53); any other refusal an invalid call (5).
    virtual std::uint32_t start(const std::string& commandLine, WindowStyle style) = 0;
    // Starts one of Windows' own programs ("reg.exe") from the system folder with the arguments,
    // never a program of that name lying elsewhere (in the program's folder, or the current
    // folder); fails as start does.
    virtual std::uint32_t startSystemTool(const std::string& tool, const std::string& arguments,
                                          WindowStyle style) = 0;
};

}  // namespace tivora::platform
