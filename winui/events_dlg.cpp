#include "winui/events_dlg.h"

#include <commctrl.h>

#include "card/event_csv.h"
#include "card/local_time.h"
#include "request/client_settings.h"
#include "winui/overview_strip.h"
#include "winui/resource.h"
#include "winui/save_file.h"
#include "winui/ui_texts.h"

namespace orvanta {

namespace {

std::wstring TimeText(std::int32_t time) { return Widen(FormatLocalStandard(time)); }

std::wstring KindText(const PowerEvent& event) {
    const UINT kind = event.kind == EventKind::kSwell          ? IDS_EVENT_SWELL
                      : event.kind == EventKind::kInterruption ? IDS_EVENT_INTERRUPTION
                                                               : IDS_EVENT_DIP;
    return event.ended ? LoadText(kind) : WithArg(LoadText(IDS_EVENT_NOT_ENDED), LoadText(kind));
}

}  // namespace

CEventsDlg::CEventsDlg(const CCardReader& reader, const std::string& iniPath, HWND owner, FoundHook found)
    : reader_(reader), iniPath_(iniPath), owner_(owner), found_(std::move(found)) {
    hwnd_ = CreateDialogIn(IDD_EVENTS, owner, DialogProc, reinterpret_cast<LPARAM>(this));
}

CEventsDlg::~CEventsDlg() {
    if (scan_) scan_->Cancel();
    if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

INT_PTR CALLBACK CEventsDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CEventsDlg*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
        self->scan_ = std::make_unique<CEventsScan>(hwnd);
        self->InitList();
        self->InitFrame();
        return TRUE;
    }
    auto* self = reinterpret_cast<CEventsDlg*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    return self != nullptr && self->OnMessage(message, wParam, lParam) ? TRUE : FALSE;
}

