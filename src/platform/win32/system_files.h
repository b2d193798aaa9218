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
// there. The loader is asked to look in the system folder only (LOAD_LIBRARY_SEARCH_SYSTEM32),
// or, where it does not know that request (Windows 7 without its loader update), given the
// library's full path.
HMODULE loadSystemLibrary(const wchar_t* name);

// The second way: the library by its full path in the system folder, the libraries it needs
// looked for in that folder first.
HMODULE loadSystemLibraryByPath(const wchar_t* name);

// Has every library that this process loads by name, those that the system loads for it among
// them (comdlg32's, the spooler's and oleacc's own), come from the system folder only, never from
// the program's folder, which may be a Downloads folder. Called first thing; a loader that does
// not know the request (Windows 7 before its loader update) is left as it is. Folders that only
// an administrator can write may join later (allowPrinterDriverLibraries); the program's never.
inline void loadLibrariesFromTheSystemFolderOnly() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
        if (auto set = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))) {
            set(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS);
        }
    }
}

// A printer's driver loads into the program when the print dialog shows its settings (in the
// 64-bit program, and on 32-bit Windows; the 32-bit program on 64-bit Windows has the spooler's
// own host process load it). The spooler loads it by its full path from its driver folder, and
// the driver loads its helper libraries, which lie beside it, by name: that folder, which only
// an administrator can write, joins the search before the first print dialog.
void allowPrinterDriverLibraries();

}  // namespace tivora::win32
