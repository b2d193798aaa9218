// Windows' clock, message boxes, regional settings, module file and version record.
#include "platform/win32/win32_platform.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstddef>
#include <cstring>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "base/error.h"

#include "platform/win32/com_apartment.h"
#include "platform/win32/late_binding.h"
#include "platform/win32/system_files.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance) {}

std::wstring Win32Platform::modulePath(HMODULE module) {
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

std::string Win32Platform::programFolder() {
    std::wstring path = modulePath(instance_);
    size_t slash = path.find_last_of(L"\\/");
    return narrow(slash == std::wstring::npos ? L"" : path.substr(0, slash));
}

std::string Win32Platform::exeName() {
    std::wstring path = modulePath(instance_);
    size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of(L'.');
    return narrow(dot == std::wstring::npos ? name : name.substr(0, dot));
}

std::string Win32Platform::productName() {
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

DateTime Win32Platform::now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

// The tick count goes on while the machine sleeps, the unbiased interrupt time (in 100 ns) does
// not: their difference is the time asleep, to the tick count's resolution (10 to 16 ms).
std::int64_t Win32Platform::sleptMilliseconds() {
    ULONGLONG awake = 0;
    QueryUnbiasedInterruptTime(&awake);
    return static_cast<std::int64_t>(GetTickCount64()) - static_cast<std::int64_t>(awake / 10000);
}

namespace {

// The box of the message that must stand above every window: the first one the thread activates
// while it is asked for. (MB_TOPMOST is not honoured by every implementation of the box.)
HWND boxToRaise = nullptr;
LRESULT CALLBACK raiseTheBox(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = {};
    if (code == HCBT_ACTIVATE && !boxToRaise && GetClassNameW(window, className, 16) &&
        lstrcmpW(className, L"#32770") == 0) {
        boxToRaise = window;
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void messageBox(const std::string& text, const std::string& title, bool onTop) {
    // Owned by the program's active window, so that it is modal to it; with none (the window
    // hidden in the tray, or another program in front) it is modal to the whole program.
    HWND owner = GetActiveWindow();
    UINT flags = MB_OK | MB_SETFOREGROUND | (owner ? 0 : MB_TASKMODAL) | (onTop ? MB_TOPMOST : 0);
    HHOOK hook = nullptr;
    if (onTop) {
        boxToRaise = nullptr;
        hook = SetWindowsHookExW(WH_CBT, raiseTheBox, nullptr, GetCurrentThreadId());
    }
    MessageBoxW(owner, widen(text).c_str(), widen(title).c_str(), flags);
    if (hook) {
        UnhookWindowsHookEx(hook);
    }
}

}  // namespace

void Win32Platform::show(const std::string& text, const std::string& title) {
    messageBox(text, title, false);
}

void Win32Platform::showOnTop(const std::string& text, const std::string& title) {
    messageBox(text, title, true);
}

NumberFormat Win32Platform::numberFormat() {
    wchar_t decimal[8] = {};
    NumberFormat format;
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8) > 1) {
        format.decimalSeparator = narrow(decimal);
    }
    return format;
}

std::string Win32Platform::toAnsi(std::string_view text) {
    std::wstring wide = widen(text);
    if (wide.empty()) {
        return "";
    }
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr,
                        nullptr);
    return bytes;
}

std::string Win32Platform::fromAnsi(std::string_view bytes) {
    if (bytes.empty()) {
        return "";
    }
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return narrow(wide);
}

std::uint32_t Win32Platform::start(const std::string& commandLine, platform::WindowStyle style) {
    return createProcess(nullptr, widen(commandLine), style);
}

std::wstring Win32Platform::systemToolPath(const std::string& tool) {
    // On 64-bit Windows a 32-bit program is given System32 here, and the file system sends it to
    // SysWOW64's 32-bit tool. For reg.exe that comes to the same: the 32-bit tool writes the same
    // value under HKEY_CURRENT_USER's Run key, which 32- and 64-bit programs share (the current
    // user's software keys are not redirected).
    return systemFile(widen(tool));
}

std::wstring Win32Platform::systemToolCommandLine(const std::string& tool, const std::string& arguments) {
    return L"\"" + systemToolPath(tool) + L"\" " + widen(arguments);
}

std::uint32_t Win32Platform::startSystemTool(const std::string& tool, const std::string& arguments,
                                             platform::WindowStyle style) {
    // By its full path, also as the program to run: Windows searches for a program named by
    // its command line alone, in the program's folder and the current folder before its own.
    std::wstring path = systemToolPath(tool);
    if (path.empty()) {
        throw RuntimeError(err::FileNotFound);
    }
    return createProcess(path.c_str(), systemToolCommandLine(tool, arguments), style);
}

std::uint32_t Win32Platform::createProcess(const wchar_t* program, std::wstring commandLine,
                                           platform::WindowStyle style) {
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

std::intptr_t Win32Platform::ShellExecuteW(std::uintptr_t owner, const std::string& verb,
                                           const std::string& file, const std::string& parameters,
                                           const std::string& directory, int showCommand) {
    enterComApartment();
    HINSTANCE result =
        ::ShellExecuteW(reinterpret_cast<HWND>(owner), widen(verb).c_str(), widen(file).c_str(),
                        widen(parameters).c_str(), widen(directory).c_str(), showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

std::uintptr_t Win32Platform::GetDesktopWindow() {
    return reinterpret_cast<std::uintptr_t>(::GetDesktopWindow());
}

std::uintptr_t Win32Platform::FindWindowA(const std::optional<std::string>& className,
                                          const std::string& title) {
    std::string ansiClass = className ? toAnsi(*className) : "";
    std::string ansiTitle = toAnsi(title);
    return reinterpret_cast<std::uintptr_t>(
        ::FindWindowA(className ? ansiClass.c_str() : nullptr, ansiTitle.c_str()));
}

bool Win32Platform::SetForegroundWindow(std::uintptr_t window) {
    return ::SetForegroundWindow(reinterpret_cast<HWND>(window)) != FALSE;
}

bool Win32Platform::AttachThreadInput(bool attach) {
    DWORD ours = GetCurrentThreadId();
    if (!attach) {
        DWORD theirs = std::exchange(joinedThread_, 0);
        return theirs != 0 && ::AttachThreadInput(ours, theirs, FALSE);
    }
    HWND foreground = GetForegroundWindow();
    DWORD theirs = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    if (theirs == 0 || theirs == ours || !::AttachThreadInput(ours, theirs, TRUE)) {
        return false;
    }
    joinedThread_ = theirs;
    return true;
}

void Win32Platform::FlashWindowEx(std::uintptr_t window) {
    FLASHWINFO flash{sizeof flash, reinterpret_cast<HWND>(window), FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    ::FlashWindowEx(&flash);
}

namespace {

// Thread timers carry no context of their own: their actions are kept by id.
std::map<UINT_PTR, std::function<void()>>& onceActions() {
    static std::map<UINT_PTR, std::function<void()>> actions;
    return actions;
}

void CALLBACK runOnce(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto& actions = onceActions();
    auto found = actions.find(id);
    if (found == actions.end()) {
        return;
    }
    std::function<void()> action = std::move(found->second);
    actions.erase(found);
    try {
        action();
    } catch (...) {
        // The actions trap their own failures; nothing may cross user32.
    }
}

}  // namespace

int Win32Platform::startOnce(int milliseconds, std::function<void()> action) {
    UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), &runOnce);
    if (id == 0) {
        throw RuntimeError(err::OutOfMemory);
    }
    onceActions()[id] = std::move(action);
    return static_cast<int>(id);
}

void Win32Platform::cancel(int id) {
    auto& actions = onceActions();
    auto found = actions.find(static_cast<UINT_PTR>(id));
    if (found != actions.end()) {
        KillTimer(nullptr, found->first);
        actions.erase(found);
    }
}

namespace {

const wchar_t* wideChars(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

std::uint32_t Win32Platform::GetPrivateProfileStringW(const std::u16string& section,
                                                      const std::u16string& key,
                                                      const std::u16string& defaultText,
                                                      std::u16string& buffer, const std::u16string& file) {
    if (buffer.empty()) {
        return 0;
    }
    return ::GetPrivateProfileStringW(wideChars(section), wideChars(key), wideChars(defaultText),
                                      reinterpret_cast<wchar_t*>(buffer.data()),
                                      static_cast<DWORD>(buffer.size()), wideChars(file));
}

bool Win32Platform::WritePrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                               const std::u16string& value, const std::u16string& file) {
    SetLastError(ERROR_SUCCESS);
    if (::WritePrivateProfileStringW(wideChars(section), wideChars(key), wideChars(value), wideChars(file))) {
        lastWriteError_ = 0;
        return true;
    }
    // A refusal whose reason the system did not set is still a refusal.
    lastWriteError_ = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
    return false;
}

void Win32Platform::flushCache(const std::u16string& file) {
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, wideChars(file));
}

bool Win32Platform::fileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// The error of the call that just failed, never "done".
platform::FileError failure() {
    DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

}  // namespace

platform::FileError Win32Platform::read(const std::string& path, std::string& bytes) {
    HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return failure();
    }
    bytes.clear();
    char chunk[65536];
    DWORD got = 0;
    platform::FileError error = ERROR_SUCCESS;
    while ((error = ReadFile(file, chunk, sizeof chunk, &got, nullptr) ? ERROR_SUCCESS : failure()) ==
               ERROR_SUCCESS &&
           got > 0) {
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    return error;
}

platform::FileError Win32Platform::write(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return failure();
    }
    DWORD written = 0;
    platform::FileError error = ERROR_SUCCESS;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        error = failure();
    } else if (written != bytes.size()) {
        error = ERROR_DISK_FULL;
    }
    if (!CloseHandle(file) && error == ERROR_SUCCESS) {
        error = failure();
    }
    return error;
}

platform::FileError Win32Platform::flush(const std::string& path) {
    HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return failure();
    }
    platform::FileError error = FlushFileBuffers(file) ? ERROR_SUCCESS : failure();
    CloseHandle(file);
    return error;
}

