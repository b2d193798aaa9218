// The daily trigger: a one-second timer whose ticks blink the indicator square and, the first
// time the clock shows the set hour and minute on a calendar date, perform the action. Hidden in
// the tray, where nobody sees the square, the trigger sleeps from one moment that can matter to
// the next instead (see armTicks).
#include <algorithm>
#include <string>

#include "base/numbers.h"
#include "main_window/form_main.h"

namespace tivora {

namespace {

constexpr int indicatorMilliseconds = 500;
constexpr int tickMilliseconds = 1000;
// Hidden, the trigger wakes at least at every fifth minute on the clock: among them every half
// hour, where the clock jumps for daylight saving without a notice to the program, and a clock
// slewed or drifting meanwhile (by at most a few tenths of a second in five minutes) is read
// again. Twelve wakes an hour instead of 3 600.
constexpr int guardMilliseconds = 5 * 60 * 1000;
// A wake aimed at a moment comes this much after it, so that a timer on time never finds the
// clock a hair short of the moment (one that does sleeps the rest and looks again).
constexpr int wakeMargin = 20;
constexpr int dayMilliseconds = 24 * 60 * 60 * 1000;
constexpr double noMinute = 61;  // can never equal a minute of the hour
// The least growth of the time asleep that counts as a sleep: the system's two counters it comes
// from are read a moment apart and at different resolutions; a sleep lasts seconds.
constexpr std::int64_t sleptMargin = 500;
// Every start and stop re-arms the trigger with this date ("01.01.1980").
constexpr CalendarDate armedDate{1980, 1, 1};

}  // namespace

void Form_Main::bindScheduler() {
    Timer_Run.onTimer = [this] { Timer_Run_Timer(); };
    Command_ON_OFF.onClick = [this] { Command_ON_OFF_Click(); };
    TrayMenu_Command_ON_OFF.onClick = [this] { TrayMenu_Command_ON_OFF_Click(); };
    onSystemResume = [this] { clockMoved(true); };
    onTimeChange = [this] { clockMoved(false); };
    onVisibleChange = [this] { armTicks(false); };
}

// The rhythm of the ticks. Shown, or stopped, the one-second timer. Hidden and running, no timer
// but one tick at the next moment that can matter: the set minute's first second; its end when a
// tick has just seen the clock in it (the tick there sees the clock leave the minute fired in),
// and at once when none has; or the next guard wake, whichever comes first. Every tick out of the
// rhythm (a wake, a clock set, the tick an action held back), a start or stop (ticked), a shown
// or hidden window and a changed set time arm it again. A one-shot the system refuses leaves the
// one-second timer going. Shown, a one-shot armed while hidden stays and comes as a tick: the
// timer's rhythm begins anew with the window, and a wake aimed at the set minute's first second,
// cancelled for it, would let the first reading in the minute come up to a second and a half late.
void Form_Main::armTicks(bool ticked) {
    if (sleepTick_ != 0 && !(Timer_Run.enabled() && visible())) {
        platform_.timers.cancel(sleepTick_);
        sleepTick_ = 0;
    }
    if (Timer_Run.enabled() && !visible()) {
        try {
            const DateTime now = platform_.clock.now();
            const int sleep = ticked || !isSetMinute(now) ? sleepMilliseconds(now) : wakeMargin;
            sleepTick_ = platform_.timers.startOnce(sleep, [this] {
                sleepTick_ = 0;
                Timer_Run_Timer();
                armTicks(true);
            });
            Timer_Run.setInterval(0);
            return;
        } catch (...) {
        }
    }
    Timer_Run.setInterval(tickMilliseconds);
}

int Form_Main::sleepMilliseconds(const DateTime& now) {
    const int atNow = ((now.hour * 60 + now.minute) * 60 + now.second) * 1000 + now.millisecond;
    int next = (atNow / guardMilliseconds + 1) * guardMilliseconds;
    // A set time the clock can show reads "HH:MM"; any other is never in the minute.
    const std::string set = setTime();
    auto digit = [&](std::size_t at) { return set[at] >= '0' && set[at] <= '9' ? set[at] - '0' : -1; };
    if (set.size() == 5 && digit(0) >= 0 && digit(1) >= 0 && digit(3) >= 0 && digit(4) >= 0) {
        const int setMinute = ((digit(0) * 10 + digit(1)) * 60 + digit(3) * 10 + digit(4)) * 60 * 1000;
        const int until = isSetMinute(now)
                              ? setMinute + 60 * 1000 - atNow
                              : ((setMinute - atNow) % dayMilliseconds + dayMilliseconds) % dayMilliseconds;
        next = std::min(next, atNow + until);
    }
    return next - atNow + wakeMargin;
}

// One tick. The indicator shows for half a second before the clock is read; that wait is a
// one-shot timer rather than a pause, so the window stays responsive. While the window is hidden
// in the tray nobody sees the indicator: the tick then shows it, reads the clock and hides it at
// once, so that a tick costs its one timer message and the window system nothing (the window
// layer leaves a hidden window's controls alone until it is shown). Ticks that arrive while
// an earlier one is still waiting, or while any action runs (a message box keeps timer messages
// flowing, and a Test's box is no different from the scheduled one), are held back: two ticks
// never overlap, and a box is never opened on top of another. A tick held back by an action
// comes once the action has ended (see actionEnded), and owes the action it would have fired.
void Form_Main::Timer_Run_Timer() {
    if (pendingRead_ != 0) {
        return;
    }
    if (actionsRunning_ > 0) {
        holdTickBack();
        return;
    }
    tickOwed_ = false;
    if (owedDate_ && *owedDate_ != platform_.clock.now().date()) {
        owedDate_.reset();  // the action held back was owed on a date that has passed
    }
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
        holdTickBack();
        return;
    }
    procedure("Timer_Run_Timer", [&](Step& step) {
        platform::Clock& clock = platform_.clock;
        step(3);
        DateTime now = clock.now();
        step(4);
        const bool inSetMinute = isSetMinute(now);  // the time's text begins with the set hour and minute
        step(6);
        // A tick that an action held back inside the set minute owed its date's action: it runs
        // now, once that action is over (this tick began on that date still), and counts for it.
        const std::optional<CalendarDate> owed = inSetMinute ? std::nullopt : owedDate_;
        owedDate_.reset();
        if (!inSetMinute) {
            // The clock is out of the minute fired in: that minute holds back no date any more.
            // While the clock is still in it, it keeps a date changed there from firing again.
            Last_Action_Minute = noMinute;
        }
        // Today's date and the minute are read afresh at each use: the clock may have moved on.
        if ((inSetMinute || owed) && (owed ? *owed : clock.now().date()) != Last_Action_Date &&
            clock.now().minute != Last_Action_Minute) {
            // The date and minute of the firing are recorded once the action has returned, as they
            // were when it began: a message answered after midnight still counts for the date it
            // fired on, and the new date fires too.
            const DateTime at = clock.now();
            const Firing firing{owed ? *owed : at.date(), inSetMinute ? at.minute : noMinute,
                                clock.sleptMilliseconds()};
            unsigned armed = armings_;
            firing_ = firing;
            firingMinuteLeft_ = false;
            actionFromTrigger_ = true;
            vAction();
            firing_.reset();
            // A stop or a start while the action ran (its message box stood open) armed the
            // trigger afresh: that arming stands, not this firing. The clock may have left the
            // minute fired in meanwhile (see holdTickBack).
            if (armings_ == armed) {
                Last_Action_Date = firing.date;
                Last_Action_Minute = firingMinuteLeft_ ? noMinute : firing.minute;
                sleptAtFiring_ = firing.slept;
            }
        }
        step(7);
        Label_Indicator.setVisible(false);
    });
}

