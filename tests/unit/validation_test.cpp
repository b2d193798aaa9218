// The hour and minute always end as a number in range (or a lone sign while typing), and the
// percentage box keeps only its list's picks.
#include <gtest/gtest.h>

#include <random>

#include "fakes/main_window_fixture.h"

namespace tivora {
namespace {

using Validation = fakes::MainWindowFixture;

TEST_F(Validation, TextsBecomeNumbersInRange) {
    const std::vector<std::pair<std::string, std::string>> hours{
        {"", "0"},    {"24", "23"},   {"-", "-"},     {"+", "+"},   {"-3", "0"},
        {"5a", "5"},  {"a5", "0"},    {"07", "07"},   {"+5", "+5"}, {"99", "23"},
        {"-3a", "3"}, {"1,5", "1,5"}, {"1.5", "1,5"}, {" 7", " 7"}, {"00", "00"}};
    for (const auto& [typed, expected] : hours) {
        form.Text_Hour.setText(typed);
        EXPECT_EQ(form.Text_Hour.text(), expected) << '"' << typed << '"';
    }
    form.Text_Minute.setText("75");
    EXPECT_EQ(form.Text_Minute.text(), "59");
    form.Text_Minute.setText("07");
    EXPECT_EQ(form.Text_Minute.text(), "07");
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(Validation, DecimalsFollowTheUsersNumberFormat) {
    form.numberFormat = NumberFormat::english();
    form.Text_Hour.setText("1.5");
    EXPECT_EQ(form.Text_Hour.text(), "1.5");
    form.Text_Hour.setText("1,5");
    EXPECT_EQ(form.Text_Hour.text(), "1");
    form.Text_Minute.setText("75.5");
    EXPECT_EQ(form.Text_Minute.text(), "59");
}

TEST_F(Validation, AClickSelectsTheWholeTextSoThatTypingReplacesIt) {
    form.Text_Hour.setSelStart(1);
    form.Text_Hour.click();
    EXPECT_EQ(form.Text_Hour.selStart(), 0);
    EXPECT_EQ(form.Text_Hour.selLength(), 2);
    form.Text_Hour.type("9");
    EXPECT_EQ(form.Text_Hour.text(), "9");
    form.Text_Hour.type("9");  // "99" is corrected at once
    EXPECT_EQ(form.Text_Hour.text(), "23");
    form.Text_Minute.click();
    EXPECT_EQ(form.Text_Minute.selLength(), 2);
}

TEST_F(Validation, ALoadedHourIsCorrectedByTheSameRules) {
    ini.Settings_File = "C:\\Program Files\\Tivora\\Settings.ini";
    ini.Settings(INI_Functions::Save, form);
    std::string& file = fake.files.disk.files[ini.Settings_File];
    file.replace(file.find("Text_Hour=23"), 12, "Text_Hour=99");
    std::vector<std::string> seen;
    ini.Settings(INI_Functions::Load, form);
    EXPECT_EQ(form.Text_Hour.text(), "23");
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(Validation, ThePercentageBoxUndoesTypingAfterStartUpAndTakesLoadedTextBefore) {
    form.Combo_Percents.setText("10%");  // loading: Form_Loaded is still False
    EXPECT_EQ(form.Combo_Percents.tag(), "10%");
    form.Form_Loaded = true;
    form.Combo_Percents.setListIndex(3);  // a pick
    EXPECT_EQ(form.Combo_Percents.tag(), "33%");
    form.Combo_Percents.setText("33%7");  // typing
    EXPECT_EQ(form.Combo_Percents.text(), "33%");
    form.Form_Loaded = false;  // a start-up that ended early: typed text stays
    form.Combo_Percents.setText("12");
    EXPECT_EQ(form.Combo_Percents.text(), "12");
    EXPECT_EQ(form.Combo_Percents.tag(), "12");
}

TEST_F(Validation, StartUpRemembersTheDesignPercentageSoTypingCannotEmptyTheBox) {
    fake.files.disk.files["C:\\Program Files\\Tivora\\Справка.txt"] = "";
    form.hide();
    form.load();
    EXPECT_EQ(form.Combo_Percents.tag(), "50%");
    form.Combo_Percents.setText("5");
    EXPECT_EQ(form.Combo_Percents.text(), "50%");
}

TEST_F(Validation, AnyTextEndsAsANumberInRangeOrALoneSign) {
    std::mt19937 random(20261207);
    const std::string alphabet = "0123456789+-.,eE aZ\xD0\x96";
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        int length = static_cast<int>(random() % 6);
        for (int i = 0; i < length; ++i) {
            text += alphabet[random() % alphabet.size()];
        }
        form.numberFormat = round % 2 ? NumberFormat::russian() : NumberFormat::english();
        auto* field = round % 3 ? &form.Text_Minute : &form.Text_Hour;
        int upper = field == &form.Text_Hour ? 23 : 59;
        field->setText(text);
        const std::string& result = field->text();
        if (result == "-" || result == "+") {
            EXPECT_EQ(result, text);
            continue;
        }
        ASSERT_TRUE(isNumeric(result, form.numberFormat)) << '"' << text << "\" gave \"" << result << '"';
        double value = toNumber(result, form.numberFormat);
        EXPECT_GE(value, 0) << text;
        EXPECT_LE(value, upper) << text;
    }
    EXPECT_TRUE(fake.boxes.messages.empty());  // no input is refused with a message
}

TEST_F(Validation, AFailureInsideVNumericIsReportedByItAlone) {
    // A text that overflows a double cannot be compared: vNumeric reports it, the caller goes on.
    form.Text_Minute.setText(std::string(400, '9'));
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text.rfind("Ошибка функции vNumeric№6, ", 0), 0u)
        << fake.boxes.messages[0].text;
}

}  // namespace
}  // namespace tivora
