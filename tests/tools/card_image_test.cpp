// Synthetic recorder cards: the record clock (records per second, gaps, the
// fresh second of a wrapped ring's current pass), the sector contents, and
// that the card reader finds exactly the ring that was written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "card/local_time.h"
#include "platform/memory_volume.h"
#include "tests/tools/tool_test_support.h"
#include "cardimage/card_image.h"

namespace orvanta {
namespace {

using cardimage::CardLayout;
using cardimage::CardContents;
using tooltest::ScopedTimeZone;

CardLayout WriteToDisk(MemoryDisk& disk, const CardContents& contents) {
    return cardimage::GenerateCard(contents, [&](std::uint32_t sector, const std::uint8_t* bytes) {
        std::copy(bytes, bytes + 512, disk.Sector(sector).begin());
    });
}

TEST(CardImageClock, RecordsPerSecondGapsAndTheWrapFollowThePlan) {
    ScopedTimeZone zone("Asia/Shanghai");
    struct Case {
        const char* name;
        std::vector<std::uint32_t> perSecond;
        std::uint32_t gapEvery, gapSeconds, records, wrap;
        std::vector<int> offsets;  // seconds after the start, per record
    };
    const Case cases[] = {
        {"one per second", {1}, 0, 0, 4, 0, {0, 1, 2, 3}},
        {"pattern 1,3,2 with a 3-second gap after every 2 seconds", {1, 3, 2}, 2, 3, 10, 0,
         {0, 1, 1, 1, 5, 5, 6, 10, 10, 10}},
        {"a 0 in the pattern leaves a second empty", {2, 0}, 0, 0, 5, 0, {0, 0, 2, 2, 4}},
        {"the current pass begins on a second of its own", {3}, 0, 0, 6, 2, {0, 0, 0, 1, 2, 2}},
        {"wrap at a second boundary changes nothing", {3}, 0, 0, 6, 3, {0, 0, 0, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CardContents contents;
        contents.perSecond = c.perSecond;
        contents.gapEvery = c.gapEvery;
        contents.gapSeconds = c.gapSeconds;
        contents.records = c.records;
        contents.wrap = c.wrap;
        std::string error;
        ASSERT_TRUE(cardimage::Validate(contents, &error)) << error;
        const std::int32_t start = LocalStandardTime(contents.start);
        std::vector<std::int32_t> expected;
        for (int offset : c.offsets) expected.push_back(start + offset);
        EXPECT_EQ(cardimage::RecordTimes(contents), expected);
    }
}

TEST(CardImageContents, InvalidContentsAreRejectedWithAReason) {
    ScopedTimeZone zone("Asia/Shanghai");
    struct Case {
        const char* name;
        void (*change)(CardContents&);
        const char* mentions;
    };
    const Case cases[] = {
        {"no records", [](CardContents& s) { s.records = 0; }, "at least one record"},
        {"empty pattern", [](CardContents& s) { s.perSecond.clear(); }, "empty"},
        {"pattern of zeros", [](CardContents& s) { s.perSecond = {0, 0}; }, "no second with records"},
        {"wrap as long as the ring", [](CardContents& s) { s.wrap = s.records; }, "shorter than the ring"},
        {"year before 2013", [](CardContents& s) { s.start.year = 2012; }, "2013"},
        {"year after 2037", [](CardContents& s) { s.start.year = 2038; }, "2013"},
        {"card too small for the ring", [](CardContents& s) { s.sectors = 100000 + s.records - 1; }, "too small"},
        {"card too small for the test sectors", [](CardContents& s) { s.records = 10; s.sectors = 101001; }, "101002"},
        {"records beyond 2038-01-19",
         [](CardContents& s) {
             s.start = LocalFields{2037, 12, 31, 0, 0, 0};
             s.records = 3000000;
         },
         "2038"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CardContents contents;
        c.change(contents);
        std::string error;
        EXPECT_FALSE(cardimage::Validate(contents, &error));
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
    }
    CardContents small;
    small.records = 10;
    small.sectors = 101001;
    small.presence = false;  // without the test sectors the ring decides the size
    std::string error;
    EXPECT_TRUE(cardimage::Validate(small, &error)) << error;
}

TEST(CardImageSectors, RecordCarriesMarkerBcdTimeAndAFeederCycle) {
    for (const char* zoneName : {"Asia/Shanghai", "Europe/Berlin"}) {
        SCOPED_TRACE(zoneName);
        ScopedTimeZone zone(zoneName);
        // A summer moment in Berlin: the card holds local standard time.
        LocalFields when{2024, 7, 9, 23, 59, 58};
        std::int32_t time = LocalStandardTime(when);
        std::uint8_t sector[512];
        cardimage::BuildRecordSector(time, 17, sector);
        const std::uint8_t head[7] = {0x20, 0x24, 0x07, 0x09, 0x23, 0x59, 0x58};
        EXPECT_EQ(std::vector<std::uint8_t>(sector, sector + 7), std::vector<std::uint8_t>(head, head + 7));
        EXPECT_EQ(sector[7], 0);

        // Pairs 1 to 96 are one whole period of the fundamental.
        double sumA = 0, sumB = 0, squareA = 0, squareB = 0;
        for (int k = 1; k <= 96; ++k) {
            double a = sector[8 + 4 * k] | sector[9 + 4 * k] << 8;
            double b = sector[10 + 4 * k] | sector[11 + 4 * k] << 8;
            sumA += a;
            sumB += b;
            squareA += (a - 506.3) * (a - 506.3);
            squareB += (b - 509.0) * (b - 509.0);
        }
        EXPECT_NEAR(sumB / 96, 509.0, 0.5);
        EXPECT_NEAR(sumA / 96, 506.3, 0.5);
        EXPECT_NEAR(std::sqrt(squareB / 96), 87.0, 3.0);  // about 220 V
        double rmsA = std::sqrt(squareA / 96);
        EXPECT_GT(rmsA, 10.0);
        EXPECT_LT(rmsA, 60.0);  // a smaller current
    }
}

TEST(CardImageSectors, SamplesHoldHarmonicsAndDriftFromRecordToRecord) {
    std::uint16_t a[126], b[126], a2[126], b2[126];
    cardimage::BuildSamples(0, a, b);
    cardimage::BuildSamples(300, a2, b2);
    // Amplitude of harmonic h of a channel by a discrete Fourier sum over
    // pairs 1 to 96, one period: the recorder samples 96 times a period.
    auto amplitude = [](const std::uint16_t* x, int h) {
        double re = 0, im = 0;
        for (int k = 1; k <= 96; ++k) {
            double th = 2 * M_PI * h * k / 96;
            re += x[k] * std::cos(th);
            im += x[k] * std::sin(th);
        }
        return 2 * std::sqrt(re * re + im * im) / 96;
    };
    const double fundamentalB = amplitude(b, 1);
    EXPECT_NEAR(fundamentalB, 87.0 * std::sqrt(2.0), 4.0);
    for (int h : {3, 5, 7}) {
        SCOPED_TRACE("harmonic " + std::to_string(h));
        EXPECT_GT(amplitude(b, h) / fundamentalB, 0.01);
        EXPECT_LT(amplitude(b, h) / fundamentalB, 0.08);
        EXPECT_GT(amplitude(a, h) / amplitude(a, 1), 0.02);
    }
    EXPECT_LT(amplitude(b, 2) / fundamentalB, 0.01);  // no even harmonics
    // Pairs 96 to 125 go on with the wave: the next period's first 30 samples.
    for (int k = 96; k < 126; ++k) {
        EXPECT_NEAR(a[k], a[k - 96], 1) << k;
        EXPECT_NEAR(b[k], b[k - 96], 1) << k;
    }
    EXPECT_NE(std::vector<std::uint16_t>(a, a + 126), std::vector<std::uint16_t>(a2, a2 + 126));
    EXPECT_GT(std::abs(amplitude(a2, 1) - amplitude(a, 1)), 1.0);
}

TEST(CardImageRing, TheReaderFindsExactlyTheRingThatWasWritten) {
    for (const char* zoneName : {"Asia/Shanghai", "Europe/Berlin"}) {
        ScopedTimeZone zone(zoneName);
        struct Case {
            std::uint32_t records, wrap;
            std::vector<std::uint32_t> perSecond;
        };
        const Case cases[] = {
            {500, 0, {1}},     {50000, 200, {1}}, {50000, 1, {1}},  {50000, 49999, {1}},
            {50000, 200, {40}}, {20000, 7321, {1, 3, 2}}, {1, 0, {1}},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(zoneName) + ", " + std::to_string(c.records) + " records, wrap " +
                         std::to_string(c.wrap) + ", per second " + std::to_string(c.perSecond[0]));
            CardContents contents;
            contents.start = LocalFields{2024, 6, 30, 23, 0, 0};
            contents.records = c.records;
            contents.wrap = c.wrap;
            contents.perSecond = c.perSecond;
            contents.serial = 0x80000001u;
            contents.deviceByte = 200;
            ASSERT_TRUE(cardimage::Validate(contents, nullptr));
            MemoryVolumeSystem volumes;
            CardLayout layout = WriteToDisk(volumes.Attach('F'), contents);
            EXPECT_EQ(layout.ringStart, 100000u + c.wrap);
            EXPECT_EQ(layout.upperSector, 100000u + c.records - 1);
            EXPECT_EQ(layout.wrapped, c.wrap != 0);

            CCardReader reader(volumes);
            ASSERT_EQ(reader.driveCode, 'F');
            EXPECT_EQ(reader.CheckCardPresent(), 1);
            reader.ReadDeviceRecord();
            EXPECT_EQ(static_cast<std::uint32_t>(reader.deviceSerial), 0x80000001u);
            EXPECT_EQ(reader.deviceByte, 200);
            reader.FindRingBounds();
            EXPECT_EQ(reader.ringStart, layout.ringStart);
            EXPECT_EQ(reader.upperSector, layout.upperSector);
            EXPECT_EQ(reader.ringCount, layout.ringCount);
            EXPECT_EQ(reader.ReadSector(reader.LogicalToPhysical(0)), layout.oldestTime);
            EXPECT_EQ(reader.ReadSector(reader.LogicalToPhysical(reader.ringCount - 1)), layout.newestTime);
            EXPECT_EQ(reader.LogicalToPhysical(reader.ringCount - 1), layout.newestSector);

            // Every record sits where its logical index says, with its time.
            std::vector<std::int32_t> times = cardimage::RecordTimes(contents);
            for (std::uint32_t i = 0; i < c.records; i += 997) {
                EXPECT_EQ(reader.ReadSector(cardimage::PhysicalSectorOf(contents, i)), times[i]) << "index " << i;
            }
        }
    }
}

TEST(CardImageRing, PresenceSectorsFollowTheOption) {
    ScopedTimeZone zone("Asia/Shanghai");
    struct Case {
        std::uint32_t records;
        bool presence;
        int present;           // what the presence check gives
        std::uint32_t zeroTimeSectors;  // test sectors with timestamp 0
    };
    const Case cases[] = {
        {10, true, 1, 2},      // marker-only sectors behind a short ring
        {1001, true, 1, 1},    // 101000 is a record, 101001 marker only
        {5000, true, 1, 0},    // both are records
        {10, false, 0, 2},     // nothing written there
        {5000, false, 0, 0},   // records whose marker is cleared
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.records) + " records, presence " + (c.presence ? "on" : "off"));
        CardContents contents;
        contents.records = c.records;
        contents.presence = c.presence;
        MemoryVolumeSystem volumes;
        MemoryDisk& disk = volumes.Attach('E');
        CardLayout layout = WriteToDisk(disk, contents);
        CCardReader reader(volumes);
        reader.SetDevicePath('E');
        reader.driveCode = 'E';
        EXPECT_EQ(reader.CheckCardPresent(), c.present);
        std::uint32_t zeros = 0;
        for (std::uint32_t s : {101000u, 101001u}) zeros += reader.ReadSector(s) == 0;
        EXPECT_EQ(zeros, c.zeroTimeSectors);
        // Marker-only sectors do not disturb the ring.
        reader.FindRingBounds();
        EXPECT_EQ(reader.upperSector, layout.upperSector);
        EXPECT_EQ(reader.ringStart, layout.ringStart);
    }
}

}  // namespace
}  // namespace orvanta
