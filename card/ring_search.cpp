#include "card/ring_search.h"

#include "card/card_layout.h"

namespace orvanta {

namespace {

constexpr int kStepLimit = 30;  // bisection iterations and scan steps

}  // namespace

std::uint32_t CRingSearch::ScanForward(std::uint32_t s) {
    for (int step = 0; step < kStepLimit; ++step) {
        if (s >= ring_.upperSector) break;
        const std::int32_t next = probe_.TimeAt(s + 1);
        const std::int32_t here = probe_.TimeAt(s);
        if (next != here) break;
        s = s + 1;
    }
    return s;
}

std::uint32_t CRingSearch::ScanBackward(std::uint32_t s) {
    for (int step = 0; step < kStepLimit; ++step) {
        if (s <= ring_.baseSector) break;
        const std::int32_t previous = probe_.TimeAt(s - 1);
        const std::int32_t here = probe_.TimeAt(s);
        if (previous != here) break;
        s = s - 1;
    }
    return s;
}

std::uint32_t CRingSearch::FindRunEnd(std::uint32_t start) {
    std::uint32_t lo = start;
    std::uint32_t hi = ring_.upperSector;
    std::uint32_t mid = lo;
    // A fixed number of halvings with no early exit: once the interval has
    // closed to two neighbours every further midpoint is lo itself.
    for (int iteration = 0; iteration < kStepLimit; ++iteration) {
        const std::int32_t loTime = probe_.TimeAt(lo);
        mid = (lo + hi) / 2;
        const std::int32_t midTime = probe_.TimeAt(mid);
        if (midTime >= loTime) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return ScanForward(mid);
}

void CRingSearch::FindRingBounds() {
    ring_.upperSector = kRingSearchLimit;
    const std::uint32_t newest = FindRunEnd(ring_.baseSector);
    const std::uint32_t previousPassEnd = FindRunEnd(newest + 1);
    if (newest != ring_.upperSector && probe_.TimeAt(previousPassEnd) != 0) {
        // Older records of the previous pass lie behind the newest one.
        ring_.upperSector = previousPassEnd;
        ring_.ringStart = newest + 1;
    } else {
        ring_.upperSector = newest;
        ring_.ringStart = ring_.baseSector;
    }
    ring_.ringCount = ring_.upperSector - ring_.baseSector + 1;
}

std::uint32_t CRingSearch::FindSectorByTime(std::int32_t time) {
    std::uint32_t lo = 0;
    std::uint32_t hi = ring_.ringCount - 1;
    if (time > probe_.TimeAt(ring_.LogicalToPhysical(hi))) return ring_.LogicalToPhysical(hi);
    if (time < probe_.TimeAt(ring_.LogicalToPhysical(0))) return ring_.LogicalToPhysical(0);
    std::uint32_t mid = lo;
    for (int iteration = 0; iteration < kStepLimit; ++iteration) {
        const std::int32_t loTime = probe_.TimeAt(ring_.LogicalToPhysical(lo));
        const std::int32_t hiTime = probe_.TimeAt(ring_.LogicalToPhysical(hi));
        if (loTime == time) return ring_.LogicalToPhysical(lo);
        if (hiTime == time) return ring_.LogicalToPhysical(hi);
        mid = (lo + hi) / 2;
        const std::int32_t midTime = probe_.TimeAt(ring_.LogicalToPhysical(mid));
        if (midTime == time) return ring_.LogicalToPhysical(mid);
        // An unwritten or unreadable sector (timestamp 0) counts as later
        // than any target.
        if (midTime > time || midTime == 0) {
            hi = mid;
        } else {
            lo = mid;
        }
    }
    return ring_.LogicalToPhysical(mid);
}

}  // namespace orvanta
