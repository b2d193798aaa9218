// Windows' own programs and libraries, taken from the system folder only.
#include "platform/win32/system_files.h"

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
