// The settings file as the system reads and writes it: the private-profile functions, and a
// test whether a file exists.
#pragma once

#include <cstdint>
#include <string>

namespace tivora::platform {

// Kernel32's GetPrivateProfileStringA and WritePrivateProfileStringA. Every text here is in the
// system's 8-bit code page, as those functions take it.
class Profile {
public:
    virtual ~Profile() = default;
    // Fills buffer (its size is the buffer size handed over) with the value of key in section,
    // or with the default, cut to size - 1 characters; the rest of the buffer is unspecified.
    // Returns the number of characters copied.
    virtual std::uint32_t GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                                   const std::string& defaultText, std::string& buffer,
                                                   const std::string& file) = 0;
    virtual bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                            const std::string& value, const std::string& file) = 0;
};

class Files {
public:
    virtual ~Files() = default;
    // True when path names an existing file (not a folder).
    virtual bool fileExists(const std::string& path) = 0;
    // The whole file as bytes; a file that cannot be opened is file not found (53).
    virtual std::string readFile(const std::string& path) = 0;
};

}  // namespace tivora::platform
