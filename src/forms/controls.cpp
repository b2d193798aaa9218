// The controls' own rules: what each one raises and when.
#include "forms/controls.h"

#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "base/text.h"
#include "forms/form.h"

namespace tivora::forms {

// --- CommandButton ---

CommandButton::CommandButton(Form& form, std::string name, Rect rect, std::string caption)
    : Control(form, std::move(name), classKind, rect), caption_(std::move(caption)) {}

void CommandButton::setCaption(std::string caption) {
    if (caption_ != caption) {
        caption_ = std::move(caption);
        notify(Change::Caption);
    }
}

void CommandButton::click() { raise(onClick); }

// --- TextBox ---

TextBox::TextBox(Form& form, std::string name, Rect rect, std::string text, int maxLength)
    : Control(form, std::move(name), classKind, rect), text_(std::move(text)), maxLength_(maxLength) {}

void TextBox::setText(std::string text) {
    if (text_ == text) {
        return;
    }
    text_ = std::move(text);
    clampSelection();
    notify(Change::Text);
    raise(onChange);
}

void TextBox::clampSelection() {
    int length = static_cast<int>(characterCount(text_));
    selStart_ = std::clamp(selStart_, 0, length);
    selLength_ = std::clamp(selLength_, 0, length - selStart_);
}

void TextBox::setSelStart(int start) {
    if (start < 0) {
        throw RuntimeError(err::InvalidPropertyValue);
    }
    selStart_ = start;
    selLength_ = 0;
    clampSelection();
    notify(Change::Selection);
}

void TextBox::setSelLength(int length) {
    if (length < 0) {
        throw RuntimeError(err::InvalidPropertyValue);
    }
    selLength_ = length;
    clampSelection();
    notify(Change::Selection);
}

void TextBox::selectionMoved(int start, int length) {
    selStart_ = start;
    selLength_ = length;
    clampSelection();
}

void TextBox::type(std::string_view typed) {
    if (locked || !enabled()) {
        return;
    }
    std::string before = characters(text_, 0, static_cast<size_t>(selStart_));
    std::string after = characters(text_, static_cast<size_t>(selStart_ + selLength_));
    std::string accepted(typed);
    if (maxLength_ > 0) {
        int room = maxLength_ - static_cast<int>(characterCount(before) + characterCount(after));
        accepted = characters(typed, 0, static_cast<size_t>(std::max(room, 0)));
    }
    if (accepted.empty() && selLength_ == 0) {
        return;  // the box refuses the key
    }
    int caret = static_cast<int>(characterCount(before) + characterCount(accepted));
    selStart_ = caret;
    selLength_ = 0;
    setText(before + accepted + after);
    if (text_ == before + accepted + after) {
        selectionMoved(caret, 0);
    }
}

void TextBox::click() { raise(onClick); }

std::string TextBox::property(std::string_view name) const {
    if (!propertyNameIs(name, "text")) {
        propertyNotSupported();
    }
    return text_;
}

void TextBox::setProperty(std::string_view name, const std::string& value) {
    if (!propertyNameIs(name, "text")) {
        propertyNotSupported();
    }
    setText(value);
}

// --- ComboBox ---

ComboBox::ComboBox(Form& form, std::string name, Rect rect, std::string text, std::vector<std::string> list)
    : Control(form, std::move(name), classKind, rect), text_(std::move(text)), list_(std::move(list)) {}

void ComboBox::setText(std::string text) {
    if (text_ == text) {
        return;
    }
    text_ = std::move(text);
    auto found = std::find(list_.begin(), list_.end(), text_);
    listIndex_ = found == list_.end() ? -1 : static_cast<int>(found - list_.begin());
    notify(Change::Text);
    raise(onChange);
}

void ComboBox::setListIndex(int index) {
    if (index < -1 || index >= static_cast<int>(list_.size())) {
        throw RuntimeError(err::InvalidPropertyValue);
    }
    listIndex_ = index;
    if (index >= 0 && text_ != list_[static_cast<size_t>(index)]) {
        text_ = list_[static_cast<size_t>(index)];
        notify(Change::Text);
    }
    notify(Change::Selection);
    raise(onClick);
}

std::string ComboBox::property(std::string_view name) const {
    if (!propertyNameIs(name, "text")) {
        propertyNotSupported();
    }
    return text_;
}

void ComboBox::setProperty(std::string_view name, const std::string& value) {
    if (!propertyNameIs(name, "text")) {
        propertyNotSupported();
    }
    setText(value);
}

// --- OptionButton ---

OptionButton::OptionButton(Form& form, std::string name, Rect rect, std::string caption, bool value)
    : Control(form, std::move(name), classKind, rect), caption_(std::move(caption)), value_(value) {}

void OptionButton::setValue(bool value) {
    if (value_ == value) {
        return;
    }
    value_ = value;
    notify(Change::Value);
    if (value) {
        form().optionSelected(this);
        raise(onClick);
    }
}

void OptionButton::deselectQuietly() {
    if (value_) {
        value_ = false;
        notify(Change::Value);
    }
}

std::string OptionButton::property(std::string_view name) const {
    if (!propertyNameIs(name, "Value")) {
        propertyNotSupported();
    }
    return yesNoText(value_);
}

void OptionButton::setProperty(std::string_view name, const std::string& value) {
    if (!propertyNameIs(name, "Value")) {
        propertyNotSupported();
    }
    setValue(toYesNo(value, form().numberFormat));
}

// --- CheckBox ---

CheckBox::CheckBox(Form& form, std::string name, Rect rect, std::string caption, int value)
    : Control(form, std::move(name), classKind, rect), caption_(std::move(caption)), value_(value) {}

void CheckBox::setValue(int value) {
    if (value < Unchecked || value > Grayed) {
        throw RuntimeError(err::InvalidPropertyValue);
    }
    if (value_ == value) {
        return;
    }
    value_ = value;
    notify(Change::Value);
    raise(onClick);
}

void CheckBox::click() { setValue(value_ == Unchecked ? Checked : Unchecked); }

std::string CheckBox::property(std::string_view name) const {
    if (!propertyNameIs(name, "Value")) {
        propertyNotSupported();
    }
    return std::to_string(value_);
}

void CheckBox::setProperty(std::string_view name, const std::string& value) {
    if (!propertyNameIs(name, "Value")) {
        propertyNotSupported();
    }
    setValue(toInteger(value, form().numberFormat));
}

// --- Label ---

Label::Label(Form& form, std::string name, Rect rect, std::string caption)
    : Control(form, std::move(name), classKind, rect), caption_(std::move(caption)) {}

void Label::setCaption(std::string caption) {
    if (caption_ != caption) {
        caption_ = std::move(caption);
        notify(Change::Caption);
    }
}

// --- PictureBox ---

PictureBox::PictureBox(Form& form, std::string name, Rect rect)
    : Control(form, std::move(name), classKind, rect),
      widthPixels_(static_cast<int>(rect.width / form.twipsPerPixelX)),
      heightPixels_(static_cast<int>(rect.height / form.twipsPerPixelY)) {}

void PictureBox::setSize(double width, double height) {
    bool pixels = form().scaleMode() == ScaleMode::Pixels;
    widthPixels_ = static_cast<int>(std::lround(pixels ? width : width / form().twipsPerPixelX));
    heightPixels_ = static_cast<int>(std::lround(pixels ? height : height / form().twipsPerPixelY));
    if (widthPixels_ < 0 || heightPixels_ < 0) {
        throw RuntimeError(err::InvalidPropertyValue);
    }
    notify(Change::Size);
}

}  // namespace tivora::forms
