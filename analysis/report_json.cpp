#include "analysis/report_json.h"

#include <cmath>
#include <cstdio>

#include "card/local_time.h"

namespace orvanta {
namespace analysis {
namespace {

std::string Number(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) return "null";
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", *value);
    return text;
}

std::string Time(std::int32_t time, bool defined) {
    return defined ? "\"" + FormatLocalStandard(time) + "\"" : "null";
}

template <std::size_t N>
std::string Row(const std::array<std::uint64_t, N>& counts) {
    std::string row = "[";
    for (std::size_t i = 0; i < N; ++i) row += (i ? "," : "") + std::to_string(counts[i]);
    return row + "]";
}

template <std::size_t R, std::size_t C>
std::string Table(const std::array<std::array<std::uint64_t, C>, R>& rows) {
    std::string table = "[";
    for (std::size_t r = 0; r < R; ++r) table += (r ? "," : "") + Row(rows[r]);
    return table + "]";
}

}  // namespace

std::string ReportJson(const RangeReport& report) {
    const ReportFigures& f = report.figures;
    const bool any = f.records > 0;
    std::string json = "{\n";
    const auto field = [&json](const char* key, const std::string& value) {
        json += std::string("  \"") + key + "\": " + value + ",\n";
    };
    field("serial", std::to_string(report.serial));
    field("records", std::to_string(f.records));
    field("first", Time(f.first, any));
    field("last", Time(f.last, any));
    field("nominal_v", std::to_string(f.settings.nominalVolts));
    field("orders", std::to_string(f.settings.orders));
    field("intervals", std::to_string(f.intervals.size()));
    field("gaps", "{\"count\": " + std::to_string(f.gaps.count) + ", \"seconds\": " + std::to_string(f.gaps.seconds) + "}");
    field("v_within_share", Number(f.vWithinShare));
    field("v10_min", Number(f.v10Min));
    field("v10_max", Number(f.v10Max));
    field("v_thd_f_p95", Number(f.vThdFP95));
    field("i_thd_f_p95", Number(f.iThdFP95));
    std::string harmonics = "{";
    for (int h = kFirstTableHarmonic; h <= kLastTableHarmonic; ++h) {
        harmonics += (h > kFirstTableHarmonic ? ", \"" : "\"") + std::to_string(h) +
                     "\": " + Number(f.harmonicP95[h - kFirstTableHarmonic]);
    }
    field("harmonic_p95", harmonics + "}");
    if (f.settings.il) {
        field("il_a", Number(f.settings.il));
        if (f.settings.isc) field("isc_a", Number(f.settings.isc));
        field("tdd_p95", Number(f.tddP95));
    }
    field("dips", Table(f.dips));
    field("swells", Table(f.swells));
    field("interruptions_short", std::to_string(f.interruptionsShort));
    field("interruptions_long", std::to_string(f.interruptionsLong));
    field("events", std::to_string(f.events.size()));
    field("complete", report.status == OverviewStatus::kDone ? "true" : "false");
    std::string verdicts = "{";
    std::string limits = "{";
    for (std::size_t i = 0; i < f.verdicts.size(); ++i) {
        const Verdict& v = f.verdicts[i];
        verdicts += std::string(i ? ", \"" : "\"") + v.name + "\": " + (v.met ? "true" : "false");
        limits += std::string(i ? ", \"" : "\"") + v.name + "\": " + Number(v.limit);
    }
    field("limits", limits + "}");
    json += "  \"verdicts\": " + verdicts + "}\n}\n";
    return json;
}

}  // namespace analysis
}  // namespace orvanta
