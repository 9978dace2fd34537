// Inline SVG charts for HTML pages (the reference server's answer page, the
// local analysis page): no scripts, no external files.
#pragma once

#include <string>
#include <vector>

namespace orvanta::analysis {

struct ChartSeries {
    std::string label;   // legend text (UTF-8)
    std::string unit;    // axis unit, e.g. "V"
    std::string color;   // CSS colour
    std::vector<double> values;
};

struct LineChart {
    std::string title;   // accessible name of the chart
    std::string xLabel;  // text under the x axis
    double xFirst = 0.0; // x value of the first point; points are 1 apart
    int width = 880;
    int height = 300;
    // One or two series. The first is scaled on the left axis, the second on
    // its own right axis, so channels of different units share one chart.
    std::vector<ChartSeries> series;
    // Points markFirst..markLast (indices) are shaded and labelled, e.g. the
    // period analysed; markLast < markFirst marks nothing.
    int markFirst = 0;
    int markLast = -1;
    std::string markLabel;
};

struct BarChart {
    std::string title;
    std::string xLabel;
    std::string color;
    int width = 440;
    int height = 240;
    int firstCategory = 1;        // label of the first bar
    std::vector<double> values;   // one bar each, in percent
    // Bars above this are drawn cut off at the top with their value written
    // on them, so one large bar (the fundamental) leaves the small ones
    // readable. Zero or less: the axis covers every bar.
    double clipAbove = 0.0;
};

// "Nice" axis bounds and tick step covering [low, high] (always including 0).
struct AxisScale {
    double low = 0.0;
    double high = 1.0;
    double step = 1.0;
};
AxisScale NiceScale(double low, double high, int targetTicks = 5);

// "%.*f" in the C locale's notation; never "-0.00"; "—" when not finite.
std::string FormatFixed(double value, int decimals);

std::string RenderLineChart(const LineChart& chart);
std::string RenderBarChart(const BarChart& chart);

}  // namespace orvanta::analysis
