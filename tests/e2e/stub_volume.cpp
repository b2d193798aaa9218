// A stand-in for a tool the program starts (the volume tool, or a reg.exe planted where the program
// must not look): it changes nothing and appends its start time and command line to
// NAME-calls.txt beside itself (volume-calls.txt as volume.exe).
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    FILETIME local;
    FileTimeToLocalFileTime(&created, &local);
    SYSTEMTIME t;
    FileTimeToSystemTime(&local, &t);

    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring log(path, n);  // C:\folder\reg.exe records into C:\folder\reg-calls.txt
    log = log.substr(0, log.find_last_of(L'.')) + L"-calls.txt";

    const wchar_t* line = GetCommandLineW();
    int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(size) - 1);

    if (FILE* f = _wfopen(log.c_str(), L"ab")) {
        std::fprintf(f, "%02u:%02u:%02u.%03u\t%s\n", t.wHour, t.wMinute, t.wSecond, t.wMilliseconds,
                     utf8.c_str());
        std::fclose(f);
    }
    return 0;
}
