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

// What Shell_NotifyIconA is asked to do (NIM_ADD …), and the record's fields that count (NIF_…).
namespace notifyMessage {
inline constexpr std::uint32_t add = 0;
inline constexpr std::uint32_t modify = 1;
inline constexpr std::uint32_t remove = 2;  // NIM_DELETE
inline constexpr std::uint32_t setFocus = 3;
}  // namespace notifyMessage
namespace notifyField {
inline constexpr std::uint32_t message = 1;
inline constexpr std::uint32_t icon = 2;
inline constexpr std::uint32_t tip = 4;
}  // namespace notifyField

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
