// Conversions between text and numbers in the user's number format.
#pragma once

#include <string>
#include <string_view>

#include "base/datetime.h"

namespace tivora {

// The parts of the user's regional settings that the conversions need.
struct NumberFormat {
    std::string decimalSeparator = ".";

    static NumberFormat russian() { return {","}; }
    static NumberFormat english() { return {"."}; }
};

// True when the whole text (blanks around it allowed) reads as a number: an optional sign,
// digits with at most one decimal separator of the user's format, an optional exponent.
// An empty text is no number.
bool isNumeric(std::string_view text, const NumberFormat& format);

// The number a numeric text stands for; a text that is no number is a type mismatch (13).
double toNumber(std::string_view text, const NumberFormat& format);

// The value of the longest leading part of the text that reads as a number, with "." as the
// decimal point and blanks, tabs and line feeds skipped; 0 when the text does not begin with one.
double leadingValue(std::string_view text);

// The shortest text of a number with at most 15 significant digits, in the user's format
// ("32767,5" on a Russian system; "1E+15" for large values). Single-precision values are
// written with 7 digits, as many as they hold.
std::string numberText(double value, const NumberFormat& format, int significantDigits = 15);
inline std::string singleText(float value, const NumberFormat& format) {
    return numberText(value, format, 7);
}

// A text as a whole number of at least two digits ("7" gives "07", "23" stays); a text that is
// no number comes back unchanged.
std::string twoDigits(std::string_view text, const NumberFormat& format);

// "hh:mm:ss" on the 24-hour clock.
std::string timeText(const DateTime& time);

// The text form of a yes/no value, and back: "True"/"False" in any letter case or a number
// (non-zero is yes); anything else is a type mismatch (13).
std::string yesNoText(bool value);
bool toYesNo(std::string_view text, const NumberFormat& format);

// A numeric text as a 16-bit whole number, halves rounded to even; 13 when it is no number,
// 6 (overflow) when it does not fit.
int toInteger(std::string_view text, const NumberFormat& format);

// A numeric text as a single-precision number; 13 when it is no number, 6 (overflow) when it
// lies beyond the single-precision range.
float toSingle(std::string_view text, const NumberFormat& format);

// Rounds halves to even, as the classic conversions do.
double roundHalfEven(double value);

}  // namespace tivora
