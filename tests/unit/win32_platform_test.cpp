// What the program learns from Windows about itself and the user's settings.
#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tivora::win32
