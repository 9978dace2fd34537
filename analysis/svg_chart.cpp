#include "analysis/svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orvanta::analysis {
namespace {

// The chart's texts are the program's own: only the markup characters need
// escaping.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Num(double v) { return FormatFixed(v, 1); }

// Tick labels without needless decimals: as many as the step needs.
std::string TickLabel(double value, double step) {
    int decimals = 0;
    double s = std::fabs(step);
    while (decimals < 6 && s > 0.0 && std::fabs(s - std::round(s)) > 1e-9 * std::max(1.0, s)) {
        s *= 10.0;
        ++decimals;
    }
    if (std::fabs(value) < step * 1e-9) {
        value = 0.0;
    }
    return FormatFixed(value, decimals);
}

struct Frame {
    double left, top, right, bottom;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

double MapY(const Frame& f, const AxisScale& s, double v) {
    return f.bottom - (v - s.low) / (s.high - s.low) * f.Height();
}

std::string OpenSvg(int width, int height, const std::string& title) {
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" width=\"" +
                      std::to_string(width) + "\" height=\"" + std::to_string(height) +
                      "\" viewBox=\"0 0 " + std::to_string(width) + " " + std::to_string(height) +
                      "\" font-size=\"11\" font-family=\"sans-serif\">\n<title>" + Escaped(title) +
                      "</title>\n";
    svg += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(width) + "\" height=\"" +
           std::to_string(height) + "\" fill=\"#ffffff\"/>\n";
    return svg;
}

// Horizontal grid lines and tick labels of one vertical axis.
void DrawYAxis(std::string& svg, const Frame& f, const AxisScale& s, bool rightSide,
               const std::string& color, bool grid) {
    const int ticks = static_cast<int>(std::floor((s.high - s.low) / s.step + 1e-9));
    for (int i = 0; i <= ticks; ++i) {
        const double v = s.low + i * s.step;
        const double y = MapY(f, s, v);
        if (grid) {
            svg += "<line x1=\"" + Num(f.left) + "\" y1=\"" + Num(y) + "\" x2=\"" + Num(f.right) +
                   "\" y2=\"" + Num(y) + "\" stroke=\"" + (std::fabs(v) < s.step * 1e-9 ? "#9aa5b1" : "#e3e7ec") +
                   "\" stroke-width=\"1\"/>\n";
        }
        const double x = rightSide ? f.right + 5 : f.left - 5;
        svg += "<text x=\"" + Num(x) + "\" y=\"" + Num(y + 4) + "\" text-anchor=\"" +
               (rightSide ? "start" : "end") + "\" fill=\"" + color + "\">" + TickLabel(v, s.step) +
               "</text>\n";
    }
}

}  // namespace

std::string FormatFixed(double value, int decimals) {
    if (!std::isfinite(value)) {
        return "—";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);  // no "-0.00"
    }
    return text;
}

AxisScale NiceScale(double low, double high, int targetTicks) {
    AxisScale scale;
    if (!std::isfinite(low) || !std::isfinite(high)) {
        return scale;
    }
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);
    if (high - low < 1e-12) {
        high = low + 1.0;
    }
    const double rough = (high - low) / std::max(1, targetTicks);
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = magnitude;
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        step = m * magnitude;
        if (step >= rough) {
            break;
        }
    }
    scale.step = step;
    scale.low = std::floor(low / step + 1e-9) * step;
    scale.high = std::ceil(high / step - 1e-9) * step;
    if (scale.high - scale.low < step) {
        scale.high = scale.low + step;
    }
    return scale;
}

