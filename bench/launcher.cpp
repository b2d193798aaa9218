// Starts a program and measures, from inside Wine, how long it takes until it shows a visible
// top-level window, and the most memory it has used a while later. Prints one JSON line:
//   launcher.exe PROGRAM [SETTLE_MS]
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>

struct Search {
    DWORD pid;
    HWND found;
};

static BOOL CALLBACK visibleWindowOf(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd) && GetWindowTextLengthW(hwnd) > 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: launcher PROGRAM [SETTLE_MS]\n", stderr);
        return 2;
    }
    std::wstring program = argv[1];
    DWORD settle = argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 1500;
    std::wstring folder = program.substr(0, program.find_last_of(L'\\'));
    std::wstring line = L"\"" + program + L"\"";

    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start: %lu\n", GetLastError());
        return 1;
    }
    Search search{process.dwProcessId, nullptr};
    double visibleMs = -1;
    for (int i = 0; i < 30000 && !search.found; ++i) {
        EnumWindows(visibleWindowOf, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        if (search.found) {
            visibleMs = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart);
        } else {
            Sleep(1);
        }
    }
    Sleep(settle);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    std::printf("{\"visible_ms\":%.2f,\"peak_working_set\":%lu,\"peak_pagefile\":%lu}\n", visibleMs,
                static_cast<unsigned long>(memory.PeakWorkingSetSize),
                static_cast<unsigned long>(memory.PeakPagefileUsage));
    return search.found ? 0 : 1;
}
