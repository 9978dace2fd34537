#include "server/answer_page.h"

#include <vector>

#include "card/local_time.h"
#include "server/harmonics.h"
#include "server/html_text.h"
#include "server/svg_chart.h"

namespace orvanta::server {
namespace {

constexpr const char* kColorB = "#1f5fbf";  // channel B, voltage
constexpr const char* kColorA = "#d9730d";  // channel A, current

std::vector<double> Scaled(const std::vector<std::int32_t>& counts, double factor) {
    std::vector<double> values;
    values.reserve(counts.size());
    for (std::int32_t c : counts) {
        values.push_back(c * factor);
    }
    return values;
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

std::string TimesSection(const AnalysisForm& form) {
    std::string html = "<section id=\"times\">\n<h2>时间</h2>\n<table>\n";
    html += Row("所选时间", HtmlEscape(FormatLocalTime(form.selectedTime)), "selected-time");
    html += Row("记录时间", HtmlEscape(FormatLocalTime(form.actualTime)), "actual-time");
    html += "</table>\n";
    if (form.actualTime == 0) {
        html += "<p class=\"note\" id=\"no-record-note\">卡上没有找到所选时间的记录（记录时间为 0）："
                "以下数据不是该时刻的测量值。</p>\n";
    } else if (form.actualTime < 0) {
        html += "<p class=\"note\" id=\"no-record-note\">记录时间无效（" + std::to_string(form.actualTime) +
                "）：以下数据不是该时刻的测量值。</p>\n";
    }
    if (form.actualTime != form.selectedTime) {
        const long long diff = static_cast<long long>(form.actualTime) - form.selectedTime;
        html += "<p class=\"note\" id=\"time-differs-note\">注意：记录时间与所选时间不同";
        if (form.actualTime > 0) {
            html += "（相差 " + std::to_string(diff) + " 秒）";
        }
        html += "。</p>\n";
    }
    html += "</section>\n";
    return html;
}

std::string DeviceSection(const DeviceRecord& device) {
    std::string html = "<section id=\"device\">\n<h2>设备记录</h2>\n<table>\n";
    std::string drive = HtmlEscape(DriveLabel(device.driveCode));
    if (device.driveCode == 1) {
        drive += "（未找到存储卡）";
    }
    html += Row("驱动器", drive, "drive");
    html += Row("记录仪序列号", std::to_string(device.serial), "serial");
    html += Row("设备字节", std::to_string(device.deviceByte), "device-byte");
    html += Row("通道 A 变比（取整）", std::to_string(device.ratioA), "ratio-a");
    html += Row("通道 B 变比（取整）", std::to_string(device.ratioB), "ratio-b");
    html += "</table>\n</section>\n";
    return html;
}

std::string ThdText(const ChannelSpectrum& s) {
    return s.hasFundamental ? FormatFixed(s.thdPercent, 2) + "%" : std::string("—（无基波）");
}

std::string SummarySection(const ChannelSpectrum& b, const ChannelSpectrum& a) {
    std::string html = "<section id=\"summary\">\n<h2>有效值与总谐波畸变率</h2>\n<table>\n";
    html += "<tr><th></th><th>有效值</th><th>总谐波畸变率（THD）</th><th>基波幅值</th></tr>\n";
    html += "<tr><th>通道 B（电压）</th><td class=\"value\"><span id=\"rms-b\">" +
            FormatFixed(b.rmsCounts * kVoltsPerCount, 2) + " V</span></td><td class=\"value\"><span id=\"thd-b\">" +
            ThdText(b) + "</span></td><td>" + FormatFixed(b.amplitude[1] * kVoltsPerCount, 2) + " V</td></tr>\n";
    html += "<tr><th>通道 A（电流）</th><td class=\"value\"><span id=\"rms-a\">" +
            FormatFixed(a.rmsCounts * kAmperesPerCount, 3) + " A</span></td><td class=\"value\"><span id=\"thd-a\">" +
            ThdText(a) + "</span></td><td>" + FormatFixed(a.amplitude[1] * kAmperesPerCount, 3) + " A</td></tr>\n";
    html += "</table>\n</section>\n";
    return html;
}

std::string WaveSection(const AnalysisForm& form) {
    LineChart chart;
    chart.title = "两通道波形";
    chart.xLabel = "采样序号（126 个采样为一个基波周期）";
    chart.xFirst = 0.0;
    chart.series.push_back({"通道 B 电压", "V", kColorB, Scaled(form.channelB, kVoltsPerCount)});
    chart.series.push_back({"通道 A 电流", "A", kColorA, Scaled(form.channelA, kAmperesPerCount)});
    return "<section id=\"waveform\">\n<h2>波形</h2>\n" + RenderLineChart(chart) + "</section>\n";
}

std::string SpectrumSection(const char* id, const char* title, const char* color, const ChannelSpectrum& s) {
    std::string html = "<section id=\"";
    html += id;
    html += "\">\n<h2>";
    html += title;
    html += "</h2>\n";
    if (!s.hasFundamental) {
        html += "<p class=\"note\">该通道的波形没有基波分量，无法给出谐波含量。</p>\n</section>\n";
        return html;
    }
    BarChart chart;
    chart.title = std::string(title) + "：各次谐波含量（基波的百分比）";
    chart.xLabel = "谐波次数";
    chart.color = color;
    chart.firstCategory = 1;
    chart.clipAbove = 99.0;
    chart.values.assign(s.percent.begin() + 1, s.percent.end());
    html += RenderBarChart(chart);
    html += "<details><summary>各次谐波含量表</summary>\n<table class=\"harmonic-table\">\n"
            "<tr><th>次数</th><th>含量</th><th>次数</th><th>含量</th><th>次数</th><th>含量</th><th>次数</th><th>含量</th></tr>\n";
    const int rows = (kMaxHarmonicOrder + 3) / 4;
    for (int r = 0; r < rows; ++r) {
        html += "<tr>";
        for (int c = 0; c < 4; ++c) {
            const int h = 1 + r + c * rows;
            if (h <= kMaxHarmonicOrder) {
                html += "<td>" + std::to_string(h) + "</td><td>" + FormatFixed(s.percent[h], 2) + "%</td>";
            }
        }
        html += "</tr>\n";
    }
    html += "</table>\n</details>\n</section>\n";
    return html;
}

std::string TrendSection(const std::vector<TrendPoint>& trend) {
    std::string html = "<section id=\"trend\">\n<h2>有效值趋势</h2>\n";
    if (trend.empty()) {
        html += "<p class=\"note\" id=\"no-trend-note\">没有趋势数据：从该记录起卡上没有有效记录。</p>\n</section>\n";
        return html;
    }
    LineChart chart;
    chart.title = "有效值趋势";
    chart.xLabel = "记录序号（自所选记录起，共 " + std::to_string(trend.size()) + " 条）";
    chart.xFirst = 1.0;
    chart.height = 260;
    ChartSeries b{"通道 B 有效值", "V", kColorB, {}};
    ChartSeries a{"通道 A 有效值", "A", kColorA, {}};
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

std::string DriveLabel(std::int32_t driveCode) {
    if (driveCode == 1) {
        return "无卡";
    }
    if (driveCode >= 'A' && driveCode <= 'Z') {
        return std::string(1, static_cast<char>(driveCode)) + ":";
    }
    if (driveCode >= 'a' && driveCode <= 'z') {
        return std::string(1, static_cast<char>(driveCode - 'a' + 'A')) + ":";
    }
    return "未知（代码 " + std::to_string(driveCode) + "）";
}

std::string RenderAnswerPage(const AnalysisForm& form) {
    const ChannelSpectrum b = AnalyseChannel(form.channelB);
    const ChannelSpectrum a = AnalyseChannel(form.channelA);
    std::string body;
    body += TimesSection(form);
    body += "<div class=\"cols\">\n" + DeviceSection(form.device) + SummarySection(b, a) + "</div>\n";
    body += WaveSection(form);
    body += "<div class=\"cols\">\n";
    body += SpectrumSection("spectrum-b", "通道 B（电压）谐波", kColorB, b);
    body += SpectrumSection("spectrum-a", "通道 A（电流）谐波", kColorA, a);
    body += "</div>\n";
    body += TrendSection(form.trend);
    body += "<p style=\"color:#6b7785\">记录的 126 个采样按一个基波周期计算 1 至 31 次谐波；"
            "电压 2.531745 V/计数，电流 0.019419 A/计数。Orvanta 参考分析服务器。</p>";
    return SimplePage("谐波分析结果", body);
}

std::string RenderErrorPage(int status, std::string_view title, std::string_view message,
                            std::string_view field) {
    std::string body = "<div class=\"error\" id=\"error\">\n<p>";
    body += HtmlEscape(message);
    body += "</p>\n";
    if (!field.empty()) {
        body += "<p>出错的字段：<code id=\"bad-field\">";
        body += HtmlEscape(field);
        body += "</code></p>\n";
    }
    body += "<p>HTTP 状态 " + std::to_string(status) + "</p>\n</div>\n";
    return SimplePage(title, body);
}

std::string RenderStatusPage(std::string_view listenUrl, std::uint64_t requestsServed) {
    std::string body = "<section>\n<p>服务器正在运行。</p>\n<table>\n";
    body += Row("分析地址", "<code>POST " + HtmlEscape(listenUrl) + "/analysis</code>");
    body += Row("表单字段", "<code>selectedTime</code>、<code>actualTime</code>、<code>data</code>、"
                           "<code>data1</code>、<code>data2</code>");
    body += Row("请求头", "<code>Content-Type: application/x-www-form-urlencoded</code>、"
                         "<code>Api-Version: 1.0.0</code>、<code>User-ID</code>、<code>Password</code>");
    body += Row("已处理请求", std::to_string(requestsServed));
    body += "</table>\n</section>\n";
    return SimplePage("Orvanta 参考分析服务器", body);
}

}  // namespace orvanta::server
