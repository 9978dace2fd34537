#include "card/ring_range.h"

#include "card/ring_search.h"

namespace orvanta {

RingRange LocateRange(CHeldCardVolume& volume, std::uint32_t baseSector, const TimeRange& range) {
    RingRange result;
    RingBounds& ring = result.ring;
    ring.baseSector = baseSector;
    CRingSearch search(volume, ring);
    search.FindRingBounds();
    result.oldestTime = volume.TimeAt(ring.LogicalToPhysical(0));
    result.newestTime = volume.TimeAt(ring.LogicalToPhysical(ring.ringCount - 1));
    if (volume.Gone()) {
        result.outcome = RangeOutcome::kCardGone;
        return result;
    }
    if (result.oldestTime <= 0 && result.newestTime <= 0) {
        result.outcome = RangeOutcome::kNoRecords;
        return result;
    }

    // A time range becomes logical positions through the ring's time search.
    // The search gives a record of the second when the card holds one (the
    // group is then widened to its first or last record), and otherwise the
    // last record before it: `from` starts behind that record, `to` ends on
    // it. Only records inside the range are taken, also when it lies in a
    // pause or beyond the newest record.
    std::int64_t first = 0;
    std::int64_t last = std::int64_t{ring.ringCount} - 1;
    if (range.hasFrom) {
        const std::uint32_t sector = search.FindSectorByTime(range.from);
        const std::int32_t time = volume.TimeAt(sector);
        if (time == range.from) {
            first = ring.PhysicalToLogical(search.ScanBackward(sector));
        } else if (time != 0 && time < range.from) {
            first = std::int64_t{ring.PhysicalToLogical(sector)} + 1;
        } else {
            first = ring.PhysicalToLogical(sector);
        }
    }
    if (range.hasTo) {
        const std::uint32_t sector = search.FindSectorByTime(range.to);
        const std::int32_t time = volume.TimeAt(sector);
        if (time == range.to) {
            last = ring.PhysicalToLogical(search.ScanForward(sector));
        } else if (time != 0 && time < range.to) {
            last = ring.PhysicalToLogical(sector);
        } else {
            last = std::int64_t{ring.PhysicalToLogical(sector)} - 1;
        }
    }
    if (volume.Gone()) {
        result.outcome = RangeOutcome::kCardGone;
    } else if (first > last) {
        result.outcome = RangeOutcome::kEmpty;
    } else {
        result.outcome = RangeOutcome::kFound;
        result.first = static_cast<std::uint32_t>(first);
        result.last = static_cast<std::uint32_t>(last);
    }
    return result;
}

}  // namespace orvanta
