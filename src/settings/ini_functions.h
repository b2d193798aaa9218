// INI_Functions: the settings file. Reading and writing single keys, and saving and restoring
// every control value of a window together with the main window's position.
#pragma once

#include <string>

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

    // The file is named to the system whole (through the wide profile functions), so a program
    // folder with any name keeps its settings. Its text stays in the system's 8-bit code page, as
    // the program's earlier builds wrote and read it, until a value comes that the code page
    // cannot write: the file then turns Unicode (see WriteIni).
    // The value of key in section, "" when there is none (or after a failure, which is reported).
    std::string ReadIni(const std::string& file, const std::string& section, const std::string& key);
    // Writes one key; a write the system refuses is not noticed. A value that the system's code
    // page cannot write whole first turns the file into the profile functions' Unicode form.
    void WriteIni(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value);

    static constexpr int Load = 0;
    static constexpr int Save = 1;
    // Saves (1) or restores (0) every text box, combo box, option button and check box of the
    // window, and the main window's position, in Settings_File. A restored value reaches its
    // control as the user's change would, so the control's handlers run, nested.
    void Settings(int direction, forms::Form& window);

private:
    bool codePageHolds(const std::string& text);
    void keepInUnicode(const std::string& file);

    platform::Platform& platform_;
    ErrorReporter& reporter_;
};

}  // namespace tivora
