// GlobalAlloc, GlobalLock, GlobalUnlock, GlobalFree and GlobalSize on the program's handles, and
// the move of bytes between blocks.
#include "platform/win32/global_memory.h"

#include <windows.h>

#include <cstring>

namespace tivora::win32 {

std::uintptr_t Win32GlobalMemory::GlobalAlloc(std::uint32_t flags, std::size_t bytes) {
    return reinterpret_cast<std::uintptr_t>(::GlobalAlloc(flags, bytes));
}
void* Win32GlobalMemory::GlobalLock(std::uintptr_t block) {
    return ::GlobalLock(reinterpret_cast<HGLOBAL>(block));
}
bool Win32GlobalMemory::GlobalUnlock(std::uintptr_t block) {
    return ::GlobalUnlock(reinterpret_cast<HGLOBAL>(block)) != FALSE;
}
std::uintptr_t Win32GlobalMemory::GlobalFree(std::uintptr_t block) {
    return reinterpret_cast<std::uintptr_t>(::GlobalFree(reinterpret_cast<HGLOBAL>(block)));
}
std::size_t Win32GlobalMemory::GlobalSize(std::uintptr_t block) {
    return block ? ::GlobalSize(reinterpret_cast<HGLOBAL>(block)) : 0;
}
void Win32GlobalMemory::moveMemory(void* destination, const void* source, std::size_t length) {
    std::memmove(destination, source, length);
}

}  // namespace tivora::win32
