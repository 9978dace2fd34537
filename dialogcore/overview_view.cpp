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

int OverviewAxisTop(int largest) {
    if (largest <= 0) return 1;
    int step = 1;
    while (step * 10 < largest) step *= 10;
    return (largest + step - 1) / step * step;
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
    // A step far beyond the usual one is a pause of the recorder.
    std::vector<std::int32_t> steps;
    for (std::size_t i = 1; i < samples_.size(); ++i) steps.push_back(samples_[i].time - samples_[i - 1].time);
    pauseSeconds_ = 2;
    if (!steps.empty()) {
        std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
        pauseSeconds_ = std::max<std::int32_t>(2, 4 * steps[steps.size() / 2]);
    }
    return note;
}

bool OverviewView::IsPause(std::size_t before) const {
    return samples_[before + 1].time - samples_[before].time > pauseSeconds_;
}

int OverviewView::NearestSample(const OverviewPlot& plot, int x) const {
    int best = -1;
    int bestDistance = 0;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        const std::int32_t t = samples_[i].time;
        if (t < from_ || t > to_) continue;
        const int distance = std::abs(OverviewXOfTime(plot, from_, to_, t) - x);
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

void OverviewView::Largest(int* valueA, int* valueB) const {
    *valueA = *valueB = 0;
    for (const OverviewSample& s : samples_) {
        if (!s.hasPoint) continue;
        *valueA = std::max(*valueA, s.point.valueA);
        *valueB = std::max(*valueB, s.point.valueB);
    }
}

OverviewView::Zoom OverviewView::ZoomTo(std::int32_t a, std::int32_t b) {
    Zoom zoom;
    if (cardNewest_ <= cardOldest_) return zoom;
    zoom.kind = Zoom::kWholeCard;
    std::int32_t from = std::max(std::min(a, b), cardOldest_);
    std::int32_t to = std::min(std::max(a, b), cardNewest_);
    if (to - from < kOverviewShortestView) {
        const std::int32_t middle = from + (to - from) / 2;
        from = std::max(cardOldest_, middle - kOverviewShortestView / 2);
        to = std::min(cardNewest_, from + kOverviewShortestView);
    }
    if (from <= cardOldest_ && to >= cardNewest_) {
        zoomed_ = false;
        return zoom;
    }
    zoom.kind = Zoom::kRange;
    zoom.from = from_ = from;
    zoom.to = to_ = to;
    zoomed_ = true;
    return zoom;
}

OverviewView::Zoom OverviewView::Wheel(const OverviewPlot& plot, int x, int steps) {
    if (steps == 0 || to_ <= from_) return Zoom();
    const std::int32_t at = OverviewTimeOfX(plot, from_, to_, x);
    const double factor = std::pow(steps > 0 ? 0.5 : 2.0, std::abs(steps));
    const double from = at - (at - static_cast<double>(from_)) * factor;
    const double to = at + (static_cast<double>(to_) - at) * factor;
    return ZoomTo(static_cast<std::int32_t>(std::max<double>(from, cardOldest_)),
                  static_cast<std::int32_t>(std::min<double>(to, cardNewest_)));
}

}  // namespace orvanta
