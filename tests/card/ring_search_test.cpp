// Finding the record of a given second, and stepping back to the first
// record of that second.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "card/card_reader.h"
#include "platform/memory_volume.h"
#include "tests/card/card_fixture_support.h"

namespace orvanta {
namespace {

using Card = cardtest::CardOnE;
using cardtest::RingLayout;
using cardtest::ScopedTimeZone;

struct Shape {
    const char* name;
    std::uint32_t ringCount;
    std::uint32_t perSecond;
    std::uint32_t currentPass;
};

const Shape kShapes[] = {
    {"not wrapped, 500 records", 500, 1, 0},
    {"not wrapped, 4 per second", 2000, 4, 0},
    {"wrapped, 50000 sectors", 50000, 1, 200},
    {"wrapped, 50000 sectors, 13 per second", 50000, 13, 31000},
};

// For each ring shape: exact seconds at many places of the ring, the newest
// and oldest seconds, and times outside the ring.
TEST(RingSearch, FindsExactSecondsAndClampsOutsideTimes) {
    for (const char* zoneName : {"Asia/Shanghai", "Europe/Berlin"}) {
        ScopedTimeZone zone(zoneName);
        for (const Shape& shape : kShapes) {
            SCOPED_TRACE(std::string(zoneName) + ", " + shape.name);
            Card card;
            const RingLayout ring = cardtest::WriteRing(card.disk, cardtest::TimeOfFields(2024, 3, 30, 23, 0, 0),
                                                        shape.ringCount, shape.perSecond, shape.currentPass);
            CCardReader& reader = card.Reader();
            reader.FindRingBounds();
            ASSERT_EQ(reader.ringStart, ring.ringStart);
            ASSERT_EQ(reader.ringCount, ring.ringCount);

            const std::int32_t oldest = ring.TimeOf(0);
            const std::int32_t newest = ring.NewestTime();
            const std::uint32_t newestSector = ring.newestSector;
            const std::uint32_t oldestSector = ring.ringStart;
            // Outside times give the newest or the oldest record itself.
            const struct {
                const char* what;
                std::int32_t time;
                std::uint32_t sector;
            } clamped[] = {
                {"newest second", newest, newestSector},
                {"one second after the newest", newest + 1, newestSector},
                {"a year after the newest", newest + 365 * 86400, newestSector},
                {"one second before the oldest", oldest - 1, oldestSector},
                {"a year before the oldest", oldest - 365 * 86400, oldestSector},
            };
            for (const auto& c : clamped) {
                SCOPED_TRACE(c.what);
                card.volumes.ResetCounters();
                EXPECT_EQ(reader.FindSectorByTime(c.time), c.sector);
                EXPECT_LE(card.Probes(), 92u);
            }
            // Exact seconds: the result carries that second, and stepping
            // back gives the first record of it.
            const std::uint32_t seconds = (ring.ringCount + ring.perSecond - 1) / ring.perSecond;
            for (std::uint32_t k = 0; k < seconds; k += 1 + seconds / 37) {
                SCOPED_TRACE(k);
                const std::int32_t t = oldest + static_cast<std::int32_t>(k);
                card.volumes.ResetCounters();
                const std::uint32_t found = reader.FindSectorByTime(t);
                EXPECT_LE(card.Probes(), 92u);
                const std::uint32_t index = reader.PhysicalToLogical(found);
                ASSERT_LT(index, ring.ringCount);
                EXPECT_EQ(ring.TimeOf(index), t);
                card.volumes.ResetCounters();
                const std::uint32_t first = reader.ScanBackward(found);
                EXPECT_LE(card.Probes(), 60u);
                // The scan does not step back across baseSector, so a
                // second that straddles the wrap point ends there.
                const std::uint32_t firstIndex = k * ring.perSecond;
                const std::uint32_t expected =
                    ring.PhysicalOf(firstIndex) > found ? ring.baseSector : ring.PhysicalOf(firstIndex);
                EXPECT_EQ(first, expected);
            }
        }
    }
}

TEST(RingSearch, TimeBetweenRecordsGivesTheLastRecordBefore) {
    ScopedTimeZone zone("Asia/Shanghai");
    Card card;
    // Records every other second, 3000 of them; the odd seconds have none.
    const std::int32_t start = cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0);
    const std::uint32_t count = 3000;
    for (std::uint32_t i = 0; i < count; ++i) {
        cardtest::WriteRecord(card.disk, 100000 + i, start + 2 * static_cast<std::int32_t>(i));
    }
    CCardReader& reader = card.Reader();
    reader.FindRingBounds();
    ASSERT_EQ(reader.ringCount, count);
    for (std::uint32_t i = 0; i + 1 < count; i += 97) {
        SCOPED_TRACE(i);
        card.volumes.ResetCounters();
        EXPECT_EQ(reader.FindSectorByTime(start + 2 * static_cast<std::int32_t>(i) + 1), 100000 + i);
        EXPECT_LE(card.Probes(), 92u);
    }
}

TEST(RingSearch, UnwrittenSectorsInsideTheRingCountAsLater) {
    ScopedTimeZone zone("Asia/Shanghai");
    Card card;
    const std::int32_t start = cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0);
    const RingLayout ring = cardtest::WriteRing(card.disk, start, 1000);
    CCardReader& reader = card.Reader();
    reader.FindRingBounds();
    ASSERT_EQ(reader.ringCount, 1000u);
    // A damaged record at the first midpoint reads as timestamp 0, which
    // counts as later than any target: the search closes in below it.
    card.disk.Clear(ring.PhysicalOf(499));
    const struct {
        std::int32_t offset;
        std::uint32_t index;
    } cases[] = {{100, 100}, {498, 498}, {499, 498}, {800, 498}, {998, 498}, {999, 999}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        card.volumes.ResetCounters();
        EXPECT_EQ(reader.FindSectorByTime(start + c.offset), ring.PhysicalOf(c.index));
        EXPECT_LE(card.Probes(), 92u);
    }
}

