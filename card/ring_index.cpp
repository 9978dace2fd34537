// The ring of records on the card: its bounds, the mapping between time order
// and physical sectors, and the search for the record of a given second.
//
// The card holds no index, so everything is worked out from the timestamps
// alone. Every search is bounded by a fixed number of steps (each probe is a
// full open, position, read and close), and all sector arithmetic is unsigned
// 32-bit, wrapping as the recorder's own firmware arithmetic does.
#include "card/card_layout.h"
#include "card/card_reader.h"

namespace orvanta {

namespace {

constexpr int kStepLimit = 30;                  // bisection iterations and scan steps

}  // namespace

std::uint32_t CCardReader::LogicalToPhysical(std::uint32_t index) const {
    std::uint32_t p = ringStart + index;
    if (p > upperSector) p = p - ringCount;
    return p;
}

std::uint32_t CCardReader::PhysicalToLogical(std::uint32_t sector) const {
    if (sector < ringStart) sector = sector + ringCount;
    return sector - ringStart;
}

std::uint32_t CCardReader::ScanForward(std::uint32_t s) {
    for (int step = 0; step < kStepLimit; ++step) {
        if (s >= upperSector) break;
        const std::int32_t next = ReadSector(s + 1);
        const std::int32_t here = ReadSector(s);
        if (next != here) break;
        s = s + 1;
    }
    return s;
}

std::uint32_t CCardReader::ScanBackward(std::uint32_t s) {
    for (int step = 0; step < kStepLimit; ++step) {
        if (s <= baseSector) break;
        const std::int32_t previous = ReadSector(s - 1);
        const std::int32_t here = ReadSector(s);
        if (previous != here) break;
        s = s - 1;
    }
    return s;
}

std::uint32_t CCardReader::FindRunEnd(std::uint32_t start) {
    std::uint32_t lo = start;
    std::uint32_t hi = upperSector;
    std::uint32_t mid = lo;
    // A fixed number of halvings with no early exit: once the interval has
    // closed to two neighbours every further midpoint is lo itself.
    for (int iteration = 0; iteration < kStepLimit; ++iteration) {
        const std::int32_t loTime = ReadSector(lo);
        mid = (lo + hi) / 2;
        const std::int32_t midTime = ReadSector(mid);
        if (midTime >= loTime) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return ScanForward(mid);
}

void CCardReader::FindRingBounds() {
    upperSector = kRingSearchLimit;
    const std::uint32_t newest = FindRunEnd(baseSector);
    const std::uint32_t previousPassEnd = FindRunEnd(newest + 1);
    if (newest != upperSector && ReadSector(previousPassEnd) != 0) {
        // Older records of the previous pass lie behind the newest one.
        upperSector = previousPassEnd;
        ringStart = newest + 1;
    } else {
        upperSector = newest;
        ringStart = baseSector;
    }
    ringCount = upperSector - baseSector + 1;
}

std::uint32_t CCardReader::FindSectorByTime(std::int32_t time) {
    std::uint32_t lo = 0;
    std::uint32_t hi = ringCount - 1;
    if (time > ReadSector(LogicalToPhysical(hi))) return LogicalToPhysical(hi);
    if (time < ReadSector(LogicalToPhysical(0))) return LogicalToPhysical(0);
    std::uint32_t mid = lo;
    for (int iteration = 0; iteration < kStepLimit; ++iteration) {
        const std::int32_t loTime = ReadSector(LogicalToPhysical(lo));
        const std::int32_t hiTime = ReadSector(LogicalToPhysical(hi));
        if (loTime == time) return LogicalToPhysical(lo);
        if (hiTime == time) return LogicalToPhysical(hi);
        mid = (lo + hi) / 2;
        const std::int32_t midTime = ReadSector(LogicalToPhysical(mid));
        if (midTime == time) return LogicalToPhysical(mid);
        // An unwritten or unreadable sector (timestamp 0) counts as later
        // than any target.
        if (midTime > time || midTime == 0) {
            hi = mid;
        } else {
            lo = mid;
        }
    }
    return LogicalToPhysical(mid);
}

}  // namespace orvanta