std::string RenderLineChart(const LineChart& chart) {
    const bool dual = chart.series.size() >= 2;
    const Frame f{64.0, 34.0, chart.width - (dual ? 64.0 : 20.0), chart.height - 40.0};
    std::string svg = OpenSvg(chart.width, chart.height, chart.title);

    std::size_t points = 0;
    for (const ChartSeries& s : chart.series) {
        points = std::max(points, s.values.size());
    }
    const double span = points > 1 ? static_cast<double>(points - 1) : 1.0;
    const auto mapX = [&](std::size_t i) { return f.left + static_cast<double>(i) / span * f.Width(); };

    std::vector<AxisScale> scales;
    for (std::size_t k = 0; k < chart.series.size() && k < 2; ++k) {
        const std::vector<double>& v = chart.series[k].values;
        double lo = 0.0;
        double hi = 0.0;
        for (double x : v) {
            if (std::isfinite(x)) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
        }
        // Symmetric when the data swing both ways, so both zero lines meet.
        if (lo < 0.0 && hi > 0.0) {
            const double m = std::max(-lo, hi);
            lo = -m;
            hi = m;
        }
        scales.push_back(NiceScale(lo, hi));
        DrawYAxis(svg, f, scales.back(), k == 1, chart.series[k].color, k == 0);
        // Unit above each axis.
        svg += "<text x=\"" + Num(k == 0 ? f.left - 5 : f.right + 5) + "\" y=\"" + Num(f.top - 10) +
               "\" text-anchor=\"" + (k == 0 ? "end" : "start") + "\" fill=\"" + chart.series[k].color +
               "\">" + Escaped(chart.series[k].unit) + "</text>\n";
    }

    if (chart.markLast >= chart.markFirst && points > 1) {
        const double x0 = mapX(static_cast<std::size_t>(std::max(chart.markFirst, 0)));
        const double x1 = mapX(std::min(static_cast<std::size_t>(chart.markLast), points - 1));
        svg += "<rect class=\"marked-span\" x=\"" + Num(x0) + "\" y=\"" + Num(f.top) + "\" width=\"" + Num(x1 - x0) +
               "\" height=\"" + Num(f.Height()) + "\" fill=\"#fff3c4\" stroke=\"#d9b44a\" stroke-dasharray=\"4 3\"/>\n";
        svg += "<text x=\"" + Num((x0 + x1) / 2) + "\" y=\"" + Num(f.top + 14) +
               "\" text-anchor=\"middle\" fill=\"#7a5d00\">" + Escaped(chart.markLabel) + "</text>\n";
    }

    // X ticks: about ten, at whole steps.
    const double xStep = std::max(1.0, NiceScale(0.0, span, 10).step);
    for (double v = 0.0; v <= span + 1e-9; v += xStep) {
        const double x = f.left + v / span * f.Width();
        svg += "<line x1=\"" + Num(x) + "\" y1=\"" + Num(f.bottom) + "\" x2=\"" + Num(x) + "\" y2=\"" +
               Num(f.bottom + 4) + "\" stroke=\"#6b7785\"/>\n";
        svg += "<text x=\"" + Num(x) + "\" y=\"" + Num(f.bottom + 16) + "\" text-anchor=\"middle\" fill=\"#4a5868\">" +
               TickLabel(v + chart.xFirst, 1.0) + "</text>\n";
    }
    svg += "<rect x=\"" + Num(f.left) + "\" y=\"" + Num(f.top) + "\" width=\"" + Num(f.Width()) +
           "\" height=\"" + Num(f.Height()) + "\" fill=\"none\" stroke=\"#9aa5b1\"/>\n";
    svg += "<text x=\"" + Num((f.left + f.right) / 2) + "\" y=\"" + Num(chart.height - 8.0) +
           "\" text-anchor=\"middle\" fill=\"#4a5868\">" + Escaped(chart.xLabel) + "</text>\n";

    for (std::size_t k = 0; k < scales.size(); ++k) {
        const ChartSeries& s = chart.series[k];
        std::string path;
        for (std::size_t i = 0; i < s.values.size(); ++i) {
            const double v = std::isfinite(s.values[i]) ? s.values[i] : 0.0;
            path += (i == 0 ? "" : " ") + Num(mapX(i)) + "," + Num(MapY(f, scales[k], v));
        }
        if (s.values.size() == 1) {
            svg += "<circle cx=\"" + Num(mapX(0)) + "\" cy=\"" + Num(MapY(f, scales[k], s.values[0])) +
                   "\" r=\"3\" fill=\"" + s.color + "\"/>\n";
        } else if (!s.values.empty()) {
            svg +=
                "<polyline fill=\"none\" stroke=\"" + s.color + "\" stroke-width=\"1.6\" points=\"" + path + "\"/>\n";
        }
        // Legend at the top.
        const double lx = f.left + 10.0 + 200.0 * static_cast<double>(k);
        svg += "<line x1=\"" + Num(lx) + "\" y1=\"" + Num(f.top - 14) + "\" x2=\"" + Num(lx + 18) + "\" y2=\"" +
               Num(f.top - 14) + "\" stroke=\"" + s.color + "\" stroke-width=\"2.5\"/>\n";
        svg += "<text x=\"" + Num(lx + 24) + "\" y=\"" + Num(f.top - 10) + "\" fill=\"#1d2733\">" +
               Escaped(s.label) + "</text>\n";
    }
    svg += "</svg>\n";
    return svg;
}

