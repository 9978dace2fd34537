// The events list's frame and keyboard: resizable (the list takes the size
// change, the bottom row keeps its distance to the bottom), placed beside or
// above its owner's time row rather than over it, the sort arrow on the
// header of the sorted column, and Enter: in the voltage box it scans, on a
// row it queries the row's event. Tab and Escape come from the dialog
// manager (IsDialogMessage, through window_keys.h).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "dialogcore/anchor_table.h"
#include "winui/events_dlg.h"
#include "winui/resource.h"

namespace orvanta {
namespace {

constexpr AnchorEntry kEventsAnchors[] = {
    {IDC_EVENTS_RANGE, kAnchorStretchX, 100},  {IDC_EVENTS_PROGRESS, kAnchorStretchX, 100},
    {IDC_EVENTS_LIST, kAnchorStretchXY, 100},  {IDC_EVENTS_STATUS, kAnchorMoveY, 100},
    {IDC_EVENTS_STATUS, kAnchorStretchX, 100}, {IDC_EVENTS_EXPORT, kAnchorMoveXY, 100},
    {IDCANCEL, kAnchorMoveXY, 100},
};

}  // namespace

void CEventsDlg::InitFrame() {
    RECT window;
    ::GetWindowRect(hwnd_, &window);
    minSize_ = SIZE{window.right - window.left, window.bottom - window.top};
    RECT client;
    ::GetClientRect(hwnd_, &client);
    lastClient_ = SIZE{client.right, client.bottom};
}

void CEventsDlg::OnSize(int cx, int cy) {
    const int dx = cx - lastClient_.cx;
    const int dy = cy - lastClient_.cy;
    if (cx == 0 && cy == 0) return;  // minimised with its owner
    for (const AnchorEntry& entry : kEventsAnchors) {
        const HWND control = Item(entry.controlId);
        RECT rect;
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
        const AnchorRect moved = ApplyAnchor(
            entry, AnchorRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}, dx, dy);
        ::SetWindowPos(control, nullptr, moved.x, moved.y, moved.width, moved.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    lastClient_ = SIZE{cx, cy};
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void CEventsDlg::PlaceBesideOwner() {
    // Above the owner's strip, over its browser: the time row, the buttons
    // and the strip stay in sight. Kept on the owner's monitor.
    RECT owner;
    RECT strip;
    RECT own;
    ::GetWindowRect(owner_, &owner);
    ::GetWindowRect(::GetDlgItem(owner_, IDC_OVERVIEW), &strip);
    ::GetWindowRect(hwnd_, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    int x = owner.right - width - 16;
    int y = strip.top - height - 4;
    if (y < work.top) {
        // Too tall for the room above the strip: beside the owner, else below it.
        y = work.top;
        x = owner.right + 4 + width <= work.right ? owner.right + 4 : owner.left - width - 4;
        if (x < work.left) {
            x = owner.right - width;
            y = std::min<LONG>(work.bottom - height, owner.bottom + 4);
        }
    }
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEventsDlg::ShowSortArrow() {
    const HWND header = ListView_GetHeader(Item(IDC_EVENTS_LIST));
    for (int i = 0; i < kEventsColumnCount; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == static_cast<int>(sortColumn_)) item.fmt |= descending_ ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, i, &item);
    }
}

void CEventsDlg::OnEnter() {
    const HWND focus = ::GetFocus();
    if (focus == Item(IDC_EVENTS_NOMINAL)) {
        if (::IsWindowEnabled(Item(IDC_EVENTS_SCAN))) Rescan();
        return;
    }
    if (focus != Item(IDC_EVENTS_LIST)) return;
    ChooseRow(ListView_GetNextItem(Item(IDC_EVENTS_LIST), -1, LVNI_SELECTED));
}

}  // namespace orvanta
