// Local calendar dates and times of day as the program reads them from the clock.
#pragma once

#include <compare>

namespace tivora {

struct CalendarDate {
    int year = 1899;  // the zero date of the classic date type: 30 December 1899
    int month = 12;
    int day = 30;

    friend auto operator<=>(const CalendarDate&, const CalendarDate&) = default;
};

struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    CalendarDate date() const { return {year, month, day}; }
    friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

}  // namespace tivora
