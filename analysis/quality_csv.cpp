#include "analysis/quality_csv.h"

#include <cstdio>

#include "card/local_time.h"

namespace orvanta {
namespace analysis {
namespace {

constexpr const char kHeader[] =
    "time (local standard time),sector,v_rms (V),i_rms (A),v_thd_f (%),i_thd_f (%),v_thd_r (%),i_thd_r (%),"
    "p (W),s (VA),q1 (var),pf,dpf,v_crest,i_crest,i_k_factor,clipped";

void AppendNumber(double value, std::string* csv) {
    char text[32];
    const int length = std::snprintf(text, sizeof text, ",%.9g", value);
    csv->append(text, static_cast<std::size_t>(length));
}

void AppendValue(const std::optional<double>& value, std::string* csv) {
    if (value) {
        AppendNumber(*value, csv);
    } else {
        csv->push_back(',');
    }
}

void AppendHarmonics(const ChannelQuality& channel, int orders, std::string* csv) {
    for (int h = 1; h <= orders; ++h) AppendNumber(channel.harmonic[h], csv);
}

}  // namespace

std::string QualityCsvHeader(int orders, bool harmonics) {
    std::string header = kHeader;
    if (!harmonics) return header;
    for (const char* channel : {"v", "i"}) {
        const char* unit = channel[0] == 'v' ? "V" : "A";
        for (int h = 1; h <= orders; ++h) {
            header += std::string(",") + channel + "_h" + std::to_string(h) + " (" + unit + ")";
        }
    }
    return header;
}

void AppendQualityCsvRow(std::int32_t time, std::uint32_t sector, const PowerQuality& q, bool harmonics,
                         std::string* csv) {
    *csv += FormatLocalStandard(time);
    *csv += ',';
    *csv += std::to_string(sector);
    AppendNumber(q.voltage.rms, csv);
    AppendNumber(q.current.rms, csv);
    AppendValue(q.voltage.thdF, csv);
    AppendValue(q.current.thdF, csv);
    AppendValue(q.voltage.thdR, csv);
    AppendValue(q.current.thdR, csv);
    AppendNumber(q.p, csv);
    AppendNumber(q.s, csv);
    AppendNumber(q.q1, csv);
    AppendValue(q.pf, csv);
    AppendValue(q.dpf, csv);
    AppendValue(q.voltage.crest, csv);
    AppendValue(q.current.crest, csv);
    AppendValue(q.kFactor, csv);
    *csv += q.clipped ? ",1" : ",0";
    if (harmonics) {
        AppendHarmonics(q.voltage, q.orders, csv);
        AppendHarmonics(q.current, q.orders, csv);
    }
    *csv += '\n';
}

}  // namespace analysis
}  // namespace orvanta
