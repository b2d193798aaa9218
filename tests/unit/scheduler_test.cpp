// The daily trigger fires exactly once a day, at the set minute, and never twice.
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/calendar.h"
#include "fakes/main_window_fixture.h"

namespace tivora {
namespace {

const std::string message = "Tivora свое чертово радио!!!";

using fakes::civilFromDays;
using fakes::daysFromCivil;

DateTime at(const CalendarDate& date, int h, int mi, int s) {
    return {date.year, date.month, date.day, h, mi, s};
}

using Scheduler = fakes::MainWindowFixture;

TEST_F(Scheduler, StartAndStopSwitchTimerCaptionsAndTimeBoxes) {
    form.Command_Test.click();  // never started: the action's end brings no tick
    fake.timers.runTimers();
    EXPECT_FALSE(form.Label_Indicator.visible());
    fake.clock.time = {2026, 12, 7, 10, 0, 0};
    clickStart();
    EXPECT_TRUE(form.Timer_Run.enabled());
    EXPECT_FALSE(form.Text_Hour.enabled());
    EXPECT_FALSE(form.Text_Minute.enabled());
    EXPECT_EQ(form.Command_ON_OFF.caption(), "Стоп");
    EXPECT_EQ(form.TrayMenu_Command_ON_OFF.caption(), "Стоп");
    EXPECT_EQ(form.Command_ON_OFF.tag(), "1");
    EXPECT_EQ(form.Last_Action_Date, (CalendarDate{1980, 1, 1}));
    EXPECT_EQ(form.Last_Action_Minute, 61);
    form.TrayMenu_Command_ON_OFF.click();
    EXPECT_FALSE(form.Timer_Run.enabled());
    EXPECT_TRUE(form.Text_Hour.enabled());
    EXPECT_TRUE(form.Text_Minute.enabled());
    EXPECT_EQ(form.Command_ON_OFF.caption(), "Старт");
    EXPECT_EQ(form.TrayMenu_Command_ON_OFF.caption(), "Старт");
    EXPECT_EQ(form.Command_ON_OFF.tag(), "0");
}

TEST_F(Scheduler, IndicatorShowsForHalfASecondAndAStopCancelsThePendingRead) {
    struct : forms::ControlView {
        int restarts = 0;
        void controlChanged(forms::Control&, forms::Change what) override {
            restarts += what == forms::Change::Restart ? 1 : 0;
        }
    } timer;
    form.Timer_Run.setView(&timer);
    fake.clock.time = {2026, 12, 7, 10, 0, 0};
    form.Command_ON_OFF.click();  // the immediate tick: indicator up, read pending
    EXPECT_TRUE(form.Label_Indicator.visible());
    EXPECT_EQ(fake.timers.pendingTimers.size(), 1u);
    form.Timer_Run.tick();  // a tick while one is pending does not overlap it
    form.timeChanged();     // nor does the clock set then: the timer keeps its rhythm
    EXPECT_EQ(fake.timers.pendingTimers.size(), 1u);
    EXPECT_EQ(timer.restarts, 0);
    fake.timers.runTimers();
    EXPECT_FALSE(form.Label_Indicator.visible());
    form.timeChanged();  // after the read, a tick out of rhythm: the timer starts anew from it
    EXPECT_EQ(timer.restarts, 1);
    fake.timers.runTimers();
    fake.timers.refuseOneShots = 1;  // no timer left for the tick's read: told
    form.Timer_Run.tick();
    EXPECT_EQ(fake.boxes.messages.at(0).text,
              "Ошибка функции Timer_Run_Timer№7, 'Недостаточно памяти', строка 2");
    form.Timer_Run.tick();
    form.Command_ON_OFF.click();  // stop before the read
    EXPECT_TRUE(fake.timers.pendingTimers.empty());
    EXPECT_FALSE(form.Label_Indicator.visible());
    form.Timer_Run.tick();  // the timer is off: nothing
    EXPECT_FALSE(form.Label_Indicator.visible());
}

TEST_F(Scheduler, FiresOnceInTheFirstTickOfTheMinuteAndNextOnTheFollowingDay) {
    fake.clock.time = {2026, 12, 7, 22, 59, 30};
    clickStart();
    for (int s = 31; s < 60; ++s) {
        tickAt({2026, 12, 7, 22, 59, s});
    }
    EXPECT_EQ(shown(message), 0);
    for (int s = 0; s < 60; ++s) {
        tickAt({2026, 12, 7, 23, 0, s});
        EXPECT_EQ(shown(message), 1) << "23:00:" << s;
    }
    tickAt({2026, 12, 7, 23, 1, 0});
    tickAt({2026, 12, 8, 22, 59, 59});
    EXPECT_EQ(shown(message), 1);
    tickAt({2026, 12, 8, 23, 0, 1});
    EXPECT_EQ(shown(message), 2);
}

TEST_F(Scheduler, FiresExactlyOnceADayOverFourHundredDaysWithClockChanges) {
    form.Text_Hour.setText("2");
    form.Text_Minute.setText("30");
    int start = daysFromCivil(2026, 1, 1);
    fake.clock.time = at(civilFromDays(start), 0, 0, 0);
    clickStart();
    int expected = 0;
    for (int day = start; day < start + 400; ++day) {
        CalendarDate date = civilFromDays(day);
        bool springForward = date.month == 3 && date.day == 29;  // 02:00 jumps to 03:00
        bool fallBack = date.month == 10 && date.day == 25;      // 03:00 goes back to 02:00
        auto run = [&](int fromSecond, int toSecond, int step) {
            for (int t = fromSecond; t < toSecond; t += step) {
                int h = t / 3600;
                if (springForward && h == 2) {
                    continue;
                }
                tickAt(at(date, h, t / 60 % 60, t % 60));
            }
        };
        // Coarse ticks over the whole day, every second around the set minute.
        run(0, 2 * 3600 + 28 * 60, 97);
        run(2 * 3600 + 28 * 60, 2 * 3600 + 33 * 60, 1);
        if (fallBack) {
            run(2 * 3600, 3 * 3600, 1);  // the hour from 02:00 comes round again
        }
        run(2 * 3600 + 33 * 60, 24 * 3600, 97);
        expected += springForward ? 0 : 1;  // 02:30 never comes on that day
        ASSERT_EQ(shown(message), expected) << date.year << "-" << date.month << "-" << date.day;
    }
}

TEST_F(Scheduler, StartingInsideTheSetMinuteFiresDuringTheStart) {
    fake.clock.time = {2026, 12, 7, 23, 0, 20};
    clickStart();
    EXPECT_EQ(shown(message), 1);
}

TEST_F(Scheduler, StopAndStartReArm) {
    fake.clock.time = {2026, 12, 7, 23, 0, 5};
    clickStart();
    tickAt({2026, 12, 7, 23, 0, 6});
    EXPECT_EQ(shown(message), 1);
    form.Command_ON_OFF.click();
    fake.clock.time = {2026, 12, 7, 23, 0, 40};
    clickStart();
    EXPECT_EQ(shown(message), 2);
    // Fired at 20:00; stop, set 21:00, start: it fires again the same day.
    form.Command_ON_OFF.click();
    form.Text_Hour.setText("21");
    fake.clock.time = {2026, 12, 7, 20, 59, 59};
    clickStart();
    tickAt({2026, 12, 7, 21, 0, 0});
    EXPECT_EQ(shown(message), 3);
}

TEST_F(Scheduler, SingleDigitTimesFireAtTheirMinute) {
    form.Text_Hour.setText("7");
    form.Text_Minute.setText("5");
    fake.clock.time = {2026, 12, 7, 7, 4, 59};
    clickStart();
    tickAt({2026, 12, 7, 7, 50, 0});
    tickAt({2026, 12, 7, 17, 5, 0});
    EXPECT_EQ(shown(message), 0);
    tickAt({2026, 12, 8, 7, 5, 0});
    EXPECT_EQ(shown(message), 1);
}

// (No tick outside the set minute comes here; one would release the minute as well, see
// TheFiredMinuteStopsBlockingOnceTheClockHasLeftIt.)
TEST_F(Scheduler, DateChangedInsideTheFiredMinuteBlocksUntilAStopAndStart) {
    form.Text_Hour.setText("12");
    form.Text_Minute.setText("00");
    fake.clock.time = {2026, 12, 7, 11, 59, 59};
    clickStart();
    tickAt({2026, 12, 7, 12, 0, 0});
    EXPECT_EQ(shown(message), 1);
    tickAt({2026, 12, 8, 12, 0, 30});  // the date set forward within the minute
    tickAt({2026, 12, 9, 12, 0, 0});
    tickAt({2026, 12, 6, 12, 0, 1});  // and back
    EXPECT_EQ(shown(message), 1);
    form.Command_ON_OFF.click();
    fake.clock.time = {2026, 12, 10, 11, 0, 0};
    clickStart();
    tickAt({2026, 12, 10, 12, 0, 0});
    EXPECT_EQ(shown(message), 2);
}

TEST_F(Scheduler, ATestNeverCountsAsTheDaysFiring) {
    fake.clock.time = {2026, 12, 7, 22, 59, 0};
    clickStart();
    form.Command_Test.click();
    EXPECT_EQ(shown(message), 1);
    tickAt({2026, 12, 7, 23, 0, 0});
    EXPECT_EQ(shown(message), 2);
    fake.clock.time = {2026, 12, 7, 23, 0, 10};
    form.TrayMenu_Command_Test.click();
    tickAt({2026, 12, 7, 23, 0, 11});
    EXPECT_EQ(shown(message), 3);
}

TEST_F(Scheduler, TicksDuringAnOpenMessageDoNotFireAgain) {
    int nested = 0;
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
        // The box is open: its modal loop keeps delivering the one-second ticks.
        EXPECT_TRUE(form.Label_Indicator.visible());
        if (nested++ == 0) {
            for (int s = 1; s < 5; ++s) {
                tickAt({2026, 12, 7, 23, 0, s});
            }
        }
    };
    fake.clock.time = {2026, 12, 7, 22, 59, 59};
    clickStart();
    tickAt({2026, 12, 7, 23, 0, 0});
    EXPECT_EQ(shown(message), 1);
    EXPECT_FALSE(form.Label_Indicator.visible());
    tickAt({2026, 12, 7, 23, 0, 6});
    EXPECT_EQ(shown(message), 1);
}

TEST_F(Scheduler, AFailedActionStillCountsTheDayAsDone) {
    form.Option_Volume.setValue(true);
    fake.processes.startFailure = err::FileNotFound;
    fake.clock.time = {2026, 12, 7, 22, 59, 59};
    clickStart();
    tickAt({2026, 12, 7, 23, 0, 0});
    tickAt({2026, 12, 7, 23, 0, 1});
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции vAction№53, 'Файл не найден', строка 5");
    EXPECT_EQ(form.Last_Action_Date, (CalendarDate{2026, 12, 7}));
}

// The trigger fired in the last second of its minute (the message answered at 23:00:59), or the
// machine slept right after the firing: no later tick of that minute settles it, and still the
// next day fires. The date-jump protection holds only while the clock stays in the fired minute.
TEST_F(Scheduler, TheFiredMinuteStopsBlockingOnceTheClockHasLeftIt) {
    auto fireAt2300 = [&](const CalendarDate& date) {
        tickAt(at(date, 22, 59, 59));
        tickAt(at(date, 23, 0, 0));
    };
    fake.clock.time = {2026, 12, 7, 22, 59, 30};
    clickStart();
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) { fake.clock.time = {2026, 12, 7, 23, 0, 59}; };
    fireAt2300({2026, 12, 7});
    fake.boxes.onMessage = nullptr;
    ASSERT_EQ(shown(message), 1);
    tickAt({2026, 12, 7, 23, 1, 0});
    fireAt2300({2026, 12, 8});
    EXPECT_EQ(shown(message), 2) << "the day after an answer in the minute's last second";
    // Asleep from 23:00:01 to the next morning: no tick of the fired minute ever comes.
    tickAt({2026, 12, 9, 7, 30, 0});
    fireAt2300({2026, 12, 9});
    EXPECT_EQ(shown(message), 3) << "the day after a sleep right after the firing";
    // The date set forward inside the fired minute: nothing more in it; the next date fires.
    tickAt({2026, 12, 10, 23, 0, 30});
    tickAt({2026, 12, 10, 23, 0, 31});
    EXPECT_EQ(shown(message), 3);
    tickAt({2026, 12, 10, 23, 1, 0});
    fireAt2300({2026, 12, 11});
    EXPECT_EQ(shown(message), 4) << "a date after the clock left the minute of a date jump";
    // Its box left open past the minute, then the clock set into the next day's: that day fires.
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
        if (shown(message) == 5) {
            tickAt({2026, 12, 12, 23, 1, 0});
            fake.clock.time = {2026, 12, 13, 23, 0, 5};
            form.timeChanged();
        }
    };
    fireAt2300({2026, 12, 12});
    tickAt({2026, 12, 13, 23, 0, 6});
    EXPECT_EQ(shown(message), 6);
    // Its box standing, the lid shut inside the fired minute and opened in the next date's, the
    // box answered after that minute: the next date fires all the same.
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
        if (shown(message) == 7) {
            fake.clock.slept += 86400000;
            fake.clock.time = {2026, 12, 15, 23, 0, 3};
            form.Timer_Run.tick();  // the tick due while asleep comes first
            form.systemResumed();
            fake.clock.time = {2026, 12, 15, 23, 1, 30};
        }
    };
    fireAt2300({2026, 12, 14});
    fake.timers.runTimers();  // the tick held back, once the box is answered
    fake.timers.runTimers();  // and its read
    EXPECT_EQ(shown(message), 8);
    EXPECT_EQ(form.Last_Action_Date, (CalendarDate{2026, 12, 15}));
}

