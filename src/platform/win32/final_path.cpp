// GetFinalPathNameByHandleW on a handle that asks for no access, bound late (Vista and later).
#include "platform/win32/final_path.h"

#include "platform/win32/late_binding.h"

namespace tivora::win32 {

std::wstring finalPath(const std::wstring& path, unsigned long* error) {
    using GetFinalPath = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
    static const auto getFinalPath = lateBound<GetFinalPath>(L"kernel32.dll", "GetFinalPathNameByHandleW");
    auto failed = [&](DWORD reason) {
        error ? void(*error = reason != ERROR_SUCCESS ? reason : ERROR_GEN_FAILURE) : void();
        return std::wstring();
    };
    if (!getFinalPath) {
        return failed(ERROR_PROC_NOT_FOUND);
    }
    HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return failed(GetLastError());
    }
    std::wstring final(MAX_PATH, L'\0');
    DWORD length = getFinalPath(handle, final.data(), static_cast<DWORD>(final.size()), 0);
    if (length >= final.size()) {
        final.resize(length);
        length = getFinalPath(handle, final.data(), static_cast<DWORD>(final.size()), 0);
    }
    DWORD reason = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
    CloseHandle(handle);
    if (length == 0 || length >= final.size()) {
        return failed(reason);
    }
    final.resize(length);
    // "\\?\C:\Folder" and "\\?\UNC\server\share": the usual forms.
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        return L"\\\\" + final.substr(8);
    }
    return final.rfind(L"\\\\?\\", 0) == 0 ? final.substr(4) : final;
}

}  // namespace tivora::win32