platform::FileError Win32Platform::replace(const std::string& fresh, const std::string& target) {
    return MoveFileExW(widen(fresh).c_str(), widen(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? ERROR_SUCCESS
               : failure();
}

void Win32Platform::remove(const std::string& path) { DeleteFileW(widen(path).c_str()); }

std::string Win32Platform::errorText(platform::FileError error) {
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words = length ? std::wstring(text, length) : L"";
    LocalFree(text);
    while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' ')) {
        words.pop_back();
    }
    if (words.empty()) {
        words = L"Код ошибки " + std::to_wstring(error);
    }
    return narrow(words);
}

void Win32Platform::pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

bool Win32Platform::startSwitchedOff(const std::string& name) {
    BYTE record[64] = {};
    DWORD bytes = sizeof record;
    return RegGetValueW(HKEY_CURRENT_USER,
                        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run",
                        widen(name).c_str(), RRF_RT_REG_BINARY, nullptr, record, &bytes) == ERROR_SUCCESS &&
           bytes > 0 && (record[0] & 1) != 0;
}

std::string Win32Platform::programFileKey(const std::string& path) {
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

std::vector<platform::RunKey::Value> Win32Platform::runValues() {
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

bool Win32Platform::PostMessageA(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    return ::PostMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam) != FALSE;
}

std::uint32_t Win32Platform::firstVersionRecordSize() { return NOTIFYICONDATAA_V1_SIZE; }

bool Win32Platform::Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconRecord& record) {
    NOTIFYICONDATAA data{};
    data.cbSize = record.cbSize;
    data.hWnd = reinterpret_cast<HWND>(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.hIcon);
    std::copy(record.szTip.begin(), record.szTip.end(), data.szTip);
    return ::Shell_NotifyIconA(message, &data) != FALSE;
}

