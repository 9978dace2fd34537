#include "ui/main_dlg.h"

#include <ctime>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QDateEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include "card/card_summary.h"
#include "card/drive_check.h"
#include "dialogcore/card_image_option.h"
#include "dialogcore/card_search.h"
#include "dialogcore/record_step.h"
#include "dialogcore/start_facts.h"
#include "ui/about_dlg.h"
#include "ui/analysis_pages.h"
#include "ui/card_file_commands.h"
#include "ui/overview_strip.h"
#include "ui/record_export.h"
#include "ui/resources.h"
#include "ui/server_wait.h"
#include "ui/start_page.h"
#include "ui/ui_language.h"
#include "ui/ui_strings.h"
#include "ui/web_browser2.h"

namespace orvanta {

CMainDlg::CMainDlg(RawVolumeSystem& volumes, const MainDlgOptions& options, QWidget* parent)
    : CResizableDlg(parent),
      drives_(options.drives),
      iniPathOverride_(options.iniPath),
      units_(DialogFont()),
      findDrives_(options.findDrives),
      reader_(std::in_place, volumes),
      iniPath_(),
      selection_(ToTime32(std::time(nullptr))),
      icon_(LoadAppIcon()) {
    setFont(DialogFont());
    ShowCaption(options.cardImage);
    setAttribute(Qt::WA_QuitOnClose, true);
    CreateControls();
    serverWait_->SetLimit(options.serverLimits.totalSeconds);
    OnInitDialog();
}

CMainDlg::~CMainDlg() {
    // A report being made reads through the reader, which goes before the
    // child objects do.
    analysisPages_->StopReport();
    cardFiles_->StopSave();
}

void CMainDlg::ShowCaption(const std::string& cardImage) {
    setWindowTitle(cardImage.empty() ? text::Tr(text::kMainCaption)
                                     : QString::fromStdString(
                                           TitleWithCardImage(text::Tr(text::kMainCaption).toStdString(), cardImage)));
}

bool CMainDlg::OnInitDialog() {
    CResizableDlg::OnInitDialog();
    setWindowIcon(icon_);
    ShowSelectedTime();
    SetAnchors(kMainAnchors, kMainAnchorCount);
    config_ = iniPathOverride_.empty() ? FindClientConfig() : ConfigAt(iniPathOverride_);
    iniPath_ = config_.iniPath;
    ShowCardFound();
    return true;
}

void CMainDlg::ShowCardFound() {
    // Without a card, what each drive holds or why it could not be read (a
    // permission, a missing path): the page lists them, the status line
    // names the first cause.
    std::vector<std::string> drives;
    noCardCause_.clear();
    if (reader_->StartupDriveCode() == kNoCardDriveCode && drives_ != nullptr) {
        const TextLanguage language = TextLanguageOf(CurrentUiLanguage());
        drives = DriveReport(reader_->Volumes(), *drives_, language);
        for (char letter = 'D'; letter <= 'Z' && noCardCause_.empty(); ++letter) {
            const std::string path = drives_->PathOf(letter);
            if (path.empty()) continue;
            const DriveCheck check = CheckDrive(reader_->Volumes(), letter);
            if (!check.hasCard && !check.status.Ok()) {
                noCardCause_ = DriveCheckText(check, path, language);
            }
        }
    }
    shownRecord_ = 0;
    analysisPages_->SetShownRecord(0);
    cardFiles_->SetShownRecord(0);
    overview_->SetMarker(0);
    exportCsvAction_->setEnabled(false);  // no record shown yet
    ShowStatus(QString());
    // Before the first query the browser tells what was found and how the
    // window is used. The card is summarised on a reader of its own, so the
    // first query sends what it would have sent without this page. The
    // ratios come from ratio.txt of the working directory, else the one
    // beside the configuration file; the page says which.
    const RatioFacts ratios = UseRatioFacts(*reader_, config_);
    const ConfigFacts configFacts = ReadConfigFacts(config_);
    browser_->ShowLocalPage(StartPage(SummariseCard(*reader_), CardDevicePath(), &ratios, &drives, &configFacts));
    // The browser's first page gives it a focus widget of its own, placed
    // last in the focus chain: put it at the browser's place.
    SetTemplateTabOrder();
    // The overview is read off the user-interface thread.
    if (WantsCardPoll(*reader_)) {
        // The same cause as the status line's, not "no card".
        overview_->ShowNoCard(QString::fromStdString(noCardCause_));
        cardPoll_->start();
    } else {
        cardPoll_->stop();
        overview_->StartScan(*reader_);
    }
}

void CMainDlg::OnFindCard() {
    // No scan may read through the old reader's copy while the drives change.
    overview_->ShowNoCard();
    analysisPages_->StopReport();
    cardFiles_->StopSave();
    if (findDrives_) findDrives_();
    RenewCardReader(*reader_);
    ShowCardFound();
}

void CMainDlg::OnCardPoll() {
    if (findDrives_) findDrives_();
    // The present reader searches again; only a card found makes a new one.
    if (CardPutIn(*reader_)) OnFindCard();
}

TimeControlValues CMainDlg::ControlValues() const {
    const QDate date = datePicker_->date();
    TimeControlValues values;
    values.year = date.year();
    values.month = date.month();
    values.day = date.day();
    values.hourIndex = hourList_->currentIndex();
    values.minuteIndex = minuteList_->currentIndex();
    values.secondIndex = secondList_->currentIndex();
    return values;
}

std::int32_t CMainDlg::TimeFromControls() const { return ComposeTime(ControlValues()); }

void CMainDlg::ShowSelectedTime() {
    // Setting the controls here is not a user's change.
    const TimeControlValues shown = selection_.Shown();
    const QSignalBlocker blockHour(hourList_);
    const QSignalBlocker blockMinute(minuteList_);
    const QSignalBlocker blockSecond(secondList_);
    const QSignalBlocker blockDate(datePicker_);
    hourList_->setCurrentIndex(shown.hourIndex);
    minuteList_->setCurrentIndex(shown.minuteIndex);
    secondList_->setCurrentIndex(shown.secondIndex);
    datePicker_->setDate(QDate(shown.year, shown.month, shown.day));
}

void CMainDlg::RebuildSelectedTime() {
    // A moment the time value cannot hold is refused and the controls go
    // back to the selected time.
    if (!selection_.TakeFromControls(ControlValues())) ShowSelectedTime();
}

void CMainDlg::OnDateChange() { RebuildSelectedTime(); }

void CMainDlg::OnListChange() { RebuildSelectedTime(); }

void CMainDlg::Step(std::int32_t seconds) {
    const std::int32_t shown = shownRecord_;
    selection_.Step(seconds);
    ShowSelectedTime();
    PreparedQuery query = PrepareFromControls();
    if (shown > 0 && query.settings.actualTime == shown) {
        // The step found the record already shown (a pause lies behind it):
        // on to the neighbouring record, queried as if its second had been
        // picked; without one the window stays and says so.
        const std::int32_t neighbour = NeighbourRecordTime(*reader_, seconds);
        if (neighbour <= 0) {
            selection_.Set(shown);
            ShowSelectedTime();
            ShowStatus(text::Tr(seconds > 0 ? text::kNoLaterRecord : text::kNoEarlierRecord)
                           .arg(QString::fromStdString(FormatLocalStandard(shown))));
            return;
        }
        selection_.Set(neighbour);
        ShowSelectedTime();
        query = PrepareFromControls();
    }
    // A step goes from record to record: the one it lands on is the one
    // asked for, even across a pause.
    if (query.AdoptsActualTime()) selection_.Set(query.settings.actualTime);
    Present(query);
}

void CMainDlg::OnStepBack() { Step(-1); }

void CMainDlg::OnStepForward() { Step(1); }

void CMainDlg::OnOK() { RunQuery(); }

void CMainDlg::OnDocumentComplete() {
    refresh_->setEnabled(true);
    forward_->setEnabled(true);
    back_->setEnabled(true);
}

void CMainDlg::OnEscape() {
    // An open list, calendar or menu is a popup of its own: Escape closes
    // that one only.
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        return;
    }
    if (WaitingForServer()) {
        OnStopWaiting();
        return;
    }
    reject();
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
    // Escape closes the window through its shortcut (OnEscape). What reaches
    // the dialog here is the Escape a list's drop-down passes on to its
    // list after closing itself: it must not close the window too.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    CResizableDlg::keyPressEvent(event);
}

void CMainDlg::OnAbout() {
    CAboutDlg about(icon_, this);
    about.exec();
}

void CMainDlg::OnOverviewSampleChosen(std::int32_t time) {
    selection_.Set(time);
    ShowSelectedTime();
    // While a page loads the refresh button is off, and so is this road.
    if (refresh_->isEnabled()) RunQuery();
}

void CMainDlg::SavePageAsPdf(const QString& path) { export_->SavePageAsPdf(path); }

bool CMainDlg::ExportRecordCsv(const QString& path) { return export_->ExportRecordCsv(path); }

void CMainDlg::OnSavePdf() { export_->ChooseAndSavePdf(); }

void CMainDlg::OnExportCsv() {
    if (shownRecord_ <= 0) {
        QMessageBox::information(this, windowTitle(), text::Tr(text::kNothingToExport));
        return;
    }
    export_->ChooseAndExportCsv();
}

}  // namespace orvanta
