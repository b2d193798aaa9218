// The settings file as the system reads and writes it: the private-profile functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_error.h"

namespace tivora::platform {

// A value as the profile functions read it back: blanks around it dropped, then one pair of the
// same quotation marks around it.
std::string profileValueAsRead(std::string_view stored);

// Kernel32's GetPrivateProfileStringW and WritePrivateProfileStringW, all in UTF-16 so that any
// folder's name reaches its file. A file without a byte-order mark is in the 8-bit code page (a
// character it lacks written as "?" or a likeness); one with the UTF-16LE mark keeps every one.
class Profile {
public:
    virtual ~Profile() = default;
    // Fills buffer (its size is the buffer size handed over, in UTF-16 units) with the value of
    // key in section, or with the default, cut to size - 1 units; the rest of the buffer is
    // unspecified. Returns the number of units copied. A file that cannot be read reads as none.
    virtual std::uint32_t GetPrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                                   const std::u16string& defaultText, std::u16string& buffer,
                                                   const std::u16string& file) = 0;
    // False when the system refused the write; lastWriteError() then says why.
    virtual bool WritePrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                            const std::u16string& value, const std::u16string& file) = 0;
    virtual FileError lastWriteError() { return fileError::writeFault; }
    // Lets go of what the functions keep of the file, so that the next read reads the disk.
    virtual void flushCache(const std::u16string& file) { (void)file; }
};

}  // namespace tivora::platform