void Win32Platform::onNotifyAreaCreated(std::function<void()> action) {
    notifyAreaCreated_.push_back(std::move(action));
}

void Win32Platform::notifyAreaCreated() {
    for (auto& action : notifyAreaCreated_) {
        action();
    }
}

int Win32Platform::DrawTextW(std::uintptr_t deviceContext, const std::string& text, int left, int top,
                             int right, int bottom, std::uint32_t format) {
    RECT rect{left, top, right, bottom};
    std::wstring wide = widen(text);
    return ::DrawTextW(reinterpret_cast<HDC>(deviceContext), wide.c_str(), -1, &rect, format);
}

std::uintptr_t Win32Platform::GlobalAlloc(std::uint32_t flags, std::size_t bytes) {
    return reinterpret_cast<std::uintptr_t>(::GlobalAlloc(flags, bytes));
}
void* Win32Platform::GlobalLock(std::uintptr_t block) {
    return ::GlobalLock(reinterpret_cast<HGLOBAL>(block));
}
bool Win32Platform::GlobalUnlock(std::uintptr_t block) {
    return ::GlobalUnlock(reinterpret_cast<HGLOBAL>(block)) != FALSE;
}
std::uintptr_t Win32Platform::GlobalFree(std::uintptr_t block) {
    return reinterpret_cast<std::uintptr_t>(::GlobalFree(reinterpret_cast<HGLOBAL>(block)));
}
std::size_t Win32Platform::GlobalSize(std::uintptr_t block) {
    return block ? ::GlobalSize(reinterpret_cast<HGLOBAL>(block)) : 0;
}
void Win32Platform::moveMemory(void* destination, const void* source, std::size_t length) {
    std::memmove(destination, source, length);
}

