// The end-to-end driver: drives another Win32 process's windows from outside as a person would,
// one command per run (`wine driver.exe ...`), and reports what it sees as JSON lines on stdout
// (handles in decimal; exit 1 on failure, 2 on a malformed command). Built by tests/CMakeLists.txt.
#include <windows.h>

#include <oleacc.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

namespace {

// How long we wait for the target to answer a sent message before calling it hung.
constexpr UINT kSendTimeoutMs = 3000;
constexpr DWORD kPollMs = 50;

struct Failure {
    std::wstring what;
    int code = 1;
};
[[noreturn]] void fail(const std::wstring& what, int code = 1) { throw Failure{what, code}; }

std::string utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::string json_string(const std::wstring& w) {
    std::string out = "\"";
    for (unsigned char c : utf8(w)) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += char(c);
                }
        }
    }
    return out + "\"";
}

// A flat JSON object built field by field.
class Json {
public:
    Json& raw(const char* key, const std::string& value) {
        if (body_.size() > 1) body_ += ',';
        body_ += '"';
        body_ += key;
        body_ += "\":";
        body_ += value;
        return *this;
    }
    Json& str(const char* key, const std::wstring& v) { return raw(key, json_string(v)); }
    Json& num(const char* key, long long v) { return raw(key, std::to_string(v)); }
    Json& flag(const char* key, bool v) { return raw(key, v ? "true" : "false"); }
    Json& nums(const char* key, std::initializer_list<long long> vs) {
        std::string a = "[";
        for (long long v : vs) a += (a.size() > 1 ? "," : "") + std::to_string(v);
        return raw(key, a + "]");
    }
    std::string text() const { return body_ + "}"; }

private:
    std::string body_ = "{";
};

void emit(const std::string& line) {
    std::string l = line + "\n";
    std::fwrite(l.data(), 1, l.size(), stdout);
    std::fflush(stdout);
}
void emit(const Json& j) { emit(j.text()); }

long long handle_number(HWND h) { return (long long)(uintptr_t)h; }

// Numbers on the command line: decimal, or hexadecimal with 0x; a leading '-' is allowed.
long long parse_number(const std::wstring& s) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && s[i] == L'-') negative = true, ++i;
    int base = 10;
    if (i + 1 < s.size() && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) base = 16, i += 2;
    if (i >= s.size() || !std::iswxdigit(s[i])) fail(L"not a number: " + s, 2);
    wchar_t* end = nullptr;
    errno = 0;
    unsigned long long v = std::wcstoull(s.c_str() + i, &end, base);
    if (*end || errno) fail(L"not a number: " + s, 2);
    return negative ? -(long long)v : (long long)v;
}

HWND parse_window(const std::wstring& s) {
    HWND h = (HWND)(uintptr_t)parse_number(s);
    if (!IsWindow(h)) fail(L"no such window: " + s);
    return h;
}

std::wstring class_name(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return buf;
}

// The caption as the window manager keeps it; sends no message, so a hung window cannot stall us.
std::wstring caption(HWND h) {
    std::wstring buf(size_t(GetWindowTextLengthW(h)) + 1, L'\0');
    buf.resize(size_t(GetWindowTextW(h, buf.data(), int(buf.size()))));
    return buf;
}

// The text as the control itself reports it (WM_GETTEXT), which is what a person reads.
std::wstring control_text(HWND h) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &len))
        fail(L"window " + std::to_wstring(handle_number(h)) + L" does not answer WM_GETTEXTLENGTH");
    std::wstring buf(len + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), (LPARAM)buf.data(), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &got))
        fail(L"window " + std::to_wstring(handle_number(h)) + L" does not answer WM_GETTEXT");
    buf.resize(got < len ? got : len);
    return buf;
}

