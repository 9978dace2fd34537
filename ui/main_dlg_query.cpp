// The main window's query: the shared query road, the time taken over from
// the card, the buttons' state, the navigation or the local page shown
// instead, and the status line beside ">".
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include "dialogcore/accept_language.h"
#include "dialogcore/card_status.h"
#include "dialogcore/local_pages.h"
#include "dialogcore/record_line.h"
#include "platform/drive_map.h"
#include "ui/analysis_pages.h"
#include "ui/card_file_commands.h"
#include "ui/web_browser2.h"
#include "ui/local_pages.h"
#include "ui/main_dlg.h"
#include "ui/overview_strip.h"
#include "ui/server_wait.h"
#include "ui/ui_language.h"
#include "ui/ui_strings.h"

namespace orvanta {
namespace {

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

PreparedQuery CMainDlg::PrepareFromControls() {
    const std::int32_t composed = TimeFromControls();
    const BusyCursor busy;
    return PrepareQuery(*reader_, iniPath_, composed);
}

void CMainDlg::RunQuery() { Present(PrepareFromControls()); }

void CMainDlg::Present(const PreparedQuery& query) {
    // The second asked for, before the record's time is taken over.
    const std::int32_t asked = selection_.Time();
    if (query.AdoptsActualTime()) {
        selection_.Set(query.settings.selectedTime);
        ShowSelectedTime();
    }
    shownRecord_ = query.settings.actualTime > 0 ? query.settings.actualTime : 0;
    overview_->SetMarker(shownRecord_);
    analysisPages_->SetShownRecord(shownRecord_);
    cardFiles_->SetShownRecord(shownRecord_);
    // Without a record there is nothing to export.
    exportCsvAction_->setEnabled(shownRecord_ > 0);
    refresh_->setEnabled(false);
    forward_->setEnabled(false);
    back_->setEnabled(false);

    // The record of another second than the one asked for, or none: the
    // line says so, and why.
    const std::string outcome =
        QueryOutcomeText(CurrentUiLanguage(), *reader_, !noCardCause_.empty(), asked, shownRecord_);
    ShowStatus(outcome.empty()
                   ? text::Tr(text::kRecordTime).arg(QString::fromStdString(FormatLocalStandard(shownRecord_)))
                   : QString::fromStdString(outcome));

    PostQuery(query);
}

void CMainDlg::PostQuery(const PreparedQuery& query) {
    if (!query.configProblem.empty()) {
        // A FIFO or an endless file is never read: nothing is sent.
        browser_->ShowLocalPage(ConfigProblemPage(query.configProblem));
        return;
    }
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
        browser_->ShowLocalPage(NoMemoryPage());
        return;
    }
    pendingServer_ = url;
    // The server's pages (and the PDF made of them) in the window's
    // language; the request's own header lines stay as the road made them.
    browser_->page()->profile()->setHttpAcceptLanguage(
        QString::fromLatin1(AcceptLanguageOf(CurrentUiLanguage())));
    browser_->Navigate(url, query.body, query.headerBlock);
    serverWait_->Start();
    stopWaitingAction_->setEnabled(true);
}

bool CMainDlg::WaitingForServer() const { return serverWait_->Waiting(); }

void CMainDlg::EndServerWait() {
    if (!serverWait_->Waiting() && !stopWaitingAction_->isEnabled()) return;
    serverWait_->Stop();
    stopWaitingAction_->setEnabled(false);
    ShowStatus(recordLine_);
}

void CMainDlg::OnServerWaitTick(qint64 seconds) {
    ShowStatus(recordLine_, QString::fromStdString(WaitingText(CurrentUiLanguage(), seconds)));
}

void CMainDlg::OnStopWaiting() {
    if (pendingServer_.isEmpty()) return;
    pendingServer_.clear();
    EndServerWait();
    browser_->stop();
    OnDocumentComplete();
}

void CMainDlg::OnServerTimedOut() {
    if (pendingServer_.isEmpty()) return;
    const QUrl server = pendingServer_;
    pendingServer_.clear();
    EndServerWait();
    browser_->stop();
    browser_->ShowLocalPage(QString::fromStdString(ServerTimedOutPage(
        CurrentUiLanguage(), config_.iniPath, server.toString().toStdString(), serverWait_->Limit())));
}

void CMainDlg::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
    if (pendingServer_.isEmpty() || info.status() == QWebEngineLoadingInfo::LoadStartedStatus) return;
    const QUrl server = pendingServer_;
    pendingServer_.clear();
    EndServerWait();
    // A server that answered (with any status) shows its own page, and a
    // load stopped here (another load, a redirect refused by the page) is no
    // failure of the server. A connection, name, certificate or HTTP-layer
    // failure (a port the engine blocks) never reached it: the engine's own
    // error page gives way to ours.
    if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus) return;
    if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        // An HTTP error with a body of its own is the server's page; without
        // one the engine would put its generic page in its place: ours says
        // the status, the address and what to check.
        if (!info.isErrorPage()) return;
        const QString page = QString::fromStdString(
            EmptyErrorPage(CurrentUiLanguage(), config_.iniPath, server.toString().toStdString(), info.errorCode()));
        QMetaObject::invokeMethod(this, [this, page] { browser_->ShowLocalPage(page); }, Qt::QueuedConnection);
        return;
    }
    switch (info.errorDomain()) {
        case QWebEngineLoadingInfo::ConnectionErrorDomain:
        case QWebEngineLoadingInfo::DnsErrorDomain:
        case QWebEngineLoadingInfo::CertificateErrorDomain:
        case QWebEngineLoadingInfo::HttpErrorDomain:
            break;
        default:
            return;
    }
    // Below why: the local analysis of the record, which needs no server.
    const QString page =
        analysisPages_->WithLocalAnalysis(UnreachableServerPage(config_, server.toString(), info.errorString()));
    QMetaObject::invokeMethod(this, [this, page] { browser_->ShowLocalPage(page); }, Qt::QueuedConnection);
}