std::string RenderBarChart(const BarChart& chart) {
    const Frame f{48.0, 16.0, chart.width - 12.0, chart.height - 40.0};
    std::string svg = OpenSvg(chart.width, chart.height, chart.title);

    double top = 0.0;
    for (double v : chart.values) {
        if (std::isfinite(v) && (chart.clipAbove <= 0.0 || v <= chart.clipAbove)) {
            top = std::max(top, v);
        }
    }
    AxisScale scale = NiceScale(0.0, top * 1.1);
    if (chart.clipAbove <= 0.0) {
        scale = NiceScale(0.0, top);
    }
    DrawYAxis(svg, f, scale, false, "#4a5868", true);
    svg += "<text x=\"" + Num(f.left - 5) + "\" y=\"" + Num(f.top - 4) +
           "\" text-anchor=\"end\" fill=\"#4a5868\">%</text>\n";

    const std::size_t n = std::max<std::size_t>(chart.values.size(), 1);
    const double slot = f.Width() / static_cast<double>(n);
    const double barWidth = std::max(1.0, slot * 0.7);
    for (std::size_t i = 0; i < chart.values.size(); ++i) {
        const double raw = std::isfinite(chart.values[i]) ? std::max(0.0, chart.values[i]) : 0.0;
        const bool clipped = raw > scale.high;
        const double shown = clipped ? scale.high : raw;
        const double x = f.left + slot * static_cast<double>(i) + (slot - barWidth) / 2.0;
        const double y = MapY(f, scale, shown);
        const int category = chart.firstCategory + static_cast<int>(i);
        svg += "<rect x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(barWidth) + "\" height=\"" +
               Num(f.bottom - y) + "\" fill=\"" + chart.color + "\"" + (clipped ? " fill-opacity=\"0.55\"" : "") +
               "><title>" + std::to_string(category) + " 次：" + FormatFixed(raw, 2) + "%</title></rect>\n";
        if (clipped) {
            svg += "<text x=\"" + Num(x + barWidth + 2) + "\" y=\"" + Num(f.top + 10) + "\" fill=\"#1d2733\">" +
                   FormatFixed(raw, 0) + "%</text>\n";
        }
        if (category == 1 || category % 5 == 0) {
            svg += "<text x=\"" + Num(x + barWidth / 2) + "\" y=\"" + Num(f.bottom + 14) +
                   "\" text-anchor=\"middle\" fill=\"#4a5868\">" + std::to_string(category) + "</text>\n";
        }
    }
    svg += "<line x1=\"" + Num(f.left) + "\" y1=\"" + Num(f.bottom) + "\" x2=\"" + Num(f.right) + "\" y2=\"" +
           Num(f.bottom) + "\" stroke=\"#6b7785\"/>\n";
    svg += "<text x=\"" + Num((f.left + f.right) / 2) + "\" y=\"" + Num(chart.height - 8.0) +
           "\" text-anchor=\"middle\" fill=\"#4a5868\">" + Escaped(chart.xLabel) + "</text>\n";
    svg += "</svg>\n";
    return svg;
}

}  // namespace orvanta::analysis
