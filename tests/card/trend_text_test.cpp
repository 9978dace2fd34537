// The RMS trend text: one read of 1000 sectors from the selected record, one
// point of scaled RMS values per valid record, the walk's three stop
// conditions, and the fill of single zeros.
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <sstream>
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

using cardtest::SectorBytes;

constexpr int kPositions = 96;  // pairs 1..96 enter the trend

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

// "0 0 ", the points, then the single zeros that fill the count to 1000.
std::string TrendOf(const std::string& points, int pointCount) {
    return "0 0 " + points + Repeat("0 ", pointCount < 999 ? 999 - pointCount : 0);
}

const std::string kNoDeviceTrend = TrendOf("", 0);

// A record whose trend positions carry the zero-corrected values a[i] and
// b[i] (samples 509 + value). Pair 0 and pairs 97..125 stay zero (-509 after
// correction), which would change the RMS values if they were ever examined.
SectorBytes& WriteTrendRecord(MemoryDisk& disk, std::uint32_t sector, const std::vector<int>& a,
                              const std::vector<int>& b) {
    SectorBytes& bytes = disk.Sector(sector);
    bytes[0] = kRecordMarker;
    for (int i = 0; i < kPositions; ++i) {
        cardtest::SetSamplePair(bytes, i + 1, static_cast<std::uint16_t>(509 + a[i]),
                                static_cast<std::uint16_t>(509 + b[i]));
    }
    return bytes;
}

SectorBytes& WriteUniformRecord(MemoryDisk& disk, std::uint32_t sector, int a, int b) {
    return WriteTrendRecord(disk, sector, std::vector<int>(kPositions, a), std::vector<int>(kPositions, b));
}

// Fills a sector of an already written ring with uniform trend samples.
void FillUniform(SectorBytes& bytes, int a, int b) {
    for (int i = 0; i < kPositions; ++i) {
        cardtest::SetSamplePair(bytes, i + 1, static_cast<std::uint16_t>(509 + a), static_cast<std::uint16_t>(509 + b));
    }
}

// n copies of `value` followed by zeros, 96 in all.
std::vector<int> Spread(int n, int value, int rest = 0) {
    std::vector<int> v(kPositions, rest);
    for (int i = 0; i < n; ++i) v[i] = value;
    return v;
}

class TrendTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        disk_ = &memory_.Attach('E');
        cardtest::MarkCardTestSectors(*disk_);
        reader_ = std::make_unique<CCardReader>(volumes_);
        ASSERT_EQ(reader_->driveCode, 'E');
        // A ring that is not yet wrapped, 100000 .. 399999, unless a test sets another.
        SetRing(100000, 399999);
        reader_->currentSector = 200000;
    }
    void SetRing(std::uint32_t ringStart, std::uint32_t upperSector) {
        reader_->ringStart = ringStart;
        reader_->upperSector = upperSector;
        reader_->ringCount = upperSector - reader_->baseSector + 1;
    }
    std::string Build() {
        volumes_.ResetCounters();
        testing::internal::CaptureStdout();
        reader_->BuildTrendText();
        stdout_ = testing::internal::GetCapturedStdout();
        return reader_->trendText;
    }
    MemoryVolumeSystem memory_;
    FaultVolumeSystem volumes_{memory_};
    MemoryDisk* disk_ = nullptr;
    std::unique_ptr<CCardReader> reader_;
    std::string stdout_;
};

