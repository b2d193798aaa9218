// Model changes written into the windows: compared first, and with the control's guard up while
// we write, so that the notification it raises is known as our own echo; also popup menus, the
// first showing, and the controls' colours (a high-contrast theme's own where ours would be lost).
#include "forms/win32/form_host.h"

#include <cmath>
#include <optional>

#include "forms/win32/form_host_internal.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

using namespace detail;
using Kind = forms::Control::Kind;

void FormHost::writeText(Child& child, const std::string& text) {
    std::wstring wide = widen(text);
    if (windowText(child.hwnd) == wide) {
        return;
    }
    child.writing = true;
    SetWindowTextW(child.hwnd, wide.c_str());
    child.writing = false;
    // A text replaced while the user types in the box leaves the caret at its end.
    HWND focus = GetFocus();
    int end = static_cast<int>(wide.size());
    if (focus == child.hwnd && child.control->kind() == Kind::TextBox) {
        SendMessageW(child.hwnd, EM_SETSEL, static_cast<WPARAM>(end), end);
    } else if (focus && GetParent(focus) == child.hwnd && child.control->kind() == Kind::ComboBox) {
        SendMessageW(child.hwnd, CB_SETEDITSEL, 0, MAKELPARAM(end, end));
    }
}

void FormHost::writeCheck(Child& child) {
    WPARAM state = BST_UNCHECKED;
    if (auto* option = child.control->as<forms::OptionButton>()) {
        state = option->value() ? BST_CHECKED : BST_UNCHECKED;
    } else if (auto* check = child.control->as<forms::CheckBox>()) {
        int value = check->value();
        state = value == 1 ? BST_CHECKED : value == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
    }
    if (static_cast<WPARAM>(SendMessageW(child.hwnd, BM_GETCHECK, 0, 0)) != state) {
        SendMessageW(child.hwnd, BM_SETCHECK, state, 0);
    }
}

void FormHost::updateTimer(forms::Timer& timer) {
    Child* child = find(timer);
    if (!child || !hwnd_) {
        return;
    }
    if (timer.enabled() && timer.interval() > 0) {
        SetTimer(hwnd_, static_cast<UINT_PTR>(child->id), static_cast<UINT>(timer.interval()), nullptr);
    } else {
        KillTimer(hwnd_, static_cast<UINT_PTR>(child->id));
    }
}

void FormHost::focusFirstControl() {
    for (forms::Control* c : form_.tabOrder()) {
        Child* child = find(*c);
        if (child && child->hwnd && IsWindowVisible(child->hwnd) && IsWindowEnabled(child->hwnd)) {
            SetFocus(child->hwnd);
            return;
        }
    }
}

void FormHost::formChanged(forms::Form&, forms::FormChange what) {
    if (!hwnd_ || !IsWindow(hwnd_)) {
        return;
    }
    switch (what) {
        case forms::FormChange::Caption:
            SetWindowTextW(hwnd_, widen(form_.caption()).c_str());
            break;
        case forms::FormChange::Visible:
            if (!form_.visible()) {
                ShowWindow(hwnd_, SW_HIDE);
            } else if (firstShowDone_) {
                showNow();
            } else if (!firstShowPending_) {
                // The first showing waits for the message loop: start-up may hide the window again
                // at once (started hidden in the tray), and then it never appears nor takes the
                // foreground from the program the user is working in.
                firstShowPending_ = true;
                PostMessageW(hwnd_, firstShowMessage, 0, 0);
            }
            break;
        case forms::FormChange::WindowState:
            if (IsWindowVisible(hwnd_)) {
                switch (form_.windowState()) {
                    case forms::WindowState::Normal:
                        if (IsIconic(hwnd_) || IsZoomed(hwnd_)) {
                            ShowWindow(hwnd_, SW_RESTORE);
                            keepReachable();
                        }
                        break;
                    case forms::WindowState::Minimized:
                        ShowWindow(hwnd_, SW_MINIMIZE);
                        break;
                    case forms::WindowState::Maximized:
                        ShowWindow(hwnd_, SW_MAXIMIZE);
                        break;
                }
            }
            break;
        case forms::FormChange::Enabled:
            EnableWindow(hwnd_, form_.enabled());
            break;
        case forms::FormChange::Position:
            applyPosition();
            break;
        case forms::FormChange::Focus:
            SetForegroundWindow(hwnd_);
            SetActiveWindow(hwnd_);
            if (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) &&
                IsWindowVisible(lastFocus_)) {
                SetFocus(lastFocus_);
            } else {
                focusFirstControl();
            }
            break;
        case forms::FormChange::ScaleMode:
            break;
    }
}

