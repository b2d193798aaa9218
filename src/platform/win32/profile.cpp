// GetPrivateProfileStringW and WritePrivateProfileStringW, the program's UTF-16 handed over as
// the wide characters they take.
#include "platform/win32/profile.h"

#include <windows.h>

namespace tivora::win32 {

namespace {

const wchar_t* wideChars(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

std::uint32_t Win32Profile::GetPrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                                     const std::u16string& defaultText,
                                                     std::u16string& buffer, const std::u16string& file) {
    if (buffer.empty()) {
        return 0;
    }
    return ::GetPrivateProfileStringW(wideChars(section), wideChars(key), wideChars(defaultText),
                                      reinterpret_cast<wchar_t*>(buffer.data()),
                                      static_cast<DWORD>(buffer.size()), wideChars(file));
}

bool Win32Profile::WritePrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                              const std::u16string& value, const std::u16string& file) {
    SetLastError(ERROR_SUCCESS);
    if (::WritePrivateProfileStringW(wideChars(section), wideChars(key), wideChars(value), wideChars(file))) {
        lastWriteError_ = 0;
        return true;
    }
    // A refusal whose reason the system did not set is still a refusal.
    lastWriteError_ = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
    return false;
}

void Win32Profile::flushCache(const std::u16string& file) {
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, wideChars(file));
}

}  // namespace tivora::win32
