// The volume tool on Windows: the master volume set and read back through Core Audio, and
// volume.exe's exit codes and its line on a redirected standard error. A machine without a
// playback device (Wine without a sound card has none) checks that this is said cleanly instead.
#include <windows.h>
// After windows.h:
#include <mmdeviceapi.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "volume/system_volume.h"

namespace tivora::volume {
namespace {

// Asked of Core Audio directly, not through the code under test.
bool hasDefaultPlaybackDevice() {
    bool found = false;
    HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IMMDeviceEnumerator* enumerator = nullptr;
    if (SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                   __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&enumerator)))) {
        IMMDevice* device = nullptr;
        found = SUCCEEDED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device));
        if (device != nullptr) {
            device->Release();
        }
        enumerator->Release();
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return found;
}

// Wine (8.0) offers a device where the host has sound, but setting its volume scalar is a stub
// that answers E_NOTIMPL and reading it always gives 1: the level cannot be checked there.
bool levelCanBeChecked() {
    bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return hasDefaultPlaybackDevice() && !wine;
}

struct ToolRun {
    DWORD exitCode = 99;
    std::string standardError;
};

// Runs volume.exe with the arguments (ASCII here), its standard error into a pipe, as a caller
// that redirects it would.
ToolRun runTool(const std::string& arguments) {
    ToolRun run;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    EXPECT_TRUE(CreatePipe(&readEnd, &writeEnd, &inheritable, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = writeEnd;
    std::string line = "\"" TIVORA_VOLUME_EXE "\" " + arguments;
    std::wstring commandLine(line.begin(), line.end());
    PROCESS_INFORMATION process{};
    bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process);
    CloseHandle(writeEnd);
    EXPECT_TRUE(started) << line;
    if (started) {
        if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << line << " did not end";
            TerminateProcess(process.hProcess, 99);  // else its end of the pipe stays open
            WaitForSingleObject(process.hProcess, INFINITE);
        }
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        char buffer[512];
        DWORD read = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) {
            run.standardError.append(buffer, read);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return run;
}

// Where the level can be checked, each test leaves the volume as it found it.
class Volume : public testing::Test {
protected:
    void SetUp() override {
        if (checkable) {
            before = masterVolume().scalar;
            ASSERT_TRUE(before.has_value());
        }
    }
    void TearDown() override {
        if (before) {
            setMasterVolume(*before);
        }
    }

    const bool device = hasDefaultPlaybackDevice();
    const bool checkable = levelCanBeChecked();
    std::optional<double> before;
};

TEST_F(Volume, IsSetAndReadBack) {
    if (!checkable) {
        GTEST_SKIP() << "no default playback device here whose volume can be set";
    }
    for (double scalar : {0.25, 0.0, 1.0, 32767.5 / 65535}) {
        ASSERT_EQ(setMasterVolume(scalar), "") << scalar;
        MasterVolume now = masterVolume();
        ASSERT_TRUE(now.scalar.has_value()) << now.failure;
        EXPECT_NEAR(*now.scalar, scalar, 1e-4);
    }
}

TEST_F(Volume, SaysSoWhenThereIsNoPlaybackDevice) {
    if (device) {
        GTEST_SKIP() << "this machine has a default playback device";
    }
    EXPECT_EQ(setMasterVolume(0.5), "no default playback device");
    MasterVolume volume = masterVolume();
    EXPECT_FALSE(volume.scalar.has_value());
    EXPECT_EQ(volume.failure, "no default playback device");
}

TEST_F(Volume, ToolRefusesABadCommandLineWithOneLineAndLeavesTheVolume) {
    if (checkable) {
        ASSERT_EQ(setMasterVolume(0.75), "");
    }
    for (const char* arguments :
         {"", "setsysvolume 70000", "setsysvolume 1e3", "volume 100", "setsysvolume 1 2"}) {
        ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, 2u) << arguments;
        EXPECT_TRUE(run.standardError.starts_with("volume: ")) << arguments << ": " << run.standardError;
        EXPECT_TRUE(run.standardError.ends_with("\r\n")) << arguments << ": " << run.standardError;
        EXPECT_EQ(run.standardError.find('\n'), run.standardError.size() - 1) << arguments;
    }
    if (checkable) {
        EXPECT_NEAR(masterVolume().scalar.value_or(-1), 0.75, 1e-4);
    }
}

TEST_F(Volume, ToolSetsTheLevelItIsGivenOrEndsWithCode3) {
    if (device && !checkable) {
        GTEST_SKIP() << "the playback device's volume cannot be set here";
    }
    ToolRun run = runTool("setsysvolume 16383,75");
    if (device) {
        EXPECT_EQ(run.exitCode, 0u) << run.standardError;
        EXPECT_EQ(run.standardError, "");
        EXPECT_NEAR(masterVolume().scalar.value_or(-1), 0.25, 1e-4);
    } else {
        EXPECT_EQ(run.exitCode, 3u);
        EXPECT_EQ(run.standardError, "volume: no default playback device\r\n");
    }
}

}  // namespace
}  // namespace tivora::volume
