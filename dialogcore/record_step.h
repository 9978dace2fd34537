// What a step button does when its query lands on the record already shown.
// Stepping one second forward from the last record before a pause in the
// recording finds that same record again (the time search gives the last
// record before a second that holds none), so ">" alone would never get past
// the pause. The step then goes on to the neighbouring record in its
// direction: the first record after the one shown (">") or the last one
// before it ("<"). Without one the window stays where it is and says so.
#pragma once

#include <cstdint>

#include "card/card_reader.h"

namespace orvanta {

// The time of the first record after (direction > 0) or the last record
// before (direction < 0) the record of the reader's last query, walking the
// ring in time order from that record; 0 when the ring ends first, the
// reader's last query found no record, or no other second turns up within
// 256 records. Reads through the reader (its ring fields as that query left
// them; sectorBuffer changes, the texts do not).
std::int32_t NeighbourRecordTime(CCardReader& reader, int direction);

}  // namespace orvanta
