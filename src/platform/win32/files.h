// Whole files by their UTF-8 paths through kernel32: read, written, flushed, put in another's
// place keeping what the user made of it, links followed, and the system's own words for a refusal.
#pragma once

#include "platform/files.h"

namespace tivora::win32 {

class Win32Files : public platform::Files {
public:
    bool fileExists(const std::string& path) override;
    platform::FileError read(const std::string& path, std::string& bytes) override;
    platform::FileError write(const std::string& path, const std::string& bytes) override;
    platform::FileError flush(const std::string& path) override;
    platform::FileError linkTarget(const std::string& path, std::string& target) override;
    bool readOnly(const std::string& path) override;
    std::uint32_t names(const std::string& path) override;
    platform::FileError mayReplace(const std::string& path) override;
    platform::FileError replace(const std::string& target, const std::string& fresh,
                                const std::string& backup) override;
    platform::FileError move(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;
    std::string errorText(platform::FileError error) override;
};

}  // namespace tivora::win32
