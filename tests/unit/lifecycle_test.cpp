// Start-up, the close box, the real shut-down and the tray's reactions, on the fake system.
#include <gtest/gtest.h>

#include "fakes/start_up_fixture.h"

namespace tivora {
namespace {

using Lifecycle = fakes::StartUpFixture;
const std::string& folder = fakes::StartUpFixture::folder;

TEST_F(Lifecycle, StartUpPutsTheIconCaptionSettingsAndHelpInPlace) {
    setHelpFile("a\r\n\r\nb\r\n");
    setFullSettings({{"Combo_Percents", "Combo_Percents"}});
    startUp();
    EXPECT_EQ(form.caption(), "Tivora!!! v.1.1");
    ASSERT_EQ(notifyCalls(platform::notifyMessage::add), 1);
    EXPECT_STREQ(fake.notifyArea.notifyCalls[0].second.szTip.data(), "Tivora!!! v.1.0");
    EXPECT_EQ(fake.notifyArea.notifyCalls[0].second.hWnd, fakes::FakeFormView::handle);
    EXPECT_EQ(fake.notifyArea.notifyCalls[0].second.hIcon, fakes::FakeFormView::icon);
    EXPECT_EQ(ini.Settings_File, folder + "\\Settings.ini");
    EXPECT_EQ(form.Help_Text, "     a\r\n     \r\n     b");
    EXPECT_EQ(form.Combo_Percents.text(), "00%");
    EXPECT_TRUE(form.Form_Loaded);
    EXPECT_FALSE(form.Exit_Requested);
    EXPECT_TRUE(form.visible());
    form.iconChanged();  // made anew at another display scale: the tray shows the new one
    EXPECT_EQ(fake.notifyArea.notifyCalls.back().first, platform::notifyMessage::modify);
    EXPECT_EQ(fake.notifyArea.notifyCalls.back().second.hIcon, fakes::FakeFormView::icon);
}

TEST_F(Lifecycle, TheCaptionIsThereBeforeTheSettingsLoadRunsTheirHandlers) {
    setHelpFile("");
    setFullSettings({{"Check_AutoStart", "1"}});
    std::string captionDuringLoad;
    form.Check_AutoStart.onClick = [&] { captionDuringLoad = form.caption(); };
    startUp();
    EXPECT_EQ(captionDuringLoad, "Tivora!!! v.1.1");
    EXPECT_EQ(form.Help_Text, "");  // an empty help file
    EXPECT_TRUE(form.Form_Loaded);
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(Lifecycle, HelpLinesEndAtCrOrCrLfAndAreIndented) {
    setHelpFile("first\rsecond\r\nthird\nstill third\r\n\r\n\xCA\xEE\xED\xE5\xF6");
    startUp();
    EXPECT_EQ(form.Help_Text, "     first\r\n     second\r\n     third\nstill third\r\n     \r\n     Конец");
}

TEST_F(Lifecycle, AMissingHelpFileEndsStartUpThereButTheWindowComesUp) {
    setFullSettings({{"Combo_Percents", "Combo_Percents"}});
    startUp();
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages.back().text, "Ошибка функции Form_Load№53, 'Файл не найден', строка 10");
    EXPECT_EQ(form.caption(), "Tivora!!! v.1.1");
    EXPECT_EQ(notifyCalls(platform::notifyMessage::add), 1);
    EXPECT_EQ(form.Help_Text, "");
    EXPECT_EQ(form.Combo_Percents.text(), "Combo_Percents");  // the correction did not run
    EXPECT_FALSE(form.Form_Loaded);
    EXPECT_TRUE(form.visible());
}

TEST_F(Lifecycle, TheCloseBoxHidesAndTellsHowOnce) {
    setHelpFile("");
    startUp();
    EXPECT_FALSE(form.requestClose(forms::UnloadMode::ControlMenu));
    EXPECT_FALSE(form.visible());
    EXPECT_EQ(form.TrayMenu_Command_View.caption(), "Показать");
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text,
              "Программа при нажатии на крестик сворачивается. Показать программу - левый клик по значку. "
              "Выход из программы - правый клик по значку.");
    EXPECT_EQ(form.Check_Message_Exit.value(), 1);
    form.TrayMenu_Command_View_Click();
    EXPECT_TRUE(form.visible());
    EXPECT_EQ(form.TrayMenu_Command_View.caption(), "Скрыть");
    EXPECT_FALSE(form.requestClose(forms::UnloadMode::TaskManager));
    EXPECT_FALSE(form.visible());
    EXPECT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_FALSE(view.destroyed);
}

TEST_F(Lifecycle, ExitWhileRunningStopsTheTriggerSavesAndRemovesTheIcon) {
    setHelpFile("");
    startUp();
    fake.clock.time = {2026, 12, 7, 10, 0, 0};
    form.Command_ON_OFF.click();  // running, with a read pending
    form.Text_Hour.setText("21");
    form.TrayMenu_Command_Exit.click();
    EXPECT_TRUE(view.destroyed);
    EXPECT_FALSE(form.Timer_Run.enabled());
    EXPECT_TRUE(fake.timers.pendingTimers.empty());
    EXPECT_EQ(form.Command_ON_OFF.tag(), "0");
    EXPECT_NE(settings().find("Form_Main_Text_Hour=21\r\n"), std::string::npos);
    EXPECT_EQ(notifyCalls(platform::notifyMessage::remove), 1);
    EXPECT_EQ(form.cTray, nullptr);
    EXPECT_TRUE(fake.boxes.messages.empty());
    EXPECT_EQ(fake.transcript.back(), "Release the program folder");  // once saved, and only then
}

TEST_F(Lifecycle, ASessionEndIsLetThroughAndSavesEverything) {
    setHelpFile("");
    startUp();
    form.Check_Minimize.setValue(1);
    form.hide();
    EXPECT_TRUE(form.requestClose(forms::UnloadMode::WindowsSession));
    EXPECT_TRUE(view.destroyed);
    EXPECT_NE(settings().find("Form_Main_Check_Minimize=1\r\n"), std::string::npos);
    EXPECT_NE(settings().find("[Program_Settings]\r\nForm_Left="), std::string::npos);
    EXPECT_EQ(notifyCalls(platform::notifyMessage::remove), 1);
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(Lifecycle, TickedMinimizeStartsRunningAndHidden) {
    setHelpFile("");
    setSettings("");
    form.Check_Minimize.setValue(1);
    startUp();
    fake.timers.runTimers();
    EXPECT_EQ(form.Command_ON_OFF.tag(), "1");
    EXPECT_FALSE(form.visible());
    EXPECT_EQ(form.TrayMenu_Command_View.caption(), "Показать");
    // Showing it again from the tray does not repeat that.
    form.TrayMenu_Command_View_Click();
    form.activated();
    EXPECT_TRUE(form.visible());
    EXPECT_EQ(form.Command_ON_OFF.tag(), "1");
}

TEST_F(Lifecycle, LeftClicksToggleAndTheRightOpensTheMenuWithExitAsDefault) {
    setHelpFile("");
    startUp();
    auto click = [&](int message) { form.mouseMoved(0, 0, message, 0); };
    click(0x201);
    click(0x202);
    EXPECT_FALSE(form.visible());
    click(0x201), click(0x202), click(0x203), click(0x202);  // a double click toggles twice
    EXPECT_FALSE(form.visible());
    click(0x202);
    EXPECT_TRUE(form.visible());
    click(0x204);
    click(0x207), click(0x208), click(0x200);
    EXPECT_TRUE(view.popups.empty());
    EXPECT_TRUE(form.visible());
    view.choose = [&](forms::Menu&) { return &form.TrayMenu_Command_Exit; };
    fake.files.disk.readOnlyFolder = folder;  // while the save's report stands, "Выход" does nothing more
    fake.boxes.onMessage = [&](auto&) {
        if (fake.boxes.messages.size() < 2) form.TrayMenu_Command_Exit.click();
    };
    click(0x205);
    EXPECT_EQ(view.popups, std::vector<std::string>{"flags 2: Скрыть Старт Тест *Выход"});
    EXPECT_TRUE(view.destroyed);                // "Выход" ended the program, without a question
    EXPECT_EQ(fake.boxes.messages.size(), 1u);  // the report once, and no error after it
    EXPECT_EQ(fake.transcript.back(), "PostMessageA 0x30030 0 0 0");
}

TEST_F(Lifecycle, AtEveryDisplayScaleALeftClickTogglesAndOnlyTheRightButtonsReleaseOpensTheMenu) {
    setHelpFile("");
    startUp();
    auto click = [&](int message) { form.mouseMoved(0, 0, message, 0); };
    for (int dpi : fakes::everyDpi) {
        setDpi(dpi);
        view.popups.clear();
        click(0x201);
        click(0x202);
        EXPECT_FALSE(form.visible()) << dpi;
        click(0x201);
        click(0x202);
        EXPECT_TRUE(form.visible()) << dpi;
        for (int message : {0x200, 0x203, 0x204, 0x206, 0x207, 0x208, 0x209}) {
            click(message);
        }
        EXPECT_TRUE(form.visible()) << dpi;
        EXPECT_TRUE(view.popups.empty()) << dpi;
        click(0x205);  // the menu is dismissed
        EXPECT_EQ(view.popups.size(), 1u) << dpi;
    }
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(Lifecycle, ShowingTheWindowWhileItIsDisabledReportsTheFocus) {
    setHelpFile("");
    startUp();
    form.TrayMenu_Command_View_Click();
    form.setEnabled(false);  // the help window is open
    form.TrayMenu_Command_View_Click();
    EXPECT_TRUE(form.visible());
    EXPECT_EQ(form.TrayMenu_Command_View.caption(), "Скрыть");
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text,
              "Ошибка функции TrayMenu_Command_View_Click№5, 'Недопустимый вызов процедуры или недопустимый "
              "аргумент', строка 3");
}

TEST_F(Lifecycle, AMinimisedWindowIsBroughtBackWhenTheProgramShowsIt) {
    setHelpFile("");
    startUp();
    form.windowStateChanged(forms::WindowState::Minimized);  // the user minimised it
    form.Command_Test_Click();  // the action shows the window: it must be seen, not stay minimised
    EXPECT_EQ(form.windowState(), forms::WindowState::Normal);
    form.windowStateChanged(forms::WindowState::Minimized);
    form.TrayMenu_Command_View_Click();  // hidden to the tray from its taskbar button
    EXPECT_FALSE(form.visible());
    form.TrayMenu_Command_View_Click();  // "Показать"
    EXPECT_TRUE(form.visible());
    EXPECT_EQ(form.windowState(), forms::WindowState::Normal);
    EXPECT_EQ(form.TrayMenu_Command_View.caption(), "Скрыть");
}

TEST_F(Lifecycle, AChangedNumberFormatHoldsFromTheMomentWindowsSaysSo) {
    setHelpFile("");
    startUp();
    form.Option_Volume.setValue(true);
    form.Command_Test_Click();
    fake.regional.format = NumberFormat::english();  // the user picks another decimal separator
    form.Command_Test_Click();
    form.regionalSettingsChanged();
    form.Command_Test_Click();
    form.Text_Hour.setText("7.6");  // now a number in the user's format
    EXPECT_EQ(fake.processes.started,
              (std::vector<std::string>{"\"" + folder + "\\volume.exe\" setsysvolume 32767,5",
                                        "\"" + folder + "\\volume.exe\" setsysvolume 32767,5",
                                        "\"" + folder + "\\volume.exe\" setsysvolume 32767.5"}));
    EXPECT_EQ(form.Text_Hour.text(), "7.6");
}

}  // namespace
}  // namespace tivora
