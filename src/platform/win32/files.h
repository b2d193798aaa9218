// Whole files by their UTF-8 paths through kernel32: read, written, flushed, put in another's
// place in one step, and the system's own words for a refusal.
#pragma once

#include "platform/profile.h"

namespace tivora::win32 {

class Win32Files : public platform::Files {
public:
    bool fileExists(const std::string& path) override;
    platform::FileError read(const std::string& path, std::string& bytes) override;
    platform::FileError write(const std::string& path, const std::string& bytes) override;
    platform::FileError flush(const std::string& path) override;
    platform::FileError replace(const std::string& fresh, const std::string& target) override;
    void remove(const std::string& path) override;
    std::string errorText(platform::FileError error) override;
    void pause(int milliseconds) override;
};

}  // namespace tivora::win32