// A Test's message box keeps ticks flowing: one in the set minute waits until the box is
// closed instead of opening the scheduled box on top of it; the firing then comes with the next
// tick of the minute.
TEST_F(Scheduler, ATickWhileATestBoxStandsOpensNoSecondBox) {
    int open = 0;
    int mostOpen = 0;
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
        mostOpen = std::max(mostOpen, ++open);
        if (fake.boxes.messages.size() == 1) {
            fake.clock.time = {2026, 12, 7, 23, 0, 0};
            form.Timer_Run.tick();  // held back: the square stays dark and no read is armed
            EXPECT_FALSE(form.Label_Indicator.visible());
            EXPECT_TRUE(fake.timers.pendingTimers.empty());
            tickAt({2026, 12, 7, 23, 0, 1});
        }
        --open;
    };
    fake.clock.time = {2026, 12, 7, 22, 59, 55};
    clickStart();
    form.Command_Test.click();
    EXPECT_EQ(mostOpen, 1);
    EXPECT_EQ(shown(message), 1);
    EXPECT_EQ(fake.timers.timerMilliseconds.at(fake.timers.pendingTimers.begin()->first), 0) << "at once";
    fake.timers.runTimers();
    tickAt({2026, 12, 7, 23, 0, 3});
    EXPECT_EQ(shown(message), 2) << "the scheduled firing, after the Test's box closed";
    EXPECT_EQ(mostOpen, 1);
    // From the tray menu the same.
    form.Text_Minute.setText("05");
    fake.boxes.messages.clear();
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
        mostOpen = std::max(mostOpen, ++open);
        if (fake.boxes.messages.size() == 1) {
            tickAt({2026, 12, 8, 23, 5, 0});
        }
        --open;
    };
    fake.clock.time = {2026, 12, 8, 23, 4, 59};
    form.TrayMenu_Command_Test.click();
    EXPECT_EQ(mostOpen, 1);
    // Pressed between a tick and its read, half a second later, the same.
    fake.boxes.messages.clear();
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
        mostOpen = std::max(mostOpen, ++open);
        if (fake.boxes.messages.size() == 1) {
            fake.timers.runTimers();  // the read, while the Test's box stands open
        }
        --open;
    };
    fake.clock.time = {2026, 12, 9, 23, 5, 0};
    form.Timer_Run.tick();
    form.Command_Test.click();
    EXPECT_EQ(mostOpen, 1);
    fake.timers.runTimers();  // the tick held back, once the box is closed
    fake.timers.runTimers();
    EXPECT_EQ(shown(message), 2);
    // Left open across the whole set minute, the Test's box owes the evening its action: once it
    // is closed (the system refusing the one-shot that would bring the held tick at once), the
    // next tick fires it, once.
    fake.boxes.messages.clear();
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
        if (fake.boxes.messages.size() == 1) {
            tickAt({2026, 12, 10, 23, 5, 0});
            tickAt({2026, 12, 10, 23, 6, 0});
            fake.timers.refuseOneShots = 1;
        }
    };
    tickAt({2026, 12, 10, 23, 4, 45});
    form.Command_Test.click();
    tickAt({2026, 12, 10, 23, 6, 2});
    tickAt({2026, 12, 10, 23, 6, 3});
    EXPECT_EQ(shown(message), 2);
    // Closed after midnight, it owes nothing; nor with the clock set to another date and back.
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
        tickAt({2026, 12, 11, 23, 5, 0});
        fake.clock.time = {2026, 12, 12, 0, 0, 1};
    };
    form.Command_Test.click();
    tickAt({2026, 12, 12, 0, 0, 2});
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
        tickAt({2026, 12, 12, 23, 5, 0});
        fake.clock.time = {2026, 12, 20, 9, 0, 0};
        form.timeChanged();
        fake.clock.time = {2026, 12, 12, 23, 30, 0};
        form.timeChanged();
    };
    form.Command_Test.click();
    tickAt({2026, 12, 12, 23, 30, 1});
    EXPECT_EQ(shown(message), 4);
}

