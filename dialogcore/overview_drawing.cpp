#include "dialogcore/overview_drawing.h"

#include <algorithm>
#include <cmath>

#include "card/local_time.h"

namespace orvanta {

std::vector<EnvelopeColumn> BuildEnvelope(const std::vector<OverviewSample>& samples, const OverviewPlot& plot,
                                          std::int32_t from, std::int32_t to, std::int32_t gapSeconds) {
    std::vector<EnvelopeColumn> columns;
    const OverviewSample* previous = nullptr;
    for (const OverviewSample& s : samples) {
        if (s.time < from || s.time > to) continue;
        const bool pause = previous != nullptr && s.time - previous->time > gapSeconds;
        previous = &s;
        if (!s.hasRms) continue;
        const int x = OverviewXOfTime(plot, from, to, s.time);
        if (!columns.empty() && columns.back().x == x && !pause) {
            EnvelopeColumn& c = columns.back();
            c.minA = std::min(c.minA, s.rms.amperesA);
            c.maxA = std::max(c.maxA, s.rms.amperesA);
            c.minB = std::min(c.minB, s.rms.voltsB);
            c.maxB = std::max(c.maxB, s.rms.voltsB);
            continue;
        }
        EnvelopeColumn c;
        c.x = x;
        c.minA = c.maxA = s.rms.amperesA;
        c.minB = c.maxB = s.rms.voltsB;
        c.startsRun = columns.empty() || pause;
        columns.push_back(c);
    }
    return columns;
}

double OverviewRmsAxisTop(double largest) {
    if (!(largest > 0) || !std::isfinite(largest)) return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(largest)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= largest * (1 - 1e-12)) return m * power;
    }
    return 10.0 * power;
}

OverviewAxisRange OverviewAxisRangeOf(double smallest, double largest) {
    if (!std::isfinite(smallest) || !std::isfinite(largest) || largest < smallest) return {};
    if (smallest >= 0 && !(largest > 0)) return {};
    double span = largest - smallest;
    if (!(span > std::abs(largest) * 1e-9)) span = std::abs(largest) * 0.02;
    double low = smallest - span / 10;
    const double high = largest + span / 10;
    if (smallest >= 0 && low < 0) low = 0;
    const double step = OverviewRmsAxisTop((high - low) / 4);
    // A hair of tolerance, so that data on a step does not add a step.
    OverviewAxisRange range;
    range.bottom = std::floor(low / step + 1e-9) * step;
    range.top = std::ceil(high / step - 1e-9) * step;
    if (range.top <= range.bottom) range.top = range.bottom + step;
    return range;
}

OverviewAxisRange EnvelopeAxisRange(const std::vector<EnvelopeColumn>& columns, bool channelA) {
    if (columns.empty()) return {};
    const double EnvelopeColumn::*low = channelA ? &EnvelopeColumn::minA : &EnvelopeColumn::minB;
    const double EnvelopeColumn::*high = channelA ? &EnvelopeColumn::maxA : &EnvelopeColumn::maxB;
    double smallest = columns.front().*low;
    double largest = columns.front().*high;
    for (const EnvelopeColumn& c : columns) {
        smallest = std::min(smallest, c.*low);
        largest = std::max(largest, c.*high);
    }
    return OverviewAxisRangeOf(smallest, largest);
}

TimeTicks ChooseTimeTicks(std::int32_t from, std::int32_t to, int width, int minSpacing) {
    TimeTicks ticks;
    if (to <= from || width <= 0 || minSpacing <= 0) return ticks;
    static const std::int32_t kSteps[] = {1,     2,     5,     10,    15,     30,     60,     120,     300,
                                          600,   900,   1800,  3600,  7200,   10800,  21600,  43200,   86400,
                                          172800, 604800, 1209600, 2592000};
    const double secondsPerPixel = (static_cast<double>(to) - from) / width;
    for (std::int32_t step : kSteps) {
        if (step / secondsPerPixel >= minSpacing) {
            ticks.step = step;
            break;
        }
    }
    if (ticks.step == 0) return ticks;
    const std::int64_t offset = StandardUtcOffset(from);
    const std::int64_t local = std::int64_t{from} + offset;
    std::int64_t t = (local / ticks.step + (local % ticks.step != 0 ? 1 : 0)) * ticks.step - offset;
    for (; t <= to; t += ticks.step) ticks.times.push_back(static_cast<std::int32_t>(t));
    return ticks;
}

