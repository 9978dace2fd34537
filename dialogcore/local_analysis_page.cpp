#include "dialogcore/local_analysis_page.h"

#include <vector>

#include "analysis/power_quality.h"
#include "analysis/record_period.h"
#include "analysis/svg_chart.h"
#include "card/local_time.h"
#include "dialogcore/html_text.h"

namespace orvanta {
namespace {

using analysis::ChannelQuality;
using analysis::FormatFixed;
using analysis::PowerQuality;

constexpr const char* kColorB = "#1f5fbf";  // channel B, voltage
constexpr const char* kColorA = "#d9730d";  // channel A, current

std::string T(UiLanguage l, const char* chinese, const char* english) { return In(l, Bilingual{chinese, english}); }

std::string Value(const std::optional<double>& value, int decimals, const char* unit = "") {
    return value ? FormatFixed(*value, decimals) + unit : "—";
}

std::string Row(const std::string& label, const std::string& value, const char* id) {
    return "<tr><th>" + label + "</th><td id=\"" + id + "\">" + value + "</td></tr>\n";
}

std::string Waveform(UiLanguage l, const ShownRecord& record) {
    // Every pair, scaled as the period is (analysis/record_period.h).
    analysis::LineChart chart;
    chart.title = T(l, "两通道波形", "Waveform of both channels");
    chart.xLabel = T(l, "采样对序号（共 126 个；每个周期 96 个采样）", "Sample pair (126 in all; 96 samples a period)");
    chart.markFirst = analysis::kFirstPeriodPair;
    chart.markLast = analysis::kFirstPeriodPair + analysis::kPeriodSamples - 1;
    chart.markLabel = T(l, "分析的周期（第 1–96 对）", "Period analysed (pairs 1–96)");
    analysis::ChartSeries volts{T(l, "通道 B 电压", "Channel B voltage"), "V", kColorB, {}};
    analysis::ChartSeries amperes{T(l, "通道 A 电流", "Channel A current"), "A", kColorA, {}};
    for (int pair = 0; pair < kSamplePairs; ++pair) {
        const double a = PairSample(record.bytes.data(), pair, 0);
        const double b = PairSample(record.bytes.data(), pair, 1);
        amperes.values.push_back((a - kZeroLevelA) * record.ratioA * kTrendScaleA);
        volts.values.push_back((b - kZeroLevelB) * record.ratioB * kTrendScaleB);
    }
    chart.series.push_back(std::move(volts));
    chart.series.push_back(std::move(amperes));
    return analysis::RenderLineChart(chart);
}

std::string Spectrum(UiLanguage l, const ChannelQuality& c, int orders, const std::string& title, const char* color) {
    std::string html = "<h3>" + title + "</h3>\n";
    if (!c.thdF) {
        return html + "<p>" +
               T(l, "该通道在这个周期中没有基波分量，无法给出谐波含量。",
                 "The channel has no fundamental in this period: no harmonic contents can be given.") +
               "</p>\n";
    }
    analysis::BarChart chart;
    chart.title = title;
    chart.xLabel = T(l, "谐波次数（基波的百分比）", "Harmonic order (percent of the fundamental)");
    chart.color = color;
    chart.clipAbove = 99.0;
    for (int h = 1; h <= orders; ++h) chart.values.push_back(100.0 * c.harmonic[h] / c.harmonic[1]);
    return html + analysis::RenderBarChart(chart);
}

std::string ValueTable(UiLanguage l, const PowerQuality& q) {
    const std::string b = T(l, "电压", "voltage");
    const std::string a = T(l, "电流", "current");
    std::string html = "<table id=\"local-values\">\n";
    html += Row(T(l, "电压有效值", "Voltage RMS"), FormatFixed(q.voltage.rms, 2) + " V", "v-rms");
    html += Row(T(l, "电流有效值", "Current RMS"), FormatFixed(q.current.rms, 3) + " A", "i-rms");
    html += Row(T(l, "电压 THD-F（对基波）", "Voltage THD-F (of the fundamental)"), Value(q.voltage.thdF, 2, " %"),
                "v-thd-f");
    html += Row(T(l, "电流 THD-F（对基波）", "Current THD-F (of the fundamental)"), Value(q.current.thdF, 2, " %"),
                "i-thd-f");
    html += Row(T(l, "电压 THD-R（对有效值）", "Voltage THD-R (of the RMS)"), Value(q.voltage.thdR, 2, " %"), "v-thd-r");
    html += Row(T(l, "电流 THD-R（对有效值）", "Current THD-R (of the RMS)"), Value(q.current.thdR, 2, " %"), "i-thd-r");
    html += Row(T(l, "有功功率 P", "Active power P"), FormatFixed(q.p, 2) + " W", "p");
    html += Row(T(l, "视在功率 S", "Apparent power S"), FormatFixed(q.s, 2) + " VA", "s");
    html += Row(T(l, "基波无功功率 Q₁（电流滞后为正）", "Fundamental reactive power Q₁ (positive when the current lags)"),
                FormatFixed(q.q1, 2) + " var", "q1");
    html += Row(T(l, "功率因数 PF", "Power factor PF"), Value(q.pf, 4), "pf");
    html += Row(T(l, "位移功率因数 DPF", "Displacement power factor DPF"), Value(q.dpf, 4), "dpf");
    html += Row(T(l, "电压波峰因数", "Voltage crest factor"), Value(q.voltage.crest, 3), "v-crest");
    html += Row(T(l, "电流波峰因数", "Current crest factor"), Value(q.current.crest, 3), "i-crest");
    html += Row(T(l, "电流 K 系数", "Current K-factor"), Value(q.kFactor, 3), "k-factor");
    html += Row(T(l, "削波（采样超出 509 ± 518）", "Clipped (a sample beyond 509 ± 518)"),
                q.clipped ? T(l, "是", "yes") : T(l, "否", "no"), "clipped");
    html += "</table>\n";
    // Every harmonic of both channels.
    html += "<table id=\"local-harmonics\">\n<tr><th>" + T(l, "次数", "Order") + "</th><th>" + b + " (V)</th><th>" + a +
            " (A)</th></tr>\n";
    for (int h = 1; h <= q.orders; ++h) {
        html += "<tr><td>" + std::to_string(h) + "</td><td>" + FormatFixed(q.voltage.harmonic[h], 3) + "</td><td>" +
                FormatFixed(q.current.harmonic[h], 4) + "</td></tr>\n";
    }
    return html + "</table>\n";
}

}  // namespace

bool ReadShownRecord(CCardReader& reader, ShownRecord* record) {
    if (reader.actualTime <= 0) return false;
    const std::int32_t time = reader.ReadSector(reader.currentSector);
    if (time != reader.actualTime || reader.sectorBuffer[0] != kRecordMarker) return false;
    std::copy(reader.sectorBuffer, reader.sectorBuffer + kSectorSize, record->bytes.begin());
    record->sector = reader.currentSector;
    record->time = time;
    record->ratioA = reader.ratioA;
    record->ratioB = reader.ratioB;
    return true;
}

std::string LocalAnalysisSection(UiLanguage l, const ShownRecord& record, int orders) {
    analysis::PeriodSamples period;
    analysis::CRecordPeriod(record.ratioA, record.ratioB).Take(record.bytes.data(), &period);
    const PowerQuality q = analysis::CPowerQualityAnalyser(orders).Analyse(period);
    std::string html = "<section id=\"local-analysis\" style=\"font-family: sans-serif\">\n<h2 id=\"local-heading\">" +
                       T(l, "本地分析：由本计算机根据该记录的一个周期计算，不是分析服务器的结果",
                         "Local analysis: computed on this computer from one period of the record, not by the "
                         "analysis server") +
                       "</h2>\n<p>" +
                       FillPlaces(T(l, "记录时间 %1（当地标准时间），扇区 %2，变比 A %3、B %4。",
                                    "Record of %1 (local standard time), sector %2, ratios A %3 and B %4."),
                                  {FormatLocalStandard(record.time), std::to_string(record.sector),
                                   FormatFixed(record.ratioA, 4), FormatFixed(record.ratioB, 4)}) +
                       "</p>\n<p>" +
                       FillPlaces(T(l,
                                    "记录仪每个周期采样 96 次：记录 126 个采样对中的第 1 至 96 对为一个周期，"
                                    "据此计算 1 至 %1 次谐波。这是每秒一个周期的抽样，不是 IEC 61000-4-30 A 级的连续测量。",
                                    "The recorder samples 96 times a period: pairs 1 to 96 of the record's 126 are one "
                                    "period, from which harmonics 1 to %1 are computed. This is a sample of one period a "
                                    "second, not the gapless measurement of IEC 61000-4-30 class A."),
                                  {std::to_string(q.orders)}) +
                       "</p>\n";
    html += Waveform(l, record);
    html += Spectrum(l, q.voltage, q.orders, T(l, "电压谐波（通道 B）", "Voltage harmonics (channel B)"), kColorB);
    html += Spectrum(l, q.current, q.orders, T(l, "电流谐波（通道 A）", "Current harmonics (channel A)"), kColorA);
    html += "<h3>" + T(l, "数值", "Values") + "</h3>\n" + ValueTable(l, q);
    return html + "</section>\n";
}

std::string LocalAnalysisPage(UiLanguage l, const ShownRecord& record, int orders) {
    const std::string lang = l == UiLanguage::kEnglish ? " lang=\"en\"" : " lang=\"zh-CN\"";
    return "<!DOCTYPE html><html" + lang + "><head><meta charset=\"utf-8\"><title>" +
           T(l, "本地分析", "Local analysis") +
           "</title><style>table{border-collapse:collapse}th,td{border:1px solid #ccd;padding:2px 8px;"
           "text-align:left}</style></head><body>\n" +
           LocalAnalysisSection(l, record, orders) + "</body></html>";
}

std::string WithLocalAnalysis(const std::string& page, const std::string& section) {
    const std::size_t end = page.rfind("</body>");
    if (end == std::string::npos) return page + section;
    return page.substr(0, end) + section + page.substr(end);
}

}  // namespace orvanta
