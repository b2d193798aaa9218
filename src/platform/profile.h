// The settings file as the system reads and writes it: the private-profile functions, and a
// test whether a file exists.
#pragma once

#include <cstdint>
#include <string>

namespace tivora::platform {

// Kernel32's GetPrivateProfileStringW and WritePrivateProfileStringW. Names, values and the
// file's path go to the system as UTF-16, so that a program folder whose name the system's
// 8-bit code page cannot write (C:\Users\André under code page 1251) still reaches its file. A
// file without a byte-order mark keeps its text in that 8-bit code page: the system converts on
// the way in and out, and a character the code page lacks is written as it writes it (its
// nearest likeness or "?"). A file that begins with the UTF-16LE byte-order mark the system
// reads and writes in UTF-16LE, every character kept.
class Profile {
public:
    virtual ~Profile() = default;
    // Fills buffer (its size is the buffer size handed over, in UTF-16 units) with the value of
    // key in section, or with the default, cut to size - 1 units; the rest of the buffer is
    // unspecified. Returns the number of units copied.
    virtual std::uint32_t GetPrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                                   const std::u16string& defaultText, std::u16string& buffer,
                                                   const std::u16string& file) = 0;
    virtual bool WritePrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                            const std::u16string& value, const std::u16string& file) = 0;
};

class Files {
public:
    virtual ~Files() = default;
    // True when path names an existing file (not a folder).
    virtual bool fileExists(const std::string& path) = 0;
    // The whole file as bytes; a file that cannot be opened is file not found (53).
    virtual std::string readFile(const std::string& path) = 0;
    // Writes the whole file anew: the bytes go to a new file beside it, which then takes its
    // place, so that a failure midway never leaves half a file. False when it could not.
    virtual bool writeFile(const std::string& path, const std::string& bytes) = 0;
};

}  // namespace tivora::platform