TEST(RingSearch, OneSectorRingGivesThatSectorForAnyTime) {
    ScopedTimeZone zone("Asia/Shanghai");
    Card card;
    const std::int32_t t = cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0);
    cardtest::WriteRecord(card.disk, 100000, t);
    CCardReader& reader = card.Reader();
    reader.FindRingBounds();
    ASSERT_EQ(reader.ringCount, 1u);
    ASSERT_EQ(reader.upperSector, 100000u);
    const std::int32_t times[] = {t, t - 1, t + 1, t - 86400 * 400, t + 86400 * 400, 1, -1};
    for (std::int32_t query : times) {
        SCOPED_TRACE(query);
        card.volumes.ResetCounters();
        EXPECT_EQ(reader.FindSectorByTime(query), 100000u);
        EXPECT_LE(card.Probes(), 92u);
        EXPECT_EQ(reader.ScanBackward(100000), 100000u);
    }
}

TEST(RingScanBackward, StopsAfterThirtyStepsAndAtTheRingStart) {
    ScopedTimeZone zone("Asia/Shanghai");
    const std::int32_t t = cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0);
    // Sectors 100100..100139 carry one second (40 records); 100099 the one before.
    const std::uint32_t groupFirst = 100100;
    const struct {
        const char* name;
        std::uint32_t from;
        std::uint32_t expected;
    } cases[] = {
        {"found at the 35th record: stops at the 5th", groupFirst + 34, groupFirst + 4},
        {"found at the 31st record: reaches the 1st", groupFirst + 30, groupFirst},
        {"found at the 32nd record: stops at the 2nd", groupFirst + 31, groupFirst + 1},
        {"found at the 1st record", groupFirst, groupFirst},
        {"from a different second", groupFirst + 40, groupFirst + 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Card card;
        for (std::uint32_t s = 100000; s < groupFirst; ++s) cardtest::WriteRecord(card.disk, s, t - 1);
        for (std::uint32_t s = groupFirst; s < groupFirst + 40; ++s) cardtest::WriteRecord(card.disk, s, t);
        cardtest::WriteRecord(card.disk, groupFirst + 40, t + 1);
        CCardReader& reader = card.Reader();
        reader.FindRingBounds();
        card.volumes.ResetCounters();
        EXPECT_EQ(reader.ScanBackward(c.from), c.expected);
        EXPECT_LE(card.Probes(), 60u);
    }
}

TEST(RingScanBackward, DoesNotWrapFromTheRingStartToItsEnd) {
    ScopedTimeZone zone("Asia/Shanghai");
    Card card;
    const std::int32_t t = cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0);
    // Wrapped ring whose newest second began on the last sector of the ring
    // and goes on at baseSector.
    const RingLayout ring = cardtest::WriteRing(card.disk, t, 1000, 4, 2);
    CCardReader& reader = card.Reader();
    reader.FindRingBounds();
    ASSERT_EQ(reader.upperSector, ring.upperSector);
    ASSERT_EQ(reader.ReadSector(reader.upperSector), reader.ReadSector(reader.baseSector));
    card.volumes.ResetCounters();
    EXPECT_EQ(reader.ScanBackward(reader.baseSector), reader.baseSector);
    EXPECT_EQ(reader.ScanBackward(reader.baseSector + 1), reader.baseSector);
    EXPECT_LE(card.Probes(), 2u);
}

}  // namespace
}  // namespace orvanta