// What `children`, `window` and `focus` say about one window. The rectangle is
// [left, top, width, height] relative to the client area of its top-level window,
// so tests can compare layouts without caring where the window sits on screen.
Json facts(HWND h) {
    HWND root = GetAncestor(h, GA_ROOT);
    RECT r{};
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, root, reinterpret_cast<POINT*>(&r), 2);
    LONG style = GetWindowLongW(h, GWL_STYLE);
    LONG exstyle = GetWindowLongW(h, GWL_EXSTYLE);
    HWND parent = (style & WS_CHILD) ? GetAncestor(h, GA_PARENT) : nullptr;
    Json j;
    j.num("hwnd", handle_number(h))
        .num("parent", handle_number(parent))
        .num("owner", handle_number(GetWindow(h, GW_OWNER)))
        .num("id", (style & WS_CHILD) ? GetDlgCtrlID(h) : 0)
        .str("class", class_name(h))
        .str("text", control_text(h))
        .nums("rect", {r.left, r.top, r.right - r.left, r.bottom - r.top})
        // "visible" is what a person sees (the window and all its parents shown);
        // "own_visible" is the window's own WS_VISIBLE, e.g. a control on a hidden page.
        .flag("visible", IsWindowVisible(h))
        .flag("own_visible", (style & WS_VISIBLE) != 0)
        .flag("enabled", IsWindowEnabled(h))
        .num("style", (unsigned long)style)
        .num("exstyle", (unsigned long)exstyle);
    return j;
}

// Top-level windows with exactly this caption (and class, if given), visible ones first.
struct TopLevelSearch {
    const std::wstring& title;
    const std::wstring* cls;
    std::vector<HWND> shown, hidden;
};

BOOL CALLBACK match_top_level(HWND h, LPARAM p) {
    auto& s = *reinterpret_cast<TopLevelSearch*>(p);
    if (caption(h) != s.title) return TRUE;
    if (s.cls && _wcsicmp(class_name(h).c_str(), s.cls->c_str()) != 0) return TRUE;
    (IsWindowVisible(h) ? s.shown : s.hidden).push_back(h);
    return TRUE;
}

std::vector<HWND> top_levels(const std::wstring& title, const std::wstring* cls) {
    TopLevelSearch s{title, cls, {}, {}};
    EnumWindows(match_top_level, reinterpret_cast<LPARAM>(&s));
    s.shown.insert(s.shown.end(), s.hidden.begin(), s.hidden.end());
    return s.shown;
}

BOOL CALLBACK collect_top_level(HWND h, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
    return TRUE;
}

BOOL CALLBACK collect_child(HWND c, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(c);
    return TRUE;
}

// Every descendant, parents before their children, siblings in z-order.
std::vector<HWND> descendants(HWND h) {
    std::vector<HWND> out;
    EnumChildWindows(h, collect_child, reinterpret_cast<LPARAM>(&out));
    return out;
}

GUITHREADINFO gui_thread_info(HWND h) {
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &gti))
        fail(L"GetGUIThreadInfo failed, error " + std::to_wstring(GetLastError()));
    return gti;
}

// Posted input is handled by the target some time after we post it, and a later
// run of the driver may look before that. We wait until what the caller reads back
// stops changing: a cheap stand-in for "the target has drained its queue".
template <class Read>
void settle(Read read) {
    auto last = read();
    int still = 0;
    for (int i = 0; i < 100 && still < 3; ++i) {
        Sleep(15);
        auto now = read();
        still = (now == last) ? still + 1 : 0;
        last = std::move(now);
    }
}

// A person can neither click nor type into a hidden or disabled control; neither may a test.
void require_usable(HWND h, bool force) {
    if (force) return;
    if (!IsWindowVisible(h))
        fail(L"window " + std::to_wstring(handle_number(h)) + L" is not visible (--force to act anyway)");
    if (!IsWindowEnabled(h))
        fail(L"window " + std::to_wstring(handle_number(h)) + L" is disabled (--force to act anyway)");
}

UINT virtual_key(const std::wstring& name) {
    static const struct {
        const wchar_t* name;
        UINT vk;
    } keys[] = {
        {L"TAB", VK_TAB},     {L"RETURN", VK_RETURN},  {L"ENTER", VK_RETURN},  {L"ESCAPE", VK_ESCAPE},
        {L"ESC", VK_ESCAPE},  {L"SPACE", VK_SPACE},    {L"UP", VK_UP},         {L"DOWN", VK_DOWN},
        {L"LEFT", VK_LEFT},   {L"RIGHT", VK_RIGHT},    {L"HOME", VK_HOME},     {L"END", VK_END},
        {L"PRIOR", VK_PRIOR}, {L"PGUP", VK_PRIOR},     {L"NEXT", VK_NEXT},     {L"PGDN", VK_NEXT},
        {L"BACK", VK_BACK},   {L"BACKSPACE", VK_BACK}, {L"DELETE", VK_DELETE}, {L"INSERT", VK_INSERT},
        {L"F1", VK_F1},       {L"F2", VK_F2},          {L"F3", VK_F3},         {L"F4", VK_F4},
        {L"F5", VK_F5},       {L"F6", VK_F6},          {L"F7", VK_F7},         {L"F8", VK_F8},
        {L"F9", VK_F9},       {L"F10", VK_F10},        {L"F11", VK_F11},       {L"F12", VK_F12},
    };
    for (const auto& k : keys)
        if (_wcsicmp(k.name, name.c_str()) == 0) return k.vk;
    if (name.size() == 1 && std::iswalnum(name[0]) && name[0] < 0x80) return UINT(std::towupper(name[0]));
    if (!name.empty() && std::iswdigit(name[0])) return UINT(parse_number(name));
    fail(L"unknown key name: " + name, 2);
}

