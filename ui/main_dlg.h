// CMainDlg: the client's main window. It shows the analysis server's page in
// the embedded browser and lets the user choose the second to query with a
// date picker and hour, minute and second lists; the refresh button (also the
// Enter key) and the step buttons run the query road and post it through the
// browser. It owns the card reader for its whole life.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <QIcon>
#include <QUrl>

#include "card/card_reader.h"
#include "card/local_time.h"
#include "dialogcore/main_controls.h"
#include "dialogcore/time_selection.h"
#include "request/config_search.h"
#include "request/form_poster.h"
#include "request/query_road.h"
#include "ui/dialog_units.h"
#include "ui/resizable_dlg.h"

class QAction;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTimer;
class QWebEngineLoadingInfo;

namespace orvanta {

class CAnalysisPages;
class CCardFileCommands;
class CEventsPanel;
class COverviewStrip;
class CRecordExport;
class CServerWait;
class CWebBrowser2;
class DriveMap;

struct MainDlgOptions {
    // The configuration file; empty: the configuration search (beside the
    // executable, the user's configuration folder, /etc/orvanta).
    std::string iniPath;
    // The drive map the volumes resolve through, to name the card's device
    // in the status line; may be null.
    const DriveMap* drives = nullptr;
    // Called before each new drive search (重新查找存储卡, and every two
    // seconds while no card is present): finds the removable media again,
    // so that a card reader plugged in after start gets its letter; may be
    // empty. It may change *drives.
    std::function<void()> findDrives;
    // The card image taken as the card (--image), named in the title; or empty.
    std::string cardImage;
    // How long to wait for the server's page (only totalSeconds is used:
    // the browser engine connects by itself). Tests set a short limit.
    PostLimits serverLimits;
};

class CMainDlg : public CResizableDlg {
    Q_OBJECT

public:
    // Constructs the card reader on `volumes` (which must outlive the
    // window): calibration ratios, then the drive search. The selected time
    // is the moment of construction.
    explicit CMainDlg(RawVolumeSystem& volumes, const MainDlgOptions& options = MainDlgOptions(),
                      QWidget* parent = nullptr);
    ~CMainDlg() override;

    // The date of the picker with the hour, minute and second of the lists,
    // as local standard time (mktime, daylight-saving flag 0).
    std::int32_t TimeFromControls() const;
    // Shows the selected time in the lists and the picker, as the same local
    // standard time, so that TimeFromControls gives it back exactly.
    void ShowSelectedTime();

    std::int32_t SelectedTime() const { return selection_.Time(); }
    void SetSelectedTime(std::int32_t time) { selection_.Set(time); }

    // The query: compose the time, run the shared query road, take over the
    // record's time, disable the three command buttons and navigate.
    void RunQuery();

    CCardReader& Reader() { return *reader_; }
    const std::string& IniPath() const { return iniPath_; }
    const ConfigLookup& Config() const { return config_; }
    const DialogUnits& Units() const { return units_; }
    const QIcon& Icon() const { return icon_; }
    QString StatusText() const;

    CWebBrowser2* Browser() const { return browser_; }
    QPushButton* RefreshButton() const { return refresh_; }
    QPushButton* BackButton() const { return back_; }
    QPushButton* ForwardButton() const { return forward_; }
    QComboBox* HourList() const { return hourList_; }
    QComboBox* MinuteList() const { return minuteList_; }
    QComboBox* SecondList() const { return secondList_; }
    QDateEdit* DatePicker() const { return datePicker_; }
    QAction* AboutAction() const { return aboutAction_; }
    COverviewStrip* OverviewStrip() const { return overview_; }
    CEventsPanel* EventsPanel() const { return events_; }
    QAction* SavePdfAction() const { return savePdfAction_; }
    QAction* ExportCsvAction() const { return exportCsvAction_; }
    QAction* ExportOverviewAction() const { return exportOverviewAction_; }
    QAction* FindCardAction() const { return findCardAction_; }
    QAction* StopWaitingAction() const { return stopWaitingAction_; }
    // True from a post until the server's page (or a failure) arrives.
    bool WaitingForServer() const;

