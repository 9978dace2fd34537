// Working out the ring of records from the timestamps alone, the mappings
// between time order and physical sectors, and the bounded forward scan.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "card/card_reader.h"
#include "platform/fault_volume.h"
#include "platform/memory_volume.h"
#include "tests/card/card_fixture_support.h"

namespace orvanta {
namespace {

using Card = cardtest::CardOnE;
using cardtest::RingLayout;
using cardtest::ScopedTimeZone;

struct RingCase {
    const char* name;
    std::uint32_t ringCount;
    std::uint32_t perSecond;
    std::uint32_t currentPass;  // 0: not yet wrapped
};

TEST(RingBounds, FindsNotYetWrappedAndWrappedRings) {
    ScopedTimeZone zone("Asia/Shanghai");
    const RingCase cases[] = {
        {"not wrapped, 500 records", 500, 1, 0},
        {"not wrapped, 500 records, 3 per second", 500, 3, 0},
        {"not wrapped, across the test sectors", 2000, 2, 0},
        {"not wrapped, one record", 1, 1, 0},
        {"wrapped, 50000 sectors, current pass 200", 50000, 1, 200},
        {"wrapped, 50000 sectors, 7 per second", 50000, 7, 200},
        {"wrapped, current pass of one record", 3000, 1, 1},
        {"wrapped, previous pass of one record", 3000, 1, 2999},
        {"wrapped, 20 per second", 4000, 20, 1234},
    };
    for (const RingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Card card;
        const RingLayout ring = cardtest::WriteRing(card.disk, cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0),
                                                    c.ringCount, c.perSecond, c.currentPass);
        CCardReader& reader = card.Reader();
        reader.FindRingBounds();
        EXPECT_EQ(reader.upperSector, ring.upperSector);
        EXPECT_EQ(reader.ringStart, ring.ringStart);
        EXPECT_EQ(reader.ringCount, ring.ringCount);
        EXPECT_LE(card.Probes(), 241u);
        EXPECT_EQ(reader.LogicalToPhysical(0), ring.ringStart);
        EXPECT_EQ(reader.LogicalToPhysical(reader.ringCount - 1), ring.newestSector);
        const std::uint64_t before = card.Probes();
        for (std::uint32_t i = 0; i < ring.ringCount; i += 1 + ring.ringCount / 97) {
            const std::uint32_t p = reader.LogicalToPhysical(i);
            EXPECT_EQ(p, ring.PhysicalOf(i)) << "index " << i;
            EXPECT_GE(p, reader.baseSector);
            EXPECT_LE(p, reader.upperSector);
            EXPECT_EQ(reader.PhysicalToLogical(p), i);
        }
        EXPECT_EQ(card.Probes(), before);
    }
}

TEST(RingBounds, FiftyThousandSectorExampleAndItsMappings) {
    ScopedTimeZone zone("Europe/Berlin");
    Card card;
    // Current pass in 100000..100199, previous pass in 100200..149999.
    cardtest::WriteRing(card.disk, cardtest::TimeOfFields(2024, 6, 1, 0, 0, 0), 50000, 1, 200);
    CCardReader& reader = card.Reader();
    reader.FindRingBounds();
    EXPECT_EQ(reader.upperSector, 149999u);
    EXPECT_EQ(reader.ringStart, 100200u);
    EXPECT_EQ(reader.ringCount, 50000u);
    const struct {
        std::uint32_t index, sector;
    } pairs[] = {{0, 100200}, {49999, 100199}, {49800, 100000}, {49799, 149999}, {1, 100201}};
    for (const auto& p : pairs) {
        SCOPED_TRACE(p.index);
        EXPECT_EQ(reader.LogicalToPhysical(p.index), p.sector);
        EXPECT_EQ(reader.PhysicalToLogical(p.sector), p.index);
    }
}

TEST(RingBounds, DeviceWhereEveryProbeReadsZero) {
    const struct {
        const char* name;
        bool attachDisk;
    } cases[] = {{"blank disk", true}, {"no device at all", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryVolumeSystem memory;
        FaultVolumeSystem volumes{memory};
        if (c.attachDisk) cardtest::MarkCardTestSectors(memory.Attach('E'));
        CCardReader reader(volumes);
        if (!c.attachDisk) {
            ASSERT_EQ(reader.driveCode, 1);
        }
        volumes.ResetCounters();
        reader.FindRingBounds();
        EXPECT_EQ(reader.upperSector, 60000000u);
        EXPECT_EQ(reader.ringStart, 100000u);
        EXPECT_EQ(reader.ringCount, 59900001u);
        // First run: 60 bisection probes, then one forward step from
        // 59999999 to the limit (2 probes). Second run from 60000001: 60
        // bisection probes, no forward step. The wrap check is skipped
        // because the first run reached the limit.
        EXPECT_EQ(volumes.counters.opens, 122u);
        volumes.ResetCounters();
        EXPECT_EQ(reader.FindSectorByTime(cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0)), 60000000u);
        EXPECT_EQ(reader.FindSectorByTime(1), 60000000u);
        EXPECT_LE(volumes.counters.opens, 2u * 92u);
    }
}

TEST(RingBounds, RunsAgainFromTheLimitAfterTheRecorderWroteOn) {
    ScopedTimeZone zone("Asia/Shanghai");
    Card card;
    const std::int32_t start = cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0);
    cardtest::WriteRing(card.disk, start, 300);
    CCardReader& reader = card.Reader();
    reader.FindRingBounds();
    ASSERT_EQ(reader.upperSector, 100299u);
    // 100 more records: the next discovery must not stop at the old end.
    cardtest::WriteRing(card.disk, start, 400);
    reader.FindRingBounds();
    EXPECT_EQ(reader.upperSector, 100399u);
    EXPECT_EQ(reader.ringCount, 400u);
}

