// Windows' own profile functions (Wine's here) against the portable ones over the same table, and
// the wide functions against the earlier builds' "A" functions in the 8-bit code page: the same
// reads and, byte for byte, the same files.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/text.h"
#include "platform/portable_profile.h"
#include "platform/win32/profile.h"
#include "platform/win32/regional.h"
#include "profile_cases.h"

namespace tivora {
namespace {

// The earlier builds' way to the settings file: names, values and the path in the system's
// 8-bit code page, through GetPrivateProfileStringA and WritePrivateProfileStringA.
class EarlierBuildProfile : public platform::Profile {
public:
    explicit EarlierBuildProfile(platform::Regional& regional) : regional_(regional) {}

    std::uint32_t GetPrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                           const std::u16string& defaultText, std::u16string& buffer,
                                           const std::u16string& file) override {
        std::string bytes(buffer.size(), '\0');
        DWORD count =
            ::GetPrivateProfileStringA(ansi(section).c_str(), ansi(key).c_str(), ansi(defaultText).c_str(),
                                       bytes.data(), static_cast<DWORD>(bytes.size()), ansi(file).c_str());
        std::u16string value = utf8ToUtf16(regional_.fromAnsi(std::string_view(bytes).substr(0, count)));
        std::copy(value.begin(), value.end(), buffer.begin());
        return static_cast<std::uint32_t>(value.size());
    }
    bool WritePrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                    const std::u16string& value, const std::u16string& file) override {
        return ::WritePrivateProfileStringA(ansi(section).c_str(), ansi(key).c_str(), ansi(value).c_str(),
                                            ansi(file).c_str()) != FALSE;
    }

private:
    std::string ansi(const std::u16string& text) { return regional_.toAnsi(utf16ToUtf8(text)); }
    platform::Regional& regional_;
};

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
    std::u16string path = file.u16string();
    std::vector<std::string> reads;
    for (const auto& step : c.steps) {
        if (step.write) {
            profile.WritePrivateProfileStringW(utf8ToUtf16(step.section), utf8ToUtf16(step.key),
                                               utf8ToUtf16(step.value), path);
        } else {
            std::u16string buffer(step.bufferSize, u'#');
            std::uint32_t count = profile.GetPrivateProfileStringW(utf8ToUtf16(step.section),
                                                                   utf8ToUtf16(step.key), u"", buffer, path);
            reads.push_back(utf16ToUtf8(buffer.substr(0, count)));
        }
    }
    return reads;
}

TEST(WindowsProfile, AgreesWithThePortableFunctionsAndWithTheEarlierBuildsFile) {
    ASSERT_EQ(GetACP(), 1251u) << "the table's files are in code page 1251";
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "tivora-differential";
    std::filesystem::remove_all(folder);
    // The program's folder under a user named André: "é" has no place in code page 1251, so only
    // a path that reaches the system whole finds it. The earlier builds' files go to a folder
    // their way can name.
    std::filesystem::path andre = folder / u"Andr\u00e9";
    std::filesystem::path earlierFolder = folder / "earlier";
    std::filesystem::create_directories(andre);
    std::filesystem::create_directories(earlierFolder);
    win32::Win32Profile windows;
    win32::Win32Regional regional;
    EarlierBuildProfile earlier(regional);
    platform::DiskFileStore disk;
    platform::PortableProfile portable(disk);
    int n = 0;
    for (const auto& c : profile_cases::cases()) {
        std::filesystem::path real = andre / ("real" + std::to_string(n) + ".ini");
        std::filesystem::path ours = andre / ("ours" + std::to_string(n) + ".ini");
        std::filesystem::path before = earlierFolder / ("case" + std::to_string(n) + ".ini");
        ++n;
        std::vector<std::string> realReads = runSteps(windows, c, real);
        EXPECT_EQ(realReads, c.readsOnWine.value_or(profile_cases::expectedReads(c)))
            << c.name << ": " << c.differs;
        EXPECT_EQ(runSteps(portable, c, ours), profile_cases::expectedReads(c)) << c.name;
        EXPECT_EQ(contents(ours), c.after) << c.name;
        EXPECT_EQ(contents(real), c.afterOnWine ? c.afterOnWine : c.after) << c.name << ": " << c.differs;

        if (!c.beyondTheCodePage) {
            EXPECT_EQ(runSteps(earlier, c, before), realReads) << c.name;
            EXPECT_EQ(contents(before), contents(real)) << c.name;
        }
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace tivora
