// The window layer on Windows. The model holds the state; this file only translates between it
// and the HWNDs: it writes model changes into the controls (comparing first, and with a guard
// up so that the control's own change notification is recognised as our echo) and turns what
// the user does into model events.
#include "platform/win32/form_host.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace tivora::win32 {

namespace {

constexpr wchar_t formClass[] = L"TivoraForm";
constexpr wchar_t applicationClass[] = L"TivoraApplication";
constexpr int firstControlId = 100;

std::vector<FormHost*>& liveHosts() {
    static std::vector<FormHost*> hosts;
    return hosts;
}

std::wstring windowText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(std::max(n, 0)));
    return text;
}

UINT windowDpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    UINT dpi = getDpiForWindow && hwnd ? getDpiForWindow(hwnd) : 0;
    return dpi ? dpi : static_cast<UINT>(systemDpi());
}

COLORREF toColorref(forms::Color color) {
    if (color & 0x80000000u) {
        return GetSysColor(static_cast<int>(color & 0xFF));
    }
    return static_cast<COLORREF>(color & 0xFFFFFF);
}

// Character offsets of the model as UTF-16 offsets of the control, and back.
int utf16Offset(const std::string& text, int characters) {
    return static_cast<int>(utf8ToUtf16(tivora::characters(text, 0, static_cast<size_t>(characters))).size());
}

int characterOffset(const std::wstring& text, int utf16) {
    utf16 = std::clamp(utf16, 0, static_cast<int>(text.size()));
    return static_cast<int>(characterCount(narrow(std::wstring_view(text).substr(0, static_cast<size_t>(utf16)))));
}

void registerClasses(HINSTANCE instance) {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = formClass;
    RegisterClassExW(&wc);
    wc.lpszClassName = applicationClass;
    wc.hbrBackground = nullptr;
    RegisterClassExW(&wc);
    registered = true;
}

}  // namespace

FormHost::FormHost(forms::Form& form, HINSTANCE instance, Style style)
    : form_(form), instance_(instance), style_(style) {}

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
}

