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
    // reason, and that this run's changes were not kept. Nothing when it succeeded. (Not while
    // the Windows session ends: no box may wait then.)
    void reportFailedSave();

    // How long a request refused because another program holds the file is tried again.
    static constexpr int readHoldMilliseconds = 5000;
    static constexpr int saveHoldMilliseconds = 2000;
    static constexpr int retryPauseMilliseconds = 100;

private:
    struct Entry {
        std::string section, key, value;
    };
    platform::FileError save(const std::vector<Entry>& entries);
    // Asks again while the refusal is one that passes, for up to the given time.
    template <class Request>
    platform::FileError retried(int milliseconds, bool (*passes)(platform::FileError), Request request);
    // Settings_File whole, waited for while another program holds it.
    platform::FileError readSettingsFile(std::string& bytes, int holdMilliseconds);
    bool codePageHolds(const std::string& text);
    platform::FileError keepInUnicode(const std::string& file);

    platform::Platform& platform_;
    ErrorReporter& reporter_;
    platform::FileError lastWriteError_ = platform::fileError::none;
    bool fileNotOurs_ = false;  // it could not be read at start-up
    platform::FileError failedSave_ = platform::fileError::none;
};

}  // namespace tivora
