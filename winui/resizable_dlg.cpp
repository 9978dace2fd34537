#include "winui/resizable_dlg.h"

#include "winui/ui_texts.h"

namespace orvanta {

CResizableDlg::CResizableDlg(int templateId) : templateId_(templateId) {}

CResizableDlg::~CResizableDlg() = default;

INT_PTR CResizableDlg::DoModal(HWND parent) {
    return RunDialog(templateId_, parent, DialogProc, reinterpret_cast<LPARAM>(this));
}

int CResizableDlg::SetAnchors(const AnchorEntry* table, std::int32_t count) {
    if (table == nullptr || count <= 0) return 0;
    anchors_ = table;
    anchorCount_ = count;
    return 1;
}

INT_PTR CALLBACK CResizableDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CResizableDlg* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CResizableDlg*>(lParam);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return self->OnInitDialog();
    }
    self = reinterpret_cast<CResizableDlg*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) return FALSE;  // the first WM_SIZE comes before WM_INITDIALOG
    switch (message) {
    case WM_SIZE:
        self->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_SIZING:
        self->OnSizing(reinterpret_cast<RECT*>(lParam));
        return TRUE;
    case WM_GETMINMAXINFO:
        if (self->minWidth_ > 0) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = self->minWidth_;
            info->ptMinTrackSize.y = self->minHeight_;
            return TRUE;
        }
        break;
    default:
        break;
    }
    INT_PTR result = FALSE;
    if (self->OnMessage(message, wParam, lParam, &result)) return result;
    return FALSE;
}

bool CResizableDlg::OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return false; }

BOOL CResizableDlg::OnInitDialog() {
    ::SetWindowLongPtrW(hwnd_, GWL_STYLE, ::GetWindowLongPtrW(hwnd_, GWL_STYLE) | WS_THICKFRAME);
    RECT window;
    ::GetWindowRect(hwnd_, &window);
    minWidth_ = window.right - window.left;
    minHeight_ = window.bottom - window.top;
    RECT client;
    ::GetClientRect(hwnd_, &client);
    lastWidth_ = client.right;
    lastHeight_ = client.bottom;

    // The system's own size grip: a scroll bar control that draws the grip
    // and lets the frame be dragged by it, at the size of the system's
    // scroll bars at the window's DPI.
    grip_ = ::CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, 0, 0,
                              0, 0, hwnd_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    PlaceGrip(client.right, client.bottom);
    ::ShowWindow(grip_, showGrip_ != 0 ? SW_SHOW : SW_HIDE);
    return TRUE;
}

void CResizableDlg::PlaceGrip(int cx, int cy) {
    const int width = ::GetSystemMetrics(SM_CXVSCROLL);
    const int height = ::GetSystemMetrics(SM_CYHSCROLL);
    // Above every control, so that none that grows to the corner covers it.
    ::SetWindowPos(grip_, HWND_TOP, cx - width, cy - height, width, height, SWP_NOACTIVATE);
}

void CResizableDlg::OnSize(UINT type, int cx, int cy) {
    std::int32_t dx = cx - lastWidth_;
    std::int32_t dy = cy - lastHeight_;
    if (type == SIZE_MINIMIZED) dx = dy = 0;
    for (std::int32_t i = 0; i < anchorCount_; ++i) {
        const AnchorEntry& entry = anchors_[i];
        if (!AnchorPercentInRange(entry.percent)) continue;
        const HWND control = ::GetDlgItem(hwnd_, entry.controlId);
        if (control == nullptr || !::IsWindow(control)) continue;
        RECT rect;
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
        const AnchorRect moved = ApplyAnchor(
            entry, AnchorRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}, dx, dy);
        // A move keeps the size as the window has it: a drop-down list's
        // window rectangle is its closed height, which as a new size would
        // also become the height of its dropped-down list.
        const bool sameSize = moved.width == rect.right - rect.left && moved.height == rect.bottom - rect.top;
        ::SetWindowPos(control, nullptr, moved.x, moved.y, moved.width, moved.height,
                       SWP_NOZORDER | SWP_NOACTIVATE | (sameSize ? SWP_NOSIZE : 0));
    }
    if (grip_ != nullptr && ::IsWindow(grip_)) {
        PlaceGrip(cx, cy);
        // A maximized window has no frame to drag.
        ::ShowWindow(grip_, showGrip_ != 0 && type != SIZE_MAXIMIZED ? SW_SHOWNA : SW_HIDE);
    }
    // The dialog's background where controls were, then every control with
    // its frame (a date picker's border is outside its client area), in
    // this order; the dialog does not clip its children.
    if (type != SIZE_MINIMIZED) {
        ::RedrawWindow(hwnd_, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    if (type != SIZE_MINIMIZED) {
        lastWidth_ = cx;
        lastHeight_ = cy;
    }
}

void CResizableDlg::OnSizing(RECT* rect) const {
    if (rect->right - rect->left <= minWidth_) rect->right = rect->left + minWidth_;
    if (rect->bottom - rect->top <= minHeight_) rect->bottom = rect->top + minHeight_;
}

}  // namespace orvanta
