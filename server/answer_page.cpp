#include "server/answer_page.h"

#include <vector>

#include "analysis/power_quality.h"
#include "analysis/svg_chart.h"
#include "card/card_layout.h"
#include "card/local_time.h"
#include "server/html_text.h"
#include "server/page_language.h"

namespace orvanta::server {
namespace {

using analysis::BarChart;
using analysis::ChannelQuality;
using analysis::ChartSeries;
using analysis::LineChart;
using analysis::PowerQuality;
using analysis::RenderBarChart;
using analysis::RenderLineChart;

constexpr const char* kColorB = "#1f5fbf";  // channel B, voltage
constexpr const char* kColorA = "#d9730d";  // channel A, current

// Scale factors from the waveform text's numbers to physical units.
constexpr double kVoltsPerCount = kTrendScaleB;    // channel B
constexpr double kAmperesPerCount = kTrendScaleA;  // channel A

std::vector<double> Scaled(const std::vector<std::int32_t>& counts, double factor) {
    std::vector<double> values;
    values.reserve(counts.size());
    for (std::int32_t c : counts) {
        values.push_back(c * factor);
    }
    return values;
}

// The period of the request's record: pairs 1 to 96 of the waveform text,
// whose numbers are already zero-corrected and scaled by the ratios, times
// the scale factors. A text with fewer pairs leaves the rest 0.
PowerQuality AnalyseForm(const AnalysisForm& form) {
    analysis::PeriodSamples period;
    for (int k = 0; k < analysis::kPeriodSamples; ++k) {
        const std::size_t pair = static_cast<std::size_t>(analysis::kFirstPeriodPair + k);
        if (pair < form.channelB.size()) period.volts[k] = form.channelB[pair] * kVoltsPerCount;
        if (pair < form.channelA.size()) period.amperes[k] = form.channelA[pair] * kAmperesPerCount;
    }
    static const analysis::CPowerQualityAnalyser analyser;
    return analyser.Analyse(period);
}

// A figure with its unit, or a dash when it is undefined.
std::string Figure(const std::optional<double>& value, int decimals, const std::string& unit = {}) {
    return value ? FormatFixed(*value, decimals) + unit : "—";
}

std::string Row(std::string_view label, const std::string& valueHtml, std::string_view id = {}) {
    std::string row = "<tr><th>";
    row += label;
    row += "</th><td class=\"value\"";
    if (!id.empty()) {
        row += " id=\"";
        row += id;
        row += "\"";
    }
    row += ">" + valueHtml + "</td></tr>\n";
    return row;
}

std::string TimesSection(const AnalysisForm& form, PageLanguage l) {
    std::string html = "<section id=\"times\">\n<h2>" + Tr(l, "时间", "Times") + "</h2>\n<table>\n";
    html += Row(Tr(l, "所选时间", "Selected time"), HtmlEscape(FormatLocalTime(form.selectedTime)), "selected-time");
    // Time value 0 is the card's "no record", not a moment of 1970.
    const std::string actual = form.actualTime > 0 ? HtmlEscape(FormatLocalTime(form.actualTime))
                                                   : Tr(l, "未找到记录", "No record found");
    html += Row(Tr(l, "记录时间", "Record time"), actual, "actual-time");
    html += "</table>\n";
    if (form.device.driveCode == 1) {
        html += "<p class=\"note\" id=\"no-card-note\">" +
                Tr(l, "请求中没有存储卡的数据（设备记录的驱动器代码为 1）：没有可分析的记录，因此不显示任何数值。",
                   "The request carries no data of a memory card (the device record's drive code is 1): there is "
                   "no record to analyse, so no figures are shown.") +
                "</p>\n";
    }
    if (form.actualTime == 0) {
        html += "<p class=\"note\" id=\"no-record-note\">" +
                Tr(l, "卡上没有找到所选时间的记录（记录时间为 0）：没有可分析的数据。",
                   "No record of the selected time was found on the card (record time 0): there is nothing to "
                   "analyse.") +
                "</p>\n";
    } else if (form.actualTime < 0) {
        html += "<p class=\"note\" id=\"no-record-note\">" +
                Tr(l, "记录时间无效（", "The record time is not valid (") + std::to_string(form.actualTime) +
                Tr(l, "）：没有可分析的数据。", "): there is nothing to analyse.") + "</p>\n";
    }
    if (form.actualTime != form.selectedTime) {
        const long long diff = static_cast<long long>(form.actualTime) - form.selectedTime;
        html += "<p class=\"note\" id=\"time-differs-note\">" +
                Tr(l, "注意：记录时间与所选时间不同", "Note: the record time differs from the selected time");
        if (form.actualTime > 0) {
            html += Tr(l, "（相差 ", " (by ") + std::to_string(diff) + Tr(l, " 秒）", " s)");
        }
        html += Tr(l, "。", ".") + "</p>\n";
    }
    html += "</section>\n";
    return html;
}

std::string DeviceSection(const DeviceRecord& device, PageLanguage l) {
    std::string html = "<section id=\"device\">\n<h2>" + Tr(l, "设备记录", "Device record") + "</h2>\n<table>\n";
    std::string drive = HtmlEscape(DriveLabel(device.driveCode, l));
    if (device.driveCode == 1) {
        drive += Tr(l, "（未找到存储卡）", " (no memory card found)");
    }
    html += Row(Tr(l, "驱动器", "Drive"), drive, "drive");
    html += Row(Tr(l, "记录仪序列号", "Recorder serial number"), std::to_string(device.serial), "serial");
    html += Row(Tr(l, "设备字节", "Device byte"), std::to_string(device.deviceByte), "device-byte");
    html += Row(Tr(l, "通道 A 变比（取整）", "Channel A ratio (whole part)"), std::to_string(device.ratioA), "ratio-a");
    html += Row(Tr(l, "通道 B 变比（取整）", "Channel B ratio (whole part)"), std::to_string(device.ratioB), "ratio-b");
    html += "</table>\n</section>\n";
    return html;
}

std::string ThdText(const ChannelQuality& c, PageLanguage l) {
    return c.thdF ? FormatFixed(*c.thdF, 2) + "%" : Tr(l, "—（无基波）", "— (no fundamental)");
}

std::string SummaryRow(const std::string& name, const char* suffix, const ChannelQuality& c, const char* unit,
                       int decimals, PageLanguage l) {
    const std::string tail = suffix;
    return "<tr><th>" + name + "</th><td class=\"value\"><span id=\"rms-" + tail + "\">" +
           FormatFixed(c.rms, decimals) + " " + unit + "</span></td><td class=\"value\"><span id=\"thd-" + tail +
           "\">" + ThdText(c, l) + "</span></td><td>" + FormatFixed(c.harmonic[1], decimals) + " " + unit +
           "</td><td id=\"crest-" + tail + "\">" + Figure(c.crest, 3) + "</td></tr>\n";
}

std::string SummarySection(const PowerQuality& q, PageLanguage l) {
    std::string html = "<section id=\"summary\">\n<h2>" +
                       Tr(l, "有效值与总谐波畸变率", "RMS and total harmonic distortion") + "</h2>\n<table>\n";
    html += "<tr><th></th><th>" + Tr(l, "有效值", "RMS") + "</th><th>" +
            Tr(l, "总谐波畸变率（THD）", "Total harmonic distortion (THD)") + "</th><th>" +
            Tr(l, "基波有效值", "Fundamental (RMS)") + "</th><th>" + Tr(l, "波峰因数", "Crest factor") +
            "</th></tr>\n";
    html += SummaryRow(Tr(l, "通道 B（电压）", "Channel B (voltage)"), "b", q.voltage, "V", 2, l);
    html += SummaryRow(Tr(l, "通道 A（电流）", "Channel A (current)"), "a", q.current, "A", 3, l);
    html += "</table>\n</section>\n";
    return html;
}

std::string PowerSection(const PowerQuality& q, PageLanguage l) {
    std::string html = "<section id=\"power\">\n<h2>" + Tr(l, "功率", "Power") + "</h2>\n<table>\n";
    html += Row(Tr(l, "有功功率 P", "Active power P"), FormatFixed(q.p, 2) + " W", "p");
    html += Row(Tr(l, "视在功率 S", "Apparent power S"), FormatFixed(q.s, 2) + " VA", "s");
    html += Row(Tr(l, "基波无功功率 Q₁（电流滞后为正）", "Fundamental reactive power Q₁ (positive when the current lags)"),
                FormatFixed(q.q1, 2) + " var", "q1");
    html += Row(Tr(l, "功率因数 PF", "Power factor PF"), Figure(q.pf, 4), "pf");
    html += Row(Tr(l, "位移功率因数 DPF", "Displacement power factor DPF"), Figure(q.dpf, 4), "dpf");
    html += Row(Tr(l, "电流 K 系数", "Current K-factor"), Figure(q.kFactor, 3), "k-factor");
    html += "</table>\n</section>\n";
    return html;
}

std::string WaveSection(const AnalysisForm& form, PageLanguage l) {
    LineChart chart;
    chart.title = Tr(l, "两通道波形", "Waveform of both channels");
    chart.xLabel =
        Tr(l, "采样序号（每个基波周期 96 个采样；分析第 1 至 96 个）",
           "Sample number (96 samples a fundamental period; samples 1 to 96 are analysed)");
    chart.xFirst = 0.0;
    chart.markFirst = analysis::kFirstPeriodPair;
    chart.markLast = analysis::kFirstPeriodPair + analysis::kPeriodSamples - 1;
    chart.markLabel = Tr(l, "分析的周期（第 1–96 个采样）", "Period analysed (samples 1–96)");
    chart.series.push_back(
        {Tr(l, "通道 B 电压", "Channel B voltage"), "V", kColorB, Scaled(form.channelB, kVoltsPerCount)});
    chart.series.push_back(
        {Tr(l, "通道 A 电流", "Channel A current"), "A", kColorA, Scaled(form.channelA, kAmperesPerCount)});
    return "<section id=\"waveform\">\n<h2>" + Tr(l, "波形", "Waveform") + "</h2>\n" + RenderLineChart(chart) +
           "</section>\n";
}

// The harmonic contents as a table in four column pairs.
std::string HarmonicTable(const std::vector<double>& percent, PageLanguage l) {
    const int orders = static_cast<int>(percent.size()) - 1;
    const std::string order = Tr(l, "次数", "Order");
    const std::string content = Tr(l, "含量", "Content");
    std::string html = "<table class=\"harmonic-table\">\n<tr>";
    for (int c = 0; c < 4; ++c) html += "<th>" + order + "</th><th>" + content + "</th>";
    html += "</tr>\n";
    const int rows = (orders + 3) / 4;
    for (int r = 0; r < rows; ++r) {
        html += "<tr>";
        for (int c = 0; c < 4; ++c) {
            const int h = 1 + r + c * rows;
            if (h <= orders) {
                html += "<td>" + std::to_string(h) + "</td><td>" + FormatFixed(percent[h], 2) + "%</td>";
            }
        }
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

std::string SpectrumSection(const char* id, const std::string& title, const char* color, const ChannelQuality& c,
                            int orders, PageLanguage l) {
    std::string html = "<section id=\"";
    html += id;
    // The heading stays with its chart on paper (class keep).
    html += "\">\n<div class=\"keep\"><h2>" + title + "</h2>\n";
    if (!c.thdF) {
        html += "<p class=\"note\">" +
                Tr(l, "该通道的波形没有基波分量，无法给出谐波含量。",
                   "The channel's waveform has no fundamental component: no harmonic contents can be given.") +
                "</p>\n</div></section>\n";
        return html;
    }
    BarChart chart;
    chart.title = title + Tr(l, "：各次谐波含量（基波的百分比）", ": harmonic contents (percent of the fundamental)");
    chart.xLabel = Tr(l, "谐波次数", "Harmonic order");
    chart.color = color;
    chart.firstCategory = 1;
    chart.clipAbove = 99.0;
    std::vector<double> percent;
    for (int h = 0; h <= orders; ++h) percent.push_back(100.0 * c.harmonic[h] / c.harmonic[1]);
    chart.values.assign(percent.begin() + 1, percent.end());
    html += RenderBarChart(chart) + "</div>\n";
    // Folded on the screen, printed unfolded.
    const std::string table = HarmonicTable(percent, l);
    html += "<details><summary>" + Tr(l, "各次谐波含量表", "Table of harmonic contents") + "</summary>\n" + table +
            "</details>\n<div class=\"print-only\">\n" + table + "</div>\n</section>\n";
    return html;
}

std::string TrendSection(const std::vector<TrendPoint>& trend, PageLanguage l) {
    std::string html = "<section id=\"trend\">\n<h2>" + Tr(l, "有效值趋势", "RMS trend") + "</h2>\n";
    if (trend.empty()) {
        html += "<p class=\"note\" id=\"no-trend-note\">" +
                Tr(l, "没有趋势数据：从该记录起卡上没有有效记录。",
                   "No trend data: the card holds no valid records from this record on.") +
                "</p>\n</section>\n";
        return html;
    }
    LineChart chart;
    chart.title = Tr(l, "有效值趋势", "RMS trend");
    chart.xLabel = Tr(l, "记录序号（自所选记录起，共 ", "Record number (from the selected record on, ") +
                   std::to_string(trend.size()) + Tr(l, " 条）", " records)");
    chart.xFirst = 1.0;
    chart.height = 260;
    ChartSeries b{Tr(l, "通道 B 有效值", "Channel B RMS"), "V", kColorB, {}};
    ChartSeries a{Tr(l, "通道 A 有效值", "Channel A RMS"), "A", kColorA, {}};
    for (const TrendPoint& p : trend) {
        b.values.push_back(p.b);
        a.values.push_back(p.a);
    }
    chart.series.push_back(std::move(b));
    chart.series.push_back(std::move(a));
    html += RenderLineChart(chart);
    html += "</section>\n";
    return html;
}

}  // namespace

std::string FormatLocalTime(std::int32_t seconds) {
    return FormatLocalStandard(seconds) + " " + FormatUtcOffset(StandardUtcOffset(seconds));
}

std::string DriveLabel(std::int32_t driveCode, PageLanguage l) {
    if (driveCode == 1) {
        return Tr(l, "无卡", "no card");
    }
    if (driveCode >= 'A' && driveCode <= 'Z') {
        return std::string(1, static_cast<char>(driveCode)) + ":";
    }
    if (driveCode >= 'a' && driveCode <= 'z') {
        return std::string(1, static_cast<char>(driveCode - 'a' + 'A')) + ":";
    }
    return Tr(l, "未知（代码 ", "unknown (code ") + std::to_string(driveCode) + Tr(l, "）", ")");
}

std::string RenderAnswerPage(const AnalysisForm& form, PageLanguage l) {
    std::string body = TimesSection(form, l);
    if (form.device.driveCode == 1 || form.actualTime <= 0) {
        // No card or no record: the samples are placeholders, not
        // measurements, so no figure is drawn from them.
        body += DeviceSection(form.device, l);
        const bool noCard = form.device.driveCode == 1;
        return SimplePage(noCard ? Tr(l, "未找到存储卡", "No memory card") : Tr(l, "没有记录", "No record"), body,
                          l == PageLanguage::kEnglish);
    }
    const PowerQuality q = AnalyseForm(form);
    body += "<div class=\"cols\">\n" + DeviceSection(form.device, l) + SummarySection(q, l) + "</div>\n";
    body += PowerSection(q, l);
    body += WaveSection(form, l);
    body += "<div class=\"cols\">\n";
    body += SpectrumSection("spectrum-b", Tr(l, "通道 B（电压）谐波", "Channel B (voltage) harmonics"), kColorB, q.voltage, q.orders, l);
    body += SpectrumSection("spectrum-a", Tr(l, "通道 A（电流）谐波", "Channel A (current) harmonics"), kColorA, q.current, q.orders, l);
    body += "</div>\n";
    body += TrendSection(form.trend, l);
    body += "<p style=\"color:#6b7785\" id=\"period-note\">" +
            Tr(l,
               "记录仪每个基波周期采样 96 次：分析记录 126 个采样中的第 1 至 96 个（一个周期），计算 1 至 " +
                   std::to_string(q.orders) +
                   " 次谐波；这是每秒一个周期的抽样，不是 IEC 61000-4-30 A 级的连续测量。"
                   "电压 2.531745 V/计数，电流 0.019419 A/计数。Orvanta 参考分析服务器。",
               "The recorder samples 96 times a fundamental period: samples 1 to 96 of the record's 126 (one "
               "period) are analysed, for harmonics 1 to " +
                   std::to_string(q.orders) +
                   "; this is a sample of one period a second, not the gapless measurement of IEC 61000-4-30 "
                   "class A. Voltage 2.531745 V per count, current 0.019419 A per count. Orvanta reference "
                   "analysis server.") +
            "</p>";
    return SimplePage(Tr(l, "谐波分析结果", "Harmonic analysis"), body, l == PageLanguage::kEnglish);
}

std::string RenderErrorPage(int status, std::string_view title, std::string_view message, std::string_view field,
                            PageLanguage l) {
    std::string body = "<div class=\"error\" id=\"error\">\n<p>";
    body += HtmlEscape(message);
    body += "</p>\n";
    if (!field.empty()) {
        body += "<p>" + Tr(l, "出错的字段：", "Field at fault: ") + "<code id=\"bad-field\">";
        body += HtmlEscape(field);
        body += "</code></p>\n";
    }
    body += "<p>" + Tr(l, "HTTP 状态 ", "HTTP status ") + std::to_string(status) + "</p>\n</div>\n";
    return SimplePage(title, body, l == PageLanguage::kEnglish);
}

std::string RenderStatusPage(std::string_view listenUrl, std::uint64_t requestsServed, PageLanguage l) {
    std::string body = "<section>\n<p>" + Tr(l, "服务器正在运行。", "The server is running.") + "</p>\n<table>\n";
    body += Row(Tr(l, "分析地址", "Analysis address"), "<code>POST " + HtmlEscape(listenUrl) + "/analysis</code>");
    body += Row(Tr(l, "表单字段", "Form fields"),
                "<code>selectedTime</code>, <code>actualTime</code>, <code>data</code>, "
                "<code>data1</code>, <code>data2</code>");
    body += Row(Tr(l, "请求头", "Request headers"), "<code>Content-Type: application/x-www-form-urlencoded</code>, "
                                                    "<code>Api-Version: 1.0.0</code>, <code>User-ID</code>, "
                                                    "<code>Password</code>");
    body += Row(Tr(l, "已处理请求", "Requests served"), std::to_string(requestsServed));
    body += "</table>\n</section>\n";
    return SimplePage(Tr(l, "Orvanta 参考分析服务器", "Orvanta reference analysis server"), body,
                      l == PageLanguage::kEnglish);
}

}  // namespace orvanta::server
