// Record timestamps for scans that decode many sectors in a row (the card
// overview). Gives exactly what DecodeSectorTimestamp gives, but converts each
// hour only once: mktime looks the time zone up again at every call (with TZ
// unset, glibc checks /etc/localtime each time), which costs more than the
// sector read itself. Minutes and seconds are added to the hour's start, as
// mktime carries them; local standard time has no offset change inside an
// hour on any recorder date.
#pragma once

#include <cstdint>
#include <ctime>

namespace orvanta {

class CTimestampDecoder {
public:
    // The timestamp of a record sector (its first 7 bytes): 0 for an invalid
    // date, -1 for a moment a signed 32-bit count cannot hold.
    std::int32_t Decode(const unsigned char* sector);

private:
    bool haveHour_ = false;
    int yearsSince1900_ = 0;
    int month0_ = 0;
    int day_ = 0;
    int hour_ = 0;
    std::time_t hourStart_ = 0;
};

}  // namespace orvanta