// The records as the program hands them to the dialogs, checked against the system's own
// declarations: the field offsets everywhere, the record sizes where the program is 32-bit.
namespace records = platform::records;
static_assert(offsetof(DEVMODEW, dmSize) == records::dmSize &&
              offsetof(DEVMODEW, dmFields) == records::dmFields &&
              offsetof(DEVMODEW, dmOrientation) == records::dmOrientation &&
              offsetof(DEVMODEW, dmPaperSize) == records::dmPaperSize &&
              offsetof(DEVMODEW, dmPaperWidth) == records::dmPaperWidth &&
              offsetof(DEVMODEW, dmCopies) == records::dmCopies &&
              offsetof(DEVMODEW, dmDefaultSource) == records::dmDefaultSource &&
              offsetof(DEVMODEW, dmPrintQuality) == records::dmPrintQuality &&
              offsetof(DEVMODEW, dmColor) == records::dmColor &&
              offsetof(DEVMODEW, dmDuplex) == records::dmDuplex &&
              offsetof(DEVMODEW, dmCollate) == records::dmCollate &&
              sizeof(DEVMODEW::dmDeviceName) == records::dmDeviceNameCharacters * sizeof(WCHAR));
// The settings block holds the form name, which the dialog reads when dmSize reaches past it,
// and no more than DEVMODEW.
static_assert(offsetof(DEVMODEW, dmFormName) + CCHFORMNAME * sizeof(WCHAR) <= records::devModeBytes &&
              records::devModeBytes <= sizeof(DEVMODEW));
static_assert(sizeof(DEVNAMES) == records::devNamesHeaderBytes);
#if !defined(_WIN64)
static_assert(sizeof(PRINTDLGW) == records::printDialogBytes);
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName) ==
              records::openFileBytes);
#endif

std::uint32_t Win32Platform::printDialogRecordSize() { return sizeof(PRINTDLGW); }

