// The main window's power-quality commands: 本地分析 (the local analysis page
// of the record shown, from the menus and with F6, and below our own page
// when the server cannot be reached), 生成报告… (the report of the strip's
// range, made on a worker thread while the window waits for it, written to a
// file and shown in the control) and the strip's quantity (chosen in the
// context menu and remembered).
#include <windows.h>

#include "analysis/report_figures.h"
#include "dialogcore/local_analysis_page.h"
#include "dialogcore/local_pages.h"
#include "request/client_settings.h"
#include "winui/main_dlg.h"
#include "winui/page_file.h"
#include "winui/resource.h"
#include "winui/ui_texts.h"
#include "winui/window_settings.h"

namespace orvanta {
namespace {

constexpr wchar_t kQuantitySetting[] = L"overviewQuantity";
// The strip's quantities in its context menu: kQuantityCommand + index.
constexpr int kQuantityCommand = 0x0500;
constexpr int kQuantityCount = static_cast<int>(sizeof kOverviewQuantities / sizeof kOverviewQuantities[0]);

// F6 is 本地分析 and Ctrl+F 查找事件… wherever the focus is, the page
// included: the dialog's modal loop hands each message to this filter first.
HHOOK g_keyHook = nullptr;
HWND g_keyWindow = nullptr;

LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    const bool findKey = message->wParam == 'F' && ::GetKeyState(VK_CONTROL) < 0;
    if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && (message->wParam == VK_F6 || findKey) &&
        (message->hwnd == g_keyWindow || ::IsChild(g_keyWindow, message->hwnd))) {
        ::PostMessageW(g_keyWindow, WM_COMMAND, findKey ? IDM_FIND_EVENTS : IDM_LOCAL_ANALYSIS, 0);
        return TRUE;
    }
    return ::CallNextHookEx(g_keyHook, code, wParam, lParam);
}

}  // namespace

void CMainDlg::StartAnalysisCommands() {
    g_keyWindow = hwnd_;
    g_keyHook = ::SetWindowsHookExW(WH_MSGFILTER, KeyFilter, nullptr, ::GetCurrentThreadId());
    if (strip_ != nullptr) strip_->SetQuantity(QuantityOfKey(Narrow(ReadWindowSetting(kQuantitySetting))));
}

void CMainDlg::StopAnalysisCommands() {
    if (g_keyHook != nullptr) ::UnhookWindowsHookEx(g_keyHook);
    g_keyHook = nullptr;
    // The worker reads the card through the window's reader: it ends first.
    report_.reset();
    if (!reportPath_.empty()) ::DeleteFileW(reportPath_.c_str());
}

void CMainDlg::PrepareAnalysisEntries(HMENU entries) {
    const bool card = reader_.StartupDriveCode() != kNoCardDriveCode;
    const bool reporting = report_ != nullptr && report_->IsScanning();
    ::EnableMenuItem(entries, IDM_LOCAL_ANALYSIS, shownRecord_ > 0 && !reporting ? MF_ENABLED : MF_GRAYED);
    ::EnableMenuItem(entries, IDM_MAKE_REPORT, card && !reporting ? MF_ENABLED : MF_GRAYED);
    if (strip_ == nullptr) return;
    const HMENU quantities = ::CreatePopupMenu();
    for (int i = 0; i < kQuantityCount; ++i) {
        const OverviewQuantity quantity = kOverviewQuantities[i];
        const UINT checked = quantity == strip_->Quantity() ? MF_CHECKED : MF_UNCHECKED;
        ::AppendMenuW(quantities, MF_STRING | checked, kQuantityCommand + i,
                      Widen(QuantityCaption(WindowLanguage(), quantity)).c_str());
    }
    ::AppendMenuW(entries, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(entries, MF_POPUP, reinterpret_cast<UINT_PTR>(quantities), LoadText(IDS_OVERVIEW_QUANTITY).c_str());
}

bool CMainDlg::OnAnalysisCommand(int command) {
    if (command == IDM_LOCAL_ANALYSIS) {
        ShowLocalAnalysis();
    } else if (command == IDM_MAKE_REPORT) {
        MakeReport();
    } else if (command >= kQuantityCommand && command < kQuantityCommand + kQuantityCount) {
        ChooseQuantity(kOverviewQuantities[command - kQuantityCommand]);
    } else {
        return false;
    }
    return true;
}

bool CMainDlg::OnAnalysisMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    const bool reporting = report_ != nullptr && report_->IsScanning();
    switch (message) {
    case kScanProgressMessage:
        if (reporting && report_->IsCurrent(wParam)) {
            ShowStatus(WithArg(LoadText(IDS_MAKING_REPORT), std::to_wstring(static_cast<int>(lParam))));
        }
        break;
    case kScanDoneMessage:
        OnReportDone(wParam);
        break;
    case WM_SETCURSOR:
        // The window waits for the report, and still answers.
        if (!reporting) return false;
        ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
        ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
        break;
    default:
        return false;
    }
    *result = TRUE;
    return true;
}

