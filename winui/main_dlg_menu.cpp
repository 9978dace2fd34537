// The main window's menus: the context menu (of the window and its strip)
// and the same entries in the system menu; the events list of the strip's
// range, the record's CSV export through the shared writer, printing through
// the browser control, the overview's commands and the about box; and a
// record chosen on the strip or in the events list.
#include <windows.h>
#include <windowsx.h>

#include <utility>

#include "dialogcore/export_file_name.h"
#include "request/client_settings.h"
#include "request/record_csv.h"
#include "winui/about_dlg.h"
#include "winui/main_dlg.h"
#include "winui/resource.h"
#include "winui/save_file.h"
#include "winui/ui_texts.h"
#include "winui/window_keys.h"

namespace orvanta {

void CMainDlg::AddMenuToSystemMenu() {
    const HMENU system = ::GetSystemMenu(hwnd_, FALSE);
    const HMENU menu = LoadMenuIn(IDR_CONTEXT_MENU);
    if (system == nullptr || menu == nullptr) return;
    const HMENU entries = ::GetSubMenu(menu, 0);
    ::AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
    for (int i = 0; i < ::GetMenuItemCount(entries); ++i) {
        const UINT id = ::GetMenuItemID(entries, i);
        // The strip's own zoom, cancel and marks, and the save's cancel, stay
        // in the context menu.
        if (id == IDM_WHOLE_CARD || id == IDM_CANCEL_SCAN || id == IDM_CLEAR_MARKS || id == IDM_CANCEL_SAVE) continue;
        wchar_t text[128] = {};
        ::GetMenuStringW(entries, i, text, 128, MF_BYPOSITION);
        // No record is shown yet: nothing to export.
        const UINT grayed = id == IDM_EXPORT_CSV || id == IDM_EXPORT_COMTRADE ? MF_GRAYED : 0;
        ::AppendMenuW(system, id == 0 ? MF_SEPARATOR : MF_STRING | grayed, id, text);
    }
    ::DestroyMenu(menu);
}

void CMainDlg::ShowContextMenu(LPARAM at) {
    const HMENU menu = LoadMenuIn(IDR_CONTEXT_MENU);
    if (menu == nullptr) return;
    const HMENU entries = ::GetSubMenu(menu, 0);
    const bool card = strip_ != nullptr && reader_.StartupDriveCode() != kNoCardDriveCode;
    const bool scanning = strip_ != nullptr && strip_->IsScanning();
    ::EnableMenuItem(entries, IDM_RESCAN, card ? MF_ENABLED : MF_GRAYED);
    ::EnableMenuItem(entries, IDM_WHOLE_CARD, card ? MF_ENABLED : MF_GRAYED);
    ::EnableMenuItem(entries, IDM_CANCEL_SCAN, scanning ? MF_ENABLED : MF_GRAYED);
    ::EnableMenuItem(entries, IDM_CLEAR_MARKS, strip_ != nullptr && strip_->HasEventMarks() ? MF_ENABLED : MF_GRAYED);
    ::EnableMenuItem(entries, IDM_EXPORT_CSV, shownRecord_ > 0 ? MF_ENABLED : MF_GRAYED);
    PrepareImageEntries(entries);
    PrepareAnalysisEntries(entries);
    POINT point = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == -1) {  // from the keyboard: at the window's top-left corner
        point = POINT{0, 0};
        ::ClientToScreen(hwnd_, &point);
    }
    ::TrackPopupMenu(entries, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, hwnd_, nullptr);
    ::DestroyMenu(menu);
}

bool CMainDlg::OnMenuCommand(int command) {
    switch (command) {
    case IDM_ABOUTBOX:
        RunAboutBox(hwnd_);
        return true;
    case IDM_FIND_EVENTS:
        FindEvents();
        return true;
    case IDM_FIND_CARD:
        OnFindCard();
        return true;
    case IDM_EXPORT_CSV:
        ExportRecordCsv();
        return true;
    case IDM_PRINT:
        browser_.Print();
        return true;
    case IDM_RESCAN:
    case IDM_WHOLE_CARD:
        if (strip_ != nullptr && reader_.StartupDriveCode() != kNoCardDriveCode) strip_->ShowWholeCard();
        return true;
    case IDM_CANCEL_SCAN:
        if (strip_ != nullptr) strip_->CancelScan();
        return true;
    case IDM_CLEAR_MARKS:
        if (strip_ != nullptr) strip_->SetEventMarks({});
        return true;
    default:
        return OnImageCommand(command) || OnAnalysisCommand(command);
    }
}

void CMainDlg::ExportRecordCsv() {
    if (shownRecord_ <= 0) {
        wchar_t caption[128] = {};
        ::GetWindowTextW(hwnd_, caption, 128);
        ::MessageBoxW(hwnd_, LoadText(IDS_NOTHING_TO_EXPORT).c_str(), caption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The same files as the Linux window and orvanta-query --csv write; the
    // name proposed carries the record's time, as on Linux.
    const std::wstring name = Widen(ExportFileName(shownRecord_, "csv"));
    SaveTextsAs(hwnd_, IDS_EXPORT_CSV, name.c_str(), [this] {
        SuffixedTexts texts;
        for (RecordCsvFile& file : BuildRecordCsv(reader_, ReadNominalFrequency(iniPath_))) {
            texts.emplace_back(file.suffix, std::move(file.text));
        }
        return texts;
    });
}

void CMainDlg::FindEvents() {
    if (!events_) {
        COverviewStrip* const strip = strip_;
        events_ = std::make_unique<CEventsDlg>(reader_, iniPath_, hwnd_, [strip](const std::vector<PowerEvent>& found) {
            if (strip != nullptr) strip->SetEventMarks(found);
        });
        // Tab, Enter and Escape in the list (window_keys.h).
        SetKeyedDialog(events_->Handle());
    }
    // The strip's range; the whole card while it shows the whole card.
    const bool zoomed = strip_ != nullptr && strip_->IsZoomed();
    events_->FindEvents(zoomed ? strip_->ViewFrom() : 0, zoomed ? strip_->ViewTo() : 0);
}

void CMainDlg::OnOverviewChosen(std::int32_t time) {
    selection_.Set(time);
    ShowSelectedTime();
    // While a page loads the refresh button is off, and so is this road.
    if (::IsWindowEnabled(::GetDlgItem(hwnd_, IDOK))) RunQuery();
}

}  // namespace orvanta
