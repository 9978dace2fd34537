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

    std::int64_t first = 0;
    std::int64_t last = std::int64_t{ring.ringCount} - 1;
    if (range.hasFrom) {
        const std::uint32_t sector = search.ScanBackward(search.FindSectorByTime(range.from));
        first = ring.PhysicalToLogical(sector);
        const std::int32_t time = volume.TimeAt(sector);
        if (time != 0 && time < range.from) ++first;
    }
    if (range.hasTo) {
        const std::uint32_t sector = search.ScanForward(search.FindSectorByTime(range.to));
        last = ring.PhysicalToLogical(sector);
        const std::int32_t time = volume.TimeAt(sector);
        if (time == 0 || time > range.to) --last;
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
