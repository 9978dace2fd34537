// What both overview strips draw alike: ticks on whole local steps, the
// envelope's columns, round axis tops and ranges, and the hover label kept
// inside the plot beside the cursor.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

#include "tests/common/test_env.h"
#include "dialogcore/overview_drawing.h"

namespace orvanta {
namespace {

using testenv::ScopedTimeZone;
using testenv::TimeOfFields;

TEST(OverviewDrawing, TicksFallOnWholeLocalSteps) {
    const struct {
        const char* zone;
        std::int32_t span;
        int width;
        std::int32_t step;
        const char* firstLabel;
    } rows[] = {
        {"Asia/Shanghai", 60, 600, 10, "10:00:10"},         // 10 px a second: 80 px apart -> 10 s
        {"Asia/Shanghai", 3600, 600, 600, "10:10"},         // 6 s a pixel -> 10 min
        {"Asia/Shanghai", 86400 * 3, 300, 86400, "03-16"},  // days, at local midnight
        {"Asia/Shanghai", 0, 600, 0, nullptr},
        // Daylight saving: ticks stay on standard time's whole hours.
        {"Europe/Berlin", 3600 * 6, 600, 3600, "11:00"},
    };
    for (const auto& row : rows) {
        ScopedTimeZone zone(row.zone);
        const std::int32_t t0 = TimeOfFields(2024, row.zone[0] == 'E' ? 7 : 3, 15, 10, 0, 7);
        const TimeTicks chosen = ChooseTimeTicks(t0, t0 + row.span, row.width, 80);
        EXPECT_EQ(chosen.step, row.step) << row.zone << " " << row.span;
        if (row.firstLabel == nullptr) {
            EXPECT_TRUE(chosen.times.empty());
            continue;
        }
        ASSERT_FALSE(chosen.times.empty());
        EXPECT_EQ(TickLabel(chosen.times.front(), chosen.step), row.firstLabel) << row.zone;
        EXPECT_GE(chosen.times.front(), t0);
        EXPECT_LE(chosen.times.back(), t0 + row.span);
    }
}

// A tick at local midnight is labelled with its date whatever the step.
TEST(OverviewDrawing, MidnightTicksCarryTheDate) {
    ScopedTimeZone zone("Asia/Shanghai");
    const struct { int day, hour, minute, second; std::int32_t step; const char* label; } rows[] = {
        {16, 0, 0, 0, 10, "03-16"},   {16, 0, 0, 0, 3600, "03-16"}, {16, 0, 0, 10, 10, "00:00:10"},
        {16, 12, 0, 0, 3600, "12:00"}, {16, 0, 0, 0, 86400, "03-16"}};
    for (const auto& row : rows) {
        EXPECT_EQ(TickLabel(TimeOfFields(2024, 3, row.day, row.hour, row.minute, row.second), row.step), row.label)
            << row.hour << ":" << row.minute << ":" << row.second << " step " << row.step;
    }
}

// The record shown: its column inside the view, else the edge it lies beyond.
TEST(OverviewDrawing, TheMarkerOutsideTheViewPointsFromItsEdge) {
    const OverviewPlot plot{40, 201};
    const struct { std::int32_t marker; OverviewMarkerPlace::Kind kind; int x; } rows[] = {
        {0, OverviewMarkerPlace::kNone, 0},     {999, OverviewMarkerPlace::kBefore, 40},
        {1000, OverviewMarkerPlace::kInView, 40}, {1050, OverviewMarkerPlace::kInView, 140},
        {1100, OverviewMarkerPlace::kInView, 240}, {1101, OverviewMarkerPlace::kAfter, 240}};
    for (const auto& row : rows) {
        const OverviewMarkerPlace place = PlaceOverviewMarker(plot, 1000, 1100, row.marker);
        EXPECT_EQ(place.kind, row.kind) << row.marker;
        if (row.kind != OverviewMarkerPlace::kNone) EXPECT_EQ(place.x, row.x) << row.marker;
    }
}

TEST(OverviewDrawing, EnvelopeGathersColumnsAndBreaksAtPauses) {
    ScopedTimeZone zone("Asia/Shanghai");
    const std::int32_t t0 = TimeOfFields(2024, 3, 15, 10, 0, 7);
    // 100 seconds on 300 columns: the two samples of t0 share a column; 49 s
    // and 40 s steps are pauses with a gap of 20 s; a sample without RMS and
    // one outside the view draw nothing.
    const OverviewPlot plot{50, 300};
    std::vector<OverviewSample> samples;
    const struct { std::int32_t at; double a, b; bool hasRms; } points[] = {
        {-5, 9, 999, true}, {0, 0.40, 230, true}, {0, 0.50, 228, true}, {1, 0.45, 231, true},
        {50, 1.0, 220, true}, {60, 0, 0, false}, {90, 0.1, 5, true}, {90, 0.2, 7, true}};
    for (const auto& p : points) {
        OverviewSample s;
        s.time = t0 + p.at;
        s.hasRms = p.hasRms;
        s.rms.amperesA = p.a;
        s.rms.voltsB = p.b;
        samples.push_back(s);
    }
    const std::vector<EnvelopeColumn> columns = BuildEnvelope(samples, plot, t0, t0 + 100, 20);
    const struct { std::int32_t at; double minA, maxA, minB, maxB; bool startsRun; } expected[] = {
        {0, 0.40, 0.50, 228, 230, true}, {1, 0.45, 0.45, 231, 231, false},
        {50, 1.0, 1.0, 220, 220, true}, {90, 0.1, 0.2, 5, 7, true}};
    ASSERT_EQ(columns.size(), std::size(expected));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(columns[i].x, OverviewXOfTime(plot, t0, t0 + 100, t0 + expected[i].at)) << i;
        EXPECT_DOUBLE_EQ(columns[i].minA, expected[i].minA) << i;
        EXPECT_DOUBLE_EQ(columns[i].maxA, expected[i].maxA) << i;
        EXPECT_DOUBLE_EQ(columns[i].minB, expected[i].minB) << i;
        EXPECT_DOUBLE_EQ(columns[i].maxB, expected[i].maxB) << i;
        EXPECT_EQ(columns[i].startsRun, expected[i].startsRun) << i;
    }
}

TEST(OverviewDrawing, RmsAxisTopsAreOneTwoOrFiveTimesAPowerOfTen) {
    const struct { double largest, top; } rows[] = {
        {0, 1}, {-3, 1}, {0.037, 0.05}, {0.5, 0.5}, {1.2, 2}, {2.0, 2}, {3, 5}, {231.4, 500}, {5001, 10000}};
    for (const auto& row : rows) EXPECT_DOUBLE_EQ(OverviewRmsAxisTop(row.largest), row.top) << row.largest;
}

TEST(OverviewDrawing, AxisRangesFitTheDataWithAMarginOnRoundSteps) {
    const double nan = std::nan("");
    const struct { double smallest, largest, bottom, top; } rows[] = {
        {215, 225, 210, 230},      // mains voltage: not 0 to 500 V
        {0.5, 5, 0, 6},            // never below 0 for data that is not
        {220, 220, 219.5, 220.5},  // flat data: 2 % of the value
        {-0.9, 0.95, -2, 2},       // a power factor crosses 0
        {0, 0, 0, 1},              {nan, 3, 0, 1}, {5, 3, 0, 1}};
    for (const auto& row : rows) {
        const OverviewAxisRange range = OverviewAxisRangeOf(row.smallest, row.largest);
        EXPECT_DOUBLE_EQ(range.bottom, row.bottom) << row.smallest << " " << row.largest;
        EXPECT_DOUBLE_EQ(range.top, row.top) << row.smallest << " " << row.largest;
    }
    // An envelope's channels each on their own range.
    std::vector<EnvelopeColumn> columns(2);
    columns[0].minA = 0.5, columns[0].maxA = 2, columns[0].minB = 219, columns[0].maxB = 225;
    columns[1].minA = 1, columns[1].maxA = 5, columns[1].minB = 215, columns[1].maxB = 221;
    EXPECT_DOUBLE_EQ(EnvelopeAxisRange(columns, true).top, 6);
    EXPECT_DOUBLE_EQ(EnvelopeAxisRange(columns, false).bottom, 210);
    EXPECT_DOUBLE_EQ(EnvelopeAxisRange({}, false).top, 1);
}

TEST(OverviewDrawing, HoverBoxStaysInsideThePlotBesideTheCursor) {
    const OverviewBox plot{50, 2, 300, 50};
    const struct { int x, y; bool leftOfCursor, aboveCursor; } rows[] = {
        {60, 10, false, false}, {340, 10, true, false}, {200, 50, false, true}, {349, 51, true, true}};
    for (const auto& row : rows) {
        const OverviewBox box = OverviewHoverBox(plot, row.x, row.y, 120, 18);
        EXPECT_GE(box.left, plot.left) << row.x << "," << row.y;
        EXPECT_GE(box.top, plot.top);
        EXPECT_LE(box.left + box.width, plot.left + plot.width);
        EXPECT_LE(box.top + box.height, plot.top + plot.height);
        EXPECT_EQ(box.left < row.x, row.leftOfCursor) << row.x;
        EXPECT_EQ(box.top < row.y, row.aboveCursor) << row.y;
        const bool coversMouse = row.x >= box.left && row.x < box.left + box.width && row.y >= box.top &&
                                 row.y < box.top + box.height;
        EXPECT_FALSE(coversMouse) << row.x << "," << row.y;
    }
}

}  // namespace
}  // namespace orvanta
