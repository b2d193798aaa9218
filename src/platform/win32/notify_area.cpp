// The first-version notification record copied into NOTIFYICONDATAA for Shell_NotifyIconA.
#include "platform/win32/notify_area.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <utility>

namespace tivora::win32 {

// The program's names for the shell's values, checked against them.
static_assert(platform::notifyMessage::add == NIM_ADD && platform::notifyMessage::modify == NIM_MODIFY &&
              platform::notifyMessage::remove == NIM_DELETE &&
              platform::notifyMessage::setFocus == NIM_SETFOCUS);
static_assert(platform::notifyField::message == NIF_MESSAGE && platform::notifyField::icon == NIF_ICON &&
              platform::notifyField::tip == NIF_TIP);

std::uint32_t Win32NotifyArea::firstVersionRecordSize() { return NOTIFYICONDATAA_V1_SIZE; }

bool Win32NotifyArea::Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconRecord& record) {
    NOTIFYICONDATAA data{};
    data.cbSize = record.cbSize;
    data.hWnd = reinterpret_cast<HWND>(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.hIcon);
    std::copy(record.szTip.begin(), record.szTip.end(), data.szTip);
    return ::Shell_NotifyIconA(message, &data) != FALSE;
}

void Win32NotifyArea::onNotifyAreaCreated(std::function<void()> action) {
    notifyAreaCreated_.push_back(std::move(action));
}

void Win32NotifyArea::notifyAreaCreated() {
    for (auto& action : notifyAreaCreated_) {
        action();
    }
}

}  // namespace tivora::win32
