// Where the ring of records lies on the card: its first and last physical
// sector, the physical sector of the oldest record and the number of sectors,
// with the mapping between time order (logical index, 0 = oldest) and physical
// sectors. All arithmetic is unsigned 32-bit.
#pragma once

#include <cstdint>

namespace orvanta {

struct RingBounds {
    std::uint32_t baseSector = 0;   // first physical sector of the ring
    std::uint32_t upperSector = 0;  // last physical sector (the search limit while discovering)
    std::uint32_t ringStart = 0;    // physical sector of the oldest record
    std::uint32_t ringCount = 0;    // upperSector - baseSector + 1

    std::uint32_t LogicalToPhysical(std::uint32_t index) const {
        std::uint32_t p = ringStart + index;
        if (p > upperSector) p = p - ringCount;
        return p;
    }
    std::uint32_t PhysicalToLogical(std::uint32_t sector) const {
        if (sector < ringStart) sector = sector + ringCount;
        return sector - ringStart;
    }
};

}  // namespace orvanta