TEST_F(TrendTextTest, ScaledRmsOfUniformRecords) {
    struct Case {
        int a, b;          // zero-corrected sample values, the same at every position
        double ratioA, ratioB;
        const char* point;
    };
    const Case cases[] = {
        {25, 1, 1.0, 1.0, "0 3 "},
        {26, 2, 1.0, 1.0, "1 5 "},
        {100, 100, 1.0, 1.0, "2 253 "},
        {518, 518, 1.0, 1.0, "10 1311 "},
        {-100, -509, 1.0, 1.0, "2 1289 "},  // sample 0, the lowest there is
        {-3, 100, 1.0, 1.0, "0 253 "},      // channel A samples 506: the trend corrects with 509
        {0, 1, 1.0, 1.0, "0 3 "},           // a flat channel A still gives a point
        {100, 100, 50.0, 0.5, "97 127 "},   // 97.095 and 126.587, each + 0.5
        {100, 100, -1.0, -1.0, "-1 -252 "}, // -1.9419 + 0.5 and -253.1745 + 0.5 truncate toward zero
        {100, 100, 1e300, -1e300, "2147483647 -2147483648 "},
        {100, 100, std::numeric_limits<double>::quiet_NaN(), 1.0, "0 253 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "a " << c.a << " b " << c.b << " ratios " << c.ratioA << " " << c.ratioB);
        WriteUniformRecord(*disk_, reader_->currentSector, c.a, c.b);
        reader_->ratioA = c.ratioA;
        reader_->ratioB = c.ratioB;
        EXPECT_EQ(Build(), TrendOf(c.point, 1));
        EXPECT_EQ(stdout_, "");
    }
}

// The mean square is an integer division by 96 and its root is rounded half up.
TEST_F(TrendTextTest, MeanSquareIsIntegerAndRootRoundsHalfUp) {
    struct Case {
        std::vector<int> b;
        const char* point;  // nullptr: no point
    };
    const Case cases[] = {
        {Spread(96, 1), "2 3 "},         // mean square 1 -> 1
        {Spread(48, 2), "2 3 "},         // 192 / 96 = 2 -> 1
        {Spread(72, 2), "2 5 "},         // 288 / 96 = 3 -> 2
        {Spread(64, 3), "2 5 "},         // 576 / 96 = 6 -> 2
        {Spread(72, 3, 1), "2 8 "},      // (648 + 24) / 96 = 7 -> 3
        {Spread(95, 1), nullptr},        // 95 / 96 = 0: channel B counts as flat
        {Spread(96, 0), nullptr},        // all 509
        {Spread(1, 9), nullptr},         // 81 / 96 = 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - cases));
        WriteTrendRecord(*disk_, reader_->currentSector, std::vector<int>(kPositions, 100), c.b);
        EXPECT_EQ(Build(), c.point ? TrendOf(c.point, 1) : kNoDeviceTrend);
    }
}

TEST_F(TrendTextTest, AmplitudeLimitAndExaminedPositions) {
    struct Case {
        char channel;
        int pair;            // 0..125
        std::uint16_t sample;
        bool point;
    };
    const Case cases[] = {
        {'A', 1, 1027, true},    // zero-corrected 518
        {'A', 1, 1028, false},   // 519
        {'A', 96, 1028, false},  // the last examined pair
        {'B', 40, 1027, true},
        {'B', 40, 1028, false},
        {'A', 50, 65535, false},
        {'B', 96, 0, true},      // -509, the lowest a sample reaches, is inside the limit
        {'A', 0, 1028, true},    // pair 0 does not enter the trend
        {'B', 97, 65535, true},  // nor do pairs 97..125
        {'A', 125, 1028, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channel << " pair " << c.pair << " sample " << c.sample);
        SectorBytes& bytes = WriteUniformRecord(*disk_, reader_->currentSector, 100, 100);
        const int at = 8 + 4 * c.pair + (c.channel == 'A' ? 0 : 2);
        bytes[at] = static_cast<std::uint8_t>(c.sample & 0xFF);
        bytes[at + 1] = static_cast<std::uint8_t>(c.sample >> 8);
        const std::string text = Build();
        EXPECT_EQ(text.rfind("0 0 ", 0), 0u);
        // One point: 4 numbers and 998 zeros; none: 2 numbers and 999 zeros.
        std::istringstream in(text);
        int numbers = 0;
        long long v;
        while (in >> v) ++numbers;
        EXPECT_EQ(numbers, c.point ? 1002 : 1001);
    }
}

TEST_F(TrendTextTest, OnlyTheRecordMarkerQualifies) {
    for (int marker : {0x20, 0x00, 0x21, 0xA0, 0xFF}) {
        SCOPED_TRACE(marker);
        WriteUniformRecord(*disk_, reader_->currentSector, 100, 100)[0] = static_cast<std::uint8_t>(marker);
        EXPECT_EQ(Build(), marker == 0x20 ? TrendOf("2 253 ", 1) : kNoDeviceTrend);
    }
}

TEST_F(TrendTextTest, FillsWithSingleZerosUpToOneThousand) {
    for (int n : {0, 1, 500, 998, 999, 1000}) {
        SCOPED_TRACE(n);
        for (std::uint32_t s = 200000; s < 201100; ++s) disk_->Clear(s);
        for (int j = 0; j < n; ++j) WriteUniformRecord(*disk_, 200000 + j, 100, 100);
        const std::string text = Build();
        EXPECT_EQ(text, TrendOf(Repeat("2 253 ", n), n));
        if (n == 998) {
            EXPECT_EQ(text.substr(text.size() - 8), "2 253 0 ");
        }
    }
    // The walk ends after 1000 sectors even when more records follow.
    for (std::uint32_t j = 0; j < 1100; ++j) WriteUniformRecord(*disk_, 200000 + j, 100, 100);
    EXPECT_EQ(Build(), TrendOf(Repeat("2 253 ", 1000), 1000));
}

TEST_F(TrendTextTest, ExtremeRatiosStillFitTheBuffer) {
    for (std::uint32_t j = 0; j < 1000; ++j) WriteUniformRecord(*disk_, 200000 + j, 100, 100);
    reader_->ratioA = -1e300;
    reader_->ratioB = -1e300;
    std::memset(reader_->trendText, 'X', sizeof reader_->trendText);
    reader_->infoText[0] = 'I';  // follows trendText in the record
    const std::string text = Build();
    EXPECT_EQ(text, TrendOf(Repeat("-2147483648 -2147483648 ", 1000), 1000));
    EXPECT_EQ(text.size(), 24004u);
    EXPECT_EQ(reader_->infoText[0], 'I');
}

TEST_F(TrendTextTest, OneReadRequestAtTheSelectedSector) {
    // 5000000 lies beyond byte offset 2^31: the position must be 64-bit.
    for (std::uint32_t current : {200000u, 5000000u, 59999000u}) {
        SCOPED_TRACE(current);
        SetRing(100000, 60000000);
        reader_->currentSector = current;
        WriteUniformRecord(*disk_, current - 1, 518, 518);  // before the selected record
        WriteUniformRecord(*disk_, current, 25, 1);
        WriteUniformRecord(*disk_, current + 1, 100, 100);
        WriteUniformRecord(*disk_, current + 999, 26, 2);
        WriteUniformRecord(*disk_, current + 1000, 518, 518);  // beyond the 1000 sectors
        EXPECT_EQ(Build(), TrendOf("0 3 2 253 1 5 ", 3));
        EXPECT_EQ(volumes_.counters.opens, 1u);
        EXPECT_EQ(volumes_.counters.positions, 1u);
        EXPECT_EQ(volumes_.counters.reads, 1u);
        EXPECT_EQ(volumes_.counters.bytesRead, 512000u);
        EXPECT_EQ(volumes_.counters.closes, 1u);
    }
}

TEST_F(TrendTextTest, DeviceFailuresGiveTheEmptyTrend) {
    struct Case {
        const char* name;
        bool failOpen, failPosition, failRead;
        bool message;
        std::uint64_t reads;
    };
    const Case cases[] = {
        {"open fails", true, false, false, true, 0},
        {"positioning fails", false, true, false, false, 0},
        {"read fails", false, false, true, false, 1},
    };
    for (std::uint32_t j = 0; j < 1000; ++j) WriteUniformRecord(*disk_, 200000 + j, 100, 100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        volumes_.faults = FaultPlan();
        volumes_.faults.alwaysFailOpen = c.failOpen;
        volumes_.faults.alwaysFailPosition = c.failPosition;
        volumes_.faults.alwaysFailRead = c.failRead;
        std::memset(reader_->trendText, 'X', sizeof reader_->trendText - 1);
        const std::string text = Build();
        EXPECT_EQ(text, kNoDeviceTrend);
        EXPECT_EQ(text.size(), 2002u);
        EXPECT_EQ(stdout_, c.message ? "\nThe disk is not allowed to visit!\n" : "");
        EXPECT_EQ(volumes_.counters.reads, c.reads);
        EXPECT_EQ(volumes_.counters.closes, volumes_.counters.opens - volumes_.counters.failedOpens);
    }
    // A drive that names nothing behaves as a failed open.
    volumes_.faults = FaultPlan();
    reader_->SetDevicePath('[');
    EXPECT_EQ(Build(), kNoDeviceTrend);
    EXPECT_EQ(stdout_, "\nThe disk is not allowed to visit!\n");
}

TEST_F(TrendTextTest, ShortReadLeavesTheRestAsNoPoints) {
    struct Case {
        long long bytes;
        int points;
    };
    // The trend samples of a sector end at its byte 395, so 396 bytes already
    // give the first sector's whole point.
    const Case cases[] = {{0, 0}, {396, 1}, {512, 1}, {512 * 10, 10}, {512 * 999, 999}};
    for (std::uint32_t j = 0; j < 1000; ++j) WriteUniformRecord(*disk_, 200000 + j, 100, 100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        volumes_.faults = FaultPlan();
        volumes_.faults.shortReadBytes = c.bytes;
        EXPECT_EQ(Build(), TrendOf(Repeat("2 253 ", c.points), c.points));
        EXPECT_EQ(stdout_, "");
    }
    // Reading at the end of the device delivers nothing but is no failure.
    volumes_.faults = FaultPlan();
    disk_->sizeInSectors = 200010;
    EXPECT_EQ(Build(), TrendOf(Repeat("2 253 ", 10), 10));
}

// The walk over rings found from the card itself: it stops at the ring's last
// sector and at the newest record, never continuing at the other end.
TEST_F(TrendTextTest, WalkStopsAtTheEndsOfTheRing) {
    cardtest::ScopedTimeZone zone("Asia/Shanghai");
    struct Case {
        const char* name;
        std::uint32_t ringCount, currentPass;  // currentPass 0: not wrapped
        std::uint32_t current;                 // physical sector selected
        int points;
    };
    const Case cases[] = {
        {"unwrapped, selected is the newest", 500, 0, 100499, 1},
        {"unwrapped, selected is the oldest", 500, 0, 100000, 500},
        {"unwrapped, 100 before the newest", 500, 0, 100400, 100},
        {"wrapped, older upper part", 3000, 200, 102500, 500},
        {"wrapped, last sector of the ring", 3000, 200, 102999, 1},
        {"wrapped, newer lower part", 3000, 200, 100100, 100},
        {"wrapped, selected is the newest", 3000, 200, 100199, 1},
        {"wrapped, selected is the oldest", 3000, 200, 100200, 1000},
    };
    const std::int32_t first = cardtest::TimeOfFields(2024, 3, 15, 10, 20, 30);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryDisk& disk = memory_.Attach('E');
        disk.sectors.clear();
        cardtest::MarkCardTestSectors(disk);
        const cardtest::RingLayout ring = cardtest::WriteRing(
            disk, first, c.ringCount, 1, c.currentPass, 100000,
            [](std::uint32_t, SectorBytes& bytes) { FillUniform(bytes, 100, 100); });
        // Behind the ring: sectors with the marker and good samples but no
        // timestamp, so they are not part of the ring yet would give points.
        for (std::uint32_t s = ring.upperSector + 1; s <= ring.upperSector + 1000; ++s) {
            WriteUniformRecord(disk, s, 100, 100);
        }
        reader_->FindRingBounds();
        ASSERT_EQ(reader_->upperSector, ring.upperSector);
        ASSERT_EQ(reader_->ringStart, ring.ringStart);
        reader_->currentSector = c.current;
        EXPECT_EQ(Build(), TrendOf(Repeat("2 253 ", c.points), c.points));
    }
}

}  // namespace
}  // namespace orvanta
