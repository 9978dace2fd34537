// The card overview: samples evenly spread over the ring (or a time range of
// it) whose trend points are the trend text's own for the same sectors, the
// bound on its reads through one held open, and what a failing or pulled card
// leaves of a scan.
#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "card/card_overview.h"
#include "card/card_reader.h"
#include "card/overview_csv.h"
#include "tests/card/card_fixture_support.h"

namespace orvanta {
namespace {

using cardtest::CardOnE;
using cardtest::RingLayout;
using cardtest::SectorBytes;

// Records whose channel B amplitude grows with the index, so neighbouring
// records give different points; every seventh record has a flat channel B
// and gives no point, every eleventh one a sample beyond the amplitude limit.
void FillVaryingSamples(std::uint32_t index, SectorBytes& sector) {
    const int amplitudeA = 40 + static_cast<int>(index % 300);
    const int amplitudeB = 5 + static_cast<int>(index % 400);
    for (int pair = 0; pair < 126; ++pair) {
        const int sign = pair % 2 == 0 ? 1 : -1;
        int b = index % 7 == 3 ? 0 : sign * amplitudeB;
        if (index % 11 == 5 && pair == 40) b = 600;
        cardtest::SetSamplePair(sector, pair, static_cast<std::uint16_t>(509 + sign * amplitudeA),
                                static_cast<std::uint16_t>(509 + b));
    }
}

// The first point of the trend text the reader builds from `sector` on, if any.
std::optional<TrendPoint> FirstTrendPoint(CCardReader& reader, std::uint32_t sector) {
    reader.currentSector = sector;
    reader.BuildTrendText();
    std::istringstream in(reader.trendText);
    std::vector<long> numbers;
    for (long n; in >> n;) numbers.push_back(n);
    // "0 0 ", 2 numbers per point, then one zero per point missing to 1000.
    const std::size_t pointCount = numbers.size() == 2002 ? 1000 : numbers.size() - 1001;
    // The records behind the points are kept beside the text.
    EXPECT_EQ(reader.TrendRecords().size(), pointCount);
    if (pointCount == 0) return std::nullopt;
    return TrendPoint{static_cast<std::int32_t>(numbers[2]), static_cast<std::int32_t>(numbers[3])};
}

// What the trend text says of the record at `sector` alone: its point when it
// gives one; otherwise the trend from there equals the trend from the next
// sector of the walk (or holds no point at the walk's end).
void ExpectTrendTextAgrees(CCardReader& reader, const OverviewSample& sample) {
    const std::optional<TrendPoint> fromHere = FirstTrendPoint(reader, sample.sector);
    if (sample.hasPoint) {
        ASSERT_TRUE(fromHere.has_value()) << "sector " << sample.sector;
        EXPECT_EQ(fromHere->valueA, sample.point.valueA) << "sector " << sample.sector;
        EXPECT_EQ(fromHere->valueB, sample.point.valueB) << "sector " << sample.sector;
        const TrendRecord record = reader.TrendRecords().front();
        EXPECT_EQ(record.sector, sample.sector);
        EXPECT_EQ(record.time, sample.time);
        EXPECT_EQ(record.rms.amperesA, sample.rms.amperesA);
        EXPECT_EQ(record.rms.voltsB, sample.rms.voltsB);
        // Worked out later, they keep the calibration the text was built with.
        const double ratioA = reader.ratioA;
        reader.ratioA *= 2;
        EXPECT_EQ(reader.TrendRecords().front().rms.amperesA, sample.rms.amperesA);
        reader.ratioA = ratioA;
        return;
    }
    const std::uint32_t s = sample.sector;
    const bool walkGoesOn = s < reader.upperSector && reader.PhysicalToLogical(s + 1) > reader.PhysicalToLogical(s);
    const std::optional<TrendPoint> fromNext =
        walkGoesOn ? FirstTrendPoint(reader, s + 1) : std::optional<TrendPoint>();
    ASSERT_EQ(fromHere.has_value(), fromNext.has_value()) << "sector " << s;
    if (fromHere) {
        EXPECT_EQ(fromHere->valueA, fromNext->valueA) << "sector " << s;
        EXPECT_EQ(fromHere->valueB, fromNext->valueB) << "sector " << s;
    }
}

struct OverviewCase {
    const char* name;
    const char* zone;
    std::uint32_t records;      // 0: a card without records
    std::uint32_t perSecond;
    std::uint32_t currentPass;  // 0: not wrapped
    std::uint32_t points;
    long fromIndex;             // -1: no lower time bound; else the time of that record
    long toIndex;               // -1: no upper time bound
    std::uint32_t firstIndex;   // expected logical range sampled
    std::uint32_t lastIndex;
};

const OverviewCase kCases[] = {
    {"unwrapped, fewer records than points", "Asia/Shanghai", 500, 1, 0, 1000, -1, -1, 0, 499},
    {"unwrapped, spread", "Asia/Shanghai", 5000, 1, 0, 100, -1, -1, 0, 4999},
    {"wrapped, spread", "Asia/Shanghai", 3000, 1, 700, 250, -1, -1, 0, 2999},
    {"wrapped, range across the wrap", "Europe/Berlin", 3000, 1, 700, 1000, 2000, 2600, 2000, 2600},
    {"wrapped, range spread", "Europe/Berlin", 3000, 1, 700, 50, 1000, 2900, 1000, 2900},
    {"groups of a second, range to whole seconds", "Asia/Shanghai", 1000, 3, 0, 1000, 31, 61, 30, 62},
    {"range beyond the newest record", "Asia/Shanghai", 1000, 1, 0, 1000, 990, 5000, 990, 999},
    {"one-sector ring", "Asia/Shanghai", 1, 1, 0, 1000, -1, -1, 0, 0},
    {"no records", "Asia/Shanghai", 0, 1, 0, 1000, -1, -1, 0, 0},
};

class CardOverviewCases : public ::testing::TestWithParam<OverviewCase> {};

TEST_P(CardOverviewCases, SamplesAreTheTrendTextsPointsOfTheirSectors) {
    const OverviewCase& c = GetParam();
    cardtest::ScopedTimeZone zone(c.zone);
    CardOnE card;
    // Summer in Berlin: the records count as local standard time all the same.
    const std::int32_t firstTime = cardtest::TimeOfFields(2024, 7, 1, 23, 59, 0);
    RingLayout layout;
    if (c.records > 0) {
        layout = cardtest::WriteRing(card.disk, firstTime, c.records, c.perSecond, c.currentPass, 100000,
                                     FillVaryingSamples);
    }
    CCardReader& reader = card.Reader();

    OverviewRequest request;
    request.points = c.points;
    if (c.fromIndex >= 0) {
        request.hasFrom = true;
        request.from = layout.TimeOf(static_cast<std::uint32_t>(c.fromIndex));
    }
    if (c.toIndex >= 0) {
        request.hasTo = true;
        request.to = c.toIndex < static_cast<long>(c.records) ? layout.TimeOf(static_cast<std::uint32_t>(c.toIndex))
                                                              : layout.NewestTime() + 3600;
    }
    const OverviewResult result = CardOverview(reader).Scan(request);
    EXPECT_EQ(card.volumes.counters.opens, 1u);
    EXPECT_EQ(card.volumes.counters.closes, 1u);

    // The same ring as the reader's own discovery.
    reader.FindRingBounds();
    EXPECT_EQ(result.ring.upperSector, reader.upperSector);
    EXPECT_EQ(result.ring.ringStart, reader.ringStart);
    EXPECT_EQ(result.ring.ringCount, reader.ringCount);

    if (c.records == 0) {
        EXPECT_EQ(result.status, OverviewStatus::kNoRecords);
        EXPECT_TRUE(result.samples.empty());
        return;
    }
    ASSERT_EQ(result.status, OverviewStatus::kDone) << result.message;
    const std::vector<std::uint32_t> positions = CardOverview::SamplePositions(c.firstIndex, c.lastIndex, c.points);
    const std::uint32_t span = c.lastIndex - c.firstIndex + 1;
    ASSERT_EQ(positions.size(), std::min(c.points, span));
    ASSERT_EQ(result.samples.size(), positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const OverviewSample& sample = result.samples[i];
        EXPECT_EQ(sample.sector, layout.PhysicalOf(positions[i])) << i;
        EXPECT_EQ(sample.time, layout.TimeOf(positions[i])) << i;
        ExpectTrendTextAgrees(reader, sample);
        // The real RMS of FillVaryingSamples' square waves: channel B swings
        // by its amplitude around its own zero level; channel A around 509,
        // 2.7 counts above its zero level of 506.3.
        const std::uint32_t index = positions[i];
        if (index % 7 != 3 && index % 11 != 5) {
            const double amplitudeA = 40 + index % 300;
            const double amplitudeB = 5 + index % 400;
            EXPECT_NEAR(sample.rms.voltsB, amplitudeB * 2.531745, 1e-9) << i;
            EXPECT_NEAR(sample.rms.amperesA, std::sqrt(amplitudeA * amplitudeA + 2.7 * 2.7) * 0.019419, 1e-9) << i;
        }
    }
    EXPECT_EQ(result.samples.front().sector, layout.PhysicalOf(c.firstIndex));
    EXPECT_EQ(result.samples.back().sector, layout.PhysicalOf(c.lastIndex));
    // Its CSV names the zone's standard offset, in summer too.
    const std::string offset = std::string(c.zone) == "Europe/Berlin" ? "UTC+01:00" : "UTC+08:00";
    EXPECT_EQ(OverviewCsv(result.samples).rfind("\"time (local standard time, " + offset + ")\",sector,", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rings, CardOverviewCases, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<OverviewCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });

// A wrapped ring of two records a second with a pause of 600 s behind
// logical index 1499: a range gives exactly the records inside it, none when
// it holds none (in the pause, after the newest, before the oldest record).
TEST(CardOverviewRange, OnlyRecordsInsideTheRangeAppear) {
    cardtest::ScopedTimeZone zone("Asia/Shanghai");
    CardOnE card;
    const std::int32_t start = cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0);
    constexpr std::uint32_t kPauseAfter = 1499;
    constexpr std::int32_t kPause = 600;
    auto timeOf = [&](std::uint32_t index) {
        return start + static_cast<std::int32_t>(index / 2) + (index > kPauseAfter ? kPause : 0);
    };
    const RingLayout layout = cardtest::WriteRing(
        card.disk, start, 3000, 2, 700, 100000, [&](std::uint32_t index, SectorBytes& sector) {
            const LocalFields f = LocalStandardFields(timeOf(index));
            const int fields[] = {f.year - 2000, f.month, f.day, f.hour, f.minute, f.second};
            for (int i = 0; i < 6; ++i) sector[1 + i] = cardtest::ToBcd(fields[i]);
            FillVaryingSamples(index, sector);
        });
    const std::int32_t newest = timeOf(2999);
    const struct {
        const char* name;
        std::int32_t from, to;
        long first, last;  // expected logical indices; -1: no records
    } rows[] = {
        {"inside the pause", timeOf(kPauseAfter) + 10, timeOf(kPauseAfter) + 500, -1, -1},
        {"after the newest record", newest + 1, newest + 100, -1, -1},
        {"before the oldest record", start - 100, start - 1, -1, -1},
        {"from inside the pause", timeOf(kPauseAfter) + 1, timeOf(kPauseAfter + 1), 1500, 1501},
        {"to inside the pause", timeOf(1400), timeOf(kPauseAfter) + 100, 1400, 1499},
        {"across the pause, whole seconds", timeOf(1498), timeOf(1502), 1498, 1503},
    };
    for (const auto& row : rows) {
        OverviewRequest request;
        request.hasFrom = request.hasTo = true;
        request.from = row.from;
        request.to = row.to;
        const OverviewResult result = CardOverview(card.Reader()).Scan(request);
        ASSERT_EQ(result.status, OverviewStatus::kDone) << row.name;
        for (const OverviewSample& sample : result.samples) {
            EXPECT_GE(sample.time, row.from) << row.name;
            EXPECT_LE(sample.time, row.to) << row.name;
        }
        if (row.first < 0) {
            EXPECT_TRUE(result.samples.empty()) << row.name << ": " << result.samples.size();
            continue;
        }
        ASSERT_EQ(result.samples.size(), static_cast<std::size_t>(row.last - row.first + 1)) << row.name;
        EXPECT_EQ(result.samples.front().sector, layout.PhysicalOf(static_cast<std::uint32_t>(row.first))) << row.name;
        EXPECT_EQ(result.samples.back().sector, layout.PhysicalOf(static_cast<std::uint32_t>(row.last))) << row.name;
    }
}

TEST(CardOverviewSpread, PositionsAreEvenWithBothEnds) {
    EXPECT_EQ(CardOverview::SamplePositions(0, 9, 4), (std::vector<std::uint32_t>{0, 3, 6, 9}));
    EXPECT_EQ(CardOverview::SamplePositions(5, 7, 10), (std::vector<std::uint32_t>{5, 6, 7}));
    EXPECT_EQ(CardOverview::SamplePositions(0, 59899999, 2), (std::vector<std::uint32_t>{0, 59899999}));
    EXPECT_TRUE(CardOverview::SamplePositions(3, 2, 10).empty());
}

// A full-size card: the discovery probes up to sector 60000000, and a whole
// overview of N points stays within N + 300 sector reads through one open.
TEST(CardOverviewReads, WholeCardStaysWithinPointsPlus300) {
    cardtest::ScopedTimeZone zone("Asia/Shanghai");
    struct Row {
        std::uint32_t records, currentPass, points;
        bool range;
    } rows[] = {{20000, 5000, 1000, false}, {20000, 5000, 1000, true}, {20000, 0, 1, false}, {800, 0, 1000, true}};
    for (const Row& row : rows) {
        CardOnE card;
        const RingLayout layout =
            cardtest::WriteRing(card.disk, cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0), row.records, 1, row.currentPass);
        OverviewRequest request;
        request.points = row.points;
        if (row.range) {
            request.hasFrom = true;
            request.from = layout.TimeOf(row.records / 10) - 1;
            request.hasTo = true;
            request.to = layout.TimeOf(row.records - 3) + 1;
        }
        CCardReader& reader = card.Reader();
        const OverviewResult result = CardOverview(reader).Scan(request);
        ASSERT_EQ(result.status, OverviewStatus::kDone);
        const std::uint64_t bound = std::uint64_t{row.points} + 300;
        EXPECT_LE(card.volumes.counters.bytesRead / 512, bound) << row.records << " " << row.points;
        EXPECT_LE(result.sectorReads, bound);
        EXPECT_EQ(card.volumes.counters.bytesRead / 512, result.sectorReads);
        EXPECT_EQ(card.volumes.counters.opens, 1u);
        EXPECT_EQ(card.volumes.counters.closes, 1u);
        EXPECT_GE(result.samples.size(), std::min<std::uint64_t>(row.points, row.records * 8 / 10));
    }
}

class CardOverviewFaults : public ::testing::Test {
protected:
    void SetUp() override {
        layout_ = cardtest::WriteRing(card_.disk, cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0), 30000, 1, 9000, 100000,
                                      FillVaryingSamples);
        request_.points = 200;
        full_ = CardOverview(card_.Reader()).Scan(request_);
        ASSERT_EQ(full_.status, OverviewStatus::kDone);
        ASSERT_EQ(full_.samples.size(), 200u);
        card_.volumes.ResetCounters();
    }
    // Every sample of a damaged scan is the undamaged scan's sample of its sector.
    void ExpectSubsetOfFull(const OverviewResult& damaged) const {
        std::size_t j = 0;
        for (const OverviewSample& sample : damaged.samples) {
            while (j < full_.samples.size() && full_.samples[j].sector != sample.sector) ++j;
            ASSERT_LT(j, full_.samples.size()) << "sector " << sample.sector << " out of order or unknown";
            EXPECT_EQ(sample.time, full_.samples[j].time);
            EXPECT_EQ(sample.hasPoint, full_.samples[j].hasPoint);
            EXPECT_EQ(sample.point.valueA, full_.samples[j].point.valueA);
        }
    }
    cardtest::ScopedTimeZone zone_{"Asia/Shanghai"};
    CardOnE card_;
    RingLayout layout_;
    OverviewRequest request_;
    OverviewResult full_;
};