bool extended_key(UINT vk) {
    switch (vk) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_INSERT:
        case VK_DELETE:
            return true;
        default:
            return false;
    }
}

void post(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (!PostMessageW(h, msg, wp, lp)) fail(L"PostMessageW failed, error " + std::to_wstring(GetLastError()));
}

// A visible message box or dialog (#32770) with this caption, or null.
HWND find_dialog(const std::wstring& title) {
    static const std::wstring dialog_class = L"#32770";
    for (HWND h : top_levels(title, &dialog_class))
        if (IsWindowVisible(h)) return h;
    return nullptr;
}

BOOL CALLBACK report_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& m = info.rcMonitor;
        const RECT& w = info.rcWork;
        emit(Json()
                 .nums("monitor", {m.left, m.top, m.right, m.bottom})
                 .nums("work", {w.left, w.top, w.right, w.bottom})
                 .flag("primary", (info.dwFlags & MONITORINFOF_PRIMARY) != 0));
    }
    return TRUE;
}

// `watch`: every top-level window (of a class) that became visible and every foreground change
// over a span. Wine's event hooks miss other processes' shows, so it polls every millisecond or
// two: a window shown and hidden between two polls goes unseen.
struct Watch {
    const std::wstring* cls = nullptr;
    DWORD start = 0;
    HWND foreground = nullptr;
    std::vector<HWND> shown;  // windows of the class visible at the last poll
};
Watch* watching = nullptr;

bool watched(HWND h) {
    return h && (!watching->cls || _wcsicmp(class_name(h).c_str(), watching->cls->c_str()) == 0);
}

void report_event(const wchar_t* what, HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    emit(Json()
             .str("event", what)
             .num("hwnd", handle_number(h))
             .str("class", h ? class_name(h) : L"")
             .str("title", h ? caption(h) : L"")
             .num("pid", pid)
             .num("ms", GetTickCount() - watching->start));
}

BOOL CALLBACK poll_shown(HWND h, LPARAM) {
    if (IsWindowVisible(h) && watched(h)) {
        auto& seen = watching->shown;
        bool known = false;
        for (HWND s : seen) known = known || s == h;
        if (!known) {
            seen.push_back(h);
            report_event(L"show", h);
        }
    }
    return TRUE;
}

BOOL CALLBACK note_shown(HWND h, LPARAM) {
    if (IsWindowVisible(h) && watched(h)) watching->shown.push_back(h);
    return TRUE;
}

void poll_watch() {
    HWND now = GetForegroundWindow();
    if (now != watching->foreground) {
        watching->foreground = now;
        report_event(L"foreground", now);
    }
    // A window that was hidden is reported again when it shows again.
    auto& seen = watching->shown;
    for (size_t i = seen.size(); i-- > 0;)
        if (!IsWindow(seen[i]) || !IsWindowVisible(seen[i])) seen.erase(seen.begin() + long(i));
    EnumWindows(poll_shown, 0);
}

struct Args {
    std::vector<std::wstring> words;  // the command and its operands
    const std::wstring* cls = nullptr;
    std::wstring cls_value;
    bool force = false;

    const std::wstring& at(size_t i) const {
        if (i >= words.size())
            fail(L"missing operand for " + words[0] + L"; run without arguments for help", 2);
        return words[i];
    }
    DWORD timeout(size_t i, DWORD fallback) const {
        return i < words.size() ? DWORD(parse_number(words[i])) : fallback;
    }
};

