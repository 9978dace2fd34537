// The strip's painting with GDI: the envelope bands, the value axes, the
// time axis' ticks and the hover label, from the shared drawing arithmetic.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "card/local_time.h"
#include "dialogcore/event_list.h"
#include "dialogcore/overview_drawing.h"
#include "winui/overview_strip.h"
#include "winui/ui_texts.h"

namespace orvanta {
namespace {

const COLORREF kChannelBColor = RGB(0x1f, 0x5f, 0xbf);  // voltage
const COLORREF kChannelAColor = RGB(0xd0, 0x60, 0x10);  // current
COLORREF ColorOf(const OverviewRgb& rgb) { return RGB(rgb.r, rgb.g, rgb.b); }
// The record shown in a colour no event mark uses; events: dips and
// interruptions red, swells orange, as in the Linux strip.
const COLORREF kMarkerColor = ColorOf(kOverviewMarkerRgb);
const COLORREF kDipColor = ColorOf(kOverviewDipRgb);
const COLORREF kSwellColor = ColorOf(kOverviewSwellRgb);

void Text(HDC dc, const std::wstring& text, RECT box, UINT format, COLORREF color) {
    ::SetTextColor(dc, color);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_SINGLELINE | DT_NOPREFIX);
}

SIZE Extent(HDC dc, const std::wstring& text) {
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// An axis value with its unit, to four significant digits.
std::wstring AxisText(double value, const wchar_t* unit) {
    wchar_t text[64];
    std::swprintf(text, 64, L"%.4g %ls", value, unit);
    return text;
}

// `color` laid over `back` with an opacity of alpha / 255.
COLORREF Mix(COLORREF color, COLORREF back, int alpha) {
    auto part = [alpha](int c, int b) { return (c * alpha + b * (255 - alpha) + 127) / 255; };
    return RGB(part(GetRValue(color), GetRValue(back)), part(GetGValue(color), GetGValue(back)),
               part(GetBValue(color), GetBValue(back)));
}

}  // namespace

void COverviewStrip::Paint(HDC dc, const RECT& client) {
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    ::SelectObject(dc, font_ != nullptr ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    const RECT plot = PlotRect(dc);
    ::FrameRect(dc, &plot, ::GetSysColorBrush(COLOR_BTNSHADOW));
    TEXTMETRICW metrics;
    ::GetTextMetricsW(dc, &metrics);
    const int textHeight = metrics.tmHeight;
    const COLORREF textColor = ::GetSysColor(COLOR_WINDOWTEXT);

    if (view_.Samples().empty()) {
        if (scan_.IsScanning()) {
            const int width = plot.right - plot.left - 4;
            const RECT bar = {plot.left + 2, plot.bottom - 5, plot.left + 2 + width * percent_ / 100, plot.bottom - 2};
            ::FillRect(dc, &bar, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        Text(dc, StateText(), plot, DT_CENTER | DT_VCENTER, textColor);
        return;
    }
    OverviewAxisRange axisA;
    OverviewAxisRange axisB;
    PaintBands(dc, plot, &axisA, &axisB);

    // Axes: channel B's values on the left, channel A's on the right, the
    // time axis below.
    if (ShowsChannel(false)) {
        const int right = plot.left - 3;
        Text(dc, AxisText(axisB.top, ChannelUnit(false)), {0, plot.top, right, plot.top + textHeight},
             DT_RIGHT | DT_TOP, kChannelBColor);
        Text(dc, AxisText(axisB.bottom, ChannelUnit(false)), {0, plot.bottom - textHeight, right, plot.bottom},
             DT_RIGHT | DT_BOTTOM, kChannelBColor);
    }
    if (ShowsChannel(true)) {
        const int left = plot.right + 4;
        Text(dc, AxisText(axisA.top, ChannelUnit(true)), {left, plot.top, client.right, plot.top + textHeight},
             DT_LEFT | DT_TOP, kChannelAColor);
        Text(dc, AxisText(axisA.bottom, ChannelUnit(true)), {left, plot.bottom - textHeight, client.right, plot.bottom},
             DT_LEFT | DT_BOTTOM, kChannelAColor);
    }
    PaintTimeAxis(dc, plot, textHeight);

    // Progress of a zoom's scan or a message at the plot's corner; otherwise
    // the sample under the mouse, beside the cursor.
    std::wstring note = StateText();
    const bool hovering = note.empty() && hoverX_ >= 0;
    if (hovering) note = HoverText(hoverX_);
    if (!note.empty()) {
        const SIZE size = Extent(dc, note);
        OverviewBox box{plot.left + 4, plot.top + 2, size.cx + 8, textHeight + 2};
        if (hovering) {
            box = OverviewHoverBox(OverviewBox{plot.left, plot.top, plot.right - plot.left, plot.bottom - plot.top},
                                   hoverX_, hoverY_, box.width, box.height);
        }
        const RECT rect = {box.left, box.top, box.left + box.width, box.top + box.height};
        ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_INFOBK));
        Text(dc, note, rect, DT_CENTER | DT_VCENTER, ::GetSysColor(COLOR_INFOTEXT));
    }
}

void COverviewStrip::PaintTimeAxis(HDC dc, const RECT& plot, int textHeight) const {
    const COLORREF textColor = ::GetSysColor(COLOR_WINDOWTEXT);
    const RECT timeRow = {plot.left, plot.bottom + 2, plot.right, plot.bottom + 2 + textHeight};
    // The ends in full, ticks between them, and the labels that clear each
    // other (the shared layout).
    const OverviewPlot columns{plot.left, plot.right - plot.left};
    const TimeAxisLayout axis = LayoutTimeAxis(columns, view_.From(), view_.To(),
                                               [dc](const std::string& text) { return Extent(dc, Widen(text)).cx; });
    Text(dc, Widen(axis.first), timeRow, DT_LEFT | DT_TOP, textColor);
    Text(dc, Widen(axis.last), timeRow, DT_RIGHT | DT_TOP, textColor);
    for (const TimeAxisLabel& label : axis.labels) {
        const std::wstring text = Widen(label.text);
        const int half = Extent(dc, text).cx / 2;
        Text(dc, text, {label.x - half, timeRow.top, label.x + half + 2, timeRow.bottom}, DT_CENTER | DT_TOP,
             textColor);
    }
    const HPEN pen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    const HGDIOBJ oldPen = ::SelectObject(dc, pen);
    for (int x : axis.ticks) {
        ::MoveToEx(dc, x, plot.bottom - 4, nullptr);
        ::LineTo(dc, x, plot.bottom + 1);
    }
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
}

void COverviewStrip::PaintBands(HDC dc, const RECT& plot, OverviewAxisRange* axisA, OverviewAxisRange* axisB) {
    const OverviewPlot columns{plot.left, plot.right - plot.left};
    const std::vector<OverviewSample>& samples = view_.Samples();
    auto xOf = [&](std::int32_t time) { return OverviewXOfTime(columns, view_.From(), view_.To(), time); };

    // Pauses: shaded, and the bands stop there.
    for (std::size_t i = 0; i + 1 < samples.size(); ++i) {
        if (!view_.IsPause(i)) continue;
        const int x0 = xOf(std::max(samples[i].time, view_.From()));
        const int x1 = xOf(std::min(samples[i + 1].time, view_.To()));
        const RECT pause = {x0 + 1, plot.top + 1, x1, plot.bottom - 1};
        if (x1 - x0 > 1) ::FillRect(dc, &pause, ::GetSysColorBrush(COLOR_BTNFACE));
    }

    PaintEventMarks(dc, plot);

    const std::vector<EnvelopeColumn> envelope =
        BuildEnvelope(PlottedSamples(), columns, view_.From(), view_.To(), view_.PauseSeconds());
    *axisA = EnvelopeAxisRange(envelope, true);
    *axisB = EnvelopeAxisRange(envelope, false);
    const int height = plot.bottom - plot.top;
    auto yOf = [&](double value, const OverviewAxisRange& axis) {
        const double share = std::clamp((value - axis.bottom) / (axis.top - axis.bottom), 0.0, 1.0);
        return plot.bottom - 2 - static_cast<int>(share * (height - 4) + 0.5);
    };

    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, plot.left + 1, plot.top + 1, plot.right - 1, plot.bottom - 1);
    // Channel A first, lighter, so that channel B stays on top. GDI has no
    // translucency: the fills are the channel's colour mixed into the window's.
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    for (const bool channelA : {true, false}) {
        if (!ShowsChannel(channelA)) continue;
        const COLORREF color = channelA ? kChannelAColor : kChannelBColor;
        const HPEN pen = ::CreatePen(PS_SOLID, 1, color);
        const HBRUSH brush = ::CreateSolidBrush(Mix(color, window, channelA ? 70 : 110));
        const HGDIOBJ oldPen = ::SelectObject(dc, pen);
        const HGDIOBJ oldBrush = ::SelectObject(dc, brush);
        const OverviewAxisRange& axis = channelA ? *axisA : *axisB;
        std::vector<POINT> band;
        auto drawRun = [&](std::size_t begin, std::size_t end) {
            band.clear();
            for (std::size_t i = begin; i < end; ++i) {
                band.push_back(POINT{envelope[i].x, yOf(channelA ? envelope[i].maxA : envelope[i].maxB, axis)});
            }
            for (std::size_t i = end; i-- > begin;) {
                band.push_back(POINT{envelope[i].x, yOf(channelA ? envelope[i].minA : envelope[i].minB, axis)});
            }
            if (end - begin == 1) band.push_back(POINT{band[0].x + 1, band[0].y});  // a lone column stays visible
            ::Polygon(dc, band.data(), static_cast<int>(band.size()));
        };
        std::size_t begin = 0;
        for (std::size_t i = 1; i <= envelope.size(); ++i) {
            if (i == envelope.size() || envelope[i].startsRun) {
                if (i > begin) drawRun(begin, i);
                begin = i;
            }
        }
        ::SelectObject(dc, oldBrush);
        ::SelectObject(dc, oldPen);
        ::DeleteObject(brush);
        ::DeleteObject(pen);
    }
    // The record shown last, above the curves and the event marks; an arrow
    // at the edge when it lies outside the view.
    const OverviewMarkerPlace place = PlaceOverviewMarker(columns, view_.From(), view_.To(), marker_);
    if (place.kind == OverviewMarkerPlace::kInView) {
        const HPEN pen = ::CreatePen(PS_SOLID, 2, kMarkerColor);
        const HGDIOBJ oldPen = ::SelectObject(dc, pen);
        // Inside the clip also at the view's ends (the newest record's
        // column is the plot's last, under its frame).
        const int x = std::clamp<int>(place.x, plot.left + 1, plot.right - 2);
        ::MoveToEx(dc, x, plot.top, nullptr);
        ::LineTo(dc, x, plot.bottom);
        ::SelectObject(dc, oldPen);
        ::DeleteObject(pen);
    } else if (place.kind != OverviewMarkerPlace::kNone) {
        const int middle = (plot.top + plot.bottom) / 2;
        const int size = 6;
        const int tip = place.kind == OverviewMarkerPlace::kBefore ? plot.left + 2 : plot.right - 3;
        const int base = place.kind == OverviewMarkerPlace::kBefore ? tip + size : tip - size;
        const POINT arrow[] = {{tip, middle}, {base, middle - size}, {base, middle + size}};
        const HBRUSH brush = ::CreateSolidBrush(kMarkerColor);
        const HGDIOBJ oldBrush = ::SelectObject(dc, brush);
        const HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
        ::Polygon(dc, arrow, 3);
        ::SelectObject(dc, oldPen);
        ::SelectObject(dc, oldBrush);
        ::DeleteObject(brush);
    }
    // A drag's range.
    if (pressX_ >= 0 && dragX_ >= 0) {
        const RECT range = {std::min(pressX_, dragX_), plot.top + 1, std::max(pressX_, dragX_), plot.bottom - 1};
        ::InvertRect(dc, &range);
    }
    ::RestoreDC(dc, saved);
}

// Each event a shaded span with a bar along the plot's top, under the bands.
void COverviewStrip::PaintEventMarks(HDC dc, const RECT& plot) const {
    const OverviewPlot columns{plot.left, plot.right - plot.left};
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    for (const PowerEvent& event : events_) {
        EventMarkSpan span;
        if (!EventMarkSpanOf(event, columns, view_.From(), view_.To(), &span)) continue;
        const COLORREF color = event.kind == EventKind::kSwell ? kSwellColor : kDipColor;
        const RECT shade = {span.x0, plot.top + 1, span.x1, plot.bottom - 1};
        const RECT bar = {span.x0, plot.top + 1, span.x1, plot.top + 4};
        const HBRUSH shadeBrush = ::CreateSolidBrush(Mix(color, window, 50));
        const HBRUSH barBrush = ::CreateSolidBrush(color);
        ::FillRect(dc, &shade, shadeBrush);
        ::FillRect(dc, &bar, barBrush);
        ::DeleteObject(shadeBrush);
        ::DeleteObject(barBrush);
    }
}

}  // namespace orvanta
