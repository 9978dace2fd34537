// COverviewStrip: the whole recording of the card as a strip under the
// browser. It draws the real RMS of channel B (V) and channel A (A) over
// time as a min/max band per pixel column, each channel with its own axis,
// leaves the recorder's pauses as gaps, shows the view's oldest and newest
// time at its ends with ticks between them and marks the record shown last.
//
// The card is scanned off the user-interface thread (COverviewScan); the
// strip shows the scan's progress and stays usable, and a scan can be
// cancelled. A click chooses the nearest sample's record time; the wheel or
// a drag zooms into a time range, which is sampled again at full resolution;
// a double click or Home goes back to the whole card (and chooses nothing).
#pragma once

#include <cstdint>
#include <vector>

#include <QWidget>

#include "card/card_overview.h"
#include "card/event_detector.h"
#include "dialogcore/overview_quantity.h"
#include "ui/overview_painter.h"

class QAction;
class QTimer;

namespace orvanta {

class COverviewScan;

class COverviewStrip : public QWidget {
    Q_OBJECT

public:
    explicit COverviewStrip(QWidget* parent = nullptr);
    ~COverviewStrip() override;

    // Scans the card of `reader` (device, ring base, ratios are copied) from
    // the oldest record to the newest. A running scan is cancelled first.
    void StartScan(const CCardReader& reader);
    // Without a card the strip only says so, or names `cause` when a drive
    // was there but could not be read.
    void ShowNoCard(const QString& cause = QString());
    // Stops a running scan; what it read so far is dropped.
    void CancelScan();
    // The record shown last in the browser (0: none).
    void SetMarker(std::int32_t time);
    // The events list's events, marked over the curves.
    void SetEventMarks(const std::vector<PowerEvent>& events);
    // Removes the marks (清除事件标记, and when the events list closes).
    void ClearEventMarks() { SetEventMarks({}); }
    const std::vector<PowerEvent>& EventMarks() const { return eventMarks_; }
    // The quantity drawn: the RMS voltage draws both channels' RMS, any
    // other quantity is drawn alone on its own axis.
    void SetQuantity(OverviewQuantity quantity);
    OverviewQuantity Quantity() const { return quantity_; }

    bool IsScanning() const;
    const std::vector<OverviewSample>& Samples() const;
    // The view's time range (whole card or zoomed).
    std::int32_t ViewFrom() const { return viewFrom_; }
    std::int32_t ViewTo() const { return viewTo_; }
    bool IsZoomed() const { return zoomed_; }
    // What the strip writes when it has no samples to draw (message, progress).
    QString StateText() const;
    // The text shown for the sample nearest to x (empty when none).
    QString HoverTextAt(int x) const;
    // The x of a time inside the plot, and the sample nearest to an x (-1: none).
    int XOfTime(std::int32_t time) const { return Geometry().XOfTime(time); }
    int NearestSample(int x) const;
    QRect PlotRect() const { return Geometry().Plot(); }
    // The time axis as drawn now: its ends, ticks and labels.
    TimeAxisLayout TimeAxis() const;

    QAction* RescanAction() const { return rescanAction_; }
    QAction* WholeCardAction() const { return wholeCardAction_; }
    QAction* CancelAction() const { return cancelAction_; }
    QAction* ClearMarksAction() const { return clearMarksAction_; }

    // Zooms the view into [from, to] and samples it again.
    void ZoomTo(std::int32_t from, std::int32_t to);
    // Back to the whole card.
    void ShowWholeCard();

signals:
    // The user clicked the strip: the nearest sample's record time.
    void sampleChosen(std::int32_t time);
    // A scan ended (done, cancelled, failed); the samples are in place.
    void scanFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    OverviewGeometry Geometry() const;
    void OnScanFinished(bool wholeCard);

    COverviewScan* scan_ = nullptr;
    QTimer* zoomTimer_ = nullptr;
    // A click waits for the double-click interval, so that a double click
    // (back to the whole card) does not also choose a record.
    QTimer* clickTimer_ = nullptr;
    int clickX_ = -1;

    std::int32_t viewFrom_ = 0;
    std::int32_t viewTo_ = 0;
    bool zoomed_ = false;
    std::int32_t pendingFrom_ = 0;
    std::int32_t pendingTo_ = 0;
    std::int32_t marker_ = 0;
    std::vector<PowerEvent> eventMarks_;
    OverviewQuantity quantity_ = OverviewQuantity::kVoltageRms;

    int pressX_ = -1;
    int dragX_ = -1;
    QPoint hover_{-1, -1};

    QAction* rescanAction_ = nullptr;
    QAction* wholeCardAction_ = nullptr;
    QAction* cancelAction_ = nullptr;
    QAction* clearMarksAction_ = nullptr;
};

}  // namespace orvanta
