// The events of a day of records (86,400, one a second) on a full-size
// sparse image file, against the floor of that work: the same sectors read
// in the same sequential runs through one descriptor held open, each
// record's trend point computed with the same arithmetic. Part of
// limit_bench, which writes the figures into docs/performance.md.
#pragma once

#include <string>

#include "card/card_reader.h"

namespace orvanta {
namespace eventsbench {

constexpr unsigned kDayOfRecords = 86400;

// Writes the card into `dir` and registers "EventsImage" and
// "EventsImageFloor". The image lives as long as `dir`.
void RegisterEventsBenchmarks(const std::string& dir);

// The day's image and the reader that found the card on it (E:), once
// RegisterEventsBenchmarks has written it; the analysis rows read it too.
const std::string& DayImage();
const CCardReader& DayReader();

}  // namespace eventsbench
}  // namespace orvanta
