// The main window as its declaration and layout make it, read from a fresh Form_Main on the fake
// system: every control with its design values, the settings file's keys in their order, the tab
// order. Tests take the window's controls from here rather than keep copies of their own.
#pragma once

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/fake_platform.h"
#include "main_window/form_main.h"
#include "settings/ini_functions.h"
#include "version.h"

namespace tivora::fakes {

// The property the settings file keeps of a control of this kind: a box's text, an option
// button's or a check box's Value; none of the other kinds.
inline std::string_view savedProperty(forms::Control::Kind kind) {
    using Kind = forms::Control::Kind;
    return kind == Kind::TextBox || kind == Kind::ComboBox        ? "text"
           : kind == Kind::OptionButton || kind == Kind::CheckBox ? "Value"
                                                                  : "";
}

struct ControlFacts {
    std::string name;
    forms::Control::Kind kind;
    std::string text;  // as designed: a box's text, or the caption
    forms::Rect rect;  // twips in the client area
    bool enabled = true;
    bool visible = true;
    int tabIndex = -1;  // its place in the tab order; -1 when Tab never visits it
    std::string key;    // its settings key ("Form_Main_Text_Hour"), empty when it is not saved
    std::string value;  // its design value as the settings file holds it
};

struct FormFacts {
    std::string name;
    int clientWidth = 0;
    int clientHeight = 0;
    std::vector<ControlFacts> controls;  // in the window's order
    std::vector<std::string> tabOrder;

    const ControlFacts& operator[](std::string_view control) const {
        for (const ControlFacts& c : controls) {
            if (c.name == control) {
                return c;
            }
        }
        throw std::out_of_range("no control " + std::string(control));
    }

    // The saved controls, in the order of their keys in a settings file the program writes.
    std::vector<const ControlFacts*> keyed() const {
        std::vector<const ControlFacts*> found;
        for (const ControlFacts& c : controls) {
            if (!c.key.empty()) {
                found.push_back(&c);
            }
        }
        return found;
    }

    // A whole settings file as the program writes it: every key with its design value unless
    // values gives another (by control name), then the window's position.
    std::string settingsFile(const std::map<std::string, std::string>& values, int left, int top) const {
        std::string text = "[" + name + "]\r\n";
        for (const ControlFacts* c : keyed()) {
            auto given = values.find(c->name);
            text += c->key + "=" + (given == values.end() ? c->value : given->second) + "\r\n";
        }
        return text + "[Program_Settings]\r\nForm_Left=" + std::to_string(left) +
               "\r\nForm_Top=" + std::to_string(top) + "\r\n";
    }
};

inline FormFacts formFacts(const forms::Form& form) {
    FormFacts facts{form.name(), form.clientWidth(), form.clientHeight(), {}, {}};
    for (const forms::Control* c : form.tabOrder()) {
        facts.tabOrder.push_back(c->name());
    }
    for (const forms::Control* c : form.controls()) {
        ControlFacts control{c->name(), c->kind(), "", c->rect(), c->enabled(), c->visible(), -1, "", ""};
        if (auto* box = c->as<forms::TextBox>()) {
            control.text = box->text();
        } else if (auto* combo = c->as<forms::ComboBox>()) {
            control.text = combo->text();
        } else if (auto* button = c->as<forms::CommandButton>()) {
            control.text = button->caption();
        } else if (auto* option = c->as<forms::OptionButton>()) {
            control.text = option->caption();
        } else if (auto* check = c->as<forms::CheckBox>()) {
            control.text = check->caption();
        } else if (auto* label = c->as<forms::Label>()) {
            control.text = label->caption();
        } else if (auto* menu = c->as<forms::Menu>()) {
            control.text = menu->caption();
        }
        auto tab = std::find(facts.tabOrder.begin(), facts.tabOrder.end(), c->name());
        control.tabIndex = tab == facts.tabOrder.end() ? -1 : static_cast<int>(tab - facts.tabOrder.begin());
        if (std::string_view property = savedProperty(c->kind()); !property.empty()) {
            control.key = form.name() + "_" + c->name();
            control.value = c->property(property);
        }
        facts.controls.push_back(std::move(control));
    }
    return facts;
}

// Form_Main as it comes up, before any settings load.
inline const FormFacts& mainWindowFacts() {
    static const FormFacts facts = [] {
        FakePlatform fake;
        platform::Platform system = fake.platform();
        ErrorReporter reporter{platform::reportBox(fake.boxes, TIVORA_TITLE)};
        INI_Functions ini{system, reporter};
        Form_Main form{system, reporter, ini};
        return formFacts(form);
    }();
    return facts;
}

}  // namespace tivora::fakes
