// The program's module file and its version record (version.dll, loaded when asked).
#include "platform/win32/application.h"

#include <vector>

#include "platform/win32/system_files.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

std::wstring modulePath(HMODULE module) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return L"";
        }
        if (n < buffer.size()) {
            return std::wstring(buffer.data(), n);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string Win32Application::programFolder() {
    std::wstring path = modulePath(instance_);
    size_t slash = path.find_last_of(L"\\/");
    return narrow(slash == std::wstring::npos ? L"" : path.substr(0, slash));
}

std::string Win32Application::exeName() {
    std::wstring path = modulePath(instance_);
    size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of(L'.');
    return narrow(dot == std::wstring::npos ? name : name.substr(0, dot));
}

std::string Win32Application::productName() {
    // version.dll is loaded only here, when the name is asked for: nothing at start-up needs it.
    // It is not among the libraries Windows always takes from the system folder, so a version.dll
    // beside the program would be loaded if it were asked for by name alone.
    HMODULE library = loadSystemLibrary(L"version.dll");
    if (!library) {
        return "";
    }
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    auto size =
        reinterpret_cast<SizeFn>(reinterpret_cast<void*>(GetProcAddress(library, "GetFileVersionInfoSizeW")));
    auto info =
        reinterpret_cast<InfoFn>(reinterpret_cast<void*>(GetProcAddress(library, "GetFileVersionInfoW")));
    auto query =
        reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(library, "VerQueryValueW")));
    std::string name;
    std::wstring path = modulePath(instance_);
    DWORD ignored = 0;
    DWORD bytes = size && info && query ? size(path.c_str(), &ignored) : 0;
    std::vector<char> data(bytes);
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    if (bytes != 0 && info(path.c_str(), 0, bytes, data.data()) &&
        query(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) &&
        length >= sizeof(Translation)) {
        wchar_t key[64];
        wsprintfW(key, L"\\StringFileInfo\\%04x%04x\\ProductName", translations[0].language,
                  translations[0].codePage);
        wchar_t* value = nullptr;
        if (query(data.data(), key, reinterpret_cast<void**>(&value), &length) && length != 0) {
            name = narrow(std::wstring_view(value, wcsnlen(value, length)));
        }
    }
    FreeLibrary(library);
    return name;
}

}  // namespace tivora::win32
