// Other programs started by command line (CreateProcessW), Windows' own tools by their full path
// in the system folder.
#pragma once

#include <string>

#include "platform/processes.h"

namespace tivora::win32 {

class Win32Processes : public platform::Processes {
public:
    std::uint32_t start(const std::string& commandLine, platform::WindowStyle style) override;
    std::uint32_t startSystemTool(const std::string& tool, const std::string& arguments,
                                  platform::WindowStyle style) override;
};

// The tool's full path in the system folder, and the command line it is started with: that
// path quoted, then the arguments.
std::wstring systemToolPath(const std::string& tool);
std::wstring systemToolCommandLine(const std::string& tool, const std::string& arguments);

}  // namespace tivora::win32