const char kUsage[] =
    "usage: driver COMMAND ...  (handles are decimal; numbers decimal or 0x hex)\n"
    "  find TITLE [TIMEOUT_MS] [--class CLASS]    wait for a top-level window\n"
    "  find-gone TITLE [TIMEOUT_MS] [--class CLASS] wait until no visible such window\n"
    "  list                                          every top-level window\n"
    "  children HWND | window HWND | gettext HWND | settext HWND TEXT\n"
    "  choose HWND TEXT          pick the item of a list box or combo box, as a click on it would\n"
    "  click HWND [--force] | type HWND TEXT [--force] | close HWND\n"
    "  post HWND MSG WPARAM LPARAM | send HWND MSG WPARAM LPARAM\n"
    "  focus HWND | keys HWND KEY... (TAB RETURN ESCAPE SPACE UP DOWN LEFT RIGHT F1..F12 A..Z 0..9 0xVK)\n"
    "  msgbox TITLE [TIMEOUT_MS] | answer HWND [BUTTON_ID]\n"
    "  tray-delete HWND UID      take a program's icon out of the notification area\n"
    "  broadcast NAME            post the registered message NAME to every top-level window\n"
    "  regvalue KEY NAME         a registry string exactly as stored (KEY: HKCU\\..., HKLM\\..., HKCR\\...)\n"
    "  acc HWND                  what a screen reader hears of the window: its accessible name, role,\n"
    "                            value and state (AccessibleObjectFromWindow, OBJID_CLIENT)\n"
    "  monitors                  every monitor's rectangle and work area\n"
    "  watch MS [--class CLASS]  for MS ms: every top-level window (of CLASS) that became visible\n"
    "                            and every change of the foreground window (polled)\n"
    "  hold PATH MS              keep a file open for MS ms, sharing nothing, as a backup tool does\n";

