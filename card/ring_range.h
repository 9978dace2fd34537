// The records of a time range on a held card: finds the ring as the card
// reader does, then turns a range of local times into logical positions
// through the ring's time search (from the first record of the `from` second,
// or the first one after it, to the last record of the `to` second, or the
// last one before it). The card overview and the event scan share it.
#pragma once

#include <cstdint>

#include "card/held_card_volume.h"
#include "card/ring_bounds.h"

namespace orvanta {

struct TimeRange {
    bool hasFrom = false;  // without it, from the oldest record
    std::int32_t from = 0;
    bool hasTo = false;    // without it, to the newest record
    std::int32_t to = 0;
};

enum class RangeOutcome {
    kFound,      // first..last hold the range's records
    kEmpty,      // the ring has records, none of them in the range
    kNoRecords,  // the ring holds no valid record
    kCardGone,   // the card stopped answering during the searches
};

struct RingRange {
    RangeOutcome outcome = RangeOutcome::kNoRecords;
    RingBounds ring;
    std::int32_t oldestTime = 0;  // the ring's oldest and newest record
    std::int32_t newestTime = 0;
    std::uint32_t first = 0;  // logical positions, both included (kFound only)
    std::uint32_t last = 0;
};

RingRange LocateRange(CHeldCardVolume& volume, std::uint32_t baseSector, const TimeRange& range);

}  // namespace orvanta
