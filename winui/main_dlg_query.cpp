// The main window's query: the shared query road, the time taken over from
// the card, the buttons' state, and the navigation, or the local page shown
// when nothing can be sent.
#include "card/local_time.h"
#include "dialogcore/card_status.h"
#include "dialogcore/local_pages.h"
#include "dialogcore/record_line.h"
#include "request/http_address.h"
#include "winui/main_dlg.h"
#include "winui/navigate_status.h"
#include "winui/page_file.h"
#include "winui/resource.h"
#include "winui/ui_texts.h"

namespace orvanta {

PreparedQuery CMainDlg::PrepareFromControls() {
    const std::int32_t composed = TimeFromControls();
    const HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    PreparedQuery query = PrepareQuery(reader_, iniPath_, composed);
    ::SetCursor(previous);
    return query;
}

void CMainDlg::RunQuery() { Present(PrepareFromControls()); }

void CMainDlg::Present(const PreparedQuery& query) {
    // The second asked for (the controls', which the query was prepared
    // from), before the record's time is taken over.
    const std::int32_t asked = TimeFromControls();
    if (query.AdoptsActualTime()) {
        selection_.Set(query.settings.selectedTime);
        ShowSelectedTime();
    }
    shownRecord_ = query.settings.actualTime > 0 ? query.settings.actualTime : 0;
    if (strip_ != nullptr) strip_->SetMarker(query.settings.actualTime);
    // Without a record there is nothing to export: the system menu's entry
    // is grayed here, the context menu's when it opens.
    for (const UINT exported : {IDM_EXPORT_CSV, IDM_EXPORT_COMTRADE}) {
        ::EnableMenuItem(::GetSystemMenu(hwnd_, FALSE), exported,
                         MF_BYCOMMAND | (shownRecord_ > 0 ? MF_ENABLED : MF_GRAYED));
    }
    // The record of another second than the one asked for, or none: the
    // line says so, and why.
    const std::string outcome =
        QueryOutcomeText(WindowLanguage(), reader_, !noCardCause_.empty(), asked, shownRecord_);
    ShowStatus(outcome.empty() ? WithArg(LoadText(IDS_RECORD_TIME), Widen(FormatLocalStandard(shownRecord_)))
                               : Widen(outcome));
    EnableButtons(false);
    PostQuery(query);
}

void CMainDlg::PostQuery(const PreparedQuery& query) {
    if (!query.configProblem.empty()) {
        // A FIFO or an endless file is never read: nothing is sent.
        ShowLocalPage(ConfigProblemPage(WindowLanguage(), query.configProblem));
        return;
    }
    if (query.unsafeKey != nullptr) {
        // A line break in a credential would become a header line of the
        // file's choosing: nothing is sent, and the page says where to look.
        ShowLocalPage(UnsafeSettingPage(WindowLanguage(), iniPath_, query.unsafeKey));
        return;
    }
    // The rule orvanta-query and the Qt window apply: an absolute http or
    // https address with a host.
    if (!ParseHttpAddress(query.settings.serverBaseUrl, nullptr)) {
        // The control would report no end of a load for such an address and
        // the buttons would stay disabled: show why, locally.
        ShowLocalPage(NoServerPage(WindowLanguage(), config_, query.settings.serverBaseUrl));
        return;
    }
    if (query.bodyResult != BuildResult::Ok) {
        ShowLocalPage(NoMemoryPage(WindowLanguage()));
        return;
    }
    postedAddress_ = query.settings.serverBaseUrl;
    if (FAILED(browser_.Navigate(query.settings.serverBaseUrl, &query.body, &query.headerBlock))) {
        postedAddress_.clear();
        // The control refused the navigation: nothing is loading.
        EnableButtons(true);
    }
}

void CMainDlg::ShowStatus(const std::wstring& recordLine) {
    const TextLanguage language = TextLanguageOf(WindowLanguage());
    const char letter = static_cast<char>(reader_.StartupDriveCode());
    // A card image is named by its path, a drive by its device path.
    const std::string image = CardImageOnDrive();
    std::string devicePath;
    if (!image.empty()) {
        devicePath = Narrow(card_.image);
    } else if (letter >= 'A' && letter <= 'Z') {
        devicePath = DevicePathOf(letter);
    }
    const CardLine line = CardLineOf(reader_, devicePath, noCardCause_, language);
    const std::wstring drive(1, static_cast<wchar_t>(line.letter));
    std::wstring text;
    switch (line.kind) {
    case CardLineKind::kOnDrive:
        text = image.empty() ? WithArg(LoadText(IDS_CARD_ON_DRIVE), drive)
                             : WithArgs(LoadText(IDS_CARD_IMAGE_ON_DRIVE), drive, Widen(image));
        break;
    case CardLineKind::kNotResponding:
        text = WithArg(LoadText(IDS_CARD_NOT_RESPONDING), drive);
        break;
    case CardLineKind::kCause:
        text = Widen(line.cause);
        break;
    case CardLineKind::kNoCardAtStart:
        text = LoadText(IDS_NO_CARD_AT_START);
        break;
    }
    if (!recordLine.empty()) text += L"\r\n" + recordLine;
    status_.SetText(text);
}

void CMainDlg::ShowLocalPage(const std::string& html) {
    // One file per process, rewritten for each page and removed when the
    // window ends.
    const std::wstring path = WritePageFile(L"orvanta-page", html);
    // A page of our own replaces whatever was loading from the server.
    postedAddress_.clear();
    if (!path.empty()) {
        localPagePath_ = path;
        browser_.Navigate(PageFileAddress(path), nullptr, nullptr);
    }
    // Nothing was sent, so no query is under way.
    EnableButtons(true);
}

void CMainDlg::EnableButtons(bool enabled) {
    // Refresh, ">", "<": in this order both ways. Not while a report is
    // made through the window's reader, nor while the card is copied (the
    // system opens a raw volume for one reader at a time).
    if ((report_ != nullptr && report_->IsScanning()) || Saving()) enabled = false;
    if (!enabled) ParkFocus();
    for (const int id : {IDOK, IDC_FORWARD, IDC_BACK}) ::EnableWindow(::GetDlgItem(hwnd_, id), enabled);
    if (enabled) ReturnFocus();
}

void CMainDlg::OnDocumentComplete(IDispatch* frame) {
    // The page's own completion comes after its frames': only then is the
    // load over.
    if (!browser_.IsTopLevel(frame)) return;
    postedAddress_.clear();
    EnableButtons(true);
}

void CMainDlg::OnNavigateError(IDispatch* frame, long status) {
    // A control that cannot show the answer (an unreachable server, an HTTP
    // error, no HTML engine) reports this instead of a finished document;
    // the load is over all the same. A frame's error is not the page's end.
    if (!browser_.IsTopLevel(frame)) return;
    const std::string address = postedAddress_;
    postedAddress_.clear();
    if (!address.empty() && IsUnreachableStatus(status)) {
        // Our own page says why, with the record's local analysis below it
        // (main_dlg_analysis.cpp).
        ShowLocalPage(UnreachablePage(address, NavigateStatusName(status)));
        return;
    }
    EnableButtons(true);
}

}  // namespace orvanta