// Stop and start while the scheduled message stands open: once it is closed, the start's rule
// holds (armed afresh, one tick at once), so a new time set meanwhile fires the same evening and
// the same minute fires again at once.
TEST_F(Scheduler, AStopAndStartWhileTheScheduledBoxStandsReArmsOnceItIsClosed) {
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
        if (fake.boxes.messages.size() == 1) {
            form.Command_ON_OFF.click();
            form.Text_Minute.setText("30");
            form.Command_ON_OFF.click();
            fake.clock.time = {2026, 12, 7, 23, 0, 40};
        }
    };
    fake.clock.time = {2026, 12, 7, 22, 59, 59};
    clickStart();
    tickAt({2026, 12, 7, 23, 0, 0});
    EXPECT_EQ(form.Last_Action_Date, (CalendarDate{1980, 1, 1}));
    fake.timers.runTimers();
    fake.timers.runTimers();
    tickAt({2026, 12, 7, 23, 29, 59});
    tickAt({2026, 12, 7, 23, 30, 0});
    EXPECT_EQ(shown(message), 2) << "the new time, the same evening";

    // The same minute: the start's own tick comes as soon as the box is closed.
    form.Command_ON_OFF.click();
    form.Text_Minute.setText("00");
    fake.boxes.messages.clear();
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
        if (fake.boxes.messages.size() == 1) {
            form.TrayMenu_Command_ON_OFF.click();
            form.TrayMenu_Command_ON_OFF.click();
            fake.clock.time = {2026, 12, 8, 23, 0, 20};
        }
    };
    fake.clock.time = {2026, 12, 8, 22, 59, 59};
    clickStart();
    tickAt({2026, 12, 8, 23, 0, 0});
    EXPECT_EQ(shown(message), 1);
    fake.timers.runTimers();  // the start's tick, at once
    fake.timers.runTimers();  // its read half a second later
    EXPECT_EQ(shown(message), 2) << "the start's tick after the box closed";

    // A stop alone while the box stands leaves the trigger armed as the stop left it.
    form.Text_Minute.setText("30");
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) { form.Command_ON_OFF.click(); };
    tickAt({2026, 12, 9, 23, 30, 0});
    fake.timers.runTimers();
    EXPECT_EQ(form.Command_ON_OFF.tag(), "0");
    EXPECT_EQ(form.Last_Action_Date, (CalendarDate{1980, 1, 1}));
    EXPECT_EQ(form.Last_Action_Minute, 61);
}

