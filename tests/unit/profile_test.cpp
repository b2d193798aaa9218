// The portable profile functions against the table of settings-file cases, on real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/text.h"
#include "fakes/memory_file_store.h"
#include "platform/portable_profile.h"
#include "profile_cases.h"

namespace tivora {
namespace {

// A path from the program's UTF-8 text, and back (whatever the system's 8-bit code page).
std::filesystem::path utf8Path(const std::string& text) { return std::u8string(text.begin(), text.end()); }
std::string utf8Text(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

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
    std::string file(const std::string& name) const { return utf8Text(path / utf8Path(name)); }
};

std::optional<std::string> contents(const std::string& path) {
    std::ifstream in(utf8Path(path), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a case's steps with the given functions; returns the values read.
std::vector<std::string> runSteps(platform::Profile& profile, const profile_cases::Case& c,
                                  const std::string& file) {
    if (c.before) {
        std::ofstream(utf8Path(file), std::ios::binary) << *c.before;
    }
    std::vector<std::string> reads;
    for (const auto& step : c.steps) {
        if (step.write) {
            profile.WritePrivateProfileStringW(utf8ToUtf16(step.section), utf8ToUtf16(step.key),
                                               utf8ToUtf16(step.value), utf8ToUtf16(file));
        } else {
            std::u16string buffer(step.bufferSize, u'#');
            std::uint32_t count = profile.GetPrivateProfileStringW(
                utf8ToUtf16(step.section), utf8ToUtf16(step.key), u"", buffer, utf8ToUtf16(file));
            reads.push_back(utf16ToUtf8(buffer.substr(0, count)));
        }
    }
    return reads;
}

TEST(PortableProfile, FollowsTheTableOfCasesInAFolderOfAnyName) {
    ScratchFolder folder;
    platform::DiskFileStore disk;
    platform::PortableProfile profile(disk);
    // A folder name no 8-bit code page holds whole: the path must reach the file as it is.
    std::filesystem::create_directory(utf8Path(folder.file("André Пётр ✓")));
    int n = 0;
    for (const auto& c : profile_cases::cases()) {
        std::string file = folder.file("André Пётр ✓/case" + std::to_string(n++) + ".ini");
        EXPECT_EQ(runSteps(profile, c, file), profile_cases::expectedReads(c)) << c.name;
        EXPECT_EQ(contents(file), c.after) << c.name;
    }
}

TEST(PortableProfile, DefaultIsCutToTheBufferLikeAValue) {
    fakes::MemoryFileStore memory;
    platform::PortableProfile profile(memory);
    std::u16string buffer(5, u'#');
    EXPECT_EQ(profile.GetPrivateProfileStringW(u"A", u"x", u"defaultvalue", buffer, u"none.ini"), 4u);
    EXPECT_EQ(buffer.substr(0, 4), u"defa");
    std::u16string empty;
    EXPECT_EQ(profile.GetPrivateProfileStringW(u"A", u"x", u"d", empty, u"none.ini"), 0u);
}

TEST(PortableProfile, AWriteThatCannotReachItsFolderFailsAndLeavesNothing) {
    ScratchFolder folder;
    platform::DiskFileStore disk;
    platform::PortableProfile profile(disk);
    std::string file = folder.file("missing folder/Settings.ini");
    EXPECT_FALSE(profile.WritePrivateProfileStringW(u"A", u"x", u"1", utf8ToUtf16(file)));
    EXPECT_FALSE(std::filesystem::exists(folder.path / "missing folder"));
}

}  // namespace
}  // namespace tivora
