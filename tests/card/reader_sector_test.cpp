// Reading single sectors: BCD timestamps, their validity limits, local
// standard time, 64-bit positions and what failed reads leave behind.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <ctime>
#include <string>

#include "card/card_reader.h"
#include "card/timestamp.h"
#include "platform/fault_volume.h"
#include "platform/memory_volume.h"
#include "tests/card/card_fixture_support.h"

namespace orvanta {
namespace {

using cardtest::ScopedTimeZone;
using cardtest::SectorBytes;
using cardtest::WriteRecordBytes;

// The moment of a wall-clock time in a zone with a fixed standard offset,
// computed with UTC calendar arithmetic only (no zone database involved).
std::int64_t StandardMoment(int year, int month, int day, int hour, int minute, int second, int utcOffsetSeconds) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
#ifdef _WIN32
    return static_cast<std::int64_t>(_mkgmtime(&tm)) - utcOffsetSeconds;
#else
    return static_cast<std::int64_t>(timegm(&tm)) - utcOffsetSeconds;
#endif
}

// A reader on drive E: with a card, its counters cleared after construction.
struct CardOnE {
    MemoryVolumeSystem memory;
    FaultVolumeSystem volumes{memory};
    MemoryDisk& disk = memory.Attach('E');
    std::unique_ptr<CCardReader> reader;

    CardOnE() {
        cardtest::MarkCardTestSectors(disk);
        reader = std::make_unique<CCardReader>(volumes);
        volumes.ResetCounters();
    }
};

struct BcdCase {
    const char* name;
    std::array<std::uint8_t, 6> bytes;  // year, month, day, hour, minute, second
    bool valid;
    int year, month, day, hour, minute, second;  // expected wall clock when valid
};

const BcdCase kBcdCases[] = {
    {"worked example", {0x24, 0x03, 0x15, 0x10, 0x20, 0x30}, true, 2024, 3, 15, 10, 20, 30},
    {"year 2013 is the first valid", {0x13, 0x01, 0x01, 0x00, 0x00, 0x00}, true, 2013, 1, 1, 0, 0, 0},
    {"year 2012 rejected", {0x12, 0x06, 0x01, 0x00, 0x00, 0x00}, false, 0, 0, 0, 0, 0, 0},
    {"year 2064 rejected", {0x64, 0x06, 0x01, 0x00, 0x00, 0x00}, false, 0, 0, 0, 0, 0, 0},
    {"month 0 rejected", {0x24, 0x00, 0x15, 0x00, 0x00, 0x00}, false, 0, 0, 0, 0, 0, 0},
    {"month 13 rejected", {0x24, 0x13, 0x15, 0x00, 0x00, 0x00}, false, 0, 0, 0, 0, 0, 0},
    {"month 12 accepted", {0x24, 0x12, 0x31, 0x23, 0x59, 0x59}, true, 2024, 12, 31, 23, 59, 59},
    {"day 0 rejected", {0x24, 0x03, 0x00, 0x00, 0x00, 0x00}, false, 0, 0, 0, 0, 0, 0},
    {"day 32 rejected", {0x24, 0x03, 0x32, 0x00, 0x00, 0x00}, false, 0, 0, 0, 0, 0, 0},
    {"all zero is year 2000", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, false, 0, 0, 0, 0, 0, 0},
    {"hour 24 rolls into the next day", {0x24, 0x03, 0x15, 0x24, 0x00, 0x00}, true, 2024, 3, 16, 0, 0, 0},
    {"31 April carries into May", {0x24, 0x04, 0x31, 0x08, 0x00, 0x00}, true, 2024, 5, 1, 8, 0, 0},
    {"nibble above 9 in the year: 0x1A is 20", {0x1A, 0x05, 0x05, 0x05, 0x05, 0x05}, true, 2020, 5, 5, 5, 5, 5},
    {"nibble above 9 in the month: 0x0A is 10", {0x24, 0x0A, 0x01, 0x00, 0x00, 0x00}, true, 2024, 10, 1, 0, 0, 0},
    {"0x0D month is 13, rejected", {0x24, 0x0D, 0x01, 0x00, 0x00, 0x00}, false, 0, 0, 0, 0, 0, 0},
    {"minute 0x99 carries", {0x24, 0x03, 0x15, 0x10, 0x99, 0x00}, true, 2024, 3, 15, 11, 39, 0},
    {"last moment of 32 bits", {0x38, 0x01, 0x19, 0x11, 0x14, 0x07}, true, 2038, 1, 19, 11, 14, 7},
};

TEST(ReaderSector, DecodesBcdTimestampsUnderShanghaiTime) {
    ScopedTimeZone zone("Asia/Shanghai");
    CardOnE card;
    for (const BcdCase& c : kBcdCases) {
        SCOPED_TRACE(c.name);
        SectorBytes& bytes = WriteRecordBytes(card.disk, 200000, c.bytes);
        bytes[511] = 0x5A;
        const std::int32_t t = card.reader->ReadSector(200000);
        if (!c.valid) {
            EXPECT_EQ(t, 0);
        } else {
            EXPECT_EQ(t, StandardMoment(c.year, c.month, c.day, c.hour, c.minute, c.second, 8 * 3600));
        }
        // The buffer holds the sector's bytes whether or not the date is valid.
        EXPECT_EQ(card.reader->sectorBuffer[0], 0x20);
        EXPECT_EQ(card.reader->sectorBuffer[1], c.bytes[0]);
        EXPECT_EQ(card.reader->sectorBuffer[511], 0x5A);
        // The free decoder agrees with the reader.
        EXPECT_EQ(DecodeSectorTimestamp(bytes.data()), t);
    }
}

TEST(ReaderSector, TimesBeyondThirtyTwoBitsAreMinusOne) {
    ScopedTimeZone zone("Asia/Shanghai");
    const struct {
        const char* name;
        std::array<std::uint8_t, 6> bytes;
    } cases[] = {
        {"one second after the 32-bit end", {0x38, 0x01, 0x19, 0x11, 0x14, 0x08}},
        {"year 2063, last valid year", {0x63, 0x12, 0x31, 0x23, 0x59, 0x59}},
        {"year 2040", {0x40, 0x06, 0x01, 0x00, 0x00, 0x00}},
    };
    CardOnE card;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteRecordBytes(card.disk, 300000, c.bytes);
        EXPECT_EQ(card.reader->ReadSector(300000), -1);
    }
}

