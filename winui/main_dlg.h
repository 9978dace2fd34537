// CMainDlg: the client's main window on Windows, dialog template 102. The
// system's WebBrowser control shows the start page, then the analysis
// server's page; the overview strip below it shows the whole card; a date
// picker and hour, minute and second lists choose the second to query; the
// refresh button (also Enter), the step buttons and a click on the strip run
// the shared query road and post it through the browser. The context menu
// and the system menu open the events list of the strip's range, export the
// record shown as CSV, print the page, read the overview again and open the
// about box. It owns the card reader for its
// life.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "card/card_reader.h"
#include "dialogcore/time_selection.h"
#include "platform/drive_map.h"
#include "request/config_search.h"
#include "request/query_road.h"
#include "winui/browser_events.h"
#include "winui/events_dlg.h"
#include "winui/image_save_work.h"
#include "winui/overview_strip.h"
#include "winui/report_work.h"
#include "winui/resizable_dlg.h"
#include "winui/status_line.h"
#include "winui/web_browser2.h"

namespace orvanta {

// The card a window is opened on: the drive map `volumes` were made from
// (a card image as E:, or empty) and the image's path (empty: none), and
// where the window that opened the image stood.
struct MainDlgCard {
    DriveMap drives;
    std::wstring image;
    WINDOWPLACEMENT placement = {};  // its length is set when it is taken
    bool placed = false;
};

class CMainDlg : public CResizableDlg, private CBrowserListener {
public:
    // Constructs the card reader on `volumes` (which must outlive the
    // window): calibration ratios, then the drive search. The selected time
    // is the moment of construction.
    explicit CMainDlg(RawVolumeSystem& volumes, const MainDlgCard& card = MainDlgCard());
    ~CMainDlg() override;

    // After the window has ended: the image 打开存储卡映像… chose (empty:
    // none, the program ends) and where the window stood.
    const std::wstring& ImageToOpen() const { return imageToOpen_; }
    const WINDOWPLACEMENT& Placement() const { return card_.placement; }

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    BOOL OnInitDialog() override;

private:
    // Time controls.
    TimeControlValues ControlValues() const;
    std::int32_t TimeFromControls() const;
    void ShowSelectedTime();
    void RebuildSelectedTime();
    void Step(std::int32_t seconds);
    void FillLists();

    // The query (main_dlg_query.cpp).
    PreparedQuery PrepareFromControls();
    void RunQuery();
    void Present(const PreparedQuery& query);
    void PostQuery(const PreparedQuery& query);
    void ShowLocalPage(const std::string& html);
    void EnableButtons(bool enabled);
    void OnDocumentComplete(IDispatch* frame) override;
    void OnNavigateError(IDispatch* frame, long status) override;

    // The menus and what they do (main_dlg_menu.cpp).
    void AddMenuToSystemMenu();
    void ShowContextMenu(LPARAM at);
    bool OnMenuCommand(int command);
    void ExportRecordCsv();
    void OnOverviewChosen(std::int32_t time);
    void FindEvents();

    // The power-quality commands (main_dlg_analysis.cpp): 本地分析 (also F6),
    // 生成报告… on a worker thread, the strip's quantity, and the page shown
    // when the server cannot be reached, with the local analysis below it.
    void StartAnalysisCommands();
    void StopAnalysisCommands();
    void PrepareAnalysisEntries(HMENU entries);
    bool OnAnalysisCommand(int command);
    bool OnAnalysisMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);
    void ShowLocalAnalysis();
    void MakeReport();
    void OnReportDone(WPARAM generation);
    void ChooseQuantity(OverviewQuantity quantity);
    std::string UnreachablePage(const std::string& serverBaseUrl, const std::string& engineError);

    // Card images and the COMTRADE export (main_dlg_image.cpp): the copy of
    // the card on a worker thread, with its progress in the status line.
    void PrepareImageEntries(HMENU entries);
    bool OnImageCommand(int command);
    bool OnImageMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);
    void SaveCardImage();
    void OnImageSaved(WPARAM generation);
    void OpenCardImage();
    void ExportComtrade();
    // The window's caption, naming the card image when it has one.
    void ShowCaption();
    // The card image's file name when it is the drive found at start (UTF-8).
    std::string CardImageOnDrive() const;
    bool Saving() const { return imageSave_ != nullptr && imageSave_->IsScanning(); }
    void TellProblem(const std::wstring& text);

    void ShowStartPage();
    // The card search (main_dlg_card.cpp): the card as the reader found it
    // (start page, status line, strip, and the two-second search while there
    // is none); 重新查找存储卡 (F5) makes a new reader and shows it.
    void ShowCardFound();
    void OnFindCard();
    void OnCardPoll();
    // The keyboard across a query (main_dlg_focus.cpp): a focused button is
    // disabled, so the focus waits on the date picker and comes back after
    // the load (else to 刷新), so that Enter, Tab and Escape keep working.
    void ParkFocus();
    void ReturnFocus();
    // The status line: the card's line, and `recordLine` under it.
    void ShowStatus(const std::wstring& recordLine);
    void OnPaintMinimised();

    // The two-second search for a card while there is none.
    static constexpr UINT_PTR kCardPollTimer = 1;
    CCardReader reader_;
    std::string iniPath_;
    ConfigLookup config_;
    CTimeSelection selection_;
    HICON icon_;
    CWebBrowser2 browser_;
    CStatusLine status_;
    // The button that had the focus when a query disabled it (0: none).
    int focusReturn_ = 0;
    std::wstring localPagePath_;
    COverviewStrip* strip_ = nullptr;
    // The events list, made at the first 查找事件….
    std::unique_ptr<CEventsDlg> events_;
    // The time of the record the last query found (0: none yet, or none).
    std::int32_t shownRecord_ = 0;
    // Why no card was found at start, when a drive refused access (UTF-8).
    std::string noCardCause_;
    // The server address of the navigation under way (empty: none, or a
    // local page).
    std::string postedAddress_;
    // 生成报告…, made at its first use; the report's file and the status
    // line's text from before it.
    std::unique_ptr<CReportWork> report_;
    std::wstring reportPath_;
    std::wstring statusBeforeReport_;
    // The card this window was opened on, and the image to open next.
    MainDlgCard card_;
    std::wstring imageToOpen_;
    // 保存存储卡映像…, made at its first use, and the image it writes.
    std::unique_ptr<CImageSaveWork> imageSave_;
    std::wstring savingPath_;
};

}  // namespace orvanta