void CEventsDlg::InitList() {
    const HWND list = Item(IDC_EVENTS_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    const struct {
        UINT text;
        int width;
        int format;
    } columns[kEventsColumnCount] = {{IDS_EVENTS_KIND_COLUMN, 130, LVCFMT_LEFT},
                                     {IDS_EVENTS_START_COLUMN, 150, LVCFMT_LEFT},
                                     {IDS_EVENTS_DURATION_COLUMN, 100, LVCFMT_RIGHT},
                                     {IDS_EVENTS_EXTREME_COLUMN, 80, LVCFMT_RIGHT}};
    for (int i = 0; i < kEventsColumnCount; ++i) {
        std::wstring text = LoadText(columns[i].text);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = columns[i].format;
        column.cx = columns[i].width;
        column.pszText = &text[0];
        ListView_InsertColumn(list, i, &column);
    }
    ::SendDlgItemMessageW(hwnd_, IDC_EVENTS_NOMINAL_SPIN, UDM_SETRANGE32, 1, kMaxNominalVolts);
    ::SendDlgItemMessageW(hwnd_, IDC_EVENTS_PROGRESS, PBM_SETRANGE32, 0, 100);
    ::ShowWindow(Item(IDC_EVENTS_PROGRESS), SW_HIDE);
}

void CEventsDlg::FindEvents(std::int32_t from, std::int32_t to) {
    if (hwnd_ == nullptr) return;
    request_.range = TimeRange();
    if (from < to) {
        request_.range.hasFrom = request_.range.hasTo = true;
        request_.range.from = from;
        request_.range.to = to;
        ::SetDlgItemTextW(hwnd_, IDC_EVENTS_RANGE,
                          WithArgs(LoadText(IDS_EVENTS_RANGE), TimeText(from), TimeText(to)).c_str());
    } else {
        ::SetDlgItemTextW(hwnd_, IDC_EVENTS_RANGE, LoadText(IDS_EVENTS_WHOLE_CARD).c_str());
    }
    SetNominal(ReadNominalVoltage(iniPath_));
    if (!placed_) PlaceBesideOwner();
    placed_ = true;
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
    Rescan();
}

void CEventsDlg::SetNominal(std::int32_t volts) {
    request_.nominalVolts = volts;
    ::SetDlgItemTextW(hwnd_, IDC_EVENTS_NOMINAL, std::to_wstring(volts).c_str());
}

std::int32_t CEventsDlg::NominalFromBox() {
    wchar_t text[32] = {};
    ::GetDlgItemTextW(hwnd_, IDC_EVENTS_NOMINAL, text, 32);
    std::int32_t volts = 0;
    // What the box cannot hold goes back to the voltage of the last scan.
    if (!ParseNominalVolts(Narrow(text), &volts)) volts = request_.nominalVolts;
    SetNominal(volts);
    return volts;
}

void CEventsDlg::Rescan() {
    request_.nominalVolts = NominalFromBox();
    events_.clear();
    ShowEvents();
    scan_->SetCard(reader_);
    scan_->Start(request_);
    SetScanning(true);
}

void CEventsDlg::SetScanning(bool scanning) {
    ::EnableWindow(Item(IDC_EVENTS_SCAN), !scanning);
    ::EnableWindow(Item(IDC_EVENTS_CANCEL), scanning);
    ::SendDlgItemMessageW(hwnd_, IDC_EVENTS_PROGRESS, PBM_SETPOS, 0, 0);
    ::ShowWindow(Item(IDC_EVENTS_PROGRESS), scanning ? SW_SHOW : SW_HIDE);
    if (scanning) {
        ::SetDlgItemTextW(hwnd_, IDC_EVENTS_STATUS, WithArg(LoadText(IDS_EVENTS_SCANNING), L"0").c_str());
    }
}

void CEventsDlg::OnScanDone(WPARAM generation) {
    const std::unique_ptr<EventScanResult> result = scan_->TakeResult(generation);
    if (!result) return;
    SetScanning(false);
    events_ = result->events;
    ShowEvents();
    const std::wstring records = std::to_wstring(result->records);
    std::wstring status;
    switch (EventsNoteOf(*result)) {
    case EventsNote::kNoDevice:
        status = LoadText(IDS_EVENTS_NO_DEVICE);
        break;
    case EventsNote::kNoRecords:
        status = LoadText(IDS_OVERVIEW_NO_RECORDS);
        break;
    case EventsNote::kCancelled:
        status = LoadText(IDS_EVENTS_CANCELLED);
        break;
    case EventsNote::kCardGone:
        status = LoadText(IDS_EVENTS_CARD_GONE);
        break;
    case EventsNote::kEmptyRange:
        status = LoadText(IDS_OVERVIEW_EMPTY_RANGE);
        break;
    case EventsNote::kNone:
        status = WithArg(LoadText(IDS_EVENTS_NONE), records);
        break;
    case EventsNote::kFound:
        status = WithArgs(LoadText(IDS_EVENTS_FOUND), std::to_wstring(events_.size()), records);
        break;
    }
    ::SetDlgItemTextW(hwnd_, IDC_EVENTS_STATUS, status.c_str());
    if (found_) found_(events_);
}

void CEventsDlg::ShowEvents() {
    // A new list is shown in the order found, until a header is clicked.
    shown_ = events_;
    sortColumn_ = EventsColumn::kStart;
    descending_ = false;
    FillList();
    ShowSortArrow();
    ::EnableWindow(Item(IDC_EVENTS_EXPORT), !events_.empty());
}

void CEventsDlg::SortBy(EventsColumn column) {
    // The same header again turns the order round.
    descending_ = column == sortColumn_ && !descending_;
    sortColumn_ = column;
    SortEvents(shown_, column, descending_);
    FillList();
    ShowSortArrow();
}

void CEventsDlg::FillList() {
    const HWND list = Item(IDC_EVENTS_LIST);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const PowerEvent& event = shown_[i];
        const int row = static_cast<int>(i);
        const std::wstring cells[kEventsColumnCount] = {KindText(event), TimeText(event.start),
                                                        std::to_wstring(event.DurationSeconds()),
                                                        std::to_wstring(event.extreme)};
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(cells[0].c_str());
        ListView_InsertItem(list, &item);
        for (int column = 1; column < kEventsColumnCount; ++column) {
            ListView_SetItemText(list, row, column, const_cast<wchar_t*>(cells[column].c_str()));
        }
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void CEventsDlg::ExportCsv() {
    // The same text as orvanta-card events writes, in the order found.
    SaveTextAs(hwnd_, IDS_EVENTS_EXPORT, L"events.csv", [this] { return EventsCsv(events_); });
}

void CEventsDlg::ChooseRow(int row) {
    // As a click on the strip: the owner queries the event's start.
    if (row >= 0 && static_cast<std::size_t>(row) < shown_.size()) {
        ::SendMessageW(owner_, kOverviewChosenMessage, 0, shown_[static_cast<std::size_t>(row)].start);
    }
}

bool CEventsDlg::OnNotify(const NMHDR& header) {
    if (header.idFrom != IDC_EVENTS_LIST) return false;
    if (header.code == LVN_COLUMNCLICK) {
        const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
        if (column >= 0 && column < kEventsColumnCount) SortBy(static_cast<EventsColumn>(column));
        return true;
    }
    if (header.code == NM_CLICK) {
        ChooseRow(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
        return true;
    }
    return false;
}

bool CEventsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kScanProgressMessage:
        if (!scan_->IsCurrent(wParam)) return true;
        ::SendDlgItemMessageW(hwnd_, IDC_EVENTS_PROGRESS, PBM_SETPOS, lParam, 0);
        ::SetDlgItemTextW(hwnd_, IDC_EVENTS_STATUS,
                          WithArg(LoadText(IDS_EVENTS_SCANNING), std::to_wstring(lParam)).c_str());
        return true;
    case kScanDoneMessage:
        OnScanDone(wParam);
        return true;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return true;
    case WM_GETMINMAXINFO:
        if (minSize_.cx > 0) {
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{minSize_.cx, minSize_.cy};
        }
        return true;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:  // Enter (the dialog manager's)
            OnEnter();
            return true;
        case IDC_EVENTS_SCAN:
            Rescan();
            return true;
        case IDC_EVENTS_CANCEL:
            scan_->Stop();
            return true;
        case IDC_EVENTS_EXPORT:
            ExportCsv();
            return true;
        case IDCANCEL:
            ::ShowWindow(hwnd_, SW_HIDE);
            // The strip's marks belong to the list, as in the Linux window.
            if (found_) found_({});
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

}  // namespace orvanta