TEST(ReaderSector, SummerRecordCountsAsStandardTimeInBerlin) {
    ScopedTimeZone zone("Europe/Berlin");
    const struct {
        const char* name;
        std::array<std::uint8_t, 6> bytes;
        int year, month, day, hour, minute, second;
    } cases[] = {
        {"winter", {0x24, 0x01, 0x10, 0x12, 0x00, 0x00}, 2024, 1, 10, 12, 0, 0},
        {"summer", {0x24, 0x07, 0x01, 0x12, 0x00, 0x00}, 2024, 7, 1, 12, 0, 0},
        {"inside the skipped spring hour", {0x24, 0x03, 0x31, 0x02, 0x30, 0x00}, 2024, 3, 31, 2, 30, 0},
        {"inside the repeated autumn hour", {0x24, 0x10, 0x27, 0x02, 0x30, 0x00}, 2024, 10, 27, 2, 30, 0},
    };
    CardOnE card;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteRecordBytes(card.disk, 100123, c.bytes);
        EXPECT_EQ(card.reader->ReadSector(100123),
                  StandardMoment(c.year, c.month, c.day, c.hour, c.minute, c.second, 3600));
    }
}

TEST(ReaderSector, PositionsThroughSixtyFourBitOffsets) {
    ScopedTimeZone zone("Asia/Shanghai");
    CardOnE card;
    // Sectors whose byte offsets need more than 31 or 32 bits, each with its
    // own date; a truncated offset would land on a different (zero) sector.
    const std::uint32_t sectors[] = {4194303u, 4194304u, 4194305u, 8388608u, 8388609u, 59999999u, 60000000u};
    for (std::size_t i = 0; i < sizeof sectors / sizeof sectors[0]; ++i) {
        WriteRecordBytes(card.disk, sectors[i], {0x24, 0x03, cardtest::ToBcd(static_cast<int>(i) + 1), 0x00, 0x00, 0x00});
    }
    for (std::size_t i = 0; i < sizeof sectors / sizeof sectors[0]; ++i) {
        SCOPED_TRACE(sectors[i]);
        EXPECT_EQ(card.reader->ReadSector(sectors[i]),
                  StandardMoment(2024, 3, static_cast<int>(i) + 1, 0, 0, 0, 8 * 3600));
    }
    // Sector 0 lies where a 32-bit offset of sector 8388608 would wrap to.
    EXPECT_EQ(card.reader->ReadSector(0), 0);
}