// The machine woke, or the clock was set, inside the set minute: the tick comes at once rather
// than with the timer's next one. Woken on a later date in the minute it last fired in, it fires:
// the clock left that minute while the machine slept.
TEST_F(Scheduler, WakingOrASetClockInsideTheSetMinuteTicksAtOnce) {
    fake.clock.time = {2026, 12, 7, 22, 0, 0};
    clickStart();
    fake.clock.time = {2026, 12, 7, 23, 0, 0};
    form.timeChanged();
    fake.timers.runTimers();
    EXPECT_EQ(shown(message), 1) << "the clock set to the set minute";

    fake.clock.time = {2026, 12, 8, 23, 0, 10};
    fake.clock.slept = 86400000;
    form.systemResumed();
    fake.timers.runTimers();
    EXPECT_EQ(shown(message), 2) << "woken in the set minute of the next date";

    tickAt({2026, 12, 8, 23, 0, 11});
    fake.clock.time = {2026, 12, 9, 23, 0, 30};
    fake.clock.slept += 500;  // the two counters' margin: no sleep
    form.systemResumed();
    form.timeChanged();
    fake.timers.runTimers();
    EXPECT_EQ(shown(message), 2) << "the date set forward in the fired minute, then the wake's late message";

    // Stopped, neither does anything.
    form.Command_ON_OFF.click();
    fake.clock.time = {2026, 12, 9, 23, 0, 0};
    form.systemResumed();
    form.timeChanged();
    fake.timers.runTimers();
    EXPECT_EQ(shown(message), 2);
    EXPECT_FALSE(form.Label_Indicator.visible());
}

