// The tray icon: its record as the shell gets it, its mouse codes, its menu, and staying in the
// notification area when the shell is slow or starts anew.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "fakes/main_window_fixture.h"
#include "tray/tray_icon.h"

namespace tivora {
namespace {

struct Tray : fakes::MainWindowFixture {
    TrayIcon tray{system, reporter};
    std::vector<short> codes;
    Tray() {
        tray.OnIcon = [this](short& code) { codes.push_back(code); };
        tray.setHwnd(0x30030);
        tray.setIcon(0x40040);
    }
};

TEST_F(Tray, MouseMessagesDecodeIntoCodesAtAnyWholeTwipsPerPixel) {
    for (double twipsPerPixel : {15.0, 12.0}) {
        fake.screen.twipsPerPixel = twipsPerPixel;
        codes.clear();
        for (int message = 0x200; message <= 0x209; ++message) {
            tray.CallEvent(static_cast<float>(message * twipsPerPixel), 0.0f);
        }
        EXPECT_EQ(codes, (std::vector<short>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9})) << twipsPerPixel;
    }
}

// At 168 DPI a pixel is 8.571... twips: the codes must not depend on how that rounds.
TEST_F(Tray, EveryMouseMessageDecodesAtEveryDisplayScaleAlsoThroughTheWindowsMouseMove) {
    auto windowsTray = std::make_shared<TrayIcon>(system, reporter);
    windowsTray->OnIcon = [this](short& code) { codes.push_back(code); };
    form.cTray = windowsTray;
    const std::vector<short> everyCode{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (int dpi : fakes::everyDpi) {
        setDpi(dpi);
        double twipsPerPixel = fake.screen.twipsPerPixel;
        codes.clear();
        for (int message = 0x200; message <= 0x209; ++message) {
            tray.CallEvent(static_cast<float>(message * twipsPerPixel), 0.0f);
        }
        EXPECT_EQ(codes, everyCode) << "CallEvent at " << dpi << " DPI";
        codes.clear();
        for (int message = 0x200; message <= 0x209; ++message) {
            form.mouseMoved(0, 0, message, 0);  // as the window layer hands on the shell's callback
        }
        form.mouseMoved(0, 0, 0x202, 1);
        form.mouseMoved(0, 0, 2, 0);  // the pointer on the window's own top row, third pixel
        std::vector<short> expected = everyCode;
        expected.push_back(2);
        EXPECT_EQ(codes, expected) << "mouse moves at " << dpi << " DPI";
    }
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(Tray, APixelBeyondThe32BitRangeIsAnOverflow) {
    setDpi(168);
    tray.CallEvent(1.8e10f, 0.0f);  // 2.1e9 pixels
    EXPECT_EQ(codes.size(), 1u);
    tray.CallEvent(1.9e10f, 0.0f);
    tray.CallEvent(-1.9e10f, 0.0f);
    EXPECT_EQ(codes.size(), 1u);
    ASSERT_EQ(fake.boxes.messages.size(), 2u);
    EXPECT_EQ(fake.boxes.messages[0].text.rfind("Ошибка функции CallEvent№6, ", 0), 0u)
        << fake.boxes.messages[0].text;
}

TEST_F(Tray, OnlyTheTopRowCounts) {
    tray.CallEvent(0x202 * 15.0f, 15.0f);
    EXPECT_TRUE(codes.empty());
    tray.CallEvent(2 * 15.0f, 0.0f);  // the pointer on the window's own top row, third pixel
    EXPECT_EQ(codes, std::vector<short>{2});
}

TEST_F(Tray, AddFillsTheFirstVersionRecord) {
    tray.setToolTipText("Tivora!!! v.1.0");
    tray.Add();
    ASSERT_EQ(fake.notifyArea.notifyCalls.size(), 1u);
    const auto& [message, record] = fake.notifyArea.notifyCalls[0];
    EXPECT_EQ(message, platform::notifyMessage::add);
    EXPECT_EQ(record.cbSize, 88u);
    EXPECT_EQ(record.hWnd, 0x30030u);
    EXPECT_EQ(record.uID, 1u);  // the same at every start, whatever the window
    EXPECT_EQ(record.uFlags, 7u);
    EXPECT_EQ(record.uCallbackMessage, 0x200u);
    EXPECT_EQ(record.hIcon, 0x40040u);
    EXPECT_STREQ(record.szTip.data(), "Tivora!!! v.1.0");
    EXPECT_EQ(record.szTip[16], ' ');
    EXPECT_EQ(record.szTip[63], ' ');
}

TEST_F(Tray, TooltipIsCutTo63CharactersOfTheCodePageAndChangesOnlyOnModify) {
    tray.setToolTipText(std::string(70, 'x'));
    tray.Add();
    EXPECT_EQ(std::strlen(fake.notifyArea.notifyCalls[0].second.szTip.data()), 63u);
    tray.setToolTipText("Ночь ✓");
    EXPECT_EQ(fake.notifyArea.notifyCalls.size(), 1u);
    tray.Modify();
    const auto& [message, record] = fake.notifyArea.notifyCalls[1];
    EXPECT_EQ(message, platform::notifyMessage::modify);
    EXPECT_EQ(record.uFlags, 6u);
    EXPECT_STREQ(record.szTip.data(), "\xCD\xEE\xF7\xFC ?");
}

TEST_F(Tray, DeleteBeforeAddSendsOnlyTheSize) {
    tray.Delete();
    const auto& [message, record] = fake.notifyArea.notifyCalls.at(0);
    EXPECT_EQ(message, platform::notifyMessage::remove);
    EXPECT_EQ(record.cbSize, 88u);
    EXPECT_EQ(record.hWnd, 0u);
    EXPECT_EQ(record.uID, 0u);
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(Tray, AnAddTheShellRefusesIsTriedAgainUntilItTakes) {
    fake.notifyArea.refuseNotifyCalls = 3;  // the add, and the first retry's add and modify
    tray.Add();
    ASSERT_EQ(fake.timers.pendingTimers.size(), 1u);
    fake.timers.runTimers();
    ASSERT_EQ(fake.timers.pendingTimers.size(), 1u);
    fake.timers.runTimers();
    EXPECT_TRUE(fake.timers.pendingTimers.empty());
    EXPECT_EQ(fake.notifyArea.notifyCalls.size(), 4u);
    EXPECT_EQ(fake.notifyArea.notifyCalls.back().first, platform::notifyMessage::add);
    EXPECT_TRUE(fake.boxes.messages.empty());  // nothing is shown to the user
    // A delete stops a pending retry.
    fake.notifyArea.refuseNotifyCalls = 1;
    tray.Delete();
    tray.Add();
    tray.Delete();
    EXPECT_TRUE(fake.timers.pendingTimers.empty());
}

TEST_F(Tray, TheIconComesBackWhenTheNotificationAreaIsMadeAnew) {
    tray.Add();
    fake.notifyArea.recreateNotifyArea();
    ASSERT_EQ(fake.notifyArea.notifyCalls.size(), 2u);
    EXPECT_EQ(fake.notifyArea.notifyCalls[1].first, platform::notifyMessage::add);
    EXPECT_EQ(fake.notifyArea.notifyCalls[1].second.uID, 1u);
    // A new taskbar may stand at another scale: the icon made anew for it is the one put back.
    tray.setIcon(0x40041);
    tray.Modify();
    fake.notifyArea.recreateNotifyArea();
    EXPECT_EQ(fake.notifyArea.notifyCalls.back().second.hIcon, 0x40041u);
    tray.Delete();
    fake.notifyArea.recreateNotifyArea();
    EXPECT_EQ(fake.notifyArea.notifyCalls.size(), 5u);
}

TEST_F(Tray, PopupMenuTakesTheForegroundAndPostsANullMessageAfterTheChosenEntry) {
    std::vector<std::string> order;
    form.TrayMenu_Command_Test.onClick = [&] { order.push_back("Тест clicked"); };
    view.choose = [&](forms::Menu&) {
        order.push_back("menu open after " + fake.transcript.back());
        return &form.TrayMenu_Command_Test;
    };
    tray.CallPopupMenu(form, form.pmnuTray, 2, std::nullopt, std::nullopt, &form.TrayMenu_Command_Exit);
    EXPECT_EQ(order,
              (std::vector<std::string>{"menu open after SetForegroundWindow 0x30030", "Тест clicked"}));
    EXPECT_EQ(fake.transcript.back(), "PostMessageA 0x30030 0 0 0");
    EXPECT_EQ(view.popups, std::vector<std::string>{"flags 2: Скрыть Старт Тест *Выход"});
    EXPECT_TRUE(fake.notifyArea.notifyCalls.empty());
    view.choose = nullptr;  // dismissed with Esc: the focus goes back to the notification area
    tray.CallPopupMenu(form, form.pmnuTray, 2, std::nullopt, std::nullopt, &form.TrayMenu_Command_Exit);
    ASSERT_EQ(fake.notifyArea.notifyCalls.size(), 1u);
    EXPECT_EQ(fake.notifyArea.notifyCalls[0].first, platform::notifyMessage::setFocus);
    EXPECT_EQ(fake.notifyArea.notifyCalls[0].second.uID, tray.record().uID);
    view.dismissedByEscape = false;  // a click, the Windows key, Alt+Tab: the focus stays where it went
    tray.CallPopupMenu(form, form.pmnuTray, 2, std::nullopt, std::nullopt, &form.TrayMenu_Command_Exit);
    EXPECT_EQ(fake.notifyArea.notifyCalls.size(), 1u);
}

}  // namespace
}  // namespace tivora
