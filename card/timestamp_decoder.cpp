#include "card/timestamp_decoder.h"

#include "card/local_time.h"
#include "card/timestamp.h"

namespace orvanta {

std::int32_t CTimestampDecoder::Decode(const unsigned char* sector) {
    const SectorDate date = DecodeSectorDate(sector);
    if (!IsValidSectorDate(date)) return 0;
    for (const Hour& known : hours_) {
        if (known.known && known.yearsSince1900 == date.yearsSince1900 && known.month0 == date.month0 &&
            known.day == date.day && known.hour == date.hour) {
            return ToTime32(known.start + date.minute * 60 + date.second);
        }
    }
    LocalFields start;
    start.year = date.yearsSince1900 + 1900;
    start.month = date.month0 + 1;
    start.day = date.day;
    start.hour = date.hour;
    const std::time_t hourStart = LocalStandardSeconds(start);
    if (hourStart == static_cast<std::time_t>(-1)) return DecodeSectorTimestamp(sector);
    Hour& slot = hours_[next_];
    next_ = (next_ + 1) % kHours;
    slot.known = true;
    slot.yearsSince1900 = date.yearsSince1900;
    slot.month0 = date.month0;
    slot.day = date.day;
    slot.hour = date.hour;
    slot.start = hourStart;
    return ToTime32(hourStart + date.minute * 60 + date.second);
}

}  // namespace orvanta
