// The figures of a power-quality report of a range, from its 10-minute
// intervals (interval_aggregate.h), its events and its gaps:
// - EN 50160: the share of intervals with |v10 - U| <= 0.1 U (95 % asked),
//   the 95th percentile of v_thd_f10 against 8 %, and of each voltage
//   harmonic h = 2..25 against the standard's table;
// - IEEE 519: the 95th percentiles of the voltage harmonics and of v_thd_f10
//   against the limits for the bus voltage U, and with a maximum demand
//   current IL the 95th percentile of the TDD against the limit of the
//   Isc/IL row (with no Isc given, the strictest row, < 20);
// - the events in EN 50160's table: dips and interruptions by residual
//   voltage u = 100 extreme / U, swells, by duration in whole seconds
//   (d <= 1, 1 < d <= 5, 5 < d <= 60, d > 60), and interruptions short
//   (d <= 180 s) and long.
// Percentiles are nearest rank. A verdict without a figure to judge is not met.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/interval_aggregate.h"
#include "analysis/power_quality.h"
#include "card/event_detector.h"

namespace orvanta {
namespace analysis {

constexpr int kDipRows = 5;
constexpr int kSwellRows = 2;
constexpr int kDurationColumns = 4;
constexpr std::int32_t kLongestShortInterruption = 180;  // seconds
constexpr double kEn50160ThdLimit = 8.0;                 // %
constexpr double kEn50160WithinShare = 0.95;

// EN 50160's limit of voltage harmonic h = 2..25, percent of the fundamental.
double En50160HarmonicLimit(int h);

struct Ieee519VoltageLimits {
    double harmonic;  // each harmonic, %
    double thd;       // %
};
// By bus voltage: up to 1 kV 5 % / 8 %; to 69 kV 3 % / 5 %; to 161 kV
// 1.5 % / 2.5 %; above 1 % / 1.5 %.
Ieee519VoltageLimits Ieee519VoltageLimitsFor(double busVolts);
// The TDD limit of the Isc/IL row: < 20: 5; 20-50: 8; 50-100: 12;
// 100-1000: 15; > 1000: 20 (%). Without a ratio, the < 20 row.
double Ieee519TddLimit(std::optional<double> iscOverIl);

// The row of a dip or interruption by its extreme (0..4), of a swell (0..1),
// and the duration column (0..3).
int DipRowOf(std::int32_t extreme, std::int32_t nominal);
int SwellRowOf(std::int32_t extreme, std::int32_t nominal);
int DurationColumnOf(std::int32_t seconds);

struct ReportSettings {
    std::int32_t nominalVolts = kDefaultNominalVolts;
    int orders = 40;
    std::optional<double> il;   // maximum demand current, A
    std::optional<double> isc;  // short-circuit current, A
};

struct GapFigures {
    std::uint64_t count = 0;    // consecutive records more than 2 s apart
    std::uint64_t seconds = 0;  // the sum of those differences
};

// Gaps of a sequence of record times, fed in ring order.
class CGapCounter {
public:
    static constexpr std::int32_t kLongestStep = 2;
    void Add(std::int32_t time);
    const GapFigures& Figures() const { return figures_; }

private:
    bool haveLast_ = false;
    std::int32_t last_ = 0;
    GapFigures figures_;
};

struct Verdict {
    const char* name;       // "en50160_voltage", ...
    bool met = false;
    std::optional<double> figure;
    double limit = 0.0;
    bool atLeast = false;   // the figure must reach the limit (else stay within it)
};

struct ReportFigures {
    ReportSettings settings;
    std::uint64_t records = 0;
    std::int32_t first = 0;  // 0: no records
    std::int32_t last = 0;
    GapFigures gaps;
    std::vector<IntervalValues> intervals;
    std::optional<double> vWithinShare;
    std::optional<double> v10Min, v10Max;
    std::optional<double> vThdFP95, iThdFP95, tddP95;
    std::array<std::optional<double>, kTableHarmonics> harmonicP95{};  // h = 2..25
    std::optional<double> worstIeeeHarmonic;  // the largest harmonic p95
    std::array<std::array<std::uint64_t, kDurationColumns>, kDipRows> dips{};
    std::array<std::array<std::uint64_t, kDurationColumns>, kSwellRows> swells{};
    std::uint64_t interruptionsShort = 0, interruptionsLong = 0;
    std::vector<PowerEvent> events;
    std::vector<Verdict> verdicts;
};

// The per-record values that are aggregated, from a record's power quality
// figures: v_rms, i_rms, v_thd_f, i_thd_f, 100 V_h / V_1 for h = 2..25 (to N)
// and, with IL, the TDD 100 sqrt(sum_{h=2..N} I_h^2) / IL.
RecordValues RecordValuesOf(std::int32_t time, const PowerQuality& quality, std::optional<double> il);

// Everything else from the intervals, the events and the gaps.
ReportFigures ComputeReportFigures(const ReportSettings& settings, std::vector<IntervalValues> intervals,
                                   std::vector<PowerEvent> events, const GapFigures& gaps, std::uint64_t records,
                                   std::int32_t first, std::int32_t last);

}  // namespace analysis
}  // namespace orvanta
