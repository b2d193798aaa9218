// Copies of the program running at the same time in the user's logon session. Each program folder
// is one installation with one settings file: one copy of it runs at a time.
#pragma once

#include <string>

namespace tivora::platform {

class Instances {
public:
    virtual ~Instances() = default;
    // Claims the program folder for this copy, for as long as it runs. False while another copy
    // started from the same folder holds it; the claim waits up to waitMilliseconds for that copy
    // to end.
    virtual bool claimProgramFolder(const std::string& folder, int waitMilliseconds) = 0;
    // Lets go of the claim: a copy whose main window has gone, while a window of its own still
    // stands (the help window), runs no more as the folder's copy.
    virtual void releaseProgramFolder() = 0;
    // Asks the copy that holds the folder to show its main window, and lets it come to the front.
    // False when no copy of that folder took the request (it has no window yet, or no more).
    virtual bool askRunningCopyToShow(const std::string& folder) = 0;
};

}  // namespace tivora::platform
