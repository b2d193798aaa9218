// The hour and minute always hold a number in range, and the percentage box only its list's
// picks: every change is corrected as it comes, without a word to the user.
#include "base/numbers.h"
#include "base/text.h"
#include "main_window/form_main.h"

namespace tivora {

void Form_Main::bindValidation() {
    Text_Hour.onChange = [this] { Text_Hour_Change(); };
    Text_Minute.onChange = [this] { Text_Minute_Change(); };
    Text_Hour.onClick = [this] { Text_Hour_Click(); };
    Text_Minute.onClick = [this] { Text_Minute_Click(); };
    Combo_Percents.onChange = [this] { Combo_Percents_Change(); };
    Combo_Percents.onClick = [this] { Combo_Percents_Click(); };
}

void Form_Main::vNumeric(forms::Control& field, int lower, int upper) {
    procedure("vNumeric", [&](Step& step) {
        step(3);
        std::string s = field.property("text");
        step(4);
        bool numeric = isNumeric(field.property("text"), numberFormat);
        auto clamp = [&](int lowerLine) {
            step(lowerLine);
            if (lower > toNumber(s, numberFormat)) {
                step(lowerLine + 1);
                s = numberText(lower, numberFormat);
            }
            step(lowerLine + 2);
            if (upper < toNumber(s, numberFormat)) {
                s = numberText(upper, numberFormat);
            }
        };
        if (!numeric) {
            step(5);
            if (s != "-" && s != "+") {
                // A sign alone is let stand while the user goes on typing; anything else becomes
                // the number it begins with, without its minus signs.
                step(6);
                std::string value = numberText(leadingValue(s), numberFormat);
                s.clear();
                for (char c : value) {
                    if (c != '-') {
                        s += c;
                    }
                }
                clamp(7);
            }
        } else {
            clamp(13);
        }
        step(18);
        field.setProperty("text", s);
    });
}

void Form_Main::Text_Hour_Change() {
    procedure("Text_Hour_Change", [&](Step& step) {
        step(2);
        vNumeric(Text_Hour, 0, 23);
    });
}

void Form_Main::Text_Minute_Change() {
    procedure("Text_Minute_Change", [&](Step& step) {
        step(2);
        vNumeric(Text_Minute, 0, 59);
    });
}

void Form_Main::Text_Hour_Click() {
    procedure("Text_Hour_Click", [&](Step& step) {
        // The whole text selected, so that the next key typed replaces it.
        step(2);
        Text_Hour.setSelStart(0);
        step(3);
        Text_Hour.setSelLength(static_cast<int>(characterCount(Text_Hour.text())));
    });
}

void Form_Main::Text_Minute_Click() {
    procedure("Text_Minute_Click", [&](Step& step) {
        step(2);
        Text_Minute.setSelStart(0);
        step(3);
        Text_Minute.setSelLength(static_cast<int>(characterCount(Text_Minute.text())));
    });
}

void Form_Main::Combo_Percents_Change() {
    procedure("Combo_Percents_Change", [&](Step& step) {
        step(2);
        if (Form_Loaded) {
            Combo_Percents.setText(Combo_Percents.tag());  // typing is undone at once
        } else {
            Combo_Percents_Click();  // a loaded value becomes the remembered percentage
        }
    });
}

void Form_Main::Combo_Percents_Click() {
    procedure("Combo_Percents_Click", [&](Step& step) {
        step(2);
        Combo_Percents.setTag(Combo_Percents.text());
    });
}

}  // namespace tivora
