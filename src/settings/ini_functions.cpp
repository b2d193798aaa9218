// The settings file, key by key and control by control.
#include "settings/ini_functions.h"

#include "base/numbers.h"
#include "base/text.h"
#include "platform/profile.h"
#include "version.h"

#include <algorithm>
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

void INI_Functions::holdFor(int milliseconds) {
    holdStart_ = platform_.clock.tickCount();
    holdBudget_ = static_cast<std::uint32_t>(milliseconds);
}

// The time waited is the clock's: a pause lasts to the system's next tick, and a refusal takes
// time of its own.
template <class Passes, class Request>
platform::FileError INI_Functions::retried(Passes passes, Request request) {
    platform::FileError error = request();
    while (error != platform::fileError::none && passes(error) &&
           platform_.clock.tickCount() - holdStart_ < holdBudget_) {
        platform_.clock.pause(retryPauseMilliseconds);
        error = request();
    }
    return error;
}

platform::FileError INI_Functions::readWhole(const std::string& file, std::string& bytes) {
    return retried(platform::heldByAnotherProgram, [&] { return platform_.files.read(file, bytes); });
}

namespace {

// A link whose file cannot be told: gone, or a path the system will not give.
constexpr const char* linkLostWords =
    "\nявляется ссылкой, но определить файл, на который она указывает, не удалось:\n\n";

// Replacing a file that another program holds open answers "access denied" as often as
// "sharing violation"; ReplaceFileW's own 1175 and 1176 (given a backup name) leave both in place.
bool replacementMayPass(platform::FileError error) {
    return platform::heldByAnotherProgram(error) || error == platform::fileError::accessDenied ||
           error == platform::fileError::unableToRemoveReplaced ||
           error == platform::fileError::unableToMoveReplacement;
}

// The new file a save writes, "Settings.new", and the name the old one passes through on its way
// out, "Settings.in~": no longer than the file's own name, so they fit wherever the file fits.
std::string newFileName(const std::string& file) {
    size_t dot = file.rfind('.');
    if (dot == std::string::npos || file.find_first_of("\\/", dot) != std::string::npos) {
        return file + ".new";
    }
    std::string extension = file.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return extension == "new" ? file + ".new" : file.substr(0, dot) + ".new";
}
std::string oldFileName(const std::string& file) {
    return file.ends_with('~') ? file + "~" : file.substr(0, file.size() - 1) + "~";
}

}  // namespace

// The new file is a copy of the old one with every key written into it by the same profile
// functions, so its bytes are what an in-place save would have made. It takes the old one's place
// by ReplaceFileW, keeping what the user made of the file; a link is saved through to its target.
INI_Functions::SaveResult INI_Functions::save(const std::vector<Entry>& entries) {
    platform::Files& files = platform_.files;
    std::string target;
    if (platform::FileError lost = files.linkTarget(Settings_File, target)) {
        return {Ending::LinkLost, lost, ""};  // saved under its own name, the link would be replaced
    }
    target = target.empty() ? Settings_File : target;
    if (files.readOnly(target)) {  // the user's word: nothing written, nothing waited for
        return {Ending::ReadOnly, platform::fileError::none, ""};
    }
    bool existed = files.fileExists(target);
    // An access list that forbids the replacement does so for good: not waited for.
    if (existed && files.mayReplace(target) == platform::fileError::accessDenied) {
        return {Ending::Kept, platform::fileError::accessDenied, ""};
    }
    const std::string fresh = newFileName(target), old = oldFileName(target);
    const bool leftBefore = files.fileExists(fresh);
    files.remove(fresh);  // left by a save that was cut off, or by one that failed
    // A removed file's name stays taken ("access denied") while a scanner still holds it; one that
    // could not be removed at all refuses for good.
    const bool pending = leftBefore && !files.fileExists(fresh);
    for (const std::string& left : {old, Settings_File + ".new"}) {
        // (".ini.new" by earlier versions.) Without the file, one the start did not take may be
        // the only copy of the user's settings; an old one alone it never takes.
        existed || (left == old && !leftBefore) ? files.remove(left) : void();
    }
    holdFor(saveHoldMilliseconds);
    auto held = [&](auto request) { return retried(platform::heldByAnotherProgram, request); };
    auto heldNew = [&](auto request) {
        return retried(
            [&](platform::FileError error) {
                return platform::heldByAnotherProgram(error) ||
                       (pending && error == platform::fileError::accessDenied);
            },
            request);
    };
    auto discard = [&](platform::FileError error) {
        files.remove(fresh);
        return SaveResult{existed ? Ending::Kept : Ending::NotCreated, error, ""};
    };
    if (existed) {
        std::string bytes;
        platform::FileError error = readWhole(target, bytes);
        if (error == platform::fileError::none) {
            error = heldNew([&] { return files.write(fresh, bytes); });
        }
        existed = error != platform::fileError::fileNotFound;
        if (error != platform::fileError::none && existed) {
            return discard(error);
        }
    }
    for (const Entry& entry : entries) {
        platform::FileError error = heldNew([&] {
            return WriteIni(fresh, entry.section, entry.key, entry.value) ? platform::fileError::none
                   : lastWriteError_ != platform::fileError::none         ? lastWriteError_
                                                                          : platform::fileError::writeFault;
        });
        if (error != platform::fileError::none) {
            return discard(error);
        }
    }
    // A profile writer may answer done although the disk ran full in its write (Wine's does):
    // the new file takes the old one's place only once every value reads back from the disk.
    platform_.profile.flushCache(utf8ToUtf16(fresh));
    platform::FileError unread = held([&] {
        for (const Entry& entry : entries) {
            if (ReadIni(fresh, entry.section, entry.key) != platform::profileValueAsRead(entry.value)) {
                std::string bytes;  // a file held meanwhile reads as nothing: asked again
                platform::FileError refused = files.read(fresh, bytes);
                return refused != platform::fileError::none ? refused : platform::fileError::writeFault;
            }
        }
        return platform::fileError::none;
    });
    if (unread != platform::fileError::none) {
        return discard(unread);
    }
    if (platform::FileError error = held([&] { return files.flush(fresh); })) {
        return discard(error);
    }
    auto movedIn = [&](const std::string& from) {
        return retried(replacementMayPass, [&] { return files.move(from, target); });
    };
    if (!existed) {
        platform::FileError error = movedIn(fresh);
        return error != platform::fileError::none ? discard(error) : SaveResult{};
    }
    platform::FileError error =
        retried(replacementMayPass, [&] { return files.replace(target, fresh, old); });
    if (error == platform::fileError::unableToMoveReplacement2) {
        // The old file stands under the passing name, the new one whole under its own: the new one
        // takes the place, else the old one goes back; never is either removed while it is the only one.
        error = movedIn(fresh);
        if (error != platform::fileError::none && movedIn(old) != platform::fileError::none) {
            return {Ending::Waiting, error, fresh};
        }
    }
    if (error != platform::fileError::none) {
        return discard(error);
    }
    files.remove(old);
    return {};
}

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
                                    "\n\nПрограмма работает с настройками по умолчанию и не будет сохранять "
                                    "свои настройки поверх этого файла.",
                                TIVORA_TITLE);
}

