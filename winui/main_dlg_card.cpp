// The main window's card search, as the Linux window's: what the reader
// found at start or after 重新查找存储卡 (F5, the menus) is shown on the start
// page, in the status line and on the strip; while there is no card the
// window looks for one every two seconds (dialogcore/card_search).
#include "dialogcore/card_search.h"
#include "winui/main_dlg.h"
#include "winui/resource.h"

namespace orvanta {

void CMainDlg::ShowCardFound() {
    noCardCause_.clear();
    shownRecord_ = 0;
    if (strip_ != nullptr) strip_->SetMarker(0);
    // No record is shown yet: nothing to export.
    ::EnableMenuItem(::GetSystemMenu(hwnd_, FALSE), IDM_EXPORT_CSV, MF_BYCOMMAND | MF_GRAYED);
    ShowStartPage();
    ShowStatus(std::wstring());
    // The overview is read off the user-interface thread.
    if (WantsCardPoll(reader_)) {
        // The same cause as the status line's (set by the start page), not "no card".
        if (strip_ != nullptr) strip_->ShowNoCard(noCardCause_);
        ::SetTimer(hwnd_, kCardPollTimer, kCardPollMilliseconds, nullptr);
    } else {
        ::KillTimer(hwnd_, kCardPollTimer);
        if (strip_ != nullptr) strip_->StartScan(reader_);
    }
}

void CMainDlg::OnFindCard() {
    // No scan or report may read through the reader while it is made anew;
    // the events list's scan reads a copy of its own.
    if (strip_ != nullptr) strip_->ShowNoCard();
    if (report_ != nullptr && report_->IsScanning()) {
        report_->Cancel();
        status_.SetText(statusBeforeReport_);
        EnableButtons(true);
    }
    RenewCardReader(reader_);
    ShowCardFound();
}

void CMainDlg::OnCardPoll() {
    // The present reader searches again; only a card found makes a new one.
    if (CardPutIn(reader_)) OnFindCard();
}

}  // namespace orvanta