QString CMainDlg::CardLineText() {
    const TextLanguage language = TextLanguageOf(CurrentUiLanguage());
    const CardLine line = CardLineOf(*reader_, CardDevicePath(), noCardCause_, language);
    const QString letter = QChar::fromLatin1(line.letter);
    switch (line.kind) {
    case CardLineKind::kOnDrive:
        return text::Tr(text::kCardOnDrive).arg(letter);
    case CardLineKind::kNotResponding:
        return text::Tr(text::kCardNotResponding).arg(letter);
    case CardLineKind::kCause:
        return QString::fromUtf8(line.cause.c_str());
    case CardLineKind::kNoCardAtStart:
        break;
    }
    return text::Tr(text::kNoCardAtStart);
}

std::string CMainDlg::CardDevicePath() const {
    const std::int32_t code = reader_->StartupDriveCode();
    if (drives_ == nullptr || code < 'A' || code > 'Z') return std::string();
    return drives_->PathOf(static_cast<char>(code));
}

void CMainDlg::ShowStatus(const QString& recordLine, const QString& waiting) {
    recordLine_ = recordLine;
    const QFontMetrics metrics(statusLine_->font());
    const int width = statusLine_->width();
    const QString card = CardLineText();
    const QString path = QString::fromLocal8Bit(CardDevicePath().c_str());
    QString cardLine = card;
    QString shownCardLine = card;
    if (!path.isEmpty() && !card.contains(path)) {
        // The drive stays whole; the device path gives way in its middle,
        // where /dev/disk/by-id/... names differ least.
        const QString prefix = card + QLatin1Char(' ');
        cardLine = prefix + path;
        shownCardLine = prefix + metrics.elidedText(path, Qt::ElideMiddle, width - metrics.horizontalAdvance(prefix));
    }
    QStringList full{cardLine};
    QStringList shown{metrics.elidedText(shownCardLine, Qt::ElideRight, width)};
    const QString second = waiting.isEmpty() ? recordLine
                           : recordLine.isEmpty() ? waiting
                                                  : recordLine + QStringLiteral("   ") + waiting;
    if (!second.isEmpty()) {
        full << second;
        shown << metrics.elidedText(second, Qt::ElideRight, width);
    }
    statusText_ = full.join(QLatin1Char('\n'));
    statusLine_->setText(shown.join(QLatin1Char('\n')));
    statusLine_->setToolTip(statusText_);
}

QString CMainDlg::StatusText() const { return statusText_; }

}  // namespace orvanta
