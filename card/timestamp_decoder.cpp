#include "card/timestamp_decoder.h"

#include "card/local_time.h"
#include "card/timestamp.h"

namespace orvanta {

std::int32_t CTimestampDecoder::Decode(const unsigned char* sector) {
    const SectorDate date = DecodeSectorDate(sector);
    if (!IsValidSectorDate(date)) return 0;
    if (!haveHour_ || date.yearsSince1900 != yearsSince1900_ || date.month0 != month0_ || date.day != day_ ||
        date.hour != hour_) {
        LocalFields start;
        start.year = date.yearsSince1900 + 1900;
        start.month = date.month0 + 1;
        start.day = date.day;
        start.hour = date.hour;
        hourStart_ = LocalStandardSeconds(start);
        haveHour_ = hourStart_ != static_cast<std::time_t>(-1);
        if (!haveHour_) return DecodeSectorTimestamp(sector);
        yearsSince1900_ = date.yearsSince1900;
        month0_ = date.month0;
        day_ = date.day;
        hour_ = date.hour;
    }
    return ToTime32(hourStart_ + date.minute * 60 + date.second);
}

}  // namespace orvanta
