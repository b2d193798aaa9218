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
    onSystemResume = [this] { clockMoved(true); };
    onTimeChange = [this] { clockMoved(false); };
}

// One tick. The indicator shows for half a second before the clock is read; that wait is a
// one-shot timer rather than a pause, so the window stays responsive. While the window is hidden
// in the tray nobody sees the indicator: the tick then shows it, reads the clock and hides it at
// once, so that a tick costs its one timer message and the window system nothing (the window
// layer leaves a hidden window's controls alone until it is shown). Ticks that arrive while
// an earlier one is still waiting, or while any action runs (a message box keeps timer messages
// flowing, and a Test's box is no different from the scheduled one), are held back: two ticks
// never overlap, and a box is never opened on top of another. A tick held back by an action
// comes once the action has ended (see actionEnded).
void Form_Main::Timer_Run_Timer() {
    if (pendingRead_ != 0) {
        return;
    }
    if (actionsRunning_ > 0) {
        tickOwed_ = true;
        return;
    }
    tickOwed_ = false;
    bool seen = visible();
    bool shown = procedure("Timer_Run_Timer", [&](Step& step) {
        step(1);
        Label_Indicator.setVisible(true);
        Label_Indicator.refresh();
        step(2);
        if (seen) {
            pendingRead_ = platform_.timers.startOnce(indicatorMilliseconds, [this] {
                pendingRead_ = 0;
                finishTick();
            });
        }
    });
    if (shown && !seen) {
        finishTick();
    }
}

void Form_Main::finishTick() {
    if (actionsRunning_ > 0) {
        // A Test pressed between the tick and its read: the read waits for the Test's box too.
        Label_Indicator.setVisible(false);
        tickOwed_ = true;
        return;
    }
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
                    // The date and minute of the firing are recorded once the action has returned,
                    // as they were when it began: a message answered after midnight still counts
                    // for the date it fired on, and the new date fires too.
                    DateTime firing = clock.now();
                    unsigned armed = armings_;
                    vAction();
                    // A stop or a start while the action ran (its message box stood open) armed
                    // the trigger afresh: that arming stands, not this firing.
                    if (armings_ == armed) {
                        Last_Action_Date = firing.date();
                        Last_Action_Minute = firing.minute;
                    }
                }
            }
        } else {
            // The clock has left the set minute, so the minute fired in blocks no later date. It
            // keeps a date changed inside that minute, however many ticks later, from firing again;
            // released only by a tick that found today's date again, a firing whose action returned
            // in the minute's last second, or one right before the machine went to sleep, had no
            // such tick, and no date ever fired again.
            Last_Action_Minute = noMinute;
        }
        step(7);
        Label_Indicator.setVisible(false);
    });
}

void Form_Main::actionStarted() { ++actionsRunning_; }

// The last running action has ended: a tick held back meanwhile (the start's own tick among
// them) comes now, after the caller that ran the action has finished with it.
void Form_Main::actionEnded() {
    if (--actionsRunning_ == 0 && tickOwed_ && owedTick_ == 0) {
        owedTick_ = platform_.timers.startOnce(0, [this] {
            owedTick_ = 0;
            if (tickOwed_ && Timer_Run.enabled()) {
                tickNow();
            }
        });
    }
}

// A tick out of the timer's rhythm; the timer's next one then comes a whole second later, so
// that the clock is still read once a second.
void Form_Main::tickNow() {
    Timer_Run.restart();
    Timer_Run_Timer();
}

// The machine woke from sleep, or the clock was set. The set minute may have begun already and
// the timer's next tick be a second away: tick now. Woken on another date than the last firing's,
// the clock has left the minute fired in while the machine slept, whatever it shows now; a clock
// set inside that minute has not left it.
void Form_Main::clockMoved(bool resumed) {
    if (leadingValue(Command_ON_OFF.tag()) == 0) {
        return;
    }
    if (resumed && platform_.clock.now().date() != Last_Action_Date) {
        Last_Action_Minute = noMinute;
    }
    tickNow();
}

void Form_Main::stopPendingTick() {
    if (pendingRead_ != 0) {
        platform_.timers.cancel(pendingRead_);
        pendingRead_ = 0;
        Label_Indicator.setVisible(false);
    }
}

void Form_Main::vON_OFF() {
    ++armings_;
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
            tickOwed_ = false;
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
