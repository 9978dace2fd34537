// A synthetic recorder card on the in-memory volume system, for the window's
// tests and its picture tool: the same cards as `orvanta-card create` makes
// (information sector, a ring of 50 Hz feeder records one second apart, the two
// test sectors), with the first record at a given local standard time.
#pragma once

#include <cstdint>

#include "platform/memory_volume.h"

namespace orvanta {

struct SampleCard {
    std::int32_t firstTime = 0;           // local standard time of the first record
    std::int32_t records = 1200;          // more than 1001, so the test sectors are records
    std::uint32_t serial = 20240315;      // information sector bytes 0..3, big-endian
    std::uint8_t deviceByte = 7;          // information sector byte 4
    // After every `gapEvery` records the recorder pauses `gapSeconds` (0: never).
    std::uint32_t gapEvery = 0;
    std::uint32_t gapSeconds = 0;
};

// Writes the card onto `disk`. Record i carries firstTime + i, plus the pauses before it.
void WriteSampleCard(MemoryDisk& disk, const SampleCard& card);

}  // namespace orvanta
