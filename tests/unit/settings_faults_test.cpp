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

struct Fault {
    const char* name;
    bool atStart;  // set before start-up, else before «Выход»
    std::function<void(SettingsFaults&)> set;
    bool sessionEnd;
    bool saved;               // Settings.ini afterwards holds the new values, else the old bytes
    const char* reason;       // in the report, "" when there is none
    const char* reportStart;  // the report's first words
};

const char* const unreadable = "Не удалось прочитать файл настроек\n";
const char* const notSaved = "Не удалось сохранить настройки в файл\n";

TEST_F(SettingsFaults, TheFileIsTheOldOneOrTheWholeNewOneAndAFailureIsTold) {
    const std::string longMessage(3000, 'z');
    const Fault faults[] = {
        {"held for the whole start", true, [](auto& t) { t.fake.disk.held[t.path] = -1; }, false, false,
         "system error 32", unreadable},
        {"held for a moment at start", true, [](auto& t) { t.fake.disk.held[t.path] = 3; }, false, true, "",
         ""},
        {"held at «Выход»", false, [](auto& t) { t.fake.disk.held[t.path] = -1; }, false, false,
         "system error 32", notSaved},
        {"held for a moment at «Выход»", false, [](auto& t) { t.fake.disk.held[t.path] = 5; }, false, true,
         "", ""},
        {"a folder that cannot be written", false,
         [](auto& t) { t.fake.disk.readOnlyFolder = t.folder + "\\"; }, false, false, "system error 5",
         notSaved},
        {"a file marked read-only: the replacement is refused", false,
         [](auto& t) { t.fake.disk.readOnly.insert(t.path); }, false, false, "system error 5", notSaved},
        {"a full disk at the long message", false,
         [&](auto& t) {
             t.form.Text_Message.setText(longMessage);
             t.fake.disk.capacity = 2 * t.fake.disk.files[t.path].size() + 100;
         },
         false, false, "system error 112", notSaved},
        {"a full disk at the switch to UTF-16", false,
         [](auto& t) {
             t.form.Text_Message.setText("Ұйықтау уақыты");  // room for the code page's form, not UTF-16's
             t.fake.disk.capacity = 5 * t.fake.disk.files[t.path].size() / 2;
         },
         false, false, "system error 112", notSaved},
        {"a full disk the profile writer overlooks", false,
         [&](auto& t) {
             t.form.Text_Message.setText(longMessage);
             t.fake.disk.capacity = 2 * t.fake.disk.files[t.path].size() + 100;
             t.fake.profile.overlooksWriteErrors = true;
         },
         false, false, "system error 29", notSaved},
        {"a full disk as the session ends", false,
         [&](auto& t) {
             t.form.Text_Message.setText(longMessage);
             t.fake.disk.capacity = 2 * t.fake.disk.files[t.path].size() + 100;
         },
         true, false, "", ""},
    };
    for (const Fault& f : faults) {
        SettingsFaults t;
        const std::string before = t.fake.disk.files[t.path];
        if (f.atStart) {
            f.set(t);
        }
        t.startUp();
        t.form.Text_Minute.setText("45");
        if (!f.atStart) {
            f.set(t);
        }
        if (f.sessionEnd) {
            t.form.sessionEnding();
        } else {
            t.form.TrayMenu_Command_Exit_Click();
        }
        const std::string after = t.fake.disk.files[t.path];
        if (f.saved) {
            EXPECT_NE(after.find("Form_Main_Text_Minute=45\r\n"), std::string::npos) << f.name;
            EXPECT_NE(after.find("Form_Main_Text_Hour=21\r\n"), std::string::npos) << f.name;
            EXPECT_NE(after.find("[Mine]\r\nnote=ours\r\n"), std::string::npos) << f.name;
        } else {
            EXPECT_EQ(after, before) << f.name;
        }
        EXPECT_EQ(t.fake.disk.files.count(t.fresh), 0u) << f.name;
        // The only report is the plain one; a read refused at start is no type mismatch.
        std::vector<std::string> reports;
        for (const auto& m : t.fake.messages) {
            if (m.text.find("Программа при нажатии") == std::string::npos) {
                reports.push_back(m.text);
            }
        }
        if (*f.reportStart) {
            ASSERT_EQ(reports.size(), 1u) << f.name;
            EXPECT_TRUE(reports[0].starts_with(f.reportStart)) << f.name << ": " << reports[0];
            EXPECT_NE(reports[0].find(t.path), std::string::npos) << f.name;
            EXPECT_NE(reports[0].find(f.reason), std::string::npos) << f.name;
        } else {
            EXPECT_TRUE(reports.empty()) << f.name << ": " << reports[0];
        }
    }
}

TEST_F(SettingsFaults, TheSaveWritesANewFileAndReplacesTheOldOneOnceAtTheEnd) {
    startUp();
    fake.disk.requests.clear();
    form.TrayMenu_Command_Exit_Click();
    const auto& requests = fake.disk.requests;
    ASSERT_GE(requests.size(), 6u);
    const std::vector<std::string> first(requests.begin(), requests.begin() + 3);
    const std::vector<std::string> last(requests.end() - 3, requests.end());
    EXPECT_EQ(first, (std::vector<std::string>{"remove " + fresh, "read " + path, "write " + fresh}));
    EXPECT_EQ(last, (std::vector<std::string>{"flush " + fresh, "replace " + path + " by " + fresh,
                                              "remove " + fresh}));
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "write " + path), 0);
    EXPECT_EQ(fake.pausedMilliseconds, 0);
}

TEST_F(SettingsFaults, AFileThatNamesItsEncodingKeepsItsTextThroughTheSwitchToUtf16) {
    const std::string text = "[Mine]\r\nnote=Привет\r\n[Form_Main]\r\nForm_Main_Text_Hour=22\r\n";
    for (TextMark mark : {TextMark::Utf8, TextMark::Utf16Be}) {
        SettingsFaults t;
        t.ini.Settings_File = t.path;
        t.fake.disk.files[t.path] = utf8ToMarkedText(text, mark);
        t.form.Text_Message.setText("Ұйықтау уақыты");
        t.ini.Settings(INI_Functions::Save, t.form);
        const std::string after = t.fake.disk.files[t.path];
        ASSERT_EQ(textMark(after), TextMark::Utf16Le);
        const std::string saved = markedTextToUtf8(after);
        EXPECT_TRUE(saved.starts_with("[Mine]\r\nnote=Привет\r\n[Form_Main]\r\n")) << saved;
        EXPECT_EQ(t.ini.ReadIni(t.path, "Form_Main", "Form_Main_Text_Message"), "Ұйықтау уақыты");
        EXPECT_EQ(t.ini.ReadIni(t.path, "Form_Main", "Form_Main_Text_Hour"), "23");
    }
}

}  // namespace
}  // namespace tivora