void CMainDlg::ShowLocalAnalysis() {
    if (report_ != nullptr && report_->IsScanning()) return;
    ShownRecord record;
    if (shownRecord_ <= 0 || !ReadShownRecord(reader_, &record)) {
        // No record was found, or the card no longer holds it.
        wchar_t caption[128] = {};
        ::GetWindowTextW(hwnd_, caption, 128);
        ::MessageBoxW(hwnd_, LoadText(IDS_NO_RECORD_TO_ANALYSE).c_str(), caption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    ShowLocalPage(LocalAnalysisPage(WindowLanguage(), record));
}

void CMainDlg::MakeReport() {
    if (reader_.StartupDriveCode() == kNoCardDriveCode) return;
    if (!report_) report_ = std::make_unique<CReportWork>(hwnd_);
    if (report_->IsScanning()) return;
    ReportRequest request;
    // The strip's range; the whole card while it shows the whole card.
    if (strip_ != nullptr && strip_->IsZoomed()) {
        request.range.hasFrom = request.range.hasTo = true;
        request.range.from = strip_->ViewFrom();
        request.range.to = strip_->ViewTo();
    }
    request.settings.nominalVolts = ReadNominalVoltage(iniPath_);
    request.language = WindowLanguage();
    report_->SetCard(reader_);
    // No query runs while the worker reads through the window's reader.
    EnableButtons(false);
    wchar_t status[512] = {};
    ::GetDlgItemTextW(hwnd_, IDC_STATUS, status, 512);
    statusBeforeReport_ = status;
    ShowStatus(WithArg(LoadText(IDS_MAKING_REPORT), L"0"));
    report_->Start(request);
}

void CMainDlg::OnReportDone(WPARAM generation) {
    if (report_ == nullptr) return;
    const std::unique_ptr<std::string> html = report_->TakeResult(generation);
    if (!html) return;
    ::SetDlgItemTextW(hwnd_, IDC_STATUS, statusBeforeReport_.c_str());
    EnableButtons(true);
    const std::wstring path = WritePageFile(L"orvanta-report", *html);
    if (path.empty()) {
        wchar_t caption[128] = {};
        ::GetWindowTextW(hwnd_, caption, 128);
        const std::wstring failed = WithArg(LoadText(IDS_EXPORT_FAILED), L"orvanta-report.html");
        ::MessageBoxW(hwnd_, failed.c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    reportPath_ = path;
    postedAddress_.clear();
    browser_.Navigate(PageFileAddress(path), nullptr, nullptr);
}

void CMainDlg::ChooseQuantity(OverviewQuantity quantity) {
    if (strip_ == nullptr) return;
    strip_->SetQuantity(quantity);
    WriteWindowSetting(kQuantitySetting, Widen(QuantityKey(quantity)));
}

bool CMainDlg::IsUnreachableStatus(long status) {
    // The control's statuses for a server that does not answer: no
    // connection (INET_E_CANNOT_CONNECT), a name that does not resolve
    // (INET_E_RESOURCE_NOT_FOUND), a connection refused or reset
    // (INET_E_DOWNLOAD_FAILURE; Wine's control reports a refused port so),
    // no answer in time (INET_E_CONNECTION_TIMEOUT). An HTTP error is the
    // server's answer, and a missing HTML engine (INET_E_CANNOT_INSTANTIATE_OBJECT)
    // is no fault of the server's.
    const unsigned long code = static_cast<unsigned long>(status);
    return code == 0x800C0004UL || code == 0x800C0005UL || code == 0x800C0008UL || code == 0x800C000BUL;
}

std::string CMainDlg::UnreachablePage(const std::string& serverBaseUrl, const std::string& engineError) {
    std::string page = UnreachableServerPage(WindowLanguage(), iniPath_, serverBaseUrl, engineError);
    ShownRecord record;
    if (ReadShownRecord(reader_, &record)) page = WithLocalAnalysis(page, LocalAnalysisSection(WindowLanguage(), record));
    return page;
}

}  // namespace orvanta
