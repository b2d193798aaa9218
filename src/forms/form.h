// The window layer's model of a window: its controls in a fixed order, caption, visibility, state,
// position in twips, coordinate unit, popup menus, and its events: load, activate, close request,
// unload, mouse move, the session's end, the machine's resume and the clock set.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/numbers.h"
#include "forms/control.h"

namespace tivora::forms {

enum class ScaleMode { Twips, Pixels };

// Where a close request comes from.
enum class UnloadMode {
    ControlMenu = 0,  // the close box or the system menu
    Code = 1,         // the program closes the window itself
    WindowsSession = 2,
    TaskManager = 3,
};

// Normal, or minimised to the taskbar, or maximised: the window's own state beside its visibility.
enum class WindowState { Normal, Minimized, Maximized };

// How a popup menu closed: an entry chosen, dismissed with Esc alone, or otherwise (a click
// elsewhere, another key such as the Windows key or Alt+Tab, another window taking the foreground).
enum class MenuClosed { Chosen, ByEscape, Elsewhere };

enum class FormChange { Caption, Visible, Enabled, Position, Focus, ScaleMode, WindowState };

class Form;
class Menu;

class FormView {
public:
    virtual ~FormView() = default;
    virtual void formChanged(Form& form, FormChange what) = 0;
    // The realised window's handle and icon handle, as numbers.
    virtual std::uintptr_t windowHandle() const = 0;
    virtual std::uintptr_t iconHandle() const = 0;
    // The model has unloaded: the real window goes.
    virtual void destroy() = 0;
    // Shows menu's entries as a popup menu of the window (at the pointer when no position is
    // given, in the window's unit otherwise) and returns the entry chosen, if any; byEscape
    // tells whether the last thing the user did in it was Esc, with no other key held.
    virtual Menu* popupMenu(Menu& menu, int flags, const float* x, const float* y, Menu* defaultEntry,
                            bool& byEscape) = 0;
};

class Form {
public:
    // The client area's size in twips.
    Form(std::string name, std::string designCaption, int clientWidth, int clientHeight);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

    // Every control in the window's fixed order (the order they were made in).
    const std::vector<Control*>& controls() const { return controls_; }
    Control* findControl(std::string_view name) const;
    // The order in which Tab visits the controls; by default the controls' order.
    const std::vector<Control*>& tabOrder() const { return tabOrder_.empty() ? controls_ : tabOrder_; }
    void setTabOrder(std::vector<Control*> order) { tabOrder_ = std::move(order); }

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    // Showing a window also brings it back when it is minimised: a window shown by the program
    // is meant to be seen.
    void show();
    void hide() { setVisible(false); }
    WindowState windowState() const { return windowState_; }
    void setWindowState(WindowState state);
    // The window layer reports that the user minimised, maximised or restored the window; no
    // notification.
    void windowStateChanged(WindowState state) { windowState_ = state; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // The window's outer left and top edges on the screen, in twips: where it stands when it is
    // neither minimised nor maximised.
    double left() const { return left_; }
    double top() const { return top_; }
    void setLeft(double twips);
    void setTop(double twips);
    // The window layer reports where the window is; no notification.
    void moved(double left, double top);
    bool centreWhenFirstShown = true;

    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    ScaleMode scaleMode() const { return scaleMode_; }
    void setScaleMode(ScaleMode mode);

    // Screen facts the window converts with; set by the program at start.
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
    NumberFormat numberFormat;

    std::uintptr_t hWnd() const { return view_ ? view_->windowHandle() : 0; }
    std::uintptr_t iconHandle() const { return view_ ? view_->iconHandle() : 0; }

    // Gives the window the focus; a hidden or disabled window cannot take it (5).
    void setFocus();

    // Shows a menu as a popup menu of this window; returns when it has closed, after the chosen
    // entry's Click ran. Flags 2 lets the right mouse button choose too.
    MenuClosed popupMenu(Menu& menu, int flags = 0, const float* x = nullptr, const float* y = nullptr,
                         Menu* defaultEntry = nullptr);

    // Events.
    Handler onLoad;
    Handler onActivate;
    std::function<void(int& cancel, UnloadMode mode)> onQueryUnload;
    std::function<void(int& cancel)> onUnload;
    std::function<void(int button, int shift, float x, float y)> onMouseMove;

    // The window layer reports that the Windows session is ending: the window closes as far as it
    // may. One whose load has not finished is left as it is (its values are half loaded), and one
    // that is already unloading finishes that unload (its values are saved once).
    void sessionEnding();
    // The window layer reports that the user changed the regional settings (number format).
    void regionalSettingsChanged();
    Handler onRegionalSettingsChanged;
    // The window layer reports that the machine has woken from sleep or hibernation (its timers
    // stood still while the clock went on), and that the clock or the time zone was set.
    void systemResumed();
    Handler onSystemResume;
    void timeChanged();
    Handler onTimeChange;
    // The window was shown or hidden.
    Handler onVisibleChange;
    // The window layer made the window's icons anew (at a new display scale): iconHandle()
    // names the new one.
    void iconChanged() {
        if (onIconChanged) {
            onIconChanged();
        }
    }
    Handler onIconChanged;

    // The window's life, driven by the window layer (or a test).
    void load();
    bool loaded() const { return loaded_; }
    // True while Load runs: the window's values are not all in place yet.
    bool loading() const { return loading_; }
    // The window became the program's active window. Activate is raised the first time only:
    // showing the window again from the tray or coming back from another window of the program
    // must not repeat what start-up does on activation.
    void activated();
    // Asks the window to close: QueryUnload may refuse; otherwise Unload runs and the window goes.
    // True when it went.
    bool requestClose(UnloadMode mode);
    // A mouse move over the window (or the tray's callback, which arrives as one), in pixels
    // of the client area; the handler gets the position in the window's coordinate unit.
    void mouseMoved(int button, int shift, int xPixels, int yPixels);

    void setView(FormView* view) { view_ = view; }
    FormView* view() const { return view_; }

private:
    friend class Control;
    friend class OptionButton;
    void addControl(Control* control) { controls_.push_back(control); }
    void optionSelected(Control* selected);
    void notify(FormChange what);

    std::string name_;
    std::string caption_;
    std::vector<Control*> controls_;
    std::vector<Control*> tabOrder_;
    bool visible_ = false;
    bool enabled_ = true;
    double left_ = 0;
    double top_ = 0;
    int clientWidth_;
    int clientHeight_;
    ScaleMode scaleMode_ = ScaleMode::Twips;
    bool loaded_ = false;
    bool loading_ = false;
    bool unloading_ = false;
    bool activatedOnce_ = false;
    WindowState windowState_ = WindowState::Normal;
    FormView* view_ = nullptr;
};

}  // namespace tivora::forms
