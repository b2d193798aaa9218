// The installer's custom actions: the copies running from the installation folder asked to close
// (as Restart Manager asks) and waited for before their files are replaced; the autostart value
// removed with the program, if it names the installation folder, and kept over an upgrade.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/program_copies.h"

namespace {

constexpr DWORD closeWait = 20000;  // milliseconds for the copies to save their settings and end

const wchar_t stillRunning[] =
    L"Программа Tivora!!! не закрылась. Закройте ее (правый клик по значку в области уведомлений, "
    L"«Выход») и повторите попытку.";

constexpr wchar_t runKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring property(MSIHANDLE install, const wchar_t* name) {
    DWORD size = 0;
    wchar_t empty[1] = L"";
    if (MsiGetPropertyW(install, name, empty, &size) != ERROR_MORE_DATA) {
        return L"";
    }
    std::wstring value(size + 1, L'\0');
    size = static_cast<DWORD>(value.size());
    if (MsiGetPropertyW(install, name, value.data(), &size) != ERROR_SUCCESS) {
        return L"";
    }
    value.resize(size);
    return value;
}

void log(MSIHANDLE install, const std::wstring& text) {
    PMSIHANDLE record = MsiCreateRecord(0);
    MsiRecordSetStringW(record, 0, text.c_str());
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

// The folder of the program file that a Run value starts: its data is the program's path, in
// quotation marks as the program writes it (earlier versions wrote it without).
std::wstring startedFolder(std::wstring data) {
    if (data.size() >= 2 && data.front() == L'"') {
        size_t close = data.find(L'"', 1);
        data = data.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    }
    size_t slash = data.find_last_of(L'\\');
    return slash == std::wstring::npos ? L"" : data.substr(0, slash);
}

// The data of a string value under the Run key, or nothing.
std::optional<std::wstring> runValue(HKEY key, const std::wstring& name) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    data.resize(wcsnlen(data.c_str(), data.size()));
    return data;
}

struct Windows {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND hwnd, LPARAM parameter) {
    auto& windows = *reinterpret_cast<Windows*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (processId == windows.processId) {
        windows.found.push_back(hwnd);
    }
    return TRUE;
}

// Every top-level window of the process hears that its session ends, for it alone.
void askToClose(DWORD processId) {
    Windows windows{processId, {}};
    EnumWindows(&collect, reinterpret_cast<LPARAM>(&windows));
    DWORD_PTR answer = 0;
    for (HWND hwnd : windows.found) {
        SendMessageTimeoutW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 5000,
                            &answer);
    }
    for (HWND hwnd : windows.found) {
        SendMessageTimeoutW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 5000, &answer);
    }
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall CloseRunningCopies(MSIHANDLE install) {
    std::wstring folder = property(install, L"INSTALLFOLDER");
    if (folder.empty()) {
        return ERROR_SUCCESS;
    }
    std::vector<HANDLE> processes;
    bool unwatched = false;
    for (const tivora::win32::RunningCopy& copy : tivora::win32::runningCopies(folder)) {
        log(install,
            L"Closing the copy of the program that runs as process " + std::to_wstring(copy.processId));
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, copy.processId);
        process ? processes.push_back(process) : void(unwatched = true);
        askToClose(copy.processId);
    }
    bool ended = true;
    DWORD deadline = GetTickCount() + closeWait;
    for (HANDLE process : processes) {
        DWORD now = GetTickCount();
        DWORD left = static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
        ended = WaitForSingleObject(process, left) == WAIT_OBJECT_0 && ended;
        CloseHandle(process);
    }
    // A copy whose process would not be opened is seen ended once its windows are gone.
    while (unwatched && !tivora::win32::runningCopies(folder).empty() &&
           static_cast<LONG>(deadline - GetTickCount()) > 0) {
        Sleep(100);
    }
    if (ended && (!unwatched || tivora::win32::runningCopies(folder).empty())) {
        return ERROR_SUCCESS;
    }
    PMSIHANDLE record = MsiCreateRecord(0);
    MsiRecordSetStringW(record, 0, stillRunning);
    MsiProcessMessage(install, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONWARNING),
                      record);
    return ERROR_INSTALL_FAILURE;
}

extern "C" __declspec(dllexport) UINT __stdcall RemoveAutostart(MSIHANDLE install) {
    std::wstring folder = property(install, L"INSTALLFOLDER");
    std::wstring name = property(install, L"AUTOSTARTVALUE");
    HKEY key = nullptr;
    if (folder.empty() || name.empty() ||
        RegOpenKeyExW(HKEY_CURRENT_USER, runKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        return ERROR_SUCCESS;
    }
    // Another copy of the program (unpacked from the zip elsewhere) may have registered under the
    // same name: its value is not ours to take, and ours then stands beside it, named with our folder.
    const std::wstring trimmed = folder.back() == L'\\' ? folder.substr(0, folder.size() - 1) : folder;
    for (const std::wstring& value : {name, name + L" (" + trimmed + L")"}) {
        std::optional<std::wstring> data = runValue(key, value);
        if (data && tivora::win32::folderKey(startedFolder(*data)) == tivora::win32::folderKey(folder)) {
            RegDeleteValueW(key, value.c_str());
            log(install, L"Removed the autostart value " + value);
        }
    }
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall RememberAutostart(MSIHANDLE install) {
    std::wstring name = property(install, L"AUTOSTARTVALUE");
    HKEY key = nullptr;
    if (name.empty() || RegOpenKeyExW(HKEY_CURRENT_USER, runKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return ERROR_SUCCESS;
    }
    if (std::optional<std::wstring> data = runValue(key, name)) {
        MsiSetPropertyW(install, L"AUTOSTARTBEFORE", data->c_str());
    }
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall KeepAutostart(MSIHANDLE install) {
    std::wstring name = property(install, L"AUTOSTARTVALUE");
    std::wstring data = property(install, L"AUTOSTARTBEFORE");
    HKEY key = nullptr;
    if (name.empty() || data.empty() ||
        RegCreateKeyExW(HKEY_CURRENT_USER, runKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return ERROR_SUCCESS;
    }
    if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_FILE_NOT_FOUND) {
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        log(install, L"Put the autostart value " + name + L" back after the older version's removal");
    }
    RegCloseKey(key);
    return ERROR_SUCCESS;
}