int run(const Args& a) {
    const std::wstring& cmd = a.at(0);

    if (cmd == L"find" || cmd == L"find-gone") {
        const std::wstring& title = a.at(1);
        DWORD timeout = a.timeout(2, 10000), start = GetTickCount();
        for (;;) {
            auto hits = top_levels(title, a.cls);
            if (cmd == L"find" && !hits.empty()) {
                HWND h = hits.front();
                RECT r{};
                GetWindowRect(h, &r);
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                emit(Json()
                         .num("hwnd", handle_number(h))
                         .str("class", class_name(h))
                         .str("title", caption(h))
                         .flag("visible", IsWindowVisible(h))
                         .flag("enabled", IsWindowEnabled(h))
                         .nums("rect", {r.left, r.top, r.right, r.bottom})
                         .num("pid", pid));
                return 0;
            }
            if (cmd == L"find-gone" && (hits.empty() || !IsWindowVisible(hits.front()))) {
                emit(Json().flag("gone", true).num("ms", GetTickCount() - start));
                return 0;
            }
            if (GetTickCount() - start >= timeout)
                fail(cmd == L"find"
                         ? L"no window titled \"" + title + L"\" within " + std::to_wstring(timeout) + L" ms"
                         : L"window \"" + title + L"\" still shown after " + std::to_wstring(timeout) +
                               L" ms");
            Sleep(kPollMs);
        }
    }
    if (cmd == L"list") {  // every top-level window: for finding out what a program really shows
        std::vector<HWND> all;
        EnumWindows(collect_top_level, reinterpret_cast<LPARAM>(&all));
        for (HWND h : all) {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            emit(Json()
                     .num("hwnd", handle_number(h))
                     .str("class", class_name(h))
                     .str("title", caption(h))
                     .flag("visible", IsWindowVisible(h))
                     .num("owner", handle_number(GetWindow(h, GW_OWNER)))
                     .num("pid", pid));
        }
        return 0;
    }
    if (cmd == L"children") {
        for (HWND c : descendants(parse_window(a.at(1)))) emit(facts(c));
        return 0;
    }
    if (cmd == L"window") {
        HWND h = parse_window(a.at(1));
        RECT s{}, c{};
        GetWindowRect(h, &s);
        GetClientRect(h, &c);
        emit(facts(h).nums("client", {c.right, c.bottom}).nums("screen", {s.left, s.top, s.right, s.bottom}));
        return 0;
    }
    if (cmd == L"gettext") {
        HWND h = parse_window(a.at(1));
        emit(Json().num("hwnd", handle_number(h)).str("text", control_text(h)));
        return 0;
    }
    if (cmd == L"settext") {
        HWND h = parse_window(a.at(1));
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(h, WM_SETTEXT, 0, (LPARAM)a.at(2).c_str(), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                 &result))
            fail(L"window does not answer WM_SETTEXT");
        emit(Json().num("hwnd", handle_number(h)).num("result", (long long)(LONG_PTR)result));
        return 0;
    }
    if (cmd == L"choose") {
        HWND h = parse_window(a.at(1));
        const bool list = _wcsicmp(class_name(h).c_str(), L"ListBox") == 0;
        DWORD_PTR index = 0;
        if (!SendMessageTimeoutW(h, list ? LB_FINDSTRINGEXACT : CB_FINDSTRINGEXACT, WPARAM(-1),
                                 (LPARAM)a.at(2).c_str(), SMTO_ABORTIFHUNG, kSendTimeoutMs, &index) ||
            LRESULT(index) < 0)
            fail(L"no item \"" + a.at(2) + L"\"");
        SendMessageTimeoutW(h, list ? LB_SETCURSEL : CB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                            nullptr);
        post(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), list ? LBN_SELCHANGE : CBN_SELCHANGE),
             (LPARAM)h);
        emit(Json().num("hwnd", handle_number(h)).num("chosen", (long long)index));
        return 0;
    }
    if (cmd == L"click") {
        HWND h = parse_window(a.at(1));
        require_usable(h, a.force);
        post(h, BM_CLICK, 0, 0);
        emit(Json().num("clicked", handle_number(h)));
        return 0;
    }
    if (cmd == L"type") {
        HWND h = parse_window(a.at(1));
        require_usable(h, a.force);
        const std::wstring& text = a.at(2);
        for (wchar_t ch : text) post(h, WM_CHAR, ch, 1);
        settle([&] { return IsWindow(h) ? control_text(h) : std::wstring(); });
        emit(Json().num("hwnd", handle_number(h)).num("typed", (long long)text.size()));
        return 0;
    }
    if (cmd == L"post" || cmd == L"send") {
        HWND h = parse_window(a.at(1));
        UINT msg = UINT(parse_number(a.at(2)));
        WPARAM wp = WPARAM(parse_number(a.at(3)));
        LPARAM lp = LPARAM(parse_number(a.at(4)));
        if (cmd == L"post") {
            post(h, msg, wp, lp);
            emit(Json().flag("posted", true));
        } else {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
                fail(L"SendMessageTimeoutW failed or timed out, error " + std::to_wstring(GetLastError()));
            emit(Json().num("result", (long long)(LONG_PTR)result));
        }
        return 0;
    }
    if (cmd == L"focus") {
        HWND h = parse_window(a.at(1));
        GUITHREADINFO gti = gui_thread_info(h);
        emit(Json()
                 .raw("focus", gti.hwndFocus ? facts(gti.hwndFocus).text() : "null")
                 .num("active", handle_number(gti.hwndActive))
                 .str("active_title", gti.hwndActive ? caption(gti.hwndActive) : L"")
                 .num("foreground", handle_number(GetForegroundWindow())));
        return 0;
    }
    if (cmd == L"keys") {
        HWND h = parse_window(a.at(1));
        a.at(2);
        std::vector<UINT> vks;
        for (size_t i = 2; i < a.words.size(); ++i)
            vks.push_back(virtual_key(a.words[i]));  // all names checked first
        // The thread is fixed up front: a key may well destroy h (RETURN on a message box).
        DWORD thread = GetWindowThreadProcessId(h, nullptr);
        auto where = [&] {
            GUITHREADINFO g{};
            g.cbSize = sizeof g;
            GetGUIThreadInfo(thread, &g);
            return std::vector<HWND>{g.hwndFocus, g.hwndActive};
        };
        std::vector<long long> targets;
        for (UINT vk : vks) {
            auto w = where();
            HWND target = w[0] ? w[0] : w[1] ? w[1] : h;
            LPARAM down =
                1 | LPARAM(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16) | (extended_key(vk) ? 1 << 24 : 0);
            post(target, WM_KEYDOWN, vk, down);
            post(target, WM_KEYUP, vk, down | (LPARAM(3) << 30));
            targets.push_back(handle_number(target));
            settle(where);  // the next key goes where this one moved the focus
        }
        std::string list = "[";
        for (long long t : targets) list += (list.size() > 1 ? "," : "") + std::to_string(t);
        emit(Json().raw("sent_to", list + "]"));
        return 0;
    }
    if (cmd == L"msgbox") {
        const std::wstring& title = a.at(1);
        DWORD timeout = a.timeout(2, 10000), start = GetTickCount();
        HWND h;
        while (!(h = find_dialog(title))) {
            if (GetTickCount() - start >= timeout)
                fail(L"no message box titled \"" + title + L"\" within " + std::to_wstring(timeout) + L" ms");
            Sleep(kPollMs);
        }
        HWND text = GetDlgItem(h, 0xFFFF);
        std::string buttons = "[";
        for (HWND c : descendants(h)) {
            if (_wcsicmp(class_name(c).c_str(), L"Button") != 0) continue;
            if (buttons.size() > 1) buttons += ',';
            buttons += Json()
                           .num("id", GetDlgCtrlID(c))
                           .str("text", control_text(c))
                           .num("hwnd", handle_number(c))
                           .flag("visible", IsWindowVisible(c))
                           .flag("enabled", IsWindowEnabled(c))
                           .text();
        }
        emit(Json()
                 .num("hwnd", handle_number(h))
                 .str("title", caption(h))
                 .str("text", text ? control_text(text) : L"")
                 .num("owner", handle_number(GetWindow(h, GW_OWNER)))
                 .raw("buttons", buttons + "]"));
        return 0;
    }
    if (cmd == L"answer") {
        HWND h = parse_window(a.at(1));
        int id = a.words.size() > 2 ? int(parse_number(a.words[2])) : IDOK;
        if (HWND button = GetDlgItem(h, id)) {
            require_usable(button, a.force);
            post(button, BM_CLICK, 0, 0);
        } else {
            post(h, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        }
        // Answering a box must close it; one that stays open is a fault worth reporting.
        DWORD start = GetTickCount();
        while (IsWindow(h) && IsWindowVisible(h)) {
            if (GetTickCount() - start >= 5000)
                fail(L"the dialog is still open 5 s after pressing button " + std::to_wstring(id));
            Sleep(20);
        }
        emit(Json().num("answered", id).flag("closed", true));
        return 0;
    }
    if (cmd == L"close") {
        HWND h = parse_window(a.at(1));
        post(h, WM_CLOSE, 0, 0);
        emit(Json().num("closed", handle_number(h)));
        return 0;
    }
    if (cmd == L"tray-delete") {  // as a restarting shell loses every icon
        NOTIFYICONDATAW data{};
        data.cbSize = NOTIFYICONDATAW_V1_SIZE;
        data.hWnd = parse_window(a.at(1));
        data.uID = UINT(parse_number(a.at(2)));
        BOOL ok = Shell_NotifyIconW(NIM_DELETE, &data);
        emit(Json().flag("deleted", ok));
        return 0;
    }
    if (cmd == L"broadcast") {
        UINT message = RegisterWindowMessageW(a.at(1).c_str());
        BOOL ok = PostMessageW(HWND_BROADCAST, message, 0, 0);
        emit(Json().num("message", message).flag("posted", ok));
        return 0;
    }
    if (cmd == L"acc") {  // as a screen reader asks, across the process boundary
        HWND hwnd = parse_window(a.at(1));
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IAccessible* object = nullptr;
        HRESULT found = AccessibleObjectFromWindow(hwnd, DWORD(OBJID_CLIENT), IID_IAccessible,
                                                   reinterpret_cast<void**>(&object));
        if (FAILED(found) || !object) fail(L"AccessibleObjectFromWindow failed, " + std::to_wstring(found));
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        auto text = [](HRESULT result, BSTR value) {
            std::string json = SUCCEEDED(result) && value ? json_string(value) : "null";
            if (value) SysFreeString(value);
            return json;
        };
        BSTR name = nullptr, value = nullptr;
        HRESULT named = object->get_accName(self, &name);
        std::string nameJson = text(named, name);
        HRESULT valued = object->get_accValue(self, &value);
        std::string valueJson = text(valued, value);
        VARIANT role{}, state{};
        object->get_accRole(self, &role);
        object->get_accState(self, &state);
        long long roleNumber = role.vt == VT_I4 ? role.lVal : -1;
        wchar_t roleText[128] = {};
        if (roleNumber >= 0) GetRoleTextW(DWORD(roleNumber), roleText, 128);
        emit(Json()
                 .raw("name", nameJson)
                 .num("role", roleNumber)
                 .str("role_text", roleText)
                 .raw("value", valueJson)
                 .num("state", state.vt == VT_I4 ? state.lVal : -1)
                 .flag("read_only", state.vt == VT_I4 && (state.lVal & STATE_SYSTEM_READONLY)));
        object->Release();
        return 0;
    }
    if (cmd == L"regvalue") {  // `reg query` prints in the OEM code page, which mangles "é" and more
        const std::wstring& path = a.at(1);
        size_t slash = path.find(L'\\');
        std::wstring root = path.substr(0, slash),
                     subkey = slash == std::wstring::npos ? L"" : path.substr(slash + 1);
        HKEY key = root == L"HKCU" || root == L"HKEY_CURRENT_USER"    ? HKEY_CURRENT_USER
                   : root == L"HKLM" || root == L"HKEY_LOCAL_MACHINE" ? HKEY_LOCAL_MACHINE
                   : root == L"HKCR" || root == L"HKEY_CLASSES_ROOT"  ? HKEY_CLASSES_ROOT
                                                                      : nullptr;
        if (!key) fail(L"unknown registry root: " + root, 2);
        const wchar_t* name = a.at(2).empty() ? nullptr : a.at(2).c_str();  // "": the key's default value
        const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
        DWORD bytes = 0;
        LSTATUS status = RegGetValueW(key, subkey.c_str(), name, flags, nullptr, nullptr, &bytes);
        if (status == ERROR_FILE_NOT_FOUND) {
            emit(Json().raw("data", "null"));  // no such key or value
            return 0;
        }
        std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
        if (status == ERROR_SUCCESS) {
            bytes = DWORD(data.size() * sizeof(wchar_t));
            status = RegGetValueW(key, subkey.c_str(), name, flags, nullptr, data.data(), &bytes);
        }
        if (status != ERROR_SUCCESS) fail(L"RegGetValueW failed, error " + std::to_wstring(status));
        data.resize(wcsnlen(data.c_str(), data.size()));
        emit(Json().str("data", data));
        return 0;
    }
    if (cmd == L"monitors") {
        EnumDisplayMonitors(nullptr, nullptr, report_monitor, 0);
        return 0;
    }
    if (cmd == L"watch") {
        DWORD span = DWORD(parse_number(a.at(1)));
        Watch w;
        w.cls = a.cls;
        w.start = GetTickCount();
        watching = &w;
        // The first line says what is there as the watch begins: the caller may go on from here.
        w.foreground = GetForegroundWindow();
        EnumWindows(note_shown, 0);
        emit(Json()
                 .flag("watching", true)
                 .num("foreground", handle_number(w.foreground))
                 .num("shown", (long long)w.shown.size()));
        while (GetTickCount() - w.start < span) {
            Sleep(1);
            poll_watch();
        }
        emit(Json().flag("watched", true).num("ms", GetTickCount() - w.start));
        return 0;
    }
    if (cmd == L"hold") {  // every other open of the file is a sharing violation meanwhile
        HANDLE file = CreateFileW(a.at(1).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            fail(L"cannot open " + a.at(1) + L", error " + std::to_wstring(GetLastError()));
        emit(Json().flag("holding", true));
        Sleep(DWORD(parse_number(a.at(2))));
        CloseHandle(file);
        emit(Json().flag("released", true));
        return 0;
    }
    fail(L"unknown command: " + cmd + L" (run without arguments for help)", 2);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Our bytes are UTF-8 already; keep the C runtime from turning \n into \r\n.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    Args a;
    for (int i = 1; i < argc; ++i) {
        std::wstring w = argv[i];
        if (w == L"--class" && i + 1 < argc) {
            a.cls_value = argv[++i];
            a.cls = &a.cls_value;
        } else if (w == L"--force") {
            a.force = true;
        } else {
            a.words.push_back(std::move(w));
        }
    }
    if (a.words.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        return run(a);
    } catch (const Failure& f) {
        std::string msg = "driver: " + utf8(f.what) + "\n";
        std::fwrite(msg.data(), 1, msg.size(), stderr);
        return f.code;
    }
}
