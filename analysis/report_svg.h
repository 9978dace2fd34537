// The report's inline SVG charts: a value over time with horizontal limit
// lines (and a band), and bars against limit marks. Sizes in SVG user units;
// the page scales them to its width. (svg_chart.h draws evenly spaced points
// without limits, for the record's own page; these place 10-minute values on
// a time axis with gaps, against a standard's limits.)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {
namespace analysis {

struct ChartPoint {
    std::int32_t time;
    double value;
};

struct ChartLine {
    double value;
    std::string label;  // plain text; escaped here
};

// A line chart of `points` (in time order; a step longer than `joinSeconds`
// breaks the line) with dashed limit lines; with `band`, the area between
// the first two lines is shaded.
std::string TimeChartSvg(const std::vector<ChartPoint>& points, std::int32_t joinSeconds,
                         const std::vector<ChartLine>& lines, bool band, const std::string& unit);

struct ChartBar {
    std::string label;             // under the bar
    std::optional<double> value;   // no bar when undefined
    double limit;                  // a mark across the bar's place
};

std::string BarChartSvg(const std::vector<ChartBar>& bars, const std::string& unit);

}  // namespace analysis
}  // namespace orvanta
