// The settings file through kernel32's wide private-profile functions, and why the last write
// was refused.
#pragma once

#include "platform/profile.h"

namespace tivora::win32 {

class Win32Profile : public platform::Profile {
public:
    std::uint32_t GetPrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                           const std::u16string& defaultText, std::u16string& buffer,
                                           const std::u16string& file) override;
    bool WritePrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                    const std::u16string& value, const std::u16string& file) override;
    platform::FileError lastWriteError() override { return lastWriteError_; }
    void flushCache(const std::u16string& file) override;

private:
    platform::FileError lastWriteError_ = 0;
};

}  // namespace tivora::win32
