// "Загружать программу при загрузке Windows": the system's reg tool and its two command lines.
#include <gtest/gtest.h>

#include "fakes/main_window_fixture.h"

namespace tivora {
namespace {

using Autostart = fakes::MainWindowFixture;

const std::string add =
    "reg.exe add \"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\" "
    "/v \"Tivora!!! v.1.1\" /t REG_SZ /d \"\\\"C:\\Program Files\\Tivora\\Tivora.exe\\\"\" /f";
const std::string remove =
    "reg.exe delete \"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\" "
    "/v \"Tivora!!! v.1.1\" /f";

TEST_F(Autostart, TickingAddsTheQuotedPathAndUntickingOrGreyingRemovesItWithAnEarlierVersionsValue) {
    form.setCaption("Tivora!!! v.1.1");
    const std::string ours = "C:\\Program Files\\Tivora\\Tivora.exe";
    fake.runKey.programFiles = {{ours, "C:\\PROGRAM FILES\\TIVORA\\TIVORA.EXE"},
                                {"\\\\server\\share\\Tivora.exe", "C:\\PROGRAM FILES\\TIVORA\\TIVORA.EXE"},
                                {"C:\\PROGRA~1\\Tivora\\Tivora.exe", "C:\\PROGRAM FILES\\TIVORA\\TIVORA.EXE"},
                                {"D:\\Tivora\\Tivora.exe", "D:\\TIVORA\\TIVORA.EXE"}};
    struct Row {
        platform::RunKey::Value value;
        std::string deletedAs;  // the name as reg gets it; empty: left alone
    };
    const Row rows[] = {
        {{"Tivora!!! v.1.0", "c:\\program files\\TIVORA\\tivora.EXE"}, "\"Tivora!!! v.1.0\""},
        {{"tivora!!! V.1.1", "\"" + ours + "\""}, ""},  // our own, which the add and delete are for
        {{"Tivora elsewhere", "\"D:\\Tivora\\Tivora.exe\""}, ""},
        {{"Other", "\"" + ours + ".bak\" /x"}, ""},
        {{"Tivora by the share", "\"\\\\server\\share\\Tivora.exe\""}, "\"Tivora by the share\""},
        {{"Tivora short", "C:\\PROGRA~1\\Tivora\\Tivora.exe"}, "\"Tivora short\""},
        {{"Tivora /min", ours + " /min"}, "\"Tivora /min\""},
        {{"Tivora \"x\"", "\"" + ours + "\" \"/x\""}, "\"Tivora \\\"x\\\"\""},
        {{"Tivora\\\"", "\"" + ours + "\""}, "\"Tivora\\\\\\\"\""},
    };
    std::vector<std::string> others;
    for (const Row& row : rows) {
        fake.runKey.run.push_back(row.value);
        if (!row.deletedAs.empty()) {
            others.push_back(
                "reg.exe delete \"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\" "
                "/v " +
                row.deletedAs + " /f");
        }
    }
    std::vector<std::string> expected;
    for (const std::string& own : {add, remove, remove}) {
        expected.push_back(own);
        expected.insert(expected.end(), others.begin(), others.end());
    }
    form.Check_AutoStart.click();
    form.Check_AutoStart.click();
    form.Check_AutoStart.setValue(2);
    EXPECT_EQ(fake.processes.systemToolsStarted, expected);
    // Never by a bare command line "reg ...", which Windows would search the program's folder and
    // the current folder for first.
    EXPECT_TRUE(fake.processes.started.empty());
    EXPECT_NE(fake.transcript.front().find("(style 2)"), std::string::npos);
}

TEST_F(Autostart, AStartThatFailsIsReportedWithItsLine) {
    form.setCaption("Tivora!!! v.1.1");
    fake.processes.startFailure = err::FileNotFound;
    form.Check_AutoStart.setValue(1);
    form.Check_AutoStart.setValue(0);
    ASSERT_EQ(fake.boxes.messages.size(), 2u);
    EXPECT_EQ(fake.boxes.messages[0].text,
              "Ошибка функции Check_AutoStart_Click№53, 'Файл не найден', строка 3");
    EXPECT_EQ(fake.boxes.messages[1].text,
              "Ошибка функции Check_AutoStart_Click№53, 'Файл не найден', строка 4");
    EXPECT_EQ(form.Check_AutoStart.value(), 0);
}

// The start-up with a saved tick or none, as Windows' startup list and Run key stand: the box
// shows what Windows will do at logon, and loading never overrides the user's choice in Task
// Manager; the user's own tick switches the start on in both places.
TEST_F(Autostart, AtStartUpTheBoxShowsWhatWindowsWillDoAndOnlyTheUsersTickChangesIt) {
    const std::string switchOn =
        "reg.exe delete "
        "\"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run\" "
        "/v \"Tivora!!! v.1.1\" /f";
    const platform::RunKey::Value ours{"Tivora!!! v.1.1", "\"C:\\Program Files\\Tivora\\Tivora.exe\""};
    struct Row {
        const char* name;
        int saved;
        bool valueThere, switchedOff;
        int shown;
        std::vector<std::string> tools;  // at start-up, and then after the user's tick
    };
    const Row rows[] = {
        {"a saved tick registers again", 1, false, false, 1, {add}},
        {"switched off in Task Manager", 1, true, true, 0, {add, switchOn}},
        {"switched on again in Task Manager", 0, true, false, 1, {}},
        {"no tick, and switched off", 0, true, true, 0, {add, switchOn}},
        {"no tick, no value", 0, false, false, 0, {add}},
    };
    ini.Settings_File = "C:\\Program Files\\Tivora\\Settings.ini";
    fake.files.disk.files["C:\\Program Files\\Tivora\\Справка.txt"] = "";
    for (const Row& row : rows) {
        form.Check_AutoStart.setValue(row.saved);
        ini.Settings(INI_Functions::Save, form);
        fake.runKey.run = row.valueThere ? std::vector{ours} : std::vector<platform::RunKey::Value>{};
        fake.runKey.switchedOff =
            row.switchedOff ? std::vector<std::string>{"TIVORA!!! v.1.1"} : std::vector<std::string>{};
        fake.processes.systemToolsStarted.clear();
        Form_Main next(system, reporter, ini);
        next.setView(&view);
        next.load();
        EXPECT_EQ(next.Check_AutoStart.value(), row.shown) << row.name;
        if (row.shown == 0) {
            next.Check_AutoStart.click();  // the user ticks it
        }
        EXPECT_EQ(fake.processes.systemToolsStarted, row.tools) << row.name;
        EXPECT_TRUE(fake.boxes.messages.empty()) << row.name;
    }
}

}  // namespace
}  // namespace tivora
