// A menu entry joins its parent's entries and raises its click while it is enabled.
#include "forms/menu.h"

#include <utility>

namespace tivora::forms {

Menu::Menu(Form& form, std::string name, std::string caption, Menu* parent)
    : Control(form, std::move(name), classKind, Rect{}), caption_(std::move(caption)), parent_(parent) {
    if (parent_) {
        parent_->entries_.push_back(this);
    }
}

void Menu::setCaption(std::string caption) {
    if (caption_ != caption) {
        caption_ = std::move(caption);
        notify(Change::Caption);
    }
}

void Menu::click() {
    if (enabled()) {
        raise(onClick);
    }
}

}  // namespace tivora::forms
