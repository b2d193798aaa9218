// The Windows backends composed into the Platform record that the program's subsystems take.
#include "platform/win32/win32_platform.h"

namespace tivora::win32 {

Win32Platform::Win32Platform(HINSTANCE instance) : application_(instance) {}

platform::Platform Win32Platform::platform() {
    return {application_, clock_, messageBoxes_, regional_, screen_,  processes_, shell_,  windows_, timers_,
            profile_,     files_, notifyArea_,   memory_,   dialogs_, printer_,   copies_, runKey_};
}

}  // namespace tivora::win32
