// The card query: presence check, device record, ring, time search, backward
// scan, the record read and the two measurement texts, on cards built in the
// in-memory raw-volume double.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "card/card_layout.h"
#include "card/card_reader.h"
#include "platform/fault_volume.h"
#include "platform/memory_volume.h"
#include "tests/card/card_fixture_support.h"

namespace orvanta {
namespace {

using cardtest::RingLayout;
using cardtest::ScopedTimeZone;
using cardtest::SectorBytes;

const char* const kZones[] = {"Asia/Shanghai", "Europe/Berlin"};

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

const std::string kZeroWave = Repeat("-505 -508 ", 126);
const std::string kEmptyTrend = "0 0 " + Repeat("0 ", 999);
const char* const kNoDiskMessage = "\nThe disk is not allowed to visit!\n";

// Uniform zero-corrected values at the 96 trend positions (pairs 1..96).
void FillTrend(SectorBytes& bytes, int a, int b) {
    for (int pair = 1; pair <= 96; ++pair) {
        cardtest::SetSamplePair(bytes, pair, static_cast<std::uint16_t>(509 + a), static_cast<std::uint16_t>(509 + b));
    }
}

// Marks the first record of each second so that the texts show which record
// a query read: its waveform begins "100 " (channel A sample 606) and its
// trend point is "0 3 " (RMS 25 and 1); every other record begins "0 " and
// gives "2 253 ".
void MarkGroupFirsts(std::uint32_t perSecond, std::uint32_t index, SectorBytes& bytes) {
    const bool first = index % perSecond == 0;
    FillTrend(bytes, first ? 25 : 100, first ? 1 : 100);
    cardtest::SetSamplePair(bytes, 0, first ? 606 : 506, 509);
}

class CardQueryTest : public ::testing::Test {
protected:
    void SetUp() override { workDir_ = std::make_unique<cardtest::ScopedTempWorkDir>(); }

    std::string Query(CCardReader& reader, std::int32_t time) {
        testing::internal::CaptureStdout();
        reader.QueryCard(time);
        return testing::internal::GetCapturedStdout();
    }