TEST(ReaderSector, EveryReadOpensPositionsReadsAndCloses) {
    CardOnE card;
    for (int i = 0; i < 5; ++i) card.reader->ReadSector(100000 + i);
    EXPECT_EQ(card.volumes.counters.opens, 5u);
    EXPECT_EQ(card.volumes.counters.positions, 5u);
    EXPECT_EQ(card.volumes.counters.reads, 5u);
    EXPECT_EQ(card.volumes.counters.closes, 5u);
}

TEST(ReaderSector, FailuresNeverLeaveBytesOfAnEarlierSector) {
    ScopedTimeZone zone("Asia/Shanghai");
    const struct {
        const char* name;
        FaultPlan plan;
        int deliveredBytes;  // of the second sector that reach the buffer
    } cases[] = {
        {"failed open", [] { FaultPlan f; f.failOpenAt = 2; return f; }(), 0},
        {"failed positioning", [] { FaultPlan f; f.failPositionAt = 2; return f; }(), 0},
        {"failed read", [] { FaultPlan f; f.failReadAt = 2; return f; }(), 0},
        {"read of nothing", [] { FaultPlan f; f.shortReadAt = 2; f.shortReadBytes = 0; return f; }(), 0},
        {"short read of 4 bytes", [] { FaultPlan f; f.shortReadAt = 2; f.shortReadBytes = 4; return f; }(), 4},
        {"short read of 300 bytes", [] { FaultPlan f; f.shortReadAt = 2; f.shortReadBytes = 300; return f; }(), 300},
        {"no fault", FaultPlan(), 512},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CardOnE card;
        // First sector: all 0xEE after a valid record header.
        SectorBytes& first = WriteRecordBytes(card.disk, 100000, {0x24, 0x03, 0x15, 0x10, 0x20, 0x30});
        for (int i = 7; i < 512; ++i) first[i] = 0xEE;
        // Second sector: a different record, bytes 7.. counting.
        SectorBytes& second = WriteRecordBytes(card.disk, 100001, {0x24, 0x03, 0x15, 0x10, 0x20, 0x31});
        for (int i = 7; i < 512; ++i) second[i] = static_cast<std::uint8_t>(i);

        ASSERT_NE(card.reader->ReadSector(100000), 0);
        card.volumes.faults = c.plan;
        const std::int32_t t = card.reader->ReadSector(100001);
        for (int i = 0; i < 512; ++i) {
            const std::uint8_t expected = i < c.deliveredBytes ? second[i] : 0;
            ASSERT_EQ(card.reader->sectorBuffer[i], expected) << "byte " << i;
        }
        // Bytes 4 to 6 (hour, minute, second) missing read as 00:00:00.
        const std::int32_t full = StandardMoment(2024, 3, 15, 10, 20, 31, 8 * 3600);
        const std::int32_t midnight = StandardMoment(2024, 3, 15, 0, 0, 0, 8 * 3600);
        EXPECT_EQ(t, c.deliveredBytes >= 7 ? full : c.deliveredBytes >= 4 ? midnight : 0);
        // Whatever happened, the device was closed again.
        EXPECT_EQ(card.volumes.counters.closes, card.volumes.counters.opens - card.volumes.counters.failedOpens);
    }
}

TEST(ReaderSector, ReadsPastTheEndOfTheDeviceGiveZeros) {
    CardOnE card;
    card.disk.sizeInSectors = 200001;
    WriteRecordBytes(card.disk, 200000, {0x24, 0x03, 0x15, 0x10, 0x20, 0x30});
    ASSERT_NE(card.reader->ReadSector(200000), 0);
    // A sector stored beyond the device's end is never delivered.
    WriteRecordBytes(card.disk, 200001, {0x24, 0x03, 0x15, 0x10, 0x20, 0x31});
    const std::uint32_t beyond[] = {200001u, 60000000u, 0xFFFFFFFFu};
    for (std::uint32_t sector : beyond) {
        SCOPED_TRACE(sector);
        EXPECT_EQ(card.reader->ReadSector(sector), 0);
        for (unsigned char b : card.reader->sectorBuffer) ASSERT_EQ(b, 0);
    }
}

}  // namespace
}  // namespace orvanta
