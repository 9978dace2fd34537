// CEventsPanel: the events list of the main window (查找事件…). It scans a
// time range of the card (the overview strip's current one) for dips, swells
// and interruptions off the user-interface thread, with progress and cancel,
// and lists them by kind, start, duration and extreme, sortable by each. A
// click on an event chooses its start second; the list, sorted by start at
// first, can be exported as the command line's CSV. The nominal voltage
// comes from the configuration file and can be changed here for the next
// scan.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QDialog>

#include "card/card_reader.h"
#include "card/event_scan.h"

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

namespace orvanta {

class CEventsScanRunner;

class CEventsPanel : public QDialog {
    Q_OBJECT

public:
    // Scans the card of `reader` (device, ring base and ratios are copied at
    // each scan); the nominal voltage is read from the file at `iniPath` at
    // each FindEvents. Both must outlive the panel.
    CEventsPanel(const CCardReader& reader, const std::string& iniPath, QWidget* parent);
    ~CEventsPanel() override;

    // 查找事件… (Ctrl+F), for the window's context menus and its button.
    QAction* FindAction() const { return findAction_; }

    // Shows the panel, takes the configured nominal voltage and scans
    // [from, to]; from >= to scans the whole card.
    void FindEvents(std::int32_t from, std::int32_t to);
    // Scans the current range again with the nominal voltage shown.
    void Rescan();
    void CancelScan();
    bool IsScanning() const;

    const std::vector<PowerEvent>& Events() const { return events_; }
    // The event shown in a row of the list (as sorted now).
    const PowerEvent& EventInRow(int row) const;
    // Writes the list as CSV to `path` and says where it went or why it
    // failed, as the window's other exports do.
    bool ExportCsv(const QString& path);
    // The text of the last export's message (for the window's tests).
    const QString& LastMessage() const { return lastMessage_; }
    // "events-2024-03-14_152000-2024-03-14_162000.csv" for the range
    // scanned; "events-whole-card.csv" for the whole card.
    QString DefaultFileName() const;
    QString StatusText() const;

    QTableWidget* List() const { return list_; }
    QSpinBox* NominalBox() const { return nominal_; }
    QPushButton* ScanButton() const { return scan_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* ExportButton() const { return export_; }

signals:
    // A click on an event: its start second.
    void eventChosen(std::int32_t time);
    // A scan ended (done, cancelled, failed): the events found, for the strip.
    void eventsFound(const std::vector<orvanta::PowerEvent>& events);

private:
    void OnScanFinished(const EventScanResult& result);
    void OnExport();
    void ShowEvents();
    void SetScanning(bool scanning);

    const CCardReader& reader_;
    const std::string& iniPath_;
    EventScanRequest request_;
    std::vector<PowerEvent> events_;
    CEventsScanRunner* runner_ = nullptr;
    QTimer* progressTimer_ = nullptr;

    QAction* findAction_ = nullptr;
    QSpinBox* nominal_ = nullptr;
    QPushButton* scan_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* export_ = nullptr;
    QLabel* range_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTableWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
    QString lastMessage_;
};

}  // namespace orvanta
