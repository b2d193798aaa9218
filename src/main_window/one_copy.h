// One copy of the program per program folder: a second start from the same folder hands over to
// the copy that runs, which shows its window; the second start ends without touching the settings
// file, the tray or the autostart value.
#pragma once

#include "platform/platform.h"

namespace tivora {

// True when this start is the folder's one copy and goes on to start up; false when the copy that
// runs from the same folder was asked to show its window (or could not be reached, which the user
// is told), and this start is to end at once.
bool startsAsTheFoldersOneCopy(platform::Platform& platform);

}  // namespace tivora
