// The three actions, the foreground change before them, and the option buttons.
#include <gtest/gtest.h>

#include "fakes/main_window_fixture.h"

namespace tivora {
namespace {

using Actions = fakes::MainWindowFixture;

TEST_F(Actions, VolumeLevelsFollowThePercentageWithTheUsersSeparator) {
    form.Option_Volume.setValue(true);
    const std::vector<std::pair<std::string, std::string>> levels{{"50%", "32767,5"}, {"00%", "0"},
                                                                  {"10%", "6553,5"},  {"33%", "21626,55"},
                                                                  {"66%", "43253,1"}, {"75%", "49151,25"}};
    for (const auto& [percent, level] : levels) {
        form.Combo_Percents.setText(percent);
        form.Command_Test.click();
        ASSERT_FALSE(fake.processes.started.empty());
        EXPECT_EQ(fake.processes.started.back(),
                  "\"C:\\Program Files\\Tivora\\volume.exe\" setsysvolume " + level);
    }
    EXPECT_EQ(fake.transcript.back().substr(fake.transcript.back().size() - 9), "(style 2)");
    form.numberFormat = NumberFormat::english();
    form.Combo_Percents.setText("50%");
    form.Command_Test.click();
    EXPECT_EQ(fake.processes.started.back(),
              "\"C:\\Program Files\\Tivora\\volume.exe\" setsysvolume 32767.5");
}

TEST_F(Actions, MissingVolumeToolIsReportedUnderVAction) {
    form.Option_Volume.setValue(true);
    fake.processes.startFailure = err::FileNotFound;
    form.TrayMenu_Command_Test.click();
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции vAction№53, 'Файл не найден', строка 5");
    EXPECT_EQ(fake.boxes.messages[0].title, "Tivora!!!");
}

TEST_F(Actions, AnEmptyPercentageCannotBeReadAndIsReported) {
    form.Option_Volume.setValue(true);
    form.Combo_Percents.setText("");
    form.Command_Test.click();
    EXPECT_TRUE(fake.processes.started.empty());
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции vAction№13, 'Несоответствие типа', строка 5");
}

TEST_F(Actions, MelodyOpensThroughTheShellAndShowsTheHiddenWindow) {
    form.Option_Melody.setValue(true);
    form.hide();
    form.TrayMenu_Command_View.setCaption("Показать");
    form.TrayMenu_Command_Test.click();
    EXPECT_TRUE(form.visible());
    EXPECT_EQ(form.TrayMenu_Command_View.caption(), "Показать");
    EXPECT_EQ(fake.transcript.back(),
              "ShellExecuteW 0x10010 Open C:\\Program Files\\Tivora\\melody.mp3 '' '' 1");
    EXPECT_TRUE(fake.boxes.messages.empty());  // whatever the shell answers, nothing is reported
}

TEST_F(Actions, MessageShowsTheTextEvenWhenEmpty) {
    form.Text_Message.setText("");
    form.Command_Test.click();
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text, "");
    EXPECT_EQ(fake.boxes.messages[0].title, "Tivora!!!");
}

TEST_F(Actions, ForegroundChangeComesBeforeEachAction) {
    form.Check_FullScreen_Brake.setValue(1);
    for (auto* option : {&form.Option_Melody, &form.Option_Message, &form.Option_Volume}) {
        option->setValue(true);
        fake.transcript.clear();
        form.Command_Test.click();
        ASSERT_GE(fake.transcript.size(), 3u) << option->name();
        EXPECT_EQ(fake.transcript[0], "FindWindowA (null) Tivora!!!");
        EXPECT_EQ(fake.transcript[1], "SetForegroundWindow 0x20020");
    }
    // With no window of that title, the action goes on without it.
    fake.windows.topLevelWindows.clear();
    fake.transcript.clear();
    form.Command_Test.click();
    EXPECT_EQ(fake.transcript.size(), 2u);
    EXPECT_EQ(fake.transcript[1].rfind("Start ", 0), 0u);
}

TEST_F(Actions, TheBrakeTakesTheForegroundAsWindowsAllowsItOrFlashes) {
    struct Row {
        const char* name;
        bool othersInFront, lastInputOurs, locked, hung;
        const char* asked;  // after the search: set, ask the one in front, join, set, part, flash, message
        bool anotherCopyFirst = false;  // the search finds another copy's window
    };
    const Row rows[] = {
        {"no other program in front", false, false, false, false, "SM"},
        {"our own click came last", true, true, false, false, "SM"},
        {"the user works in another program", true, false, false, false, "SQJSPM"},
        {"that program locked the foreground", true, false, true, false, "SQJSPFM"},
        {"that program hangs", true, false, false, true, "SQFM"},
        {"another copy's window found first: this copy's own taken", false, false, false, false, "AM", true},
    };
    form.Check_FullScreen_Brake.setValue(1);
    form.applicationWindow = 0x80080;
    for (const Row& row : rows) {
        fake.windows.ofAnotherCopy = {row.anotherCopyFirst ? 0x20020u : 0u};
        fake.windows.othersInFront = row.othersInFront;
        fake.windows.lastInputOurs = row.lastInputOurs;
        fake.windows.foregroundLocked = row.locked;
        fake.windows.inFrontHung = row.hung;
        fake.transcript.clear();
        form.Command_Test.click();
        std::string asked;
        const std::string inFront = fakes::hex(fake.windows.inFront);
        const std::string probe = "SendMessageTimeoutW " + inFront + " 0 ";  // WM_NULL, then the bound
        for (const std::string& line : fake.transcript) {
            if (line.rfind(probe, 0) == 0) {  // bounded, and well inside the second the action has
                int bound = std::stoi(line.substr(probe.size()));
                EXPECT_TRUE(bound > 0 && bound <= 300) << row.name << ": " << line;
            }
            asked += line == "SetForegroundWindow 0x20020"                ? "S"
                     : line == "SetForegroundWindow 0x80080"              ? "A"  // this copy's own
                     : line.rfind(probe, 0) == 0                          ? "Q"
                     : line == "AttachThreadInput " + inFront             ? "J"
                     : line == "DetachThreadInput"                        ? "P"
                     : line == "FlashWindowEx " + fakes::hex(form.hWnd()) ? "F"
                     : line.rfind("MessageBox Tivora!!!:", 0) == 0        ? "M"
                                                                          : "";
        }
        EXPECT_EQ(asked, row.asked) << row.name;
        EXPECT_EQ(fake.transcript.size(), asked.size() + 1) << row.name;  // and nothing else
        EXPECT_FALSE(fake.windows.inputJoined) << row.name;
        EXPECT_FALSE(fake.windows.waitedOnHungProgram) << row.name;  // the message comes at once
    }
}

TEST_F(Actions, OnlyTheTriggersMessageStandsAboveOtherWindows) {
    form.Command_Test.click();
    form.Text_Minute.setText("00");
    clickStart();
    tickAt({2026, 12, 7, 23, 0, 5});
    ASSERT_EQ(fake.boxes.messages.size(), 2u);
    EXPECT_FALSE(fake.boxes.messages[0].onTop);
    EXPECT_TRUE(fake.boxes.messages[1].onTop);
}

TEST_F(Actions, WithNoOptionSelectedOnlyTheWindowShows) {
    form.Option_Message.setValue(false);
    form.hide();
    form.Command_Test.click();
    EXPECT_TRUE(form.visible());
    EXPECT_TRUE(fake.transcript.empty());
}

TEST_F(Actions, OptionButtonsEnableTheInputOfTheirAction) {
    form.Option_Melody.click();
    EXPECT_FALSE(form.Text_Message.enabled());
    EXPECT_FALSE(form.Combo_Percents.enabled());
    form.Option_Volume.click();
    EXPECT_FALSE(form.Text_Message.enabled());
    EXPECT_TRUE(form.Combo_Percents.enabled());
    form.Option_Message.click();
    EXPECT_TRUE(form.Text_Message.enabled());
    EXPECT_FALSE(form.Combo_Percents.enabled());
}

}  // namespace
}  // namespace tivora
