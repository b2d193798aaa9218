// One table of settings-file cases, run through the portable profile functions everywhere and,
// under Wine, through Windows' own functions too. Where the two may differ, the case says why.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"

namespace tivora::profile_cases {

// Names and values are the program's text (UTF-8); the files before and after are bytes, their text
// in code page 1251.
struct Step {
    bool write = false;
    std::string section;
    std::string key;
    std::string value;  // the value written, or the value a read must give
    std::uint32_t bufferSize = 255;
};

inline Step write(std::string section, std::string key, std::string value) {
    return {true, std::move(section), std::move(key), std::move(value)};
}
inline Step read(std::string section, std::string key, std::string expected, std::uint32_t bufferSize = 255) {
    return {false, std::move(section), std::move(key), std::move(expected), bufferSize};
}

struct Case {
    std::string name;
    std::optional<std::string> before;  // the file before the steps; none: no file
    std::vector<Step> steps;
    std::optional<std::string> after;  // the file after them; none: still no file
    // Why Windows' own functions may leave another file, and the file Wine's leave (and, where
    // that file reads otherwise, the values Wine's give).
    std::string differs = {};
    std::optional<std::string> afterOnWine = {};
    std::optional<std::vector<std::string>> readsOnWine = {};
    bool beyondTheCodePage = false;  // values that the earlier builds' 8-bit way cannot carry
};

// The values a case's reads must give, in order.
inline std::vector<std::string> expectedReads(const Case& c) {
    std::vector<std::string> reads;
    for (const auto& step : c.steps) {
        if (!step.write) {
            reads.push_back(step.value);
        }
    }
    return reads;
}

inline const std::string blanksDropped =
    "Wine rewrites the whole file without its blank lines; Windows and the portable functions keep "
    "them. The values read are the same.";

inline std::vector<Case> cases() {
    const std::string a300(300, 'a');
    return {
        {"a write creates the file with its section",
         std::nullopt,
         {write("Program_Settings", "Form_Left", "600"), read("Program_Settings", "Form_Left", "600")},
         "[Program_Settings]\r\nForm_Left=600\r\n"},
        {"a read before the file exists creates nothing",
         std::nullopt,
         {read("Form_Main", "Form_Main_Text_Hour", "")},
         std::nullopt},
        {"a key is replaced in place, keeping its name",
         "[A]\r\nX = 1\r\ny=2\r\n",
         {write("a", "x", "9"), read("A", "X", "9")},
         "[A]\r\nX=9\r\ny=2\r\n"},
        {"a new key goes to the end of its section",
         "[A]\r\nx=1\r\n[B]\r\ny=2\r\n",
         {write("A", "z", "3")},
         "[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n"},
        {"a new section goes to the end, also without a final line end",
         "[A]\r\nx=1",
         {write("B", "y", "2"), read("A", "x", "1")},
         "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        {"names match in any letter case",
         "[Form_Main]\r\nform_main_text_hour=7\r\n",
         {read("FORM_MAIN", "Form_Main_Text_Hour", "7")},
         "[Form_Main]\r\nform_main_text_hour=7\r\n"},
        {"blanks and one pair of quotes around a value are dropped",
         "[A]\r\nb=  hi there  \r\nq=\"quoted\"\r\ns=' single '\r\nm=\"mixed'\r\nqq=\"\"x\"\"\r\nt=\t "
         "tab\t\r\nlone=\"\r\n",
         {read("A", "b", "hi there"), read("A", "q", "quoted"), read("A", "s", " single "),
          read("A", "m", "\"mixed'"), read("A", "qq", "\"x\""), read("A", "t", "tab"),
          read("A", "lone", "\"")},
         "[A]\r\nb=  hi there  \r\nq=\"quoted\"\r\ns=' single '\r\nm=\"mixed'\r\nqq=\"\"x\"\"\r\nt=\t "
         "tab\t\r\nlone=\"\r\n"},
        {"a value written with blanks and quotes reads back without them",
         std::nullopt,
         {write("A", "x", "  v  "), write("A", "q", "\"quoted\""), read("A", "x", "v"),
          read("A", "q", "quoted")},
         "[A]\r\nx=  v  \r\nq=\"quoted\"\r\n",
         "Wine drops the blanks around values as it writes its file; reading drops them anyway.",
         "[A]\r\nx=v\r\nq=\"quoted\"\r\n"},
        {"a long value is cut to the buffer",
         std::nullopt,
         {write("A", "x", a300), read("A", "x", std::string(254, 'a')),
          read("A", "x", std::string(299, 'a'), 300), read("A", "x", a300, 301)},
         "[A]\r\nx=" + a300 + "\r\n"},
        {"text is stored in the 8-bit code page",
         "[\xD1\xEF\xE0\xF2\xFC]\r\n\xD7\xE0\xF1=\xCF\xB8\xF2\xF0\r\n",
         {write("A", "x", "Тест"), read("A", "x", "Тест"), read("Спать", "Час", "Пётр"),
          write("Спать", "Мин", "30")},
         "[\xD1\xEF\xE0\xF2\xFC]\r\n\xD7\xE0\xF1=\xCF\xB8\xF2\xF0\r\n\xCC\xE8\xED=30\r\n[A]\r\nx="
         "\xD2\xE5\xF1\xF2\r\n"},
        {"a character the code page lacks is written as the system writes it",
         std::nullopt,
         {write("A", "x", "Andr\u00e9 \u2713 \U0001F319 Ёж"), read("A", "x", "Andr? ? ? Ёж")},
         "[A]\r\nx=Andr? ? ? \xA8\xE6\r\n",
         "Windows writes a character its code page lacks as its nearest likeness where it has one (\u00e9 as "
         "e), "
         "else as '?', one for each half of a character beyond 16 bits; the portable functions write one "
         "'?'.",
         "[A]\r\nx=Andre ? ?? \xA8\xE6\r\n",
         std::vector<std::string>{"Andre ? ?? Ёж"}},
        {"a file that begins with the UTF-16 byte-order mark keeps every character",
         std::string(utf16LeMark) + utf8ToUtf16Le("[Спать]\r\n"),
         {write("Спать", "x", "Ұйықтау, André ✓ 🌙"), read("Спать", "x", "Ұйықтау, André ✓ 🌙")},
         std::string(utf16LeMark) + utf8ToUtf16Le("[Спать]\r\nx=Ұйықтау, André ✓ 🌙\r\n"),
         "",
         std::nullopt,
         std::nullopt,
         true},
        {"a missing section or key reads as empty",
         "[A]\r\nx=1\r\n",
         {read("B", "x", ""), read("A", "y", "")},
         "[A]\r\nx=1\r\n"},
        {"lines may end in LF alone",
         "[A]\nx=1\ny=2\n",
         {read("A", "y", "2"), write("A", "z", "3")},
         "[A]\r\nx=1\r\ny=2\r\nz=3\r\n"},
        {"lines may end in CR alone",
         "[A]\rx=1\ry=2\r",
         {read("A", "x", "1"), read("A", "y", "2"), write("A", "z", "3")},
         "[A]\r\nx=1\r\ny=2\r\nz=3\r\n"},
        {"blank lines between sections",
         "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n",
         {write("A", "z", "3"), read("B", "y", "2")},
         "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n",
         blanksDropped,
         "[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n"},
        {"blank lines at the end",
         "[A]\r\nx=1\r\n\r\n\r\n",
         {write("B", "y", "2")},
         "[A]\r\nx=1\r\n\r\n\r\n[B]\r\ny=2\r\n",
         blanksDropped,
         "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        {"comment lines are lines like any other",
         "; Tivora\r\n[A]\r\n;x=1\r\nx=2\r\n",
         {read("A", "x", "2"), read("A", ";x", "1"), write("A", "y", "3")},
         "; Tivora\r\n[A]\r\n;x=1\r\nx=2\r\ny=3\r\n"},
        {"the first of two sections of a name counts",
         "[A]\r\nx=1\r\n[B]\r\n[A]\r\nx=2\r\ny=3\r\n",
         {read("A", "x", "1"), read("A", "y", ""), write("A", "y", "4")},
         "[A]\r\nx=1\r\ny=4\r\n[B]\r\n[A]\r\nx=2\r\ny=3\r\n"},
        {"the first of two keys of a name counts",
         "[A]\r\nx=1\r\nx=2\r\n",
         {read("A", "x", "1"), write("A", "x", "3")},
         "[A]\r\nx=3\r\nx=2\r\n"},
        {"a key before any section belongs to none of them",
         "x=0\r\n[A]\r\ny=1\r\n",
         {read("A", "x", ""), read("", "x", "0"), write("A", "z", "3")},
         "x=0\r\n[A]\r\ny=1\r\nz=3\r\n"},
        {"a line without '=' is a key without a value",
         "[A]\r\njunk\r\nx=1\r\n",
         {read("A", "junk", ""), write("A", "junk", "2"), read("A", "x", "1")},
         "[A]\r\njunk=2\r\nx=1\r\n"},
        {"an indented line reads as its key",
         "[A]\r\n  x=1\r\n\ty=2\r\n",
         {read("A", "x", "1"), read("A", "y", "2")},
         "[A]\r\n  x=1\r\n\ty=2\r\n"},
        {"a header without ']' starts no section",
         "[A]\r\nx=1\r\n[B\r\ny=2\r\n",
         {read("A", "y", "2"), read("B", "y", "")},
         "[A]\r\nx=1\r\n[B\r\ny=2\r\n"},
    };
}

}  // namespace tivora::profile_cases
