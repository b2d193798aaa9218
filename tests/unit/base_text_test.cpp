// Encodings (UTF-16 for the window layer, Windows-1251 for files and the "A" functions, malformed
// UTF-8, the help file's own), texts cut by characters, and case folding.
#include <gtest/gtest.h>

#include "base/text.h"

namespace tivora {
namespace {

TEST(Cp1251, RoundTripsRussianTextAndSubstitutesTheRest) {
    std::string russian = "Справка: Ёё №5 «Тест» — €";
    std::string bytes = utf8ToCp1251(russian);
    EXPECT_EQ(bytes.size(), characterCount(russian));
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xD1);  // С
    EXPECT_EQ(cp1251ToUtf8(bytes), russian);
    EXPECT_EQ(cp1251ToUtf8(utf8ToCp1251("日本 é")), "?? ?");
}

TEST(Cp1251, EveryByteDecodesAndEncodesBack) {
    for (int b = 1; b < 256; ++b) {
        std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(byte)), byte) << b;
    }
}

TEST(Utf16, RoundTripsIncludingSurrogatePairs) {
    std::string text = "Тест 🌙 ok";
    std::u16string wide = utf8ToUtf16(text);
    EXPECT_EQ(wide.size(), 10u);
    EXPECT_EQ(utf16ToUtf8(wide), text);
    EXPECT_EQ(utf16ToUtf8(u"\xD800"), "\xEF\xBF\xBD");  // a lone surrogate
}

TEST(Utf8, MalformedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(utf32ToUtf8(utf8ToUtf32("a\xC3")), "a\xEF\xBF\xBD");
    EXPECT_EQ(characterCount("\xFF\xFE"), 2u);
}

TEST(Characters, CountsAndCutsByCharacterNotByte) {
    EXPECT_EQ(characterCount("Час"), 3u);
    EXPECT_EQ(characters("Минута", 2, 3), "нут");
    EXPECT_EQ(characters("Час", 5), "");
    EXPECT_EQ(characters("Час", 1), "ас");
}

// Each range's first and last capital, and the letters around them that are none.
TEST(FoldCase, TakesEachCapitalRangeToItsEndsAndNothingBeyond) {
    EXPECT_EQ(foldCase("AZÀÞ×ΑΫЀЏАЯѠҊӁӀӘĀĹ"), "azàþ×αϋѐџаяѡҋӂӏәāĺ");
    EXPECT_EQ(foldCase("@[ßабяѐџ"), "@[ßабяѐџ");
}

TEST(OwnTextFile, IsWindows1251UnlessItIsUtf8) {
    const std::string ru = "Справка «Тест»";
    EXPECT_EQ(ownTextFile(utf8ToCp1251(ru)), ru);
    EXPECT_EQ(ownTextFile("\xEF\xBB\xBF" + ru), ru);
    EXPECT_EQ(ownTextFile(ru + " \xEF\xBF\xBD"), ru + " \xEF\xBF\xBD");    // UTF-8 without the mark
    EXPECT_EQ(ownTextFile("\xD0\xB8\xC0"), cp1251ToUtf8("\xD0\xB8\xC0"));  // begins as UTF-8, then is not
}

}  // namespace
}  // namespace tivora
