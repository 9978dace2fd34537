#include "card/event_csv.h"

#include "card/local_time.h"

namespace orvanta {

std::string EventsCsv(const std::vector<PowerEvent>& events) {
    std::string csv = "kind,start,end,duration_s,extreme_v,records,ended\n";
    for (const PowerEvent& event : events) {
        csv += EventKindName(event.kind);
        csv += ',' + FormatLocalStandard(event.start);
        csv += ',' + FormatLocalStandard(event.end);
        csv += ',' + std::to_string(event.DurationSeconds());
        csv += ',' + std::to_string(event.extreme);
        csv += ',' + std::to_string(event.records);
        csv += event.ended ? ",1\n" : ",0\n";
    }
    return csv;
}

}  // namespace orvanta
