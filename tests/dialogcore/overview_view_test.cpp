// What both overview strips compute alike: columns and times map onto each
// other over the whole plot, the nearest in-view sample of a column, pauses
// from the usual step, the zoom ranges of a drag and of the wheel inside the
// card, and what a scan's end leaves to show.
#include <gtest/gtest.h>

#include "dialogcore/overview_view.h"

namespace orvanta {
namespace {

constexpr std::int32_t kOldest = 1719792000;  // 2024-07-01 00:00:00 UTC

// A finished whole-card scan: one sample every `step` seconds from kOldest,
// the record at `pauseAfter` followed by a pause of `pause` seconds.
OverviewResult Scan(int count, std::int32_t step, int pauseAfter = -1, std::int32_t pause = 0) {
    OverviewResult result;
    result.status = OverviewStatus::kDone;
    std::int32_t time = kOldest;
    for (int i = 0; i < count; ++i) {
        OverviewSample sample;
        sample.time = time;
        sample.hasPoint = i % 5 != 4;
        sample.point = TrendPoint{i, 2 * i};
        result.samples.push_back(sample);
        time += step + (i == pauseAfter ? pause : 0);
    }
    result.oldestTime = kOldest;
    result.newestTime = result.samples.back().time;
    return result;
}

TEST(OverviewView, ColumnsAndTimesMapOntoEachOther) {
    const OverviewPlot plot{40, 501};
    struct Case { std::int32_t time; int x; };
    const Case cases[] = {{kOldest, 40}, {kOldest + 1000, 540}, {kOldest + 500, 290}, {kOldest + 2, 41}};
    for (const Case& c : cases) {
        EXPECT_EQ(OverviewXOfTime(plot, kOldest, kOldest + 1000, c.time), c.x) << c.time;
        EXPECT_EQ(OverviewTimeOfX(plot, kOldest, kOldest + 1000, c.x), c.time) << c.x;
    }
    // Outside the plot the time stays at the view's ends; an empty view sits in the middle.
    EXPECT_EQ(OverviewTimeOfX(plot, kOldest, kOldest + 1000, 0), kOldest);
    EXPECT_EQ(OverviewTimeOfX(plot, kOldest, kOldest + 1000, 9999), kOldest + 1000);
    EXPECT_EQ(OverviewXOfTime(plot, kOldest, kOldest, kOldest), 290);
}

TEST(OverviewView, ScanEndsGiveTheirNotesAndThePausesTheirGaps) {
    OverviewView view;
    EXPECT_EQ(view.TakeScan(Scan(100, 3, 49, 600)), OverviewNote::kNone);
    EXPECT_EQ(view.From(), kOldest);
    EXPECT_EQ(view.To(), kOldest + 99 * 3 + 600);
    EXPECT_EQ(view.PauseSeconds(), 12);  // four usual steps
    for (std::size_t i = 0; i + 1 < view.Samples().size(); ++i) EXPECT_EQ(view.IsPause(i), i == 49) << i;

    struct Case { OverviewStatus status; bool withSamples; OverviewNote note; std::size_t kept; };
    const Case cases[] = {
        {OverviewStatus::kNoDevice, true, OverviewNote::kNoDevice, 0},
        {OverviewStatus::kNoRecords, false, OverviewNote::kNoRecords, 0},
        {OverviewStatus::kCancelled, true, OverviewNote::kCancelled, 100},  // what was shown stays
        {OverviewStatus::kCardGone, true, OverviewNote::kCardGone, 20},
        {OverviewStatus::kDone, false, OverviewNote::kEmptyRange, 0},
    };
    for (const Case& c : cases) {
        view.TakeScan(Scan(100, 3));
        OverviewResult result = Scan(20, 3);
        result.status = c.status;
        if (!c.withSamples) result.samples.clear();
        EXPECT_EQ(view.TakeScan(result), c.note) << static_cast<int>(c.status);
        EXPECT_EQ(view.Samples().size(), c.kept) << static_cast<int>(c.status);
    }
}

TEST(OverviewView, NearestSampleIsTheClosestColumnInView) {
    OverviewView view;
    view.TakeScan(Scan(11, 10));  // kOldest .. kOldest + 100
    const OverviewPlot plot{0, 101};
    EXPECT_EQ(view.NearestSample(plot, 0), 0);
    EXPECT_EQ(view.NearestSample(plot, 34), 3);
    EXPECT_EQ(view.NearestSample(plot, 36), 4);
    EXPECT_EQ(view.NearestSample(plot, 500), 10);
    // Zoomed, samples outside the view are never chosen.
    view.ZoomTo(kOldest + 40, kOldest + 60);
    EXPECT_EQ(view.NearestSample(plot, 0), 4);
    EXPECT_EQ(view.NearestSample(plot, 100), 6);
}

TEST(OverviewView, ZoomsStayInsideTheCard) {
    using Zoom = OverviewView::Zoom;
    OverviewView empty;
    EXPECT_EQ(empty.ZoomTo(kOldest, kOldest + 5).kind, Zoom::kNone);

    struct Case { std::int32_t a, b; Zoom::Kind kind; std::int32_t from, to; };
    const Case cases[] = {
        {kOldest + 300, kOldest + 100, Zoom::kRange, kOldest + 100, kOldest + 300},  // either order
        {kOldest - 50, kOldest + 100, Zoom::kRange, kOldest, kOldest + 100},         // clamped to the card
        {kOldest + 500, kOldest + 502, Zoom::kRange, kOldest + 496, kOldest + 506},  // at least 10 s
        {kOldest + 995, kOldest + 999, Zoom::kRange, kOldest + 992, kOldest + 999},  // short, at the end
        {kOldest - 1, kOldest + 2000, Zoom::kWholeCard, 0, 0},
    };
    for (const Case& c : cases) {
        OverviewView view;
        view.TakeScan(Scan(1000, 1));  // kOldest .. kOldest + 999
        const Zoom zoom = view.ZoomTo(c.a, c.b);
        EXPECT_EQ(zoom.kind, c.kind) << c.a - kOldest;
        EXPECT_EQ(view.IsZoomed(), c.kind == Zoom::kRange);
        if (c.kind != Zoom::kRange) continue;
        EXPECT_EQ(zoom.from, c.from) << c.a - kOldest;
        EXPECT_EQ(zoom.to, c.to) << c.a - kOldest;
        EXPECT_EQ(view.From(), c.from);
        // A zoomed scan keeps the card's bounds: zooming out reaches the whole card.
        view.TakeScan(Scan(5, 1));
        EXPECT_EQ(view.From(), c.from);
        EXPECT_EQ(view.Wheel(OverviewPlot{0, 100}, 50, -20).kind, Zoom::kWholeCard);
    }
}

TEST(OverviewView, TheWheelHalvesTheViewAroundTheMouse) {
    OverviewView view;
    view.TakeScan(Scan(1001, 1));  // kOldest .. kOldest + 1000
    const OverviewPlot plot{0, 101};
    const OverviewView::Zoom in = view.Wheel(plot, 25, 1);  // at kOldest + 250
    EXPECT_EQ(in.kind, OverviewView::Zoom::kRange);
    EXPECT_EQ(in.from, kOldest + 125);
    EXPECT_EQ(in.to, kOldest + 625);
    const OverviewView::Zoom twice = view.Wheel(plot, 0, 2);  // at kOldest + 125
    EXPECT_EQ(twice.from, kOldest + 125);
    EXPECT_EQ(twice.to, kOldest + 250);
    EXPECT_EQ(view.Wheel(plot, 0, 0).kind, OverviewView::Zoom::kNone);
}

}  // namespace
}  // namespace orvanta
