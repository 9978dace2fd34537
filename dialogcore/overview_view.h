// What the overview strip computes alike in both windows, apart from drawing:
// the plot's time axis (time to pixel column and back), the sample nearest to
// a column, the pauses of the recorder, the ranges a
// drag or the wheel zooms into, and what a finished scan leaves to show.
#pragma once

#include <cstdint>
#include <vector>

#include "card/card_overview.h"

namespace orvanta {

// Pixels a press must move before it becomes a drag.
constexpr int kOverviewDragThreshold = 4;
// Milliseconds the wheel's steps are gathered before the view is read again.
constexpr int kOverviewZoomDelayMs = 250;
// The shortest view, in seconds.
constexpr std::int32_t kOverviewShortestView = 10;

// The plot's pixel columns: left .. left + width - 1.
struct OverviewPlot {
    int left = 0;
    int width = 1;
};

// The x of `time` in a view [from, to] (the plot's middle for an empty view).
int OverviewXOfTime(const OverviewPlot& plot, std::int32_t from, std::int32_t to, std::int32_t time);
// The time of column x, clamped to the view.
std::int32_t OverviewTimeOfX(const OverviewPlot& plot, std::int32_t from, std::int32_t to, int x);

// A step longer than this between neighbouring samples is a pause of the
// recorder: four times the usual (median) step, at least 2 s.
std::int32_t OverviewPauseSeconds(const std::vector<OverviewSample>& samples);

// The sample inside [from, to] whose column is nearest to x (-1: none).
int OverviewNearestSample(const std::vector<OverviewSample>& samples, const OverviewPlot& plot, std::int32_t from,
                          std::int32_t to, int x);

// What a zoom asks for: nothing (no card range yet), the whole card, or a
// range to sample again.
struct OverviewZoom {
    enum Kind { kNone, kWholeCard, kRange } kind = kNone;
    std::int32_t from = 0;
    std::int32_t to = 0;
};

// The range [a, b] (either order) inside the card [oldest, newest], at least
// the shortest view long; the whole card when it covers it.
OverviewZoom OverviewZoomRange(std::int32_t a, std::int32_t b, std::int32_t oldest, std::int32_t newest);
// The wheel's `steps` (positive: in) around column x of the view [from, to]:
// halves or doubles the view per step (nothing for no steps or an empty view).
OverviewZoom OverviewWheelRange(const OverviewPlot& plot, std::int32_t from, std::int32_t to, int x, int steps,
                                std::int32_t oldest, std::int32_t newest);

// What a strip says instead of, or over, its drawing.
enum class OverviewNote {
    kNone,
    kNoCard,      // no card at start-up
    kNoDevice,    // the card's device does not open
    kNoRecords,   // the card holds no records
    kEmptyRange,  // the zoomed range holds no records
    kCancelled,   // the user cancelled the scan
    kCardGone,    // the card went during the scan: what was read
};

// A strip's samples and view: the whole card or a zoomed range of it.
class OverviewView {
public:
    using Zoom = OverviewZoom;

    // Takes a finished scan; its note (kNone when all went well).
    OverviewNote TakeScan(const OverviewResult& result);
    // Forgets the samples (no card, or a new card).
    void Clear();

    const std::vector<OverviewSample>& Samples() const { return samples_; }
    std::int32_t From() const { return from_; }
    std::int32_t To() const { return to_; }
    bool IsZoomed() const { return zoomed_; }
    std::int32_t PauseSeconds() const { return pauseSeconds_; }
    bool IsPause(std::size_t before) const;

    int NearestSample(const OverviewPlot& plot, int x) const {
        return OverviewNearestSample(samples_, plot, from_, to_, x);
    }

    // Zooms into [a, b] (OverviewZoomRange); a range becomes the view.
    Zoom ZoomTo(std::int32_t a, std::int32_t b);
    // The wheel's steps around column x (OverviewWheelRange).
    Zoom Wheel(const OverviewPlot& plot, int x, int steps);
    // Back to the whole card.
    void ShowWholeCard() { zoomed_ = false; }

private:
    Zoom Apply(const Zoom& zoom);

    std::vector<OverviewSample> samples_;
    std::int32_t cardOldest_ = 0;
    std::int32_t cardNewest_ = 0;
    std::int32_t from_ = 0;
    std::int32_t to_ = 0;
    bool zoomed_ = false;
    std::int32_t pauseSeconds_ = 2;
};

}  // namespace orvanta
