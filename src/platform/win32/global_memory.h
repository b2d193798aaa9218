// kernel32's movable global memory, in which the print dialog takes its records.
#pragma once

#include "platform/global_memory.h"

namespace tivora::win32 {

class Win32GlobalMemory : public platform::GlobalMemory {
public:
    std::uintptr_t GlobalAlloc(std::uint32_t flags, std::size_t bytes) override;
    void* GlobalLock(std::uintptr_t block) override;
    bool GlobalUnlock(std::uintptr_t block) override;
    std::uintptr_t GlobalFree(std::uintptr_t block) override;
    std::size_t GlobalSize(std::uintptr_t block) override;
    void moveMemory(void* destination, const void* source, std::size_t length) override;
};

}  // namespace tivora::win32
