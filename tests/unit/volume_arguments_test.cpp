// The volume tool's command line: the levels the main program writes in either number format,
// and every other command line refused with one line that says why.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "volume/volume_arguments.h"

namespace tivora::volume {
namespace {

Request parse(std::initializer_list<std::string_view> arguments) {
    return parseArguments(std::span(arguments.begin(), arguments.size()));
}

// A refusal: no level, and a message of one line that starts with the tool's name.
void expectRefused(const Request& request, std::string_view because, const std::string& what) {
    EXPECT_FALSE(request.level.has_value()) << what;
    EXPECT_TRUE(request.error.starts_with("volume: ")) << what << ": " << request.error;
    EXPECT_NE(request.error.find(because), std::string::npos) << what << ": " << request.error;
    for (char c : request.error) {
        ASSERT_GE(static_cast<unsigned char>(c), 0x20) << what << ": " << request.error;
    }
}

TEST(VolumeArguments, ReadsLevelsWithEitherDecimalSeparator) {
    const std::pair<std::string_view, double> levels[] = {
        {"32767,5", 32767.5},
        {"21626,55", 21626.55},
        {"49151.25", 49151.25},
        {"0", 0},
        {"65535", 65535},
        {"65535,000", 65535},
        {"007", 7},
        {" 12.5\t", 12.5},
    };
    for (const auto& [text, level] : levels) {
        Request request = parse({"setsysvolume", text});
        ASSERT_TRUE(request.level.has_value()) << '"' << text << "\": " << request.error;
        EXPECT_DOUBLE_EQ(*request.level, level) << '"' << text << '"';
        EXPECT_TRUE(request.error.empty());
    }
    EXPECT_DOUBLE_EQ(parse({"setsysvolume", "65535"}).scalar(), 1.0);
    EXPECT_DOUBLE_EQ(parse({"setsysvolume", "32767,5"}).scalar(), 0.5);
    EXPECT_DOUBLE_EQ(parse({"setsysvolume", "0"}).scalar(), 0.0);
    EXPECT_DOUBLE_EQ(*parse({"SetSysVolume", "1"}).level, 1);
}

TEST(VolumeArguments, RefusesLevelsOutOfRange) {
    const std::string huge = "1" + std::string(400, '0');  // beyond what a double holds
    for (std::string_view text :
         {std::string_view("65535.5"), std::string_view("65535,0001"), std::string_view("70000"),
          std::string_view("-1"), std::string_view("-0,5"), std::string_view(huge)}) {
        expectRefused(parse({"setsysvolume", text}), "out of range", std::string(text.substr(0, 20)));
    }
}

TEST(VolumeArguments, RefusesTextsThatAreNoLevel) {
    for (std::string_view text :
         {"abc", "1e3", "12a",   "",     " ",   "1,2,3", "--", ".",  ",",           "5.", ",5",
          "+5",  "1 2", "1.5,3", "0x10", "inf", "nan",   "-",  "-x", "\xEF\xBC\x91" /* a full-width 1 */}) {
        expectRefused(parse({"setsysvolume", text}), "is not a LEVEL", '"' + std::string(text) + '"');
    }
}

TEST(VolumeArguments, RefusesCommandLinesThatAreNotOneCommandWithOneLevel) {
    expectRefused(parse({}), "no command", "no arguments");
    expectRefused(parse({"setvolume", "100"}), "unknown command \"setvolume\"", "unknown command");
    expectRefused(parse({"100"}), "unknown command \"100\"", "level without the command");
    expectRefused(parse({"", "100"}), "unknown command \"\"", "empty command");
    expectRefused(parse({"setsysvolume"}), "needs a LEVEL", "missing level");
    expectRefused(parse({"setsysvolume", "100", "200"}), "unexpected argument \"200\"", "extra argument");
    expectRefused(parse({"setsysvolume", "100", ""}), "unexpected argument \"\"", "extra empty argument");
    // Each refusal says how the tool is used.
    EXPECT_NE(parse({"setsysvolume"}).error.find("usage: volume setsysvolume LEVEL"), std::string::npos);
}

TEST(VolumeArguments, ShowsOddArgumentsOnOneShortLine) {
    expectRefused(parse({"set\r\nsysvolume"}), "\"set??sysvolume\"", "line breaks");
    // Cut after 40 bytes, but not inside the two bytes of the "й" that straddles them.
    const std::string longText = std::string(39, 'a') + "\xD0\xB9" + std::string(100, 'b');
    Request request = parse({"setsysvolume", longText});
    expectRefused(request, '"' + std::string(39, 'a') + "...\"", "long argument");
    EXPECT_LT(request.error.size(), 200u);
}

}  // namespace
}  // namespace tivora::volume
