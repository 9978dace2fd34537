#include "winui/main_dlg.h"

#include <commctrl.h>

#include <ctime>

#include "card/card_summary.h"
#include "card/drive_check.h"
#include "card/local_time.h"
#include "dialogcore/local_pages.h"
#include "dialogcore/main_controls.h"
#include "dialogcore/record_step.h"
#include "dialogcore/start_facts.h"
#include "dialogcore/start_page.h"
#include "winui/about_dlg.h"
#include "winui/card_access.h"
#include "winui/resource.h"
#include "winui/ui_texts.h"
#include "winui/window_keys.h"

namespace orvanta {

// The resource script's ids are the shared ones.
static_assert(IDOK == kIdRefresh && IDC_BROWSER == kIdBrowser && IDC_HOUR == kIdHourList &&
                  IDC_MINUTE == kIdMinuteList && IDC_SECOND == kIdSecondList && IDC_DATE == kIdDatePicker &&
                  IDC_BACK == kIdBack && IDC_FORWARD == kIdForward && IDC_TIME_LABEL == kIdTimeLabel &&
                  IDC_HOUR_LABEL == kIdHourLabel && IDC_MINUTE_LABEL == kIdMinuteLabel &&
                  IDC_SECOND_LABEL == kIdSecondLabel && IDC_STATUS == kIdStatusLine && IDC_OVERVIEW == kIdOverview,
              "winui/resource.h and dialogcore/main_controls.h name the controls alike");

namespace {

SYSTEMTIME SystemTimeOf(const TimeControlValues& values) {
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(values.year);
    time.wMonth = static_cast<WORD>(values.month);
    time.wDay = static_cast<WORD>(values.day);
    time.wHour = static_cast<WORD>(values.hourIndex);
    time.wMinute = static_cast<WORD>(values.minuteIndex);
    time.wSecond = static_cast<WORD>(values.secondIndex);
    return time;
}

}  // namespace

CMainDlg::CMainDlg(RawVolumeSystem& volumes, const MainDlgCard& card)
    : CResizableDlg(IDD_MAIN),
      reader_(volumes),
      iniPath_(),
      selection_(ToTime32(std::time(nullptr))),
      icon_(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      card_(card) {}

CMainDlg::~CMainDlg() {
    if (!localPagePath_.empty()) ::DeleteFileW(localPagePath_.c_str());
}

BOOL CMainDlg::OnInitDialog() {
    CResizableDlg::OnInitDialog();
    FillLists();
    browser_.Attach(::GetDlgItem(hwnd_, IDC_BROWSER), this);
    // Every date a 32-bit time value can show in this zone.
    SYSTEMTIME range[2] = {SystemTimeOf(CTimeSelection::FirstDate()), SystemTimeOf(CTimeSelection::LastDate())};
    ::SendDlgItemMessageW(hwnd_, IDC_DATE, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));

    AddMenuToSystemMenu();
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    ShowSelectedTime();
    SetAnchors(kMainAnchors, kMainAnchorCount);
    ShowCaption();
    config_ = FindClientConfig();
    iniPath_ = config_.iniPath;

    status_.Attach(::GetDlgItem(hwnd_, IDC_STATUS));
    strip_ = COverviewStrip::Of(::GetDlgItem(hwnd_, IDC_OVERVIEW));
    ShowCardFound();
    StartAnalysisCommands();
    InstallWindowKeys(hwnd_);
    // The focus starts on 刷新 (first in the dialog's order is the date).
    ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(hwnd_, IDOK)), TRUE);
    // In the place of the window that opened the image, if one did; last,
    // since it shows the window.
    if (card_.placed) ::SetWindowPlacement(hwnd_, &card_.placement);
    return FALSE;
}

void CMainDlg::ShowStartPage() {
    // The ratios come from ratio.txt of the working directory, else the one
    // beside the configuration file; the page says which and warns about
    // them.
    const RatioFacts ratios = UseRatioFacts(reader_, config_);
    // Without a card: found none because the system refused to open it, say
    // so; else list what each drive holds or why it could not be read.
    const std::int32_t code = reader_.StartupDriveCode();
    std::vector<std::string> drives;
    if (code == kNoCardDriveCode) {
        const TextLanguage language = TextLanguageOf(WindowLanguage());
        if (const char denied = DriveDenyingAccess()) {
            // The status line names the cause as the volume layer gives it.
            noCardCause_ = DriveCheckText(CheckDrive(reader_.Volumes(), denied), DevicePathOf(denied), language);
            ShowLocalPage(NoAccessPage(WindowLanguage(), denied));
            return;
        }
        drives = DriveReport(reader_.Volumes(), card_.drives, language);
    }
    // Before the first query the browser tells what was found at start and
    // how the window is used; a page of its own, never the server's. A card
    // image is named by its path, a drive by the system's device name.
    const std::string device = !CardImageOnDrive().empty() ? Narrow(card_.image)
                               : code >= 'A' && code <= 'Z' ? SystemDeviceNameOf(static_cast<char>(code))
                                                            : std::string();
    const ConfigFacts configFacts = ReadConfigFacts(config_);
    ShowLocalPage(StartPage(WindowLanguage(), SummariseCard(reader_), device, &ratios, &drives, &configFacts));
}

