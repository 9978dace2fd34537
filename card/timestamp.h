// The timestamp every record sector carries: bytes 1 to 6 hold the year within
// the century, month, day, hour, minute and second as BCD. The date is taken as
// local standard time of this PC (mktime with the daylight-saving flag 0).
#pragma once

#include <cstdint>

namespace orvanta {

// 10 x high nibble + low nibble. Nibbles above 9 are not rejected: 0x1A is 20.
int BcdValue(unsigned char byte);

// The broken-down date and time held in bytes 1 to 6 of a record sector, in
// the form mktime takes it (years since 1900, month 0 to 11).
struct SectorDate {
    int yearsSince1900 = 0;
    int month0 = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
SectorDate DecodeSectorDate(const unsigned char* sector);

// A date the recorder can have written: years 2013 to 2063, month 1 to 12,
// day 1 to 31. Hour, minute and second are not checked; mktime carries them.
bool IsValidSectorDate(const SectorDate& date);

// The timestamp of a record sector (at least its first 7 bytes are read):
// 0 when the date is not valid, -1 when the moment does not fit in a signed
// 32-bit count of seconds, otherwise the seconds since 1970-01-01 00:00 UTC.
std::int32_t DecodeSectorTimestamp(const unsigned char* sector);

}  // namespace orvanta
