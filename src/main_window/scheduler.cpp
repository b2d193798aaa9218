// The daily trigger (DailyTrigger) and the main window's handlers that start, stop and tick it:
// each tick blinks the indicator square and, the first time the clock shows the set hour and
// minute on a date, performs the action; hidden in the tray, it sleeps between moments that matter.
#include <algorithm>
#include <string>
#include <utility>

#include "base/numbers.h"
#include "main_window/form_main.h"
#include "main_window/scheduler.h"

namespace tivora {

namespace {

constexpr int indicatorMilliseconds = 500;
constexpr int tickMilliseconds = 1000;
// Hidden, the trigger wakes at least at every fifth minute on the clock, where a daylight-saving
// jump or a slewed clock is read again: twelve wakes an hour instead of 3 600.
constexpr int guardMilliseconds = 5 * 60 * 1000;
// A wake aimed at a moment comes this much after it, so that a timer on time never finds the
// clock a hair short of the moment (one that does sleeps the rest and looks again).
constexpr int wakeMargin = 20;
constexpr int dayMilliseconds = 24 * 60 * 60 * 1000;
// The least growth of the time asleep that counts as a sleep: the system's two counters it comes
// from are read a moment apart and at different resolutions; a sleep lasts seconds.
constexpr std::int64_t sleptMargin = 500;

}  // namespace

DailyTrigger::DailyTrigger(Window window, platform::Clock& clock, platform::Timers& timers,
                           ErrorReporter& reporter, std::function<void()> tick, std::function<void()> act)
    : window_(window),
      clock_(clock),
      timers_(timers),
      reporter_(reporter),
      tick_(std::move(tick)),
      act_(std::move(act)) {}

// Shown, or stopped, the one-second timer; hidden and running, one one-shot tick at the first of:
// the set minute's first second, its end (at once when no tick has just read the clock in it), the
// next guard wake. A refused one-shot leaves the timer going; one armed hidden stays when shown.
void DailyTrigger::armTicks(bool ticked) {
    forms::Timer& timer = window_.timer;
    if (sleepTick_ != 0 && !(timer.enabled() && window_.form.visible())) {
        timers_.cancel(sleepTick_);
        sleepTick_ = 0;
    }
    if (timer.enabled() && !window_.form.visible()) {
        try {
            const DateTime now = clock_.now();
            const int sleep = ticked || !isSetMinute(now) ? sleepMilliseconds(now) : wakeMargin;
            sleepTick_ = timers_.startOnce(sleep, [this] {
                sleepTick_ = 0;
                tick_();
                armTicks(true);
            });
            timer.setInterval(0);
            return;
        } catch (...) {
        }
    }
    timer.setInterval(tickMilliseconds);
}

int DailyTrigger::sleepMilliseconds(const DateTime& now) {
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

bool DailyTrigger::beginTick() {
    if (pendingRead_ != 0) {
        return false;
    }
    if (actionsRunning_ > 0) {
        holdTickBack();
        return false;
    }
    tickOwed_ = false;
    if (owedDate_ && *owedDate_ != clock_.now().date()) {
        owedDate_.reset();  // the action held back was owed on a date that has passed
    }
    return true;
}

void DailyTrigger::readAfterIndicator() {
    pendingRead_ = timers_.startOnce(indicatorMilliseconds, [this] {
        pendingRead_ = 0;
        finishTick();
    });
}

void DailyTrigger::finishTick() {
    forms::Label& indicator = window_.indicator;
    if (actionsRunning_ > 0) {
        // A Test pressed between the tick and its read: the read waits for the Test's box too.
        indicator.setVisible(false);
        holdTickBack();
        return;
    }
    CalendarDate& lastDate = window_.lastActionDate;
    double& lastMinute = window_.lastActionMinute;
    trap(reporter_, "Timer_Run_Timer", [&](Step& step) {
        platform::Clock& clock = clock_;
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
            lastMinute = noMinute;
        }
        // Today's date and the minute are read afresh at each use: the clock may have moved on.
        if ((inSetMinute || owed) && (owed ? *owed : clock.now().date()) != lastDate &&
            clock.now().minute != lastMinute) {
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
            act_();
            firing_.reset();
            // A stop or a start while the action ran (its message box stood open) armed the
            // trigger afresh: that arming stands, not this firing. The clock may have left the
            // minute fired in meanwhile (see holdTickBack).
            if (armings_ == armed) {
                lastDate = firing.date;
                lastMinute = firingMinuteLeft_ ? noMinute : firing.minute;
                sleptAtFiring_ = firing.slept;
            }
        }
        step(7);
        indicator.setVisible(false);
    });
}

std::string DailyTrigger::setTime() {
    const NumberFormat& format = window_.form.numberFormat;
    return twoDigits(window_.hour.text(), format) + ":" + twoDigits(window_.minute.text(), format);
}

bool DailyTrigger::isSetMinute(const DateTime& time) { return timeText(time).starts_with(setTime()); }

// A tick held back by an action comes once it has ended; inside the set minute on a date not
// fired yet it owes that date's action. The firing whose box stands counts as fired: a date
// changed inside its minute owes nothing.
void DailyTrigger::holdTickBack() {
    tickOwed_ = true;
    trap(reporter_, "Timer_Run_Timer", [&](Step& step) {
        step(3);
        DateTime now = clock_.now();
        step(6);
        if (!isSetMinute(now)) {
            window_.lastActionMinute = noMinute;
            firingMinuteLeft_ = true;
            return;
        }
        const CalendarDate firedDate = firing_ ? firing_->date : window_.lastActionDate;
        const double firedMinute = !firing_            ? window_.lastActionMinute
                                   : firingMinuteLeft_ ? noMinute
                                                       : firing_->minute;
        if (now.date() != firedDate && now.minute != firedMinute) {
            owedDate_ = now.date();
        }
    });
}

bool DailyTrigger::takeActionFromTrigger() { return std::exchange(actionFromTrigger_, false); }

void DailyTrigger::actionStarted() { ++actionsRunning_; }

// The last running action has ended: a tick held back meanwhile comes now, after its caller.
// Called from a destructor, so nothing may leave it: a refused one-shot is made up by the
// timer's next tick, which finds the tick and the action still owed.
void DailyTrigger::actionEnded() noexcept {
    if (--actionsRunning_ == 0 && tickOwed_ && owedTick_ == 0) {
        try {
            owedTick_ = timers_.startOnce(0, [this] {
                owedTick_ = 0;
                if (tickOwed_) {  // else a tick, or a stop, has come since
                    tickNow();
                }
            });
        } catch (...) {
            owedTick_ = 0;
        }
    }
}

// A tick out of the timer's rhythm; the timer's next one comes a whole second later. A tick
// whose read is pending keeps the rhythm: it reads within half a second anyway.
void DailyTrigger::tickNow() {
    if (pendingRead_ == 0) {
        window_.timer.restart();
    }
    tick_();
    armTicks(true);
}

// Tick now: the set minute may have begun. Woken on another date than a firing's, after a sleep
// since that firing, the clock has left the minute fired in; a clock set inside it has not. That
// holds for the last firing recorded and for the one whose box stands.
void DailyTrigger::clockMoved(bool resumed) {
    if (leadingValue(window_.onOff.tag()) == 0) {
        return;
    }
    const CalendarDate today = clock_.now().date();
    if (owedDate_ && *owedDate_ != today) {
        owedDate_.reset();  // the clock has gone to another date: that date's set minute decides
    }
    auto leftAsleep = [&](const CalendarDate& firedDate, std::int64_t sleptThen) {
        return resumed && today != firedDate && clock_.sleptMilliseconds() - sleptThen > sleptMargin;
    };
    if (leftAsleep(window_.lastActionDate, sleptAtFiring_)) {
        window_.lastActionMinute = noMinute;
    }
    if (firing_ && leftAsleep(firing_->date, firing_->slept)) {
        firingMinuteLeft_ = true;  // the held tick below owes the new date its action
    }
    tickNow();
}

void DailyTrigger::armAfresh() {
    ++armings_;
    firing_.reset();
}

void DailyTrigger::stop() {
    if (pendingRead_ != 0) {
        timers_.cancel(pendingRead_);
        pendingRead_ = 0;
        window_.indicator.setVisible(false);
    }
    tickOwed_ = false;
    owedDate_.reset();
}

void Form_Main::bindScheduler() {
    Timer_Run.onTimer = [this] { Timer_Run_Timer(); };
    Command_ON_OFF.onClick = [this] { Command_ON_OFF_Click(); };
    TrayMenu_Command_ON_OFF.onClick = [this] { TrayMenu_Command_ON_OFF_Click(); };
    onSystemResume = [this] { trigger_.clockMoved(true); };
    onTimeChange = [this] { trigger_.clockMoved(false); };
    onVisibleChange = [this] { trigger_.armTicks(false); };
}

// One tick: the indicator shows for half a second (a one-shot, not a pause) before the clock is
// read; hidden, at once. Ticks that come while a read is pending or an action runs are held back.
void Form_Main::Timer_Run_Timer() {
    if (!trigger_.beginTick()) {
        return;
    }
    bool seen = visible();
    bool shown = procedure("Timer_Run_Timer", [&](Step& step) {
        step(1);
        Label_Indicator.setVisible(true);
        Label_Indicator.refresh();
        step(2);
        if (seen) {
            trigger_.readAfterIndicator();
        }
    });
    if (shown && !seen) {
        trigger_.finishTick();
    }
}

void Form_Main::vON_OFF() {
    trigger_.armAfresh();  // a firing whose box stands counts no more
    procedure("vON_OFF", [&](Step& step) {
        step(1);
        Last_Action_Date = DailyTrigger::armedDate;
        step(2);
        Last_Action_Minute = DailyTrigger::noMinute;
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
            trigger_.stop();
        }
        trigger_.armTicks(true);  // the start's own tick has run
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
