// Windows' own profile functions (Wine's here) against the same table as the portable ones:
// both must give the table's reads and files, except where a case says why they may differ.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/portable_profile.h"
#include "platform/win32/win32_platform.h"
#include "profile_cases.h"

namespace tivora {
namespace {

std::optional<std::string> contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> runSteps(platform::Profile& profile, const profile_cases::Case& c,
                                  const std::filesystem::path& file) {
    if (c.before) {
        std::ofstream(file, std::ios::binary) << *c.before;
    }
    std::vector<std::string> reads;
    for (const auto& step : c.steps) {
        if (step.write) {
            profile.WritePrivateProfileStringA(step.section, step.key, step.value, file.string());
        } else {
            std::string buffer(step.bufferSize, '#');
            std::uint32_t count = profile.GetPrivateProfileStringA(step.section, step.key, "", buffer, file.string());
            reads.push_back(buffer.substr(0, count));
        }
    }
    return reads;
}

TEST(WindowsProfile, AgreesWithThePortableFunctionsOnTheTable) {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "tivora-differential";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    win32::Win32Platform windows(GetModuleHandleW(nullptr));
    platform::DiskFileStore disk;
    platform::PortableProfile portable(disk);
    int n = 0;
    for (const auto& c : profile_cases::cases()) {
        std::filesystem::path real = folder / ("real" + std::to_string(n) + ".ini");
        std::filesystem::path ours = folder / ("ours" + std::to_string(n) + ".ini");
        ++n;
        std::vector<std::string> realReads = runSteps(windows, c, real);
        EXPECT_EQ(realReads, runSteps(portable, c, ours)) << c.name;
        EXPECT_EQ(contents(ours), c.after) << c.name;
        EXPECT_EQ(contents(real), c.afterOnWine ? c.afterOnWine : c.after) << c.name << ": " << c.differs;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace tivora
