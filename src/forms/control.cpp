// The common part of every control.
#include "forms/control.h"

#include "base/error.h"
#include "base/text.h"
#include "forms/form.h"

namespace tivora::forms {

Control::Control(Form& form, std::string name, Kind kind, Rect rect)
    : form_(form), name_(std::move(name)), kind_(kind), rect_(rect) {
    form_.addControl(this);
}

void Control::setEnabled(bool enabled) {
    if (enabled_ != enabled) {
        enabled_ = enabled;
        notify(Change::Enabled);
    }
}

void Control::setVisible(bool visible) {
    if (visible_ != visible) {
        visible_ = visible;
        notify(Change::Visible);
    }
}

bool Control::canTakeFocus() const { return visible_ && enabled_ && form_.visible() && form_.enabled(); }

void Control::setFocus() {
    if (!canTakeFocus()) {
        throw RuntimeError(err::InvalidCall);
    }
    notify(Change::Focus);
}

std::string Control::property(std::string_view) const { propertyNotSupported(); }

void Control::setProperty(std::string_view, const std::string&) { propertyNotSupported(); }

void Control::propertyNotSupported() { throw RuntimeError(err::PropertyNotSupported); }

void Control::notify(Change what) {
    if (view_) {
        view_->controlChanged(*this, what);
    }
}

bool propertyNameIs(std::string_view name, std::string_view expected) {
    return equalsIgnoringAsciiCase(name, expected);
}

}  // namespace tivora::forms
