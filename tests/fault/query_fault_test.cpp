// The card query under device faults: every open, positioning and read of one
// query failed in turn, short reads of every read, and the device vanishing
// mid-query and coming back. Whatever happens, the query completes, its texts
// have their fixed shapes, hold only bytes of the sector they claim (never of
// another sector, never of an earlier query), and the next query on a healthy
// device gives the healthy result.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "card/timestamp.h"
#include "platform/fault_volume.h"
#include "platform/memory_volume.h"
#include "tests/card/card_fixture_support.h"
#include "tests/fault/fault_support.h"

namespace orvanta {
namespace faulttest {
namespace {

constexpr std::size_t kWaveNumbers = 252;
const std::string kZeroWave = [] {
    std::string s;
    for (int i = 0; i < 126; ++i) s += "-505 -508 ";
    return s;
}();

struct Zone {
    const char* name;
    int month;  // the card's records are written in this month
};
void PrintTo(const Zone& zone, std::ostream* out) { *out << zone.name; }

class QueryUnderFaults : public ::testing::TestWithParam<Zone> {
protected:
    QueryUnderFaults() : zone_(GetParam().name) {
        faulty_.log = &events_;
        CardShape shape;
        shape.month = GetParam().month;
        ring_ = WriteSignedCard(memory_.Attach('E'), shape);
        WriteSignedCard(cleanMemory_.Attach('E'), shape);
        disk_ = memory_.Find(DevicePathOf('E'));
        reader_ = std::make_unique<CCardReader>(faulty_);
        clean_ = std::make_unique<CCardReader>(cleanFaulty_);

        // A second of the older pass on which the time search lands inside
        // its group of records, so the backward scan takes steps too.
        clean_->FindRingBounds();
        for (std::uint32_t index = ring_.ringCount / 3; index < ring_.ringCount && selected_ == 0; ++index) {
            const std::int32_t t = ring_.TimeOf(index);
            const std::uint32_t found = clean_->FindSectorByTime(t);
            if (clean_->ScanBackward(found) != found) selected_ = t;
        }
        other_ = ring_.TimeOf(ring_.ringCount - 10);  // a second of the current pass
        clean_->QueryCard(selected_);
        healthy_ = ResultOf(*clean_);
        clean_->QueryCard(other_);
        healthyOther_ = ResultOf(*clean_);
    }

    void SetUp() override {
        ASSERT_NE(selected_, 0) << "no second whose search lands inside its group";
        ASSERT_EQ(healthy_.actualTime, selected_);
        ASSERT_EQ(healthy_.driveCode, 'E');
        ASSERT_NE(healthy_.waveText, kZeroWave);
    }

    // A healthy query of another second, so that anything a faulted query
    // fails to replace would show as that query's data.
    void QueryOtherSecond() {
        faulty_.faults = FaultPlan();
        faulty_.faults.vanishFrom = 0;
        reader_->QueryCard(other_);
        ASSERT_TRUE(ResultOf(*reader_) == healthyOther_);
    }

    // Runs the query of the selected second with the faults set up by the
    // caller, checks what it left, then checks that a healthy query recovers.
    void QueryAndCheck() {
        faulty_.ResetCounters();
        events_.clear();
        ::testing::internal::CaptureStdout();
        reader_->QueryCard(selected_);
        const std::string said = ::testing::internal::GetCapturedStdout();
        CheckTexts(said);
        faulty_.faults = FaultPlan();
        faulty_.faults.vanishFrom = 0;
        reader_->QueryCard(selected_);
        const QueryResult after = ResultOf(*reader_);
        EXPECT_TRUE(after == healthy_) << "wave " << after.waveText.substr(0, 40) << " sector "
                                       << after.currentSector << " time " << after.actualTime;
    }