TEST(RingRunEnd, StaysWithinItsProbeBudget) {
    ScopedTimeZone zone("Asia/Shanghai");
    Card card;
    // 45 records per second so that the forward scan runs its full 30 steps.
    const RingLayout ring =
        cardtest::WriteRing(card.disk, cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0), 3000, 45, 1000);
    CCardReader& reader = card.Reader();
    const std::uint32_t starts[] = {100000u, 100999u, 101000u, 102999u, 103000u, 59999999u, 60000000u};
    for (std::uint32_t start : starts) {
        SCOPED_TRACE(start);
        card.volumes.ResetCounters();
        reader.upperSector = 60000000;
        const std::uint32_t end = reader.FindRunEnd(start);
        EXPECT_LE(card.Probes(), 120u);
        EXPECT_GE(end, start);
        EXPECT_LE(end, 60000000u);
    }
    // From the ring's start the run ends at the newest record.
    reader.upperSector = 60000000;
    EXPECT_EQ(reader.FindRunEnd(100000), ring.newestSector);
}

TEST(RingScanForward, StopsAtTheLimitAndAfterThirtySteps) {
    ScopedTimeZone zone("Asia/Shanghai");
    const std::int32_t t = cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0);
    const struct {
        const char* name;
        std::uint32_t upper;
        std::uint32_t start;
        std::uint32_t expected;
    } cases[] = {
        {"limit inside the group", 100010, 100000, 100010},
        {"start at the limit", 100010, 100010, 100010},
        {"start beyond the limit", 100010, 100020, 100020},
        {"thirty steps at most", 60000000, 100000, 100030},
        {"group end within reach", 60000000, 100025, 100049},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Card card;
        for (std::uint32_t s = 100000; s < 100050; ++s) cardtest::WriteRecord(card.disk, s, t);
        cardtest::WriteRecord(card.disk, 100050, t + 1);
        CCardReader& reader = card.Reader();
        reader.upperSector = c.upper;
        EXPECT_EQ(reader.ScanForward(c.start), c.expected);
        EXPECT_LE(card.Probes(), 60u);
    }
}

}  // namespace
}  // namespace orvanta