    std::unique_ptr<cardtest::ScopedTempWorkDir> workDir_;  // no ratio.txt: both ratios 1.0
    MemoryVolumeSystem memory_;
    FaultVolumeSystem volumes_{memory_};
};

// A query on a device that does not open: every sector reads as zeros.
TEST_F(CardQueryTest, ResultsWithoutADevice) {
    ScopedTimeZone zone("Asia/Shanghai");
    struct Case {
        const char* name;
        bool cardAtStartUp;
        bool detach;          // the drive is gone
        bool failOpens;       // the drive is there but refuses every open
        const char* infoText;
    };
    const Case cases[] = {
        {"no card at start-up", false, false, false, "1 1 1 0 0 "},
        {"card pulled after a query", true, true, false, "1 1 1 123456 7 "},
        {"device refuses to open after a query", true, false, true, "1 1 1 123456 7 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryVolumeSystem memory;
        FaultVolumeSystem volumes{memory};
        const std::int32_t first = cardtest::TimeOfFields(2024, 3, 15, 10, 20, 30);
        if (c.cardAtStartUp) {
            MemoryDisk& disk = memory.Attach('E');
            cardtest::MarkCardTestSectors(disk);
            cardtest::WriteInfoSector(disk, 123456, 7);
            cardtest::WriteRing(disk, first, 500);
        }
        CCardReader reader(volumes);
        if (c.cardAtStartUp) {
            EXPECT_EQ(Query(reader, first + 10), "");
            EXPECT_EQ(std::string(reader.infoText), "69 1 1 123456 7 ");
            EXPECT_EQ(reader.actualTime, first + 10);
        }
        if (c.detach) memory.Detach(DevicePathOf('E'));
        volumes.faults.alwaysFailOpen = c.failOpens;

        EXPECT_EQ(Query(reader, first + 20), kNoDiskMessage);
        EXPECT_EQ(reader.driveCode, 1);
        EXPECT_EQ(std::string(reader.infoText), c.infoText);
        EXPECT_EQ(reader.actualTime, 0);
        EXPECT_EQ(std::string(reader.waveText), kZeroWave);
        EXPECT_EQ(std::string(reader.trendText), kEmptyTrend);
        EXPECT_EQ(std::string(reader.trendText).size(), 2002u);
        // The whole discovery limit becomes the ring; the search lands on its
        // last sector and the scan steps back the full 30 over equal zeros.
        EXPECT_EQ(reader.upperSector, 60000000u);
        EXPECT_EQ(reader.ringStart, 100000u);
        EXPECT_EQ(reader.ringCount, 59900001u);
        EXPECT_EQ(reader.currentSector, 60000000u - 30u);
    }
}

// A second held by several records: the query reads the first record of the
// group, and both texts start there.
TEST_F(CardQueryTest, SelectedSecondGivesTheFirstRecordOfItsGroup) {
    struct Shape {
        const char* name;
        std::uint32_t ringCount, perSecond, currentPass;
    };
    const Shape shapes[] = {
        {"not wrapped, 5 per second", 600, 5, 0},
        {"wrapped, 7 per second", 3500, 7, 700},
        {"wrapped, 20 per second", 6000, 20, 2000},
    };
    for (const char* zoneName : kZones) {
        ScopedTimeZone zone(zoneName);
        for (const Shape& shape : shapes) {
            SCOPED_TRACE(std::string(zoneName) + ", " + shape.name);
            MemoryVolumeSystem memory;
            FaultVolumeSystem volumes{memory};
            MemoryDisk& disk = memory.Attach('E');
            cardtest::MarkCardTestSectors(disk);
            const std::uint32_t perSecond = shape.perSecond;
            const RingLayout ring = cardtest::WriteRing(
                disk, cardtest::TimeOfFields(2024, 3, 31, 1, 59, 0), shape.ringCount, perSecond, shape.currentPass,
                100000, [perSecond](std::uint32_t i, SectorBytes& b) { MarkGroupFirsts(perSecond, i, b); });
            CCardReader reader(volumes);
            const std::uint32_t groups = shape.ringCount / perSecond;
            for (std::uint32_t g : {0u, 1u, groups / 3, groups / 2, groups - 2, groups - 1}) {
                SCOPED_TRACE(testing::Message() << "second " << g);
                const std::uint32_t firstIndex = g * perSecond;
                const std::int32_t t = ring.TimeOf(firstIndex);
                EXPECT_EQ(Query(reader, t), "");
                EXPECT_EQ(reader.driveCode, 'E');
                EXPECT_EQ(reader.currentSector, ring.PhysicalOf(firstIndex));
                EXPECT_EQ(reader.actualTime, t);
                EXPECT_EQ(std::string(reader.waveText).rfind("100 0 ", 0), 0u);
                // The trend starts with the selected record, then the rest of its group.
                const std::string groupPoints = "0 3 " + Repeat("2 253 ", static_cast<int>(perSecond) - 1);
                EXPECT_EQ(std::string(reader.trendText).rfind("0 0 " + groupPoints, 0), 0u);
            }
        }
    }
}

// Seconds that no record carries: the last record before them; times outside
// the card: its oldest or newest record.
TEST_F(CardQueryTest, TimeWithoutARecordGivesTheRecordBefore) {
    for (const char* zoneName : kZones) {
        ScopedTimeZone zone(zoneName);
        SCOPED_TRACE(zoneName);
        MemoryVolumeSystem memory;
        FaultVolumeSystem volumes{memory};
        MemoryDisk& disk = memory.Attach('E');
        cardtest::MarkCardTestSectors(disk);
        // 400 records, every second one missing: times first, first + 2, ...
        const std::int32_t first = cardtest::TimeOfFields(2024, 10, 27, 1, 30, 0);
        for (std::uint32_t i = 0; i < 400; ++i) cardtest::WriteRecord(disk, 100000 + i, first + 2 * static_cast<std::int32_t>(i));
        CCardReader reader(volumes);
        struct Case {
            std::int32_t selected;
            std::uint32_t sector;
            std::int32_t actual;
        };
        const Case cases[] = {
            {first + 1, 100000, first},
            {first + 2 * 150 + 1, 100150, first + 2 * 150},
            {first + 2 * 398 + 1, 100398, first + 2 * 398},
            {first - 1, 100000, first},                   // before the oldest
            {first + 2 * 399 + 1, 100399, first + 2 * 399},  // after the newest
            {first + 100000, 100399, first + 2 * 399},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "selected " << c.selected - first);
            Query(reader, c.selected);
            EXPECT_EQ(reader.currentSector, c.sector);
            EXPECT_EQ(reader.actualTime, c.actual);
        }
    }
}

// The card's drive is known from start-up, but the card now in it has fewer
// than 1002 records, so its test sectors are not marked: the device record
// says "no card" while the texts come from the card's real records.
TEST_F(CardQueryTest, FailedPresenceStillBuildsRealTexts) {
    ScopedTimeZone zone("Europe/Berlin");
    MemoryDisk& disk = memory_.Attach('F');
    cardtest::MarkCardTestSectors(disk);
    cardtest::WriteInfoSector(disk, 0x80000001u, 255);
    CCardReader reader(volumes_);
    ASSERT_EQ(reader.driveCode, 'F');

    disk.Clear(101000);
    disk.Clear(101001);
    const RingLayout ring = cardtest::WriteRing(disk, cardtest::TimeOfFields(2024, 7, 1, 12, 0, 0), 500, 1, 0, 100000,
                                                [](std::uint32_t, SectorBytes& b) { FillTrend(b, 100, 100); });
    EXPECT_EQ(reader.CheckCardPresent(), 0);
    EXPECT_EQ(Query(reader, ring.TimeOf(200)), "");
    EXPECT_EQ(std::string(reader.infoText), "1 1 1 -2147483647 255 ");
    EXPECT_EQ(reader.actualTime, ring.TimeOf(200));
    EXPECT_EQ(reader.currentSector, 100200u);
    // Pair 0 is zero; pairs 1..96 carry 609 on both channels.
    EXPECT_EQ(std::string(reader.waveText), "-505 -508 " + Repeat("103 100 ", 96) + Repeat("-505 -508 ", 29));
    // Records 200 .. 499: 300 points, then the fill.
    EXPECT_EQ(std::string(reader.trendText), "0 0 " + Repeat("2 253 ", 300) + Repeat("0 ", 699));
}

// A presence check that passes again restores the start-up drive's code, so a
// card pulled and put back is reported present; a failed check reports 1.
TEST_F(CardQueryTest, DriveCodeFollowsThePresenceCheck) {
    ScopedTimeZone zone("Asia/Shanghai");
    MemoryDisk& disk = memory_.Attach('G');
    cardtest::MarkCardTestSectors(disk);
    cardtest::WriteInfoSector(disk, 4242, 9);
    const RingLayout ring = cardtest::WriteRing(disk, cardtest::TimeOfFields(2024, 1, 2, 3, 4, 5), 1200);
    CCardReader reader(volumes_);
    ASSERT_EQ(reader.driveCode, 'G');

    enum class Card { kPresent, kOpenFails, kTestSectorsUnmarked };
    struct Step {
        const char* name;
        Card card;
        int present;
        const char* infoText;
    };
    const Step steps[] = {
        {"card in", Card::kPresent, 1, "71 1 1 4242 9 "},
        {"card pulled", Card::kOpenFails, 0, "1 1 1 4242 9 "},
        {"card put back", Card::kPresent, 1, "71 1 1 4242 9 "},
        {"test sectors unreadable", Card::kTestSectorsUnmarked, 0, "1 1 1 4242 9 "},
        {"test sectors back", Card::kPresent, 1, "71 1 1 4242 9 "},
    };
    // A card appearing on a lower letter later changes nothing: the drives
    // are searched only at start-up.
    cardtest::MarkCardTestSectors(memory_.Attach('D'));
    const std::string pathD = DevicePathOf('D');
    const std::uint64_t opensOfD = volumes_.opensByPath[pathD];
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        volumes_.faults = FaultPlan();
        volumes_.faults.alwaysFailOpen = step.card == Card::kOpenFails;
        const std::uint32_t presence = 101000;
        disk.Sector(presence)[0] = step.card == Card::kTestSectorsUnmarked ? 0x00 : kRecordMarker;
        Query(reader, ring.TimeOf(100));
        EXPECT_EQ(reader.driveCode, step.present ? 'G' : 1);
        EXPECT_EQ(std::string(reader.infoText), step.infoText);
        EXPECT_EQ(reader.actualTime, step.card == Card::kOpenFails ? 0 : ring.TimeOf(100));
        EXPECT_EQ(reader.CheckCardPresent(), step.present);
        EXPECT_EQ(volumes_.opensByPath[pathD], opensOfD);
    }
}

// Without a card at start-up, no later check ever names a drive.
TEST_F(CardQueryTest, NoCardAtStartUpStaysWithoutDrive) {
    CCardReader reader(volumes_);
    ASSERT_EQ(reader.driveCode, 1);
    cardtest::MarkCardTestSectors(memory_.Attach('E'));
    volumes_.ResetCounters();
    EXPECT_EQ(Query(reader, 1700000000), kNoDiskMessage);
    EXPECT_EQ(reader.driveCode, 1);
    EXPECT_EQ(volumes_.opensByPath[DevicePathOf('E')], 0u);
}

// One query stays within the device operations that its steps allow: the
// presence check 2, the device record 1, the ring bounds at most 241, the time
// search at most 92, the backward scan at most 60, the record 1 and the trend
// one open with one read of 512,000 bytes. Nothing stays open.
TEST_F(CardQueryTest, DeviceOperationsStayWithinTheBound) {
    constexpr std::uint64_t kSingleSectorReads = 2 + 1 + 241 + 92 + 60 + 1;
    for (const char* zoneName : kZones) {
        ScopedTimeZone zone(zoneName);
        MemoryVolumeSystem memory;
        FaultVolumeSystem volumes{memory};
        MemoryDisk& disk = memory.Attach('E');
        cardtest::MarkCardTestSectors(disk);
        const RingLayout ring =
            cardtest::WriteRing(disk, cardtest::TimeOfFields(2024, 3, 31, 1, 0, 0), 50000, 25, 20000);
        CCardReader reader(volumes);
        const std::int32_t times[] = {ring.TimeOf(0), ring.TimeOf(12345), ring.TimeOf(20000 + 30),
                                      ring.NewestTime(), ring.TimeOf(0) - 5, ring.NewestTime() + 5};
        for (std::int32_t t : times) {
            SCOPED_TRACE(testing::Message() << zoneName << " time " << t - ring.firstTime);
            volumes.ResetCounters();
            reader.QueryCard(t);
            const VolumeCounters& c = volumes.counters;
            EXPECT_LE(c.opens, kSingleSectorReads + 1);
            EXPECT_LE(c.reads, kSingleSectorReads + 1);
            EXPECT_LE(c.positions, kSingleSectorReads + 1);
            EXPECT_LE(c.bytesRead, kSingleSectorReads * 512 + 512000);
            EXPECT_GE(c.bytesRead, 512000u);
            EXPECT_EQ(c.failedOpens, 0u);
            EXPECT_EQ(c.closes, c.opens);
            EXPECT_GT(reader.actualTime, 0);
        }
    }
}

}  // namespace
}  // namespace orvanta
