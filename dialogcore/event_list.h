// What both windows' events lists (查找事件…) compute alike, apart from
// their controls: what a finished scan says, the list's order when a column
// header is clicked, and where an event is marked on the overview strip.
#pragma once

#include <cstdint>
#include <vector>

#include "card/event_scan.h"
#include "dialogcore/overview_view.h"

namespace orvanta {

// What the list's status line says after a scan.
enum class EventsNote {
    kNoDevice,    // the card's device does not open
    kNoRecords,   // the card holds no records
    kCancelled,   // the user cancelled: the events of the part read
    kCardGone,    // the card went during the scan: the events of the part read
    kEmptyRange,  // the range holds no records
    kNone,        // done, no events (with the records' count)
    kFound,       // done, events found (with their and the records' count)
};

EventsNote EventsNoteOf(const EventScanResult& result);

// The list's columns, in their order.
enum class EventsColumn { kKind, kStart, kDuration, kExtreme };
constexpr int kEventsColumnCount = 4;

// Orders `events` by a column (kinds as dip, interruption, swell; times,
// durations and extremes by value), keeping the found order among equals.
void SortEvents(std::vector<PowerEvent>& events, EventsColumn column, bool descending);

// Where an event is marked on the strip: columns x0 .. x1 (x1 - x0 at least
// two pixels) of the view [from, to]; false when it lies outside the view.
struct EventMarkSpan {
    int x0 = 0;
    int x1 = 0;
};
bool EventMarkSpanOf(const PowerEvent& event, const OverviewPlot& plot, std::int32_t from, std::int32_t to,
                     EventMarkSpan* span);

}  // namespace orvanta
