// kernel32's movable global memory, in which the print dialog takes its records.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tivora::platform {

class GlobalMemory {
public:
    virtual ~GlobalMemory() = default;
    virtual std::uintptr_t GlobalAlloc(std::uint32_t flags, std::size_t bytes) = 0;
    virtual void* GlobalLock(std::uintptr_t block) = 0;
    virtual bool GlobalUnlock(std::uintptr_t block) = 0;
    virtual std::uintptr_t GlobalFree(std::uintptr_t block) = 0;
    virtual std::size_t GlobalSize(std::uintptr_t block) = 0;  // 0 for a block that is not there
    // kernel32's RtlMoveMemory (a macro in some headers, hence the name).
    virtual void moveMemory(void* destination, const void* source, std::size_t length) = 0;
};

inline constexpr std::uint32_t globalMoveable = 0x2;   // GMEM_MOVEABLE
inline constexpr std::uint32_t globalZeroInit = 0x40;  // GMEM_ZEROINIT

}  // namespace tivora::platform
