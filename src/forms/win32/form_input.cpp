// What the user does, turned into model events: clicks, typing, picks, timer ticks, the tray's
// mouse messages, activation, close requests, the end of the Windows session, the machine waking
// and the clock being set; and keyboard navigation in the model's tab order.
#include "forms/win32/form_host.h"

#include <commctrl.h>

#include <algorithm>

#include "forms/win32/accessible_name.h"
#include "forms/win32/form_host_internal.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

using namespace detail;
using Kind = forms::Control::Kind;

namespace {

// Sent before WM_DPICHANGED from Windows 10 1703 on; the headers name it for that version only.
constexpr UINT getDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

// What a screen reader is told of an input, or of the inner edit of a combo box (not own).
AccessibleFacts accessibleFacts(const forms::Control& control, bool own) {
    AccessibleFacts facts;
    facts.name = widen(control.accessibleName);
    const auto* box = control.as<forms::TextBox>();
    facts.readOnly = box && box->locked;
    facts.comboBox = own && control.kind() == Kind::ComboBox;
    return facts;
}

void reportSelection(HWND edit, const std::wstring& text, forms::TextBox& box) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    int selStart = characterOffset(text, static_cast<int>(start));
    box.selectionMoved(selStart, characterOffset(text, static_cast<int>(end)) - selStart);
}

}  // namespace

void FormHost::reportSelections() {
    for (auto& child : children_) {
        if (auto* box = child.control->as<forms::TextBox>(); box && child.hwnd) {
            reportSelection(child.hwnd, windowText(child.hwnd), *box);
        }
    }
}

void FormHost::onCommand(int id, int code) {
    Child* child = findById(id);
    if (!child || !child->hwnd) {
        return;
    }
    HWND control = child->hwnd;
    forms::Control& model = *child->control;
    if (auto* button = model.as<forms::CommandButton>(); button && code == BN_CLICKED) {
        reportSelections();  // a button's handler may act on the text selected
        button->click();
    } else if (auto* check = model.as<forms::CheckBox>(); check && code == BN_CLICKED) {
        check->click();
        if (IsWindow(control)) {
            writeCheck(*child);
        }
    } else if (auto* option = model.as<forms::OptionButton>(); option && code == BN_CLICKED) {
        // Radio buttons also report BN_CLICKED when the focus reaches them: read the state.
        if (SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            option->setValue(true);
        }
        for (auto& other : children_) {
            if (other.hwnd && IsWindow(other.hwnd) && other.control->kind() == Kind::OptionButton) {
                writeCheck(other);
            }
        }
    } else if (auto* box = model.as<forms::TextBox>(); box && code == EN_CHANGE && !child->writing) {
        std::wstring text = windowText(control);
        reportSelection(control, text, *box);
        box->setText(narrow(text));
    } else if (auto* combo = model.as<forms::ComboBox>()) {
        if (code == CBN_EDITCHANGE && !child->writing) {
            combo->setText(narrow(windowText(control)));
        } else if (code == CBN_SELCHANGE) {
            int index = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
            if (index >= 0) {
                child->writing = true;  // the box writes the picked entry into its edit part itself
                combo->setListIndex(index);
                if (IsWindow(control)) {
                    child->writing = false;
                }
            }
        }
    }
}

