// The settings file, key by key and control by control (the save's own steps: safe_save.cpp).
#include "settings/ini_functions.h"

#include "base/numbers.h"
#include "base/text.h"
#include "version.h"

#include <utility>

namespace tivora {

namespace {

constexpr char mainWindowName[] = "Form_Main";
constexpr char positionSection[] = "Program_Settings";

using Kind = forms::Control::Kind;
bool hasTextKey(Kind kind) { return kind == Kind::TextBox || kind == Kind::ComboBox; }
bool hasValueKey(Kind kind) { return kind == Kind::OptionButton || kind == Kind::CheckBox; }

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

bool INI_Functions::WriteIni(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) {
    bool written = false;
    trap(reporter_, "WriteIni", [&](Step& step) {
        step(1);
        lastWriteError_ = codePageHolds(value) ? platform::fileError::none : keepInUnicode(file);
        if (lastWriteError_ != platform::fileError::none) {
            return;  // never the code page's "?" in the value's place
        }
        step(2);
        written = platform_.profile.WritePrivateProfileStringW(utf8ToUtf16(section), utf8ToUtf16(key),
                                                               utf8ToUtf16(value), utf8ToUtf16(file));
        if (!written) {
            lastWriteError_ = platform_.profile.lastWriteError();
        }
    });
    return written;
}

bool INI_Functions::codePageHolds(const std::string& text) {
    return platform_.regional.fromAnsi(platform_.regional.toAnsi(text)) == text;
}

// A value the code page cannot write turns the file into UTF-16LE first, which the profile
// functions keep from then on; files whose code page holds their text stay byte for byte.
platform::FileError INI_Functions::keepInUnicode(const std::string& file) {
    std::string bytes;
    if (platform::FileError error = platform_.files.read(file, bytes)) {
        if (error != platform::fileError::fileNotFound) {
            return error;
        }
        bytes.clear();
    }
    if (textMark(bytes) == TextMark::Utf16Le) {
        return platform::fileError::none;
    }
    std::string text =
        textMark(bytes) == TextMark::None ? platform_.regional.fromAnsi(bytes) : markedTextToUtf8(bytes);
    return platform_.files.write(file, utf8ToMarkedText(text, TextMark::Utf16Le));
}

namespace {

// A link whose file cannot be told: gone, or a path the system will not give.
constexpr const char* linkLostWords =
    "\nявляется ссылкой, но определить файл, на который она указывает, не удалось:\n\n";

}  // namespace

void INI_Functions::Settings(int direction, forms::Form& window) {
    trap(reporter_, "Settings", [&](Step& step) {
        const std::string& section = window.name();
        if (direction == Load) {
            step(3);
            holdFor(readHoldMilliseconds);
            std::string source = Settings_File;
            if (!platform_.files.fileExists(Settings_File) && (source = finishCutOffSave()).empty()) {
                return;
            }
            // A backup or sync tool at logon holds the file for a moment; a file still unreadable
            // after that would read as nothing but design values, which a save would write over
            // the user's own.
            std::string bytes;
            platform::FileError unreadable = readWhole(source, bytes);
            if (unreadable == platform::fileError::fileNotFound) {
                std::string target;  // a link is there, but not what it names
                platform::FileError lost = platform_.files.linkTarget(Settings_File, target);
                lost != platform::fileError::none ? tellLinkLost(lost) : void();
                return;
            }
            if (unreadable != platform::fileError::none) {
                tellUnreadable(source, unreadable);
                return;
            }
            for (forms::Control* control : window.controls()) {
                step(4);
                step(5);
                Kind kind = control->kind();
                std::string key = section + "_" + control->name();
                if (hasTextKey(kind)) {
                    step(6);
                    control->setProperty("text", ReadIni(source, section, key));
                } else if (hasValueKey(kind)) {
                    step(8);
                    control->setProperty("Value", ReadIni(source, section, key));
                }
                step(12);
            }
            step(13);
            if (window.name() == mainWindowName) {
                step(14);
                window.setLeft(toSingle(ReadIni(source, positionSection, "Form_Left"), window.numberFormat));
                step(15);
                window.setTop(toSingle(ReadIni(source, positionSection, "Form_Top"), window.numberFormat));
            }
        } else {
            if (fileNotOurs_) {
                return;
            }
            std::vector<Entry> entries;
            for (forms::Control* control : window.controls()) {
                step(19);
                step(20);
                Kind kind = control->kind();
                std::string key = section + "_" + control->name();
                if (hasTextKey(kind)) {
                    step(21);
                    entries.push_back({section, key, control->property("text")});
                } else if (hasValueKey(kind)) {
                    step(22);
                    entries.push_back({section, key, control->property("Value")});
                }
                step(24);
            }
            step(25);
            entries.push_back({positionSection, "Form_Left",
                               singleText(static_cast<float>(window.left()), window.numberFormat)});
            step(26);
            entries.push_back({positionSection, "Form_Top",
                               singleText(static_cast<float>(window.top()), window.numberFormat)});
            step(27);
            failedSave_ = save(entries);
        }
    });
}

void INI_Functions::tellUnreadable(const std::string& file, platform::FileError error) {
    fileNotOurs_ = true;
    platform_.messageBoxes.show("Не удалось прочитать файл настроек\n" + file + "\n\n" +
                                    platform_.files.errorText(error) +
                                    "\n\nПрограмма работает с настройками по умолчанию и до следующего "
                                    "запуска не будет сохранять свои настройки.",
                                TIVORA_TITLE);
}

void INI_Functions::tellLinkLost(platform::FileError error) {
    fileNotOurs_ = true;
    platform_.messageBoxes.show("Файл настроек\n" + Settings_File + linkLostWords +
                                    platform_.files.errorText(error) +
                                    "\n\nПрограмма работает с настройками по умолчанию и до следующего "
                                    "запуска не будет сохранять свои настройки.",
                                TIVORA_TITLE);
}

// Whole whichever version wrote it: a save writes the window's position last, and the bytes of a
// file cut off before its flush are lost as zeros. Keys of newer controls may be missing.
bool INI_Functions::wholeSettings(const std::string& file, const std::string& bytes) {
    const bool wide = textMark(bytes) == TextMark::Utf16Le || textMark(bytes) == TextMark::Utf16Be;
    for (size_t at = 0; at < bytes.size(); at += wide ? 2 : 1) {
        if (bytes[at] == '\0' && (!wide || bytes[at + 1] == '\0')) {  // a last odd byte: against the end
            return false;
        }
    }
    auto holds = [&](const std::string& key) {
        std::u16string buffer(3, u'\0');
        return !(platform_.profile.GetPrivateProfileStringW(utf8ToUtf16(positionSection), utf8ToUtf16(key),
                                                            u"\x1", buffer, utf8ToUtf16(file)) == 1 &&
                 buffer[0] == u'\x1');
    };
    return holds("Form_Left") && holds("Form_Top");
}

void INI_Functions::reportFailedSave() {
    SaveResult failed = std::exchange(failedSave_, SaveResult{});
    if (failed.hadOtherNames) {
        platform_.messageBoxes.show("Настройки сохранены в файл\n" + Settings_File +
                                        "\n\nУ этого файла были и другие имена (жесткие ссылки). Теперь это "
                                        "отдельный файл: под другими именами новые настройки не видны.",
                                    TIVORA_TITLE);
    }
    if (failed.ending == Ending::Saved) {
        return;
    }
    const std::string changes = "Изменения настроек, сделанные после запуска программы, ";
    if (failed.ending == Ending::ReadOnly || failed.ending == Ending::LinkLost) {
        platform_.messageBoxes.show(
            "Файл настроек\n" + Settings_File +
                (failed.ending == Ending::ReadOnly
                     ? "\nотмечен атрибутом «Только чтение», и программа его не изменяет.\n\n"
                     : linkLostWords + platform_.files.errorText(failed.error) + "\n\n") +
                changes + "в него не записаны.",
            TIVORA_TITLE);
        return;
    }
    const std::string ending =
        failed.ending == Ending::Kept ? changes + "не сохранены; файл остался прежним."
        : failed.ending == Ending::NotCreated
            ? changes + "не сохранены; файл настроек не создан."
            : "Новые настройки остались в файле\n" + failed.waiting +
                  (failed.takenAtStart ? "\nи будут взяты из него при следующем запуске программы." : ".");
    platform_.messageBoxes.show("Не удалось сохранить настройки в файл\n" + Settings_File + "\n\n" +
                                    platform_.files.errorText(failed.error) + "\n\n" + ending,
                                TIVORA_TITLE);
}

}  // namespace tivora
