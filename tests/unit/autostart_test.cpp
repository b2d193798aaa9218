// "Загружать программу при загрузке Windows": the system's reg tool and its two command lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

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
// Beside another copy's value, ours is named with our folder too (the same command lines).
const std::string beside = "Tivora!!! v.1.1 (C:\\Program Files\\Tivora)";
std::string besideIt(std::string line) { return line.replace(line.find("Tivora!!! v.1.1\""), 15, beside); }

TEST_F(Autostart, TickingAddsTheQuotedPathAndUntickingOrGreyingRemovesItWithAnEarlierVersionsValue) {
    form.setCaption("Tivora!!! v.1.1");
    const std::string ours = "C:\\Program Files\\Tivora\\Tivora.exe";
    const std::map<std::string, std::string> keys{
        {ours, "C:\\PROGRAM FILES\\TIVORA\\TIVORA.EXE"},
        {"C:\\PROGRAM FILES\\TIVORA\\TIVORA.EXE", "C:\\PROGRAM FILES\\TIVORA\\TIVORA.EXE"},
        {"\\\\server\\share\\Tivora.exe", "C:\\PROGRAM FILES\\TIVORA\\TIVORA.EXE"},
        {"C:\\PROGRA~1\\Tivora\\Tivora.exe", "C:\\PROGRAM FILES\\TIVORA\\TIVORA.EXE"},
        {"D:\\Tivora\\Tivora.exe", "D:\\TIVORA\\TIVORA.EXE"}};
    struct Row {
        platform::RunKey::Value value;
        std::string deletedAs;  // the name as reg gets it; empty: left alone
        bool ourKey = true;     // false: our own path reaches no file key, so the text decides
        bool besideAnother = false;
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
        {{"Tivora\\", "\"" + ours + "\""}, "\"Tivora\\\\\""},
        {{"Tivora by its text", "\"C:\\PROGRAM FILES\\TIVORA\\TIVORA.EXE\""},
         "\"Tivora by its text\"",
         false},
        {{"Tivora!!! v.1.1", "\"D:\\Tivora\\Tivora.exe\""}, "", true, true},  // another copy's stays
        {{beside, "\"" + ours + "\""}, "", true, true},                       // ours kept beside it
        {{"Tivora!!! v.1.1", "\"E:\\Gone\\Tivora.exe\""}, ""},                // a copy no longer there
    };
    for (const Row& row : rows) {
        fake.runKey.run = {row.value};
        fake.runKey.programFiles = keys;
        if (!row.ourKey) {
            fake.runKey.programFiles.erase(ours);
        }
        fake.processes.systemToolsStarted.clear();
        std::vector<std::string> expected;
        for (const std::string& own : {add, remove, remove}) {
            expected.push_back(row.besideAnother ? besideIt(own) : own);
            if (!row.deletedAs.empty()) {
                expected.push_back(
                    "reg.exe delete \"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\" "
                    "/v " +
                    row.deletedAs + " /f");
            }
        }
        form.Check_AutoStart.click();
        form.Check_AutoStart.click();
        form.Check_AutoStart.setValue(2);
        EXPECT_EQ(fake.processes.systemToolsStarted, expected) << row.value.name;
        form.Check_AutoStart.setValue(0);
    }
    // Never by a bare command line "reg ...", which Windows would search the program's folder and
    // the current folder for first.
    EXPECT_TRUE(fake.processes.started.empty());
    EXPECT_NE(fake.transcript.front().find("(style 2)"), std::string::npos);
}

TEST_F(Autostart, AStartThatFailsIsReportedWithItsLine) {
    form.setCaption("Tivora!!! v.1.1");
    fake.processes.startFailure = err::FileNotFound;
    fake.runKey.switchedOff = {"Tivora!!! v.1.1"};  // outside the settings load, the user's tick still acts
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
        std::vector<std::string> tools;  // at start-up, then as the user unticks (if ticked) and ticks
        bool cutShort = false;           // no help file: start-up ends before its last steps
        bool besideAnother = false;      // another copy's value under the caption, ours beside it
    };
    const Row rows[] = {
        {"a saved tick registers again", 1, false, false, 1, {add, remove, add}},
        {"switched off in Task Manager", 1, true, true, 0, {add, switchOn}},
        {"switched on again in Task Manager", 0, true, false, 1, {remove, add}},
        {"no tick, and switched off", 0, true, true, 0, {add, switchOn}},
        {"no tick, no value", 0, false, false, 0, {add}},
        {"switched off, start-up cut short", 1, true, true, 0, {add, switchOn}, true},
        {"switched on again, start-up cut short", 0, true, false, 1, {remove, add}, true},
        {"beside another copy, switched off", 1, true, true, 0, {add, switchOn}, false, true},
    };
    fake.runKey.programFiles = {{"D:\\Tivora\\Tivora.exe", "D:\\TIVORA\\TIVORA.EXE"}};
    ini.Settings_File = "C:\\Program Files\\Tivora\\Settings.ini";
    const std::string help = "C:\\Program Files\\Tivora\\Справка.txt";
    for (const Row& row : rows) {
        form.Check_AutoStart.setValue(row.saved);
        ini.Settings(INI_Functions::Save, form);
        fake.runKey.run = row.valueThere ? std::vector{ours} : std::vector<platform::RunKey::Value>{};
        fake.runKey.switchedOff =
            row.switchedOff ? std::vector<std::string>{"TIVORA!!! v.1.1"} : std::vector<std::string>{};
        std::vector<std::string> tools = row.tools;
        if (row.besideAnother) {
            fake.runKey.run = {{"Tivora!!! v.1.1", "\"D:\\Tivora\\Tivora.exe\""}, {beside, ours.command}};
            fake.runKey.switchedOff = {beside};
            std::transform(tools.begin(), tools.end(), tools.begin(), besideIt);
        }
        if (row.cutShort) {
            fake.files.disk.files.erase(help);
        } else {
            fake.files.disk.files[help] = "";
        }
        fake.processes.systemToolsStarted.clear();
        fake.boxes.messages.clear();
        Form_Main next(system, reporter, ini);
        next.setView(&view);
        next.load();
        EXPECT_EQ(next.Check_AutoStart.value(), row.shown) << row.name;
        if (row.shown == 1) {
            next.Check_AutoStart.click();  // the user unticks it
        }
        next.Check_AutoStart.click();  // and ticks it
        EXPECT_EQ(fake.processes.systemToolsStarted, tools) << row.name;
        EXPECT_EQ(fake.boxes.messages.size(), row.cutShort ? 1u : 0u) << row.name;  // the missing file's
    }
}

}  // namespace
}  // namespace tivora
