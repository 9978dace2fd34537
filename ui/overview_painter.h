// How the overview strip draws: the plot's geometry (time to x and back), the
// min/max envelope of each channel's real RMS per pixel column, the time
// axis' ticks, and the painting itself. The strip owns the state; this draws
// one frame of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QFont>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QString>

#include "card/card_overview.h"
#include "card/event_detector.h"
#include "dialogcore/overview_view.h"

class QPainter;

namespace orvanta {

// The plot area of a strip of `size` and its time range.
class OverviewGeometry {
public:
    OverviewGeometry(const QFont& font, const QSize& size, std::int32_t from, std::int32_t to);

    const QRect& Plot() const { return plot_; }
    std::int32_t From() const { return from_; }
    std::int32_t To() const { return to_; }
    // The x of a time (the plot's centre for an empty range), and the time
    // of an x inside the plot (clamped to the range).
    int XOfTime(std::int32_t time) const;
    std::int32_t TimeOfX(int x) const;
    // The plot's pixel columns, for the shared arithmetic.
    OverviewPlot Columns() const { return OverviewPlot{plot_.left(), plot_.width()}; }

private:
    QRect plot_;
    std::int32_t from_;
    std::int32_t to_;
};

// One pixel column of the envelope: the smallest and largest real RMS of
// the samples drawn in it. `startsRun` is set on the first column after a
// pause (and on the first column).
struct EnvelopeColumn {
    int x = 0;
    double minA = 0, maxA = 0;  // channel A, amperes
    double minB = 0, maxB = 0;  // channel B, volts
    bool startsRun = true;
};

// The envelope of the samples inside the geometry's range; a step between
// neighbouring samples longer than `gapSeconds` starts a new run.
std::vector<EnvelopeColumn> BuildEnvelope(const std::vector<OverviewSample>& samples, const OverviewGeometry& geometry,
                                          std::int32_t gapSeconds);

// Ticks of a time axis over [from, to]: the step is the smallest of 1 s,
// 2 s, 5 s, ... 1 day, 2, 7, 14, 30 days that keeps neighbouring ticks at
// least `minSpacing` pixels apart on `width` pixels; ticks fall on whole
// steps of local standard time (midnight for days).
struct TimeTicks {
    std::int32_t step = 0;            // seconds; 0: no ticks
    std::vector<std::int32_t> times;  // ascending, inside [from, to]
};
TimeTicks ChooseTimeTicks(std::int32_t from, std::int32_t to, int width, int minSpacing);
// A tick's label: "HH:MM:SS" below a minute's step, "HH:MM" below a day's,
// "MM-DD" from a day on.
std::string TickLabel(std::int32_t time, std::int32_t step);

// Everything one frame shows.
struct OverviewFrame {
    const std::vector<OverviewSample>* samples = nullptr;
    std::int32_t gapSeconds = 2;
    std::int32_t marker = 0;      // the record shown last; 0: none
    int dragFrom = -1;            // a drag's x range; -1: none
    int dragTo = -1;
    QPoint hover{-1, -1};         // the mouse; x -1: not over the strip
    QString hoverText;            // label of the sample under the mouse
    QString note;                 // progress or a message; shown instead of the hover label
    bool scanning = false;
    double progress = 0.0;        // 0..1 while scanning
    const std::vector<PowerEvent>* events = nullptr;  // the events list's events to mark; null: none
};

// The hover label's box for a text of `textSize` at the mouse position: right
// of and below the cursor, or left of it near the plot's right end, always
// inside the plot, so it never covers the axes' labels.
QRect HoverBox(const QRect& plot, const QPoint& mouse, const QSize& textSize);

void PaintOverview(QPainter& painter, const QPalette& palette, const QFont& font, const QRect& widgetRect,
                   const OverviewGeometry& geometry, const OverviewFrame& frame);

}  // namespace orvanta
