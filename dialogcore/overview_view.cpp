#include "dialogcore/overview_view.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orvanta {

int OverviewXOfTime(const OverviewPlot& plot, std::int32_t from, std::int32_t to, std::int32_t time) {
    if (to <= from) return plot.left + (plot.width - 1) / 2;
    const double share = (static_cast<double>(time) - from) / (static_cast<double>(to) - from);
    return plot.left + static_cast<int>(std::lround(share * (plot.width - 1)));
}

std::int32_t OverviewTimeOfX(const OverviewPlot& plot, std::int32_t from, std::int32_t to, int x) {
    const double share = std::clamp((x - plot.left) / static_cast<double>(std::max(1, plot.width - 1)), 0.0, 1.0);
    return from + static_cast<std::int32_t>(std::lround(share * (static_cast<double>(to) - from)));
}

std::int32_t OverviewPauseSeconds(const std::vector<OverviewSample>& samples) {
    std::vector<std::int32_t> steps;
    for (std::size_t i = 1; i < samples.size(); ++i) steps.push_back(samples[i].time - samples[i - 1].time);
    if (steps.empty()) return 2;
    std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
    return std::max<std::int32_t>(2, 4 * steps[steps.size() / 2]);
}

int OverviewNearestSample(const std::vector<OverviewSample>& samples, const OverviewPlot& plot, std::int32_t from,
                          std::int32_t to, int x) {
    int best = -1;
    int bestDistance = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::int32_t t = samples[i].time;
        if (t < from || t > to) continue;
        const int distance = std::abs(OverviewXOfTime(plot, from, to, t) - x);
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

OverviewZoom OverviewZoomRange(std::int32_t a, std::int32_t b, std::int32_t oldest, std::int32_t newest) {
    OverviewZoom zoom;
    if (newest <= oldest) return zoom;
    zoom.kind = OverviewZoom::kWholeCard;
    std::int32_t from = std::max(std::min(a, b), oldest);
    std::int32_t to = std::min(std::max(a, b), newest);
    if (to - from < kOverviewShortestView) {
        const std::int32_t middle = from + (to - from) / 2;
        from = std::max(oldest, middle - kOverviewShortestView / 2);
        to = std::min(newest, from + kOverviewShortestView);
    }
    if (from <= oldest && to >= newest) return zoom;
    zoom.kind = OverviewZoom::kRange;
    zoom.from = from;
    zoom.to = to;
    return zoom;
}

OverviewZoom OverviewWheelRange(const OverviewPlot& plot, std::int32_t from, std::int32_t to, int x, int steps,
                                std::int32_t oldest, std::int32_t newest) {
    if (steps == 0 || to <= from) return OverviewZoom();
    const std::int32_t at = OverviewTimeOfX(plot, from, to, x);
    const double factor = std::pow(steps > 0 ? 0.5 : 2.0, std::abs(steps));
    const double first = at - (at - static_cast<double>(from)) * factor;
    const double last = at + (static_cast<double>(to) - at) * factor;
    return OverviewZoomRange(static_cast<std::int32_t>(std::max<double>(first, oldest)),
                             static_cast<std::int32_t>(std::min<double>(last, newest)), oldest, newest);
}

void OverviewView::Clear() {
    samples_.clear();
    zoomed_ = false;
    from_ = to_ = cardOldest_ = cardNewest_ = 0;
}

OverviewNote OverviewView::TakeScan(const OverviewResult& result) {
    OverviewNote note = OverviewNote::kNone;
    switch (result.status) {
    case OverviewStatus::kNoDevice:
        samples_.clear();
        return OverviewNote::kNoDevice;
    case OverviewStatus::kNoRecords:
        samples_.clear();
        return OverviewNote::kNoRecords;
    case OverviewStatus::kCancelled:
        return OverviewNote::kCancelled;
    case OverviewStatus::kCardGone:
        note = OverviewNote::kCardGone;
        break;
    case OverviewStatus::kDone:
        break;
    }
    samples_ = result.samples;
    if (samples_.empty() && note == OverviewNote::kNone) note = OverviewNote::kEmptyRange;
    if (!zoomed_) {
        cardOldest_ = from_ = result.oldestTime;
        cardNewest_ = to_ = result.newestTime;
    }
    pauseSeconds_ = OverviewPauseSeconds(samples_);
    return note;
}

bool OverviewView::IsPause(std::size_t before) const {
    return samples_[before + 1].time - samples_[before].time > pauseSeconds_;
}

OverviewView::Zoom OverviewView::Apply(const Zoom& zoom) {
    if (zoom.kind == Zoom::kWholeCard) zoomed_ = false;
    if (zoom.kind == Zoom::kRange) {
        from_ = zoom.from;
        to_ = zoom.to;
        zoomed_ = true;
    }
    return zoom;
}

OverviewView::Zoom OverviewView::ZoomTo(std::int32_t a, std::int32_t b) {
    return Apply(OverviewZoomRange(a, b, cardOldest_, cardNewest_));
}

OverviewView::Zoom OverviewView::Wheel(const OverviewPlot& plot, int x, int steps) {
    return Apply(OverviewWheelRange(plot, from_, to_, x, steps, cardOldest_, cardNewest_));
}

}  // namespace orvanta
