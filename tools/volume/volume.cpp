// volume.exe: "volume setsysvolume LEVEL" sets the default playback device's master volume to
// LEVEL / 65535. A GUI program that opens no window (a console one would flash a console up); a
// failure is one line on the standard error or the parent's console, and the exit code.
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/system_files.h"
#include "volume/system_volume.h"
#include "volume/volume_arguments.h"

namespace {

std::string narrow(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return "";
    }
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(size) - 1);
    return utf8;
}

std::wstring widen(const std::string& text) {
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

// A console gets the line as UTF-16, whatever its code page; a file or pipe gets UTF-8.
void writeLine(HANDLE handle, const std::string& line) {
    std::string text = line + "\r\n";
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        std::wstring wide = widen(text);
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

void report(const std::string& line) {
    HANDLE standardError = GetStdHandle(STD_ERROR_HANDLE);
    if (standardError != nullptr && standardError != INVALID_HANDLE_VALUE &&
        GetFileType(standardError) != FILE_TYPE_UNKNOWN) {
        writeLine(standardError, line);
        return;
    }
    // Started from a console without a redirection: a GUI program has no standard handles then,
    // but may write to its parent's console. Access denied means it has a console already
    // (Wine gives a GUI program its parent's).
    bool attached = AttachConsole(ATTACH_PARENT_PROCESS);
    if (!attached && GetLastError() != ERROR_ACCESS_DENIED) {
        return;
    }
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) {
        writeLine(console, line);
        CloseHandle(console);
    }
    if (attached) {
        FreeConsole();
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace tivora::volume;
    tivora::win32::loadLibrariesFromTheSystemFolderOnly();  // the audio libraries' own among them

    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        report("volume: cannot read the command line");
        return ExitUsage;
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(narrow(wide[i]));
    }
    LocalFree(wide);
    std::vector<std::string_view> views(arguments.begin(), arguments.end());

    Request request = parseArguments(views);
    if (!request.level) {
        report(request.error);
        return ExitUsage;
    }
    if (std::string failure = setMasterVolume(request.scalar()); !failure.empty()) {
        report("volume: " + failure);
        return ExitAudio;
    }
    return ExitDone;
}
