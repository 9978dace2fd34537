#include "dialogcore/event_list.h"

#include <algorithm>

namespace orvanta {

EventsNote EventsNoteOf(const EventScanResult& result) {
    switch (result.status) {
    case OverviewStatus::kNoDevice:
        return EventsNote::kNoDevice;
    case OverviewStatus::kNoRecords:
        return EventsNote::kNoRecords;
    case OverviewStatus::kCancelled:
        return EventsNote::kCancelled;
    case OverviewStatus::kCardGone:
        return EventsNote::kCardGone;
    case OverviewStatus::kDone:
        break;
    }
    if (result.sectors == 0) return EventsNote::kEmptyRange;
    return result.events.empty() ? EventsNote::kNone : EventsNote::kFound;
}

namespace {

std::int64_t ColumnValue(const PowerEvent& event, EventsColumn column) {
    switch (column) {
    case EventsColumn::kKind:
        return static_cast<std::int64_t>(event.kind);
    case EventsColumn::kDuration:
        return event.DurationSeconds();
    case EventsColumn::kExtreme:
        return event.extreme;
    case EventsColumn::kStart:
        break;
    }
    return event.start;
}

}  // namespace

void SortEvents(std::vector<PowerEvent>& events, EventsColumn column, bool descending) {
    std::stable_sort(events.begin(), events.end(), [column, descending](const PowerEvent& a, const PowerEvent& b) {
        const std::int64_t x = ColumnValue(a, column);
        const std::int64_t y = ColumnValue(b, column);
        return descending ? y < x : x < y;
    });
}

bool EventMarkSpanOf(const PowerEvent& event, const OverviewPlot& plot, std::int32_t from, std::int32_t to,
                     EventMarkSpan* span) {
    if (event.end < from || event.start > to) return false;
    span->x0 = OverviewXOfTime(plot, from, to, std::max(event.start, from));
    span->x1 = std::max(span->x0 + 2, OverviewXOfTime(plot, from, to, std::min(event.end, to)));
    return true;
}

}  // namespace orvanta
