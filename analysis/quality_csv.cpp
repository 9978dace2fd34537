#include "analysis/quality_csv.h"

#include <charconv>

#include "card/local_time.h"

namespace orvanta {
namespace analysis {
namespace {

// The columns after the time.
constexpr const char kHeader[] =
    ",sector,v_rms (V),i_rms (A),v_thd_f (%),i_thd_f (%),v_thd_r (%),i_thd_r (%),"
    "p (W),s (VA),q1 (var),pf,dpf,v_crest,i_crest,i_k_factor,clipped";

// printf's "%.9g", written by std::to_chars with the general format and
// precision 9, which is defined to give the same characters (and is several
// times faster than snprintf).
void AppendNumber(double value, std::string* csv) {
    char text[40];
    text[0] = ',';
    const std::to_chars_result end = std::to_chars(text + 1, text + sizeof text, value, std::chars_format::general, 9);
    csv->append(text, static_cast<std::size_t>(end.ptr - text));
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

std::string QualityCsvHeader(int orders, bool harmonics, const std::string& timeColumn) {
    std::string header = timeColumn + kHeader;
    if (!harmonics) return header;
    for (const char* channel : {"v", "i"}) {
        const char* unit = channel[0] == 'v' ? "V" : "A";
        for (int h = 1; h <= orders; ++h) {
            header += std::string(",") + channel + "_h" + std::to_string(h) + " (" + unit + ")";
        }
    }
    return header;
}

void CQualityCsvRows::AppendTime(std::int32_t time, std::string* csv) {
    if (!hourKnown_ || time < hourStart_ || time - hourStart_ >= 3600) {
        const std::string text = FormatLocalStandard(time);  // "YYYY-MM-DD HH:MM:SS"
        const LocalFields f = LocalStandardFields(time);
        hourKnown_ = true;
        hourStart_ = time - (f.minute * 60 + f.second);
        hourText_ = text.substr(0, text.size() - 5);
    }
    const int into = time - hourStart_;
    const char text[] = {static_cast<char>('0' + into / 600), static_cast<char>('0' + into / 60 % 10), ':',
                         static_cast<char>('0' + into % 60 / 10), static_cast<char>('0' + into % 10)};
    *csv += hourText_;
    csv->append(text, sizeof text);
}

void CQualityCsvRows::Append(std::int32_t time, std::uint32_t sector, const PowerQuality& q, std::string* csv) {
    AppendTime(time, csv);
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
    if (harmonics_) {
        AppendHarmonics(q.voltage, q.orders, csv);
        AppendHarmonics(q.current, q.orders, csv);
    }
    *csv += '\n';
}

}  // namespace analysis
}  // namespace orvanta
