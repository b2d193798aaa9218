// The settings file of the main window: saved and restored whole, through the same rules as the
// user's own changes, and failing exactly where a value cannot be taken.
#include <gtest/gtest.h>

#include "fakes/form_facts.h"
#include "fakes/main_window_fixture.h"
#include "settings/ini_functions.h"

namespace tivora {
namespace {

const std::string settingsFile = "C:\\Program Files\\Tivora\\Settings.ini";

struct SettingsFile : fakes::MainWindowFixture {
    SettingsFile() { ini.Settings_File = settingsFile; }

    // The file as a text editor shows it (it is stored in code page 1251).
    std::string file() { return cp1251ToUtf8(fake.files.file(settingsFile)); }
    void setFile(const std::string& text) { fake.files.disk.files[settingsFile] = utf8ToCp1251(text); }
};

TEST_F(SettingsFile, AFirstSaveWritesEveryKeyInTheWindowsOrder) {
    form.Option_Volume.setValue(true);
    form.Combo_Percents.setText("33%");
    form.Check_AutoStart.setValue(1);
    form.Check_FullScreen_Brake.setValue(1);
    form.Text_Hour.setText("22");
    form.Text_Minute.setText("30");
    form.moved(600, 450);
    ini.Settings(INI_Functions::Save, form);
    EXPECT_EQ(file(), fakes::mainWindowFacts().settingsFile({{"Check_FullScreen_Brake", "1"},
                                                             {"Check_AutoStart", "1"},
                                                             {"Combo_Percents", "33%"},
                                                             {"Option_Volume", "True"},
                                                             {"Option_Message", "False"},
                                                             {"Text_Minute", "30"},
                                                             {"Text_Hour", "22"}},
                                                            600, 450));
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(SettingsFile, SaveThenLoadRestoresEveryControlAndThePosition) {
    const std::string longMessage = "Пора спать! " + std::string(300, 'z');  // longer than 254 characters
    form.Option_Melody.setValue(true);
    form.Combo_Percents.setText("75%");
    form.Text_Message.setText(longMessage);
    form.Text_Hour.setText("7");
    form.Text_Minute.setText("05");
    for (auto* box : {&form.Check_Message_Exit, &form.Check_Minimize, &form.Check_AutoStart}) {
        box->setValue(1);
    }
    form.Check_FullScreen_Brake.setValue(2);
    form.moved(1234, 5678);
    ini.Settings(INI_Functions::Save, form);

    Form_Main restored(system, reporter, ini);
    ini.Settings(INI_Functions::Load, restored);
    EXPECT_TRUE(fake.boxes.messages.empty());
    for (const auto* c : fakes::mainWindowFacts().keyed()) {
        std::string_view property = fakes::savedProperty(c->kind);
        EXPECT_EQ(restored.findControl(c->name)->property(property),
                  form.findControl(c->name)->property(property))
            << c->name;
    }
    EXPECT_EQ(restored.Text_Message.text(), longMessage);
    EXPECT_EQ(restored.left(), 1234);
    EXPECT_EQ(restored.top(), 5678);
    // The option's own handler ran during the load: the melody needs neither input.
    EXPECT_FALSE(restored.Text_Message.enabled());
    EXPECT_FALSE(restored.Combo_Percents.enabled());
}

TEST_F(SettingsFile, WithoutAFileTheLoadChangesAndReportsNothing) {
    ini.Settings(INI_Functions::Load, form);
    EXPECT_EQ(form.Text_Hour.text(), "23");
    EXPECT_TRUE(form.Option_Message.value());
    EXPECT_TRUE(fake.boxes.messages.empty());
    EXPECT_TRUE(fake.files.disk.files.empty());
}

TEST_F(SettingsFile, LoadedValuesRaiseTheControlsOwnNotifications) {
    ini.Settings(INI_Functions::Save, form);
    std::string text = file();
    text.replace(text.find("Text_Hour=23"), 12, "Text_Hour=99");
    text.replace(text.find("Option_Volume=False"), 19, "Option_Volume=True");
    text.replace(text.find("Option_Message=True"), 19, "Option_Message=False");
    setFile(text);
    Form_Main loaded(system, reporter, ini);
    std::vector<std::string> seen;
    loaded.Text_Hour.onChange = [&] { seen.push_back(loaded.Text_Hour.text()); };
    loaded.Combo_Percents.onChange = [&] { seen.push_back("combo"); };  // "50%" is its text already
    ini.Settings(INI_Functions::Load, loaded);
    EXPECT_EQ(seen, std::vector<std::string>{"99"});
    EXPECT_TRUE(loaded.Combo_Percents.enabled());
    EXPECT_FALSE(loaded.Text_Message.enabled());
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(SettingsFile, AMissingCheckBoxKeyStopsTheLoadThere) {
    std::string text = fakes::mainWindowFacts().settingsFile({{"Check_Message_Exit", "1"},
                                                              {"Check_FullScreen_Brake", "1"},
                                                              {"Check_Minimize", "1"},
                                                              {"Combo_Percents", "10%"},
                                                              {"Option_Volume", "True"},
                                                              {"Option_Message", "False"},
                                                              {"Text_Message", "Спокойной ночи"},
                                                              {"Text_Minute", "15"},
                                                              {"Text_Hour", "21"}},
                                                             600, 450);
    size_t missing = text.find("Form_Main_Check_MsgBox=");
    text.erase(missing, text.find("\r\n", missing) + 2 - missing);
    setFile(text);
    form.moved(90, 90);
    ini.Settings(INI_Functions::Load, form);
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции Settings№13, 'Несоответствие типа', строка 8");
    // Restored before it: the check boxes, the percentage and the volume option.
    EXPECT_EQ(form.Check_Minimize.value(), 1);
    EXPECT_EQ(form.Combo_Percents.text(), "10%");
    EXPECT_TRUE(form.Option_Volume.value());
    EXPECT_TRUE(form.Combo_Percents.enabled());
    // Not restored after it: the texts and the position.
    EXPECT_EQ(form.Text_Message.text(), "Tivora свое чертово радио!!!");
    EXPECT_EQ(form.Text_Hour.text(), "23");
    EXPECT_EQ(form.left(), 90);
}

TEST_F(SettingsFile, AMissingPositionIsATypeMismatchAfterTheControls) {
    ini.Settings(INI_Functions::Save, form);
    fake.files.disk.files[settingsFile] = utf8ToCp1251(file().substr(0, file().find("[Program_Settings]")));
    form.Text_Hour.setText("5");
    ini.Settings(INI_Functions::Load, form);
    EXPECT_EQ(form.Text_Hour.text(), "23");
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции Settings№13, 'Несоответствие типа', строка 14");
}

TEST_F(SettingsFile, APositionBeyondSinglePrecisionIsAnOverflowNeverAWildNumber) {
    ini.Settings(INI_Functions::Save, form);
    const std::string saved = file();
    for (const char* far : {"1E+39", "-3,5E+38", "inf", "-Infinity", "NaN", "1,#INF", "1.#QNAN", "-1.#IND"}) {
        std::string edited = saved;
        edited.replace(edited.find("Form_Left=") + 10, 1, far);
        setFile(edited);
        form.moved(15, 30);
        fake.boxes.messages.clear();
        ini.Settings(INI_Functions::Load, form);
        ASSERT_EQ(fake.boxes.messages.size(), 1u) << far;
        EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции Settings№6, 'Переполнение', строка 14") << far;
        EXPECT_EQ(form.left(), 15) << far;
    }
    // The largest single-precision value is a number; the window layer brings it onto the screen.
    std::string edited = saved;
    edited.replace(edited.find("Form_Left=") + 10, 1, "3,4E+38");
    setFile(edited);
    fake.boxes.messages.clear();
    ini.Settings(INI_Functions::Load, form);
    EXPECT_TRUE(fake.boxes.messages.empty());
    EXPECT_FLOAT_EQ(static_cast<float>(form.left()), 3.4e38f);
}

TEST_F(SettingsFile, LettersOutsideTheCodePageTurnTheFileUnicodeWithWhatItHeld) {
    ini.Settings(INI_Functions::Save, form);  // Russian and ASCII: the code page holds it all
    const std::string ansi = fake.files.file(settingsFile);
    ini.WriteIni(settingsFile, "Form_Main", "Form_Main_Text_Message", "Ұйықтау уақыты 🌙 ✓");
    std::string text = cp1251ToUtf8(ansi);
    const std::string design = "Tivora свое чертово радио!!!";
    text.replace(text.find(design), design.size(), "Ұйықтау уақыты 🌙 ✓");
    EXPECT_EQ(fake.files.file(settingsFile), std::string(utf16LeMark) + utf8ToUtf16Le(text));
    ini.WriteIni(settingsFile, "Form_Main", "Form_Main_Text_Hour", "21");   // Unicode from then on
    ini.WriteIni(settingsFile, "Form_Main", "Form_Main_Text_Minute", "Ә");  // and not turned again
    EXPECT_TRUE(fake.files.file(settingsFile).starts_with(utf16LeMark));
    EXPECT_EQ(ini.ReadIni(settingsFile, "Form_Main", "Form_Main_Text_Minute"), "Ә");
    EXPECT_EQ(ini.ReadIni(settingsFile, "Form_Main", "Form_Main_Text_Message"), "Ұйықтау уақыты 🌙 ✓");
    EXPECT_EQ(ini.ReadIni(settingsFile, "Form_Main", "Form_Main_Text_Hour"), "21");
    EXPECT_EQ(ini.ReadIni(settingsFile, "Form_Main", "Nothing"), "");
    EXPECT_EQ(ini.ReadIni("C:\\nowhere\\Settings.ini", "Form_Main", "Form_Main_Text_Hour"), "");
}

TEST_F(SettingsFile, AFolderNameTheCodePageLacksKeepsItsSettings) {
    // A per-user install under C:\Users\André on a Russian system: code page 1251 has no "é", so
    // the file is found only by its whole name.
    ini.Settings_File = "C:\\Users\\André\\Tivora\\Settings.ini";
    form.Option_Volume.setValue(true);
    form.Text_Hour.setText("21");
    form.Text_Message.setText("Спокойной ночи, André");
    ini.Settings(INI_Functions::Save, form);
    ASSERT_EQ(fake.files.disk.files.size(), 1u);
    EXPECT_EQ(fake.files.disk.files.begin()->first, ini.Settings_File);

    Form_Main restored(system, reporter, ini);
    ini.Settings(INI_Functions::Load, restored);
    EXPECT_TRUE(fake.boxes.messages.empty());
    EXPECT_TRUE(restored.Option_Volume.value());
    EXPECT_EQ(restored.Text_Hour.text(), "21");
    EXPECT_EQ(restored.Text_Message.text(), "Спокойной ночи, André");
}

TEST_F(SettingsFile, ValuesOfAnyLengthReadBackWhole) {
    for (size_t length : {253u, 254u, 255u, 509u, 510u, 4000u}) {
        std::string value(length, 'x');
        ini.WriteIni(settingsFile, "A", "k", value);
        EXPECT_EQ(ini.ReadIni(settingsFile, "A", "k"), value) << length;
    }
}

}  // namespace
}  // namespace tivora
