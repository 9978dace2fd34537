// What a card holds, for a person: the recorder's serial number and the
// ring's oldest and newest record with the number of records. Read through
// one open of the card's device, as the overview reads it, and without the
// window's reader, so that every query stays exactly as it was.
#pragma once

#include <cstdint>

#include "card/card_reader.h"

namespace orvanta {

struct CardSummary {
    bool present = false;          // the card answered the presence check
    char letter = 0;               // its drive letter
    std::uint32_t serial = 0;      // information sector bytes 0..3, unsigned
    std::uint32_t records = 0;     // sectors in the ring
    std::int32_t oldestTime = 0;   // timestamp of the oldest record; 0: none
    std::int32_t newestTime = 0;   // timestamp of the newest record; 0: none
};

// Summarises the card the reader found at start-up; `present` is false when
// it found none or the card no longer answers. Reads only that card's device.
CardSummary SummariseCard(const CCardReader& reader);

}  // namespace orvanta
