// The report's figures from a synthetic week of per-record values fed to the
// aggregation directly: interval values (root of the mean of the defined
// squares), nearest-rank 95th percentiles, the share within U +- 10 %, the
// verdicts, the events' table cells and the gaps. Each expected figure
// follows from how the week is made, not from the code.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/report_figures.h"
#include "card/local_time.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace analysis {
namespace {

constexpr int kWeekIntervals = 7 * 24 * 6;  // 1008

PowerEvent Event(EventKind kind, std::int32_t extreme, std::int32_t seconds) {
    PowerEvent e;
    e.kind = kind;
    e.start = 1000;
    e.end = 1000 + seconds;
    e.extreme = extreme;
    return e;
}

TEST(ReportFigures, SyntheticWeekGivesTheFiguresItWasMadeWith) {
    testenv::ScopedTimeZone zone("Asia/Shanghai");
    // Monday 2024-03-18 00:00:00 local standard time; one record every second.
    const std::int32_t monday = LocalStandardTime({2024, 3, 18, 0, 0, 0});
    CIntervalAggregate aggregate;
    CGapCounter gaps;
    std::uint64_t records = 0;
    for (int k = 0; k < kWeekIntervals; ++k) {
        // Interval 500 has no records at all: a gap of 601 s (599 -> 1200 s).
        if (k == 500) continue;
        for (int s = 0; s < 600; ++s) {
            RecordValues r;
            r.time = monday + k * 600 + s;
            // v alternates 3a and 4a: the interval value is 5a / sqrt(2).
            // The first 40 intervals lie at 260 V (outside 242), the rest at 220 V.
            const double v = (k < 40 ? 260.0 : 220.0) / 5.0 * std::sqrt(2.0);
            r.values[kVRms] = s % 2 == 0 ? 3 * v : 4 * v;
            // THD: constant k / 100 in interval k; i_thd_f only on odd records.
            r.values[kVThdF] = k / 100.0;
            if (s % 2 == 1) r.values[kIThdF] = 2.0;
            // Harmonic 5 at 7 % in the last 60 intervals, 1 % before; h = 2 never defined.
            r.values[HarmonicQuantity(5)] = k >= kWeekIntervals - 60 ? 7.0 : 1.0;
            r.values[HarmonicQuantity(3)] = 4.0;
            r.values[kTdd] = k < 40 ? 9.0 : 4.0;
            aggregate.Add(r);
            gaps.Add(r.time);
            ++records;
        }
    }
    const std::vector<IntervalValues> intervals = aggregate.Intervals();
    ReportSettings settings;
    settings.nominalVolts = 220;
    settings.il = 100.0;
    settings.isc = 3000.0;  // Isc/IL = 30: the 8 % row
    const std::vector<PowerEvent> events = {
        Event(EventKind::kDip, 198, 0),       Event(EventKind::kDip, 176, 1),
        Event(EventKind::kDip, 175, 2),       Event(EventKind::kDip, 154, 5),
        Event(EventKind::kDip, 88, 6),        Event(EventKind::kDip, 11, 61),
        Event(EventKind::kInterruption, 10, 180), Event(EventKind::kInterruption, 0, 181),
        Event(EventKind::kSwell, 264, 3),     Event(EventKind::kSwell, 263, 60),
    };
    const ReportFigures f =
        ComputeReportFigures(settings, intervals, events, gaps.Figures(), records, monday, monday + 604799);

    const double nth = std::ceil(0.95 * 1007) - 1;  // 0-based index among the 1007 intervals: 956
    // Interval k's THD is k/100 with k = 500 missing: index 956 is k = 957.
    const double thdP95 = (nth >= 500 ? nth + 1 : nth) / 100.0;
    struct Row {
        const char* what;
        double got;
        double expected;
    };
    const Row rows[] = {
        {"intervals", static_cast<double>(f.intervals.size()), 1007},
        {"first interval start", static_cast<double>(f.intervals.front().start), static_cast<double>(monday)},
        {"records in an interval", static_cast<double>(f.intervals[7].records), 600},
        {"v10 of a 220 V interval", *f.intervals[700].values[kVRms], 220},
        {"v10 of a 260 V interval", *f.intervals[3].values[kVRms], 260},
        {"i_thd_f10 over its defined records only", *f.intervals[3].values[kIThdF], 2},
        {"h2 undefined throughout", f.harmonicP95[0] ? 1.0 : 0.0, 0},
        {"v10_min", *f.v10Min, 220},
        {"v10_max", *f.v10Max, 260},
        {"share within 10 %", *f.vWithinShare, 967.0 / 1007.0},
        {"v_thd_f p95 (nearest rank)", *f.vThdFP95, thdP95},
        {"i_thd_f p95", *f.iThdFP95, 2},
        {"h3 p95", *f.harmonicP95[1], 4},
        // 60 of 1007 at 7 %: rank 957 is below the last 60 (from rank 948 on), so 7 %.
        {"h5 p95", *f.harmonicP95[3], 7},
        {"tdd p95 (40 of 1007 at 9 %)", *f.tddP95, 4},
        {"gaps", static_cast<double>(f.gaps.count), 1},
        {"gap seconds", static_cast<double>(f.gaps.seconds), 601},
        {"dips 90>u>=80, d<=1", static_cast<double>(f.dips[0][0]), 2},  // 198 V (u = 90) and 176 V (u = 80)
        {"dips 80>u>=70, d<=1", static_cast<double>(f.dips[1][0]), 0},
        {"dips 80>u>=70, 1<d<=5", static_cast<double>(f.dips[1][1]), 2},  // 175 V (79.5) and 154 V (70)
        {"dips 70>u>=40, 5<d<=60", static_cast<double>(f.dips[2][2]), 1},  // 88 V: u = 40
        {"dips 40>u>=5, 5<d<=60", static_cast<double>(f.dips[3][2]), 0},
        {"dips 40>u>=5, d>60", static_cast<double>(f.dips[3][3]), 1},     // 11 V: u = 5
        {"dips u<5, d>60", static_cast<double>(f.dips[4][3]), 2},         // 10 V and 0 V
        {"swells u>=120, 1<d<=5", static_cast<double>(f.swells[0][1]), 1},
        {"swells 120>u>110, 5<d<=60", static_cast<double>(f.swells[1][2]), 1},
        {"short interruptions", static_cast<double>(f.interruptionsShort), 1},
        {"long interruptions", static_cast<double>(f.interruptionsLong), 1},
    };
    for (const Row& row : rows) EXPECT_NEAR(row.got, row.expected, 1e-9 * std::max(1.0, std::fabs(row.expected))) << row.what;

    struct Expected {
        const char* name;
        bool met;
        double limit;
    };
    const Expected verdicts[] = {
        {"en50160_voltage", true, 0.95},      // 967/1007 = 96.0 %
        {"en50160_thd", false, 8},            // 9.57 %
        {"en50160_harmonics", false, 1},      // h5 at 7 % over 6 %
        {"ieee519_voltage_thd", false, 8},
        {"ieee519_voltage_harmonics", false, 5},
        {"ieee519_tdd", true, 8},
    };
    ASSERT_EQ(f.verdicts.size(), std::size(verdicts));
    for (std::size_t i = 0; i < f.verdicts.size(); ++i) {
        EXPECT_STREQ(f.verdicts[i].name, verdicts[i].name);
        EXPECT_EQ(f.verdicts[i].met, verdicts[i].met) << verdicts[i].name;
        EXPECT_DOUBLE_EQ(f.verdicts[i].limit, verdicts[i].limit) << verdicts[i].name;
    }
}

TEST(ReportFigures, RowsAndLimitsAtTheirBoundaries) {
    struct Row {
        const char* what;
        double got;
        double expected;
    };
    const Row rows[] = {
        {"percentile of 20: rank 19", *NearestRankPercentile({20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15,
                                                              16, 17, 18, 19}, 95), 19},
        {"percentile of 1", *NearestRankPercentile({7}, 95), 7},
        {"percentile of 21: rank 20", *NearestRankPercentile({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16,
                                                              17, 18, 19, 20, 21}, 95), 20},
        {"duration 1", static_cast<double>(DurationColumnOf(1)), 0},
        {"duration 2", static_cast<double>(DurationColumnOf(2)), 1},
        {"duration 60", static_cast<double>(DurationColumnOf(60)), 2},
        {"duration 61", static_cast<double>(DurationColumnOf(61)), 3},
        {"swell u = 120", static_cast<double>(SwellRowOf(264, 220)), 0},
        {"TDD Isc/IL 19.9", Ieee519TddLimit(19.9), 5},
        {"TDD Isc/IL 20", Ieee519TddLimit(20), 8},
        {"TDD Isc/IL 99", Ieee519TddLimit(99), 12},
        {"TDD Isc/IL 100", Ieee519TddLimit(100), 15},
        {"TDD Isc/IL 1001", Ieee519TddLimit(1001), 20},
        {"TDD without Isc", Ieee519TddLimit(std::nullopt), 5},
        {"IEEE 519 THD at 1000 V", Ieee519VoltageLimitsFor(1000).thd, 8},
        {"IEEE 519 harmonic at 10 kV", Ieee519VoltageLimitsFor(10000).harmonic, 3},
        {"EN 50160 h2", En50160HarmonicLimit(2), 2},
        {"EN 50160 h5", En50160HarmonicLimit(5), 6},
        {"EN 50160 h24", En50160HarmonicLimit(24), 0.5},
        {"EN 50160 h25", En50160HarmonicLimit(25), 1.5},
    };
    for (const Row& row : rows) EXPECT_DOUBLE_EQ(row.got, row.expected) << row.what;
    EXPECT_FALSE(NearestRankPercentile({}, 95));
}

TEST(ReportFigures, IntervalsFollowLocalStandardTimeInSummer) {
    // In Berlin's summer 12:34:56 on the clock is 11:34:56 standard time: its
    // interval starts at 11:30:00 standard time. In Kathmandu (UTC+05:45)
    // intervals do not start at multiples of 600 s since 1970.
    struct Case {
        const char* zone;
        LocalFields record;
        LocalFields start;
    };
    const Case cases[] = {
        {"Europe/Berlin", {2024, 7, 1, 11, 34, 56}, {2024, 7, 1, 11, 30, 0}},
        {"Asia/Kathmandu", {2024, 7, 1, 11, 39, 59}, {2024, 7, 1, 11, 30, 0}},
        {"Asia/Shanghai", {2024, 7, 1, 11, 40, 0}, {2024, 7, 1, 11, 40, 0}},
    };
    for (const Case& c : cases) {
        testenv::ScopedTimeZone zone(c.zone);
        EXPECT_EQ(IntervalStartOf(LocalStandardTime(c.record)), LocalStandardTime(c.start)) << c.zone;
    }
}

}  // namespace
}  // namespace analysis
}  // namespace orvanta
