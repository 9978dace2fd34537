// The event scan on a card: every record of the range in ring order (across
// the wrap), each record's value the trend text's channel B point, through
// one open in large reads; a pulled card or a cancel ends the scan with the
// events found so far.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "card/event_scan.h"
#include "tests/card/card_fixture_support.h"

namespace orvanta {
namespace {

using cardtest::SectorBytes;

// A square wave of amplitude A on channel B has the mean square A * A, so
// its trend value is trunc(A * 2.531745 + 0.5): 87 gives 220 V, 70 gives
// 177 V, 8 gives 20 V, 100 gives 253 V. Record 1005 has a flat channel B
// and gives no point.
int AmplitudeOf(std::uint32_t index) {
    if (index >= 1000 && index < 1010) return index == 1005 ? 0 : 70;  // a dip
    if (index >= 2500 && index < 2504) return 8;                       // an interruption
    if (index >= 2990) return 100;                                     // a swell to the newest record
    return 87;
}

void FillSquareWave(std::uint32_t index, SectorBytes& sector) {
    const int amplitude = AmplitudeOf(index);
    for (int pair = 0; pair < 126; ++pair) {
        const int b = pair % 2 == 0 ? amplitude : -amplitude;
        cardtest::SetSamplePair(sector, pair, 509, static_cast<std::uint16_t>(509 + b));
    }
}

class EventScanOnCard : public ::testing::Test {
protected:
    void SetUp() override {
        layout_ = cardtest::WriteRing(card_.disk, first_, 3000, 1, 700, 100000, FillSquareWave);
    }
    std::int32_t TimeOf(std::uint32_t index) const { return layout_.TimeOf(index); }

    cardtest::ScopedTimeZone zone_{"Europe/Berlin"};
    cardtest::CardOnE card_;
    std::int32_t first_ = cardtest::TimeOfFields(2024, 3, 31, 1, 0, 0);
    cardtest::RingLayout layout_;
};

TEST_F(EventScanOnCard, FindsTheEventsOfTheRangeInRingOrder) {
    CEventScan scan(card_.Reader());
    std::uint64_t lastDone = 0;
    scan.SetProgressHook([&](std::uint64_t done, std::uint64_t total) {
        EXPECT_GT(done, lastDone);
        EXPECT_LE(done, total);
        lastDone = done;
    });
    EventScanRequest whole;
    const EventScanResult result = scan.Scan(whole);
    ASSERT_EQ(result.status, OverviewStatus::kDone) << result.message;
    EXPECT_EQ(result.sectors, 3000u);
    EXPECT_EQ(result.records, 2999u);
    EXPECT_EQ(lastDone, 3000u);
    ASSERT_EQ(result.events.size(), 3u);
    const PowerEvent& dip = result.events[0];
    EXPECT_EQ(dip.kind, EventKind::kDip);
    EXPECT_EQ(dip.start, TimeOf(1000));
    EXPECT_EQ(dip.end, TimeOf(1010));
    EXPECT_EQ(dip.extreme, 177);
    EXPECT_EQ(dip.records, 9u);
    EXPECT_TRUE(dip.ended);
    // Past the wrap: the records at the base of the ring.
    const PowerEvent& cut = result.events[1];
    EXPECT_EQ(cut.kind, EventKind::kInterruption);
    EXPECT_EQ(cut.start, TimeOf(2500));
    EXPECT_EQ(cut.DurationSeconds(), 4);
    EXPECT_EQ(cut.extreme, 20);
    const PowerEvent& swell = result.events[2];
    EXPECT_EQ(swell.kind, EventKind::kSwell);
    EXPECT_EQ(swell.end, TimeOf(2999));
    EXPECT_EQ(swell.extreme, 253);
    EXPECT_FALSE(swell.ended);
    // One open; the ring's searches, then a handful of large reads.
    EXPECT_EQ(card_.volumes.counters.opens, 1u);
    EXPECT_LT(result.readRequests, 150u);

    // A range inside the interruption: it is open at both ends of the range.
    EventScanRequest range;
    range.range.hasFrom = range.range.hasTo = true;
    range.range.from = TimeOf(2501);
    range.range.to = TimeOf(2502);
    const EventScanResult inside = CEventScan(card_.Reader()).Scan(range);
    ASSERT_EQ(inside.events.size(), 1u);
    EXPECT_EQ(inside.events[0].start, TimeOf(2501));
    EXPECT_EQ(inside.events[0].end, TimeOf(2502));
    EXPECT_EQ(inside.events[0].records, 2u);
    EXPECT_FALSE(inside.events[0].ended);
}

TEST_F(EventScanOnCard, APulledCardOrACancelKeepsTheEventsFoundSoFar) {
    for (const bool pull : {true, false}) {
        SCOPED_TRACE(pull ? "pulled" : "cancelled");
        card_.volumes.faults.alwaysFailRead = false;
        CEventScan scan(card_.Reader());
        bool stop = false;
        // The first read covers records 0 to 2047: the dip, not the interruption.
        scan.SetProgressHook([&](std::uint64_t, std::uint64_t) {
            if (pull) card_.volumes.faults.alwaysFailRead = true;
            stop = true;
        });
        scan.SetCancelHook([&] { return !pull && stop; });
        const EventScanResult result = scan.Scan(EventScanRequest());
        EXPECT_EQ(result.status, pull ? OverviewStatus::kCardGone : OverviewStatus::kCancelled);
        EXPECT_FALSE(result.message.empty());
        ASSERT_EQ(result.events.size(), 1u);
        EXPECT_EQ(result.events[0].start, TimeOf(1000));
        EXPECT_EQ(result.records, 2047u);
    }
}

}  // namespace
}  // namespace orvanta
