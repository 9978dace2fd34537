#include "winui/overview_strip.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "card/local_time.h"
#include "winui/resource.h"
#include "winui/ui_texts.h"

namespace orvanta {
namespace {

const wchar_t kClassName[] = L"OrvantaOverview";
const COLORREF kChannelBColor = RGB(0x1f, 0x5f, 0xbf);  // voltage
const COLORREF kChannelAColor = RGB(0xd0, 0x60, 0x10);  // current
const COLORREF kChannelALine = RGB(0xec, 0xbc, 0x9a);   // channel A's line, lighter: B stays visible
const COLORREF kMarkerColor = RGB(0xe0, 0x00, 0x00);
constexpr UINT_PTR kClickTimer = 1;
constexpr UINT_PTR kZoomTimer = 2;

std::wstring TimeText(std::int32_t time) { return Widen(FormatLocalStandard(time)); }

void Text(HDC dc, const std::wstring& text, RECT box, UINT format, COLORREF color) {
    ::SetTextColor(dc, color);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_SINGLELINE | DT_NOPREFIX);
}

UINT NoteText(OverviewNote note) {
    switch (note) {
    case OverviewNote::kNoCard: return IDS_OVERVIEW_NO_CARD;
    case OverviewNote::kNoDevice: return IDS_OVERVIEW_NO_DEVICE;
    case OverviewNote::kNoRecords: return IDS_OVERVIEW_NO_RECORDS;
    case OverviewNote::kEmptyRange: return IDS_OVERVIEW_EMPTY_RANGE;
    case OverviewNote::kCancelled: return IDS_OVERVIEW_CANCELLED;
    case OverviewNote::kCardGone: return IDS_OVERVIEW_CARD_GONE;
    case OverviewNote::kNone: break;
    }
    return 0;
}

}  // namespace

bool COverviewStrip::Register(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_CROSS);
    windowClass.lpszClassName = kClassName;
    return ::RegisterClassExW(&windowClass) != 0;
}

COverviewStrip* COverviewStrip::Of(HWND window) {
    wchar_t name[32] = {};
    if (window == nullptr || ::GetClassNameW(window, name, 32) == 0 || std::wstring(name) != kClassName) return nullptr;
    return reinterpret_cast<COverviewStrip*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

COverviewStrip::COverviewStrip(HWND window) : window_(window), scan_(window) {}

LRESULT CALLBACK COverviewStrip::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* strip = reinterpret_cast<COverviewStrip*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        strip = new COverviewStrip(window);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(strip));
    }
    if (strip == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The worker is stopped and joined before the strip goes.
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete strip;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return strip->OnMessage(message, wParam, lParam);
}

void COverviewStrip::StartScan(const CCardReader& reader) {
    noCard_ = false;
    view_.Clear();
    scan_.SetCard(reader);
    Scan(OverviewRequest());
}

void COverviewStrip::ShowNoCard() {
    scan_.ForgetCard();
    view_.Clear();
    noCard_ = true;
    note_ = OverviewNote::kNoCard;
    Changed();
}

void COverviewStrip::ShowWholeCard() {
    if (!scan_.HasCard()) return;
    ::KillTimer(window_, kZoomTimer);
    view_.ShowWholeCard();
    Scan(OverviewRequest());
}

void COverviewStrip::CancelScan() {
    if (!scan_.IsScanning()) return;
    scan_.Cancel();
    note_ = OverviewNote::kCancelled;
    Changed();
}

void COverviewStrip::SetMarker(std::int32_t time) {
    marker_ = time;
    ::InvalidateRect(window_, nullptr, FALSE);
}

void COverviewStrip::Scan(const OverviewRequest& request) {
    percent_ = 0;
    note_ = OverviewNote::kNone;
    scan_.Start(request);
    Changed();
}

void COverviewStrip::OnScanDone(WPARAM generation) {
    const std::unique_ptr<OverviewResult> result = scan_.TakeResult(generation);
    if (!result) return;
    note_ = view_.TakeScan(*result);
    Changed();
}

