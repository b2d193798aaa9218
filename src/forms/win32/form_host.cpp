// Makes a form's window and its controls' windows from the model, ends them, runs the message loop.
// Beside it form_placement.cpp places and scales, form_mirror.cpp writes model changes in,
// form_input.cpp reads input, picture_surface.cpp pictures, form_host_internal.cpp shares helpers.
#include "forms/win32/form_host.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "forms/win32/accessible_name.h"
#include "forms/win32/form_host_internal.h"
#include "platform/win32/screen.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

using namespace detail;

namespace {

constexpr int firstControlId = 100;

}  // namespace

FormHost::FormHost(forms::Form& form, HINSTANCE instance, Style style)
    : form_(form), instance_(instance), style_(style), accessibleProperties_(&systemAccessibleProperties()) {}

FormHost::~FormHost() {
    if (hwnd_ && IsWindow(hwnd_)) {
        DestroyWindow(hwnd_);
    }
    form_.setView(nullptr);
    for (auto& child : children_) {
        child.control->setView(nullptr);
    }
    freeFonts();
    for (auto& child : children_) {
        freeSurface(child);
    }
    for (auto& [color, brush] : brushes_) {
        DeleteObject(brush);
    }
    for (HICON icon : {bigIcon_, smallIcon_, notifyAreaIcon_}) {
        if (icon) {
            DestroyIcon(icon);
        }
    }
}

void FormHost::create() {
    registerClasses(instance_);
    dpi_ = systemDpi();
    RECT frame = initialFrame();
    hwnd_ = CreateWindowExW(0, formClass, widen(form_.caption()).c_str(), windowStyle(), frame.left,
                            frame.top, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            instance_, nullptr);
    if (!hwnd_) {
        return;
    }
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormHost::windowProc));
    liveHosts().push_back(this);
    adoptWindowDpi();

    // Tab follows the model's order (moveFocus), so the z-order keeps input fields above the wide
    // option and check buttons beside them; option buttons stay together for the arrow keys; a
    // label naming an input comes just before it, where screen readers look for an edit's name.
    const auto& all = form_.controls();
    std::vector<forms::Control*> order;
    std::vector<forms::Control*> namingLabels;
    for (forms::Control* c : form_.tabOrder()) {
        if (c->kind() == forms::Control::Kind::TextBox || c->kind() == forms::Control::Kind::ComboBox) {
            for (forms::Control* l : all) {
                if (auto* label = l->as<forms::Label>(); label && label->labelFor == c) {
                    order.push_back(l);
                    namingLabels.push_back(l);
                }
            }
            order.push_back(c);
        }
    }
    for (forms::Control* c : form_.tabOrder()) {
        if (std::find(order.begin(), order.end(), c) == order.end()) {
            order.push_back(c);
        }
    }
    for (forms::Control* c : all) {
        if (std::find(order.begin(), order.end(), c) == order.end()) {
            order.push_back(c);
        }
    }
    bool previousWasOption = false;
    for (forms::Control* c : order) {
        int id = firstControlId + static_cast<int>(std::find(all.begin(), all.end(), c) - all.begin());
        bool isOption = c->kind() == forms::Control::Kind::OptionButton;
        createChild(*c, id, !isOption || !previousWasOption);
        previousWasOption = isOption;
        if (std::find(namingLabels.begin(), namingLabels.end(), c) != namingLabels.end()) {
            children_.back().namingLabel = true;
        }
    }
    layout(false);  // made where they belong: only their fonts
    form_.setView(this);
    reportPosition();
}

