// Record timestamps for work that decodes many sectors in a row (the ring
// searches, the card overview). Gives exactly what DecodeSectorTimestamp
// gives, but converts each hour only once: mktime looks the time zone up again
// at every call (with TZ unset, glibc checks /etc/localtime each time), which
// costs more than the sector read itself. Minutes and seconds are added to the
// hour's start, as mktime carries them; local standard time has no offset
// change inside an hour on any recorder date.
//
// The last few hours are remembered, so that a bisection going back and forth
// between the records of two hours converts each of them once. A decoder is
// meant for one search or scan: a change of the time zone during its life is
// not noticed.
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
    struct Hour {
        bool known = false;
        int yearsSince1900 = 0;
        int month0 = 0;
        int day = 0;
        int hour = 0;
        std::time_t start = 0;
    };
    static constexpr int kHours = 4;

    Hour hours_[kHours];
    int next_ = 0;  // the slot the next new hour replaces
};

}  // namespace orvanta