TEST_F(CardOverviewFaults, AFailedReadLosesThatSampleOnly) {
    CardOverview overview(card_.Reader());
    bool armed = false;
    overview.SetProgressHook([&](std::size_t, std::size_t) {
        if (!armed) card_.volumes.faults.failReadAt = card_.volumes.counters.reads + 5;
        armed = true;
    });
    const OverviewResult result = overview.Scan(request_);
    EXPECT_EQ(result.status, OverviewStatus::kDone);
    EXPECT_EQ(result.samples.size(), full_.samples.size() - 1);
    ExpectSubsetOfFull(result);
}

TEST_F(CardOverviewFaults, ACardPulledMidScanEndsItWithWhatWasRead) {
    CardOverview overview(card_.Reader());
    std::size_t pulledAt = 0;
    overview.SetProgressHook([&](std::size_t done, std::size_t) {
        if (done >= 60 && pulledAt == 0) {
            pulledAt = done;
            card_.volumes.faults.alwaysFailRead = true;  // the card is gone
        }
    });
    const OverviewResult result = overview.Scan(request_);
    EXPECT_EQ(result.status, OverviewStatus::kCardGone);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(result.samples.size(), pulledAt);
    ExpectSubsetOfFull(result);
    EXPECT_EQ(card_.volumes.counters.opens, 1u);
    EXPECT_EQ(card_.volumes.counters.closes, 1u);
}

TEST_F(CardOverviewFaults, CancelStopsBeforeTheNextRead) {
    CardOverview overview(card_.Reader());
    std::size_t seen = 0;
    overview.SetProgressHook([&](std::size_t done, std::size_t) { seen = done; });
    overview.SetCancelHook([&] { return seen >= 25; });
    const OverviewResult result = overview.Scan(request_);
    EXPECT_EQ(result.status, OverviewStatus::kCancelled);
    EXPECT_EQ(result.samples.size(), 25u);
    ExpectSubsetOfFull(result);
}

TEST_F(CardOverviewFaults, ADeviceThatDoesNotOpenGivesNothing) {
    card_.volumes.faults.alwaysFailOpen = true;
    const OverviewResult result = CardOverview(card_.Reader()).Scan(request_);
    EXPECT_EQ(result.status, OverviewStatus::kNoDevice);
    EXPECT_TRUE(result.samples.empty());
}

}  // namespace
}  // namespace orvanta
