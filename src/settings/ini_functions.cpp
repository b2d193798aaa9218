// The settings file, key by key and control by control.
#include "settings/ini_functions.h"

#include "base/numbers.h"
#include "base/text.h"

namespace tivora {

namespace {

constexpr char mainWindowName[] = "Form_Main";
constexpr char positionSection[] = "Program_Settings";

bool hasTextKey(const std::string& kind) { return kind == "TextBox" || kind == "ComboBox"; }
bool hasValueKey(const std::string& kind) { return kind == "OptionButton" || kind == "CheckBox"; }

}  // namespace

std::string INI_Functions::ReadIni(const std::string& file, const std::string& section,
                                   const std::string& key) {
    std::string result;
    trap(reporter_, "ReadIni", [&](Step& step) {
        step(1);
        std::u16string buffer(255, u'\0');
        // The value is read whole: a count that fills the buffer may mean a longer value, so the
        // buffer grows until the value fits. (A fixed buffer would cut a long message text after
        // a restart without a word.)
        std::uint32_t count = 0;
        for (;;) {
            step(3);
            count = platform_.profile.GetPrivateProfileStringW(utf8ToUtf16(section), utf8ToUtf16(key), u"",
                                                               buffer, utf8ToUtf16(file));
            if (count + 1 < buffer.size() || buffer.size() >= (1u << 26)) {
                break;
            }
            buffer.assign(buffer.size() * 2, u'\0');
        }
        step(4);
        result = utf16ToUtf8(std::u16string_view(buffer).substr(0, count));
    });
    return result;
}

void INI_Functions::WriteIni(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) {
    trap(reporter_, "WriteIni", [&](Step& step) {
        step(1);
        if (!codePageHolds(value)) {
            keepInUnicode(file);
        }
        step(2);
        platform_.profile.WritePrivateProfileStringW(utf8ToUtf16(section), utf8ToUtf16(key),
                                                     utf8ToUtf16(value), utf8ToUtf16(file));
    });
}

bool INI_Functions::codePageHolds(const std::string& text) {
    return platform_.regional.fromAnsi(platform_.regional.toAnsi(text)) == text;
}

// The profile functions write a file without a byte-order mark in the system's code page, each
// character it lacks as "?": a Kazakh message on a Russian Windows, any Russian one on a Western
// Windows, would come back as question marks. A file that begins with the UTF-16LE mark they
// read and write in UTF-16LE from then on, so such a file is turned into that form first, its
// text kept. The files of nearly every user, whose code page holds their text, stay as every
// earlier version wrote them, byte for byte.
void INI_Functions::keepInUnicode(const std::string& file) {
    std::string bytes;
    if (platform_.files.fileExists(file)) {
        try {
            bytes = platform_.files.readFile(file);
        } catch (const RuntimeError&) {
            return;  // unreadable: the write itself will fail or keep what the code page can
        }
    }
    if (!bytes.starts_with(utf16LeMark)) {
        platform_.files.writeFile(
            file, std::string(utf16LeMark) + utf8ToUtf16Le(platform_.regional.fromAnsi(bytes)));
    }
}

void INI_Functions::Settings(int direction, forms::Form& window) {
    trap(reporter_, "Settings", [&](Step& step) {
        const std::string& section = window.name();
        if (direction == Load) {
            step(3);
            if (!platform_.files.fileExists(Settings_File)) {
                return;
            }
            for (forms::Control* control : window.controls()) {
                step(4);
                step(5);
                const std::string& kind = control->kindName();
                std::string key = section + "_" + control->name();
                if (hasTextKey(kind)) {
                    step(6);
                    control->setProperty("text", ReadIni(Settings_File, section, key));
                } else if (hasValueKey(kind)) {
                    step(8);
                    control->setProperty("Value", ReadIni(Settings_File, section, key));
                }
                step(12);
            }
            step(13);
            if (window.name() == mainWindowName) {
                step(14);
                window.setLeft(
                    toSingle(ReadIni(Settings_File, positionSection, "Form_Left"), window.numberFormat));
                step(15);
                window.setTop(
                    toSingle(ReadIni(Settings_File, positionSection, "Form_Top"), window.numberFormat));
            }
        } else {
            for (forms::Control* control : window.controls()) {
                step(19);
                step(20);
                const std::string& kind = control->kindName();
                std::string key = section + "_" + control->name();
                if (hasTextKey(kind)) {
                    step(21);
                    WriteIni(Settings_File, section, key, control->property("text"));
                } else if (hasValueKey(kind)) {
                    step(22);
                    WriteIni(Settings_File, section, key, control->property("Value"));
                }
                step(24);
            }
            step(25);
            WriteIni(Settings_File, positionSection, "Form_Left",
                     singleText(static_cast<float>(window.left()), window.numberFormat));
            step(26);
            WriteIni(Settings_File, positionSection, "Form_Top",
                     singleText(static_cast<float>(window.top()), window.numberFormat));
        }
    });
}

}  // namespace tivora