void FormHost::createChild(forms::Control& control, int id, bool groupStart) {
    Child child;
    child.control = &control;
    child.id = id;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (control.visible() ? WS_VISIBLE : 0) |
                  (control.enabled() ? 0 : WS_DISABLED) | (groupStart ? WS_GROUP : 0);
    DWORD exStyle = 0;
    const wchar_t* windowClass = nullptr;
    std::wstring text;
    int extraHeight = 0;

    switch (control.kind()) {
        case forms::Control::Kind::CommandButton: {
            auto& button = static_cast<forms::CommandButton&>(control);
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
            text = widen(button.caption());
            break;
        }
        case forms::Control::Kind::TextBox: {
            auto& box = static_cast<forms::TextBox&>(control);
            windowClass = L"EDIT";
            exStyle = WS_EX_CLIENTEDGE;
            style |= WS_TABSTOP;
            style |= box.multiLine ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN : ES_AUTOHSCROLL;
            style |= box.verticalScrollBar ? WS_VSCROLL : 0;
            style |= box.locked ? ES_READONLY : 0;
            text = widen(box.text());
            break;
        }
        case forms::Control::Kind::ComboBox: {
            auto& combo = static_cast<forms::ComboBox&>(control);
            windowClass = L"COMBOBOX";
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
            extraHeight = 10 * static_cast<int>(combo.list().size()) + 100;  // room for the drop-down list
            text = widen(combo.text());
            break;
        }
        case forms::Control::Kind::OptionButton: {
            auto& option = static_cast<forms::OptionButton&>(control);
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | BS_AUTORADIOBUTTON | BS_MULTILINE;
            text = widen(option.caption());
            break;
        }
        case forms::Control::Kind::CheckBox: {
            auto& check = static_cast<forms::CheckBox&>(control);
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | BS_3STATE | BS_MULTILINE;
            text = widen(check.caption());
            break;
        }
        case forms::Control::Kind::Label: {
            auto& label = static_cast<forms::Label&>(control);
            windowClass = L"STATIC";
            style |= SS_LEFT;
            text = widen(label.caption());
            // A blinking square would have the system show and hide a window, and repaint what lies
            // under it, twice a second; painting its two states costs a fraction of that.
            child.swatch = label.caption().empty() && label.backColor.has_value();
            style |= child.swatch ? WS_VISIBLE : 0;
            break;
        }
        case forms::Control::Kind::PictureBox:
            windowClass = L"STATIC";
            style |= SS_LEFT;
            break;
        case forms::Control::Kind::Timer:
        case forms::Control::Kind::Menu:
            break;  // no window of their own
    }

    if (windowClass) {
        RECT place = childPlace(control);
        child.hwnd = CreateWindowExW(exStyle, windowClass, text.c_str(), style, place.left, place.top,
                                     place.right - place.left, place.bottom - place.top + extraHeight, hwnd_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    }
    children_.push_back(child);
    Child& made = children_.back();
    control.setView(this);

    auto* box = control.as<forms::TextBox>();
    auto* combo = control.as<forms::ComboBox>();
    if (box && made.hwnd) {
        if (box->maxLength() > 0) {
            SendMessageW(made.hwnd, EM_LIMITTEXT, static_cast<WPARAM>(box->maxLength()), 0);
        }
        SetWindowSubclass(made.hwnd, &FormHost::inputProc, 1, reinterpret_cast<DWORD_PTR>(this));
    } else if (combo && made.hwnd) {
        SetWindowSubclass(made.hwnd, &FormHost::inputProc, 1, reinterpret_cast<DWORD_PTR>(this));
        // The keyboard's focus lands in the editable box's inner edit, which a screen reader asks
        // for a name: it answers with the box's own.
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        if (GetComboBoxInfo(made.hwnd, &parts) && parts.hwndItem) {
            made.innerEdit = parts.hwndItem;
            SetWindowSubclass(made.innerEdit, &FormHost::inputProc, 1, reinterpret_cast<DWORD_PTR>(this));
        }
        for (const auto& item : combo->list()) {
            SendMessageW(made.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
        }
        if (combo->listIndex() >= 0) {
            SendMessageW(made.hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo->listIndex()), 0);
        }
        made.writing = true;
        SetWindowTextW(made.hwnd, text.c_str());
        made.writing = false;
    } else if (control.kind() == forms::Control::Kind::OptionButton ||
               control.kind() == forms::Control::Kind::CheckBox) {
        writeCheck(made);
    } else if (auto* timer = control.as<forms::Timer>()) {
        updateTimer(*timer);
    }
}

FormHost::Child* FormHost::find(const forms::Control& control) {
    for (auto& child : children_) {
        if (child.control == &control) {
            return &child;
        }
    }
    return nullptr;
}

FormHost::Child* FormHost::findById(int id) {
    for (auto& child : children_) {
        if (child.id == id) {
            return &child;
        }
    }
    return nullptr;
}

FormHost::Child* FormHost::findByWindow(HWND hwnd) {
    for (auto& child : children_) {
        if (child.hwnd == hwnd) {
            return &child;
        }
    }
    return nullptr;
}

HWND FormHost::controlWindow(const forms::Control& control) const {
    for (const auto& child : children_) {
        if (child.control == &control) {
            return child.hwnd;
        }
    }
    return nullptr;
}

void FormHost::destroy() {
    if (hwnd_ && IsWindow(hwnd_) && !destroying_) {
        destroying_ = true;
        DestroyWindow(hwnd_);
    }
}

int FormHost::liveWindows() { return static_cast<int>(liveHosts().size()); }

int runMessageLoop() {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (FormHost::preTranslate(msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace tivora::win32