void FormHost::controlChanged(forms::Control& control, forms::Change what) {
    Child* child = find(control);
    if (!child) {
        return;
    }
    if (auto* timer = control.as<forms::Timer>()) {
        updateTimer(*timer);
        return;
    }
    if (control.kind() == Kind::PictureBox && child->surface) {
        if (what == forms::Change::Size) {
            makeSurface(*child);
        } else if (what == forms::Change::Clear) {
            clearSurface(*child);
        }
    }
    if (!child->hwnd || !IsWindow(child->hwnd)) {
        return;
    }
    // A hidden window's controls coming and going, and their repainting, wait until the window
    // is shown (showNow brings them up to date): the indicator blinking while the program sits
    // in the tray then costs the window system nothing.
    if (!form_.visible() && (what == forms::Change::Visible || what == forms::Change::Repaint)) {
        return;
    }
    if (child->swatch) {
        if (what == forms::Change::Visible || what == forms::Change::Repaint) {
            paintSwatch(*child);
            return;
        }
        if (what == forms::Change::Caption && !static_cast<forms::Label&>(control).caption().empty()) {
            child->swatch = false;  // a label with text from now on: shown and hidden as the others
            ShowWindow(child->hwnd, control.visible() ? SW_SHOWNA : SW_HIDE);
        }
    }
    switch (what) {
        case forms::Change::Text:
            if (auto* box = control.as<forms::TextBox>()) {
                writeText(*child, box->text());
            } else if (auto* combo = control.as<forms::ComboBox>()) {
                writeText(*child, combo->text());
            }
            break;
        case forms::Change::Caption:
            if (auto* button = control.as<forms::CommandButton>()) {
                writeText(*child, button->caption());
            } else if (auto* label = control.as<forms::Label>()) {
                writeText(*child, label->caption());
            }
            break;
        case forms::Change::Value:
            writeCheck(*child);
            break;
        case forms::Change::Enabled:
            EnableWindow(child->hwnd, control.enabled());
            break;
        case forms::Change::Visible:
            ShowWindow(child->hwnd, control.visible() ? SW_SHOWNA : SW_HIDE);
            break;
        case forms::Change::Selection:
            if (auto* box = control.as<forms::TextBox>()) {
                int start = utf16Offset(box->text(), box->selStart());
                int end = utf16Offset(box->text(), box->selStart() + box->selLength());
                SendMessageW(child->hwnd, EM_SETSEL, static_cast<WPARAM>(start), end);
            } else if (auto* combo = control.as<forms::ComboBox>()) {
                SendMessageW(child->hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo->listIndex()), 0);
            }
            break;
        case forms::Change::Focus:
            SetFocus(child->hwnd);
            break;
        case forms::Change::Repaint:
            RedrawWindow(child->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            break;
        case forms::Change::List:
        case forms::Change::Interval:
        case forms::Change::Restart:
        case forms::Change::Size:
        case forms::Change::Clear:
            break;
    }
}

