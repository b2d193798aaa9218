// The volume tool's command line: "volume setsysvolume LEVEL", LEVEL from 0 to 65535 (the full
// volume) with "." or "," before an optional fraction, as the main program writes it in the
// user's number format ("32767,5" on a Russian system).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tivora::volume {

// The tool's exit codes.
inline constexpr int ExitDone = 0;
inline constexpr int ExitUsage = 2;  // a bad command line: the volume is left as it is
inline constexpr int ExitAudio = 3;  // no default playback device, or Core Audio failed

inline constexpr double FullLevel = 65535;

// What a command line asks for: a level to set, or the one-line reason it asks for nothing
// that can be done.
struct Request {
    std::optional<double> level;  // from 0 to FullLevel
    std::string error;            // when there is no level

    // The level as the endpoint volume takes it, from 0 to 1.
    double scalar() const { return *level / FullLevel; }
};

// Reads the arguments after the program's name, in UTF-8. The command's letter case does not
// matter. The level is digits with at most one "." or "," and digits after it, blanks or tabs
// around it allowed; no sign, no exponent.
Request parseArguments(std::span<const std::string_view> arguments);

}  // namespace tivora::volume
