// The save that never rewrites the only copy of Settings.ini: a new file beside it, read back,
// put in its place in one step; what a save cut off left, taken at start; the waits for other
// programs that hold a file.
#include "settings/ini_functions.h"

#include "base/text.h"
#include "platform/profile.h"
#include "version.h"

#include <algorithm>

namespace tivora {

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
    const bool hadOtherNames = existed && files.names(target) > 1;  // the new file has its own
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
            return {Ending::Waiting, error, fresh, false, target == Settings_File};
        }
    }
    if (error != platform::fileError::none) {
        return discard(error);
    }
    files.remove(old);
    return {Ending::Saved, platform::fileError::none, "", hadOtherNames};
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
                                        "\n\nПрограмма взяла настройки из копии, но до следующего запуска "
                                        "не будет сохранять свои настройки.",
                                    TIVORA_TITLE);
        return left;
    }
    return "";
}

}  // namespace tivora
