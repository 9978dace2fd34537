// Counts of the raw-volume operations done through a volume system.
#pragma once

#include <cstdint>

namespace orvanta {

struct VolumeCounters {
    std::uint64_t opens = 0;        // successful and failed attempts
    std::uint64_t failedOpens = 0;
    std::uint64_t positions = 0;
    std::uint64_t reads = 0;
    std::uint64_t largeReads = 0;   // reads of more than one sector
    std::uint64_t closes = 0;
    std::uint64_t bytesRead = 0;
    std::uint64_t Total() const { return opens + positions + reads + closes; }
};

}  // namespace orvanta
