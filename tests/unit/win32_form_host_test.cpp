// The Windows window layer against real windows (under Wine in CI): controls where the model
// puts them, model changes mirrored without echo, user input turned into the model's events.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include "forms/controls.h"
#include "forms/form.h"
#include "forms/win32/accessible_name.h"
#include "forms/win32/form_host.h"
#include "forms/win32/form_host_internal.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {
namespace {

struct TestForm : forms::Form {
    TestForm() : Form("Form_Test", "Окно", 2880, 4305) {
        setTabOrder({&Button, &Hour, &Combo, &OptionA, &OptionB, &Check});
    }
    forms::CommandButton Button{*this, "Button", {1200, 120, 735, 495}, "Старт"};
    forms::TextBox Hour{*this, "Hour", {120, 120, 375, 375}, "23", 2};
    forms::ComboBox Combo{*this, "Combo", {2040, 1080, 735, 315}, "50%", {"50%", "00%", "10%"}};
    forms::OptionButton OptionA{*this, "OptionA", {120, 840, 2000, 195}, "A", true};
    forms::OptionButton OptionB{*this, "OptionB", {120, 1080, 2000, 195}, "B", false};
    forms::CheckBox Check{*this, "Check", {120, 2160, 2655, 375}, "Флажок"};
    forms::CheckBox Hidden{*this, "Hidden", {120, 720, 255, 255}, ""};
    forms::Timer Ticker{*this, "Ticker", 30, false};
    forms::Label HourLabel{*this, "HourLabel", {120, 480, 495, 255}, "Час"};
    forms::Label Square{*this, "Square", {960, 240, 255, 255}, ""};  // its edge under Button's
    forms::Menu Popup{*this, "Popup", ""};
    forms::Menu PopupEntry{*this, "PopupEntry", "Пункт", &Popup};
};

void pump(int milliseconds) {
    DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!FormHost::preTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

std::wstring textOf(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

struct Realised : ::testing::Test {
    TestForm form;
    FormHost host{form, GetModuleHandleW(nullptr), {}};
    void SetUp() override {
        form.Hidden.setVisible(false);
        form.Square.backColor = forms::rgb(0, 0, 192);
        form.Square.setVisible(false);
        form.HourLabel.labelFor = &form.Hour;
        form.Combo.accessibleName = "Громкость";
        host.create();
        form.load();
        form.show();
        pump(50);
    }
    HWND of(const forms::Control& c) { return host.controlWindow(c); }
};

TEST_F(Realised, ControlsSitAtTheirTwipsPositionsWithTheirTexts) {
    RECT client{};
    GetClientRect(host.hwnd(), &client);
    EXPECT_EQ(client.right, 192);  // 2880 twips at 96 DPI
    EXPECT_EQ(client.bottom, 287);
    RECT r{};
    GetWindowRect(of(form.Button), &r);
    MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 80);
    EXPECT_EQ(r.top, 8);
    EXPECT_EQ(r.right - r.left, 49);
    EXPECT_EQ(r.bottom - r.top, 33);
    EXPECT_EQ(textOf(of(form.Button)), L"Старт");
    EXPECT_EQ(textOf(of(form.Hour)), L"23");
    EXPECT_EQ(textOf(of(form.Combo)), L"50%");
    EXPECT_EQ(textOf(host.hwnd()), L"Окно");
    EXPECT_EQ(SendMessageW(of(form.OptionA), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsWindowVisible(of(form.Hidden)));
    EXPECT_EQ(GetFocus(), of(form.Button));
}

// The window's icons are made at its scale, and again at a new one; the model's (the tray's) at
// the notification area's, whatever the window's, and the model hears of no change while that
// stands. Each is made from a frame no smaller than itself: shrunk, never stretched.
TEST(RealisedIcons, AreMadeAtTheWindowsScaleFromAFrameNoSmallerThanThemselves) {
    TestForm form;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    FormHost host{form, instance, {true, 1}};
    host.create();
    int heard = 0;
    form.onIconChanged = [&] { ++heard; };
    auto width = [&](int which) {  // of the icon the window shows, or (-1) the model's, the tray's
        ICONINFO info{};
        BITMAP bitmap{};
        auto icon = reinterpret_cast<HICON>(which < 0 ? static_cast<LRESULT>(form.iconHandle())
                                                      : SendMessageW(host.hwnd(), WM_GETICON, which, 0));
        GetIconInfo(icon, &info);
        GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        return static_cast<int>(bitmap.bmWidth);
    };
    EXPECT_EQ(width(ICON_SMALL), GetSystemMetrics(SM_CXSMICON));
    // From 100 to 300 % each icon has a frame of its own size; at 350 % the big one has none and
    // is shrunk from the next larger frame.
    struct Row {
        int dpi, small, big, bigFrame;
    } rows[] = {
        {96, 16, 32, 32},  {120, 20, 40, 40}, {144, 24, 48, 48}, {168, 28, 56, 56},   {192, 32, 64, 64},
        {216, 36, 72, 72}, {240, 40, 80, 80}, {288, 48, 96, 96}, {336, 56, 112, 128},
    };
    for (const Row& r : rows) {
        RECT suggested{0, 0, 400, 600};
        SendMessageW(host.hwnd(), WM_DPICHANGED, MAKEWPARAM(r.dpi, r.dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(std::make_pair(width(ICON_SMALL), width(ICON_BIG)), std::make_pair(r.small, r.big))
            << r.dpi;
        EXPECT_EQ(width(-1), GetSystemMetrics(SM_CXSMICON)) << r.dpi;
        EXPECT_EQ(
            std::make_pair(detail::iconFrame(instance, 1, r.small), detail::iconFrame(instance, 1, r.big)),
            std::make_pair(r.small, r.bigFrame))
            << r.dpi;
    }
    EXPECT_EQ(heard, 0);
    EXPECT_EQ(detail::iconFrame(instance, 1, 200), 128);  // larger than any: the largest there is
    EXPECT_EQ(detail::iconFrame(instance, 2, 32), 0);     // no such icon
    EXPECT_EQ(detail::loadIcon(instance, 2, 32), nullptr);
}

TEST_F(Realised, ModelChangesReachTheControlsWithoutEcho) {
    int changes = 0;
    form.Hour.onChange = [&] { ++changes; };
    form.Hour.setText("7");
    pump(20);
    EXPECT_EQ(textOf(of(form.Hour)), L"7");
    EXPECT_EQ(changes, 1);
    form.Button.setCaption("Стоп");
    form.Check.setValue(2);
    form.Combo.setEnabled(false);
    EXPECT_EQ(textOf(of(form.Button)), L"Стоп");
    EXPECT_EQ(SendMessageW(of(form.Check), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_FALSE(IsWindowEnabled(of(form.Combo)));
    form.setCaption("Tivora!!! v.1.1");
    EXPECT_EQ(textOf(host.hwnd()), L"Tivora!!! v.1.1");
}

TEST_F(Realised, TextChangedOutsideRaisesChangeAndACorrectionIsWrittenBack) {
    std::vector<std::string> seen;
    form.Hour.onChange = [&] {
        seen.push_back(form.Hour.text());
        if (form.Hour.text() == "99") {
            form.Hour.setText("23");
        }
    };
    SendMessageW(of(form.Hour), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"99"));
    EXPECT_EQ(seen, (std::vector<std::string>{"99", "23"}));
    EXPECT_EQ(textOf(of(form.Hour)), L"23");
    EXPECT_EQ(form.Hour.text(), "23");
}

TEST_F(Realised, TheBoxRefusesAThirdCharacter) {
    SetFocus(of(form.Hour));
    SendMessageW(of(form.Hour), EM_SETSEL, 2, 2);
    PostMessageW(of(form.Hour), WM_CHAR, L'5', 0);
    pump(30);
    EXPECT_EQ(textOf(of(form.Hour)), L"23");
    EXPECT_EQ(form.Hour.text(), "23");
}

TEST_F(Realised, AListPickRaisesOnlyClick) {
    std::vector<std::string> events;
    form.Combo.onChange = [&] { events.push_back("change"); };
    form.Combo.onClick = [&] { events.push_back("click " + form.Combo.text()); };
    SetFocus(of(form.Combo));
    HWND edit = GetFocus();
    // The first Down picks the entry the box shows, the second the next one.
    PostMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
    pump(50);
    EXPECT_EQ(events, (std::vector<std::string>{"click 50%", "click 00%"}));
    EXPECT_EQ(textOf(of(form.Combo)), L"00%");
    // Typing into the edit part is a change.
    SendMessageW(edit, WM_CHAR, L'7', 0);
    pump(20);
    EXPECT_EQ(events.back(), "change");
}

TEST_F(Realised, ClicksOnOptionAndCheckBoxesReachTheModel) {
    int optionClicks = 0;
    int checkClicks = 0;
    form.OptionB.onClick = [&] { ++optionClicks; };
    form.Check.onClick = [&] { ++checkClicks; };
    SendMessageW(of(form.OptionB), BM_CLICK, 0, 0);
    SendMessageW(of(form.Check), BM_CLICK, 0, 0);
    pump(20);
    EXPECT_TRUE(form.OptionB.value());
    EXPECT_FALSE(form.OptionA.value());
    EXPECT_EQ(SendMessageW(of(form.OptionA), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(optionClicks, 1);
    EXPECT_EQ(form.Check.value(), 1);
    EXPECT_EQ(SendMessageW(of(form.Check), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(checkClicks, 1);
}

TEST_F(Realised, AButtonsHandlerFindsTheSelectionTheUserLeftInABox) {
    SendMessageW(of(form.Hour), EM_SETSEL, 1, 2);  // an edit tells nobody when only its selection moves
    SendMessageW(of(form.Button), BM_CLICK, 0, 0);
    EXPECT_EQ(std::make_pair(form.Hour.selStart(), form.Hour.selLength()), std::make_pair(1, 1));
}

TEST_F(Realised, TabVisitsVisibleEnabledControlsInOrder) {
    form.Combo.setEnabled(false);
    SetFocus(of(form.Button));
    std::vector<HWND> visited;
    for (int i = 0; i < 5; ++i) {
        MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        FormHost::preTranslate(msg);
        visited.push_back(GetFocus());
    }
    EXPECT_EQ(visited[0], of(form.Hour));
    EXPECT_EQ(visited[1], of(form.OptionA));  // the disabled combo box is passed over
    EXPECT_EQ(visited[2], of(form.OptionB));
    EXPECT_EQ(visited[3], of(form.Check));
    EXPECT_EQ(visited[4], of(form.Button));  // the hidden check box never takes the focus
}

TEST_F(Realised, TimerTicksWhileEnabled) {
    int ticks = 0;
    form.Ticker.onTimer = [&] { ++ticks; };
    pump(100);
    EXPECT_EQ(ticks, 0);
    form.Ticker.setEnabled(true);
    pump(200);
    EXPECT_GE(ticks, 2);
    form.Ticker.setEnabled(false);
    int stopped = ticks;
    pump(100);
    EXPECT_EQ(ticks, stopped);
}

TEST_F(Realised, MouseMovesArriveInTwips) {
    float x = -1;
    float y = -1;
    form.onMouseMove = [&](int, int, float mx, float my) {
        x = mx;
        y = my;
    };
    SendMessageW(host.hwnd(), WM_MOUSEMOVE, 0, 0x202);  // the tray's callback for a left click
    EXPECT_FLOAT_EQ(x, 0x202 * 15.0f);
    EXPECT_FLOAT_EQ(y, 0);
}

TEST_F(Realised, CloseRequestsGoThroughTheModel) {
    bool refuse = true;
    form.onQueryUnload = [&](int& cancel, forms::UnloadMode) { cancel = refuse ? -1 : 0; };
    int before = FormHost::liveWindows();
    SendMessageW(host.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(host.hwnd()));
    refuse = false;
    HWND window = host.hwnd();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(FormHost::liveWindows(), before - 1);
    EXPECT_EQ(form.hWnd(), 0u);
    form.Hour.setText("5");  // a model change after the window went is harmless
    // The last window gone ends the message loop.
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(Realised, TheSavedPositionIsTheNormalOneAndShowingRestoresAMinimisedWindow) {
    SetWindowPos(host.hwnd(), nullptr, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_DOUBLE_EQ(form.left(), 100 * 15.0);
    ShowWindow(host.hwnd(), SW_MINIMIZE);  // the user minimises it: Windows parks it at -32000
    pump(20);
    EXPECT_TRUE(IsIconic(host.hwnd()));
    EXPECT_EQ(form.windowState(), forms::WindowState::Minimized);
    EXPECT_DOUBLE_EQ(form.left(), 100 * 15.0);
    EXPECT_DOUBLE_EQ(form.top(), 120 * 15.0);
    form.show();  // shown by the program (the action, the tray): brought back
    pump(20);
    EXPECT_FALSE(IsIconic(host.hwnd()));
    EXPECT_EQ(form.windowState(), forms::WindowState::Normal);
    RECT r{};
    GetWindowRect(host.hwnd(), &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 120);
    // Hidden while minimised, shown again: restored as well.
    ShowWindow(host.hwnd(), SW_MINIMIZE);
    form.hide();
    form.show();
    pump(20);
    EXPECT_TRUE(IsWindowVisible(host.hwnd()));
    EXPECT_FALSE(IsIconic(host.hwnd()));
}

// The title bar's rectangle on the screen.
RECT titleBar(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    POINT client{0, 0};
    ClientToScreen(hwnd, &client);
    r.bottom = client.y;
    return r;
}

bool onWorkArea(const RECT& r) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom;
}

TEST_F(Realised, APositionOutOfReachIsBroughtOntoTheScreenAndOneOnItIsKept) {
    for (auto [left, top] : {std::pair{600000.0, -300000.0}, std::pair{-480000.0, -480000.0},
                             std::pair{3.0e38, -3.0e38}, std::pair{6000.0, 4500.0}}) {
        form.setLeft(left);
        form.setTop(top);
        pump(20);
        RECT r{};
        GetWindowRect(host.hwnd(), &r);
        EXPECT_TRUE(onWorkArea(r)) << left << ", " << top << ": " << r.left << ", " << r.top;
        EXPECT_TRUE(onWorkArea(titleBar(host.hwnd())));
    }
    RECT kept{};
    GetWindowRect(host.hwnd(), &kept);
    EXPECT_EQ(kept.left, 6000 / 15);  // on the screen: exactly where the model put it
    EXPECT_EQ(kept.top, 4500 / 15);
    EXPECT_DOUBLE_EQ(form.left(), 6000.0);
    // A hidden window moves where it is told and is brought within reach when it shows.
    form.hide();
    form.setLeft(-600000);
    form.show();
    pump(20);
    RECT shown{};
    GetWindowRect(host.hwnd(), &shown);
    EXPECT_TRUE(onWorkArea(shown));
}

// Centred on the work area; one taller than it is made to fit only when a control follows its
// bottom edge, otherwise it keeps its height (its last row whole), its top on the work area.
TEST(FirstShow, AWindowTallerThanTheWorkAreaShrinksOnlyWhenItsControlsFollowItsBottomEdge) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int workHeight = work.bottom - work.top;
    RECT nonClient{0, 0, 0, 0};
    AdjustWindowRectEx(&nonClient, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, 0);
    // A little taller than the work area, not so tall that the system's largest window size cuts it.
    int taller = workHeight + 8 - (nonClient.bottom - nonClient.top);
    using Follow = forms::Control::Follow;
    struct Row {
        int clientHeight;  // pixels at 96 DPI
        Follow follow;
        bool fitted;  // made as tall as the work area; otherwise its client area is whole
    } rows[] = {
        {taller, Follow::None, false},
        {taller, Follow::Move, true},
        {287, Follow::None, false},
    };
    for (const Row& r : rows) {
        forms::Form form("Form_Tall", "Tall", 2880, r.clientHeight * 15);
        forms::CommandButton last{form, "Last", {120, r.clientHeight * 15 - 375, 2655, 255}, "Справка"};
        last.followBottom = r.follow;
        FormHost host{form, GetModuleHandleW(nullptr), {}};
        host.create();
        RECT frame{};
        RECT client{};
        GetWindowRect(host.hwnd(), &frame);
        GetClientRect(host.hwnd(), &client);
        int height = frame.bottom - frame.top;
        EXPECT_EQ(r.fitted ? height : client.bottom, r.fitted ? workHeight : r.clientHeight)
            << r.clientHeight;
        EXPECT_EQ(frame.top, work.top + std::max(0, (workHeight - height) / 2)) << r.clientHeight;
        EXPECT_EQ(frame.left, work.left + (work.right - work.left - (frame.right - frame.left)) / 2);
    }
}

TEST(FirstShow, AWindowHiddenAgainBeforeTheMessageLoopRunsNeverAppears) {
    TestForm form;
    FormHost host{form, GetModuleHandleW(nullptr), {}};
    host.create();
    form.load();
    bool everVisible = false;
    form.show();
    everVisible |= IsWindowVisible(host.hwnd()) != FALSE;
    form.hide();  // start-up that hides the window in the tray
    pump(50);
    everVisible |= IsWindowVisible(host.hwnd()) != FALSE;
    EXPECT_FALSE(everVisible);
    form.show();  // later, from the tray
    pump(50);
    EXPECT_TRUE(IsWindowVisible(host.hwnd()));
}

TEST_F(Realised, ARegionalSettingsChangeReachesTheModel) {
    int changes = 0;
    form.onRegionalSettingsChanged = [&] { ++changes; };
    SendMessageW(host.hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    SendMessageW(host.hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"));
    EXPECT_EQ(changes, 1);
}

TEST_F(Realised, ScreenReadersFindEachInputsName) {
    // The label that names a box stands just before it in the windows' order, where the system
    // looks for an edit's name; the label still lies under the box where they overlap.
    EXPECT_EQ(GetWindow(of(form.Hour), GW_HWNDPREV), of(form.HourLabel));
    RECT box{};
    GetWindowRect(of(form.Hour), &box);
    MapWindowPoints(nullptr, of(form.HourLabel), reinterpret_cast<POINT*>(&box), 2);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(of(form.HourLabel), region), ERROR);
    EXPECT_FALSE(PtInRegion(region, box.left + 1, box.bottom - 1));  // the box's last row is the box's
    DeleteObject(region);
    // An input without a label answers with a name of its own, as a combo box with its value.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        // The answer reaches the asker through COM's marshalling of IAccessible, which Wine's
        // 64-bit prefix lacks: there even the system's own object cannot make the round trip.
        IAccessible* standard = nullptr;
        IAccessible* back = nullptr;
        CreateStdAccessibleObject(of(form.Hour), OBJID_CLIENT, IID_IAccessible,
                                  reinterpret_cast<void**>(&standard));
        LRESULT handed = standard ? LresultFromObject(IID_IAccessible, 0, standard) : 0;
        bool roundTrip = handed > 0 && SUCCEEDED(ObjectFromLresult(handed, IID_IAccessible, 0,
                                                                   reinterpret_cast<void**>(&back)));
        if (back) {
            back->Release();
        }
        if (standard) {
            standard->Release();
        }
        if (!roundTrip) {
            CoUninitialize();
            GTEST_SKIP() << "this system cannot hand an accessible object over at all";
        }
    }
    IAccessible* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(of(form.Combo), static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    BSTR value = nullptr;
    VARIANT role{};
    EXPECT_EQ(object->get_accName(self, &name), S_OK);
    EXPECT_EQ(std::wstring(name ? name : L""), L"Громкость");
    EXPECT_EQ(object->get_accValue(self, &value), S_OK);
    EXPECT_EQ(std::wstring(value ? value : L""), L"50%");
    object->get_accRole(self, &role);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_COMBOBOX);
    SysFreeString(name);
    SysFreeString(value);
    object->Release();
    CoUninitialize();
}

// Where the system's property service takes the names, every input without a label of its own
// (the combo box and the inner edit where the focus lands) is named through it at a screen
// reader's first question, the system's own object answers, and the names go with the windows.
TEST_F(Realised, TheSystemsPropertyServiceNamesTheInputs) {
    struct Service : AccessibleProperties {
        std::vector<std::tuple<HWND, std::wstring, bool>> given;
        std::vector<HWND> cleared;
        bool annotate(HWND control, const AccessibleFacts& facts) override {
            given.emplace_back(control, facts.name, facts.comboBox);
            return true;
        }
        void clear(HWND control) override { cleared.push_back(control); }
    } service;
    host.useAccessibleProperties(service);
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    ASSERT_TRUE(GetComboBoxInfo(of(form.Combo), &parts));
    EXPECT_EQ(SendMessageW(parts.hwndItem, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
    SendMessageW(of(form.Hour), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
    using Given = std::tuple<HWND, std::wstring, bool>;
    EXPECT_EQ(service.given, (std::vector<Given>{{of(form.Combo), L"Громкость", true},
                                                 {parts.hwndItem, L"Громкость", false}}));
    host.destroy();
    EXPECT_EQ(service.cleared, (std::vector<HWND>{parts.hwndItem, parts.hwndCombo}));
}

// The machine waking (the automatic resume and the one the user caused) and the clock being set
// reach the model, hidden window or not; going to sleep does not.
TEST_F(Realised, WakingAndASetClockReachTheModel) {
    int resumes = 0;
    int timeChanges = 0;
    form.onSystemResume = [&] { ++resumes; };
    form.onTimeChange = [&] { ++timeChanges; };
    form.hide();
    EXPECT_EQ(SendMessageW(host.hwnd(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0), TRUE);
    EXPECT_EQ(resumes, 0);
    SendMessageW(host.hwnd(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    SendMessageW(host.hwnd(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    EXPECT_EQ(resumes, 2);
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_TIMECHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
    EXPECT_EQ(timeChanges, 1);
}

// A hidden window's controls are left alone while the model shows and hides them (the tray's
// blinking indicator costs nothing); shown again, the window shows each as the model has it.
TEST_F(Realised, AHiddenWindowsControlsCatchUpWhenItIsShown) {
    auto styleVisible = [&](const forms::Control& c) {
        return (GetWindowLongW(of(c), GWL_STYLE) & WS_VISIBLE) != 0;
    };
    form.hide();
    pump(20);
    form.Check.setVisible(false);
    form.Hidden.setVisible(true);
    form.Check.setVisible(true);
    form.Check.setVisible(false);
    EXPECT_TRUE(styleVisible(form.Check));
    EXPECT_FALSE(styleVisible(form.Hidden));
    form.show();
    pump(50);
    EXPECT_FALSE(IsWindowVisible(of(form.Check)));
    EXPECT_TRUE(IsWindowVisible(of(form.Hidden)));
    form.Check.setVisible(true);  // shown, at once
    EXPECT_TRUE(IsWindowVisible(of(form.Check)));
}

// A coloured square that blinks is painted in its two states instead of being shown and hidden
// (the system would move a window and repaint what lies under it twice a second): the screen
// shows what the model has, whoever paints, and the button above its edge keeps its own pixels.
TEST_F(Realised, ABlinkingSquareIsPaintedAndTheScreenFollowsTheModel) {
    HWND square = of(form.Square);
    RECT own{};
    RECT button{};
    RECT overlap{};
    GetWindowRect(square, &own);
    GetWindowRect(of(form.Button), &button);
    ASSERT_TRUE(IntersectRect(&overlap, &own, &button));
    POINT middle{(own.left + own.right) / 2, (own.top + own.bottom) / 2};
    POINT edge{overlap.left, middle.y};
    ScreenToClient(host.hwnd(), &middle);
    ScreenToClient(host.hwnd(), &edge);
    HDC dc = GetDC(host.hwnd());
    auto at = [&](POINT p) { return GetPixel(dc, p.x, p.y); };
    auto repaintAll = [&] {
        RedrawWindow(host.hwnd(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    const COLORREF lit = RGB(0, 0, 192);
    const COLORREF background = GetSysColor(COLOR_BTNFACE);
    const COLORREF buttonEdge = at(edge);
    ASSERT_NE(buttonEdge, lit);

    EXPECT_EQ(at(middle), background);
    for (int blink = 0; blink < 2; ++blink) {
        form.Square.setVisible(true);
        EXPECT_EQ(at(middle), lit);
        EXPECT_EQ(at(edge), buttonEdge);
        form.Square.setVisible(false);
        EXPECT_EQ(at(middle), background);
        EXPECT_EQ(at(edge), buttonEdge);
    }
    EXPECT_TRUE(IsWindowVisible(square));  // never shown or hidden
    form.Square.setVisible(true);
    repaintAll();
    EXPECT_EQ(at(middle), lit);
    form.Square.setVisible(false);
    repaintAll();
    EXPECT_EQ(at(middle), background);
    // Hidden with its window, it blinks unseen; shown again, it shows the model's state.
    form.hide();
    pump(20);
    form.Square.setVisible(true);
    form.show();
    pump(50);
    EXPECT_EQ(at(middle), lit);
    EXPECT_EQ(at(edge), buttonEdge);
    // With a high-contrast theme (switched on while the program runs), it is lit in the theme's
    // highlight, which stands out on every such theme's background.
    detail::highContrast = [] { return true; };
    SendMessageW(host.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
    pump(20);
    EXPECT_EQ(at(middle), GetSysColor(COLOR_HIGHLIGHT));
    detail::highContrast = &detail::systemHighContrast;
    // A caption makes it a label like any other: shown and hidden.
    form.Square.setCaption("1");
    form.Square.setVisible(false);
    EXPECT_FALSE(IsWindowVisible(square));
    ReleaseDC(host.hwnd(), dc);
}

// What a row posts into the open menu, read by its loop: the messages, with one modifier key held
// meanwhile (0: none); then the menu is taken away, as the Start menu or a switch does.
struct MenuInput {
    std::vector<std::pair<UINT, WPARAM>> messages;
    int held;
    HWND window;
    int ticks = 0;
}* menuInput = nullptr;

void CALLBACK inputIntoTheMenu(HWND, UINT, UINT_PTR, DWORD) {
    BYTE keys[256] = {};
    if (menuInput->ticks++ % 2 == 0) {
        if (menuInput->held) {
            keys[menuInput->held] = 0x80;
        }
        SetKeyboardState(keys);
        for (auto [message, key] : menuInput->messages) {
            LPARAM context = message == WM_SYSKEYDOWN ? LPARAM(1) << 29 : 0;  // Alt held
            PostMessageW(menuInput->window, message, key,
                         message == WM_LBUTTONDOWN ? MAKELPARAM(190, 280) : context | 1);
        }
    } else {
        SetKeyboardState(keys);
        EndMenu();
    }
}

TEST_F(Realised, APopupMenuTellsEscAloneFromEveryOtherWayItCloses) {
    struct Row {
        const char* name;
        std::vector<std::pair<UINT, WPARAM>> messages;
        int held;
        bool byEscape;
    };
    const Row rows[] = {
        {"Esc", {{WM_KEYDOWN, VK_ESCAPE}}, 0, true},
        {"taken away before any input", {}, 0, false},
        {"Down, then Esc", {{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_ESCAPE}}, 0, true},
        {"the Windows key", {{WM_KEYDOWN, VK_LWIN}}, VK_LWIN, false},
        {"Alt+Tab", {{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, VK_TAB}}, VK_MENU, false},
        {"Alt+Esc", {{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, VK_ESCAPE}}, VK_MENU, false},
        {"Ctrl+Esc", {{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, VK_ESCAPE}}, VK_CONTROL, false},
        {"Shift+Esc", {{WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, VK_ESCAPE}}, VK_SHIFT, false},
        {"Esc, the Windows key held", {{WM_KEYDOWN, VK_ESCAPE}}, VK_RWIN, false},
        {"a click elsewhere", {{WM_LBUTTONDOWN, MK_LBUTTON}}, 0, false},
    };
    for (const Row& row : rows) {
        MenuInput input{row.messages, row.held, host.hwnd()};
        menuInput = &input;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, inputIntoTheMenu);
        float x = 0, y = 0;
        bool byEscape = !row.byEscape;
        EXPECT_EQ(host.popupMenu(form.Popup, 0, &x, &y, nullptr, byEscape), nullptr) << row.name;
        KillTimer(nullptr, timer);
        pump(20);  // what the menu left unread
        EXPECT_EQ(byEscape, row.byEscape) << row.name;
    }
}

}  // namespace
}  // namespace tivora::win32
