// COverviewStrip: the whole recording of the card as a strip between the
// browser and the time row, window class "OrvantaOverview" (a child control
// of template 102). It draws channel B's (V) and channel A's (A) real RMS as
// min/max bands per pixel column with their axes and time ticks, leaves the
// recorder's pauses as gaps and marks the record shown last. The card is read by a COverviewScan on a worker
// thread; the strip shows its progress and stays usable.
//
// A click chooses the nearest sample's record time (sent to the parent as
// kOverviewChosenMessage once the double-click time has passed, so that a
// double click does not also choose); a drag or the wheel zooms into a time
// range, read again at full resolution; a double click or Home goes back to
// the whole card. With the focus (marked), the arrow keys move a position
// from sample to sample and Enter or Space chooses it. The mouse's sample is labelled beside the cursor with its
// time and RMS values. The events list's events are marked on the plot.
// The window's text is what the strip says: the progress, a message, or the
// view's time range.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "card/event_detector.h"
#include "dialogcore/overview_drawing.h"
#include "dialogcore/overview_quantity.h"
#include "dialogcore/overview_view.h"
#include "winui/overview_scan.h"

namespace orvanta {

// Sent to the parent: lParam is the chosen record's time.
constexpr UINT kOverviewChosenMessage = WM_APP + 10;

class COverviewStrip {
public:
    // Registers the window class (with double clicks); before the dialog.
    static bool Register(HINSTANCE instance);
    // The strip of a window of the class (null for another window).
    static COverviewStrip* Of(HWND window);

    // Scans the card of `reader` from the oldest record to the newest.
    void StartScan(const CCardReader& reader);
    // Without a card the strip only says so, or names `cause` (UTF-8) when a
    // drive was there but could not be read, as the status line does.
    void ShowNoCard(const std::string& cause = std::string());
    // Reads the whole card again.
    void ShowWholeCard();
    // Stops a running scan; what it read so far is dropped.
    void CancelScan();
    bool IsScanning() const { return scan_.IsScanning(); }
    // The record shown last in the browser (0: none).
    void SetMarker(std::int32_t time);
    // The events list's events, marked on the plot (EventMarkSpanOf).
    void SetEventMarks(const std::vector<PowerEvent>& events);
    bool HasEventMarks() const { return !events_.empty(); }
    // The view's range, when it is zoomed into part of the card.
    bool IsZoomed() const { return view_.IsZoomed(); }
    std::int32_t ViewFrom() const { return view_.From(); }
    std::int32_t ViewTo() const { return view_.To(); }
    // The quantity drawn (overview_strip_quantity.cpp): RMS voltage draws
    // both channels' RMS as before; the others draw one band on the axis of
    // their channel.
    void SetQuantity(OverviewQuantity quantity);
    OverviewQuantity Quantity() const { return quantity_; }

private:
    explicit COverviewStrip(HWND window);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void Scan(const OverviewRequest& request);
    void OnScanDone(WPARAM generation);
    void ApplyZoom(const OverviewView::Zoom& zoom);
    void Choose(int x);
    // The arrow keys' position: the sample before or after it (the first
    // time: beside the record shown), labelled; Enter or Space queries it.
    void MoveKeyPosition(int step);
    void ChooseKeyPosition();
    void Changed();

    RECT PlotRect(HDC dc) const;
    OverviewPlot Plot() const;
    std::wstring StateText() const;
    std::wstring HoverText(int x) const;
    void Paint(HDC dc, const RECT& client);
    void PaintTimeAxis(HDC dc, const RECT& plot, int textHeight) const;
    // The pauses, both channels' RMS envelopes as bands, the marker and a
    // drag's range; each channel on an axis fitted to its data (returned).
    void PaintBands(HDC dc, const RECT& plot, OverviewAxisRange* axisA, OverviewAxisRange* axisB);
    void PaintEventMarks(HDC dc, const RECT& plot) const;
    // The view's samples with the quantity in its channel's place.
    std::vector<OverviewSample> PlottedSamples() const;
    bool ShowsChannel(bool channelA) const;
    const wchar_t* ChannelUnit(bool channelA) const;
    // Appended to the window's text: the quantity when it is not the RMS voltage.
    std::wstring QuantityNote() const;

    HWND window_;
    HFONT font_ = nullptr;
    COverviewScan scan_;
    OverviewView view_;
    OverviewNote note_ = OverviewNote::kNone;
    bool noCard_ = false;
    std::wstring noCardCause_;
    int percent_ = 0;
    std::int32_t marker_ = 0;
    OverviewQuantity quantity_ = OverviewQuantity::kVoltageRms;
    std::vector<PowerEvent> events_;
    OverviewRequest pendingZoom_;
    int pressX_ = -1;
    int dragX_ = -1;
    int hoverX_ = -1;
    int hoverY_ = -1;
    int clickX_ = -1;  // a click waiting for the double-click time
    int keyIndex_ = -1;  // the arrow keys' sample (-1: none)
};

}  // namespace orvanta
