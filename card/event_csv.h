// The events list as CSV, as the command line writes it and the window
// exports it: the header "kind,start,end,duration_s,extreme_v,records,ended"
// and one row per event, times as "YYYY-MM-DD HH:MM:SS" local standard time.
#pragma once

#include <string>
#include <vector>

#include "card/event_detector.h"

namespace orvanta {

std::string EventsCsv(const std::vector<PowerEvent>& events);

}  // namespace orvanta
