// A stand-in for a realised window in unit tests: it has a handle and an icon, records what the
// model asks of it, and chooses popup-menu entries as the test says.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/controls.h"
#include "forms/form.h"

namespace tivora::fakes {

class FakeFormView : public forms::FormView {
public:
    static constexpr std::uintptr_t handle = 0x30030;
    static constexpr std::uintptr_t icon = 0x40040;

    std::vector<std::string> popups;                   // "entry,entry,*default" per menu shown
    std::function<forms::Menu*(forms::Menu&)> choose;  // the user's pick; none: the menu is dismissed
    bool destroyed = false;
    std::vector<forms::FormChange> changes;  // what the model asked of the window, in order

    void formChanged(forms::Form&, forms::FormChange what) override { changes.push_back(what); }
    std::uintptr_t windowHandle() const override { return destroyed ? 0 : handle; }
    std::uintptr_t iconHandle() const override { return icon; }
    void destroy() override { destroyed = true; }
    bool dismissedByEscape = true;  // a menu closed without a choice: Esc alone, else otherwise
    forms::Menu* popupMenu(forms::Menu& menu, int flags, const float*, const float*,
                           forms::Menu* defaultEntry, bool& byEscape) override {
        byEscape = !choose && dismissedByEscape;
        std::string shown = "flags " + std::to_string(flags) + ":";
        for (auto* entry : menu.entries()) {
            shown += " " + std::string(entry == defaultEntry ? "*" : "") + entry->caption();
        }
        popups.push_back(shown);
        return choose ? choose(menu) : nullptr;
    }
};

}  // namespace tivora::fakes
