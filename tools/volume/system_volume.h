// The master volume of the default playback device (the console role, which is also the
// multimedia one on most systems), through Windows' Core Audio endpoint volume.
#pragma once

#include <optional>
#include <string>

namespace tivora::volume {

// Sets the master volume to a scalar from 0 to 1 (values outside are taken as the nearer
// end). Empty when it was set; else the reason in one line ("no default playback device" when
// there is none).
std::string setMasterVolume(double scalar);

// The master volume as a scalar from 0 to 1, or the reason it could not be read.
struct MasterVolume {
    std::optional<double> scalar;
    std::string failure;
};
MasterVolume masterVolume();

}  // namespace tivora::volume