    void CheckTexts(const std::string& said) {
        const std::vector<Session> sessions = SessionsOf(events_);
        // The one diagnostic line, exactly when the trend could not open the
        // device.
        EXPECT_EQ(said, sessions.empty() || sessions.back().opened ? "" : "\nThe disk is not allowed to visit!\n");
        // Opens of one query: presence 2, device record 1, ring bounds at most
        // 241, time search at most 92, backward scan at most 60, the record 1,
        // the trend 1; a fault that leads the search astray costs at most
        // three more searches, each with its neighbour checks (30) and a
        // second read of the record.
        ASSERT_GE(sessions.size(), 2u);
        EXPECT_LE(sessions.size(), 2u + 1u + 4u * (241u + 92u + 60u + 1u + 30u + 1u) + 1u);

        // Waveform: exactly the bytes the device delivered for the record at
        // currentSector, zeros for the rest.
        const Session& record = sessions[sessions.size() - 2];
        std::int64_t delivered = 0;
        if (record.opened && record.positioned && record.delivered > 0) {
            EXPECT_EQ(record.offset, static_cast<std::uint64_t>(reader_->currentSector) * 512u);
            delivered = record.delivered;
        }
        std::vector<long long> numbers;
        ASSERT_TRUE(ParseNumbers(reader_->waveText, sizeof reader_->waveText, &numbers)) << reader_->waveText;
        EXPECT_EQ(numbers.size(), kWaveNumbers);
        unsigned char bytes[512] = {};
        if (delivered > 0) {
            std::copy(disk_->Sector(reader_->currentSector).begin(),
                      disk_->Sector(reader_->currentSector).begin() + delivered, bytes);
        }
        // The very text a sound reader builds from those bytes: the sector's
        // signature where it was delivered, the zero level's text elsewhere.
        std::copy(bytes, bytes + 512, clean_->sectorBuffer);
        clean_->BuildWaveText();
        EXPECT_EQ(std::string(reader_->waveText), std::string(clean_->waveText));
        if (delivered == 0) EXPECT_EQ(std::string(reader_->waveText), kZeroWave);
        // The actual time is the timestamp of those same bytes.
        EXPECT_EQ(reader_->actualTime, DecodeSectorTimestamp(bytes));

        // Trend: "0 0 ", P points, then max(0, 999 - P) single zeros, and the
        // very text a sound reader builds from the bytes the trend's read
        // delivered for the same sector and ring.
        ASSERT_TRUE(ParseNumbers(reader_->trendText, sizeof reader_->trendText, &numbers));
        ASSERT_GE(numbers.size(), 1001u);
        ASSERT_TRUE(numbers.size() <= 2000u || numbers.size() == 2002u) << numbers.size();
        const std::size_t points = numbers.size() == 2002u ? 1000u : numbers.size() - 1001u;
        EXPECT_EQ(numbers[0], 0);
        EXPECT_EQ(numbers[1], 0);
        for (std::size_t i = 2 + 2 * points; i < numbers.size(); ++i) ASSERT_EQ(numbers[i], 0) << i;
        const Session& trend = sessions.back();
        clean_->baseSector = reader_->baseSector;
        clean_->upperSector = reader_->upperSector;
        clean_->ringStart = reader_->ringStart;
        clean_->ringCount = reader_->ringCount;
        clean_->currentSector = reader_->currentSector;
        cleanFaulty_.faults = FaultPlan();
        if (!(trend.opened && trend.positioned && trend.delivered >= 0)) {
            cleanFaulty_.faults.alwaysFailRead = true;
        } else {
            EXPECT_EQ(trend.offset, static_cast<std::uint64_t>(reader_->currentSector) * 512u);
            cleanFaulty_.faults.shortReadBytes = trend.delivered;
        }
        // Points only from sectors the read reached.
        const std::int64_t reached = cleanFaulty_.faults.alwaysFailRead ? 0 : (trend.delivered + 511) / 512;
        EXPECT_LE(points, static_cast<std::size_t>(reached));
        ::testing::internal::CaptureStdout();
        clean_->BuildTrendText();
        ::testing::internal::GetCapturedStdout();
        cleanFaulty_.faults = FaultPlan();
        EXPECT_EQ(std::string(reader_->trendText), std::string(clean_->trendText));

        // Device record: five numbers; the card's serial and device byte,
        // read by an earlier query even when this one could not read them.
        ASSERT_TRUE(ParseNumbers(reader_->infoText, sizeof reader_->infoText, &numbers)) << reader_->infoText;
        ASSERT_EQ(numbers.size(), 5u) << reader_->infoText;
        EXPECT_TRUE(numbers[0] == 'E' || numbers[0] == 1) << numbers[0];
        EXPECT_EQ(numbers[1], 1);
        EXPECT_EQ(numbers[2], 1);
        EXPECT_EQ(numbers[3], 20240315);
        EXPECT_EQ(numbers[4], 7);
    }

    // Operations of one clean query of the selected second.
    VolumeCounters CleanQueryCounts() {
        faulty_.faults = FaultPlan();
        faulty_.ResetCounters();
        reader_->QueryCard(selected_);
        EXPECT_TRUE(ResultOf(*reader_) == healthy_);
        return faulty_.counters;
    }

