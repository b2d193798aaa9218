// UTF-8 to UTF-16 for the W functions, and back (wchar_t is 16 bits on Windows).
#include "platform/win32/wide.h"

#include "base/text.h"

namespace tivora::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring widen(std::string_view text) {
    std::u16string wide = utf8ToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

std::string narrow(std::wstring_view text) {
    return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

}  // namespace tivora::win32
