// What both events lists compute alike: the note a scan's end leaves, the
// order of a column's header click (stable among equals, turned round when
// descending), and an event's mark on the strip's plot.
#include <gtest/gtest.h>

#include "dialogcore/event_list.h"

namespace orvanta {
namespace {

constexpr std::int32_t kOldest = 1719792000;  // 2024-07-01 00:00:00 UTC

PowerEvent Event(EventKind kind, std::int32_t start, std::int32_t seconds, std::int32_t extreme) {
    PowerEvent event;
    event.kind = kind;
    event.start = kOldest + start;
    event.end = event.start + seconds;
    event.extreme = extreme;
    return event;
}

TEST(EventList, NoteOfAScansEnd) {
    struct Case { OverviewStatus status; std::uint64_t sectors; bool events; EventsNote note; };
    const Case cases[] = {
        {OverviewStatus::kNoDevice, 0, false, EventsNote::kNoDevice},
        {OverviewStatus::kNoRecords, 0, false, EventsNote::kNoRecords},
        {OverviewStatus::kCancelled, 10, true, EventsNote::kCancelled},
        {OverviewStatus::kCardGone, 10, true, EventsNote::kCardGone},
        {OverviewStatus::kDone, 0, false, EventsNote::kEmptyRange},
        {OverviewStatus::kDone, 10, false, EventsNote::kNone},
        {OverviewStatus::kDone, 10, true, EventsNote::kFound},
    };
    for (const Case& c : cases) {
        EventScanResult result;
        result.status = c.status;
        result.sectors = c.sectors;
        if (c.events) result.events.push_back(Event(EventKind::kDip, 0, 1, 100));
        EXPECT_EQ(EventsNoteOf(result), c.note) << static_cast<int>(c.status) << " " << c.sectors;
    }
}

TEST(EventList, HeaderClicksOrderTheEvents) {
    // Found order a b c d; each case the starts (seconds) in the order wanted.
    const std::vector<PowerEvent> found = {Event(EventKind::kSwell, 10, 5, 250), Event(EventKind::kDip, 20, 2, 190),
                                           Event(EventKind::kInterruption, 30, 5, 10),
                                           Event(EventKind::kDip, 40, 1, 180)};
    struct Case { EventsColumn column; bool descending; std::vector<std::int32_t> starts; };
    const Case cases[] = {
        {EventsColumn::kKind, false, {20, 40, 30, 10}},
        {EventsColumn::kStart, true, {40, 30, 20, 10}},
        {EventsColumn::kDuration, false, {40, 20, 10, 30}},  // equal durations keep the found order
        {EventsColumn::kDuration, true, {10, 30, 20, 40}},
        {EventsColumn::kExtreme, false, {30, 40, 20, 10}},
    };
    for (const Case& c : cases) {
        std::vector<PowerEvent> events = found;
        SortEvents(events, c.column, c.descending);
        std::vector<std::int32_t> starts;
        for (const PowerEvent& event : events) starts.push_back(event.start - kOldest);
        EXPECT_EQ(starts, c.starts) << static_cast<int>(c.column) << " " << c.descending;
    }
}

TEST(EventList, MarksSpanTheEventInsideTheView) {
    const OverviewPlot plot{40, 501};  // two seconds a column over [kOldest, kOldest + 1000]
    struct Case { std::int32_t start, seconds; bool shown; int x0, x1; };
    const Case cases[] = {
        {100, 200, true, 90, 190},
        {-50, 100, true, 40, 65},     // begins before the view: from its left edge
        {900, 300, true, 490, 540},   // ends after it: to its right edge
        {500, 0, true, 290, 292},     // one record: two pixels wide
        {-50, 49, false, 0, 0},       // ends before the view
        {1001, 10, false, 0, 0},      // starts after it
    };
    for (const Case& c : cases) {
        EventMarkSpan span;
        const bool shown =
            EventMarkSpanOf(Event(EventKind::kDip, c.start, c.seconds, 0), plot, kOldest, kOldest + 1000, &span);
        EXPECT_EQ(shown, c.shown) << c.start;
        if (shown) {
            EXPECT_EQ(span.x0, c.x0) << c.start;
            EXPECT_EQ(span.x1, c.x1) << c.start;
        }
    }
}

}  // namespace
}  // namespace orvanta