    // The exports without their file dialogs: the page shown as an A4 PDF
    // (finished when Exporter() reports pdfSaved), and the record of the
    // last query as CSV.
    void SavePageAsPdf(const QString& path);
    bool ExportRecordCsv(const QString& path);
    CRecordExport* Exporter() const { return export_; }
    // The local analysis and the report of the strip's range.
    CAnalysisPages* AnalysisPages() const { return analysisPages_; }
    // Card images and the record's COMTRADE files.
    CCardFileCommands* CardFiles() const { return cardFiles_; }
    // Takes the card image at `path` as the card in drive E:, alone, as
    // `--image` does: the title bar and the status line name it.
    void OpenCardImage(const QString& path);

public slots:
    void OnOK();
    void OnStepBack();
    void OnStepForward();
    void OnDateChange();
    void OnListChange();
    void OnDocumentComplete();
    void OnAbout();
    // A click on the overview strip: that record's second becomes the
    // selected time and is queried as the refresh button queries.
    void OnOverviewSampleChosen(std::int32_t time);
    void OnSavePdf();
    void OnExportCsv();
    // 重新查找存储卡 (F5, context menu): the drive search runs again with a
    // new reader; the start page, the status line and the overview show what
    // it found.
    void OnFindCard();
    // Escape: closes an open list, calendar or menu; else ends the wait for
    // the server; else closes the window.
    void OnEscape();
    // Ends the wait for the server: the load stops and the buttons come back.
    void OnStopWaiting();

protected:
    bool OnInitDialog() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    // The caption, with the card image's name when one is taken as the card.
    void ShowCaption(const std::string& cardImage);
    void SetTemplateTabOrder();
    PreparedQuery PrepareFromControls();
    // Takes over the record's time, disables the buttons, says what was
    // found in the status line and posts (or shows a local page).
    void Present(const PreparedQuery& query);
    void PostQuery(const PreparedQuery& query);
    // The card as the reader found it: start page, status line, overview,
    // and the look-out for a card while there is none.
    void ShowCardFound();
    void OnCardPoll();
    void OnLoadingChanged(const QWebEngineLoadingInfo& info);
    void OnServerWaitTick(qint64 seconds);
    void OnServerTimedOut();
    // The wait is over: the status line shows the record line alone.
    void EndServerWait();
    void Step(std::int32_t seconds);
    TimeControlValues ControlValues() const;
    void RebuildSelectedTime();
    // The card line, then `recordLine` (kept for later calls) followed by
    // `waiting` when not empty.
    void ShowStatus(const QString& recordLine, const QString& waiting = QString());
    QString CardLineText();
    std::string CardDevicePath() const;

    const DriveMap* drives_;
    std::string iniPathOverride_;
    DialogUnits units_;

    QPushButton* forward_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* refresh_ = nullptr;
    CWebBrowser2* browser_ = nullptr;
    QComboBox* hourList_ = nullptr;
    QComboBox* minuteList_ = nullptr;
    QComboBox* secondList_ = nullptr;
    QDateEdit* datePicker_ = nullptr;
    QLabel* statusLine_ = nullptr;
    QAction* aboutAction_ = nullptr;
    COverviewStrip* overview_ = nullptr;
    CEventsPanel* events_ = nullptr;
    QAction* savePdfAction_ = nullptr;
    QAction* exportCsvAction_ = nullptr;
    QAction* exportOverviewAction_ = nullptr;
    CRecordExport* export_ = nullptr;
    CAnalysisPages* analysisPages_ = nullptr;
    CCardFileCommands* cardFiles_ = nullptr;
    QAction* findCardAction_ = nullptr;
    QTimer* cardPoll_ = nullptr;
    QAction* stopWaitingAction_ = nullptr;
    CServerWait* serverWait_ = nullptr;
    std::function<void()> findDrives_;

    // Constructed in this order: the reader (calibration, drive search),
    // then the path, then the selected time, then the icon.
    // (A new drive search replaces the reader in place.)
    std::optional<CCardReader> reader_;
    std::string iniPath_;
    ConfigLookup config_;
    CTimeSelection selection_;
    QIcon icon_;
    QString statusText_;
    // The status line's second line for the record shown (empty: none yet).
    QString recordLine_;
    // Without a card: why the first drive that names something could not be
    // read (empty when each was read and holds no card, or none is mapped).
    std::string noCardCause_;  // UTF-8
    // The time of the record the last query showed (0: none), and the
    // server address of a navigation not yet finished (empty: none).
    std::int32_t shownRecord_ = 0;
    QUrl pendingServer_;
};

}  // namespace orvanta
