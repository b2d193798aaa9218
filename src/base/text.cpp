// UTF-8, UTF-16 and Windows-1251 conversions, byte-order marks, case folding, and texts counted in
// characters.
#include "base/text.h"

#include <array>
#include <utility>

namespace tivora {

namespace {

constexpr char32_t replacement = 0xFFFD;

// Windows-1251, bytes 0x80 to 0xBF; 0xC0 to 0xFF are А to я in order.
constexpr std::array<char16_t, 64> cp1251High{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char32_t cp1251ToUnicode(unsigned char byte) {
    if (byte < 0x80) {
        return byte;
    }
    if (byte >= 0xC0) {
        return 0x0410 + (byte - 0xC0);
    }
    return cp1251High[byte - 0x80];
}

int unicodeToCp1251(char32_t c) {
    if (c < 0x80) {
        return static_cast<int>(c);
    }
    if (c >= 0x0410 && c <= 0x044F) {
        return static_cast<int>(0xC0 + (c - 0x0410));
    }
    for (size_t i = 0; i < cp1251High.size(); ++i) {
        if (cp1251High[i] == c) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

// Decodes one character at text[i], advancing i; malformed bytes give the replacement character.
char32_t decodeUtf8(std::string_view text, size_t& i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i++);
    if (lead < 0x80) {
        return lead;
    }
    int extra = 0;
    char32_t c = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        c = lead & 0x07;
    } else {
        return replacement;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size() || (byte(i) & 0xC0) != 0x80) {
            return replacement;
        }
        c = (c << 6) | (byte(i++) & 0x3F);
    }
    static constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < smallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return replacement;
    }
    return c;
}

void encodeUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::u32string utf8ToUtf32(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        out += decodeUtf8(text, i);
    }
    return out;
}

std::string utf32ToUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        encodeUtf8(c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? replacement : c, out);
    }
    return out;
}

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c = decodeUtf8(text, i);
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = replacement;
        }
        encodeUtf8(c, out);
    }
    return out;
}

std::string utf8ToCp1251(std::string_view text, char substitute) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        int byte = unicodeToCp1251(decodeUtf8(text, i));
        out += byte < 0 ? substitute : static_cast<char>(byte);
    }
    return out;
}

std::string cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char b : bytes) {
        encodeUtf8(cp1251ToUnicode(static_cast<unsigned char>(b)), out);
    }
    return out;
}

std::string utf8ToUtf16Le(std::string_view text) {
    std::string bytes;
    for (char16_t unit : utf8ToUtf16(text)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string utf16LeToUtf8(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return utf16ToUtf8(units);
}

namespace {

constexpr std::string_view utf16BeMark = "\xFE\xFF";
constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";

std::string swappedPairs(std::string_view bytes) {
    std::string swapped(bytes.substr(0, bytes.size() / 2 * 2));
    for (size_t i = 0; i + 1 < swapped.size(); i += 2) {
        std::swap(swapped[i], swapped[i + 1]);
    }
    return swapped;
}

}  // namespace

TextMark textMark(std::string_view bytes) {
    return bytes.starts_with(utf16LeMark)   ? TextMark::Utf16Le
           : bytes.starts_with(utf16BeMark) ? TextMark::Utf16Be
           : bytes.starts_with(utf8Mark)    ? TextMark::Utf8
                                            : TextMark::None;
}

std::string markedTextToUtf8(std::string_view bytes) {
    switch (textMark(bytes)) {
        case TextMark::Utf16Le:
            return utf16LeToUtf8(bytes.substr(2));
        case TextMark::Utf16Be:
            return utf16LeToUtf8(swappedPairs(bytes.substr(2)));
        case TextMark::Utf8:
            return std::string(bytes.substr(3));
        case TextMark::None:
            break;
    }
    return std::string(bytes);
}

std::string utf8ToMarkedText(std::string_view text, TextMark mark) {
    switch (mark) {
        case TextMark::Utf16Le:
            return std::string(utf16LeMark) + utf8ToUtf16Le(text);
        case TextMark::Utf16Be:
            return std::string(utf16BeMark) + swappedPairs(utf8ToUtf16Le(text));
        case TextMark::Utf8:
            return std::string(utf8Mark) + std::string(text);
        case TextMark::None:
            break;
    }
    return std::string(text);
}

std::string ownTextFile(std::string_view bytes) {
    constexpr std::string_view byteOrderMark = utf8Mark;
    if (bytes.starts_with(byteOrderMark)) {
        return std::string(bytes.substr(byteOrderMark.size()));
    }
    bool beyondAscii = false;
    for (size_t i = 0; i < bytes.size();) {
        size_t start = i;
        char32_t c = decodeUtf8(bytes, i);
        // A malformed sequence decodes as the replacement character, which itself is EF BF BD.
        if (c == replacement && bytes.substr(start, i - start) != "\xEF\xBF\xBD") {
            return cp1251ToUtf8(bytes);
        }
        beyondAscii = beyondAscii || c >= 0x80;
    }
    return beyondAscii ? std::string(bytes) : cp1251ToUtf8(bytes);
}

std::string foldCase(std::string_view text) {
    std::u32string letters = utf8ToUtf32(text);
    for (char32_t& c : letters) {
        const bool evenCapital = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177) ||
                                 (c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) ||
                                 (c >= 0x4D0 && c <= 0x52F);
        const bool oddCapital = (c >= 0x139 && c <= 0x148) || (c >= 0x4C1 && c <= 0x4CE);
        if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB) ||
            (c >= 0x410 && c <= 0x42F)) {
            c += 0x20;
        } else if (c >= 0x400 && c <= 0x40F) {
            c += 0x50;
        } else if ((evenCapital && c % 2 == 0) || (oddCapital && c % 2 == 1)) {
            c += 1;
        } else if (c == 0x4C0) {
            c = 0x4CF;
        }
    }
    return utf32ToUtf8(letters);
}

std::string_view trimBlanks(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

size_t characterCount(std::string_view text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size();) {
        decodeUtf8(text, i);
        ++count;
    }
    return count;
}

std::string characters(std::string_view text, size_t start, size_t count) {
    size_t i = 0;
    for (size_t k = 0; k < start && i < text.size(); ++k) {
        decodeUtf8(text, i);
    }
    size_t begin = i;
    for (size_t k = 0; k < count && i < text.size(); ++k) {
        decodeUtf8(text, i);
    }
    return std::string(text.substr(begin, i - begin));
}

}  // namespace tivora
