// The selected time of a main window: the second the user has chosen, shown
// in a date picker and hour, minute and second lists as local standard time
// (mktime with the daylight-saving flag 0), so that showing a time and
// reading the controls back never moves it by the daylight-saving hour.
// Both windows keep one of these and only move their controls.
#pragma once

#include <cstdint>

#include "card/local_time.h"

namespace orvanta {

// The controls' values: the picker's calendar date and the selection
// indices of the hour, minute and second lists (an item's index is its value).
struct TimeControlValues {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hourIndex = 0;
    int minuteIndex = 0;
    int secondIndex = 0;
};

// The time the controls show: the picker's date with the lists' hour, minute
// and second, as local standard time; -1 when a 32-bit time cannot hold it.
std::int32_t ComposeTime(const TimeControlValues& controls);

class CTimeSelection {
public:
    explicit CTimeSelection(std::int32_t time) : time_(time) {}

    std::int32_t Time() const { return time_; }
    void Set(std::int32_t time) { time_ = time; }

    // What the controls show for the selected time.
    TimeControlValues Shown() const;

    // A control changed: the selected time becomes what the controls show.
    // A moment a 32-bit time cannot hold is refused: the selected time stays
    // and false tells the window to show it again.
    bool TakeFromControls(const TimeControlValues& controls);

    // Moves the selected time by `seconds`; at either end of the range it
    // stays where it is.
    void Step(std::int32_t seconds);

    // The earliest time the platform's C library shows and converts back:
    // the 32-bit minimum where localtime takes times before 1970 (Linux),
    // 0 (1970-01-01 00:00:00 UTC) where it does not (Windows).
    static std::int32_t EarliestTime();

    // The calendar dates of EarliestTime and of the last 32-bit time in this
    // zone: the date picker's range.
    static TimeControlValues FirstDate();
    static TimeControlValues LastDate();

private:
    std::int32_t time_;
};

}  // namespace orvanta