    cardtest::ScopedTimeZone zone_;
    cardtest::ScopedTempWorkDir workDir_;  // no ratio.txt: both ratios 1.0
    MemoryVolumeSystem memory_;
    MemoryVolumeSystem cleanMemory_;
    FaultVolumeSystem faulty_{memory_};  // the reader under test reads through it
    FaultVolumeSystem cleanFaulty_{cleanMemory_};
    std::vector<VolumeEvent> events_;
    MemoryDisk* disk_ = nullptr;
    cardtest::RingLayout ring_;
    std::unique_ptr<CCardReader> reader_;
    std::unique_ptr<CCardReader> clean_;
    std::int32_t selected_ = 0;
    std::int32_t other_ = 0;
    QueryResult healthy_;
    QueryResult healthyOther_;
};

TEST_P(QueryUnderFaults, CleanQueryStaysWithinItsOperationBounds) {
    const VolumeCounters c = CleanQueryCounts();
    // About 400 single-sector reads and one read of 512,000 bytes.
    EXPECT_LE(c.reads, 2u + 1u + 241u + 92u + 60u + 1u + 1u);
    EXPECT_EQ(c.opens, c.reads);
    EXPECT_EQ(c.positions, c.reads);
    EXPECT_EQ(c.closes, c.opens);
    EXPECT_EQ(c.bytesRead, (c.reads - 1) * 512u + 512000u);
    EXPECT_NE(reader_->currentSector, reader_->FindSectorByTime(selected_));  // the scan went back
}

TEST_P(QueryUnderFaults, FailingTheKthOperationOfEachKind) {
    const VolumeCounters clean = CleanQueryCounts();
    const struct {
        const char* kind;
        std::uint64_t count;
        std::uint64_t FaultPlan::*field;
    } kinds[] = {
        {"open", clean.opens, &FaultPlan::failOpenAt},
        {"positioning", clean.positions, &FaultPlan::failPositionAt},
        {"read", clean.reads, &FaultPlan::failReadAt},
    };
    for (const auto& kind : kinds) {
        for (std::uint64_t k = 1; k <= kind.count; ++k) {
            SCOPED_TRACE(std::string("failing ") + kind.kind + " " + std::to_string(k));
            QueryOtherSecond();
            faulty_.faults = FaultPlan();
            faulty_.faults.*kind.field = k;
            QueryAndCheck();
            if (HasFatalFailure() || HasNonfatalFailure()) return;
        }
    }
}

TEST_P(QueryUnderFaults, ShortReadsOfEveryRead) {
    const VolumeCounters clean = CleanQueryCounts();
    const long long singleSector[] = {0, 1, 4, 7, 8, 12, 300, 395, 511};
    for (std::uint64_t k = 1; k < clean.reads; ++k) {
        for (long long bytes : singleSector) {
            SCOPED_TRACE("read " + std::to_string(k) + " delivers " + std::to_string(bytes));
            QueryOtherSecond();
            faulty_.faults = FaultPlan();
            faulty_.faults.shortReadAt = k;
            faulty_.faults.shortReadBytes = bytes;
            QueryAndCheck();
            if (HasFatalFailure() || HasNonfatalFailure()) return;
        }
    }
    // The trend's read of 512,000 bytes is the last read of the query.
    const long long trendRead[] = {0, 1, 395, 396, 511, 512, 513, 1024, 5000, 256000, 511488, 511999};
    for (long long bytes : trendRead) {
        SCOPED_TRACE("trend read delivers " + std::to_string(bytes));
        QueryOtherSecond();
        faulty_.faults = FaultPlan();
        faulty_.faults.shortReadAt = clean.reads;
        faulty_.faults.shortReadBytes = bytes;
        QueryAndCheck();
    }
}

TEST_P(QueryUnderFaults, DeviceVanishesMidQueryAndComesBack) {
    const VolumeCounters clean = CleanQueryCounts();
    // Gone from the k-th open to the end of the query, or only for a few
    // opens in the middle of it.
    const std::uint64_t lengths[] = {1, 2, 3, 30, 1000};
    for (std::uint64_t length : lengths) {
        const std::uint64_t stride = length == 1000 ? 1 : 5;
        for (std::uint64_t from = 1; from <= clean.opens; from += stride) {
            SCOPED_TRACE("vanished for opens " + std::to_string(from) + " to " + std::to_string(from + length - 1));
            QueryOtherSecond();
            faulty_.faults.vanishFrom = from;
            faulty_.faults.vanishUntil = from + length;
            QueryAndCheck();
            if (HasFatalFailure() || HasNonfatalFailure()) return;
        }
    }
}

TEST_P(QueryUnderFaults, DeviceGoneForAWholeQuery) {
    QueryOtherSecond();
    faulty_.faults.alwaysFailOpen = true;
    faulty_.ResetCounters();
    events_.clear();
    ::testing::internal::CaptureStdout();
    reader_->QueryCard(selected_);
    CheckTexts(::testing::internal::GetCapturedStdout());
    EXPECT_EQ(reader_->driveCode, 1);
    EXPECT_EQ(reader_->actualTime, 0);
    EXPECT_EQ(std::string(reader_->waveText), kZeroWave);
    // The next query on the device that is back is the healthy one, under the
    // drive found at start-up.
    faulty_.faults = FaultPlan();
    reader_->QueryCard(selected_);
    EXPECT_TRUE(ResultOf(*reader_) == healthy_);
}

INSTANTIATE_TEST_SUITE_P(Zones, QueryUnderFaults,
                         ::testing::Values(Zone{"Asia/Shanghai", 3}, Zone{"Europe/Berlin", 7}),
                         [](const ::testing::TestParamInfo<Zone>& info) {
                             return std::string(info.param.name).substr(0, 4) == "Asia" ? std::string("Shanghai")
                                                                                        : std::string("Berlin");
                         });

}  // namespace
}  // namespace faulttest
}  // namespace orvanta
