// RegEnumValueW over the Run key, RegGetValueW for the StartupApproved record, and a path
// expanded (ExpandEnvironmentStringsW) to its file's final path.
#include "platform/win32/run_key.h"

#include <windows.h>

#include "platform/win32/program_copies.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

std::vector<platform::RunKey::Value> Win32RunKey::runValues() {
    std::vector<platform::RunKey::Value> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return values;
    }
    std::wstring name(16384, L'\0');  // the longest name a value may have, and its end
    std::vector<BYTE> data(4096);
    for (DWORD index = 0;;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD bytes = static_cast<DWORD>(data.size());
        LONG result =
            RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &bytes);
        if (result == ERROR_MORE_DATA) {
            data.resize(bytes + sizeof(wchar_t));
            continue;  // the same value again, with room for its data
        }
        if (result != ERROR_SUCCESS) {
            break;
        }
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            std::wstring command(reinterpret_cast<const wchar_t*>(data.data()), bytes / sizeof(wchar_t));
            command.resize(wcsnlen(command.c_str(), command.size()));
            values.push_back({narrow(name.substr(0, nameLength)), narrow(command)});
        }
        ++index;
    }
    RegCloseKey(key);
    return values;
}

bool Win32RunKey::startSwitchedOff(const std::string& name) {
    BYTE record[64] = {};
    DWORD bytes = sizeof record;
    return RegGetValueW(HKEY_CURRENT_USER,
                        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run",
                        widen(name).c_str(), RRF_RT_REG_BINARY, nullptr, record, &bytes) == ERROR_SUCCESS &&
           bytes > 0 && (record[0] & 1) != 0;
}

std::string Win32RunKey::programFileKey(const std::string& path) {
    std::wstring written = widen(path);
    DWORD needed = ExpandEnvironmentStringsW(written.c_str(), nullptr, 0);
    std::wstring expanded(needed, L'\0');
    if (needed == 0 || ExpandEnvironmentStringsW(written.c_str(), expanded.data(), needed) == 0) {
        return "";
    }
    expanded.resize(wcsnlen(expanded.c_str(), expanded.size()));
    DWORD attributes = GetFileAttributesW(expanded.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return "";
    }
    return narrow(folderKey(expanded));  // a file's final path as well as a folder's
}

}  // namespace tivora::win32
