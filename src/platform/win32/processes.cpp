// CreateProcessW with the window style asked for; its refusals as the program's run-time errors.
#include "platform/win32/processes.h"

#include <windows.h>

#include "base/error.h"

#include "platform/win32/system_files.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

namespace {

// program: the file to run, or nullptr to take it from the command line's start.
std::uint32_t createProcess(const wchar_t* program, std::wstring commandLine, platform::WindowStyle style) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow =
        static_cast<WORD>(style == platform::WindowStyle::MinimizedFocus     ? SW_SHOWMINIMIZED
                          : style == platform::WindowStyle::MinimizedNoFocus ? SW_SHOWMINNOACTIVE
                                                                             : static_cast<int>(style));
    PROCESS_INFORMATION process{};
    // CreateProcessW may write into the command line.
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        DWORD error = GetLastError();
        bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                       error == ERROR_BAD_PATHNAME || error == ERROR_INVALID_NAME;
        throw RuntimeError(missing ? err::FileNotFound : err::InvalidCall);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return process.dwProcessId;
}

}  // namespace

std::uint32_t Win32Processes::start(const std::string& commandLine, platform::WindowStyle style) {
    return createProcess(nullptr, widen(commandLine), style);
}

std::wstring systemToolPath(const std::string& tool) {
    // A 32-bit program on 64-bit Windows is sent to SysWOW64's tool; for reg.exe that comes to
    // the same, as the current user's Run key is shared by 32- and 64-bit programs.
    return systemFile(widen(tool));
}

std::wstring systemToolCommandLine(const std::string& tool, const std::string& arguments) {
    return L"\"" + systemToolPath(tool) + L"\" " + widen(arguments);
}

std::uint32_t Win32Processes::startSystemTool(const std::string& tool, const std::string& arguments,
                                              platform::WindowStyle style) {
    // By its full path, also as the program to run: Windows searches for a program named by
    // its command line alone, in the program's folder and the current folder before its own.
    std::wstring path = systemToolPath(tool);
    if (path.empty()) {
        throw RuntimeError(err::FileNotFound);
    }
    return createProcess(path.c_str(), systemToolCommandLine(tool, arguments), style);
}

}  // namespace tivora::win32
