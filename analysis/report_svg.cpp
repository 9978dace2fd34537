#include "analysis/report_svg.h"

#include "analysis/svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "card/local_time.h"
#include "dialogcore/html_text.h"

namespace orvanta {
namespace analysis {
namespace {

constexpr double kWidth = 680, kHeight = 200;
constexpr double kLeft = 48, kRight = 8, kTop = 8, kBottom = 28;

// Coordinates to a tenth of a unit.
std::string Num(double value) { return FormatFixed(value, 1); }

std::string Label(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

struct Scale {
    double low, high;
    double Y(double v) const { return kTop + (high - v) / (high - low) * (kHeight - kTop - kBottom); }
};

Scale ScaleOf(double low, double high) {
    if (!(high > low)) {
        low -= 1;
        high += 1;
    }
    const double pad = (high - low) * 0.08;
    return Scale{low - pad, high + pad};
}

std::string Frame(const Scale& scale, const std::string& unit) {
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + Num(kWidth) + " " + Num(kHeight) +
                      "\" class=\"chart\" role=\"img\">";
    svg += "<rect x=\"" + Num(kLeft) + "\" y=\"" + Num(kTop) + "\" width=\"" + Num(kWidth - kLeft - kRight) +
           "\" height=\"" + Num(kHeight - kTop - kBottom) + "\" fill=\"none\" stroke=\"#999\"/>";
    for (double v : {scale.low, (scale.low + scale.high) / 2, scale.high}) {
        svg += "<text x=\"" + Num(kLeft - 4) + "\" y=\"" + Num(scale.Y(v) + 4) + "\" text-anchor=\"end\">" +
               Label(v) + "</text>";
    }
    svg += "<text x=\"4\" y=\"" + Num(kTop + 10) + "\">" + HtmlEscaped(unit) + "</text>";
    return svg;
}

std::string LimitLine(const Scale& scale, const ChartLine& line, double x0, double x1) {
    const std::string y = Num(scale.Y(line.value));
    return "<line x1=\"" + Num(x0) + "\" y1=\"" + y + "\" x2=\"" + Num(x1) + "\" y2=\"" + y +
           "\" stroke=\"#c00\" stroke-dasharray=\"5,3\"/><text x=\"" + Num(x1 - 2) + "\" y=\"" +
           Num(scale.Y(line.value) - 3) + "\" text-anchor=\"end\" fill=\"#c00\">" + HtmlEscaped(line.label) + "</text>";
}

}  // namespace

std::string TimeChartSvg(const std::vector<ChartPoint>& points, std::int32_t joinSeconds,
                         const std::vector<ChartLine>& lines, bool band, const std::string& unit) {
    double low = lines.empty() ? 0 : lines.front().value, high = low;
    for (const ChartLine& line : lines) low = std::min(low, line.value), high = std::max(high, line.value);
    for (const ChartPoint& p : points) low = std::min(low, p.value), high = std::max(high, p.value);
    const Scale scale = ScaleOf(low, high);
    std::string svg = Frame(scale, unit);
    const double x0 = kLeft, x1 = kWidth - kRight;
    if (band && lines.size() >= 2) {
        const double top = scale.Y(std::max(lines[0].value, lines[1].value));
        const double bottom = scale.Y(std::min(lines[0].value, lines[1].value));
        svg += "<rect x=\"" + Num(x0) + "\" y=\"" + Num(top) + "\" width=\"" + Num(x1 - x0) + "\" height=\"" +
               Num(bottom - top) + "\" fill=\"#e6f4e6\"/>";
    }
    for (const ChartLine& line : lines) svg += LimitLine(scale, line, x0, x1);
    if (!points.empty()) {
        const double t0 = points.front().time, t1 = points.back().time;
        const double span = t1 > t0 ? t1 - t0 : 1.0;
        const auto x = [&](std::int32_t t) { return x0 + (t - t0) / span * (x1 - x0); };
        std::string path;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const bool join = i > 0 && std::int64_t{points[i].time} - points[i - 1].time <= joinSeconds;
            path += (join ? " L" : " M") + Num(x(points[i].time)) + "," + Num(scale.Y(points[i].value));
            if (!join && (i + 1 == points.size() || std::int64_t{points[i + 1].time} - points[i].time > joinSeconds)) {
                path += " h1";  // a lone interval shows as a dot
            }
        }
        svg += "<path d=\"" + path + "\" fill=\"none\" stroke=\"#036\" stroke-width=\"1.2\"/>";
        svg += "<text x=\"" + Num(x0) + "\" y=\"" + Num(kHeight - 8) + "\">" +
               HtmlEscaped(FormatLocalStandard(points.front().time)) + "</text>";
        svg += "<text x=\"" + Num(x1) + "\" y=\"" + Num(kHeight - 8) + "\" text-anchor=\"end\">" +
               HtmlEscaped(FormatLocalStandard(points.back().time)) + "</text>";
    }
    return svg + "</svg>";
}

std::string BarChartSvg(const std::vector<ChartBar>& bars, const std::string& unit) {
    double high = 0;
    for (const ChartBar& bar : bars) high = std::max({high, bar.limit, bar.value.value_or(0.0)});
    const Scale scale{0.0, high > 0 ? high * 1.1 : 1.0};
    std::string svg = Frame(scale, unit);
    const double x0 = kLeft, x1 = kWidth - kRight;
    const double step = bars.empty() ? 0 : (x1 - x0) / static_cast<double>(bars.size());
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const ChartBar& bar = bars[i];
        const double left = x0 + step * static_cast<double>(i);
        if (bar.value) {
            const bool over = *bar.value > bar.limit;
            const double y = scale.Y(*bar.value);
            svg += "<rect x=\"" + Num(left + step * 0.2) + "\" y=\"" + Num(y) + "\" width=\"" + Num(step * 0.6) +
                   "\" height=\"" + Num(scale.Y(0) - y) + "\" fill=\"" + (over ? "#c33" : "#369") + "\"/>";
        }
        const std::string y = Num(scale.Y(bar.limit));
        svg += "<line x1=\"" + Num(left + step * 0.1) + "\" y1=\"" + y + "\" x2=\"" + Num(left + step * 0.9) +
               "\" y2=\"" + y + "\" stroke=\"#c00\" stroke-width=\"2\"/>";
        svg += "<text x=\"" + Num(left + step / 2) + "\" y=\"" + Num(kHeight - 12) + "\" text-anchor=\"middle\">" +
               HtmlEscaped(bar.label) + "</text>";
    }
    return svg + "</svg>";
}

}  // namespace analysis
}  // namespace orvanta
