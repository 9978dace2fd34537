// The overview's hour-cached timestamp decoding gives exactly what the card
// reader's decoding gives, in zones with and without summer time, across
// their change days, for odd BCD values and for moments past 2038.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "card/timestamp.h"
#include "card/timestamp_decoder.h"
#include "cardimage/card_image.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace {

TEST(TimestampDecoder, EqualsTheReadersDecodingForEverySector) {
    std::mt19937 random(20240315);
    for (const char* zone : {"Asia/Shanghai", "Europe/Berlin", "America/New_York", "UTC"}) {
        SCOPED_TRACE(zone);
        testenv::ScopedTimeZone tz(zone);
        CTimestampDecoder decoder;
        unsigned char sector[7] = {};
        // Runs of consecutive seconds over both change days of 2024 and the
        // 32-bit limit, then random bytes (nibbles above 9, invalid dates,
        // hours and minutes that carry).
        for (const LocalFields start : {LocalFields{2024, 3, 31, 0, 0, 0}, LocalFields{2024, 10, 27, 0, 0, 0},
                                        LocalFields{2024, 3, 10, 0, 0, 0}, LocalFields{2024, 11, 3, 0, 0, 0},
                                        LocalFields{2038, 1, 19, 0, 0, 0}}) {
            const std::int64_t first = LocalStandardSeconds(start);
            for (std::int64_t t = first; t < first + 6 * 3600; t += 7) {
                LocalFields f = start;
                f.hour = static_cast<int>((t - first) / 3600);
                f.minute = static_cast<int>((t - first) / 60 % 60);
                f.second = static_cast<int>((t - first) % 60);
                cardimage::EncodeFields(f, sector);
                ASSERT_EQ(decoder.Decode(sector), DecodeSectorTimestamp(sector))
                    << f.year << "-" << f.month << "-" << f.day << " " << f.hour << ":" << f.minute << ":" << f.second;
            }
        }
        for (int i = 0; i < 20000; ++i) {
            for (int b = 1; b < 7; ++b) sector[b] = static_cast<unsigned char>(random());
            // Most draws with a valid date, so the cached road is taken.
            if (i % 4 != 0) {
                sector[1] = cardimage::ToBcd(13 + static_cast<int>(random() % 51));
                sector[2] = cardimage::ToBcd(1 + static_cast<int>(random() % 12));
                sector[3] = cardimage::ToBcd(1 + static_cast<int>(random() % 31));
            }
            ASSERT_EQ(decoder.Decode(sector), DecodeSectorTimestamp(sector)) << "draw " << i;
        }
    }
}

}  // namespace
}  // namespace orvanta