void COverviewStrip::ApplyZoom(const OverviewView::Zoom& zoom) {
    if (zoom.kind == OverviewView::Zoom::kNone) return;
    if (zoom.kind == OverviewView::Zoom::kWholeCard) {
        ShowWholeCard();
        return;
    }
    // Wheel steps come in bursts: the range is read once they pause.
    pendingZoom_ = OverviewRequest();
    pendingZoom_.hasFrom = pendingZoom_.hasTo = true;
    pendingZoom_.from = zoom.from;
    pendingZoom_.to = zoom.to;
    ::SetTimer(window_, kZoomTimer, kOverviewZoomDelayMs, nullptr);
    Changed();
}

void COverviewStrip::Choose(int x) {
    const int index = view_.NearestSample(Plot(), x);
    if (index < 0) return;
    const std::int32_t time = view_.Samples()[static_cast<std::size_t>(index)].time;
    ::SendMessageW(::GetParent(window_), kOverviewChosenMessage, 0, time);
}

void COverviewStrip::Changed() {
    // The window's text says what the strip shows, for people who cannot see it.
    std::wstring text = StateText();
    if (text.empty() && !view_.Samples().empty()) text = TimeText(view_.From()) + L" \u2013 " + TimeText(view_.To());
    ::SetWindowTextW(window_, text.c_str());
    ::InvalidateRect(window_, nullptr, FALSE);
}

std::wstring COverviewStrip::StateText() const {
    if (scan_.IsScanning()) return WithArg(LoadText(IDS_OVERVIEW_READING), std::to_wstring(percent_));
    const UINT id = NoteText(note_);
    return id == 0 ? std::wstring() : LoadText(id);
}

std::wstring COverviewStrip::HoverText(int x) const {
    const int index = view_.NearestSample(Plot(), x);
    if (index < 0) return std::wstring();
    const OverviewSample& sample = view_.Samples()[static_cast<std::size_t>(index)];
    if (!sample.hasPoint) return WithArg(LoadText(IDS_OVERVIEW_HOVER_NO_POINT), TimeText(sample.time));
    return TimeText(sample.time) + L"   B: " + std::to_wstring(sample.point.valueB) + L" V   A: " +
           std::to_wstring(sample.point.valueA) + L" A";
}

RECT COverviewStrip::PlotRect(HDC dc) const {
    RECT client;
    ::GetClientRect(window_, &client);
    SIZE axis = {};
    ::GetTextExtentPoint32W(dc, L"00000 V", 7, &axis);
    const int margin = axis.cx + 6;
    return RECT{margin, 2, margin + std::max<LONG>(1, client.right - 2 * margin),
                2 + std::max<LONG>(1, client.bottom - axis.cy - 4)};
}

