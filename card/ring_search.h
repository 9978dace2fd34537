// The searches over the ring of records, worked out from timestamps alone:
// the ring's bounds, the end of a run of rising timestamps, the edges of a
// group of equal timestamps and the record of a given second. Every search is
// bounded by a fixed number of steps, whatever the card holds.
//
// The probes go through a CRingProbe, so the card reader (one device open per
// probe) and the card overview (one volume held open) run the same searches
// and find the same sectors.
#pragma once

#include <cstdint>

#include "card/ring_bounds.h"
#include "card/ring_probe.h"

namespace orvanta {

class CRingSearch {
public:
    // Reads through `probe` and reads and writes `ring`; both must outlive
    // the search.
    CRingSearch(CRingProbe& probe, RingBounds& ring) : probe_(probe), ring_(ring) {}

    // Sets upperSector, ringStart and ringCount from the card's timestamps.
    void FindRingBounds();
    // Last sector of the run of non-decreasing timestamps from `start`.
    std::uint32_t FindRunEnd(std::uint32_t start);
    // Last sector of the group of equal timestamps from `sector`, at most 30 on.
    std::uint32_t ScanForward(std::uint32_t sector);
    // First sector of the group of equal timestamps ending at `sector`, at most 30 back.
    std::uint32_t ScanBackward(std::uint32_t sector);
    // The physical sector of the record of `time` (or the last one before it).
    std::uint32_t FindSectorByTime(std::int32_t time);

private:
    CRingProbe& probe_;
    RingBounds& ring_;
};

}  // namespace orvanta
