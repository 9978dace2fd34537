#include "analysis/report_figures.h"

#include <algorithm>
#include <cmath>

namespace orvanta {
namespace analysis {
namespace {


std::optional<double> P95(const std::vector<IntervalValues>& intervals, int quantity) {
    return NearestRankPercentile(DefinedValues(intervals, quantity), 95);
}

Verdict Within(const char* name, std::optional<double> figure, double limit) {
    return Verdict{name, figure && *figure <= limit, figure, limit, false};
}

}  // namespace

double En50160HarmonicLimit(int h) {
    switch (h) {
        case 2: return 2.0;
        case 3: return 5.0;
        case 4: return 1.0;
        case 5: return 6.0;
        case 7: return 5.0;
        case 9: return 1.5;
        case 11: return 3.5;
        case 13: return 3.0;
        case 15: return 0.5;
        case 17: return 2.0;
        case 19: return 1.5;
        case 21: return 0.5;
        case 23: return 1.5;
        case 25: return 1.5;
        default: return 0.5;  // the even orders 6..24
    }
}

Ieee519VoltageLimits Ieee519VoltageLimitsFor(double busVolts) {
    if (busVolts <= 1000.0) return {5.0, 8.0};
    if (busVolts <= 69000.0) return {3.0, 5.0};
    if (busVolts <= 161000.0) return {1.5, 2.5};
    return {1.0, 1.5};
}

double Ieee519TddLimit(std::optional<double> iscOverIl) {
    if (!iscOverIl || *iscOverIl < 20.0) return 5.0;
    if (*iscOverIl < 50.0) return 8.0;
    if (*iscOverIl < 100.0) return 12.0;
    if (*iscOverIl < 1000.0) return 15.0;
    return 20.0;
}

int DipRowOf(std::int32_t extreme, std::int32_t nominal) {
    // u = 100 extreme / U compared in integers: 100 extreme >= k U.
    const std::int64_t u100 = 100 * std::int64_t{extreme};
    const std::int64_t n = nominal;
    if (u100 >= 80 * n) return 0;
    if (u100 >= 70 * n) return 1;
    if (u100 >= 40 * n) return 2;
    if (u100 >= 5 * n) return 3;
    return 4;
}

int SwellRowOf(std::int32_t extreme, std::int32_t nominal) {
    return 100 * std::int64_t{extreme} >= 120 * std::int64_t{nominal} ? 0 : 1;
}

int DurationColumnOf(std::int32_t seconds) {
    if (seconds <= 1) return 0;
    if (seconds <= 5) return 1;
    if (seconds <= 60) return 2;
    return 3;
}

void CGapCounter::Add(std::int32_t time) {
    if (haveLast_ && std::int64_t{time} - last_ > kLongestStep) {
        ++figures_.count;
        figures_.seconds += static_cast<std::uint64_t>(std::int64_t{time} - last_);
    }
    haveLast_ = true;
    last_ = time;
}

RecordValues RecordValuesOf(std::int32_t time, const PowerQuality& quality, std::optional<double> il) {
    RecordValues record;
    record.time = time;
    record.values[kVRms] = quality.voltage.rms;
    record.values[kIRms] = quality.current.rms;
    record.values[kVThdF] = quality.voltage.thdF;
    record.values[kIThdF] = quality.current.thdF;
    const auto& v = quality.voltage.harmonic;  // index h = 1..N
    const int top = std::min(quality.orders, kLastTableHarmonic);
    if (v[1] > kUndefinedBelow) {
        for (int h = kFirstTableHarmonic; h <= top; ++h) {
            record.values[HarmonicQuantity(h)] = 100.0 * v[h] / v[1];
        }
    }
    if (il && *il > kUndefinedBelow) {
        const auto& i = quality.current.harmonic;
        double sum = 0.0;
        for (int h = 2; h <= quality.orders; ++h) sum += i[h] * i[h];
        record.values[kTdd] = 100.0 * std::sqrt(sum) / *il;
    }
    return record;
}

ReportFigures ComputeReportFigures(const ReportSettings& settings, std::vector<IntervalValues> intervals,
                                   std::vector<PowerEvent> events, const GapFigures& gaps, std::uint64_t records,
                                   std::int32_t first, std::int32_t last) {
    ReportFigures f;
    f.settings = settings;
    f.records = records;
    f.first = first;
    f.last = last;
    f.gaps = gaps;
    f.intervals = std::move(intervals);
    f.events = std::move(events);
    const double nominal = settings.nominalVolts;

    const std::vector<double> v10 = DefinedValues(f.intervals, kVRms);
    if (!v10.empty()) {
        const auto within = std::count_if(v10.begin(), v10.end(),
                                          [nominal](double v) { return std::fabs(v - nominal) <= 0.1 * nominal; });
        f.vWithinShare = static_cast<double>(within) / static_cast<double>(v10.size());
        f.v10Min = *std::min_element(v10.begin(), v10.end());
        f.v10Max = *std::max_element(v10.begin(), v10.end());
    }
    f.vThdFP95 = P95(f.intervals, kVThdF);
    f.iThdFP95 = P95(f.intervals, kIThdF);
    if (settings.il) f.tddP95 = P95(f.intervals, kTdd);

    bool enHarmonics = false, ieeeHarmonics = false;
    std::optional<double> enWorstRatio;
    const Ieee519VoltageLimits ieee = Ieee519VoltageLimitsFor(nominal);
    for (int h = kFirstTableHarmonic; h <= kLastTableHarmonic; ++h) {
        const std::optional<double> p95 = P95(f.intervals, HarmonicQuantity(h));
        f.harmonicP95[h - kFirstTableHarmonic] = p95;
        if (!p95) continue;
        const double ratio = *p95 / En50160HarmonicLimit(h);
        if (!enWorstRatio || ratio > *enWorstRatio) enWorstRatio = ratio;
        if (!f.worstIeeeHarmonic || *p95 > *f.worstIeeeHarmonic) f.worstIeeeHarmonic = p95;
    }
    enHarmonics = enWorstRatio && *enWorstRatio <= 1.0;
    ieeeHarmonics = f.worstIeeeHarmonic && *f.worstIeeeHarmonic <= ieee.harmonic;

    for (const PowerEvent& event : f.events) {
        const int column = DurationColumnOf(event.DurationSeconds());
        if (event.kind == EventKind::kSwell) {
            ++f.swells[SwellRowOf(event.extreme, settings.nominalVolts)][column];
            continue;
        }
        ++f.dips[DipRowOf(event.extreme, settings.nominalVolts)][column];
        if (event.kind == EventKind::kInterruption) {
            ++(event.DurationSeconds() <= kLongestShortInterruption ? f.interruptionsShort : f.interruptionsLong);
        }
    }

    std::optional<double> share = f.vWithinShare;
    f.verdicts.push_back(Verdict{"en50160_voltage", share && *share >= kEn50160WithinShare, share,
                                 kEn50160WithinShare, true});
    f.verdicts.push_back(Within("en50160_thd", f.vThdFP95, kEn50160ThdLimit));
    // The harmonics' verdict: the figure is the largest share of its limit.
    f.verdicts.push_back(Verdict{"en50160_harmonics", enHarmonics, enWorstRatio, 1.0, false});
    f.verdicts.push_back(Within("ieee519_voltage_thd", f.vThdFP95, ieee.thd));
    f.verdicts.push_back(Verdict{"ieee519_voltage_harmonics", ieeeHarmonics, f.worstIeeeHarmonic, ieee.harmonic, false});
    if (settings.il) {
        std::optional<double> ratio;
        if (settings.isc) ratio = *settings.isc / *settings.il;
        f.verdicts.push_back(Within("ieee519_tdd", f.tddP95, Ieee519TddLimit(ratio)));
    }
    return f;
}

}  // namespace analysis
}  // namespace orvanta