std::string TickLabel(std::int32_t time, std::int32_t step) {
    const std::string full = FormatLocalStandard(time);  // YYYY-MM-DD HH:MM:SS
    if (step >= 86400 || full.compare(11, 8, "00:00:00") == 0) return full.substr(5, 5);
    if (step < 60) return full.substr(11, 8);
    return full.substr(11, 5);
}

namespace {

void PlaceTickLabels(const OverviewPlot& plot, std::int32_t from, std::int32_t to, int minSpacing, int freeFrom,
                     int freeTo, const std::function<int(const std::string&)>& widthOf, TimeAxisLayout* axis) {
    axis->ticks.clear();
    axis->labels.clear();
    const TimeTicks ticks = ChooseTimeTicks(from, to, plot.width, minSpacing);
    for (std::int32_t t : ticks.times) {
        const int x = OverviewXOfTime(plot, from, to, t);
        axis->ticks.push_back(x);
        std::string label = TickLabel(t, ticks.step);
        const int half = widthOf(label) / 2;
        if (x - half < freeFrom || x + half > freeTo) continue;
        axis->labels.push_back(TimeAxisLabel{x, std::move(label)});
        freeFrom = x + half + 8;
    }
}

}  // namespace

TimeAxisLayout LayoutTimeAxis(const OverviewPlot& plot, std::int32_t from, std::int32_t to,
                              const std::function<int(const std::string&)>& widthOf) {
    TimeAxisLayout axis;
    axis.first = FormatLocalStandard(from);
    axis.last = FormatLocalStandard(to);
    const int freeFrom = plot.left + widthOf(axis.first) + 6;
    const int freeTo = plot.left + plot.width - 1 - widthOf(axis.last) - 6;
    PlaceTickLabels(plot, from, to, widthOf("00:00:00") + 16, freeFrom, freeTo, widthOf, &axis);
    if (axis.labels.size() < 2) {
        TimeAxisLayout closer = axis;
        PlaceTickLabels(plot, from, to, widthOf("00:00") + 8, freeFrom, freeTo, widthOf, &closer);
        if (closer.labels.size() > axis.labels.size()) axis = std::move(closer);
    }
    return axis;
}

OverviewMarkerPlace PlaceOverviewMarker(const OverviewPlot& plot, std::int32_t from, std::int32_t to,
                                        std::int32_t marker) {
    OverviewMarkerPlace place;
    if (marker <= 0 || to < from) return place;
    if (marker < from) {
        place.kind = OverviewMarkerPlace::kBefore;
        place.x = plot.left;
    } else if (marker > to) {
        place.kind = OverviewMarkerPlace::kAfter;
        place.x = plot.left + plot.width - 1;
    } else {
        place.kind = OverviewMarkerPlace::kInView;
        place.x = OverviewXOfTime(plot, from, to, marker);
    }
    return place;
}

OverviewBox OverviewHoverBox(const OverviewBox& plot, int mouseX, int mouseY, int width, int height) {
    constexpr int kGap = 12;
    const int plotRight = plot.left + plot.width - 1;
    const int plotBottom = plot.top + plot.height - 1;
    OverviewBox box{mouseX + kGap, mouseY + kGap, width, height};
    if (box.left + width - 1 > plotRight) box.left = mouseX - kGap - width + 1;
    if (box.top + height - 1 > plotBottom) box.top = mouseY - kGap - height + 1;
    box.left = std::clamp(box.left, plot.left, std::max(plot.left, plotRight - width + 1));
    box.top = std::clamp(box.top, plot.top, std::max(plot.top, plotBottom - height + 1));
    return box;
}

}  // namespace orvanta