// A message set for 23:59 and answered after midnight counts for the date it fired on: the new
// date still fires at 23:59.
TEST_F(Scheduler, AFiringAnsweredAfterMidnightCountsForItsOwnDate) {
    form.Text_Minute.setText("59");
    fake.clock.time = {2026, 12, 7, 23, 58, 0};
    clickStart();
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) { fake.clock.time = {2026, 12, 8, 0, 0, 30}; };
    tickAt({2026, 12, 7, 23, 59, 0});
    fake.boxes.onMessage = nullptr;
    EXPECT_EQ(form.Last_Action_Date, (CalendarDate{2026, 12, 7}));
    tickAt({2026, 12, 8, 0, 0, 31});
    tickAt({2026, 12, 8, 23, 59, 0});
    EXPECT_EQ(shown(message), 2);
}

// Hidden and running, the trigger sleeps: one one-shot to the next moment that can matter (the
// set minute, or the guard wake every fifth minute). Shown again, or where the system refuses
// the one-shot, the one-second timer is back.
TEST_F(Scheduler, AHiddenTriggerSleepsToTheNextMomentThatCanMatter) {
    struct Row {
        DateTime now;
        const char* hour;
        int sleep;
    } rows[] = {
        {{2026, 12, 7, 22, 59, 58, 0}, "23", 2020},     // to the set minute, and a little past it
        {{2026, 12, 7, 22, 10, 0, 500}, "23", 299520},  // to the guard wake at 22:15
        {{2026, 12, 7, 22, 16, 0, 0}, "23", 240020},    // a clock set unannounced is read in five minutes
        {{2026, 12, 7, 23, 59, 30, 0}, "0", 30020},     // across midnight
    };
    form.TrayMenu_Command_View_Click();  // hidden
    for (const Row& row : rows) {
        form.Text_Hour.setText(row.hour);
        fake.clock.time = row.now;
        clickStart();
        EXPECT_EQ(form.Timer_Run.interval(), 0);
        ASSERT_EQ(fake.timers.pendingTimers.size(), 1u);
        EXPECT_EQ(fake.timers.timerMilliseconds.at(fake.timers.pendingTimers.begin()->first), row.sleep);
        form.TrayMenu_Command_View_Click();  // shown
        EXPECT_EQ(form.Timer_Run.interval(), 1000);
        EXPECT_EQ(fake.timers.pendingTimers.size(), 1u);  // the wake stays
        fake.timers.refuseOneShots = 1;
        form.TrayMenu_Command_View_Click();  // hidden, the system out of timers
        EXPECT_EQ(form.Timer_Run.interval(), 1000);
        form.Command_ON_OFF.click();  // stop
    }
}

// The date set forward or back some seconds into the fired minute, after further ticks of that
// minute: still no second firing in it. Waking on the same date in that minute does not release
// it either; the clock leaving the minute does.
TEST_F(Scheduler, ADateChangedLaterInTheFiredMinuteStillFiresNothingInIt) {
    form.Text_Hour.setText("12");
    fake.clock.time = {2026, 12, 7, 11, 59, 59};
    clickStart();
    tickAt({2026, 12, 7, 12, 0, 0});
    for (int s = 1; s < 10; ++s) {
        tickAt({2026, 12, 7, 12, 0, s});
    }
    fake.clock.time = {2026, 12, 7, 12, 0, 11};
    form.systemResumed();  // a short sleep inside the minute
    fake.timers.runTimers();
    tickAt({2026, 12, 8, 12, 0, 12});
    tickAt({2026, 12, 5, 12, 0, 13});
    EXPECT_EQ(shown(message), 1);
    tickAt({2026, 12, 5, 12, 1, 0});
    tickAt({2026, 12, 6, 12, 0, 0});
    EXPECT_EQ(shown(message), 2);
}

}  // namespace
}  // namespace tivora
