// What the program learns from Windows about itself and the user's settings.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/text.h"
#include "platform/win32/win32_platform.h"

namespace tivora::win32 {
namespace {

TEST(Win32Platform, KnowsItsFolderAndName) {
    Win32Platform system(GetModuleHandleW(nullptr));
    EXPECT_EQ(system.exeName(), "win32_tests");
    std::string folder = system.programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_NE(GetFileAttributesA((folder + "\\win32_tests.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32Platform, ReadsTheProductNameFromItsOwnVersionRecord) {
    Win32Platform system(GetModuleHandleW(nullptr));
    EXPECT_EQ(system.productName(), "Tivora!!! v.1.1");
}

TEST(Win32Platform, SpeaksTheRussianCodePageAndNumberFormat) {
    // The tests run with the Russian locale, like our users' systems.
    Win32Platform system(GetModuleHandleW(nullptr));
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

TEST(Win32Platform, ReadsTheLocalClockAndTheScreen) {
    Win32Platform system(GetModuleHandleW(nullptr));
    SYSTEMTIME t;
    GetLocalTime(&t);
    DateTime now = system.now();
    EXPECT_EQ(now.year, t.wYear);
    EXPECT_EQ(now.day, t.wDay);
    EXPECT_DOUBLE_EQ(system.twipsPerPixelX(), 15.0);
}

TEST(Win32Platform, AProgramThatIsNotThereIsFileNotFound) {
    Win32Platform system(GetModuleHandleW(nullptr));
    try {
        system.start("\"C:\\no such folder\\volume.exe\" setsysvolume 0", platform::WindowStyle::MinimizedFocus);
        FAIL() << "started";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
}

TEST(Win32Platform, OneShotTimersRunOnceUnlessCancelled) {
    Win32Platform system(GetModuleHandleW(nullptr));
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

TEST(Win32Platform, FindsATopLevelWindowByItsAnsiTitle) {
    Win32Platform system(GetModuleHandleW(nullptr));
    HWND window = CreateWindowExW(0, L"STATIC", L"Тивора проверка", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(system.FindWindowA(std::nullopt, "Тивора проверка"), reinterpret_cast<std::uintptr_t>(window));
    EXPECT_EQ(system.FindWindowA(std::nullopt, "Тивора"), 0u);
    DestroyWindow(window);
}

}  // namespace
}  // namespace tivora::win32
