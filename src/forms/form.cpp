// A window's life and its events.
#include "forms/form.h"

#include "base/error.h"
#include "forms/controls.h"

namespace tivora::forms {

Form::Form(std::string name, std::string designCaption, int clientWidth, int clientHeight)
    : name_(std::move(name)),
      caption_(std::move(designCaption)),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight) {}

void Form::setCaption(std::string caption) {
    if (caption_ != caption) {
        caption_ = std::move(caption);
        notify(FormChange::Caption);
    }
}

Control* Form::findControl(std::string_view name) const {
    for (Control* c : controls_) {
        if (c->name() == name) {
            return c;
        }
    }
    return nullptr;
}

void Form::setVisible(bool visible) {
    if (visible_ != visible) {
        visible_ = visible;
        notify(FormChange::Visible);
        if (onVisibleChange) {
            onVisibleChange();
        }
    }
}

void Form::show() {
    setVisible(true);
    if (windowState_ == WindowState::Minimized) {
        setWindowState(WindowState::Normal);
    }
}

void Form::setWindowState(WindowState state) {
    if (windowState_ != state) {
        windowState_ = state;
        notify(FormChange::WindowState);
    }
}

void Form::setEnabled(bool enabled) {
    if (enabled_ != enabled) {
        enabled_ = enabled;
        notify(FormChange::Enabled);
    }
}

void Form::setLeft(double twips) {
    left_ = twips;
    centreWhenFirstShown = false;
    notify(FormChange::Position);
}

void Form::setTop(double twips) {
    top_ = twips;
    centreWhenFirstShown = false;
    notify(FormChange::Position);
}

void Form::moved(double left, double top) {
    left_ = left;
    top_ = top;
}

void Form::setScaleMode(ScaleMode mode) {
    if (scaleMode_ != mode) {
        scaleMode_ = mode;
        notify(FormChange::ScaleMode);
    }
}

void Form::setFocus() {
    if (!visible_ || !enabled_) {
        throw RuntimeError(err::InvalidCall);
    }
    notify(FormChange::Focus);
}

MenuClosed Form::popupMenu(Menu& menu, int flags, const float* x, const float* y, Menu* defaultEntry) {
    if (!view_) {
        return MenuClosed::Elsewhere;
    }
    bool byEscape = false;
    if (Menu* chosen = view_->popupMenu(menu, flags, x, y, defaultEntry, byEscape)) {
        chosen->click();
        return MenuClosed::Chosen;
    }
    return byEscape ? MenuClosed::ByEscape : MenuClosed::Elsewhere;
}

void Form::load() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    loading_ = true;
    if (onLoad) {
        onLoad();
    }
    loading_ = false;
}

void Form::activated() {
    if (activatedOnce_) {
        return;
    }
    activatedOnce_ = true;
    if (onActivate) {
        onActivate();
    }
}

bool Form::requestClose(UnloadMode mode) {
    if (!loaded_) {
        return true;
    }
    int cancel = 0;
    if (onQueryUnload) {
        onQueryUnload(cancel, mode);
    }
    if (cancel != 0) {
        return false;
    }
    unloading_ = true;
    if (onUnload) {
        onUnload(cancel);
    }
    unloading_ = false;
    if (cancel != 0) {
        return false;
    }
    loaded_ = false;
    visible_ = false;
    if (view_) {
        view_->destroy();
    }
    return true;
}

void Form::sessionEnding() {
    if (loading_ || unloading_) {
        return;
    }
    requestClose(UnloadMode::WindowsSession);
}

void Form::regionalSettingsChanged() {
    if (onRegionalSettingsChanged) {
        onRegionalSettingsChanged();
    }
}

void Form::systemResumed() {
    if (onSystemResume) {
        onSystemResume();
    }
}

void Form::timeChanged() {
    if (onTimeChange) {
        onTimeChange();
    }
}

void Form::mouseMoved(int button, int shift, int xPixels, int yPixels) {
    if (!onMouseMove) {
        return;
    }
    float x = static_cast<float>(xPixels);
    float y = static_cast<float>(yPixels);
    if (scaleMode_ == ScaleMode::Twips) {
        // The product in double, rounded to float once: the float nearest the true twips, so
        // that X / twipsPerPixelX rounds back to the pixel over the whole 16-bit range also
        // where a pixel is no whole number of twips (the tray's codes rely on that).
        x = static_cast<float>(xPixels * twipsPerPixelX);
        y = static_cast<float>(yPixels * twipsPerPixelY);
    }
    onMouseMove(button, shift, x, y);
}

void Form::optionSelected(Control* selected) {
    for (Control* c : controls_) {
        if (auto* option = c->as<OptionButton>(); option && c != selected) {
            option->deselectQuietly();
        }
    }
}

void Form::notify(FormChange what) {
    if (view_) {
        view_->formChanged(*this, what);
    }
}

}  // namespace tivora::forms
