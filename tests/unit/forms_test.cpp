// The window layer's rules that the program's handlers rely on.
#include <gtest/gtest.h>

#include "base/error.h"
#include "forms/controls.h"
#include "forms/form.h"

namespace tivora::forms {
namespace {

int errorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

struct RecordingView : ControlView {
    std::vector<std::string> changes;
    void controlChanged(Control& control, Change what) override {
        changes.push_back(control.name() + ":" + std::to_string(static_cast<int>(what)));
    }
};

struct TestForm : Form {
    TestForm() : Form("Form_Test", "Form_Test", 2880, 4305) { numberFormat = NumberFormat::russian(); }
    TextBox Text_Hour{*this, "Text_Hour", {120, 120, 375, 375}, "23", 2};
    ComboBox Combo{*this, "Combo", {0, 0, 735, 315}, "50%", {"50%", "00%", "10%"}};
    OptionButton Option_A{*this, "Option_A", {}, "A", true};
    OptionButton Option_B{*this, "Option_B", {}, "B", false};
    OptionButton Option_C{*this, "Option_C", {}, "C", false};
    CheckBox Check{*this, "Check", {}, "Check"};
    CommandButton Button{*this, "Button", {}, "Старт"};
};

TEST(TextBox, ChangeIsRaisedOnlyWhenTheTextChanges) {
    TestForm f;
    int changes = 0;
    f.Text_Hour.onChange = [&] { ++changes; };
    f.Text_Hour.setText("23");
    EXPECT_EQ(changes, 0);
    f.Text_Hour.setText("7");
    EXPECT_EQ(changes, 1);
    f.Text_Hour.setText("7");
    EXPECT_EQ(changes, 1);
}

TEST(TextBox, ChangeSetInsideAHandlerRunsNestedAndSettles) {
    TestForm f;
    std::vector<std::string> seen;
    // A handler that corrects the text, as the hour box's validation does.
    f.Text_Hour.onChange = [&] {
        seen.push_back(f.Text_Hour.text());
        if (f.Text_Hour.text() == "99") {
            f.Text_Hour.setText("23");
            seen.push_back("after nested: " + f.Text_Hour.text());
        }
    };
    f.Text_Hour.setText("99");
    EXPECT_EQ(seen, (std::vector<std::string>{"99", "23", "after nested: 23"}));
}

TEST(TextBox, TypingReplacesTheSelectionAndStopsAtTheMaxLength) {
    TestForm f;
    int changes = 0;
    f.Text_Hour.onChange = [&] { ++changes; };
    f.Text_Hour.setSelStart(2);
    f.Text_Hour.type("5");  // a third character is refused
    EXPECT_EQ(f.Text_Hour.text(), "23");
    EXPECT_EQ(changes, 0);
    f.Text_Hour.setSelStart(0);
    f.Text_Hour.setSelLength(2);
    f.Text_Hour.type("7");
    EXPECT_EQ(f.Text_Hour.text(), "7");
    EXPECT_EQ(f.Text_Hour.selStart(), 1);
    f.Text_Hour.type("45");
    EXPECT_EQ(f.Text_Hour.text(), "74");
    EXPECT_EQ(changes, 2);
}

TEST(TextBox, SelectionIsClampedToTheText) {
    TestForm f;
    f.Text_Hour.setSelStart(9);
    EXPECT_EQ(f.Text_Hour.selStart(), 2);
    f.Text_Hour.setSelStart(0);
    f.Text_Hour.setSelLength(5);
    EXPECT_EQ(f.Text_Hour.selLength(), 2);
    EXPECT_EQ(errorNumber([&] { f.Text_Hour.setSelStart(-1); }), err::InvalidPropertyValue);
}

TEST(ComboBox, APickRaisesOnlyClickAndTypingRaisesChange) {
    TestForm f;
    std::vector<std::string> events;
    f.Combo.onChange = [&] { events.push_back("change " + f.Combo.text()); };
    f.Combo.onClick = [&] { events.push_back("click " + f.Combo.text()); };
    f.Combo.setListIndex(2);
    f.Combo.setText("10%4");
    f.Combo.setText("10%4");
    EXPECT_EQ(events, (std::vector<std::string>{"click 10%", "change 10%4"}));
    EXPECT_EQ(f.Combo.listIndex(), -1);
    EXPECT_EQ(errorNumber([&] { f.Combo.setListIndex(6); }), err::InvalidPropertyValue);
}

TEST(OptionButton, SelectingOneDeselectsTheOthersAndClicksOnlyIt) {
    TestForm f;
    std::vector<std::string> clicks;
    f.Option_A.onClick = [&] { clicks.push_back("A"); };
    f.Option_B.onClick = [&] { clicks.push_back("B"); };
    f.Option_C.onClick = [&] { clicks.push_back("C"); };
    f.Option_B.setValue(true);
    EXPECT_FALSE(f.Option_A.value());
    EXPECT_TRUE(f.Option_B.value());
    f.Option_B.click();  // already selected: nothing
    f.Option_B.setValue(false);
    EXPECT_FALSE(f.Option_B.value());
    EXPECT_EQ(clicks, std::vector<std::string>{"B"});
}

TEST(CheckBox, ChangingTheStateClicksAndOnlyThreeStatesExist) {
    TestForm f;
    int clicks = 0;
    f.Check.onClick = [&] { ++clicks; };
    f.Check.setValue(0);
    EXPECT_EQ(clicks, 0);
    f.Check.setValue(2);
    f.Check.click();
    EXPECT_EQ(f.Check.value(), 0);
    f.Check.click();
    EXPECT_EQ(f.Check.value(), 1);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(errorNumber([&] { f.Check.setValue(3); }), err::InvalidPropertyValue);
    EXPECT_EQ(f.Check.value(), 1);
}

TEST(Properties, TextAndValueByNameWithTheirConversions) {
    TestForm f;
    f.Text_Hour.setProperty("TEXT", "12");
    EXPECT_EQ(f.Text_Hour.property("text"), "12");
    f.Check.setProperty("Value", "1");
    EXPECT_EQ(f.Check.property("value"), "1");
    f.Option_C.setProperty("Value", "True");
    EXPECT_TRUE(f.Option_C.value());
    EXPECT_EQ(f.Option_A.property("Value"), "False");
    EXPECT_EQ(f.Option_C.property("Value"), "True");

    EXPECT_EQ(errorNumber([&] { f.Check.setProperty("Value", ""); }), err::TypeMismatch);
    EXPECT_EQ(errorNumber([&] { f.Check.setProperty("Value", "abc"); }), err::TypeMismatch);
    EXPECT_EQ(errorNumber([&] { f.Check.setProperty("Value", "5"); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumber([&] { f.Option_A.setProperty("Value", ""); }), err::TypeMismatch);
    EXPECT_EQ(errorNumber([&] { f.Button.property("text"); }), err::PropertyNotSupported);
    EXPECT_EQ(errorNumber([&] { f.Text_Hour.property("Value"); }), err::PropertyNotSupported);
}

TEST(Views, HearOfRealChangesOnly) {
    TestForm f;
    RecordingView view;
    f.Text_Hour.setView(&view);
    f.Button.setView(&view);
    f.Text_Hour.setText("23");
    f.Button.setCaption("Старт");
    f.Button.setEnabled(true);
    EXPECT_TRUE(view.changes.empty());
    f.Text_Hour.setText("5");
    f.Button.setCaption("Стоп");
    EXPECT_EQ(view.changes.size(), 2u);
}

TEST(Form, CloseRequestCanBeRefusedAndUnloadRunsOtherwise) {
    TestForm f;
    std::vector<std::string> events;
    bool refuse = true;
    f.onLoad = [&] { events.push_back("load"); };
    f.onQueryUnload = [&](int& cancel, UnloadMode mode) {
        events.push_back("query " + std::to_string(static_cast<int>(mode)));
        if (refuse) {
            cancel = -1;
        }
    };
    f.onUnload = [&](int&) { events.push_back("unload"); };
    f.load();
    f.load();
    f.show();
    EXPECT_FALSE(f.requestClose(UnloadMode::ControlMenu));
    EXPECT_TRUE(f.loaded());
    refuse = false;
    EXPECT_TRUE(f.requestClose(UnloadMode::Code));
    EXPECT_FALSE(f.loaded());
    EXPECT_FALSE(f.visible());
    EXPECT_EQ(events, (std::vector<std::string>{"load", "query 0", "query 1", "unload"}));
}

TEST(Form, ActivateIsRaisedOnTheFirstActivationOnly) {
    TestForm f;
    int activations = 0;
    f.onActivate = [&] { ++activations; };
    f.load();
    f.show();
    f.activated();
    f.hide();
    f.show();
    f.activated();
    EXPECT_EQ(activations, 1);
}

TEST(Form, MouseMovesArriveInTheWindowsUnit) {
    TestForm f;
    f.twipsPerPixelX = f.twipsPerPixelY = 15;
    float x = -1, y = -1;
    f.onMouseMove = [&](int, int, float mx, float my) {
        x = mx;
        y = my;
    };
    f.mouseMoved(0, 0, 0x202, 0);
    EXPECT_FLOAT_EQ(x, 0x202 * 15);
    EXPECT_FLOAT_EQ(y, 0);
    f.setScaleMode(ScaleMode::Pixels);
    f.mouseMoved(0, 0, 3, 4);
    EXPECT_FLOAT_EQ(x, 3);
    EXPECT_FLOAT_EQ(y, 4);
}

// The tray's codes are the pixel X of a mouse move: a handler that divides the position by the
// window's twips per pixel must get that pixel back, also where a pixel is 8.571... twips.
TEST(Form, EveryPixelComesBackFromTwipsAtEveryScale) {
    TestForm f;
    float x = 0;
    f.onMouseMove = [&](int, int, float mx, float) { x = mx; };
    for (int dpi : {96, 120, 144, 168, 192, 216, 336}) {
        f.twipsPerPixelX = 1440.0 / dpi;
        int wrong = 0;
        for (int pixel = -32768; pixel <= 32767; ++pixel) {
            f.mouseMoved(0, 0, pixel, 0);
            wrong += roundHalfEven(x / f.twipsPerPixelX) != pixel ? 1 : 0;
        }
        EXPECT_EQ(wrong, 0) << dpi << " DPI";
    }
}

TEST(Form, FocusNeedsAVisibleEnabledWindow) {
    TestForm f;
    EXPECT_EQ(errorNumber([&] { f.setFocus(); }), err::InvalidCall);
    f.show();
    EXPECT_EQ(errorNumber([&] { f.setFocus(); }), 0);
    EXPECT_EQ(errorNumber([&] { f.Text_Hour.setFocus(); }), 0);
    f.setEnabled(false);
    EXPECT_EQ(errorNumber([&] { f.setFocus(); }), err::InvalidCall);
    EXPECT_EQ(errorNumber([&] { f.Text_Hour.setFocus(); }), err::InvalidCall);
}

}  // namespace
}  // namespace tivora::forms