bool Win32Platform::PrintDlgW(platform::PrintDialogRecord& record) {
    PRINTDLGW dialog{};
    dialog.lStructSize = record.lStructSize;
    dialog.hwndOwner = reinterpret_cast<HWND>(record.hwndOwner);
    dialog.hDevMode = reinterpret_cast<HGLOBAL>(record.hDevMode);
    dialog.hDevNames = reinterpret_cast<HGLOBAL>(record.hDevNames);
    dialog.Flags = record.Flags;
    dialog.nFromPage = record.nFromPage;
    dialog.nToPage = record.nToPage;
    dialog.nMinPage = record.nMinPage;
    dialog.nMaxPage = record.nMaxPage;
    dialog.nCopies = record.nCopies;
    auto printDlg = lateBound<BOOL(WINAPI*)(LPPRINTDLGW)>(L"comdlg32.dll", "PrintDlgW");
    BOOL confirmed = printDlg ? printDlg(&dialog) : FALSE;
    // The dialog may hand back other blocks than it got.
    record.hDevMode = reinterpret_cast<std::uintptr_t>(dialog.hDevMode);
    record.hDevNames = reinterpret_cast<std::uintptr_t>(dialog.hDevNames);
    record.Flags = dialog.Flags;
    record.nFromPage = dialog.nFromPage;
    record.nToPage = dialog.nToPage;
    record.nCopies = dialog.nCopies;
    return confirmed != FALSE;
}

std::uint32_t Win32Platform::openFileRecordSize() { return OPENFILENAME_SIZE_VERSION_400W; }

bool Win32Platform::GetOpenFileNameW(platform::OpenFileRecord& record) {
    OPENFILENAMEW dialog{};
    dialog.lStructSize = record.lStructSize;
    dialog.hwndOwner = reinterpret_cast<HWND>(record.hwndOwner);
    dialog.hInstance = reinterpret_cast<HINSTANCE>(record.hInstance);
    std::wstring filter = widen(record.lpstrFilter);  // its NULs kept
    dialog.lpstrFilter = filter.c_str();
    std::wstring given = widen(record.lpstrFile);
    std::vector<wchar_t> file(std::max<std::size_t>(record.nMaxFile, given.size() + 1), L'\0');
    std::copy(given.begin(), given.end(), file.begin());
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = record.nMaxFile;
    std::wstring folder = record.lpstrInitialDir ? widen(*record.lpstrInitialDir) : L"";
    std::wstring title = record.lpstrTitle ? widen(*record.lpstrTitle) : L"";
    dialog.lpstrInitialDir = record.lpstrInitialDir ? folder.c_str() : nullptr;
    dialog.lpstrTitle = record.lpstrTitle ? title.c_str() : nullptr;
    dialog.Flags = record.Flags;
    auto getOpenFileName = lateBound<BOOL(WINAPI*)(LPOPENFILENAMEW)>(L"comdlg32.dll", "GetOpenFileNameW");
    BOOL chosen = getOpenFileName ? getOpenFileName(&dialog) : FALSE;
    // The buffer as long as it was handed over, the dialog's answer and its NUL within it.
    record.lpstrFile = narrow(std::wstring_view(file.data(), given.size()));
    return chosen != FALSE;
}

bool Win32Platform::GetSaveFileNameW(platform::SaveFileRecord& record) {
    std::wstring filter = widen(record.filter) + L'\0';
    std::wstring extension = widen(record.defaultExtension);
    std::wstring title = widen(record.title);
    std::vector<wchar_t> file(32768, L'\0');  // room for a long path
    std::wstring given = widen(record.file);
    std::copy(given.begin(), given.begin() + std::min(given.size(), file.size() - 1), file.begin());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = reinterpret_cast<HWND>(record.hwndOwner);
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    auto getSaveFileName = lateBound<BOOL(WINAPI*)(LPOPENFILENAMEW)>(L"comdlg32.dll", "GetSaveFileNameW");
    if (!getSaveFileName || !getSaveFileName(&dialog)) {
        return false;
    }
    record.file = narrow(file.data());
    return true;
}

std::vector<std::string> Win32Platform::findFiles(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(widen(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const DWORD skipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (!(found.dwFileAttributes & skipped)) {
            names.push_back(narrow(found.cFileName));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

int systemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

double Win32Platform::twipsPerPixelX() { return 1440.0 / systemDpi(); }

double Win32Platform::twipsPerPixelY() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

}  // namespace tivora::win32
