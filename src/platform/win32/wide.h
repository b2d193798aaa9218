// The program's UTF-8 strings as the wide strings of the W functions, and back.
#pragma once

#include <string>
#include <string_view>

namespace tivora::win32 {

std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

}  // namespace tivora::win32
