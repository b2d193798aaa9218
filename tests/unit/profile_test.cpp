// The portable profile functions against the table of settings-file cases, on real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/portable_profile.h"
#include "profile_cases.h"

namespace tivora {
namespace {

// A scratch folder of real files for one test.
struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder() {
        path = std::filesystem::temp_directory_path() /
               ("tivora-profile-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
};

std::optional<std::string> contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a case's steps with the given functions; returns the values read.
std::vector<std::string> runSteps(platform::Profile& profile, const profile_cases::Case& c, const std::string& file) {
    if (c.before) {
        std::ofstream(file, std::ios::binary) << *c.before;
    }
    std::vector<std::string> reads;
    for (const auto& step : c.steps) {
        if (step.write) {
            profile.WritePrivateProfileStringA(step.section, step.key, step.value, file);
        } else {
            std::string buffer(step.bufferSize, '#');
            std::uint32_t count = profile.GetPrivateProfileStringA(step.section, step.key, "", buffer, file);
            reads.push_back(buffer.substr(0, count));
        }
    }
    return reads;
}

std::vector<std::string> expectedReads(const profile_cases::Case& c) {
    std::vector<std::string> reads;
    for (const auto& step : c.steps) {
        if (!step.write) {
            reads.push_back(step.value);
        }
    }
    return reads;
}

TEST(PortableProfile, FollowsTheTableOfCases) {
    ScratchFolder folder;
    platform::DiskFileStore disk;
    platform::PortableProfile profile(disk);
    int n = 0;
    for (const auto& c : profile_cases::cases()) {
        std::string file = folder.file("case" + std::to_string(n++) + ".ini");
        EXPECT_EQ(runSteps(profile, c, file), expectedReads(c)) << c.name;
        EXPECT_EQ(contents(file), c.after) << c.name;
    }
}

TEST(PortableProfile, DefaultIsCutToTheBufferLikeAValue) {
    platform::MemoryFileStore memory;
    platform::PortableProfile profile(memory);
    std::string buffer(5, '#');
    EXPECT_EQ(profile.GetPrivateProfileStringA("A", "x", "defaultvalue", buffer, "none.ini"), 4u);
    EXPECT_EQ(buffer.substr(0, 4), "defa");
    std::string empty;
    EXPECT_EQ(profile.GetPrivateProfileStringA("A", "x", "d", empty, "none.ini"), 0u);
}

TEST(PortableProfile, AWriteThatCannotReachItsFolderFailsAndLeavesNothing) {
    ScratchFolder folder;
    platform::DiskFileStore disk;
    platform::PortableProfile profile(disk);
    std::string file = folder.file("missing folder/Settings.ini");
    EXPECT_FALSE(profile.WritePrivateProfileStringA("A", "x", "1", file));
    EXPECT_FALSE(std::filesystem::exists(folder.path / "missing folder"));
}

}  // namespace
}  // namespace tivora