OverviewPlot COverviewStrip::Plot() const {
    const HDC dc = ::GetDC(window_);
    const HGDIOBJ old = ::SelectObject(dc, font_ != nullptr ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
    const RECT plot = PlotRect(dc);
    ::SelectObject(dc, old);
    ::ReleaseDC(window_, dc);
    return OverviewPlot{plot.left, plot.right - plot.left};
}

LRESULT COverviewStrip::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    switch (message) {
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam) != 0) ::InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_ERASEBKGND:
        return 1;  // painted whole, double-buffered
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = ::BeginPaint(window_, &paint);
        RECT client;
        ::GetClientRect(window_, &client);
        const HDC memory = ::CreateCompatibleDC(dc);
        const HBITMAP bitmap = ::CreateCompatibleBitmap(dc, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom));
        const HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
        Paint(memory, client);
        ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, oldBitmap);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::EndPaint(window_, &paint);
        return 0;
    }
    case kScanProgressMessage:
        if (scan_.IsCurrent(wParam) && scan_.IsScanning()) {
            percent_ = static_cast<int>(lParam);
            Changed();
        }
        return 0;
    case kScanDoneMessage:
        OnScanDone(wParam);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_KEYDOWN:
        if (wParam == VK_HOME) ShowWholeCard();
        return 0;
    case WM_LBUTTONDOWN:
        ::SetFocus(window_);
        ::SetCapture(window_);
        pressX_ = x;
        dragX_ = -1;
        return 0;
    case WM_MOUSEMOVE:
        if (hoverX_ < 0) {
            TRACKMOUSEEVENT track = {};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = window_;
            ::TrackMouseEvent(&track);
        }
        hoverX_ = x;
        if (pressX_ >= 0 && (wParam & MK_LBUTTON) != 0 && std::abs(x - pressX_) > kOverviewDragThreshold) dragX_ = x;
        ::InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_MOUSELEAVE:
        hoverX_ = -1;
        ::InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP: {
        if (::GetCapture() == window_) ::ReleaseCapture();
        if (pressX_ < 0) return 0;
        const int from = pressX_;
        const bool dragged = dragX_ >= 0;
        pressX_ = dragX_ = -1;
        if (dragged) {
            const OverviewPlot plot = Plot();
            ApplyZoom(view_.ZoomTo(OverviewTimeOfX(plot, view_.From(), view_.To(), std::min(from, x)),
                                   OverviewTimeOfX(plot, view_.From(), view_.To(), std::max(from, x))));
        } else {
            // Chosen once no second click makes it a double click.
            clickX_ = x;
            ::SetTimer(window_, kClickTimer, ::GetDoubleClickTime(), nullptr);
        }
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        ::KillTimer(window_, kClickTimer);
        clickX_ = pressX_ = dragX_ = -1;
        ShowWholeCard();
        return 0;
    case WM_TIMER:
        ::KillTimer(window_, wParam);
        if (wParam == kClickTimer && clickX_ >= 0) {
            Choose(clickX_);
            clickX_ = -1;
        } else if (wParam == kZoomTimer) {
            Scan(pendingZoom_);
        }
        return 0;
    case WM_MOUSEWHEEL: {
        const int steps = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        if (steps == 0 || view_.Samples().empty()) return 0;
        POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(window_, &at);
        ApplyZoom(view_.Wheel(Plot(), at.x, steps));
        return 0;
    }
    case WM_DESTROY:
        scan_.Cancel();
        return 0;
    default:
        return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

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
    PaintLines(dc, plot);

    // Axes: channel B's values on the left, channel A's on the right, the
    // view's first and last time below.
    int largestA = 0;
    int largestB = 0;
    view_.Largest(&largestA, &largestB);
    Text(dc, std::to_wstring(OverviewAxisTop(largestB)) + L" V", {0, plot.top, plot.left - 3, plot.top + textHeight},
         DT_RIGHT | DT_TOP, kChannelBColor);
    Text(dc, L"0 V", {0, plot.bottom - textHeight, plot.left - 3, plot.bottom}, DT_RIGHT | DT_BOTTOM, kChannelBColor);
    Text(dc, std::to_wstring(OverviewAxisTop(largestA)) + L" A",
         {plot.right + 4, plot.top, client.right, plot.top + textHeight}, DT_LEFT | DT_TOP, kChannelAColor);
    Text(dc, L"0 A", {plot.right + 4, plot.bottom - textHeight, client.right, plot.bottom}, DT_LEFT | DT_BOTTOM,
         kChannelAColor);
    const RECT timeRow = {plot.left, plot.bottom + 2, plot.right, plot.bottom + 2 + textHeight};
    Text(dc, TimeText(view_.From()), timeRow, DT_LEFT | DT_TOP, textColor);
    Text(dc, TimeText(view_.To()), timeRow, DT_RIGHT | DT_TOP, textColor);

    // Progress of a zoom's scan, a message, or the sample under the mouse.
    std::wstring note = StateText();
    if (note.empty() && hoverX_ >= 0) note = HoverText(hoverX_);
    if (!note.empty()) {
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, note.c_str(), static_cast<int>(note.size()), &size);
        const RECT box = {plot.left + 4, plot.top + 2, plot.left + 12 + size.cx, plot.top + 4 + textHeight};
        ::FillRect(dc, &box, ::GetSysColorBrush(COLOR_INFOBK));
        Text(dc, note, box, DT_CENTER | DT_VCENTER, ::GetSysColor(COLOR_INFOTEXT));
    }
}

