// System functions bound when first called, their libraries loaded from the system folder: those
// most runs never need (printing, the dialogs, COM, accessibility; comdlg32 and winspool loaded at
// start-up would slow every start) and those that older Windows lacks.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "platform/win32/system_files.h"

namespace tivora::win32 {

// The named system library, loaded from the system folder at its first use and kept for the run;
// nullptr when it is not there. The program keeps the module it loaded itself rather than asking
// for one by name, which could give a library of the same name loaded from elsewhere.
inline HMODULE keptSystemLibrary(const wchar_t* library) {
    static std::map<std::wstring, HMODULE> kept;  // used by the window thread only
    HMODULE& module = kept[library];
    if (!module) {
        module = loadSystemLibrary(library);
    }
    return module;
}

// The function name of library; nullptr when either is not there.
template <class Function>
Function lateBound(const wchar_t* library, const char* name) {
    HMODULE module = keptSystemLibrary(library);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace tivora::win32
