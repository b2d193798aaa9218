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

// UTF-16LE as bytes, the form in which the profile functions keep a file that begins with the
// byte-order mark utf16LeMark. An odd last byte is dropped.
inline constexpr std::string_view utf16LeMark = "\xFF\xFE";
std::string utf8ToUtf16Le(std::string_view text);
std::string utf16LeToUtf8(std::string_view bytes);

// How a text file says its own encoding: by a byte-order mark, or not at all (then it is in an
// 8-bit code page). The profile functions of Windows and Wine read the UTF-16 forms by their
// marks, Wine's the UTF-8 one too.
enum class TextMark { None, Utf16Le, Utf16Be, Utf8 };
TextMark textMark(std::string_view bytes);
// The text after the file's mark, as UTF-8; bytes without a mark come back as they are.
std::string markedTextToUtf8(std::string_view bytes);
// The text (UTF-8) in the mark's encoding, the mark first; None gives the text as it is.
std::string utf8ToMarkedText(std::string_view text, TextMark mark);

// A text file of the program's own (the help file) as UTF-8, whatever the system's code page:
// UTF-8 when it says so with a byte-order mark (dropped) or is valid UTF-8 beyond plain ASCII,
// otherwise Windows-1251, in which the program's own files are written.
std::string ownTextFile(std::string_view bytes);

// The text in small letters, as Windows compares file and printer names without regard to letter
// case: Latin (with its Western and Central European letters), Greek and Cyrillic (Russian,
// Ukrainian, Kazakh, Tatar ... letters).
std::string foldCase(std::string_view text);

// The text without the blanks (spaces, tabs) at its ends.
std::string_view trimBlanks(std::string_view text);
// Equal when letter case of A to Z is ignored.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Characters (code points) of a UTF-8 text, and parts of it counted in characters.
size_t characterCount(std::string_view text);
std::string characters(std::string_view text, size_t start, size_t count = std::string_view::npos);

}  // namespace tivora
