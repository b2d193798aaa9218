// The transcript the fakes of the system share: everything asked of the system, one line per
// request, in order; and the way it writes a handle.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tivora::fakes {

using Transcript = std::vector<std::string>;

inline std::string hex(std::uintptr_t value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(value));
    return buffer;
}

}  // namespace tivora::fakes
