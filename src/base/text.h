// Text encodings: the program's strings are UTF-8; Windows' wide functions take UTF-16, and the
// settings file, the help file and the "A" functions take an 8-bit code page (1251 for our users).
#pragma once

#include <string>
#include <string_view>

namespace tivora {

std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);
std::u32string utf8ToUtf32(std::string_view text);
std::string utf32ToUtf8(std::u32string_view text);

// Windows-1251; characters it lacks become the substitute.
std::string utf8ToCp1251(std::string_view text, char substitute = '?');
std::string cp1251ToUtf8(std::string_view bytes);

// The text without the blanks (spaces, tabs) at its ends.
std::string_view trimBlanks(std::string_view text);
// Equal when letter case of A to Z is ignored.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Characters (code points) of a UTF-8 text, and parts of it counted in characters.
size_t characterCount(std::string_view text);
std::string characters(std::string_view text, size_t start, size_t count = std::string_view::npos);

}  // namespace tivora
