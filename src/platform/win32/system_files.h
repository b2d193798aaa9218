// Windows' own programs and libraries, taken from the system folder only. Found by search, a file
// of the same name in the program's folder or in the current folder (the Downloads folder where
// the zip was unpacked) would run or load in their place.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tivora::win32 {

// The system folder (GetSystemDirectoryW); empty if Windows will not say.
std::wstring systemFolder();

// The full path of the named file in the system folder; empty when the folder is unknown.
std::wstring systemFile(std::wstring_view name);

// The named library from the system folder, never from anywhere else; nullptr when it is not
// there. Loaded with LOAD_LIBRARY_SEARCH_SYSTEM32, or by its full path where the loader does not
// know that request (Windows 7 without its loader update).
HMODULE loadSystemLibrary(const wchar_t* name);

// The second way: the library by its full path in the system folder, the libraries it needs
// looked for in that folder first.
HMODULE loadSystemLibraryByPath(const wchar_t* name);

// Called first thing: every library loaded by name, the system's own loads among them, comes from
// the system folder, never the program's (perhaps Downloads). A loader without the request (Windows
// 7 before its update) is left as it is.
inline void loadLibrariesFromTheSystemFolderOnly() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
        if (auto set = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))) {
            set(LOAD_LIBRARY_SEARCH_SYSTEM32);
        }
    }
}

}  // namespace tivora::win32
