// Number and text conversions in the user's number format.
#include "base/numbers.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

#include "base/error.h"
#include "base/text.h"

namespace tivora {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The value of digits with an optional "." and "e" exponent; a value beyond a double overflows.
// (strtod in the C locale, which the program never changes: it rounds as correctly as
// std::from_chars, without bringing that function's 40 KB into the exe.)
std::optional<double> plainValue(std::string plain) {
    if (plain.front() == '.') {
        plain.insert(plain.begin(), '0');
    }
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(plain.c_str(), &end);
    if (end != plain.c_str() + plain.size()) {
        return std::nullopt;
    }
    // Out of range: too large, or so small that it vanished; a value in the subnormal range stands.
    if (errno == ERANGE && (value == 0 || std::isinf(value))) {
        throw RuntimeError(err::Overflow);
    }
    return value;
}

// Reads a whole text as a number in the given format; nothing when it is none.
std::optional<double> parseNumber(std::string_view text, std::string_view separator) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    std::string plain;  // the number rewritten for strtod: digits, ".", "e"
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    size_t digits = 0;
    while (i < n && isDigit(text[i])) {
        plain += text[i++];
        ++digits;
    }
    if (!separator.empty() && text.substr(i).starts_with(separator)) {
        i += separator.size();
        plain += '.';
        while (i < n && isDigit(text[i])) {
            plain += text[i++];
            ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            plain += text[i++];
        }
        size_t exponentDigits = 0;
        while (i < n && isDigit(text[i])) {
            plain += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
    }
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    if (i != n) {
        return std::nullopt;
    }
    auto value = plainValue(plain);
    if (!value) {
        return std::nullopt;
    }
    return negative ? -*value : *value;
}

}  // namespace

bool isNumeric(std::string_view text, const NumberFormat& format) {
    try {
        return parseNumber(text, format.decimalSeparator).has_value();
    } catch (const RuntimeError&) {
        return true;  // a number, only too large for a double
    }
}

double toNumber(std::string_view text, const NumberFormat& format) {
    auto value = parseNumber(text, format.decimalSeparator);
    if (!value) {
        throw RuntimeError(err::TypeMismatch);
    }
    return *value;
}

double leadingValue(std::string_view text) {
    // Blanks count for nothing anywhere in the number ("1 2" is 12).
    std::string plain;
    size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && (isBlank(text[i]) || text[i] == '\n' || text[i] == '\r')) {
            ++i;
        }
    };
    skip();
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool point = false;
    size_t digits = 0;
    for (skip(); i < text.size(); skip()) {
        if (isDigit(text[i])) {
            plain += text[i++];
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
            plain += text[i++];
        } else {
            break;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::string exponent = "e";
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponent += text[j++];
        }
        size_t exponentDigits = 0;
        while (j < text.size() && isDigit(text[j])) {
            exponent += text[j++];
            ++exponentDigits;
        }
        if (exponentDigits > 0) {
            plain += exponent;
        }
    }
    double value = plainValue(plain).value_or(0);
    return negative ? -value : value;
}

std::string numberText(double value, const NumberFormat& format, int significantDigits) {
    if (value == 0) {
        return "0";  // also for -0
    }
    std::string text = value < 0 ? "-" : "";
    if (!std::isfinite(value)) {
        return text + (std::isnan(value) ? "nan" : "inf");
    }
    // Rounded by printf's %e, then laid out as %g does (plain unless the exponent is below -4 or
    // reaches the digits' count, trailing zeros dropped). std::to_chars would bring 180 KB of tables.
    int precision = std::clamp(significantDigits, 1, 40);
    char scientific[64];
    std::snprintf(scientific, sizeof scientific, "%.*e", precision - 1, std::fabs(value));
    std::string digits;
    const char* c = scientific;
    for (; *c && *c != 'e'; ++c) {
        if (isDigit(*c)) {
            digits += *c;
        }
    }
    int exponent = *c == 'e' ? std::atoi(c + 1) : 0;
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    auto withPoint = [&](std::string whole, std::string fraction) {
        text += whole;
        if (!fraction.empty()) {
            text += format.decimalSeparator;
            text += fraction;
        }
    };
    if (exponent < -4 || exponent >= precision) {
        withPoint(digits.substr(0, 1), digits.substr(1));
        char power[16];
        std::snprintf(power, sizeof power, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        text += power;
    } else if (exponent < 0) {
        withPoint("0", std::string(static_cast<size_t>(-exponent - 1), '0') + digits);
    } else {
        digits.resize(std::max(digits.size(), static_cast<size_t>(exponent) + 1), '0');
        withPoint(digits.substr(0, static_cast<size_t>(exponent) + 1),
                  digits.substr(static_cast<size_t>(exponent) + 1));
    }
    return text;
}

std::string twoDigits(std::string_view text, const NumberFormat& format) {
    auto value = isNumeric(text, format) ? std::optional<double>(toNumber(text, format)) : std::nullopt;
    if (!value) {
        return std::string(text);
    }
    double whole = std::round(*value);  // halves away from zero, as the "00" pattern shows them
    if (std::fabs(whole) > 1e15) {
        return numberText(whole, format);
    }
    char buffer[32];
    long long number = static_cast<long long>(whole);
    std::snprintf(buffer, sizeof buffer, number < 0 ? "-%02lld" : "%02lld", number < 0 ? -number : number);
    return buffer;
}

std::string timeText(const DateTime& time) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", time.hour % 100, time.minute % 100,
                  time.second % 100);
    return buffer;
}

std::string yesNoText(bool value) { return value ? "True" : "False"; }

bool toYesNo(std::string_view text, const NumberFormat& format) {
    std::string_view word = trimBlanks(text);
    if (equalsIgnoringAsciiCase(word, "True")) {
        return true;
    }
    if (equalsIgnoringAsciiCase(word, "False")) {
        return false;
    }
    return toNumber(text, format) != 0;
}

double roundHalfEven(double value) {
    double floor = std::floor(value);
    double fraction = value - floor;
    if (fraction > 0.5) {
        return floor + 1;
    }
    if (fraction < 0.5) {
        return floor;
    }
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

namespace {

// Infinity and NaN as C libraries and older programs write them: "inf", "-nan", "1.#INF",
// "1,#QNAN" ... They are numbers too large for any range, not texts of the wrong kind.
bool isInfinityOrNan(std::string_view text) {
    std::string t(trimBlanks(text));
    for (char& c : t) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        t.erase(0, 1);
    }
    if (t == "inf" || t == "infinity" || t == "nan") {
        return true;
    }
    if (t.size() < 4 || t[0] != '1' || (t[1] != '.' && t[1] != ',') || t[2] != '#') {
        return false;
    }
    std::string_view kind = std::string_view(t).substr(3);
    return kind.starts_with("inf") || kind.starts_with("qnan") || kind.starts_with("snan") ||
           kind.starts_with("ind");
}

}  // namespace

float toSingle(std::string_view text, const NumberFormat& format) {
    if (isInfinityOrNan(text)) {
        throw RuntimeError(err::Overflow);
    }
    double value = toNumber(text, format);
    // Converting a double beyond the float range is undefined; such a value is an overflow.
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
        throw RuntimeError(err::Overflow);
    }
    return static_cast<float>(value);
}

int toInteger(std::string_view text, const NumberFormat& format) {
    double value = roundHalfEven(toNumber(text, format));
    if (value < -32768 || value > 32767) {
        throw RuntimeError(err::Overflow);
    }
    return static_cast<int>(value);
}

}  // namespace tivora
