#include "card/timestamp.h"

#include "card/local_time.h"

namespace orvanta {

int BcdValue(unsigned char byte) { return 10 * (byte >> 4) + (byte & 0x0F); }

SectorDate DecodeSectorDate(const unsigned char* sector) {
    SectorDate date;
    date.yearsSince1900 = BcdValue(sector[1]) + 100;
    date.month0 = BcdValue(sector[2]) - 1;
    date.day = BcdValue(sector[3]);
    date.hour = BcdValue(sector[4]);
    date.minute = BcdValue(sector[5]);
    date.second = BcdValue(sector[6]);
    return date;
}

bool IsValidSectorDate(const SectorDate& date) {
    return date.yearsSince1900 >= 113 && date.yearsSince1900 <= 163 && date.month0 >= 0 && date.month0 <= 11 &&
           date.day >= 1 && date.day <= 31;
}

std::int32_t DecodeSectorTimestamp(const unsigned char* sector) {
    const SectorDate date = DecodeSectorDate(sector);
    if (!IsValidSectorDate(date)) return 0;
    LocalFields fields;
    fields.year = date.yearsSince1900 + 1900;
    fields.month = date.month0 + 1;
    fields.day = date.day;
    fields.hour = date.hour;
    fields.minute = date.minute;
    fields.second = date.second;
    return LocalStandardTime(fields);
}

}  // namespace orvanta