void FormHost::create() {
    registerClasses(instance_);
    dpi_ = systemDpi();
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (style_.minimizeBox) {
        style |= WS_MINIMIZEBOX;
    }
    RECT frame{0, 0, toPixels(form_.clientWidth()), toPixels(form_.clientHeight())};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int x = 0;
    int y = 0;
    if (form_.centreWhenFirstShown) {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        x = work.left + (work.right - work.left - width) / 2;
        y = work.top + (work.bottom - work.top - height) / 2;
    } else {
        x = static_cast<int>(std::lround(form_.left() / form_.twipsPerPixelX));
        y = static_cast<int>(std::lround(form_.top() / form_.twipsPerPixelY));
    }
    hwnd_ = CreateWindowExW(0, formClass, widen(form_.caption()).c_str(), style, x, y, width, height, nullptr,
                            nullptr, instance_, nullptr);
    if (!hwnd_) {
        return;
    }
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormHost::windowProc));
    liveHosts().push_back(this);
    if (style_.bigIcon) {
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(style_.bigIcon));
    }
    if (style_.smallIcon) {
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(style_.smallIcon));
    }

    UINT dpi = windowDpi(hwnd_);
    if (static_cast<int>(dpi) != dpi_) {
        dpi_ = static_cast<int>(dpi);
        frame = {0, 0, toPixels(form_.clientWidth()), toPixels(form_.clientHeight())};
        AdjustWindowRectEx(&frame, style, FALSE, 0);
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    makeFonts();

    // The Tab key follows the model's tab order (see moveFocus), so the z-order is free to keep
    // input fields above the option and check buttons, whose rectangles are often wider than
    // their captions and reach under a field beside them. Option buttons stay together, so that
    // the arrow keys move within their group.
    const auto& all = form_.controls();
    std::vector<forms::Control*> order;
    for (forms::Control* c : form_.tabOrder()) {
        if (c->kindName() == "TextBox" || c->kindName() == "ComboBox") {
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
        bool isOption = c->kindName() == "OptionButton";
        createChild(*c, id, !isOption || !previousWasOption);
        previousWasOption = isOption;
    }
    layout();
    form_.setView(this);
    reportPosition();
}

void FormHost::createChild(forms::Control& control, int id, bool groupStart) {
    Child child;
    child.control = &control;
    child.id = id;
    const std::string& kind = control.kindName();
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (control.visible() ? WS_VISIBLE : 0) | (control.enabled() ? 0 : WS_DISABLED) |
                  (groupStart ? WS_GROUP : 0);
    DWORD exStyle = 0;
    const wchar_t* windowClass = nullptr;
    std::wstring text;
    int extraHeight = 0;

    if (kind == "CommandButton") {
        auto& button = static_cast<forms::CommandButton&>(control);
        windowClass = L"BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
        text = widen(button.caption());
    } else if (kind == "TextBox") {
        auto& box = static_cast<forms::TextBox&>(control);
        windowClass = L"EDIT";
        exStyle = WS_EX_CLIENTEDGE;
        style |= WS_TABSTOP;
        style |= box.multiLine ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN : ES_AUTOHSCROLL;
        style |= box.verticalScrollBar ? WS_VSCROLL : 0;
        style |= box.locked ? ES_READONLY : 0;
        text = widen(box.text());
    } else if (kind == "ComboBox") {
        auto& combo = static_cast<forms::ComboBox&>(control);
        windowClass = L"COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
        extraHeight = 10 * static_cast<int>(combo.list().size()) + 100;  // room for the drop-down list
        text = widen(combo.text());
    } else if (kind == "OptionButton") {
        auto& option = static_cast<forms::OptionButton&>(control);
        windowClass = L"BUTTON";
        style |= WS_TABSTOP | BS_AUTORADIOBUTTON | BS_MULTILINE;
        text = widen(option.caption());
    } else if (kind == "CheckBox") {
        auto& check = static_cast<forms::CheckBox&>(control);
        windowClass = L"BUTTON";
        style |= WS_TABSTOP | BS_3STATE | BS_MULTILINE;
        text = widen(check.caption());
    } else if (kind == "Label") {
        windowClass = L"STATIC";
        style |= SS_LEFT;
        text = widen(static_cast<forms::Label&>(control).caption());
    } else if (kind == "PictureBox") {
        windowClass = L"STATIC";
        style |= SS_LEFT;
    }

    if (windowClass) {
        const forms::Rect& r = control.rect();
        child.hwnd = CreateWindowExW(exStyle, windowClass, text.c_str(), style, toPixels(r.left), toPixels(r.top),
                                     toPixels(r.width), toPixels(r.height) + extraHeight, hwnd_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    }
    children_.push_back(child);
    Child& made = children_.back();
    control.setView(this);

    if (kind == "TextBox" && made.hwnd) {
        auto& box = static_cast<forms::TextBox&>(control);
        if (box.maxLength() > 0) {
            SendMessageW(made.hwnd, EM_LIMITTEXT, static_cast<WPARAM>(box.maxLength()), 0);
        }
        SetWindowSubclass(made.hwnd, &FormHost::editProc, 1, reinterpret_cast<DWORD_PTR>(this));
    } else if (kind == "ComboBox" && made.hwnd) {
        auto& combo = static_cast<forms::ComboBox&>(control);
        for (const auto& item : combo.list()) {
            SendMessageW(made.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
        }
        if (combo.listIndex() >= 0) {
            SendMessageW(made.hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo.listIndex()), 0);
        }
        made.writing = true;
        SetWindowTextW(made.hwnd, text.c_str());
        made.writing = false;
    } else if (kind == "OptionButton" || kind == "CheckBox") {
        writeCheck(made);
    } else if (kind == "Timer") {
        updateTimer(static_cast<forms::Timer&>(control));
    } else if (kind == "PictureBox") {
        makeSurface(made);
    }
}

void FormHost::makeSurface(Child& child) {
    auto& picture = static_cast<forms::PictureBox&>(*child.control);
    if (!child.surface) {
        HDC screen = GetDC(nullptr);
        child.surface = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        const forms::Font& font = picture.font;
        if (!font.isDefault()) {
            child.surfaceFont = CreateFontW(-static_cast<int>(std::lround(font.points * systemDpi() / 72.0)), 0, 0, 0,
                                            font.weight, FALSE, FALSE, FALSE, static_cast<BYTE>(font.charset),
                                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                            widen(font.name).c_str());
            SelectObject(child.surface, child.surfaceFont);
        }
        SetBkMode(child.surface, TRANSPARENT);
    }
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max(1, picture.widthPixels()), std::max(1, picture.heightPixels()));
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(child.surface, bitmap);
    if (child.bitmap) {
        DeleteObject(child.bitmap);
    } else {
        child.firstBitmap = previous;
    }
    child.bitmap = bitmap;
    SetTextColor(child.surface, toColorref(picture.foreColor));
    clearSurface(child);
}

void FormHost::clearSurface(Child& child) {
    auto& picture = static_cast<forms::PictureBox&>(*child.control);
    RECT all{0, 0, std::max(1, picture.widthPixels()), std::max(1, picture.heightPixels())};
    HBRUSH brush = CreateSolidBrush(toColorref(picture.backColor));
    FillRect(child.surface, &all, brush);
    DeleteObject(brush);
}

void FormHost::freeSurface(Child& child) {
    if (child.surface) {
        SelectObject(child.surface, child.firstBitmap);
        DeleteObject(child.bitmap);
        DeleteDC(child.surface);
        if (child.surfaceFont) {
            DeleteObject(child.surfaceFont);
        }
        child.surface = nullptr;
        child.bitmap = nullptr;
        child.surfaceFont = nullptr;
    }
}

std::uintptr_t FormHost::surfaceDeviceContext(forms::Control& control) {
    Child* child = find(control);
    return child ? reinterpret_cast<std::uintptr_t>(child->surface) : 0;
}

std::uintptr_t FormHost::surfaceImage(forms::Control& control) {
    // The image is handed over as the device context that holds it: the printer copies from it.
    return surfaceDeviceContext(control);
}

void FormHost::makeFonts() {
    freeFonts();
    // Controls without a font of their own use the system's dialog font.
    defaultFont_ = CreateFontW(-MulDiv(8, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                               L"MS Shell Dlg");
}

void FormHost::freeFonts() {
    for (HFONT font : fonts_) {
        DeleteObject(font);
    }
    fonts_.clear();
    if (defaultFont_) {
        DeleteObject(defaultFont_);
        defaultFont_ = nullptr;
    }
}

void FormHost::layout() {
    for (auto& child : children_) {
        if (!child.hwnd) {
            continue;
        }
        const forms::Font* font = nullptr;
        const std::string& kind = child.control->kindName();
        if (kind == "CommandButton") {
            font = &static_cast<forms::CommandButton*>(child.control)->font;
        } else if (kind == "TextBox") {
            font = &static_cast<forms::TextBox*>(child.control)->font;
        } else if (kind == "PictureBox") {
            font = &static_cast<forms::PictureBox*>(child.control)->font;
        }
        HFONT hfont = defaultFont_;
        if (font && !font->isDefault()) {
            hfont = CreateFontW(-static_cast<int>(std::lround(font->points * dpi_ / 72.0)), 0, 0, 0, font->weight,
                                FALSE, FALSE, FALSE, static_cast<BYTE>(font->charset), OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, widen(font->name).c_str());
            fonts_.push_back(hfont);
        }
        SendMessageW(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(hfont), FALSE);
        const forms::Rect& r = child.control->rect();
        int extraHeight = kind == "ComboBox" ? 160 : 0;
        SetWindowPos(child.hwnd, nullptr, toPixels(r.left), toPixels(r.top), toPixels(r.width),
                     toPixels(r.height) + extraHeight, SWP_NOZORDER | SWP_NOACTIVATE);
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

HWND FormHost::controlWindow(const forms::Control& control) const {
    for (const auto& child : children_) {
        if (child.control == &control) {
            return child.hwnd;
        }
    }
    return nullptr;
}

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
    if (focus == child.hwnd && child.control->kindName() == "TextBox") {
        SendMessageW(child.hwnd, EM_SETSEL, static_cast<WPARAM>(end), end);
    } else if (focus && GetParent(focus) == child.hwnd && child.control->kindName() == "ComboBox") {
        SendMessageW(child.hwnd, CB_SETEDITSEL, 0, MAKELPARAM(end, end));
    }
}

void FormHost::writeCheck(Child& child) {
    WPARAM state = BST_UNCHECKED;
    if (child.control->kindName() == "OptionButton") {
        state = static_cast<forms::OptionButton*>(child.control)->value() ? BST_CHECKED : BST_UNCHECKED;
    } else if (child.control->kindName() == "CheckBox") {
        int value = static_cast<forms::CheckBox*>(child.control)->value();
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

void FormHost::reportPosition() {
    RECT r{};
    if (hwnd_ && GetWindowRect(hwnd_, &r)) {
        form_.moved(r.left * form_.twipsPerPixelX, r.top * form_.twipsPerPixelY);
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
            if (form_.visible()) {
                ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
                SetForegroundWindow(hwnd_);
            } else {
                ShowWindow(hwnd_, SW_HIDE);
            }
            break;
        case forms::FormChange::Enabled:
            EnableWindow(hwnd_, form_.enabled());
            break;
        case forms::FormChange::Position:
            SetWindowPos(hwnd_, nullptr, static_cast<int>(std::lround(form_.left() / form_.twipsPerPixelX)),
                         static_cast<int>(std::lround(form_.top() / form_.twipsPerPixelY)), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        case forms::FormChange::Focus:
            SetForegroundWindow(hwnd_);
            SetActiveWindow(hwnd_);
            if (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) && IsWindowVisible(lastFocus_)) {
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
    if (control.kindName() == "Timer") {
        updateTimer(static_cast<forms::Timer&>(control));
        return;
    }
    if (control.kindName() == "PictureBox" && child->surface) {
        if (what == forms::Change::Size) {
            makeSurface(*child);
        } else if (what == forms::Change::Clear) {
            clearSurface(*child);
        }
    }
    if (!child->hwnd || !IsWindow(child->hwnd)) {
        return;
    }
    const std::string& kind = control.kindName();
    switch (what) {
        case forms::Change::Text:
            if (kind == "TextBox") {
                writeText(*child, static_cast<forms::TextBox&>(control).text());
            } else if (kind == "ComboBox") {
                writeText(*child, static_cast<forms::ComboBox&>(control).text());
            }
            break;
        case forms::Change::Caption:
            if (kind == "CommandButton") {
                writeText(*child, static_cast<forms::CommandButton&>(control).caption());
            } else if (kind == "Label") {
                writeText(*child, static_cast<forms::Label&>(control).caption());
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
            if (kind == "TextBox") {
                auto& box = static_cast<forms::TextBox&>(control);
                int start = utf16Offset(box.text(), box.selStart());
                int end = utf16Offset(box.text(), box.selStart() + box.selLength());
                SendMessageW(child->hwnd, EM_SETSEL, static_cast<WPARAM>(start), end);
            } else if (kind == "ComboBox") {
                SendMessageW(child->hwnd, CB_SETCURSEL,
                             static_cast<WPARAM>(static_cast<forms::ComboBox&>(control).listIndex()), 0);
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
        case forms::Change::Size:
        case forms::Change::Clear:
            break;
    }
}

void FormHost::destroy() {
    if (hwnd_ && IsWindow(hwnd_) && !destroying_) {
        destroying_ = true;
        DestroyWindow(hwnd_);
    }
}

forms::Menu* FormHost::popupMenu(forms::Menu& menu, int flags, const float* x, const float* y,
                                forms::Menu* defaultEntry) {
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
        AppendMenuW(popup, MF_STRING | (entry->enabled() ? 0u : MF_GRAYED), id, widen(entry->caption()).c_str());
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
    UINT chosen = static_cast<UINT>(TrackPopupMenuEx(popup, (static_cast<UINT>(flags) & 0xFFFFu) | TPM_RETURNCMD |
                                                                TPM_NONOTIFY,
                                                     at.x, at.y, hwnd_, nullptr));
    DestroyMenu(popup);
    return chosen >= 1 && chosen <= items.size() ? items[chosen - 1] : nullptr;
}

void FormHost::onCommand(int id, int code) {
    Child* child = findById(id);
    if (!child || !child->hwnd) {
        return;
    }
    HWND control = child->hwnd;
    const std::string& kind = child->control->kindName();
    if (kind == "CommandButton" && code == BN_CLICKED) {
        static_cast<forms::CommandButton*>(child->control)->click();
    } else if (kind == "CheckBox" && code == BN_CLICKED) {
        static_cast<forms::CheckBox*>(child->control)->click();
        if (IsWindow(control)) {
            writeCheck(*child);
        }
    } else if (kind == "OptionButton" && code == BN_CLICKED) {
        // Radio buttons also report BN_CLICKED when the focus reaches them: read the state.
        if (SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            static_cast<forms::OptionButton*>(child->control)->setValue(true);
        }
        for (auto& other : children_) {
            if (other.hwnd && IsWindow(other.hwnd) && other.control->kindName() == "OptionButton") {
                writeCheck(other);
            }
        }
    } else if (kind == "TextBox" && code == EN_CHANGE && !child->writing) {
        auto* box = static_cast<forms::TextBox*>(child->control);
        std::wstring text = windowText(control);
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        std::string typed = narrow(text);
        int selStart = characterOffset(text, static_cast<int>(start));
        box->selectionMoved(selStart, characterOffset(text, static_cast<int>(end)) - selStart);
        box->setText(std::move(typed));
    } else if (kind == "ComboBox") {
        auto* combo = static_cast<forms::ComboBox*>(child->control);
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

LRESULT CALLBACK FormHost::editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
    if (message == WM_LBUTTONUP) {
        // A click into a text box: the box places the caret first, then the program hears of it.
        LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        auto* host = reinterpret_cast<FormHost*>(data);
        for (auto& child : host->children_) {
            if (child.hwnd == hwnd) {
                try {
                    static_cast<forms::TextBox*>(child.control)->click();
                } catch (...) {
                }
                break;
            }
        }
        return result;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &FormHost::editProc, 1);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
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
            if (child && child->control->kindName() == "Timer") {
                static_cast<forms::Timer*>(child->control)->tick();
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
        case WM_CTLCOLORSTATIC: {
            HWND control = reinterpret_cast<HWND>(lParam);
            for (auto& child : children_) {
                if (child.hwnd != control) {
                    continue;
                }
                std::optional<forms::Color> color;
                if (child.control->kindName() == "Label") {
                    color = static_cast<forms::Label*>(child.control)->backColor;
                } else if (child.control->kindName() == "PictureBox") {
                    color = static_cast<forms::PictureBox*>(child.control)->backColor;
                }
                if (color) {
                    COLORREF rgb = toColorref(*color);
                    SetBkColor(reinterpret_cast<HDC>(wParam), rgb);
                    HBRUSH brush = nullptr;
                    for (auto& [known, made] : brushes_) {
                        if (known == rgb) {
                            brush = made;
                        }
                    }
                    if (!brush) {
                        brush = CreateSolidBrush(rgb);
                        brushes_.emplace_back(rgb, brush);
                    }
                    return reinterpret_cast<LRESULT>(brush);
                }
            }
            break;
        }
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            makeFonts();
            layout();
            return 0;
        }
        case WM_DESTROY:
            for (auto& child : children_) {
                if (child.control->kindName() == "Timer") {
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
            const std::string& kind = order[static_cast<size_t>(i)]->kindName();
            if (kind == "TextBox") {
                SendMessageW(control, EM_SETSEL, 0, -1);
            } else if (kind == "ComboBox") {
                SendMessageW(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
            }
            return;
        }
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

namespace {

LRESULT CALLBACK applicationProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    if (message == taskbarCreated && taskbarCreated != 0) {
        auto* action = reinterpret_cast<std::function<void()>*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (action && *action) {
            try {
                (*action)();
            } catch (...) {
            }
        }
        return 0;
    }
    if (message == WM_NCDESTROY) {
        delete reinterpret_cast<std::function<void()>*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

HWND createApplicationWindow(HINSTANCE instance, const std::wstring& title, std::function<void()> onTaskbarCreated) {
    registerClasses(instance);
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, applicationClass, title.c_str(), WS_OVERLAPPED, 0, 0, 0, 0,
                                nullptr, nullptr, instance, nullptr);
    if (hwnd) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(new std::function<void()>(std::move(onTaskbarCreated))));
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&applicationProc));
    }
    return hwnd;
}

}  // namespace tivora::win32