std::string Form_Main::setTime() {
    return twoDigits(Text_Hour.text(), numberFormat) + ":" + twoDigits(Text_Minute.text(), numberFormat);
}

bool Form_Main::isSetMinute(const DateTime& time) { return timeText(time).starts_with(setTime()); }

// A tick that an action holds back: it comes once the action has ended, and, inside the set
// minute on a date not fired yet, it owes that date's action (a Test's box left open across the
// minute would otherwise cost the evening its action). It applies the minute rule as a tick would,
// the firing whose box stands counted as fired: a date changed inside its minute owes nothing.
void Form_Main::holdTickBack() {
    tickOwed_ = true;
    procedure("Timer_Run_Timer", [&](Step& step) {
        step(3);
        DateTime now = platform_.clock.now();
        step(6);
        if (!isSetMinute(now)) {
            Last_Action_Minute = noMinute;
            firingMinuteLeft_ = true;
            return;
        }
        const CalendarDate firedDate = firing_ ? firing_->date : Last_Action_Date;
        const double firedMinute = !firing_            ? Last_Action_Minute
                                   : firingMinuteLeft_ ? noMinute
                                                       : firing_->minute;
        if (now.date() != firedDate && now.minute != firedMinute) {
            owedDate_ = now.date();
        }
    });
}

void Form_Main::actionStarted() { ++actionsRunning_; }

// The last running action has ended: a tick held back meanwhile (the start's own tick among
// them) comes now, after the caller that ran the action has finished with it. Called from a
// destructor, so nothing may leave it: a one-shot the system refuses is made up by the timer's
// next tick, which finds the tick and the action still owed.
void Form_Main::actionEnded() noexcept {
    if (--actionsRunning_ == 0 && tickOwed_ && owedTick_ == 0) {
        try {
            owedTick_ = platform_.timers.startOnce(0, [this] {
                owedTick_ = 0;
                if (tickOwed_ && Timer_Run.enabled()) {
                    tickNow();
                }
            });
        } catch (...) {
            owedTick_ = 0;
        }
    }
}

// A tick out of the timer's rhythm; the timer's next one then comes a whole second later, so
// that the clock is still read once a second. A tick whose read is pending already reads within
// half a second, and keeps the rhythm: started anew, the next read would come up to a second and a
// half after it.
void Form_Main::tickNow() {
    if (pendingRead_ == 0) {
        Timer_Run.restart();
    }
    Timer_Run_Timer();
    armTicks(true);
}

// The machine woke from sleep, or the clock was set. The set minute may have begun already and
// the timer's next tick be a second away: tick now. Woken on another date than the last firing's,
// the clock has left the minute fired in while the machine slept, whatever it shows now; a clock
// set inside that minute has not left it. The system tells of one wake once or twice, the second
// time up to some seconds late: a message that comes after a firing in the minute woken in (the
// date set forward inside it since) tells of no sleep after that firing, and releases nothing.
void Form_Main::clockMoved(bool resumed) {
    if (leadingValue(Command_ON_OFF.tag()) == 0) {
        return;
    }
    const CalendarDate today = platform_.clock.now().date();
    if (owedDate_ && *owedDate_ != today) {
        owedDate_.reset();  // the clock has gone to another date: that date's set minute decides
    }
    if (resumed && today != Last_Action_Date &&
        platform_.clock.sleptMilliseconds() - sleptAtFiring_ > sleptMargin) {
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
    firing_.reset();  // a firing whose box stands counts no more: the trigger is armed afresh
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
            owedDate_.reset();
        }
        armTicks(true);  // the start's own tick has run
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
