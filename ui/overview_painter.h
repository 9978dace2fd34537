// How the overview strip draws: the plot's geometry (time to x and back) and
// the painting itself (the envelope, ticks and hover box come from
// dialogcore/overview_drawing). The strip owns the state; this draws
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
#include "dialogcore/overview_drawing.h"
#include "dialogcore/overview_view.h"

class QFontMetrics;
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
    // One quantity instead of both channels' RMS: `samples` carry it in
    // channel B's place (QuantityCurve), drawn alone on the left axis in
    // `unit`; its axis reaches below zero when a value does (power factor).
    bool oneQuantity = false;
    QString unit;
};

// The time axis' ends, ticks and labels for the plot of `geometry` in the
// font of `metrics`.
TimeAxisLayout TimeAxisLayoutOf(const QFontMetrics& metrics, const OverviewGeometry& geometry);

void PaintOverview(QPainter& painter, const QPalette& palette, const QFont& font, const QRect& widgetRect,
                   const OverviewGeometry& geometry, const OverviewFrame& frame);

}  // namespace orvanta
