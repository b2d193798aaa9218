// The notification-area icon: its record, kept in the notification area (added again while the
// shell refuses it, and when the shell makes the area anew), its mouse codes and its popup menu.
#include "tray/tray_icon.h"

#include <algorithm>
#include <cmath>

#include "base/numbers.h"

namespace tivora {

namespace {

constexpr std::uint32_t mouseMoveMessage = 0x200;  // the shell reports to the window as mouse moves
constexpr std::uint32_t nullMessage = 0;
constexpr int retryMilliseconds = 3000;
// The icon's number among the window's icons. The same at every start: the notification area
// remembers the user's "show this icon" by the program's path and this number, so a number
// that changed with each run (the window handle) would lose it and leave copies in the list.
constexpr std::uint32_t iconId = 1;

}  // namespace

TrayIcon::TrayIcon(platform::Platform& platform, ErrorReporter& reporter)
    : platform_(platform), reporter_(reporter) {
    // When Explorer makes its notification area anew, every icon is gone: put ours back.
    std::weak_ptr<bool> alive = alive_;
    platform_.notifyArea.onNotifyAreaCreated([this, alive] {
        if (!alive.expired() && added_) {
            trap(reporter_, "Add", [&](Step& step) {
                step(1);
                if (!platform_.notifyArea.Shell_NotifyIconA(platform::notifyMessage::add, record_)) {
                    addUntilTheShellTakesIt();
                }
            });
        }
    });
}

TrayIcon::~TrayIcon() {
    if (retryTimer_ != 0) {
        platform_.timers.cancel(retryTimer_);
    }
}

void TrayIcon::fillTip() {
    // The first 63 characters of the tooltip in the 8-bit code page, a NUL, then blanks.
    std::string tip = platform_.regional.toAnsi(toolTipText_).substr(0, 63);
    record_.szTip.fill(' ');
    std::copy(tip.begin(), tip.end(), record_.szTip.begin());
    record_.szTip[tip.size()] = '\0';
}

void TrayIcon::Add() {
    trap(reporter_, "Add", [&](Step& step) {
        step(1);
        record_.cbSize = platform_.notifyArea.firstVersionRecordSize();
        record_.hWnd = hwnd_;
        record_.uID = iconId;
        record_.uFlags =
            platform::notifyField::message | platform::notifyField::icon | platform::notifyField::tip;
        record_.uCallbackMessage = mouseMoveMessage;
        record_.hIcon = icon_;
        fillTip();
        step(2);
        added_ = true;
        if (!platform_.notifyArea.Shell_NotifyIconA(platform::notifyMessage::add, record_)) {
            // An autostart at logon can come before the taskbar, and a busy shell answers with a
            // time-out: keep trying, or a program that starts hidden could never be reached.
            addUntilTheShellTakesIt();
        }
    });
}

void TrayIcon::addUntilTheShellTakesIt() {
    if (retryTimer_ != 0) {
        return;
    }
    retryTimer_ = platform_.timers.startOnce(retryMilliseconds, [this] {
        retryTimer_ = 0;
        if (!added_) {
            return;
        }
        // A time-out may have come although the icon was taken: then it can be modified.
        if (!platform_.notifyArea.Shell_NotifyIconA(platform::notifyMessage::add, record_) &&
            !platform_.notifyArea.Shell_NotifyIconA(platform::notifyMessage::modify, record_)) {
            addUntilTheShellTakesIt();
        }
    });
}

void TrayIcon::Modify() {
    trap(reporter_, "Modify", [&](Step& step) {
        step(1);
        record_.cbSize = platform_.notifyArea.firstVersionRecordSize();
        record_.uFlags = platform::notifyField::icon | platform::notifyField::tip;
        record_.hIcon = icon_;
        fillTip();
        step(2);
        platform_.notifyArea.Shell_NotifyIconA(platform::notifyMessage::modify, record_);
    });
}

void TrayIcon::Delete() {
    trap(reporter_, "Delete", [&](Step& step) {
        step(1);
        added_ = false;
        if (retryTimer_ != 0) {
            platform_.timers.cancel(retryTimer_);
            retryTimer_ = 0;
        }
        record_.cbSize = platform_.notifyArea.firstVersionRecordSize();
        step(2);
        platform_.notifyArea.Shell_NotifyIconA(platform::notifyMessage::remove, record_);
    });
}

void TrayIcon::CallEvent(const float& X, const float& Y) {
    trap(reporter_, "CallEvent", [&](Step& step) {
        step(1);
        if (Y != 0) {
            return;
        }
        step(2);
        // The shell's message stood in the pixel X. Back to whole pixels first, then its low
        // 8 bits: a pixel need not be a whole number of twips (8.571... at 168 DPI), and
        // taking the low bits of the twips would then mix in the message's 0x200.
        double pixel = roundHalfEven(X / platform_.screen.twipsPerPixelX());
        if (!(pixel >= -2147483648.0 && pixel <= 2147483647.0)) {
            throw RuntimeError(err::Overflow);
        }
        step(3);
        short code = static_cast<short>(static_cast<std::int32_t>(pixel) & 255);
        step(4);
        if (OnIcon) {
            OnIcon(code);
        }
    });
}

void TrayIcon::CallPopupMenu(forms::Form& window, forms::Menu& menu, std::optional<int> flags,
                             std::optional<float> X, std::optional<float> Y, forms::Menu* defaultEntry) {
    trap(reporter_, "CallPopupMenu", [&](Step& step) {
        std::uintptr_t owner = hwnd_;  // kept: the chosen entry may release this object's owner
        step(1);
        platform_.windows.SetForegroundWindow(owner);
        step(2);
        forms::MenuClosed closed =
            window.popupMenu(menu, flags.value_or(0), X ? &*X : nullptr, Y ? &*Y : nullptr, defaultEntry);
        step(3);
        platform_.windows.PostMessageA(owner, nullMessage, 0, 0);
        if (closed == forms::MenuClosed::ByEscape) {
            // Dismissed with Esc: the keyboard's focus goes back to the notification area, where the
            // user was. After a click elsewhere, the Windows key or Alt+Tab it is where they went.
            platform_.notifyArea.Shell_NotifyIconA(platform::notifyMessage::setFocus, record_);
        }
    });
}

}  // namespace tivora
