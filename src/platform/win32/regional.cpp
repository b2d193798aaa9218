// The user's decimal separator, and UTF-8 to and from the ANSI code page through UTF-16.
#include "platform/win32/regional.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace tivora::win32 {

NumberFormat Win32Regional::numberFormat() {
    wchar_t decimal[8] = {};
    NumberFormat format;
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8) > 1) {
        format.decimalSeparator = narrow(decimal);
    }
    return format;
}

std::string ansiFromUtf8(std::string_view text) {
    std::wstring wide = widen(text);
    if (wide.empty()) {
        return "";
    }
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr,
                        nullptr);
    return bytes;
}

std::string Win32Regional::toAnsi(std::string_view text) { return ansiFromUtf8(text); }

std::string Win32Regional::fromAnsi(std::string_view bytes) {
    if (bytes.empty()) {
        return "";
    }
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return narrow(wide);
}

}  // namespace tivora::win32
