// The daily trigger: a one-second timer whose ticks blink the indicator square and, the first
// time the clock shows the set hour and minute on a calendar date, perform the action.
#include "base/numbers.h"
#include "main_window/form_main.h"

namespace tivora {

namespace {

constexpr int indicatorMilliseconds = 500;
constexpr double noMinute = 61;  // can never equal a minute of the hour
// Every start and stop re-arms the trigger with this date ("01.01.1980").
constexpr CalendarDate armedDate{1980, 1, 1};

}  // namespace

void Form_Main::bindScheduler() {
    Timer_Run.onTimer = [this] { Timer_Run_Timer(); };
    Command_ON_OFF.onClick = [this] { Command_ON_OFF_Click(); };
    TrayMenu_Command_ON_OFF.onClick = [this] { TrayMenu_Command_ON_OFF_Click(); };
}

// One tick. The indicator shows for half a second before the clock is read; that wait is a
// one-shot timer rather than a pause, so the window stays responsive. Ticks that arrive while
// an earlier one is still waiting or acting (a message box keeps timer messages flowing) are
// held back: two ticks never overlap, and an open message is never opened again.
void Form_Main::Timer_Run_Timer() {
    if (pendingRead_ != 0 || actionRunning_) {
        return;
    }
    procedure("Timer_Run_Timer", [&](Step& step) {
        step(1);
        Label_Indicator.setVisible(true);
        Label_Indicator.refresh();
        step(2);
        pendingRead_ = platform_.timers.startOnce(indicatorMilliseconds, [this] {
            pendingRead_ = 0;
            finishTick();
        });
    });
}

void Form_Main::finishTick() {
    procedure("Timer_Run_Timer", [&](Step& step) {
        platform::Clock& clock = platform_.clock;
        step(3);
        DateTime now = clock.now();
        step(4);
        std::string currentTime = timeText(now);
        step(5);
        std::string setTime =
            twoDigits(Text_Hour.text(), numberFormat) + ":" + twoDigits(Text_Minute.text(), numberFormat);
        step(6);
        if (currentTime.starts_with(setTime)) {
            // Today's date and the minute are read afresh at each use: the clock may have moved on.
            if (clock.now().date() != Last_Action_Date) {
                if (clock.now().minute != Last_Action_Minute) {
                    actionRunning_ = true;
                    vAction();
                    actionRunning_ = false;
                    Last_Action_Date = clock.now().date();
                    Last_Action_Minute = clock.now().minute;
                }
            } else {
                Last_Action_Minute = noMinute;
            }
        }
        step(7);
        Label_Indicator.setVisible(false);
    });
    actionRunning_ = false;
}

void Form_Main::stopPendingTick() {
    if (pendingRead_ != 0) {
        platform_.timers.cancel(pendingRead_);
        pendingRead_ = 0;
        Label_Indicator.setVisible(false);
    }
}

void Form_Main::vON_OFF() {
    procedure("vON_OFF", [&](Step& step) {
        step(1);
        Last_Action_Date = armedDate;
        step(2);
        Last_Action_Minute = noMinute;
        step(3);
        Timer_Run.setEnabled(!Timer_Run.enabled());
        step(4);
        Text_Minute.setEnabled(!Text_Minute.enabled());
        step(5);
        Text_Hour.setEnabled(!Text_Hour.enabled());
        step(6);
        if (leadingValue(Command_ON_OFF.tag()) == 0) {
            Command_ON_OFF.setCaption("Стоп");
            TrayMenu_Command_ON_OFF.setCaption("Стоп");
            Command_ON_OFF.setTag("1");
            Timer_Run_Timer();
        } else {
            Command_ON_OFF.setCaption("Старт");
            TrayMenu_Command_ON_OFF.setCaption("Старт");
            Command_ON_OFF.setTag("0");
            stopPendingTick();
        }
    });
}

void Form_Main::Command_ON_OFF_Click() {
    procedure("Command_ON_OFF_Click", [&](Step& step) {
        step(1);
        vON_OFF();
    });
}

void Form_Main::TrayMenu_Command_ON_OFF_Click() {
    procedure("TrayMenu_Command_ON_OFF_Click", [&](Step& step) {
        step(1);
        vON_OFF();
    });
}

}  // namespace tivora
