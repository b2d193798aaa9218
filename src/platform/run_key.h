// The programs that Windows starts when the user logs on: the values under the current user's
// Run key, read here; the program writes and removes its own with the system's reg tool.
#pragma once

#include <string>
#include <vector>

namespace tivora::platform {

class RunKey {
public:
    virtual ~RunKey() = default;
    struct Value {
        std::string name;
        std::string command;  // the command line Windows starts, as stored
    };
    // The string values under HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run;
    // none when the key cannot be read.
    virtual std::vector<Value> runValues() = 0;
    // Whether the user switched the named value's start off in Task Manager's Startup tab or in
    // Settings (Apps, Startup): Windows then does not start it, though the value stays. (Their
    // record under ...\Explorer\StartupApproved\Run begins with an odd byte.) False without one.
    virtual bool startSwitchedOff(const std::string& name) = 0;
    // The program file that a path names, as one key however the path writes it: environment
    // variables expanded, then the file's final path (another drive letter, a mapped drive, a
    // junction, short names resolved), in upper case. Empty when no such file is there.
    virtual std::string programFileKey(const std::string& path) = 0;
};

}  // namespace tivora::platform
