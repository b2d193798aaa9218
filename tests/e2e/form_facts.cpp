// Prints the main window as its declaration and layout make it (tests/fakes/form_facts.h) as one
// line of JSON, for the end-to-end tests to compare the real window with; pure ASCII, every other
// character as \uXXXX.
#include <cstdio>
#include <string>

#include "base/text.h"
#include "fakes/form_facts.h"

namespace {

using tivora::forms::Control;

std::string quoted(const std::string& text) {
    std::string json = "\"";
    for (char16_t unit : tivora::utf8ToUtf16(text)) {
        if (unit == u'"' || unit == u'\\') {
            json += '\\';
            json += static_cast<char>(unit);
        } else if (unit >= 0x20 && unit < 0x7F) {
            json += static_cast<char>(unit);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
            json += escape;
        }
    }
    return json + "\"";
}

const char* kindName(Control::Kind kind) {
    switch (kind) {
        case Control::Kind::CommandButton:
            return "CommandButton";
        case Control::Kind::TextBox:
            return "TextBox";
        case Control::Kind::ComboBox:
            return "ComboBox";
        case Control::Kind::OptionButton:
            return "OptionButton";
        case Control::Kind::CheckBox:
            return "CheckBox";
        case Control::Kind::Label:
            return "Label";
        case Control::Kind::PictureBox:
            return "PictureBox";
        case Control::Kind::Timer:
            return "Timer";
        case Control::Kind::Menu:
            return "Menu";
    }
    return "?";
}

}  // namespace

int main() {
    const tivora::fakes::FormFacts& form = tivora::fakes::mainWindowFacts();
    std::string json = "{\"name\":" + quoted(form.name) + ",\"client\":[" + std::to_string(form.clientWidth) +
                       "," + std::to_string(form.clientHeight) + "],\"controls\":[";
    for (const auto& c : form.controls) {
        json += &c == &form.controls.front() ? "{" : ",{";
        json += "\"name\":" + quoted(c.name) + ",\"kind\":\"" + kindName(c.kind) +
                "\",\"text\":" + quoted(c.text);
        json += ",\"rect\":[" + std::to_string(c.rect.left) + "," + std::to_string(c.rect.top) + "," +
                std::to_string(c.rect.width) + "," + std::to_string(c.rect.height) + "]";
        json += std::string(",\"enabled\":") + (c.enabled ? "true" : "false") +
                ",\"visible\":" + (c.visible ? "true" : "false") + ",\"tab\":" + std::to_string(c.tabIndex);
        json += ",\"key\":" + (c.key.empty() ? "null" : quoted(c.key));
        json += ",\"value\":" + (c.key.empty() ? "null" : quoted(c.value)) + "}";
    }
    json += "],\"tab_order\":[";
    for (const auto& name : form.tabOrder) {
        json += (&name == &form.tabOrder.front() ? "" : ",") + quoted(name);
    }
    json += "]}\n";
    std::fputs(json.c_str(), stdout);
    return 0;
}
