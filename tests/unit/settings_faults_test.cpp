// What the disk and other programs refuse: the settings file is afterwards either the old one or
// the whole new one, and the user is told when a change was not kept.
#include <gtest/gtest.h>

#include "fakes/start_up_fixture.h"

namespace tivora {
namespace {

struct SettingsFaults : fakes::StartUpFixture {
    const std::string path = folder + "\\Settings.ini";
    const std::string fresh = path + ".new";
    SettingsFaults() {
        setHelpFile("");
        setFullSettings({{"Text_Hour", "21"}});
        setSettings(settings() + "[Mine]\r\nnote=ours\r\n");  // a section the program does not write
    }
    void TestBody() override {}  // each row of a table runs on a program of its own
};

enum When { AtStart, AtExit, AtSessionEnd };
enum Disk { Writable, ReadOnlyFolder, ReadOnlyFile, Full, FullUnnoticed };
struct Fault {
    const char* name;
    When when;
    int held = 0;  // requests refused by another program's hold (-1: all)
    Disk disk = Writable;
    const char* message{};  // the message to save, when not the design's (a full disk: room for
    int room = 4;           // the old file and the copy's room/2 times its size, not the message)
    int error = 0;          // the reason told; 0: saved, or nothing to tell
};

TEST_F(SettingsFaults, TheFileIsTheOldOneOrTheWholeNewOneAndAFailureIsTold) {
    const std::string z(3000, 'z');
    const Fault faults[] = {
        {"held for the whole start", AtStart, -1, Writable, nullptr, 4, 32},
        {"held for a moment at start", AtStart, 3},
        {"held at «Выход»", AtExit, -1, Writable, nullptr, 4, 32},
        {"held for a moment at «Выход»", AtExit, 5},
        {"a folder that cannot be written", AtExit, 0, ReadOnlyFolder, nullptr, 4, 5},
        {"a file marked read-only: its replacement refused", AtExit, 0, ReadOnlyFile, nullptr, 4, 5},
        {"a full disk at the long message", AtExit, 0, Full, z.c_str(), 4, 112},
        {"a full disk at the switch to UTF-16", AtExit, 0, Full, "Ұйықтау уақыты", 5, 112},
        {"a full disk the profile writer overlooks", AtExit, 0, FullUnnoticed, z.c_str(), 4, 29},
        {"a full disk as the session ends", AtSessionEnd, 0, Full, z.c_str()},
    };
    for (const Fault& f : faults) {
        SettingsFaults t;
        auto& disk = t.fake.files.disk;
        const std::string before = disk.files[t.path];
        auto set = [&] {
            disk.held[t.path] = f.held;
            disk.readOnlyFolder = f.disk == ReadOnlyFolder ? t.folder + "\\" : "";
            disk.readOnly = {f.disk == ReadOnlyFile ? t.path : ""};
            disk.capacity = f.disk >= Full ? f.room * before.size() / 2 + 100 : SIZE_MAX;
            t.fake.files.profile.overlooksWriteErrors = f.disk == FullUnnoticed;
            t.form.Text_Message.setText(f.message ? f.message : t.form.Text_Message.text());
        };
        f.when == AtStart ? set() : void();
        t.startUp();
        t.form.Text_Minute.setText("45");
        f.when == AtStart ? void() : set();
        f.when == AtSessionEnd ? t.form.sessionEnding() : t.form.TrayMenu_Command_Exit_Click();
        const std::string after = disk.files[t.path];
        if (f.error || f.when == AtSessionEnd) {
            EXPECT_EQ(after, before) << f.name;
        } else {
            EXPECT_NE(after.find("Form_Main_Text_Minute=45\r\n"), std::string::npos) << f.name;
            EXPECT_NE(after.find("[Mine]\r\nnote=ours\r\n"), std::string::npos) << f.name;
        }
        EXPECT_EQ(disk.files.count(t.fresh), 0u) << f.name;
        // One plain report, with the file and the system's reason; never a type mismatch.
        std::vector<std::string> told;
        for (const auto& m : t.fake.boxes.messages) {
            told.push_back(m.text.find("Программа при нажатии") == 0 ? "" : m.text);
        }
        std::erase(told, "");
        const std::string report = (f.when == AtStart ? "Не удалось прочитать файл настроек\n"
                                                      : "Не удалось сохранить настройки в файл\n") +
                                   t.path + "\n\nsystem error " + std::to_string(f.error) + "\n";
        EXPECT_EQ(told.size(), f.error && f.when != AtSessionEnd ? 1u : 0u) << f.name;
        EXPECT_TRUE(told.empty() || told[0].starts_with(report)) << f.name << ": " << told[0];
    }
}

TEST_F(SettingsFaults, TheSaveWritesANewFileAndReplacesTheOldOneOnceAtTheEnd) {
    startUp();
    fake.files.disk.requests.clear();
    form.TrayMenu_Command_Exit_Click();
    const auto& asked = fake.files.disk.requests;
    ASSERT_GE(asked.size(), 6u);
    EXPECT_EQ(std::vector(asked.begin(), asked.begin() + 3),
              (std::vector<std::string>{"remove " + fresh, "read " + path, "write " + fresh}));
    EXPECT_EQ(
        std::vector(asked.end() - 3, asked.end()),
        (std::vector<std::string>{"flush " + fresh, "replace " + path + " by " + fresh, "remove " + fresh}));
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "write " + path), 0);
}

TEST_F(SettingsFaults, AFileThatNamesItsEncodingKeepsItsTextThroughTheSwitchToUtf16) {
    for (TextMark mark : {TextMark::Utf8, TextMark::Utf16Be}) {
        SettingsFaults t;
        t.ini.Settings_File = t.path;
        t.fake.files.disk.files[t.path] = utf8ToMarkedText("[Mine]\r\nnote=Привет\r\n[Form_Main]\r\n", mark);
        t.form.Text_Message.setText("Ұйықтау уақыты");
        t.ini.Settings(INI_Functions::Save, t.form);
        ASSERT_EQ(textMark(t.fake.files.disk.files[t.path]), TextMark::Utf16Le);
        EXPECT_TRUE(markedTextToUtf8(t.fake.files.disk.files[t.path])
                        .starts_with("[Mine]\r\nnote=Привет\r\n[Form_Main]\r\n"));
        EXPECT_EQ(t.ini.ReadIni(t.path, "Form_Main", "Form_Main_Text_Message"), "Ұйықтау уақыты");
    }
}

}  // namespace
}  // namespace tivora
