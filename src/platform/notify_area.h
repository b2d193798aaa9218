// The notification area (shell32's Shell_NotifyIconA) and the shell's own comings and goings.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace tivora::platform {

// The notification record in its first-version layout (NOTIFYICONDATA up to szTip), with the
// tooltip in the system's 8-bit code page.
struct NotifyIconRecord {
    std::uint32_t cbSize = 0;
    std::uintptr_t hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uintptr_t hIcon = 0;
    std::array<char, 64> szTip{};
};

inline constexpr std::uint32_t NIM_ADD = 0;
inline constexpr std::uint32_t NIM_MODIFY = 1;
inline constexpr std::uint32_t NIM_DELETE = 2;
inline constexpr std::uint32_t NIM_SETFOCUS = 3;
inline constexpr std::uint32_t NIF_MESSAGE = 1;
inline constexpr std::uint32_t NIF_ICON = 2;
inline constexpr std::uint32_t NIF_TIP = 4;

class NotifyArea {
public:
    virtual ~NotifyArea() = default;
    // The size of the first-version record on this platform (88 bytes in a 32-bit program).
    virtual std::uint32_t firstVersionRecordSize() = 0;
    virtual bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconRecord& record) = 0;
    // Runs action whenever the shell has made its notification area anew (Explorer restarted):
    // every icon in it is gone then.
    virtual void onNotifyAreaCreated(std::function<void()> action) = 0;
};

}  // namespace tivora::platform
