// Windows' own programs and libraries, taken from the system folder only.
#include "platform/win32/system_files.h"

#include <utility>
#include <vector>

namespace tivora::win32 {

std::wstring systemFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        UINT n = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (n == 0) {
            return L"";
        }
        if (n < buffer.size()) {
            return std::wstring(buffer.data(), n);
        }
        buffer.resize(n);  // n is the size needed, with the terminating zero
    }
}

std::wstring systemFile(std::wstring_view name) {
    std::wstring folder = systemFolder();
    if (folder.empty()) {
        // A bare "\name" would be looked for at the root of the current drive.
        return L"";
    }
    return folder.append(L"\\").append(name);
}

HMODULE loadSystemLibrary(const wchar_t* name) {
    HMODULE library = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!library && GetLastError() == ERROR_INVALID_PARAMETER) {
        // A loader without the search flags (Windows 7 before its loader update).
        library = loadSystemLibraryByPath(name);
    }
    return library;
}

void allowPrinterDriverLibraries() {
    static bool done = false;
    if (std::exchange(done, true)) {
        return;
    }
    using GetDirectoryFn = BOOL(WINAPI*)(LPWSTR, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD);
    using AddFn = void*(WINAPI*)(PCWSTR);
    HMODULE spooler = loadSystemLibrary(L"winspool.drv");
    auto getDirectory = spooler ? reinterpret_cast<GetDirectoryFn>(reinterpret_cast<void*>(
                                      GetProcAddress(spooler, "GetPrinterDriverDirectoryW")))
                                : nullptr;
    auto add = reinterpret_cast<AddFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory")));
    wchar_t folder[MAX_PATH] = {};
    DWORD needed = 0;
    if (getDirectory && add &&
        getDirectory(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(folder), sizeof folder, &needed)) {
        add(folder);
        add((std::wstring(folder) + L"\\3").c_str());  // where the drivers of this Windows lie
    }
}

HMODULE loadSystemLibraryByPath(const wchar_t* name) {
    std::wstring path = systemFile(name);
    if (path.empty()) {
        return nullptr;
    }
    // With the altered search path the libraries this one needs are looked for in its own folder
    // (the system folder) first, not in the program's.
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace tivora::win32
