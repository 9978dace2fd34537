#include "card/event_detector.h"

#include <algorithm>

namespace orvanta {

const char* EventKindName(EventKind kind) {
    switch (kind) {
        case EventKind::kDip:
            return "dip";
        case EventKind::kInterruption:
            return "interruption";
        case EventKind::kSwell:
            return "swell";
    }
    return "dip";
}

CEventDetector::CEventDetector(std::int32_t nominalVolts) : nominal_(nominalVolts) {}

void CEventDetector::Start(EventKind kind, std::int32_t time, std::int32_t volts) {
    open_ = true;
    current_ = PowerEvent();
    current_.kind = kind;
    current_.start = time;
    current_.end = time;
    current_.extreme = volts;
    current_.records = 1;
}

void CEventDetector::Close(std::int32_t end, bool ended) {
    current_.end = end;
    current_.ended = ended;
    if (current_.kind == EventKind::kDip && 100 * std::int64_t{current_.extreme} < 10 * nominal_) {
        current_.kind = EventKind::kInterruption;
    }
    events_.push_back(current_);
    open_ = false;
}

void CEventDetector::Add(std::int32_t time, std::int32_t volts) {
    // A pause, and a step back in time (a card whose clock was set back),
    // end an open event at its last record.
    const bool pause = haveLast_ && (std::int64_t{time} - lastTime_ > kLongestStep || time < lastTime_);
    if (open_ && pause) Close(lastTime_, false);
    haveLast_ = true;
    lastTime_ = time;

    const std::int64_t v = volts;
    if (open_) {
        const bool dip = current_.kind == EventKind::kDip;
        const bool back = dip ? 100 * v >= 92 * nominal_ : 100 * v <= 108 * nominal_;
        if (!back) {
            ++current_.records;
            current_.extreme = dip ? std::min(current_.extreme, volts) : std::max(current_.extreme, volts);
            current_.end = time;
            return;
        }
        Close(time, true);
        // The ending record may start an event of the other kind.
        if (dip && IsHigh(v)) Start(EventKind::kSwell, time, volts);
        if (!dip && IsLow(v)) Start(EventKind::kDip, time, volts);
        return;
    }
    if (IsLow(v)) {
        Start(EventKind::kDip, time, volts);
    } else if (IsHigh(v)) {
        Start(EventKind::kSwell, time, volts);
    }
}

void CEventDetector::Finish() {
    if (open_) Close(lastTime_, false);
}

}  // namespace orvanta
