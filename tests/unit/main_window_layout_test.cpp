// The main window as a user first sees it, with no settings file.
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/form_facts.h"
#include "main_window/form_main.h"
#include "version.h"

namespace tivora {
namespace {

struct MainWindow : ::testing::Test {
    fakes::FakePlatform fake;
    platform::Platform system = fake.platform();
    ErrorReporter reporter{platform::reportBox(fake.boxes, TIVORA_TITLE)};
    INI_Functions ini{system, reporter};
    Form_Main form{system, reporter, ini};
};

TEST_F(MainWindow, ComesUpWithTheDesignValues) {
    EXPECT_EQ(form.name(), "Form_Main");
    EXPECT_EQ(form.clientWidth(), 2880);
    EXPECT_EQ(form.clientHeight(), 4305);
    EXPECT_EQ(form.Text_Hour.text(), "23");
    EXPECT_EQ(form.Text_Minute.text(), "00");
    EXPECT_EQ(form.Text_Hour.maxLength(), 2);
    EXPECT_EQ(form.Text_Minute.maxLength(), 2);
    EXPECT_EQ(form.Text_Message.maxLength(), 0);
    EXPECT_TRUE(form.Option_Message.value());
    EXPECT_FALSE(form.Option_Volume.value());
    EXPECT_FALSE(form.Option_Melody.value());
    EXPECT_TRUE(form.Text_Message.enabled());
    EXPECT_FALSE(form.Combo_Percents.enabled());
    EXPECT_EQ(form.Combo_Percents.text(), "50%");
    EXPECT_EQ(form.Combo_Percents.list(),
              (std::vector<std::string>{"50%", "00%", "10%", "33%", "66%", "75%"}));
    for (auto* box : {&form.Check_AutoStart, &form.Check_Minimize, &form.Check_FullScreen_Brake,
                      &form.Check_Message_Exit, &form.Check_MsgBox}) {
        EXPECT_EQ(box->value(), 0) << box->name();
    }
    EXPECT_EQ(form.Command_ON_OFF.caption(), "Старт");
    EXPECT_EQ(form.Command_ON_OFF.tag(), "0");
    EXPECT_FALSE(form.Label_Indicator.visible());
    EXPECT_FALSE(form.Timer_Run.enabled());
    EXPECT_EQ(form.Timer_Run.interval(), 1000);
}

TEST_F(MainWindow, SettingsKeysFollowTheOrderOfUsersFiles) {
    // The keys users' files have, in their order; a key added later comes after them.
    const std::vector<std::string> users{
        "Check_Message_Exit", "Check_FullScreen_Brake", "Check_Minimize", "Check_AutoStart",
        "Combo_Percents",     "Option_Melody",          "Option_Volume",  "Option_Message",
        "Check_MsgBox",       "Text_Message",           "Text_Minute",    "Text_Hour"};
    const fakes::FormFacts facts = fakes::formFacts(form);
    std::vector<std::string> keyed;
    for (const auto* c : facts.keyed()) {
        keyed.push_back(c->name);
    }
    ASSERT_GE(keyed.size(), users.size());
    EXPECT_EQ(std::vector<std::string>(keyed.begin(), keyed.begin() + users.size()), users);
}

TEST_F(MainWindow, TabVisitsTheVisibleControlsFromTheStartButton) {
    using Kind = forms::Control::Kind;
    size_t inputs = 0;  // the buttons and boxes one sees
    for (auto* c : form.controls()) {
        Kind kind = c->kind();
        inputs +=
            c->visible() && (kind == Kind::CommandButton || kind == Kind::TextBox || kind == Kind::ComboBox ||
                             kind == Kind::OptionButton || kind == Kind::CheckBox);
    }
    const auto& order = form.tabOrder();
    ASSERT_EQ(order.size(), inputs);
    EXPECT_EQ(order.front(), &form.Command_ON_OFF);
    for (auto* c : order) {
        EXPECT_TRUE(c->visible()) << c->name();
    }
    EXPECT_FALSE(form.Check_MsgBox.visible());
    EXPECT_FALSE(form.Check_Message_Exit.visible());
    EXPECT_FALSE(form.Picture_Print.visible());
}

TEST_F(MainWindow, TrayMenuHasItsFourEntries) {
    std::vector<std::string> captions;
    for (auto* entry : form.pmnuTray.entries()) {
        captions.push_back(entry->caption());
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Скрыть", "Старт", "Тест", "Выход"}));
    EXPECT_EQ(form.pmnuTray.caption(), "[Tray]");
}

TEST_F(MainWindow, DebugCheckBoxGatesTheDialogReports) {
    auto fail = [&] {
        trap(reporter, "ShowOpen", ReportForm::OnlyWhenDebugging, [](Step&) { throw RuntimeError(5); });
    };
    fail();
    EXPECT_TRUE(fake.boxes.messages.empty());
    form.Check_MsgBox.setValue(1);
    fail();
    EXPECT_EQ(fake.boxes.messages.size(), 1u);
}

}  // namespace
}  // namespace tivora
