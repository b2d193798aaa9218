// Functions of system libraries that only printing and the open-file dialog need, bound when
// first called: loading comdlg32 and winspool at start-up would slow every start for a help
// window that is rarely printed.
#pragma once

#include <windows.h>

namespace tivora::win32 {

// The function name of library (loaded once, kept for the run); nullptr when it is not there.
template <class Function>
Function lateBound(const wchar_t* library, const char* name) {
    HMODULE module = GetModuleHandleW(library);
    if (!module) {
        module = LoadLibraryW(library);
    }
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace tivora::win32
