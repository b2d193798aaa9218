// TrayIcon: one notification-area icon for one window, with its tooltip, its mouse events
// (the shell reports them to the window as mouse moves) and its popup menu.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/report.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "platform/platform.h"

namespace tivora {

class TrayIcon {
public:
    TrayIcon(platform::Platform& platform, ErrorReporter& reporter);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Properties: setting one changes only the stored value; the icon follows at Add or Modify.
    std::uintptr_t hwnd() const { return hwnd_; }
    void setHwnd(std::uintptr_t hwnd) { hwnd_ = hwnd; }
    std::uintptr_t Icon() const { return icon_; }
    void setIcon(std::uintptr_t icon) { icon_ = icon; }
    const std::string& ToolTipText() const { return toolTipText_; }
    void setToolTipText(std::string text) { toolTipText_ = std::move(text); }

    void Add();
    void Modify();
    void Delete();

    // Decodes one mouse move of the owner window: the shell's callback arrives with the mouse
    // message as the pixel X (handed on in twips) and 0 as Y; OnIcon then gets the message
    // less 0x200, the low 8 bits of the whole pixel, at any display scale.
    void CallEvent(const float& X, const float& Y);
    // Shows the menu as the icon's popup menu; returns after the chosen entry's handler ran.
    void CallPopupMenu(forms::Form& window, forms::Menu& menu, std::optional<int> flags = std::nullopt,
                       std::optional<float> X = std::nullopt, std::optional<float> Y = std::nullopt,
                       forms::Menu* defaultEntry = nullptr);

    // The one event: a mouse code (2 left button released, 5 right button released, ...).
    std::function<void(short& MouseMessage)> OnIcon;

    const platform::NotifyIconRecord& record() const { return record_; }

private:
    void fillTip();
    void addUntilTheShellTakesIt();

    platform::Platform& platform_;
    ErrorReporter& reporter_;
    std::uintptr_t hwnd_ = 0;
    std::uintptr_t icon_ = 0;
    std::string toolTipText_;
    platform::NotifyIconRecord record_{};
    bool added_ = false;  // between Add and Delete: the icon should be in the notification area
    int retryTimer_ = 0;  // a pending retry of an add the shell refused
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tivora
