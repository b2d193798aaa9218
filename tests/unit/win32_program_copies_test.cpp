// One copy per program folder, on the real system: the folder's key and mutex, and its claim.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "platform/win32/program_copies.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {
namespace {

TEST(ProgramCopies, AFolderHasOneMutexNameHoweverItIsWritten) {
    std::wstring name = oneCopyMutexName(L"C:\\Users\\André\\Tivora");
    EXPECT_EQ(name.rfind(L"Local\\", 0), 0u);
    EXPECT_EQ(name.find(L'\\', 6), std::wstring::npos);  // the rest cannot hold a backslash
    // Every version names it the same (FNV-1a of the key in upper case, 16 hex digits): a copy of
    // another version running from the folder is found, the installer's upgrade among them.
    EXPECT_EQ(name, L"Local\\Tivora!!! program folder 9D2DE418A0BBE01D");
    EXPECT_EQ(oneCopyMutexName(L"c:\\users\\ANDRÉ\\tivora\\"), name);
    EXPECT_EQ(oneCopyMutexName(L"C:/Users/André/Tivora"), name);
    EXPECT_NE(oneCopyMutexName(L"C:\\Users\\André\\Tivora 2"), name);
    EXPECT_NE(oneCopyMutexName(L"C:\\Users\\Andre\\Tivora"), name);

    // A folder that exists, named by its short 8.3 name or by its long one.
    std::filesystem::path folder = std::filesystem::temp_directory_path() / L"Tivora one copy long name";
    std::filesystem::create_directories(folder);
    wchar_t shortName[MAX_PATH] = {};
    DWORD length = GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_NE(std::wstring(shortName), folder.wstring());
    EXPECT_EQ(oneCopyMutexName(shortName), oneCopyMutexName(folder.wstring()));
    std::filesystem::remove(folder);
}

TEST(ProgramCopies, AFolderHeldByAnotherCopyIsNotClaimedUntilThatCopyEnds) {
    const std::string folder = "C:\\Tivora copies test";
    HANDLE claimed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE end = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool otherClaimed = false;
    // The other copy: its own thread, as a mutex belongs to the thread that holds it.
    std::thread other([&] {
        ProgramCopies copies;
        otherClaimed = copies.claimProgramFolder(folder, 0);
        SetEvent(claimed);
        WaitForSingleObject(end, INFINITE);
    });
    WaitForSingleObject(claimed, INFINITE);
    ASSERT_TRUE(otherClaimed);

    ProgramCopies copies;
    EXPECT_FALSE(copies.claimProgramFolder(folder, 0));
    EXPECT_FALSE(copies.claimProgramFolder("c:\\TIVORA COPIES TEST\\", 10));
    ProgramCopies elsewhere;
    EXPECT_TRUE(elsewhere.claimProgramFolder("C:\\Tivora copies test 2", 0));  // another installation

    SetEvent(end);  // the other copy ends
    EXPECT_TRUE(copies.claimProgramFolder(folder, 10000));
    other.join();
    CloseHandle(claimed);
    CloseHandle(end);
}

}  // namespace
}  // namespace tivora::win32
