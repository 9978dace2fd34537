// The selected time both windows keep: composed from the controls as local
// standard time, shown and read back without drift across daylight saving,
// stepped by one second, and held inside the 32-bit range at both ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "tests/common/test_env.h"
#include "dialogcore/time_selection.h"

namespace orvanta {
namespace {

using testenv::ScopedTimeZone;
using testenv::TimeOfFields;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
#ifdef _WIN32
// The C library shows no time before 1970-01-01 00:00:00 UTC.
constexpr std::int32_t kMin = 0;
constexpr int kFirstShown[6] = {1970, 1, 1, 8, 0, 0};
#else
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr int kFirstShown[6] = {1901, 12, 14, 4, 45, 52};
#endif

TEST(TimeSelection, StepsShowsAndTakesBackInBothZones) {
    struct Case {
        const char* zone;
        std::int32_t start;  // used when `fields` is empty
        int fields[6];
        std::int32_t step;
        int shown[6];  // what the controls show after the step
    };
    const Case cases[] = {
        {"Asia/Shanghai", 0, {2013, 12, 6, 0, 0, 0}, -1, {2013, 12, 5, 23, 59, 59}},
        {"Asia/Shanghai", 0, {2013, 12, 31, 23, 59, 59}, 1, {2014, 1, 1, 0, 0, 0}},
        // Summer in Berlin: the controls show local standard time (one hour
        // behind the clock), and reading them back gives the same second.
        {"Europe/Berlin", 0, {2024, 7, 13, 23, 59, 59}, 1, {2024, 7, 14, 0, 0, 0}},
        {"Europe/Berlin", 0, {2024, 3, 31, 2, 30, 0}, -1, {2024, 3, 31, 2, 29, 59}},
        // At the ends of the 32-bit range the time stays.
        {"Asia/Shanghai", kMax, {}, 1, {2038, 1, 19, 11, 14, 7}},
        {"Asia/Shanghai", kMin, {}, -1, {kFirstShown[0], kFirstShown[1], kFirstShown[2], kFirstShown[3],
                                         kFirstShown[4], kFirstShown[5]}},
    };
    for (const Case& c : cases) {
        const ScopedTimeZone zone(c.zone);
        const std::int32_t start =
            c.fields[0] == 0 ? c.start
                             : TimeOfFields(c.fields[0], c.fields[1], c.fields[2], c.fields[3], c.fields[4], c.fields[5]);
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(start));
        CTimeSelection selection(start);
        selection.Step(c.step);
        const TimeControlValues shown = selection.Shown();
        const int got[6] = {shown.year, shown.month, shown.day, shown.hourIndex, shown.minuteIndex, shown.secondIndex};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(got[i], c.shown[i]) << i;
        EXPECT_EQ(CTimeSelection::EarliestTime(), kMin);
        const bool atEnd = (start == kMax && c.step > 0) || (start == kMin && c.step < 0);
        EXPECT_EQ(selection.Time(), atEnd ? start : start + c.step);
        EXPECT_EQ(ComposeTime(shown), selection.Time());
        // The controls read back: the same time is taken.
        CTimeSelection other(0);
        EXPECT_TRUE(other.TakeFromControls(shown));
        EXPECT_EQ(other.Time(), selection.Time());
    }
}

TEST(TimeSelection, AMomentOutsideThe32BitRangeIsRefusedAndTheTimeStays) {
    const ScopedTimeZone zone("Asia/Shanghai");
    const std::int32_t kept = TimeOfFields(2013, 12, 6, 12, 0, 0);
    CTimeSelection selection(kept);
    TimeControlValues after = CTimeSelection::LastDate();  // 2038-01-19, the last showable date
    after.hourIndex = 11;
    after.minuteIndex = 14;
    after.secondIndex = 8;  // one second past the range
    EXPECT_FALSE(selection.TakeFromControls(after));
    EXPECT_EQ(selection.Time(), kept);
    after.secondIndex = 7;
    EXPECT_TRUE(selection.TakeFromControls(after));
    EXPECT_EQ(selection.Time(), kMax);
#ifndef _WIN32
    // The one moment that really is -1 is taken.
    EXPECT_TRUE(selection.TakeFromControls(CTimeSelection(-1).Shown()));
    EXPECT_EQ(selection.Time(), -1);
#endif
    const TimeControlValues first = CTimeSelection::FirstDate();
    EXPECT_EQ(first.year * 10000 + first.month * 100 + first.day,
              kFirstShown[0] * 10000 + kFirstShown[1] * 100 + kFirstShown[2]);
}

}  // namespace
}  // namespace orvanta
