#include "ui/main_dlg.h"

#include <ctime>
#include <limits>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

#include "card/card_summary.h"
#include "platform/drive_map.h"
#include "request/web_browser2.h"
#include "ui/about_dlg.h"
#include "ui/overview_strip.h"
#include "ui/record_export.h"
#include "ui/resources.h"
#include "ui/start_page.h"
#include "ui/ui_strings.h"

namespace orvanta {

const AnchorEntry CMainDlg::kAnchors[] = {
    {kIdRefresh, kAnchorMoveY, 100},     {kIdTimeLabel, kAnchorMoveY, 100},
    {kIdHourLabel, kAnchorMoveY, 100},   {kIdMinuteLabel, kAnchorMoveY, 100},
    {kIdSecondLabel, kAnchorMoveY, 100}, {kIdDatePicker, kAnchorMoveY, 100},
    {kIdHourList, kAnchorMoveY, 100},    {kIdMinuteList, kAnchorMoveY, 100},
    {kIdSecondList, kAnchorMoveY, 100},  {kIdBack, kAnchorMoveY, 100},
    {kIdForward, kAnchorMoveY, 100},     {kIdBrowser, kAnchorStretchXY, 100},
    // The status line sits in the bottom row and moves with it.
    {kIdStatusLine, kAnchorMoveY, 100},
    // The overview strip between the browser and the bottom row: it keeps
    // its distance to the bottom edge and widens with the window.
    {kIdOverview, kAnchorMoveY, 100},    {kIdOverview, kAnchorStretchX, 100},
};
const std::int32_t CMainDlg::kAnchorCount = static_cast<std::int32_t>(sizeof(kAnchors) / sizeof(kAnchors[0]));

namespace {

// The template of the main window, in dialog units.
constexpr int kClientWidth = 409;
constexpr int kClientHeight = 251;
// A drop-down list's closed height; the template's list heights include the
// dropped-down part, whose rows are one font height (8 units) each.
constexpr int kListClosedHeight = 14;
constexpr int kListRowHeight = 8;
// The status line: from beside ">" (which ends at 305) to the right edge,
// two font heights (8 units each) from the top of the step buttons.
constexpr int kStatusX = 309;
constexpr int kStatusY = 204;
constexpr int kStatusWidth = 97;
constexpr int kStatusHeight = 18;

bool SameFields(const LocalFields& a, const LocalFields& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second;
}

QDate DateOf(const LocalFields& fields) { return QDate(fields.year, fields.month, fields.day); }

// Restores the normal cursor when a query leaves its card-reading step by
// any road.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

CMainDlg::CMainDlg(RawVolumeSystem& volumes, const MainDlgOptions& options, QWidget* parent)
    : CResizableDlg(parent),
      drives_(options.drives),
      iniPathOverride_(options.iniPath),
      units_(DialogFont()),
      reader_(volumes),
      iniPath_(),
      selectedTime_(ToTime32(std::time(nullptr))),
      icon_(LoadAppIcon()) {
    setFont(DialogFont());
    setWindowTitle(text::Tr(text::kMainCaption));
    setAttribute(Qt::WA_QuitOnClose, true);
    CreateControls();
    resize(units_.X(kClientWidth), units_.Y(kClientHeight));
    OnInitDialog();
}

CMainDlg::~CMainDlg() = default;

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
    place(overview_, kIdOverview, "overviewStrip", 9, 159, 391, 42);

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
    datePicker_->setDateRange(DateOf(LocalStandardFields(std::numeric_limits<std::int32_t>::min())),
                              DateOf(LocalStandardFields(std::numeric_limits<std::int32_t>::max())));
    place(datePicker_, kIdDatePicker, "datePicker", 51, 205, 57, 15);

    back_ = new QPushButton(text::Tr(text::kBack), this);
    place(back_, kIdBack, "backButton", 275, 205, 13, 14);
    forward_ = new QPushButton(text::Tr(text::kForward), this);
    place(forward_, kIdForward, "forwardButton", 292, 205, 13, 14);

    // Two lines right of ">", inside the row of the time controls: the card
    // (drive and device path), then the record time. Never wrapped: a line
    // too long for it is elided (ShowStatus).
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