void CMainDlg::FillLists() {
    // Two digits, zero-padded, unsorted: an item's index is its value.
    const struct {
        int id;
        int count;
    } lists[] = {{IDC_HOUR, 24}, {IDC_MINUTE, 60}, {IDC_SECOND, 60}};
    for (const auto& list : lists) {
        for (int i = 0; i < list.count; ++i) {
            const wchar_t item[] = {static_cast<wchar_t>(L'0' + i / 10), static_cast<wchar_t>(L'0' + i % 10), 0};
            ::SendDlgItemMessageW(hwnd_, list.id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
    }
}

TimeControlValues CMainDlg::ControlValues() const {
    SYSTEMTIME date = {};
    ::SendDlgItemMessageW(hwnd_, IDC_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    TimeControlValues values;
    values.year = date.wYear;
    values.month = date.wMonth;
    values.day = date.wDay;
    values.hourIndex = static_cast<int>(::SendDlgItemMessageW(hwnd_, IDC_HOUR, CB_GETCURSEL, 0, 0));
    values.minuteIndex = static_cast<int>(::SendDlgItemMessageW(hwnd_, IDC_MINUTE, CB_GETCURSEL, 0, 0));
    values.secondIndex = static_cast<int>(::SendDlgItemMessageW(hwnd_, IDC_SECOND, CB_GETCURSEL, 0, 0));
    return values;
}

std::int32_t CMainDlg::TimeFromControls() const { return ComposeTime(ControlValues()); }

void CMainDlg::ShowSelectedTime() {
    const TimeControlValues shown = selection_.Shown();
    ::SendDlgItemMessageW(hwnd_, IDC_HOUR, CB_SETCURSEL, shown.hourIndex, 0);
    ::SendDlgItemMessageW(hwnd_, IDC_MINUTE, CB_SETCURSEL, shown.minuteIndex, 0);
    ::SendDlgItemMessageW(hwnd_, IDC_SECOND, CB_SETCURSEL, shown.secondIndex, 0);
    SYSTEMTIME time = SystemTimeOf(shown);
    ::SendDlgItemMessageW(hwnd_, IDC_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

void CMainDlg::RebuildSelectedTime() {
    // A moment the time value cannot hold is refused and the controls go
    // back to the selected time.
    if (!selection_.TakeFromControls(ControlValues())) ShowSelectedTime();
}

void CMainDlg::Step(std::int32_t seconds) {
    const std::int32_t shown = shownRecord_;
    selection_.Step(seconds);
    ShowSelectedTime();
    PreparedQuery query = PrepareFromControls();
    if (shown > 0 && query.settings.actualTime == shown) {
        // The step found the record already shown (a pause lies behind it):
        // on to the neighbouring record, queried as if its second had been
        // picked; without one the window stays and says so.
        const std::int32_t neighbour = NeighbourRecordTime(reader_, seconds);
        if (neighbour <= 0) {
            selection_.Set(shown);
            ShowSelectedTime();
            const std::wstring text = LoadText(seconds > 0 ? IDS_NO_LATER_RECORD : IDS_NO_EARLIER_RECORD);
            ShowStatus(WithArg(text, Widen(FormatLocalStandard(shown))));
            return;
        }
        selection_.Set(neighbour);
        ShowSelectedTime();
        query = PrepareFromControls();
    }
    Present(query);
}

bool CMainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    switch (message) {
    case WM_SYSCOMMAND:
        if (!OnMenuCommand(static_cast<int>(wParam & 0xFFF0))) return false;
        *result = TRUE;
        return true;
    case WM_CONTEXTMENU:
        ShowContextMenu(lParam);
        *result = TRUE;
        return true;
    case kOverviewChosenMessage:
        OnOverviewChosen(static_cast<std::int32_t>(lParam));
        *result = TRUE;
        return true;
    case WM_PAINT:
        if (!::IsIconic(hwnd_)) return false;
        OnPaintMinimised();
        return true;
    case WM_DRAWITEM:
        if (!status_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return false;
        *result = TRUE;
        return true;
    case WM_TIMER:
        if (wParam != kCardPollTimer) return false;
        OnCardPoll();
        *result = TRUE;
        return true;
    case WM_DESTROY:
        // The control goes with the window: no event may arrive after it.
        ::KillTimer(hwnd_, kCardPollTimer);
        RemoveWindowKeys();
        browser_.Detach();
        events_.reset();
        // A save under way stops and leaves no image.
        imageSave_.reset();
        StopAnalysisCommands();
        return false;
    case WM_QUERYDRAGICON:
        *result = reinterpret_cast<INT_PTR>(icon_);
        return true;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == IDOK) {
            // Enter while a page loads finds the button off: no second query.
            if (::IsWindowEnabled(::GetDlgItem(hwnd_, IDOK))) RunQuery();  // the dialog stays open
        } else if (id == IDCANCEL) {
            ::EndDialog(hwnd_, IDCANCEL);
        } else if ((id == IDC_BACK || id == IDC_FORWARD) && code == BN_CLICKED) {
            Step(id == IDC_BACK ? -1 : 1);
        } else if ((id == IDC_HOUR || id == IDC_MINUTE || id == IDC_SECOND) && code == CBN_SELCHANGE) {
            RebuildSelectedTime();
        } else if (code != 0 || !OnMenuCommand(id)) {
            return false;
        }
        *result = TRUE;
        return true;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_DATE || header->code != DTN_DATETIMECHANGE) return false;
        RebuildSelectedTime();
        ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 1);
        *result = TRUE;
        return true;
    }
    default:
        return OnImageMessage(message, wParam, lParam, result) || OnAnalysisMessage(message, wParam, lParam, result);
    }
}

void CMainDlg::OnPaintMinimised() {
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(hwnd_, &paint);
    ::SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    ::DrawIcon(dc, (client.right - client.left - iconWidth + 1) / 2, (client.bottom - client.top - iconHeight + 1) / 2,
               icon_);
    ::EndPaint(hwnd_, &paint);
}

}  // namespace orvanta
