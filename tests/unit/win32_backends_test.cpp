// The Windows backends of platform/, each on its own: what the program learns from Windows about
// itself and the user's settings, and what it asks of it.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "platform/win32/application.h"
#include "platform/win32/clock.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/late_binding.h"
#include "platform/win32/processes.h"
#include "platform/win32/regional.h"
#include "platform/win32/screen.h"
#include "platform/win32/shell.h"
#include "platform/win32/system_files.h"
#include "platform/win32/timers.h"
#include "platform/win32/wide.h"
#include "platform/win32/window_functions.h"

namespace tivora::win32 {
namespace {

TEST(Win32Application, KnowsItsFolderAndName) {
    Win32Application system(GetModuleHandleW(nullptr));
    EXPECT_EQ(system.exeName(), "win32_tests");
    std::string folder = system.programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_NE(GetFileAttributesA((folder + "\\win32_tests.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32Application, ReadsTheProductNameFromItsOwnVersionRecord) {
    Win32Application system(GetModuleHandleW(nullptr));
    EXPECT_EQ(system.productName(), "Tivora!!! v.1.1");
}

TEST(Win32Regional, SpeaksTheRussianCodePageAndNumberFormat) {
    // The tests run with the Russian locale, like our users' systems.
    Win32Regional system;
    ASSERT_EQ(GetACP(), 1251u);
    EXPECT_EQ(system.toAnsi("Справка"), "\xD1\xEF\xF0\xE0\xE2\xEA\xE0");
    EXPECT_EQ(system.fromAnsi("\xD1\xEF\xF0\xE0\xE2\xEA\xE0"), "Справка");
    EXPECT_EQ(system.numberFormat().decimalSeparator, ",");
    // What the code page lacks is lost on the way to the settings file. Windows maps some
    // letters to a near one ("é" to "e") and each half of a character beyond 16 bits to "?";
    // the portable conversion writes one "?" for each character it lacks.
    EXPECT_EQ(system.toAnsi("é✓🌙Ё"), "e???\xA8");
    EXPECT_EQ(utf8ToCp1251("é✓🌙Ё"), "???\xA8");
}

TEST(Win32ClockAndScreen, ReadsTheLocalClockAndTheScreen) {
    Win32Clock clock;
    Win32Screen screen;
    SYSTEMTIME t;
    GetLocalTime(&t);
    DateTime now = clock.now();
    EXPECT_EQ(now.year, t.wYear);
    EXPECT_EQ(now.day, t.wDay);
    EXPECT_NEAR(clock.sleptMilliseconds(), 0, GetTickCount64());  // asleep no longer than up
    EXPECT_DOUBLE_EQ(screen.twipsPerPixelX(), 15.0);
}

TEST(Win32Processes, AProgramThatIsNotThereIsFileNotFound) {
    Win32Processes system;
    try {
        system.start("\"C:\\no such folder\\volume.exe\" setsysvolume 0",
                     platform::WindowStyle::MinimizedFocus);
        FAIL() << "started";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
    try {
        system.startSystemTool("tivora-no-such-tool.exe", "/?", platform::WindowStyle::Hidden);
        FAIL() << "started";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
}

// The system folder as Windows gives it, asked directly rather than through the code under test.
std::wstring windowsSystemFolder() {
    wchar_t folder[MAX_PATH];
    UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, n < MAX_PATH ? n : 0);
}

// A command line split into its arguments as a program started with it reads them.
std::vector<std::wstring> arguments(const std::wstring& commandLine) {
    int count = 0;
    wchar_t** split = CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> result(split, split + (split ? count : 0));
    LocalFree(split);
    return result;
}

// What the autostart asks of reg.exe, with a key of the tests' own.
const std::string registering =
    "add \"HKEY_CURRENT_USER\\Software\\Tivora test\" /v \"Tivora!!! v.1.1\" /t REG_SZ "
    "/d \"\\\"C:\\Program Files\\Tivora\\Tivora.exe\\\"\" /f";

TEST(Win32Processes, NamesASystemToolByItsQuotedFullPathBeforeItsArguments) {
    std::wstring line = systemToolCommandLine("reg.exe", registering);
    std::wstring tool = windowsSystemFolder() + L"\\reg.exe";
    ASSERT_GT(tool.size(), 3 + std::wstring(L"\\reg.exe").size());  // a drive and a folder
    EXPECT_EQ(line.rfind(L"\"" + tool + L"\" add ", 0), 0u) << narrow(line);
    EXPECT_NE(GetFileAttributesW(tool.c_str()), INVALID_FILE_ATTRIBUTES);
    // The tool reads the arguments as the program meant them, the path with its quotation marks.
    std::vector<std::wstring> expected{
        tool,      L"add", L"HKEY_CURRENT_USER\\Software\\Tivora test",  L"/v", L"Tivora!!! v.1.1", L"/t",
        L"REG_SZ", L"/d",  L"\"C:\\Program Files\\Tivora\\Tivora.exe\"", L"/f"};
    EXPECT_EQ(arguments(line), expected);
}

TEST(Win32Processes, StartsTheSystemsRegToolNotOneInTheCurrentFolder) {
    // A reg.exe planted in the current folder (here the volume tool under that name, which writes
    // nothing): only the system's tool writes the value.
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "tivora-planted reg";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(TIVORA_VOLUME_EXE, folder / "reg.exe");
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tivora test");

    Win32Processes system;
    std::uint32_t id = system.startSystemTool("reg.exe", registering, platform::WindowStyle::Hidden);
    // The tool runs on its own: wait for its end (it may have ended already).
    if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id)) {
        EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
        CloseHandle(process);
    }
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tivora test", L"Tivora!!! v.1.1", RRF_RT_REG_SZ, nullptr,
                 value, &size);
    std::wstring data = value;
    EXPECT_EQ(data, L"\"C:\\Program Files\\Tivora\\Tivora.exe\"");

    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tivora test");
    SetCurrentDirectoryW(previous);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

TEST(SystemFiles, SystemLibrariesComeFromTheSystemFolder) {
    // Those bound at first use. Windows takes comdlg32 from the system folder anyway, as one of
    // its known libraries; winspool and version it would look for beside the program first.
    for (const wchar_t* name : {L"version.dll", L"winspool.drv", L"comdlg32.dll"}) {
        HMODULE library = loadSystemLibrary(name);
        ASSERT_NE(library, nullptr) << narrow(name);
        std::wstring path = modulePath(library);
        std::wstring expected = windowsSystemFolder() + L"\\" + name;
        EXPECT_EQ(CompareStringOrdinal(path.c_str(), -1, expected.c_str(), -1, TRUE), CSTR_EQUAL)
            << narrow(path);
        // The way for loaders that do not know LOAD_LIBRARY_SEARCH_SYSTEM32 finds the same one.
        HMODULE byPath = loadSystemLibraryByPath(name);
        EXPECT_EQ(byPath, library) << narrow(name);
        EXPECT_EQ(keptSystemLibrary(name), library) << narrow(name);
        FreeLibrary(byPath);
        FreeLibrary(library);
    }
    EXPECT_EQ(loadSystemLibrary(L"tivora-no-such-library.dll"), nullptr);
    // And a library by bare name, as the system loads one for us, no more from our own folder.
    std::wstring beside = modulePath(nullptr);
    beside = beside.substr(0, beside.find_last_of(L'\\')) + L"\\tivora-probe.dll";
    ASSERT_TRUE(CopyFileW((windowsSystemFolder() + L"\\version.dll").c_str(), beside.c_str(), FALSE));
    HMODULE before = LoadLibraryW(L"tivora-probe.dll");
    EXPECT_NE(before, nullptr);  // the program's folder is searched unless told otherwise
    FreeLibrary(before);
    loadLibrariesFromTheSystemFolderOnly();
    EXPECT_EQ(LoadLibraryW(L"tivora-probe.dll"), nullptr);
    // Nor from the spooler's driver folder once printing has begun: the search stays as it was.
    wchar_t drivers[MAX_PATH] = {};
    DWORD needed = 0;
    auto driverFolder = lateBound<BOOL(WINAPI*)(LPWSTR, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD)>(
        L"winspool.drv", "GetPrinterDriverDirectoryW");
    ASSERT_NE(keptSystemLibrary(L"comdlg32.dll"), nullptr);
    ASSERT_TRUE(
        driverFolder(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(drivers), sizeof drivers, &needed));
    std::wstring helper = std::wstring(drivers) + L"\\3\\tivora-driver-helper.dll";
    CreateDirectoryW((std::wstring(drivers) + L"\\3").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((windowsSystemFolder() + L"\\version.dll").c_str(), helper.c_str(), FALSE));
    EXPECT_EQ(LoadLibraryW(L"tivora-driver-helper.dll"), nullptr);
    DeleteFileW(helper.c_str());
    DeleteFileW(beside.c_str());
}

TEST(Win32Shell, TheShellIsCalledWithCOMInitialisedOnTheThreadAndItEndsBalanced) {
    Win32Shell system;
    // Opening something through the shell: COM must be in place first (the handler may be a COM
    // object), apartment-threaded.
    system.ShellExecuteW(0, "Open", "C:\\nothing here\\melody.mp3", "", "", 1);
    HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(again, S_FALSE);  // already initialised, in the same kind of apartment
    CoUninitialize();
    leaveComApartment();
    HRESULT fresh = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(fresh, S_OK);  // what the program initialised has been uninitialised
    CoUninitialize();
}

TEST(Win32Timers, OneShotTimersRunOnceUnlessCancelled) {
    Win32Timers system;
    int ran = 0;
    int cancelled = 0;
    system.startOnce(20, [&] { ++ran; });
    int id = system.startOnce(20, [&] { ++cancelled; });
    system.cancel(id);
    DWORD end = GetTickCount() + 200;
    MSG msg;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(cancelled, 0);
}

TEST(Win32WindowFunctions, FindsATopLevelWindowByItsAnsiTitle) {
    Win32WindowFunctions system;
    HWND window = CreateWindowExW(0, L"STATIC", L"Тивора проверка", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(system.FindWindowA(std::nullopt, "Тивора проверка"), reinterpret_cast<std::uintptr_t>(window));
    EXPECT_EQ(system.FindWindowA(std::nullopt, "Тивора"), 0u);
    DestroyWindow(window);
}

// A window of another thread: WM_APP makes it stop reading its messages for a second.
HANDLE otherThreadHangs = nullptr;
LRESULT CALLBACK otherThreadsProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        SetEvent(otherThreadHangs);
        Sleep(1000);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Win32WindowFunctions, JoinsTheInputOfAnotherThreadAndHearsWhetherItAnswers) {
    Win32WindowFunctions system;
    otherThreadHangs = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<HWND> made{nullptr};
    std::thread other([&] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = otherThreadsProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TivoraOtherThread";
        RegisterClassW(&windowClass);
        made = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               windowClass.hInstance, nullptr);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageW(&msg);
        }
    });
    while (!made) {
        Sleep(5);
    }
    auto window = reinterpret_cast<std::uintptr_t>(made.load());
    EXPECT_TRUE(system.SendMessageTimeoutW(window, WM_NULL, 250));
    EXPECT_TRUE(system.AttachThreadInput(window, true));
    EXPECT_TRUE(system.AttachThreadInput(window, false));
    EXPECT_FALSE(system.AttachThreadInput(window, false));  // nothing is left to part
    HWND ours = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    EXPECT_FALSE(system.AttachThreadInput(reinterpret_cast<std::uintptr_t>(ours), true));  // our own
    EXPECT_FALSE(system.AttachThreadInput(0, true));
    PostMessageW(made, WM_APP, 0, 0);
    WaitForSingleObject(otherThreadHangs, 5000);
    EXPECT_FALSE(system.SendMessageTimeoutW(window, WM_NULL, 250));  // busy: no answer within the bound
    other.join();
    DestroyWindow(ours);
    CloseHandle(otherThreadHangs);
}

}  // namespace
}  // namespace tivora::win32