    // Escape closes the window wherever the focus is: the dialog itself sees
    // the key only from its own controls, never from the page, which keeps
    // the keys it is given.
    auto* closeAction = new QAction(this);
    closeAction->setObjectName(QStringLiteral("closeAction"));
    closeAction->setShortcut(QKeySequence(Qt::Key_Escape));
    closeAction->setShortcutContext(Qt::WindowShortcut);
    addAction(closeAction);
    connect(closeAction, &QAction::triggered, this, &QDialog::reject);

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
    export_ = new CRecordExport(this, *browser_, reader_);
    connect(savePdfAction_, &QAction::triggered, this, &CMainDlg::OnSavePdf);
    connect(exportCsvAction_, &QAction::triggered, this, &CMainDlg::OnExportCsv);
    connect(overview_, &COverviewStrip::sampleChosen, this, &CMainDlg::OnOverviewSampleChosen);
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

bool CMainDlg::OnInitDialog() {
    CResizableDlg::OnInitDialog();
    setWindowIcon(icon_);
    ShowSelectedTime();
    SetAnchors(kAnchors, kAnchorCount);
    config_ = iniPathOverride_.empty() ? FindClientConfig() : ConfigAt(iniPathOverride_);
    iniPath_ = config_.iniPath;
    ShowStatus(QString());
    // Before the first query the browser tells what was found at start and
    // how the window is used. The card is summarised on a reader of its own,
    // so the first query sends what it would have sent without this page.
    browser_->ShowLocalPage(StartPage(SummariseCard(reader_), CardDevicePath()));
    // The browser's first page gives it a focus widget of its own, placed
    // last in the focus chain: put it at the browser's place.
    SetTemplateTabOrder();
    // The overview is read off the user-interface thread from the start.
    if (reader_.StartupDriveCode() == 1) {
        overview_->ShowNoCard();
    } else {
        overview_->StartScan(reader_);
    }
    return true;
}

LocalFields CMainDlg::FieldsFromControls() const {
    const QDate date = datePicker_->date();
    LocalFields fields;
    fields.year = date.year();
    fields.month = date.month();
    fields.day = date.day();
    fields.hour = hourList_->currentIndex();
    fields.minute = minuteList_->currentIndex();
    fields.second = secondList_->currentIndex();
    return fields;
}

std::int32_t CMainDlg::TimeFromControls() const {
    return LocalStandardTime(FieldsFromControls());
}

void CMainDlg::ShowSelectedTime() {
    // The same local standard time that TimeFromControls converts from, so
    // that showing and reading back never moves the time by the
    // daylight-saving hour. Setting the controls here is not a user's change.
    const LocalFields fields = LocalStandardFields(selectedTime_);
    const QSignalBlocker blockHour(hourList_);
    const QSignalBlocker blockMinute(minuteList_);
    const QSignalBlocker blockSecond(secondList_);
    const QSignalBlocker blockDate(datePicker_);
    hourList_->setCurrentIndex(fields.hour);
    minuteList_->setCurrentIndex(fields.minute);
    secondList_->setCurrentIndex(fields.second);
    datePicker_->setDate(DateOf(fields));
}

void CMainDlg::RebuildSelectedTime() {
    const LocalFields fields = FieldsFromControls();
    const std::int32_t time = LocalStandardTime(fields);
    // -1 also stands for "does not fit in 32 bits"; a moment the time value
    // cannot hold is refused and the controls go back to the selected time.
    if (time == -1 && !SameFields(LocalStandardFields(-1), fields)) {
        ShowSelectedTime();
        return;
    }
    selectedTime_ = time;
}

void CMainDlg::OnDateChange() { RebuildSelectedTime(); }

void CMainDlg::OnListChange() { RebuildSelectedTime(); }

void CMainDlg::Step(std::int32_t seconds) {
    const long long next = static_cast<long long>(selectedTime_) + seconds;
    // At either end of the 32-bit range the time stays where it is.
    if (next >= std::numeric_limits<std::int32_t>::min() && next <= std::numeric_limits<std::int32_t>::max()) {
        selectedTime_ = static_cast<std::int32_t>(next);
    }
    ShowSelectedTime();
    RunQuery();
}

void CMainDlg::OnStepBack() { Step(-1); }

void CMainDlg::OnStepForward() { Step(1); }

void CMainDlg::OnOK() { RunQuery(); }

void CMainDlg::RunQuery() {
    const std::int32_t composed = TimeFromControls();
    PreparedQuery query;
    {
        const BusyCursor busy;
        query = PrepareQuery(reader_, iniPath_, composed);
    }
    if (query.AdoptsActualTime()) {
        selectedTime_ = query.settings.selectedTime;
        ShowSelectedTime();
    }
    overview_->SetMarker(query.settings.actualTime);
    refresh_->setEnabled(false);
    forward_->setEnabled(false);
    back_->setEnabled(false);

    ShowStatus(query.settings.actualTime > 0
                   ? text::Tr(text::kRecordTime)
                         .arg(QString::fromStdString(FormatLocalStandard(query.settings.actualTime)))
                   : text::Tr(text::kNoRecord));

    PostQuery(query);
}

void CMainDlg::PostQuery(const PreparedQuery& query) {
    if (query.unsafeKey != nullptr) {
        // A line break in a credential would become a header line of the
        // file's choosing: nothing is sent, and the page says where to look.
        browser_->ShowLocalPage(UnsafeSettingPage(iniPath_, query.unsafeKey));
        return;
    }
    const QUrl url = CWebBrowser2::NavigableUrl(query.settings.serverBaseUrl);
    if (!url.isValid()) {
        // The browser would never finish a load for this address and the
        // buttons would stay disabled: show why, locally; its completion
        // enables them again.
        browser_->ShowLocalPage(NoServerPage(config_, query.settings.serverBaseUrl));
        return;
    }
    if (query.bodyResult != BuildResult::Ok) {
        browser_->ShowLocalPage(text::Tr(QT_TRANSLATE_NOOP("orvanta",
            "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>请求未发送</title></head>"
            "<body><h3>请求未发送</h3><p>内存不足，无法生成请求内容。请关闭其他程序后按“刷新”重试。</p></body></html>")));
        return;
    }
    browser_->Navigate(url, query.body, query.headerBlock);
}

void CMainDlg::OnDocumentComplete() {
    refresh_->setEnabled(true);
    forward_->setEnabled(true);
    back_->setEnabled(true);
}

void CMainDlg::OnAbout() {
    CAboutDlg about(icon_, this);
    about.exec();
}

void CMainDlg::OnOverviewSampleChosen(std::int32_t time) {
    selectedTime_ = time;
    ShowSelectedTime();
    // While a page loads the refresh button is off, and so is this road.
    if (refresh_->isEnabled()) RunQuery();
}

void CMainDlg::SavePageAsPdf(const QString& path) { export_->SavePageAsPdf(path); }

bool CMainDlg::ExportRecordCsv(const QString& path) { return export_->ExportRecordCsv(path); }

void CMainDlg::OnSavePdf() { export_->ChooseAndSavePdf(); }

void CMainDlg::OnExportCsv() {
    if (reader_.actualTime <= 0 && reader_.currentSector == 0) {
        QMessageBox::information(this, windowTitle(), text::Tr(text::kNothingToExport));
        return;
    }
    export_->ChooseAndExportCsv();
}

QString CMainDlg::NoServerPage(const ConfigLookup& config, const char* serverBaseUrl) {
    const QString path = QString::fromLocal8Bit(config.iniPath.c_str()).toHtmlEscaped();
    const QString value = QString::fromLocal8Bit(serverBaseUrl ? serverBaseUrl : "").toHtmlEscaped();
    if (!config.found) {
        QString places;
        for (const std::string& candidate : config.candidates) {
            places += QStringLiteral("<li><code>%1</code></li>")
                          .arg(QString::fromLocal8Bit(candidate.c_str()).toHtmlEscaped());
        }
        return text::Tr(QT_TRANSLATE_NOOP("orvanta",
                   "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>未找到配置文件</title></head>"
                   "<body style=\"font-family: sans-serif\">"
                   "<h3>未找到配置文件</h3>"
                   "<p>程序依次查找了以下位置，都没有配置文件 <code>orvanta-vemlar.ini</code>：</p><ol>%1</ol>"
                   "<p>请在其中一处创建该文件，在 <code>[Common]</code> 节中写入分析服务器的地址，例如 "
                   "<code>serverBaseUrl=http://analysis.example/analysis</code>。"
                   "放在程序旁边（<code>%2</code>）时按“刷新”即可生效；放在其他位置时请重新启动程序。</p>"
                   "<p lang=\"en\">No configuration file was found in the places listed above: create "
                   "<code>orvanta-vemlar.ini</code> in one of them with <code>serverBaseUrl</code> in section "
                   "<code>[Common]</code>.</p>"
                   "</body></html>"))
            .arg(places, path);
    }
    return text::Tr(QT_TRANSLATE_NOOP("orvanta",
               "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>未配置可用的服务器地址</title></head>"
               "<body style=\"font-family: sans-serif\">"
               "<h3>未配置可用的服务器地址</h3>"
               "<p>配置文件 <code>%1</code> 的 <code>[Common]</code> 节中，键 <code>serverBaseUrl</code> "
               "没有可用的分析服务器地址（当前值：“<code>%2</code>”）。</p>"
               "<p>请填写以 <code>http://</code> 或 <code>https://</code> 开头的完整地址，然后按“刷新”。</p>"
               "<p lang=\"en\">No usable server address is configured: set the key <code>serverBaseUrl</code> "
               "in section <code>[Common]</code> of <code>%1</code> to an http:// or https:// address.</p>"
               "</body></html>"))
        .arg(path, value);
}

QString CMainDlg::UnsafeSettingPage(const std::string& iniPath, const char* key) {
    const QString path = QString::fromLocal8Bit(iniPath.c_str()).toHtmlEscaped();
    const QString name = QString::fromLatin1(key).toHtmlEscaped();
    return text::Tr(QT_TRANSLATE_NOOP("orvanta",
               "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>请求未发送</title></head>"
               "<body style=\"font-family: sans-serif\">"
               "<h3>请求未发送</h3>"
               "<p>配置文件 <code>%1</code> 的 <code>[Common]</code> 节中，键 <code>%2</code> "
               "的值含有换行或其他控制字符，不能放入请求。</p>"
               "<p>请修改该值，然后按“刷新”。</p>"
               "<p lang=\"en\">Not sent: the key <code>%2</code> in section <code>[Common]</code> of "
               "<code>%1</code> holds a line break or another control character.</p>"
               "</body></html>"))
        .arg(path, name);
}

QString CMainDlg::CardLine() const {
    if (reader_.StartupDriveCode() == 1) {
        return text::Tr(text::kNoCardAtStart);
    }
    const char letter = static_cast<char>(reader_.StartupDriveCode());
    if (reader_.driveCode == 1) {
        return text::Tr(text::kCardNotResponding).arg(QChar::fromLatin1(letter));
    }
    return text::Tr(text::kCardOnDrive).arg(QChar::fromLatin1(letter));
}

std::string CMainDlg::CardDevicePath() const {
    const std::int32_t code = reader_.StartupDriveCode();
    if (drives_ == nullptr || code < 'A' || code > 'Z') return std::string();
    return drives_->PathOf(static_cast<char>(code));
}

void CMainDlg::ShowStatus(const QString& recordLine) {
    const QFontMetrics metrics(statusLine_->font());
    const int width = statusLine_->width();
    const QString card = CardLine();
    const QString path = QString::fromLocal8Bit(CardDevicePath().c_str());
    QString cardLine = card;
    QString shownCardLine = card;
    if (!path.isEmpty()) {
        // The drive stays whole; the device path gives way in its middle,
        // where /dev/disk/by-id/... names differ least.
        const QString prefix = card + QLatin1Char(' ');
        cardLine = prefix + path;
        shownCardLine = prefix + metrics.elidedText(path, Qt::ElideMiddle, width - metrics.horizontalAdvance(prefix));
    }
    QStringList full{cardLine};
    QStringList shown{metrics.elidedText(shownCardLine, Qt::ElideRight, width)};
    if (!recordLine.isEmpty()) {
        full << recordLine;
        shown << metrics.elidedText(recordLine, Qt::ElideRight, width);
    }
    statusText_ = full.join(QLatin1Char('\n'));
    statusLine_->setText(shown.join(QLatin1Char('\n')));
    statusLine_->setToolTip(statusText_);
}

QString CMainDlg::StatusText() const { return statusText_; }

}  // namespace orvanta