void INI_Functions::tellLinkLost(platform::FileError error) {
    fileNotOurs_ = true;
    platform_.messageBoxes.show("Файл настроек\n" + Settings_File + linkLostWords +
                                    platform_.files.errorText(error) +
                                    "\n\nПрограмма работает с настройками по умолчанию и не будет сохранять "
                                    "свои настройки, пока ссылка не ведёт к файлу.",
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

// Cut off between ReplaceFileW's two renames, a save leaves no settings file: the new one stands
// whole beside it (flushed before), or the old one under its passing name.
std::string INI_Functions::finishCutOffSave() {
    const std::string fresh = newFileName(Settings_File), old = oldFileName(Settings_File);
    for (const std::string& left : {fresh, Settings_File + ".new", old}) {
        if (left == old && !platform_.files.fileExists(fresh)) {
            continue;  // never made without a new one beside it: one left alone is stale
        }
        std::string bytes;
        platform::FileError error = readWhole(left, bytes);
        if (error == platform::fileError::fileNotFound) {
            continue;
        }
        if (error != platform::fileError::none) {
            tellUnreadable(left, error);
            return "";
        }
        if (!wholeSettings(left, bytes)) {
            continue;
        }
        error = retried(platform::heldByAnotherProgram,
                        [&] { return platform_.files.move(left, Settings_File); });
        if (error == platform::fileError::none) {
            return Settings_File;
        }
        fileNotOurs_ = true;  // the next save would remove it
        platform_.messageBoxes.show("Файла настроек\n" + Settings_File + "\nнет, а его копию\n" + left +
                                        "\nне удалось переименовать в него:\n\n" +
                                        platform_.files.errorText(error) +
                                        "\n\nПрограмма взяла настройки из копии, но не будет сохранять свои "
                                        "настройки, пока файла настроек нет.",
                                    TIVORA_TITLE);
        return left;
    }
    return "";
}

void INI_Functions::reportFailedSave() {
    if (failedSave_.ending == Ending::Saved) {
        return;
    }
    SaveResult failed = std::exchange(failedSave_, SaveResult{});
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
    const std::string ending = failed.ending == Ending::Kept ? changes + "не сохранены; файл остался прежним."
                               : failed.ending == Ending::NotCreated
                                   ? changes + "не сохранены; файл настроек не создан."
                                   : "Новые настройки остались в файле\n" + failed.waiting +
                                         "\nи будут взяты из него при следующем запуске программы.";
    platform_.messageBoxes.show("Не удалось сохранить настройки в файл\n" + Settings_File + "\n\n" +
                                    platform_.files.errorText(failed.error) + "\n\n" + ending,
                                TIVORA_TITLE);
}

}  // namespace tivora
