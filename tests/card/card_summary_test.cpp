// The card summary for the window's start page: serial, ring bounds and the
// oldest and newest record, read without touching the reader that the
// queries use, and only from the card's own device.
#include "card/card_summary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/card/card_fixture_support.h"
#include "platform/fault_volume.h"

namespace orvanta {
namespace {

using cardtest::MarkCardTestSectors;
using cardtest::RingLayout;
using cardtest::ScopedTempWorkDir;
using cardtest::ScopedTimeZone;
using cardtest::TimeOfFields;
using cardtest::WriteInfoSector;
using cardtest::WriteRing;

TEST(CardSummary, NamesTheCardsSerialRecordsAndItsOldestAndNewestRecord) {
    struct Case {
        const char* what;
        const char* zone;
        char letter;
        std::uint32_t ringCount;
        std::uint32_t perSecond;
        std::uint32_t currentPass;
        std::uint32_t serial;
    };
    const Case cases[] = {
        {"not wrapped, on E:", "Asia/Shanghai", 'E', 5000, 1, 0, 20240315},
        {"wrapped, on G:", "Asia/Shanghai", 'G', 8000, 3, 2500, 7},
        {"a serial with the top bit set, summer time zone", "Europe/Berlin", 'D', 3000, 2, 1200, 0xF0000001u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedTimeZone zone(c.zone);
        ScopedTempWorkDir work;
        MemoryVolumeSystem memory;
        FaultVolumeSystem volumes{memory};
        MemoryDisk& disk = memory.Attach(c.letter);
        const RingLayout ring =
            WriteRing(disk, TimeOfFields(2024, 7, 1, 8, 0, 0), c.ringCount, c.perSecond, c.currentPass);
        MarkCardTestSectors(disk);
        WriteInfoSector(disk, c.serial, 9);
        CCardReader reader(volumes);

        const CardSummary summary = SummariseCard(reader);
        EXPECT_TRUE(summary.present);
        EXPECT_EQ(summary.letter, c.letter);
        EXPECT_EQ(summary.serial, c.serial);
        EXPECT_EQ(summary.records, ring.ringCount);
        EXPECT_EQ(summary.oldestTime, ring.firstTime);
        EXPECT_EQ(summary.newestTime, ring.NewestTime());
    }
}

TEST(CardSummary, ReadsOnlyTheCardsDeviceAndLeavesTheQueryAsItWas) {
    ScopedTimeZone zone("Asia/Shanghai");
    ScopedTempWorkDir work;
    const std::int32_t first = TimeOfFields(2024, 3, 15, 10, 0, 0);
    MemoryVolumeSystem memory;
    FaultVolumeSystem volumes{memory};
    MemoryDisk& disk = memory.Attach('E');
    WriteRing(disk, first, 6000, 2, 1700);
    MarkCardTestSectors(disk);
    WriteInfoSector(disk, 4711, 3);
    // Something on D: that is no card: the summary must not look at it.
    memory.Attach('D');

    CCardReader plain(volumes);
    CCardReader summarised(volumes);
    MemoryVolumeSystem emptyMemory;
    FaultVolumeSystem empty{emptyMemory};
    EXPECT_FALSE(SummariseCard(CCardReader(empty)).present);
    volumes.ResetCounters();
    SummariseCard(summarised);
    ASSERT_EQ(volumes.opensByPath.size(), 1u);
    EXPECT_EQ(volumes.opensByPath.begin()->first, DevicePathOf('E'));

    for (std::int32_t selected : {first + 100, first + 2900, first - 50}) {
        SCOPED_TRACE(selected);
        plain.QueryCard(selected);
        summarised.QueryCard(selected);
        EXPECT_EQ(summarised.actualTime, plain.actualTime);
        EXPECT_EQ(summarised.currentSector, plain.currentSector);
        EXPECT_STREQ(summarised.waveText, plain.waveText);
        EXPECT_STREQ(summarised.trendText, plain.trendText);
        EXPECT_STREQ(summarised.infoText, plain.infoText);
    }
}

}  // namespace
}  // namespace orvanta