void COverviewStrip::PaintLines(HDC dc, const RECT& plot) {
    const OverviewPlot columns{plot.left, plot.right - plot.left};
    const std::vector<OverviewSample>& samples = view_.Samples();
    auto xOf = [&](std::int32_t time) { return OverviewXOfTime(columns, view_.From(), view_.To(), time); };

    // Pauses: shaded, and the lines stop there.
    for (std::size_t i = 0; i + 1 < samples.size(); ++i) {
        if (!view_.IsPause(i)) continue;
        const int x0 = xOf(samples[i].time);
        const int x1 = xOf(samples[i + 1].time);
        const RECT pause = {x0 + 1, plot.top + 1, x1, plot.bottom - 1};
        if (x1 - x0 > 1) ::FillRect(dc, &pause, ::GetSysColorBrush(COLOR_BTNFACE));
    }

    int largestA = 0;
    int largestB = 0;
    view_.Largest(&largestA, &largestB);
    const int topA = OverviewAxisTop(largestA);
    const int topB = OverviewAxisTop(largestB);
    const int height = plot.bottom - plot.top;
    auto yOf = [&](int value, int top) {
        const double share = std::clamp(value / static_cast<double>(top), 0.0, 1.0);
        return plot.bottom - 2 - static_cast<int>(share * (height - 4) + 0.5);
    };

    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, plot.left + 1, plot.top + 1, plot.right - 1, plot.bottom - 1);
    // Channel A first, lighter: its coarse integer steps would otherwise
    // cover channel B's line.
    for (int channel = 1; channel >= 0; --channel) {
        const HPEN pen = ::CreatePen(PS_SOLID, channel == 0 ? 2 : 1, channel == 0 ? kChannelBColor : kChannelALine);
        const HGDIOBJ oldPen = ::SelectObject(dc, pen);
        std::vector<POINT> run;
        auto flush = [&] {
            if (run.size() == 1) run.push_back(POINT{run[0].x + 1, run[0].y});  // a lone sample stays visible
            if (!run.empty()) ::Polyline(dc, run.data(), static_cast<int>(run.size()));
            run.clear();
        };
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (i > 0 && view_.IsPause(i - 1)) flush();
            const OverviewSample& s = samples[i];
            if (!s.hasPoint) continue;
            run.push_back(POINT{xOf(s.time), channel == 0 ? yOf(s.point.valueB, topB) : yOf(s.point.valueA, topA)});
        }
        flush();
        ::SelectObject(dc, oldPen);
        ::DeleteObject(pen);
    }
    // The record shown last.
    if (marker_ > 0 && marker_ >= view_.From() && marker_ <= view_.To()) {
        const HPEN pen = ::CreatePen(PS_DOT, 1, kMarkerColor);
        const HGDIOBJ oldPen = ::SelectObject(dc, pen);
        const int x = xOf(marker_);
        ::MoveToEx(dc, x, plot.top, nullptr);
        ::LineTo(dc, x, plot.bottom);
        ::SelectObject(dc, oldPen);
        ::DeleteObject(pen);
    }
    // A drag's range.
    if (pressX_ >= 0 && dragX_ >= 0) {
        const RECT range = {std::min(pressX_, dragX_), plot.top + 1, std::max(pressX_, dragX_), plot.bottom - 1};
        ::InvertRect(dc, &range);
    }
    ::RestoreDC(dc, saved);
}

}  // namespace orvanta
