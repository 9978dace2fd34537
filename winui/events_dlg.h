// CEventsDlg: the events list of the Windows window (查找事件…), a modeless
// dialog (template IDD_EVENTS) owned by the main window. It scans a time
// range of the card (the strip's current one) for dips, swells and
// interruptions on a worker thread, with progress and cancel, and lists them
// by kind, start, duration and extreme, sorted by a click on a column's
// header. A click on an event sends its start second to the owner as a click
// on the overview strip does (kOverviewChosenMessage); the list is exported
// as the command line's CSV. The nominal voltage comes from the
// configuration file and can be changed here for the next scan. It can be
// resized, opens above its owner's strip, and works from the keyboard (Tab,
// Escape, Enter in the voltage box scans, on a row queries it).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "card/event_scan.h"
#include "dialogcore/event_list.h"
#include "winui/worker_scan.h"

namespace orvanta {

class CEventsDlg {
public:
    // Called with the events of each finished scan (for the strip's marks),
    // and with none when the list is closed.
    using FoundHook = std::function<void(const std::vector<PowerEvent>&)>;

    // `reader` and `iniPath` must outlive the dialog; it is created hidden.
    CEventsDlg(const CCardReader& reader, const std::string& iniPath, HWND owner, FoundHook found);
    ~CEventsDlg();
    CEventsDlg(const CEventsDlg&) = delete;
    CEventsDlg& operator=(const CEventsDlg&) = delete;

    // Shows the list, takes the configured nominal voltage and scans
    // [from, to]; from >= to scans the whole card.
    void FindEvents(std::int32_t from, std::int32_t to);
    HWND Handle() const { return hwnd_; }

private:
    using CEventsScan = CWorkerScan<CEventScan, EventScanRequest, EventScanResult>;

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnNotify(const NMHDR& header);
    void InitList();
    void Rescan();
    void OnScanDone(WPARAM generation);
    void SetScanning(bool scanning);
    // The events found, in that order; sorted by a column; into the list view.
    void ShowEvents();
    void SortBy(EventsColumn column);
    void FillList();
    void ExportCsv();
    // A click or Enter on row `row` of the list: the owner queries its event.
    void ChooseRow(int row);
    std::int32_t NominalFromBox();
    void SetNominal(std::int32_t volts);
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    // Frame and keyboard (events_dlg_frame.cpp).
    void InitFrame();
    void OnSize(int cx, int cy);
    void PlaceBesideOwner();
    void ShowSortArrow();
    void OnEnter();

    const CCardReader& reader_;
    const std::string& iniPath_;
    HWND owner_;
    FoundHook found_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<CEventsScan> scan_;
    EventScanRequest request_;
    std::vector<PowerEvent> events_;  // in the order found (exported so)
    std::vector<PowerEvent> shown_;   // in the list's order
    EventsColumn sortColumn_ = EventsColumn::kStart;
    bool descending_ = false;
    SIZE minSize_ = {};
    SIZE lastClient_ = {};
    bool placed_ = false;
};

}  // namespace orvanta
