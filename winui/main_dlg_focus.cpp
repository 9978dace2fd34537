// The main window's focus across a query: the three buttons are disabled
// while a page loads, the focused one too, which would leave the window
// without a focus (no Enter, Tab or Escape). The focus waits on the date
// picker and goes back to the button after the load; when the load took it
// elsewhere (the page, or nowhere), to 刷新.
#include "winui/main_dlg.h"
#include "winui/resource.h"

namespace orvanta {

void CMainDlg::ParkFocus() {
    const HWND focus = ::GetFocus();
    for (const int id : {IDOK, IDC_FORWARD, IDC_BACK}) {
        if (focus != nullptr && focus == ::GetDlgItem(hwnd_, id)) {
            focusReturn_ = id;
            ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(hwnd_, IDC_DATE)), TRUE);
        }
    }
}

void CMainDlg::ReturnFocus() {
    const int back = focusReturn_;
    focusReturn_ = 0;
    // Only in the active window: another window (the events list, another
    // program) keeps the focus it has.
    if (::GetActiveWindow() != hwnd_) return;
    const HWND focus = ::GetFocus();
    const HWND browser = ::GetDlgItem(hwnd_, IDC_BROWSER);
    const bool parked = back != 0 && focus == ::GetDlgItem(hwnd_, IDC_DATE);
    const bool lost = focus == nullptr || focus == hwnd_ || !::IsChild(hwnd_, focus) || focus == browser ||
                      ::IsChild(browser, focus) || !::IsWindowEnabled(focus);
    if (!parked && !lost) return;
    const HWND target = ::GetDlgItem(hwnd_, back != 0 ? back : IDOK);
    ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

}  // namespace orvanta
