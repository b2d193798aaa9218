// ShellExecuteW, called with the thread in a COM apartment, as the file's handler may need it.
#include "platform/win32/shell.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/win32/com_apartment.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

std::intptr_t Win32Shell::ShellExecuteW(std::uintptr_t owner, const std::string& verb,
                                        const std::string& file, const std::string& parameters,
                                        const std::string& directory, int showCommand) {
    enterComApartment();
    HINSTANCE result =
        ::ShellExecuteW(reinterpret_cast<HWND>(owner), widen(verb).c_str(), widen(file).c_str(),
                        widen(parameters).c_str(), widen(directory).c_str(), showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace tivora::win32
