// Number conversions in the user's number format: the ones the time boxes, the volume level
// and the settings file depend on.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "base/error.h"
#include "base/numbers.h"

namespace tivora {
namespace {

const NumberFormat ru = NumberFormat::russian();
const NumberFormat en = NumberFormat::english();

TEST(IsNumeric, FollowsTheUsersDecimalSeparator) {
    EXPECT_TRUE(isNumeric("07", ru));
    EXPECT_TRUE(isNumeric(" -3 ", ru));
    EXPECT_TRUE(isNumeric("+5", ru));
    EXPECT_TRUE(isNumeric("1,5", ru));
    EXPECT_FALSE(isNumeric("1.5", ru));
    EXPECT_TRUE(isNumeric("1.5", en));
    EXPECT_FALSE(isNumeric("1,5", en));
    EXPECT_TRUE(isNumeric(",5", ru));
    EXPECT_TRUE(isNumeric("2E3", ru));
}

TEST(IsNumeric, RefusesTextsThatAreNoNumber) {
    for (const char* text : {"", " ", "-", "+", "5a", "a5", ",", "1,2,3", "2E", "--1", "1 2"}) {
        EXPECT_FALSE(isNumeric(text, ru)) << '"' << text << '"';
    }
}

TEST(ToNumber, ReadsNumbersAndCallsTheRestATypeMismatch) {
    EXPECT_DOUBLE_EQ(toNumber("23", ru), 23);
    EXPECT_DOUBLE_EQ(toNumber("-0,25", ru), -0.25);
    EXPECT_DOUBLE_EQ(toNumber("1e2", en), 100);
    try {
        toNumber("abc", ru);
        FAIL() << "no failure";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::TypeMismatch);
    }
}

TEST(LeadingValue, TakesTheLongestLeadingNumberWithAPoint) {
    EXPECT_DOUBLE_EQ(leadingValue("5a"), 5);
    EXPECT_DOUBLE_EQ(leadingValue("a5"), 0);
    EXPECT_DOUBLE_EQ(leadingValue(""), 0);
    EXPECT_DOUBLE_EQ(leadingValue("-3"), -3);
    EXPECT_DOUBLE_EQ(leadingValue(" 1 2.5x"), 12.5);
    EXPECT_DOUBLE_EQ(leadingValue("1,5"), 1);  // the comma is no decimal point here
    EXPECT_DOUBLE_EQ(leadingValue("2e3z"), 2000);
    EXPECT_DOUBLE_EQ(leadingValue("7e"), 7);
    EXPECT_DOUBLE_EQ(leadingValue("-"), 0);
}

TEST(NumberText, IsShortestWithFifteenDigitsInTheUsersFormat) {
    // The volume levels of the percentage list.
    EXPECT_EQ(numberText(50 * (65535.0 / 100), ru), "32767,5");
    EXPECT_EQ(numberText(33 * (65535.0 / 100), ru), "21626,55");
    EXPECT_EQ(numberText(66 * (65535.0 / 100), en), "43253.1");
    EXPECT_EQ(numberText(75 * (65535.0 / 100), en), "49151.25");
    EXPECT_EQ(numberText(0 * (65535.0 / 100), ru), "0");
    EXPECT_EQ(numberText(600, ru), "600");
    EXPECT_EQ(numberText(-12.5, ru), "-12,5");
    EXPECT_EQ(numberText(1e15, en), "1E+15");
    EXPECT_EQ(singleText(123.4f, ru), "123,4");  // not 123,400001525879
}

TEST(TwoDigits, PadsNumbersAndLeavesOtherTextsAlone) {
    EXPECT_EQ(twoDigits("7", ru), "07");
    EXPECT_EQ(twoDigits("23", ru), "23");
    EXPECT_EQ(twoDigits("007", ru), "07");
    EXPECT_EQ(twoDigits("123", ru), "123");
    EXPECT_EQ(twoDigits("7,6", ru), "08");
    EXPECT_EQ(twoDigits("-", ru), "-");
    EXPECT_EQ(twoDigits("", ru), "");
}

TEST(TimeText, IsTwentyFourHourWithSeconds) {
    EXPECT_EQ(timeText({2026, 12, 7, 23, 0, 7}), "23:00:07");
    EXPECT_EQ(timeText({2026, 12, 7, 7, 5, 0}), "07:05:00");
}

TEST(YesNo, RoundTripsAndRefusesOtherWords) {
    EXPECT_EQ(yesNoText(true), "True");
    EXPECT_EQ(yesNoText(false), "False");
    EXPECT_TRUE(toYesNo("True", ru));
    EXPECT_TRUE(toYesNo("true", ru));
    EXPECT_FALSE(toYesNo(" FALSE ", ru));
    EXPECT_TRUE(toYesNo("-1", ru));
    EXPECT_FALSE(toYesNo("0", ru));
    EXPECT_THROW(toYesNo("", ru), RuntimeError);
    EXPECT_THROW(toYesNo("yes", ru), RuntimeError);
}

TEST(ToInteger, RoundsHalvesToEvenAndReportsOverflow) {
    EXPECT_EQ(toInteger("2", ru), 2);
    EXPECT_EQ(toInteger("2,5", ru), 2);
    EXPECT_EQ(toInteger("3,5", ru), 4);
    EXPECT_EQ(toInteger("-2,5", ru), -2);
    try {
        toInteger("40000", ru);
        FAIL() << "no failure";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::Overflow);
    }
}

// The number texts come from the C library's conversions, which the exe has anyway; the
// standard's to_chars and from_chars, which would bring 220 KB into it, are the yardstick here:
// the same text for every double at 15 and 7 digits, the same value for every number text.
TEST(NumberText, WritesWhatToCharsWritesAndReadsWhatFromCharsReads) {
    std::mt19937_64 random(7);
    auto toChars = [](double value, int digits) {
        char buffer[64];
        auto result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
        std::string text(buffer, result.ptr);
        for (char& c : text) {
            c = c == '.' ? ',' : c == 'e' ? 'E' : c;
        }
        return text;
    };
    for (int i = 0; i < 50000; ++i) {
        std::uint64_t bits = random();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (i % 2) {
            value = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(bits % 120) - 60 - 53);
            value = std::round(value * 1e4) / 1e4;  // numbers as a user has them: few decimals
        }
        if (!std::isfinite(value) || value == 0) {
            continue;
        }
        for (int digits : {15, 7}) {
            ASSERT_EQ(numberText(value, ru, digits), toChars(value, digits)) << value;
        }
        std::string text = toChars(value, 17);
        double read = 0;
        std::string plain = text;
        for (char& c : plain) {
            c = c == ',' ? '.' : c;
        }
        std::from_chars(plain.data(), plain.data() + plain.size(), read);
        ASSERT_EQ(toNumber(text, ru), read) << text;
    }
    EXPECT_THROW(toNumber("1E400", ru), RuntimeError);
    EXPECT_THROW(toNumber("1E-400", ru), RuntimeError);
    EXPECT_EQ(toNumber("4E-320", ru), 4e-320);
}

}  // namespace
}  // namespace tivora
