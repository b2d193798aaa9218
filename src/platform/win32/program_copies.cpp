// One copy per program folder: a folder's key (its final path), its mutex, the running copies found
// by their application windows, and the request to show the main window.
#include "platform/win32/program_copies.h"

#include <algorithm>
#include <cstdint>

#include "platform/win32/final_path.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

namespace {

// The folder of a program file's full path.
std::wstring folderOf(std::wstring_view path) {
    size_t slash = path.find_last_of(L"\\/");
    return std::wstring(slash == std::wstring_view::npos ? std::wstring_view() : path.substr(0, slash));
}

std::wstring processImage(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) {
        return L"";
    }
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(path.size());
        if (QueryFullProcessImageNameW(process, 0, path.data(), &size)) {
            path.resize(size);
            break;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() > 32768) {
            path.clear();
            break;
        }
        path.resize(path.size() * 2);
    }
    CloseHandle(process);
    return path;
}

struct CopySearch {
    std::wstring key;
    DWORD self;
    std::vector<RunningCopy> found;
};

BOOL CALLBACK visitWindow(HWND hwnd, LPARAM parameter) {
    auto& search = *reinterpret_cast<CopySearch*>(parameter);
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (lstrcmpW(className, applicationClass) != 0) {
        return TRUE;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (processId == 0 || processId == search.self) {
        return TRUE;
    }
    std::wstring image = processImage(processId);
    if (!image.empty() && folderKey(folderOf(image)) == search.key) {
        search.found.push_back({processId, hwnd});
    }
    return TRUE;
}

}  // namespace

std::wstring folderKey(std::wstring_view folder) {
    std::wstring path(folder);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    // The same folder reached through another drive letter or a junction is one folder.
    if (std::wstring resolved = finalPath(path); !resolved.empty()) {
        path = resolved;
    } else if (DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0); needed > 0) {
        // Not there to open: its long name at least (C:\PROGRA~1\... is C:\Program Files\...).
        std::wstring longPath(needed, L'\0');
        DWORD written = GetLongPathNameW(path.c_str(), longPath.data(), needed);
        if (written > 0 && written < needed) {
            path = longPath.substr(0, written);
        }
    }
    while (path.size() > 3 && path.back() == L'\\') {
        path.pop_back();
    }
    if (!path.empty()) {
        CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    }
    return path;
}

std::wstring oneCopyMutexName(std::wstring_view folder) {
    // FNV-1a over the key's UTF-16 units: 64 bits make two folders' names meet practically never.
    std::uint64_t hash = 14695981039346656037ull;
    for (wchar_t unit : folderKey(folder)) {
        hash = (hash ^ static_cast<std::uint16_t>(unit)) * 1099511628211ull;
    }
    // Sixteen hexadecimal digits, as "%016llX" writes them (the wide printf would bring 10 KB of
    // formatting code into the exe for this one line).
    std::wstring name = L"Local\\Tivora!!! program folder ";
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += L"0123456789ABCDEF"[(hash >> shift) & 0xF];
    }
    return name;
}

std::vector<RunningCopy> runningCopies(std::wstring_view folder) {
    CopySearch search{folderKey(folder), GetCurrentProcessId(), {}};
    EnumWindows(&visitWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

UINT showRequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"Tivora!!! show the main window");
    return message;
}

ProgramCopies::~ProgramCopies() { release(); }

void ProgramCopies::release() {
    if (mutex_) {
        if (owned_) {
            ReleaseMutex(mutex_);
        }
        CloseHandle(mutex_);
    }
    mutex_ = nullptr;
    owned_ = false;
}

bool ProgramCopies::claimProgramFolder(const std::string& folder, int waitMilliseconds) {
    std::wstring name = oneCopyMutexName(widen(folder));
    if (name != name_) {
        release();
        name_ = name;
    }
    if (!mutex_) {
        mutex_ = CreateMutexW(nullptr, FALSE, name_.c_str());
        if (!mutex_ && GetLastError() == ERROR_ACCESS_DENIED) {
            // A copy run as administrator made it: the right to wait on it is all we need.
            mutex_ = OpenMutexW(SYNCHRONIZE, FALSE, name_.c_str());
            if (!mutex_) {
                Sleep(static_cast<DWORD>(std::max(waitMilliseconds, 0)));  // as long as a wait on it
                return false;
            }
        }
        if (!mutex_) {
            // The system will not say who else runs: better two copies than none.
            return true;
        }
    }
    if (!owned_) {
        // A copy that ended without letting go (it crashed) leaves the mutex abandoned: ours now.
        DWORD result = WaitForSingleObject(mutex_, static_cast<DWORD>(std::max(waitMilliseconds, 0)));
        owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
    return owned_;
}

bool ProgramCopies::askRunningCopyToShow(const std::string& folder) {
    for (const RunningCopy& copy : runningCopies(widen(folder))) {
        // The user started us: we may hand the foreground on to the copy that shows its window.
        AllowSetForegroundWindow(copy.processId);
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(copy.applicationWindow, showRequestMessage(), 0, 0,
                                SMTO_ABORTIFHUNG | SMTO_BLOCK, 5000, &answer) &&
            static_cast<LRESULT>(answer) == showRequestTaken) {
            return true;
        }
    }
    return false;
}

}  // namespace tivora::win32