namespace {

// Whether the last input in the open menu was Esc with no other key held (Ctrl+Esc opens the
// Start menu, Alt+Esc switches windows): the menu's own loop shows each message to the thread's
// message filter before it acts on it, with the key state as of that message.
bool lastMenuInputWasEscape = false;

bool held(int key) { return (GetKeyState(key) & 0x8000) != 0; }

LRESULT CALLBACK menuInputFilter(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_MENU) {
        const MSG* message = reinterpret_cast<const MSG*>(lParam);
        if (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) {
            lastMenuInputWasEscape = message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE &&
                                     !held(VK_CONTROL) && !held(VK_MENU) && !held(VK_SHIFT) &&
                                     !held(VK_LWIN) && !held(VK_RWIN);
        } else if ((message->message >= WM_LBUTTONDOWN && message->message <= WM_MBUTTONDBLCLK) ||
                   (message->message >= WM_NCLBUTTONDOWN && message->message <= WM_NCMBUTTONDBLCLK)) {
            lastMenuInputWasEscape = false;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

forms::Menu* FormHost::popupMenu(forms::Menu& menu, int flags, const float* x, const float* y,
                                 forms::Menu* defaultEntry, bool& byEscape) {
    byEscape = false;
    if (!hwnd_) {
        return nullptr;
    }
    HMENU popup = CreatePopupMenu();
    std::vector<forms::Menu*> items;
    for (forms::Menu* entry : menu.entries()) {
        if (!entry->visible()) {
            continue;
        }
        items.push_back(entry);
        UINT id = static_cast<UINT>(items.size());
        AppendMenuW(popup, MF_STRING | (entry->enabled() ? 0u : MF_GRAYED), id,
                    widen(entry->caption()).c_str());
        if (entry == defaultEntry) {
            SetMenuDefaultItem(popup, id, FALSE);
        }
    }
    POINT at{};
    if (x && y) {
        double scale = form_.scaleMode() == forms::ScaleMode::Twips ? form_.twipsPerPixelX : 1.0;
        at = {static_cast<LONG>(std::lround(*x / scale)), static_cast<LONG>(std::lround(*y / scale))};
        ClientToScreen(hwnd_, &at);
    } else {
        GetCursorPos(&at);
    }
    // The chosen entry comes back as the result, so that its handler runs before we return.
    lastMenuInputWasEscape = false;
    HHOOK filter = SetWindowsHookExW(WH_MSGFILTER, menuInputFilter, nullptr, GetCurrentThreadId());
    UINT chosen = static_cast<UINT>(
        TrackPopupMenuEx(popup, (static_cast<UINT>(flags) & 0xFFFFu) | TPM_RETURNCMD | TPM_NONOTIFY, at.x,
                         at.y, hwnd_, nullptr));
    if (filter) {
        UnhookWindowsHookEx(filter);
    }
    byEscape = lastMenuInputWasEscape;
    DestroyMenu(popup);
    return chosen >= 1 && chosen <= items.size() ? items[chosen - 1] : nullptr;
}

void FormHost::showNow() {
    // What changed while the window was hidden (see controlChanged).
    for (auto& child : children_) {
        if (child.hwnd && !child.swatch &&
            ((GetWindowLongW(child.hwnd, GWL_STYLE) & WS_VISIBLE) != 0) != child.control->visible()) {
            ShowWindow(child.hwnd, child.control->visible() ? SW_SHOWNA : SW_HIDE);
        }
    }
    if (IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
        keepReachable();
    } else {
        keepReachable();  // before it shows: a window put out of reach never flashes there
        ShowWindow(hwnd_, SW_SHOW);
    }
    SetForegroundWindow(hwnd_);
}

bool detail::systemHighContrast() {
    HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

bool (*detail::highContrast)() = &detail::systemHighContrast;

HBRUSH FormHost::controlBackground(HWND control, HDC dc) {
    for (auto& child : children_) {
        if (child.hwnd != control) {
            continue;
        }
        if (child.swatch && !child.control->visible()) {
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return GetSysColorBrush(COLOR_BTNFACE);  // the window's own background
        }
        std::optional<forms::Color> color;
        if (auto* label = child.control->as<forms::Label>()) {
            color = label->backColor;
        } else if (auto* picture = child.control->as<forms::PictureBox>()) {
            color = picture->backColor;
        }
        if (!color) {
            return nullptr;
        }
        COLORREF rgb = toColorref(*color);
        if (child.swatch && highContrast()) {
            // A colour of our own (the indicator's dark blue) is all but lost on a high-contrast
            // theme's background; the theme's own highlight stands out on each of them.
            rgb = GetSysColor(COLOR_HIGHLIGHT);
        }
        SetBkColor(dc, rgb);
        for (auto& [known, made] : brushes_) {
            if (known == rgb) {
                return made;
            }
        }
        HBRUSH brush = CreateSolidBrush(rgb);
        brushes_.emplace_back(rgb, brush);
        return brush;
    }
    return nullptr;
}

void FormHost::paintSwatch(Child& child) {
    // Drawn straight into the window, clipped by the controls above it as its own painting is;
    // whenever the system asks it to paint, it paints the same (controlBackground).
    HDC dc = GetDCEx(child.hwnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (!dc) {
        return;
    }
    RECT all{};
    GetClientRect(child.hwnd, &all);
    if (HBRUSH brush = controlBackground(child.hwnd, dc)) {
        FillRect(dc, &all, brush);
    }
    ReleaseDC(child.hwnd, dc);
}

}  // namespace tivora::win32
