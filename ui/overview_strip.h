// COverviewStrip: the whole recording of the card as a strip under the
// browser. It draws channel B's (V) and channel A's (A) trend values over
// time, each with its own axis, leaves the recorder's pauses as gaps, shows
// the oldest and newest time of the view at its ends and marks the record
// shown last.
//
// The card is scanned by a CardOverview on a worker thread with its own open
// of the card's volume; the strip shows the scan's progress and stays usable,
// and a scan can be cancelled. A click chooses the nearest sample's record
// time; the wheel or a drag zooms into a time range, which is sampled again
// at full resolution; a double click or Home goes back to the whole card.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <QWidget>

#include "card/card_overview.h"
#include "card/event_detector.h"

class QAction;
class QThread;
class QTimer;

namespace orvanta {

class COverviewStrip : public QWidget {
    Q_OBJECT

public:
    explicit COverviewStrip(QWidget* parent = nullptr);
    ~COverviewStrip() override;

    // Scans the card of `reader` (device, ring base, ratios are copied) from
    // the oldest record to the newest. A running scan is cancelled first.
    void StartScan(const CCardReader& reader);
    // Without a card the strip only says so.
    void ShowNoCard();
    // Stops a running scan; what it read so far is dropped.
    void CancelScan();
    // The record shown last in the browser (0: none).
    void SetMarker(std::int32_t time);
    // The events list's events, marked over the curves.
    void SetEventMarks(const std::vector<PowerEvent>& events);
    const std::vector<PowerEvent>& EventMarks() const { return eventMarks_; }

    bool IsScanning() const { return scanning_; }
    const std::vector<OverviewSample>& Samples() const { return samples_; }
    // The view's time range (whole card or zoomed).
    std::int32_t ViewFrom() const { return viewFrom_; }
    std::int32_t ViewTo() const { return viewTo_; }
    bool IsZoomed() const { return zoomed_; }
    // What the strip writes when it has no samples to draw (message, progress).
    QString StateText() const;
    // The text shown for the sample nearest to x (empty when none).
    QString HoverTextAt(int x) const;
    // The x of a time inside the plot, and the sample nearest to an x (-1: none).
    int XOfTime(std::int32_t time) const;
    int NearestSample(int x) const;
    QRect PlotRect() const;

    QAction* RescanAction() const { return rescanAction_; }
    QAction* WholeCardAction() const { return wholeCardAction_; }
    QAction* CancelAction() const { return cancelAction_; }

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
    struct ScanJob;

    void Scan(const OverviewRequest& request);
    void OnScanDone(std::uint64_t generation, const OverviewResult& result);
    void WaitForWorker();
    std::int32_t TimeOfX(int x) const;
    bool IsGap(std::size_t before) const;

    std::unique_ptr<CardOverview> overview_;  // the card to scan; null without a card
    std::shared_ptr<ScanJob> job_;
    QThread* worker_ = nullptr;
    std::uint64_t generation_ = 0;
    bool scanning_ = false;
    QTimer* progressTimer_ = nullptr;
    QTimer* zoomTimer_ = nullptr;

    std::vector<OverviewSample> samples_;
    std::int32_t gapSeconds_ = 0;  // a step of more than this between samples is a pause
    std::int32_t cardOldest_ = 0;
    std::int32_t cardNewest_ = 0;
    std::int32_t viewFrom_ = 0;
    std::int32_t viewTo_ = 0;
    bool zoomed_ = false;
    std::int32_t pendingFrom_ = 0;
    std::int32_t pendingTo_ = 0;
    std::int32_t marker_ = 0;
    std::vector<PowerEvent> eventMarks_;
    QString message_;

    int pressX_ = -1;
    int dragX_ = -1;
    int hoverX_ = -1;

    QAction* rescanAction_ = nullptr;
    QAction* wholeCardAction_ = nullptr;
    QAction* cancelAction_ = nullptr;
};

}  // namespace orvanta
