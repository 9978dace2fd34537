// The trend's zero correction takes a fast integer path when the zero level is
// whole-numbered; with any other level it must give what the double-precision
// definition gives: the sample minus the level, truncated toward zero.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "card/card_layout.h"
#include "card/card_reader.h"
#include "platform/memory_volume.h"
#include "tests/card/card_fixture_support.h"

namespace orvanta {
namespace {

TEST(TrendZeroLevel, AnyZeroLevelGivesTheDoublePrecisionResult) {
    cardtest::ScopedTempWorkDir workDir;
    MemoryVolumeSystem volumes;
    MemoryDisk& disk = volumes.Attach('E');
    cardtest::MarkCardTestSectors(disk);
    CCardReader reader(volumes);
    ASSERT_EQ(reader.driveCode, 'E');
    // One record: channel A alternates 509 +- 200, channel B 509 +- 37.
    cardtest::SectorBytes& sector = disk.Sector(100000);
    sector[0] = kRecordMarker;
    for (int pair = 1; pair <= 96; ++pair) {
        const int sign = pair % 2 == 0 ? 1 : -1;
        cardtest::SetSamplePair(sector, pair, static_cast<std::uint16_t>(509 + sign * 200),
                                static_cast<std::uint16_t>(509 + sign * 37));
    }
    reader.baseSector = 100000;
    reader.ringStart = 100000;
    reader.upperSector = 100000;
    reader.ringCount = 1;
    reader.currentSector = 100000;

    const double levels[] = {509.0, 509.25, 508.75, 0.0, -3.0, 1e12, 708.9};
    for (double level : levels) {
        SCOPED_TRACE(level);
        reader.offsetB = level;
        long sumA = 0, sumB = 0;
        bool within = true;
        for (int pair = 1; pair <= 96; ++pair) {
            const int sign = pair % 2 == 0 ? 1 : -1;
            const double a = std::trunc((509.0 + sign * 200) - level);
            const double b = std::trunc((509.0 + sign * 37) - level);
            within = within && std::fabs(a) <= 518 && std::fabs(b) <= 518;
            if (!within) break;  // the record gives no point; its sums are never used
            sumA += static_cast<long>(a * a);
            sumB += static_cast<long>(b * b);
        }
        std::string expected = "0 0 ";
        int points = 0;
        const int rmsB = static_cast<int>(std::sqrt(static_cast<double>(sumB / 96)) + 0.5);
        if (within && rmsB > 0) {
            const int rmsA = static_cast<int>(std::sqrt(static_cast<double>(sumA / 96)) + 0.5);
            char piece[64];
            std::snprintf(piece, sizeof piece, "%d %d ", static_cast<int>(rmsA * 1.0 * kTrendScaleA + 0.5),
                          static_cast<int>(rmsB * 1.0 * kTrendScaleB + 0.5));
            expected += piece;
            points = 1;
        }
        for (int i = 1 + points; i < 1000; ++i) expected += "0 ";
        reader.BuildTrendText();
        EXPECT_EQ(std::string(reader.trendText), expected);
    }
}

}  // namespace
}  // namespace orvanta
