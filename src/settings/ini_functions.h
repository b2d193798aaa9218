// INI_Functions: the settings file. Reading and writing single keys, and saving and restoring
// every control value of a window together with the main window's position.
#pragma once

#include <string>
#include <vector>

#include "base/report.h"
#include "forms/form.h"
#include "platform/platform.h"

namespace tivora {

class INI_Functions {
public:
    INI_Functions(platform::Platform& platform, ErrorReporter& reporter)
        : platform_(platform), reporter_(reporter) {}

    // The full path of the settings file: the program folder and "\Settings.ini" (set at start-up).
    std::string Settings_File;

    // Named whole through the wide profile functions, so any folder keeps its settings; the text
    // stays in the 8-bit code page until a value needs Unicode (see WriteIni).
    // The value of key in section, "" when there is none (or after a failure, which is reported).
    std::string ReadIni(const std::string& file, const std::string& section, const std::string& key);
    // Writes one key. A value that the system's code page cannot write whole first turns the file
    // into the profile functions' Unicode form. False when the system refused either step (the
    // reason is kept for the save's report).
    bool WriteIni(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value);

    static constexpr int Load = 0;
    static constexpr int Save = 1;
    // Saves (1) or restores (0) every keyed control and the main window's position. A restored
    // value reaches its control as the user's change would; a save replaces the file in one step
    // and never rewrites the only copy (docs/notes.md).
    void Settings(int direction, forms::Form& window);

    // Tells the user once, in plain words, that the last save failed: which file, the system's
    // reason (or its read-only mark), and what the file is now; or that the file's other names no
    // longer show the settings. Nothing else when it succeeded. (Not while the Windows session
    // ends: no box may wait then.)
    void reportFailedSave();

    // How long the start-up, and a save in all, wait for other programs that hold a file, asking
    // again after each pause (docs/notes.md: what a held new file costs).
    static constexpr int readHoldMilliseconds = 5000;
    static constexpr int saveHoldMilliseconds = 3000;
    static constexpr int retryPauseMilliseconds = 20;

private:
    struct Entry {
        std::string section, key, value;
    };
    // What a failed save left: the file as it was, no file, or the new one waiting beside it.
    enum class Ending { Saved, ReadOnly, LinkLost, Kept, NotCreated, Waiting };
    struct SaveResult {
        Ending ending = Ending::Saved;
        platform::FileError error = platform::fileError::none;
        std::string waiting;         // the new file's path
        bool hadOtherNames = false;  // saved as a file of its own: its hard links keep the old one
        bool takenAtStart = false;   // waiting beside Settings.ini itself, where the next start looks
    };
    // The save, the waits and a cut-off save's left-overs (safe_save.cpp).
    SaveResult save(const std::vector<Entry>& entries);
    // Asks again while the refusal is one that passes and the time to wait, from holdFor, is not spent.
    void holdFor(int milliseconds);
    template <class Passes, class Request>
    platform::FileError retried(Passes passes, Request request);
    // A file whole, waited for while another program holds it.
    platform::FileError readWhole(const std::string& file, std::string& bytes);
    // The settings file that a save cut off between its renames left under another name, put back
    // in place; the file to load from ("" when there is none).
    std::string finishCutOffSave();
    bool wholeSettings(const std::string& file, const std::string& bytes);
    void tellUnreadable(const std::string& file, platform::FileError error);
    void tellLinkLost(platform::FileError error);
    bool codePageHolds(const std::string& text);
    platform::FileError keepInUnicode(const std::string& file);

    platform::Platform& platform_;
    ErrorReporter& reporter_;
    platform::FileError lastWriteError_ = platform::fileError::none;
    bool fileNotOurs_ = false;                      // it could not be read or put back at start-up
    std::uint32_t holdStart_ = 0, holdBudget_ = 0;  // the current load's or save's time to wait
    SaveResult failedSave_;
};

}  // namespace tivora
