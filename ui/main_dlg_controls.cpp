// The main window's controls, built from its template table in dialog units,
// with their tab order, context-menu actions and connections.
#include <initializer_list>

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWebEnginePage>

#include "dialogcore/card_search.h"
#include "ui/web_browser2.h"
#include "ui/analysis_pages.h"
#include "ui/card_file_commands.h"
#include "ui/main_dlg.h"
#include "ui/events_panel.h"
#include "ui/overview_strip.h"
#include "ui/record_export.h"
#include "ui/strip_quantity_menu.h"
#include "ui/server_wait.h"
#include "ui/window_keys.h"
#include "ui/ui_strings.h"

namespace orvanta {
namespace {

// The template of the main window, in dialog units.
constexpr int kClientWidth = 409;
constexpr int kClientHeight = 251;
// A drop-down list's closed height; the template's list heights include the
// dropped-down part, whose rows are one font height (8 units) each.
constexpr int kListClosedHeight = 14;
constexpr int kListRowHeight = 8;
// The status line: the row of the refresh button (which ends at 70), from
// beside it to the right edge, two font heights (8 units each) high, so
// that a record line with two times fits whole in either language.
constexpr int kStatusX = 76;
constexpr int kStatusY = 225;
constexpr int kStatusWidth = 330;
constexpr int kStatusHeight = 18;

QDate DateOf(const TimeControlValues& values) { return QDate(values.year, values.month, values.day); }

}  // namespace

void CMainDlg::CreateControls() {
    auto place = [this](QWidget* control, std::int32_t id, const char* name, int x, int y, int w, int h) {
        control->setObjectName(QString::fromLatin1(name));
        control->setProperty("controlId", id);
        control->setGeometry(units_.Rect(x, y, w, h));
        BindControl(id, control);
    };
    auto makeList = [this, &place](std::int32_t id, const char* name, int x, int y, int w, int h, int count) {
        auto* list = new QComboBox(this);
        for (int i = 0; i < count; ++i) {
            list->addItem(QString::asprintf("%02d", i));  // index == value
        }
        list->setMaxVisibleItems((h - kListClosedHeight) / kListRowHeight);
        place(list, id, name, x, y, w, kListClosedHeight);
        return list;
    };
    auto makeLabel = [this, &place](std::int32_t id, const char* name, const char* caption, int x, int y, int w,
                                    int h) {
        auto* label = new QLabel(text::Tr(caption), this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        place(label, id, name, x, y, w, h);
        return label;
    };

    // In the template's tab order.
    refresh_ = new QPushButton(text::Tr(text::kRefresh), this);
    refresh_->setDefault(true);
    place(refresh_, kIdRefresh, "refreshButton", 20, 227, 50, 14);

    makeLabel(kIdTimeLabel, "timeLabel", text::kSelectTime, 9, 209, 39, 8);

    browser_ = new CWebBrowser2(this);
    // The browser leaves room for the overview strip below it.
    place(browser_, kIdBrowser, "browser", 9, 8, 391, 148);
    overview_ = new COverviewStrip(this);
    place(overview_, kIdOverview, "overviewStrip", 9, 159, 337, 42);

    hourList_ = makeList(kIdHourList, "hourList", 116, 206, 33, 76, 24);
    minuteList_ = makeList(kIdMinuteList, "minuteList", 165, 206, 33, 81, 60);
    secondList_ = makeList(kIdSecondList, "secondList", 212, 206, 33, 83, 60);

    makeLabel(kIdHourLabel, "hourLabel", text::kHour, 152, 209, 9, 8);
    makeLabel(kIdMinuteLabel, "minuteLabel", text::kMinute, 200, 209, 9, 8);
    makeLabel(kIdSecondLabel, "secondLabel", text::kSecond, 247, 209, 9, 8);

    datePicker_ = new QDateEdit(this);
    datePicker_->setCalendarPopup(true);
    datePicker_->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    // Every date a 32-bit time value can show in this zone; a date at either
    // end whose time of day the value cannot hold is refused on change.
    datePicker_->setDateRange(DateOf(CTimeSelection::FirstDate()), DateOf(CTimeSelection::LastDate()));
    place(datePicker_, kIdDatePicker, "datePicker", 51, 205, 57, 15);

    back_ = new QPushButton(text::Tr(text::kBack), this);
    place(back_, kIdBack, "backButton", 275, 205, 13, 14);
    forward_ = new QPushButton(text::Tr(text::kForward), this);
    place(forward_, kIdForward, "forwardButton", 292, 205, 13, 14);

    // Two lines beside the refresh button: the card (drive and device
    // path), then the record time. Never wrapped: a line too long for it is
    // elided (ShowStatus), whole in the tooltip.
    statusLine_ = new QLabel(this);
    statusLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    statusLine_->setTextFormat(Qt::PlainText);
    statusLine_->setWordWrap(false);
    place(statusLine_, kIdStatusLine, "statusLine", kStatusX, kStatusY, kStatusWidth, kStatusHeight);

    for (QPushButton* button : {refresh_, back_, forward_}) {
        button->setFocusPolicy(Qt::StrongFocus);
    }
    SetTemplateTabOrder();

    // Linux gives a program no system menu: the about entry is in the
    // window's context menu (the browser's too), and F1 opens it.
    aboutAction_ = new QAction(text::Tr(text::kAboutMenuItem), this);
    aboutAction_->setObjectName(QStringLiteral("aboutAction"));
    aboutAction_->setShortcut(QKeySequence(Qt::Key_F1));
    aboutAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(aboutAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    browser_->addAction(aboutAction_);
    browser_->setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(refresh_, &QPushButton::clicked, this, &CMainDlg::OnOK);
    connect(back_, &QPushButton::clicked, this, &CMainDlg::OnStepBack);
    connect(forward_, &QPushButton::clicked, this, &CMainDlg::OnStepForward);
    connect(datePicker_, &QDateEdit::dateChanged, this, &CMainDlg::OnDateChange);
    for (QComboBox* list : {hourList_, minuteList_, secondList_}) {
        connect(list, qOverload<int>(&QComboBox::currentIndexChanged), this, &CMainDlg::OnListChange);
    }
    connect(browser_, &CWebBrowser2::documentComplete, this, &CMainDlg::OnDocumentComplete);
    connect(aboutAction_, &QAction::triggered, this, &CMainDlg::OnAbout);

    // Escape closes the window wherever the focus is (the dialog itself sees
    // the key only from its own controls, never from the page, which keeps
    // the keys it is given), unless a list, calendar or menu is open or the
    // server is awaited: then it closes that, or ends the wait (OnEscape).
    auto* closeAction = new QAction(this);
    closeAction->setObjectName(QStringLiteral("closeAction"));
    closeAction->setShortcut(QKeySequence(Qt::Key_Escape));
    closeAction->setShortcutContext(Qt::WindowShortcut);
    addAction(closeAction);
    connect(closeAction, &QAction::triggered, this, &CMainDlg::OnEscape);

    // Exports of what the window shows, in both context menus.
    savePdfAction_ = new QAction(text::Tr(text::kSavePdf), this);
    savePdfAction_->setObjectName(QStringLiteral("savePdfAction"));
    savePdfAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    exportCsvAction_ = new QAction(text::Tr(text::kExportCsv), this);
    exportCsvAction_->setObjectName(QStringLiteral("exportCsvAction"));
    exportCsvAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    for (QAction* action : {savePdfAction_, exportCsvAction_}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        browser_->addAction(action);
    }
    export_ = new CRecordExport(
        this, *browser_, [this]() -> const CCardReader& { return *reader_; }, [this] { return iniPath_; });
    connect(savePdfAction_, &QAction::triggered, this, &CMainDlg::OnSavePdf);
    connect(exportCsvAction_, &QAction::triggered, this, &CMainDlg::OnExportCsv);
    connect(overview_, &COverviewStrip::sampleChosen, this, &CMainDlg::OnOverviewSampleChosen);
    // The strip's samples of its range, as orvanta-card overview writes them.
    exportOverviewAction_ = new QAction(text::Tr(text::kExportOverview), this);
    exportOverviewAction_->setObjectName(QStringLiteral("exportOverviewAction"));
    exportOverviewAction_->setEnabled(false);  // no samples yet
    for (QWidget* menu : {static_cast<QWidget*>(this), static_cast<QWidget*>(browser_), static_cast<QWidget*>(overview_)}) {
        menu->addAction(exportOverviewAction_);
    }
    connect(overview_, &COverviewStrip::scanFinished, this,
            [this] { exportOverviewAction_->setEnabled(!overview_->Samples().empty()); });
    connect(exportOverviewAction_, &QAction::triggered, this, [this] {
        if (overview_->IsScanning()) {
            QMessageBox::information(this, windowTitle(), overview_->StateText());
        } else {
            export_->ChooseAndExportOverview(overview_->Samples(), overview_->ViewFrom());
        }
    });

    // Pages made here: the local analysis of the record shown (Ctrl+L) and
    // the report of the strip's range (Ctrl+R); the strip's quantity menu.
    analysisPages_ = new CAnalysisPages(
        this, *browser_, [this]() -> CCardReader& { return *reader_; }, [this] { return iniPath_; });
    for (QAction* action : {analysisPages_->LocalAnalysisAction(), analysisPages_->ReportAction()}) {
        addAction(action);
        browser_->addAction(action);
    }
    overview_->addAction(analysisPages_->ReportAction());
    connect(analysisPages_->ReportAction(), &QAction::triggered, this,
            [this] { analysisPages_->MakeReport(overview_->ViewFrom(), overview_->ViewTo()); });
    new CStripQuantityMenu(overview_);
    // Card images and the record's COMTRADE files.
    cardFiles_ = new CCardFileCommands(
        this, *export_, [this]() -> CCardReader& { return *reader_; }, [this] { return iniPath_; });
    for (QAction* action : {cardFiles_->SaveImageAction(), cardFiles_->OpenImageAction(), cardFiles_->ComtradeAction()}) {
        addAction(action);
        browser_->addAction(action);
    }
    connect(cardFiles_, &CCardFileCommands::cardImageChosen, this, &CMainDlg::OpenCardImage);

    // The events list scans the strip's current range (the whole card when the strip shows none).
    events_ = new CEventsPanel(*reader_, iniPath_, this);
    QAction* findEvents = events_->FindAction();
    auto* findEventsButton = new QPushButton(findEvents->text(), this);
    place(findEventsButton, kIdFindEvents, "findEventsButton", 349, 159, 51, 14);
    connect(findEventsButton, &QPushButton::clicked, findEvents, &QAction::trigger);
    for (QWidget* menu : {static_cast<QWidget*>(this), static_cast<QWidget*>(browser_), static_cast<QWidget*>(overview_)}) {
        menu->addAction(findEvents);
    }
    connect(findEvents, &QAction::triggered, this, [this] { events_->FindEvents(overview_->ViewFrom(), overview_->ViewTo()); });
    connect(events_, &CEventsPanel::eventChosen, this, &CMainDlg::OnOverviewSampleChosen);
    // The marks belong to the list: they go when it is closed, and a scan
    // that ends after that marks nothing.
    connect(events_, &CEventsPanel::eventsFound, this, [this](const std::vector<PowerEvent>& events) {
        if (events_->isVisible()) overview_->SetEventMarks(events);
    });
    connect(events_, &QDialog::finished, overview_, &COverviewStrip::ClearEventMarks);

    // 重新查找存储卡: a card put in after start is found (F5 or the context
    // menu); while there is none, the window looks every two seconds.
    findCardAction_ = new QAction(text::Tr(text::kFindCard), this);
    findCardAction_->setObjectName(QStringLiteral("findCardAction"));
    findCardAction_->setShortcut(QKeySequence(Qt::Key_F5));
    findCardAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(findCardAction_);
    browser_->addAction(findCardAction_);
    connect(findCardAction_, &QAction::triggered, this, &CMainDlg::OnFindCard);
    cardPoll_ = new QTimer(this);
    cardPoll_->setInterval(kCardPollMilliseconds);
    connect(cardPoll_, &QTimer::timeout, this, &CMainDlg::OnCardPoll);
    connect(browser_->page(), &QWebEnginePage::loadingChanged, this, &CMainDlg::OnLoadingChanged);

    // The wait for the server: seconds in the status line, a stop entry in
    // both context menus, and the same overall limit as orvanta-query's.
    serverWait_ = new CServerWait(this);
    stopWaitingAction_ = new QAction(text::Tr(text::kStopWaiting), this);
    stopWaitingAction_->setObjectName(QStringLiteral("stopWaitingAction"));
    stopWaitingAction_->setEnabled(false);
    addAction(stopWaitingAction_);
    browser_->addAction(stopWaitingAction_);
    connect(stopWaitingAction_, &QAction::triggered, this, &CMainDlg::OnStopWaiting);
    connect(serverWait_, &CServerWait::tick, this, &CMainDlg::OnServerWaitTick);
    connect(serverWait_, &CServerWait::timedOut, this, &CMainDlg::OnServerTimedOut);

    // Keys the date field's editor would take for itself (Ctrl+E: end of
    // line) stay the window's; Escape in an open list closes the list only.
    for (QWidget* control : std::initializer_list<QWidget*>{datePicker_, hourList_, minuteList_, secondList_}) {
        CWindowKeys::Install(this, control);
    }

    resize(units_.X(kClientWidth), units_.Y(kClientHeight));
}

void CMainDlg::SetTemplateTabOrder() {
    // Once a page is loaded, the browser takes no focus itself: its page
    // widget (the focus proxy) is the tab stop.
    QWidget* browserStop = browser_->focusProxy() != nullptr ? browser_->focusProxy() : browser_;
    QWidget::setTabOrder(refresh_, browserStop);
    QWidget::setTabOrder(browserStop, hourList_);
    QWidget::setTabOrder(hourList_, minuteList_);
    QWidget::setTabOrder(minuteList_, secondList_);
    QWidget::setTabOrder(secondList_, datePicker_);
    QWidget::setTabOrder(datePicker_, back_);
    QWidget::setTabOrder(back_, forward_);
}

}  // namespace orvanta