LRESULT CALLBACK FormHost::inputProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) {
    auto* host = reinterpret_cast<FormHost*>(data);
    Child* child = host->findByWindow(hwnd);
    if (auto* box = child ? child->control->as<forms::TextBox>() : nullptr; box && message == WM_LBUTTONUP) {
        // A click into a text box: the box places the caret first, then the program hears of it.
        LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        try {
            box->click();
        } catch (...) {
        }
        return result;
    }
    // The inner edit of an editable combo box speaks for the box.
    Child* outer = child ? nullptr : host->findByWindow(GetParent(hwnd));
    if (message == WM_GETOBJECT && (child || outer)) {
        // A screen reader asks what this input is: its own name where it has no label, and a
        // locked box is read-only to it as it is to the keyboard. Named through the system's
        // property service, the system's own object answers; else the wrapper does.
        try {
            host->annotateInputs();
            AccessibleFacts facts = accessibleFacts(*(child ? child : outer)->control, child != nullptr);
            const auto& annotated = host->annotated_;
            if (std::find(annotated.begin(), annotated.end(), hwnd) == annotated.end() &&
                (!facts.name.empty() || facts.readOnly)) {
                if (auto answer = namedAccessibleObject(hwnd, wParam, lParam, facts)) {
                    return *answer;
                }
            }
        } catch (...) {
            // Out of memory for the answer: the system's own object answers, unnamed.
        }
    }
    if (message == WM_NCDESTROY) {
        auto& annotated = host->annotated_;
        if (auto at = std::find(annotated.begin(), annotated.end(), hwnd); at != annotated.end()) {
            host->accessibleProperties_->clear(hwnd);
            annotated.erase(at);
        }
        RemoveWindowSubclass(hwnd, &FormHost::inputProc, 1);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void FormHost::annotateInputs() {
    if (annotationTried_) {
        return;
    }
    annotationTried_ = true;
    for (const Child& child : children_) {
        if (!child.hwnd || child.control->accessibleName.empty()) {
            continue;
        }
        for (HWND window : {child.hwnd, child.innerEdit}) {
            if (!window) {
                continue;
            }
            if (!accessibleProperties_->annotate(window,
                                                 accessibleFacts(*child.control, window == child.hwnd))) {
                return;  // the service is missing or refuses: the wrapper names the rest
            }
            annotated_.push_back(window);
        }
    }
}

LRESULT CALLBACK FormHost::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<FormHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!host) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // The program's handlers trap their own failures; this is the last net: nothing thrown
    // may cross user32.
    try {
        return host->handle(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT FormHost::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    switch (message) {
        case WM_COMMAND:
            if (lParam != 0) {
                onCommand(LOWORD(wParam), HIWORD(wParam));
            }
            return 0;
        case WM_TIMER: {
            Child* child = findById(static_cast<int>(wParam));
            if (auto* timer = child ? child->control->as<forms::Timer>() : nullptr) {
                timer->tick();
            }
            return 0;
        }
        case WM_MOUSEMOVE: {
            int x = static_cast<short>(LOWORD(lParam));
            int y = static_cast<short>(HIWORD(lParam));
            int button = ((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) |
                         ((wParam & MK_MBUTTON) ? 4 : 0);
            int shift = ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) |
                        (GetKeyState(VK_MENU) < 0 ? 4 : 0);
            form_.mouseMoved(button, shift, x, y);
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd, focus)) {
                    lastFocus_ = focus;
                }
            } else {
                if (!HIWORD(wParam)) {
                    if (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) &&
                        IsWindowVisible(lastFocus_)) {
                        SetFocus(lastFocus_);
                    } else {
                        focusFirstControl();
                    }
                }
                form_.activated();
            }
            return 0;
        case WM_CLOSE:
            form_.requestClose(forms::UnloadMode::ControlMenu);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;  // never stand in the way of a shutdown or log-off
        case WM_ENDSESSION:
            // The process is ended right after this returns: what must be saved is saved here.
            if (wParam) {
                form_.sessionEnding();
            }
            return 0;
        case WM_MOVE:
            reportPosition();
            break;
        case WM_SIZE:
            form_.windowStateChanged(wParam == SIZE_MINIMIZED   ? forms::WindowState::Minimized
                                     : wParam == SIZE_MAXIMIZED ? forms::WindowState::Maximized
                                                                : forms::WindowState::Normal);
            break;
        case WM_TIMECHANGE:
            form_.timeChanged();
            return 0;
        case WM_POWERBROADCAST:
            // Sent to every top-level window, hidden ones too. A resume the user caused comes
            // after the automatic one: the model hears both.
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
                form_.systemResumed();
            }
            return TRUE;
        case WM_DISPLAYCHANGE:
            makeNotifyAreaIcon();
            break;
        case WM_SETTINGCHANGE:
            makeNotifyAreaIcon();  // a new scale, or new icon metrics
            if (lParam && lstrcmpW(reinterpret_cast<const wchar_t*>(lParam), L"intl") == 0) {
                form_.regionalSettingsChanged();
            }
            if (wParam == SPI_SETHIGHCONTRAST) {
                // The indicator follows the theme.
                RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            }
            break;
        case WM_SYSCOLORCHANGE:
            RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            break;
        case firstShowMessage:
            firstShowPending_ = false;
            firstShowDone_ = true;
            if (form_.visible()) {
                showNow();
            }
            return 0;
        case WM_CTLCOLORSTATIC:
            if (HBRUSH brush =
                    controlBackground(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
                return reinterpret_cast<LRESULT>(brush);
            }
            break;
        case WM_DPICHANGED:
            dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case getDpiScaledSize:  // Windows moves the window by this size, as WM_DPICHANGED sets it
            *reinterpret_cast<SIZE*>(lParam) = frameSize(static_cast<int>(wParam));
            return TRUE;
        case WM_DESTROY:
            for (auto& child : children_) {
                if (child.control->kind() == Kind::Timer) {
                    KillTimer(hwnd, static_cast<UINT_PTR>(child.id));
                }
            }
            break;
        case WM_NCDESTROY: {
            auto& hosts = liveHosts();
            hosts.erase(std::remove(hosts.begin(), hosts.end(), this), hosts.end());
            for (auto& child : children_) {
                child.hwnd = nullptr;
            }
            hwnd_ = nullptr;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            if (hosts.empty()) {
                PostQuitMessage(0);
            }
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool FormHost::preTranslate(MSG& msg) {
    if (!msg.hwnd) {
        return false;
    }
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    for (FormHost* host : liveHosts()) {
        if (host->hwnd_ != root) {
            continue;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 &&
            GetKeyState(VK_MENU) >= 0) {
            host->moveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
            return true;
        }
        if ((msg.message == WM_CHAR || msg.message == WM_KEYUP) && msg.wParam == VK_TAB) {
            return true;
        }
        return IsDialogMessageW(root, &msg) != FALSE;
    }
    return false;
}

void FormHost::moveFocus(int direction) {
    const auto& order = form_.tabOrder();
    int count = static_cast<int>(order.size());
    if (count == 0) {
        return;
    }
    HWND focus = GetFocus();
    int current = -1;
    for (int i = 0; i < count && current < 0; ++i) {
        HWND control = controlWindow(*order[static_cast<size_t>(i)]);
        if (control && focus && (control == focus || IsChild(control, focus))) {
            current = i;
        }
    }
    for (int step = 1; step <= count; ++step) {
        int i = current < 0 ? (direction > 0 ? step - 1 : count - step)
                            : ((current + direction * step) % count + count) % count;
        HWND control = controlWindow(*order[static_cast<size_t>(i)]);
        if (control && IsWindowVisible(control) && IsWindowEnabled(control)) {
            SetFocus(control);
            // Tabbing into a field selects its text, as in any dialog.
            Kind kind = order[static_cast<size_t>(i)]->kind();
            if (kind == Kind::TextBox) {
                SendMessageW(control, EM_SETSEL, 0, -1);
            } else if (kind == Kind::ComboBox) {
                SendMessageW(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
            }
            return;
        }
    }
}

}  // namespace tivora::win32
