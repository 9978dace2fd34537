// One record behind a point of the trend text: where and when it was taken,
// its trend point (whole amperes and volts, as the text sends it) and its
// real-valued RMS. The card query keeps them beside the text, so that an
// export shows the same records the request sent.
#pragma once

#include <cstdint>

#include "card/record_rms.h"
#include "card/trend_point.h"

namespace orvanta {

struct TrendRecord {
    std::uint32_t sector = 0;  // physical sector
    std::int32_t time = 0;     // its timestamp (0: no valid date)
    TrendPoint point{0, 0};
    RecordRms rms;
};

}  // namespace orvanta
