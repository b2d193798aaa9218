// The settings file, key by key and control by control.
#include "settings/ini_functions.h"

#include "base/numbers.h"
#include "base/text.h"
#include "platform/profile.h"
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

template <class Request>
platform::FileError INI_Functions::retried(int milliseconds, bool (*passes)(platform::FileError),
                                           Request request) {
    platform::FileError error = request();
    for (int waited = 0; error != platform::fileError::none && passes(error) && waited < milliseconds;
         waited += retryPauseMilliseconds) {
        platform_.files.pause(retryPauseMilliseconds);
        error = request();
    }
    return error;
}

platform::FileError INI_Functions::readSettingsFile(std::string& bytes, int holdMilliseconds) {
    return retried(holdMilliseconds, platform::heldByAnotherProgram,
                   [&] { return platform_.files.read(Settings_File, bytes); });
}

namespace {

// Replacing a file that another program holds open answers "access denied" as often as
// "sharing violation".
bool replacementMayPass(platform::FileError error) {
    return platform::heldByAnotherProgram(error) || error == platform::fileError::accessDenied;
}

}  // namespace

// The new file is a copy of the old one with every key written into it by the same profile
// functions, so its bytes are what an in-place save would have made; only the last step touches
// Settings.ini, and it either lands whole or not at all.
platform::FileError INI_Functions::save(const std::vector<Entry>& entries) {
    platform::Files& files = platform_.files;
    const std::string fresh = Settings_File + ".new";
    auto discard = [&](platform::FileError error) {
        files.remove(fresh);
        return error;
    };
    files.remove(fresh);  // left by a save that was cut off
    if (files.fileExists(Settings_File)) {
        std::string bytes;
        platform::FileError error = readSettingsFile(bytes, saveHoldMilliseconds);
        if (error == platform::fileError::none) {
            error = files.write(fresh, bytes);
        }
        if (error != platform::fileError::none && error != platform::fileError::fileNotFound) {
            return discard(error);
        }
    }
    for (const Entry& entry : entries) {
        if (!WriteIni(fresh, entry.section, entry.key, entry.value)) {
            return discard(lastWriteError_ != platform::fileError::none ? lastWriteError_
                                                                        : platform::fileError::writeFault);
        }
    }
    // A profile writer may answer done although the disk ran full in its write (Wine's does):
    // the new file takes the old one's place only once every value reads back from the disk.
    platform_.profile.flushCache(utf8ToUtf16(fresh));
    for (const Entry& entry : entries) {
        if (ReadIni(fresh, entry.section, entry.key) != platform::profileValueAsRead(entry.value)) {
            return discard(platform::fileError::writeFault);
        }
    }
    if (platform::FileError error = files.flush(fresh)) {
        return discard(error);
    }
    return discard(retried(saveHoldMilliseconds, replacementMayPass,
                           [&] { return files.replace(fresh, Settings_File); }));
}

void INI_Functions::Settings(int direction, forms::Form& window) {
    trap(reporter_, "Settings", [&](Step& step) {
        const std::string& section = window.name();
        if (direction == Load) {
            step(3);
            if (!platform_.files.fileExists(Settings_File)) {
                return;
            }
            // A backup or sync tool at logon holds the file for a moment; a file still unreadable
            // after that would read as nothing but design values, which a save would write over
            // the user's own.
            std::string bytes;
            platform::FileError unreadable = readSettingsFile(bytes, readHoldMilliseconds);
            if (unreadable == platform::fileError::fileNotFound) {
                return;
            }
            if (unreadable != platform::fileError::none) {
                fileNotOurs_ = true;
                platform_.messageBoxes.show("Не удалось прочитать файл настроек\n" + Settings_File + "\n\n" +
                                                platform_.files.errorText(unreadable) +
                                                "\n\nПрограмма работает с настройками по умолчанию и не "
                                                "будет сохранять свои настройки поверх этого файла.",
                                            TIVORA_TITLE);
                return;
            }
            for (forms::Control* control : window.controls()) {
                step(4);
                step(5);
                Kind kind = control->kind();
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

void INI_Functions::reportFailedSave() {
    if (failedSave_ == platform::fileError::none) {
        return;
    }
    platform::FileError error = std::exchange(failedSave_, platform::fileError::none);
    platform_.messageBoxes.show("Не удалось сохранить настройки в файл\n" + Settings_File + "\n\n" +
                                    platform_.files.errorText(error) +
                                    "\n\nИзменения настроек, сделанные после запуска программы, не "
                                    "сохранены; файл остался прежним.",
                                TIVORA_TITLE);
}

}  // namespace tivora
