// The volume tool's command line, read without the system's help so that it is the same on
// every system and is tested natively.
#include "volume/volume_arguments.h"

#include <charconv>
#include <system_error>
#include <utility>

#include "base/text.h"

namespace tivora::volume {

namespace {

const char* const Usage = "usage: volume setsysvolume LEVEL (0 to 65535, e.g. 32767,5)";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// An argument as the messages show it: quoted, control characters as "?" so that the message
// stays one line, and a long one cut at a character's start.
std::string shown(std::string_view argument) {
    constexpr size_t Longest = 40;
    bool cut = argument.size() > Longest;
    if (cut) {
        size_t end = Longest;
        while (end > 0 && (static_cast<unsigned char>(argument[end]) & 0xC0) == 0x80) {
            --end;
        }
        argument = argument.substr(0, end);
    }
    std::string text = "\"";
    for (char c : argument) {
        unsigned char u = static_cast<unsigned char>(c);
        text += u < 0x20 || u == 0x7F ? '?' : c;
    }
    text += cut ? "...\"" : "\"";
    return text;
}

enum class Reading { Number, NoNumber, Negative };

// Digits with an optional "." or "," and digits after it. A "-" before such a number makes it
// a negative one, which is out of range rather than no number at all.
Reading readLevel(std::string_view text, double& value) {
    bool negative = !text.empty() && text.front() == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    std::string plain;  // the number rewritten for from_chars, which takes only "."
    size_t i = 0;
    while (i < text.size() && isDigit(text[i])) {
        plain += text[i++];
    }
    if (plain.empty()) {
        return Reading::NoNumber;
    }
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        plain += '.';
        ++i;
        size_t fractionStart = i;
        while (i < text.size() && isDigit(text[i])) {
            plain += text[i++];
        }
        if (i == fractionStart) {
            return Reading::NoNumber;
        }
    }
    if (i != text.size()) {
        return Reading::NoNumber;
    }
    if (negative) {
        return Reading::Negative;
    }
    auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec == std::errc::result_out_of_range) {
        value = FullLevel + 1;  // more digits than a double holds: far beyond the full level
    }
    return Reading::Number;
}

Request failure(std::string message) { return {std::nullopt, "volume: " + std::move(message)}; }

}  // namespace

Request parseArguments(std::span<const std::string_view> arguments) {
    if (arguments.empty()) {
        return failure(std::string("no command given; ") + Usage);
    }
    if (!equalsIgnoringAsciiCase(arguments[0], "setsysvolume")) {
        return failure("unknown command " + shown(arguments[0]) + "; " + Usage);
    }
    if (arguments.size() < 2) {
        return failure(std::string("setsysvolume needs a LEVEL; ") + Usage);
    }
    if (arguments.size() > 2) {
        return failure("unexpected argument " + shown(arguments[2]) + " after the level; " + Usage);
    }
    std::string_view text = trimBlanks(arguments[1]);
    double value = 0;
    Reading reading = readLevel(text, value);
    if (reading == Reading::NoNumber) {
        return failure(shown(arguments[1]) +
                       " is not a LEVEL: expected digits with an optional fraction after \".\" or \",\", "
                       "from 0 to 65535");
    }
    if (reading == Reading::Negative || value > FullLevel) {
        return failure("LEVEL " + shown(arguments[1]) + " is out of range 0 to 65535");
    }
    return {value, ""};
}

}  // namespace tivora::volume
