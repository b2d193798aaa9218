// DailyTrigger, the state and logic of the main window's daily trigger: the tick's one-shots,
// the tick an action holds back, the firing and the sleep hidden in the tray. The main window
// holds one, and its handlers (scheduler.cpp) forward to it.
#pragma once

#include "base/datetime.h"
#include "base/report.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "platform/clock.h"
#include "platform/timers.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tivora {

class DailyTrigger {
public:
    static constexpr double noMinute = 61;  // can never equal a minute of the hour
    // Every start and stop re-arms the trigger with this date ("01.01.1980").
    static constexpr CalendarDate armedDate{1980, 1, 1};

    // What the trigger reads and sets of the main window.
    struct Window {
        forms::Form& form;
        forms::TextBox& hour;
        forms::TextBox& minute;
        forms::Label& indicator;
        forms::Timer& timer;
        forms::CommandButton& onOff;  // its tag tells whether the trigger runs
        CalendarDate& lastActionDate;
        double& lastActionMinute;
    };

    // tick runs the window's tick handler; act, the window's action.
    DailyTrigger(Window window, platform::Clock& clock, platform::Timers& timers, ErrorReporter& reporter,
                 std::function<void()> tick, std::function<void()> act);

    // A tick's start: false when it is held back (an action runs) or another tick's read is pending.
    bool beginTick();
    // The rest of a tick once the indicator has shown for half a second.
    void readAfterIndicator();
    // The tick's read of the clock, and the action when it fires.
    void finishTick();
    // Started or stopped: a firing whose box stands counts no more.
    void armAfresh();
    // Stopped: the pending read, the held-back tick and its owed action are dropped.
    void stop();
    // Hidden and running, one tick at the next moment that can matter; ticked: a tick has just run.
    void armTicks(bool ticked);
    // The machine woke from sleep (resumed), or the clock was set.
    void clockMoved(bool resumed);

    // The next action run is the trigger's, not a Test; reading it clears it.
    bool takeActionFromTrigger();
    void actionStarted();
    void actionEnded() noexcept;

private:
    void stopPendingTick();
    void tickNow();
    // The set hour and minute as the clock's text begins with them ("23:00").
    std::string setTime();
    bool isSetMinute(const DateTime& time);
    void holdTickBack();
    int sleepMilliseconds(const DateTime& now);

    Window window_;
    platform::Clock& clock_;
    platform::Timers& timers_;
    ErrorReporter& reporter_;
    std::function<void()> tick_;
    std::function<void()> act_;

    bool actionFromTrigger_ = false;  // the next action is the trigger's, not a Test
    int pendingRead_ = 0;             // the one-shot that ends the current tick, 0 when none
    int actionsRunning_ = 0;          // ticks are held back while any action runs
    bool tickOwed_ = false;           // a tick was held back by an action
    int owedTick_ = 0;                // the one-shot that brings it, 0 when none
    int sleepTick_ = 0;               // running: the one-shot of the next tick armed hidden, 0 when none
    // The date whose action a tick held back inside the set minute would have fired.
    std::optional<CalendarDate> owedDate_;
    unsigned armings_ = 0;  // starts and stops so far
    struct Firing {
        CalendarDate date;   // the date it counts for
        double minute;       // the minute it fired in, or none (61) for an owed action
        std::int64_t slept;  // the machine's time asleep as it fired
    };
    std::optional<Firing> firing_;    // the firing whose action runs now
    bool firingMinuteLeft_ = false;   // the clock has left its minute meanwhile
    std::int64_t sleptAtFiring_ = 0;  // the machine's time asleep as the last firing recorded fired
};

}  // namespace tivora
