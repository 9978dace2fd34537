#include "winui/overview_strip.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "analysis/strip_quality.h"
#include "card/local_time.h"
#include "winui/resource.h"
#include "winui/ui_texts.h"

namespace orvanta {
namespace {

const wchar_t kClassName[] = L"OrvantaOverview";
constexpr UINT_PTR kClickTimer = 1;
constexpr UINT_PTR kZoomTimer = 2;

std::wstring TimeText(std::int32_t time) { return Widen(FormatLocalStandard(time)); }

// A value with `digits` places after the point.
std::wstring Fixed(double value, int digits) {
    wchar_t text[64];
    std::swprintf(text, 64, L"%.*f", digits, value);
    return text;
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
    // The strip's other quantities are computed in the same scan.
    scan_.Configure([&reader](CardOverview& overview) { analysis::EnableStripQuality(overview, reader); });
    Scan(OverviewRequest());
}

void COverviewStrip::ShowNoCard(const std::string& cause) {
    scan_.ForgetCard();
    view_.Clear();
    keyIndex_ = -1;
    noCard_ = true;
    noCardCause_ = Widen(cause);
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

void COverviewStrip::SetEventMarks(const std::vector<PowerEvent>& events) {
    events_ = events;
    Changed();
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
    keyIndex_ = -1;  // the samples are new
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

void COverviewStrip::MoveKeyPosition(int step) {
    // From the record shown (or the middle) the first time, then sample by
    // sample; the label shows the sample as the mouse's does.
    const auto& samples = view_.Samples();
    if (samples.empty()) return;
    const OverviewPlot plot = Plot();
    const int count = static_cast<int>(samples.size());
    if (keyIndex_ < 0 || keyIndex_ >= count) {
        if (marker_ > 0) {
            // The first sample after the record shown, or the last before it.
            const auto after = std::upper_bound(samples.begin(), samples.end(), marker_,
                                                [](std::int32_t time, const OverviewSample& sample) { return time < sample.time; });
            const auto before = std::lower_bound(samples.begin(), samples.end(), marker_,
                                                 [](const OverviewSample& sample, std::int32_t time) { return sample.time < time; });
            keyIndex_ = static_cast<int>((step > 0 ? after : before) - samples.begin()) - (step > 0 ? 0 : 1);
        } else {
            keyIndex_ = std::max(0, view_.NearestSample(plot, plot.left + plot.width / 2));
        }
    } else {
        keyIndex_ += step;
    }
    keyIndex_ = std::min(std::max(keyIndex_, 0), count - 1);
    RECT client;
    ::GetClientRect(window_, &client);
    hoverX_ = OverviewXOfTime(plot, view_.From(), view_.To(), samples[static_cast<std::size_t>(keyIndex_)].time);
    hoverY_ = client.bottom / 3;
    ::InvalidateRect(window_, nullptr, FALSE);
}

void COverviewStrip::ChooseKeyPosition() {
    const auto& samples = view_.Samples();
    if (keyIndex_ < 0 || static_cast<std::size_t>(keyIndex_) >= samples.size()) return;
    ::SendMessageW(::GetParent(window_), kOverviewChosenMessage, 0, samples[static_cast<std::size_t>(keyIndex_)].time);
}

void COverviewStrip::Changed() {
    // The window's text says what the strip shows, for people who cannot see it.
    std::wstring text = StateText();
    if (text.empty() && !view_.Samples().empty()) {
        text = TimeText(view_.From()) + L" \u2013 " + TimeText(view_.To()) + QuantityNote();
        if (!events_.empty()) text += WithArg(LoadText(IDS_OVERVIEW_MARKS), std::to_wstring(events_.size()));
    }
    ::SetWindowTextW(window_, text.c_str());
    ::InvalidateRect(window_, nullptr, FALSE);
}

std::wstring COverviewStrip::StateText() const {
    if (scan_.IsScanning()) return WithArg(LoadText(IDS_OVERVIEW_READING), std::to_wstring(percent_));
    if (note_ == OverviewNote::kNoCard && !noCardCause_.empty()) return noCardCause_;
    const UINT id = NoteText(note_);
    return id == 0 ? std::wstring() : LoadText(id);
}

std::wstring COverviewStrip::HoverText(int x) const {
    const int index = view_.NearestSample(Plot(), x);
    if (index < 0) return std::wstring();
    const OverviewSample& sample = view_.Samples()[static_cast<std::size_t>(index)];
    if (!sample.hasRms) return WithArg(LoadText(IDS_OVERVIEW_HOVER_NO_POINT), TimeText(sample.time));
    return TimeText(sample.time) + L"   B: " + Fixed(sample.rms.voltsB, 1) + L" V   A: " +
           Fixed(sample.rms.amperesA, 3) + L" A";
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
        if (::GetFocus() == window_) {
            // The focus mark, inside the border.
            RECT mark = client;
            ::InflateRect(&mark, -1, -1);
            ::DrawFocusRect(memory, &mark);
        }
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
    case WM_GETDLGCODE: {
        // Enter chooses the keyboard's position once the arrows moved it.
        const MSG* key = reinterpret_cast<const MSG*>(lParam);
        const bool enter = key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
        return DLGC_WANTARROWS | (enter && keyIndex_ >= 0 ? DLGC_WANTMESSAGE : 0);
    }
    case WM_KEYDOWN:
        if (wParam == VK_HOME) {
            keyIndex_ = -1;
            ShowWholeCard();
        } else if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN) {
            MoveKeyPosition(wParam == VK_LEFT || wParam == VK_UP ? -1 : 1);
        } else if (wParam == VK_RETURN || wParam == VK_SPACE) {
            ChooseKeyPosition();
        }
        return 0;
    case WM_KILLFOCUS:
        // The keyboard's label goes with the focus.
        if (keyIndex_ >= 0) hoverX_ = -1;
        keyIndex_ = -1;
        ::InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_SETFOCUS:
        ::InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        ::SetFocus(window_);
        ::SetCapture(window_);
        pressX_ = x;
        dragX_ = -1;
        return 0;
    case WM_MOUSEMOVE:
        keyIndex_ = -1;
        if (hoverX_ < 0) {
            TRACKMOUSEEVENT track = {};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = window_;
            ::TrackMouseEvent(&track);
        }
        hoverX_ = x;
        hoverY_ = GET_Y_LPARAM(lParam);
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

}  // namespace orvanta
