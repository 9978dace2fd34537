#include "analysis/report_html.h"

#include <cstdio>
#include <cstring>

#include "analysis/report_svg.h"
#include "card/local_time.h"
#include "dialogcore/html_text.h"

namespace orvanta {
namespace analysis {
namespace {

// Events listed one by one at most; the table counts them all.
constexpr std::size_t kListedEvents = 500;

const Bilingual kTitle{"电能质量报告", "Power-quality report"};
const Bilingual kCard{"记录卡", "Card"};
const Bilingual kCardValue{"驱动器 %1:，序列号 %2", "drive %1:, serial %2"};
const Bilingual kRange{"记录的时间跨度（当地标准时间）", "Records from, to (local standard time)"};
const Bilingual kWholeCard{"整张卡", "the whole card"};
const Bilingual kAsked{"所选范围", "Range asked"};
const Bilingual kOpenStart{"最早记录", "the oldest record"};
const Bilingual kOpenEnd{"最新记录", "the newest record"};
const Bilingual kRecords{"记录数", "Records"};
const Bilingual kIntervals{"10 分钟区间", "10-minute intervals"};
const Bilingual kGaps{"间断（相邻记录相隔超过 2 秒）", "Gaps (consecutive records more than 2 s apart)"};
const Bilingual kGapsValue{"%1 处，共 %2 秒", "%1, %2 s in all"};
const Bilingual kNominal{"标称电压 U", "Nominal voltage U"};
const Bilingual kOrders{"谐波次数 N", "Harmonic orders N"};
const Bilingual kIncomplete{"扫描未完成：%1。以下数字只含此前读到的记录。",
                            "The scan did not finish: %1. The figures hold only the records read before."};
const Bilingual kVerdicts{"判定", "Verdicts"};
const Bilingual kCriterion{"判据", "Criterion"};
const Bilingual kFigure{"数值", "Figure"};
const Bilingual kLimit{"限值", "Limit"};
const Bilingual kResult{"结论", "Result"};
const Bilingual kMet{"符合", "met"};
const Bilingual kNotMet{"不符合", "not met"};
const Bilingual kNoFigure{"无数据", "no data"};
const Bilingual kChartV10{"10 分钟电压有效值 v10 与 ±10 % 范围", "10-minute RMS voltage v10 with the ±10 % band"};
const Bilingual kChartThd{"10 分钟电压总谐波畸变率 v_thd_f10 与 8 % 限值",
                          "10-minute voltage THD-F v_thd_f10 with the 8 % line"};
const Bilingual kChartHarmonics{"各次电压谐波的 95 % 概率值与 EN 50160 限值（红线）",
                                "95th percentile of each voltage harmonic against EN 50160's limit (red marks)"};
const Bilingual kEventsTable{"电压暂降、暂升与中断（EN 50160 分类）", "Dips, swells and interruptions (EN 50160's table)"};
const Bilingual kDips{"暂降与中断，剩余电压 u", "Dips and interruptions, residual voltage u"};
const Bilingual kSwells{"暂升，电压 u", "Swells, voltage u"};
const Bilingual kDuration{"持续时间 d（整秒）", "Duration d (whole seconds)"};
const Bilingual kInterruptions{"中断：短时（d ≤ 180 s）%1 次，长时 %2 次",
                               "Interruptions: %1 short (d ≤ 180 s), %2 long"};
const Bilingual kEventsList{"事件列表", "List of events"};
const Bilingual kNoEvents{"范围内没有事件。", "No events in the range."};
const Bilingual kMoreEvents{"另有 %1 个事件未列出（见上表）。", "%1 more events are not listed (the table counts them)."};
const Bilingual kListHead{"<th>类型</th><th>开始</th><th>结束</th><th>持续 (s)</th><th>极值 (V)</th><th>记录数</th>",
                          "<th>Kind</th><th>Start</th><th>End</th><th>Duration (s)</th><th>Extreme (V)</th><th>Records</th>"};
const Bilingual kDip{"暂降", "dip"};
const Bilingual kInterruption{"中断", "interruption"};
const Bilingual kSwell{"暂升", "swell"};
const Bilingual kNotEnded{"（未结束）", " (not ended)"};
const Bilingual kBasis{"依据说明", "Basis"};
const Bilingual kBasisText{
    "本报告在本机计算，依据每秒记录中的一个周期（96 个采样点）：这是抽样，而不是 IEC 61000-4-30 A 级的无间断测量。"
    "短于一秒的暂降可能漏记，事件持续时间的误差为 ±1 秒；因此 EN 50160 表中一秒以下的各列无法区分，全部计入第一列（d ≤ 1 s）。"
    "10 分钟值是区间内各记录值的均方根（IEC 61000-4-30 的聚合方式），百分位数按最近秩计算。"
    "IEEE 519 的单次谐波限值只对第 2 至 25 次判定。",
    "This report was computed on this computer from one period (96 samples) of each second's record: that is a sample, "
    "not the gapless measurement of IEC 61000-4-30 class A. Dips shorter than a second may be missed, and durations "
    "are ±1 s; the standard's sub-second duration columns cannot be told apart, so the first column (d ≤ 1 s) holds "
    "them all. 10-minute values are the root of the mean of the squares of the records' values in the interval "
    "(IEC 61000-4-30's aggregation); percentiles are nearest rank. IEEE 519's limit for each harmonic is judged on "
    "orders 2 to 25."};
const Bilingual kTddNoIsc{"（未给出 Isc：按最严一行 Isc/IL < 20）", " (no Isc given: the strictest row, Isc/IL < 20)"};

const char* const kDipRowsText[kDipRows] = {"90 > u ≥ 80", "80 > u ≥ 70", "70 > u ≥ 40", "40 > u ≥ 5", "u < 5"};
const char* const kSwellRowsText[kSwellRows] = {"u ≥ 120", "120 > u > 110"};
const char* const kColumnsText[kDurationColumns] = {"d ≤ 1", "1 < d ≤ 5", "5 < d ≤ 60", "d > 60"};

std::string Format(const char* pattern, double value) {
    char text[48];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string Percent(std::optional<double> value) { return value ? Format("%.2f %%", *value) : "—"; }

std::string Row(const std::string& head, const std::string& value) {
    return "<tr><th>" + HtmlEscaped(head) + "</th><td>" + HtmlEscaped(value) + "</td></tr>\n";
}

std::string VerdictFigure(const Verdict& v) {
    if (!v.figure) return "—";
    if (std::strcmp(v.name, "en50160_voltage") == 0) return Format("%.2f %%", *v.figure * 100.0);
    if (std::strcmp(v.name, "en50160_harmonics") == 0) return Format("%.0f %%", *v.figure * 100.0);
    return Format("%.2f %%", *v.figure);
}

std::string VerdictLimit(const Verdict& v, UiLanguage language) {
    if (std::strcmp(v.name, "en50160_voltage") == 0) {
        return "≥ " + Format("%.0f %%", v.limit * 100.0) +
               (language == UiLanguage::kEnglish ? " of intervals within U ± 10 %" : " 的区间在 U ± 10 % 内");
    }
    if (std::strcmp(v.name, "en50160_harmonics") == 0) {
        return language == UiLanguage::kEnglish ? "each ≤ 100 % of its limit" : "各次 ≤ 其限值的 100 %";
    }
    return "≤ " + Format("%.4g %%", v.limit);
}

std::string Table(const char* const* rows, int rowCount, const std::array<std::uint64_t, kDurationColumns>* counts, const std::string& caption,
                  UiLanguage language) {
    std::string html = "<table class=\"grid\"><tr><th>" + HtmlEscaped(caption) + "</th><th colspan=\"4\">" +
                       HtmlEscaped(In(language, kDuration)) + "</th></tr><tr><th></th>";
    for (const char* column : kColumnsText) html += "<th>" + HtmlEscaped(column) + "</th>";
    html += "</tr>\n";
    for (int r = 0; r < rowCount; ++r) {
        html += "<tr><th>" + HtmlEscaped(rows[r]) + "</th>";
        for (int c = 0; c < kDurationColumns; ++c) {
            html += "<td>" + std::to_string(counts[r][c]) + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

std::string EventsList(const std::vector<PowerEvent>& events, UiLanguage language) {
    if (events.empty()) return "<p>" + HtmlEscaped(In(language, kNoEvents)) + "</p>\n";
    std::string html = "<table class=\"grid\"><tr>" + std::string(In(language, kListHead)) + "</tr>\n";
    for (std::size_t i = 0; i < events.size() && i < kListedEvents; ++i) {
        const PowerEvent& e = events[i];
        const Bilingual& kind = e.kind == EventKind::kSwell ? kSwell
                                : e.kind == EventKind::kInterruption ? kInterruption
                                                                      : kDip;
        html += "<tr><td>" + HtmlEscaped(std::string(In(language, kind)) + (e.ended ? "" : In(language, kNotEnded))) +
                "</td><td>" + HtmlEscaped(FormatLocalStandard(e.start)) + "</td><td>" +
                HtmlEscaped(FormatLocalStandard(e.end)) + "</td><td>" + std::to_string(e.DurationSeconds()) +
                "</td><td>" + std::to_string(e.extreme) + "</td><td>" + std::to_string(e.records) + "</td></tr>\n";
    }
    html += "</table>\n";
    if (events.size() > kListedEvents) {
        html += "<p>" + HtmlEscaped(FillPlaces(In(language, kMoreEvents), {std::to_string(events.size() - kListedEvents)})) +
                "</p>\n";
    }
    return html;
}

std::vector<ChartPoint> PointsOf(const std::vector<IntervalValues>& intervals, int quantity) {
    std::vector<ChartPoint> points;
    for (const IntervalValues& interval : intervals) {
        if (interval.values[quantity]) points.push_back({interval.start, *interval.values[quantity]});
    }
    return points;
}

const char kStyle[] =
    "@page{size:A4;margin:14mm}"
    "body{font-family:sans-serif;font-size:10pt;max-width:182mm;margin:0 auto;color:#111}"
    "h1{font-size:16pt}h2{font-size:12pt;margin-top:1.2em;page-break-after:avoid}"
    "table{border-collapse:collapse;margin:.4em 0}th,td{padding:2px 6px;text-align:left}"
    "table.grid th,table.grid td{border:1px solid #999}td{font-variant-numeric:tabular-nums}"
    ".met{color:#060;font-weight:bold}.notmet{color:#b00;font-weight:bold}.warn{color:#b00}"
    "svg.chart{width:100%;height:auto;font-size:10px;page-break-inside:avoid}"
    "table,figure{page-break-inside:avoid}";

}  // namespace

std::string VerdictCaption(const char* name, UiLanguage language) {
    static const struct {
        const char* name;
        Bilingual caption;
    } kCaptions[] = {
        {"en50160_voltage", {"EN 50160 电压偏差（10 分钟值）", "EN 50160 voltage variation (10-minute values)"}},
        {"en50160_thd", {"EN 50160 电压 THD 95 % 值", "EN 50160 voltage THD, 95th percentile"}},
        {"en50160_harmonics", {"EN 50160 各次谐波 95 % 值（最大占限值比）",
                               "EN 50160 harmonics, 95th percentiles (largest share of its limit)"}},
        {"ieee519_voltage_thd", {"IEEE 519 电压 THD 95 % 值", "IEEE 519 voltage THD, 95th percentile"}},
        {"ieee519_voltage_harmonics", {"IEEE 519 单次电压谐波 95 % 值（最大）",
                                       "IEEE 519 individual voltage harmonic, 95th percentile (largest)"}},
        {"ieee519_tdd", {"IEEE 519 电流 TDD 95 % 值", "IEEE 519 current TDD, 95th percentile"}},
    };
    for (const auto& entry : kCaptions) {
        if (std::strcmp(entry.name, name) == 0) return In(language, entry.caption);
    }
    return name;
}

std::string ReportHtml(const RangeReport& report, UiLanguage language) {
    const ReportFigures& f = report.figures;
    const bool english = language == UiLanguage::kEnglish;
    const auto t = [language](const Bilingual& text) { return std::string(In(language, text)); };
    std::string html = std::string("<!DOCTYPE html>\n<html lang=\"") + (english ? "en" : "zh-CN") +
                       "\"><head><meta charset=\"utf-8\"><title>" + HtmlEscaped(t(kTitle)) + "</title><style>" +
                       kStyle + "</style></head><body>\n<h1>" + HtmlEscaped(t(kTitle)) + "</h1>\n";
    if (report.status != OverviewStatus::kDone) {
        html += "<p class=\"warn\">" + HtmlEscaped(FillPlaces(t(kIncomplete), {report.message})) + "</p>\n";
    }

    html += "<table>\n";
    html += Row(t(kCard), FillPlaces(t(kCardValue), {std::string(1, report.letter ? report.letter : '?'),
                                                     std::to_string(report.serial)}));
    const TimeRange& asked = report.range;
    if (asked.hasFrom || asked.hasTo) {
        html += Row(t(kAsked), (asked.hasFrom ? FormatLocalStandard(asked.from) : t(kOpenStart)) + " – " +
                                   (asked.hasTo ? FormatLocalStandard(asked.to) : t(kOpenEnd)));
    }
    std::string range = t(kWholeCard);
    if (f.records > 0) range = FormatLocalStandard(f.first) + " – " + FormatLocalStandard(f.last);
    html += Row(t(kRange), range);
    html += Row(t(kRecords), std::to_string(f.records));
    html += Row(t(kIntervals), std::to_string(f.intervals.size()));
    html += Row(t(kGaps), FillPlaces(t(kGapsValue), {std::to_string(f.gaps.count), std::to_string(f.gaps.seconds)}));
    html += Row(t(kNominal), std::to_string(f.settings.nominalVolts) + " V");
    html += Row(t(kOrders), std::to_string(f.settings.orders));
    if (f.settings.il) {
        std::string load = "IL " + Format("%.6g A", *f.settings.il);
        if (f.settings.isc) load += ", Isc " + Format("%.6g A", *f.settings.isc);
        html += Row("IEEE 519", load);
    }
    html += "</table>\n";

    html += "<h2>" + HtmlEscaped(t(kVerdicts)) + "</h2>\n<table class=\"grid\"><tr><th>" + HtmlEscaped(t(kCriterion)) +
            "</th><th>" + HtmlEscaped(t(kFigure)) + "</th><th>" + HtmlEscaped(t(kLimit)) + "</th><th>" +
            HtmlEscaped(t(kResult)) + "</th></tr>\n";
    for (const Verdict& v : f.verdicts) {
        std::string caption = VerdictCaption(v.name, language);
        if (std::strcmp(v.name, "ieee519_tdd") == 0 && !f.settings.isc) caption += t(kTddNoIsc);
        const char* result = !v.figure ? In(language, kNoFigure) : v.met ? In(language, kMet) : In(language, kNotMet);
        html += "<tr><td>" + HtmlEscaped(caption) + "</td><td>" + HtmlEscaped(VerdictFigure(v)) + "</td><td>" +
                HtmlEscaped(VerdictLimit(v, language)) + "</td><td class=\"" + (v.met ? "met" : "notmet") + "\">" +
                HtmlEscaped(result) + "</td></tr>\n";
    }
    html += "</table>\n";

    const double u = f.settings.nominalVolts;
    const std::int32_t join = CIntervalAggregate::kIntervalSeconds;
    html += "<h2>" + HtmlEscaped(t(kChartV10)) + "</h2>\n" +
            TimeChartSvg(PointsOf(f.intervals, kVRms), join,
                         {{1.1 * u, "U + 10 %"}, {0.9 * u, "U − 10 %"}}, true, "V") + "\n";
    html += "<p>v10 min " + HtmlEscaped(f.v10Min ? Format("%.2f V", *f.v10Min) : "—") + ", max " +
            HtmlEscaped(f.v10Max ? Format("%.2f V", *f.v10Max) : "—") + "; v_thd_f p95 " +
            HtmlEscaped(Percent(f.vThdFP95)) + "; i_thd_f p95 " + HtmlEscaped(Percent(f.iThdFP95)) +
            (f.settings.il ? "; TDD p95 " + HtmlEscaped(Percent(f.tddP95)) : "") + "</p>\n";
    html += "<h2>" + HtmlEscaped(t(kChartThd)) + "</h2>\n" +
            TimeChartSvg(PointsOf(f.intervals, kVThdF), join, {{kEn50160ThdLimit, "8 %"}}, false, "%") + "\n";
    std::vector<ChartBar> bars;
    for (int h = kFirstTableHarmonic; h <= kLastTableHarmonic; ++h) {
        bars.push_back({std::to_string(h), f.harmonicP95[h - kFirstTableHarmonic], En50160HarmonicLimit(h)});
    }
    html += "<h2>" + HtmlEscaped(t(kChartHarmonics)) + "</h2>\n" + BarChartSvg(bars, "%") + "\n";

    html += "<h2>" + HtmlEscaped(t(kEventsTable)) + "</h2>\n";
    html += Table(kDipRowsText, kDipRows, f.dips.data(), t(kDips), language);
    html += Table(kSwellRowsText, kSwellRows, f.swells.data(), t(kSwells), language);
    html += "<p>" + HtmlEscaped(FillPlaces(t(kInterruptions), {std::to_string(f.interruptionsShort),
                                                                 std::to_string(f.interruptionsLong)})) + "</p>\n";
    html += "<h2>" + HtmlEscaped(t(kEventsList)) + "</h2>\n" + EventsList(f.events, language);
    html += "<h2>" + HtmlEscaped(t(kBasis)) + "</h2>\n<p>" + HtmlEscaped(t(kBasisText)) + "</p>\n";
    return html + "</body></html>\n";
}

}  // namespace analysis
}  // namespace orvanta
